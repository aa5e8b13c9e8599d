// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/output/PrinterFonts.h"

#include "window/output/PrinterService.h"
#include "core/shared/FsError.h"
#include "window/shared/MainForm.h"
#include "core/shared/MessageBoxes.h"
#include "window/shared/SelectEntry.h"
#include "core/shared/Text.h"

#include <QComboBox>

// Rebuilds the font list for the current printer and preselects its first Courier, which
// makes that the printer's font. Without one the printer keeps the font it has, and the list
// shows that one, added at the end when the printer's own list lacks it.
void CheckPrinterFonts(MainForm &f)
{
    try {
        f.cboPrinterFonts->clear();
        for (const QString &name : f.printer->fonts())
            f.cboPrinterFonts->addItem(name);
        for (int i = 0; i < f.cboPrinterFonts->count(); ++i) {
            const QString entry = f.cboPrinterFonts->itemText(i);
            if (entry == QLatin1String("Courier") || entry == QLatin1String("Courier New")) {
                selectEntry(f, f.cboPrinterFonts, i, cboPrinterFonts_Click);
                return;
            }
        }
        const QString inUse = f.printer->fontName();
        int shown = f.cboPrinterFonts->findText(inUse, Qt::MatchExactly | Qt::MatchCaseSensitive);
        if (shown < 0) {
            f.cboPrinterFonts->addItem(inUse);
            shown = f.cboPrinterFonts->count() - 1;
        }
        f.cboPrinterFonts->setCurrentIndex(shown); // (already the printer's font: no handler)
    } catch (const std::exception &e) {
        f.boxes->show(errorDescription(e), QStringLiteral("Listwright - Error in Checking Printer Fonts"));
    }
}

// The chosen font becomes the printer's font: a new font with only its name set.
void cboPrinterFonts_Click(MainForm &f)
{
    if (f.cboPrinterFonts->currentIndex() < 0)
        return;
    try {
        f.printer->replaceFont(f.cboPrinterFonts->currentText());
    } catch (const std::exception &e) {
        f.boxes->show(errorDescription(e), QStringLiteral("Listwright - Error in Printer Font"));
    }
}

// The chosen size is remembered; it reaches the printer when printing.
void cboPrinterFontSize_Click(MainForm &f)
{
    if (f.cboPrinterFontSize->currentIndex() < 0)
        return;
    f.PrinterFontSize = f.cboPrinterFontSize->currentText().trimmed().toInt();
}

void fillFontSizeEntries(QComboBox *box)
{
    const int selected = box->currentIndex();
    for (int points = 4; points <= 30; ++points)
        box->addItem(signPosition(points));
    box->setCurrentIndex(selected); // the caller selects the size
}
