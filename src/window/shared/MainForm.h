// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QByteArray>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>

class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QMainWindow;
class QMenu;
class QPushButton;
class QStatusBar;
class QToolButton;
class QWidget;
class DirFolderView;
class DriveList;
class FileListElement;
class TextList;
class MessageBoxes;
class PrinterService;
class WebOpener;
class ScanTree;

// The main window's elements and its form-level state. The layout code creates the elements
// and fills this object; every handler of the program works on it.
struct MainForm {
    QMainWindow *window = nullptr; // frmListwright

    // Elements, in the window's element order.
    QLabel *lblDrive = nullptr;
    DriveList *drvDrive = nullptr;
    QLabel *lblTitle = nullptr;
    QLineEdit *txtTitle = nullptr;
    QPushButton *cmdClearTitle = nullptr;
    QLabel *lblFolder = nullptr;
    QLabel *lblFolderSize = nullptr;
    QLabel *lblFSize = nullptr;
    QCheckBox *chkFolderSize = nullptr;
    QLabel *lblRecursive = nullptr;
    QCheckBox *chkRecursive = nullptr;
    DirFolderView *dirFolder = nullptr;
    QLineEdit *txtParentFolder = nullptr;
    TextList *lstFolders = nullptr;
    QLabel *lblFileList = nullptr;
    QLabel *lblSize = nullptr;
    QCheckBox *chkSize = nullptr;
    QLabel *lblModified = nullptr;
    QCheckBox *chkModified = nullptr;
    TextList *lstBigFileList = nullptr;
    QLabel *lblFileTypes = nullptr;
    QComboBox *cboFileTypes = nullptr;
    QCheckBox *chkPrintDir = nullptr;
    QLabel *lblPrinter = nullptr;
    QLabel *lblPrinterFonts = nullptr;
    QLabel *lblPrinterFontSize = nullptr;
    QPushButton *cmdPrint = nullptr;
    QComboBox *cboIndent = nullptr;
    QComboBox *cboPrinter = nullptr;
    QComboBox *cboPrinterFonts = nullptr;
    QComboBox *cboPrinterFontSize = nullptr;
    QPushButton *cmdExit = nullptr;
    QPushButton *cmdSaveToFile = nullptr;
    QLabel *lblFile = nullptr;
    QCheckBox *chkAutoUpdate = nullptr;
    QLineEdit *txtMyFilePath = nullptr;
    QStatusBar *StatusBar1 = nullptr;
    FileListElement *fileFileList = nullptr; // hidden: never shown
    // The find bar over the lists, hidden until Ctrl+F.
    QWidget *fraFind = nullptr;
    QLabel *lblFind = nullptr;
    QLineEdit *txtFind = nullptr;
    QToolButton *cmdCloseFind = nullptr;

    // Menus.
    QMenu *mnuFile = nullptr;
    QAction *mnuPrint = nullptr;
    QAction *mnuSave = nullptr;
    QAction *mnuSepScans = nullptr;
    QAction *mnuOpenScan = nullptr;    // a saved scan shown as a drive
    QAction *mnuSaveScan = nullptr;    // the shown folder's scan into a file
    QAction *mnuCompareScan = nullptr; // the shown folder against an older scan
    QAction *mnuSep1 = nullptr;
    QAction *mnuStopScan = nullptr;
    QAction *mnuSep = nullptr;
    QAction *mnuExit = nullptr;
    QMenu *mnuWindow = nullptr;
    QAction *mnuWindowReset = nullptr;
    QMenu *mnuView = nullptr; // the order of the lines and their size bars
    QMenu *mnuSortFolders = nullptr;
    QAction *mnuSortFoldersName = nullptr;
    QAction *mnuSortFoldersSize = nullptr;
    QAction *mnuSortFoldersModified = nullptr;
    QMenu *mnuSortFiles = nullptr;
    QAction *mnuSortFilesName = nullptr;
    QAction *mnuSortFilesSize = nullptr;
    QAction *mnuSortFilesModified = nullptr;
    QAction *mnuSizeBars = nullptr;
    QAction *mnuCounts = nullptr;    // folder sizes and totals say how many files they count
    QAction *mnuDiskUsage = nullptr; // sizes are allocated bytes
    QAction *mnuOneFileSystem = nullptr; // scans stay on the folder's file system
    QAction *mnuExclude = nullptr;       // names the scans leave out
    QAction *mnuChangesOnly = nullptr;   // while comparing, only the lines that changed
    QAction *mnuFind = nullptr;
    // A folder line's context menu.
    QMenu *mnuFolderLine = nullptr;
    QAction *mnuOpenFolder = nullptr;
    QAction *mnuCopyPath = nullptr;
    QAction *mnuListFolder = nullptr;
    QMenu *mnuHelp = nullptr;
    QAction *mnuHelpPrint = nullptr;
    QAction *mnuHelpSaveToFile = nullptr;
    QAction *mnuSep2 = nullptr;
    QAction *mnuAbout = nullptr;

    // Form-level variables.
    QString CurrentFolderPath;     // always ends in "/"
    int64_t FolderTotalBytes = 0;  // 0 when sizes are off
    int64_t FolderLinesBytes = 0;  // the bytes the folder lines show, together; 0 when sizes are off
    int64_t FolderPassedOver = 0;  // the names the last folder scan left out (the own files' not among them)
    QString Exclusions;            // the names left out, as typed in Exclude (none when empty)
    int64_t FileListTotalBytes = 0;
    QString FileListTotalText;
    // The files those totals count, for Show Counts.
    int64_t FolderTotalFiles = 0;
    int64_t FolderLinesFiles = 0;
    int64_t FileListTotalFiles = 0;
    int Indentation = 0;
    int PrinterFontSize = 0;
    int Answer = 0;
    QString CurrentDrive;
    // The folder the program last showed in the save path box, and the text it showed for it.
    QByteArray SaveFolder;
    QString SaveFolderText;
    // The folder whose line the context menu was opened on.
    QByteArray MenuFolderPath;
    // An opened scan shown as a drive (none on a live drive), the file it was read from, and
    // the folder of it the window shows (a ScanTree::Index).
    std::shared_ptr<const ScanTree> OpenedScan;
    QString OpenedScanFile;
    uint32_t ScanFolder = 0;
    // What the last scan saw when it was a whole count of the shown folder's subfolders' sizes,
    // without exclusions, and whether it stayed on one file system; none after any other scan.
    std::shared_ptr<const ScanTree> ScannedTree;
    bool ScannedTreeOneFileSystem = false;
    // The older scan the shown folder is compared with (none when not comparing), its file.
    std::shared_ptr<const ScanTree> OlderScan;
    QString OlderScanFile;
    // The stop request and everything else about running scans lives in the scan session.

    // Platform services.
    MessageBoxes *boxes = nullptr;
    PrinterService *printer = nullptr;
    WebOpener *opener = nullptr;
    // The file dialog of the scan commands (see askScanFile); tests answer it instead.
    std::function<QString(const QString &caption, bool forSaving)> scanFileDialog;
};

// Check box values as the handlers read them.
bool isChecked(const QCheckBox *box);
