// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/output/PrinterList.h"

#include "window/output/PrinterFonts.h"
#include "window/output/PrinterService.h"
#include "core/shared/FsError.h"
#include "window/shared/MainForm.h"
#include "core/shared/MessageBoxes.h"
#include "window/shared/SelectEntry.h"

#include <QAbstractItemView>
#include <QComboBox>

namespace {
// The last entry of `box` that reads exactly `text`, or -1.
int lastEntryOf(const QComboBox *box, const QString &text)
{
    for (int i = box->count() - 1; i >= 0; --i)
        if (box->itemText(i) == text)
            return i;
    return -1;
}
}

// Lists the installed printers in the service's order (entry i is printer number i) and
// selects the current one, the last entry of its name; selecting it builds its font list.
void CheckPrinters(MainForm &f)
{
    try {
        int counter = 0;
        int defaultIndex = 0;
        const QString current = f.printer->deviceName();
        for (const QString &name : f.printer->printers()) {
            f.cboPrinter->addItem(name);
            if (name == current)
                defaultIndex = counter;
            ++counter;
        }
        if (defaultIndex >= f.cboPrinter->count())
            throw PrinterError(QStringLiteral("No printer is installed."));
        selectEntry(f, f.cboPrinter, defaultIndex, cboPrinter_Click);
    } catch (const std::exception &e) {
        f.boxes->show(errorDescription(e), QStringLiteral("Listwright - Error in Check Printer"));
    }
}

// The selected printer becomes current and gets its font list. A printer that cannot be made
// current (removed since the list was filled) is reported, and the list goes back to the
// printer that stays current.
void cboPrinter_Click(MainForm &f)
{
    try {
        f.printer->makeCurrent(f.cboPrinter->currentIndex());
    } catch (const std::exception &e) {
        f.boxes->show(errorDescription(e), QStringLiteral("Listwright - Error Selecting Printer"));
        f.cboPrinter->setCurrentIndex(lastEntryOf(f.cboPrinter, f.printer->deviceName()));
        return;
    }
    CheckPrinterFonts(f);
}

bool SetDropdownWidth(QComboBox *combo, int newWidthPixel)
{
    if (!combo || !combo->view() || newWidthPixel < 0)
        return false;
    // The opened list is at least this wide; the closed box keeps its own width.
    combo->view()->setMinimumWidth(newWidthPixel);
    return true;
}
