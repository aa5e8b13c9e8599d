#include "shell/FormLoad.h"

#include "listing/CompleteFileList.h"
#include "listing/DriveList.h"
#include "listing/FileTypes.h"
#include "output/Indentation.h"
#include "output/PrinterFonts.h"
#include "output/PrinterList.h"
#include "scan/DirFolderView.h"
#include "scan/FolderListScan.h"
#include "shared/FsError.h"
#include "shared/MainForm.h"
#include "shared/MessageBoxes.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>

void Form_Load(MainForm &f, const std::function<void(int step)> &beforeStep)
{
    const auto step = [&beforeStep](int n) {
        if (beforeStep)
            beforeStep(n);
    };
    // Key preview is the main window's own: it sees every key press before the focused
    // element from the moment it exists.
    step(3);
    f.chkFolderSize->setChecked(false);
    f.chkRecursive->setChecked(false);
    step(4);
    f.StopScan = false;
    step(5);
    f.cboFileTypes->setCurrentIndex(0);
    cboFileTypes_Click(f);
    step(6);
    f.txtTitle->setText(QStringLiteral("LISTWRIGHT"));
    step(7);
    f.txtMyFilePath->setText(f.dirFolder->pathText());
    step(8);
    fillIndentEntries(f.cboIndent);
    step(9);
    fillFontSizeEntries(f.cboPrinterFontSize);
    f.cboPrinterFontSize->setCurrentIndex(6);
    cboPrinterFontSize_Click(f);
    step(10);
    f.Indentation = 0;
    step(11);
    fileFileList_PathChange(f);
    step(12);
    dirFolder_Change(f);
    step(13);
    CheckPrinters(f);
    step(14);
    SetDropdownWidth(f.cboPrinter, 300);
    SetDropdownWidth(f.cboPrinterFonts, 200);
    step(15);
    f.CurrentDrive = f.drvDrive->drive();
    step(16);
    ChangeLabelFontColors(f.window, *f.boxes);
}

void ChangeLabelFontColors(QWidget *window, MessageBoxes &boxes)
{
    try {
        const QColor darkBlue(0, 0, 192);
        for (QWidget *w : window->findChildren<QWidget *>()) {
            if (qobject_cast<QLabel *>(w)) {
                QPalette p = w->palette();
                p.setColor(QPalette::WindowText, darkBlue);
                w->setPalette(p);
            }
            if (qobject_cast<QCheckBox *>(w)) {
                QPalette p = w->palette();
                p.setColor(QPalette::WindowText, darkBlue);
                p.setColor(QPalette::ButtonText, darkBlue);
                w->setPalette(p);
            }
        }
    } catch (const std::exception &e) {
        boxes.show(errorDescription(e), QStringLiteral("Listwright - Error Changing Label Font Colors"));
    }
}
