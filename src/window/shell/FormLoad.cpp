// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/shell/FormLoad.h"

#include "window/listing/CompleteFileList.h"
#include "window/listing/DriveList.h"
#include "window/output/IndentationBox.h"
#include "window/output/PrinterFonts.h"
#include "window/output/PrinterList.h"
#include "window/scan/DirFolderView.h"
#include "window/shared/ColourPair.h"
#include "core/shared/FsError.h"
#include "window/shared/MainForm.h"
#include "core/shared/MessageBoxes.h"
#include "window/shared/SaveFolder.h"
#include "window/shell/FileTypesChange.h"
#include "window/shell/FolderChange.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QSignalBlocker>

void Form_Load(MainForm &f, ScanSession &session)
{
    // Key preview is the main window's own: it sees every key press before the focused
    // element from the moment it exists.
    // The boxes start unchecked; the first folder scan below lists the folders without sizes.
    for (QCheckBox *box : {f.chkFolderSize, f.chkRecursive}) {
        const QSignalBlocker quiet(box);
        box->setChecked(false);
    }
    // (a new session holds no stop request)
    f.cboFileTypes->setCurrentIndex(0);
    cboFileTypes_Click(f, session);
    f.txtTitle->setText(QStringLiteral("LISTWRIGHT"));
    showSaveFolder(f, f.dirFolder->path());
    fillIndentEntries(f.cboIndent);
    fillFontSizeEntries(f.cboPrinterFontSize);
    f.cboPrinterFontSize->setCurrentIndex(6);
    cboPrinterFontSize_Click(f);
    f.Indentation = 0;
    // The file types above built the list already: built again from the same names with the
    // same options, it would come out the same.
    if (!fileListUpToDate(f))
        fileFileList_PathChange(f);
    dirFolder_Change(f, session);
    CheckPrinters(f);
    SetDropdownWidth(f.cboPrinter, 300);
    SetDropdownWidth(f.cboPrinterFonts, 200);
    f.CurrentDrive = f.drvDrive->drive();
    ChangeLabelFontColors(f.window, *f.boxes);
}

void ChangeLabelFontColors(QWidget *window, MessageBoxes &boxes)
{
    try {
        // The dark blue stands on the window's light grey, also where the desktop's own
        // background is dark.
        for (QWidget *w : window->findChildren<QWidget *>()) {
            if (qobject_cast<QLabel *>(w))
                setColourPair(w, QPalette::WindowText, DarkBlue, QPalette::Window, LightGrey);
            if (qobject_cast<QCheckBox *>(w)) {
                setColourPair(w, QPalette::WindowText, DarkBlue, QPalette::Window, LightGrey);
                setColourPair(w, QPalette::ButtonText, DarkBlue, QPalette::Button, LightGrey);
            }
        }
    } catch (const std::exception &e) {
        boxes.show(errorDescription(e), QStringLiteral("Listwright - Error Changing Label Font Colors"));
    }
}
