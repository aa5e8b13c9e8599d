// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/shell/MainLayout.h"
#include "window/shell/ViewMenu.h"
#include "window/shell/FolderChange.h"

#include "window/listing/DriveList.h"
#include "core/listing/FileListElement.h"
#include "core/scan/CallWait.h"
#include "window/scan/DirFolderView.h"
#include "core/scan/engine/DirectoryList.h"
#include "window/shared/ColourPair.h"
#include "window/shared/Fonts.h"
#include "core/shared/FsError.h"
#include "core/shared/Text.h"
#include "window/shared/Geometry.h"
#include "window/shared/MainForm.h"
#include "window/shared/ProgramIcon.h"
#include "window/shared/TextList.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QProxyStyle>
#include <QTimer>
#include <optional>
#include <utility>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QStyle>
#include <QStyleFactory>
#include <QToolButton>

namespace {

QFont arialBold() { return designFont(QStringLiteral("Arial"), 8.25, true); }
QFont sansBold() { return designFont(QStringLiteral("MS Sans Serif"), 8.25, true); }
QFont fixedsys() { return designFont(QStringLiteral("Fixedsys"), 9); }
QFont windowDefault() { return designFont(QStringLiteral("MS Sans Serif"), 8.25); }

// The window's check boxes stand in rows 13 pixels high, made for the classic 13-pixel box;
// the toolkit's own box is a pixel taller and would lose its bottom edge there.
class ClassicCheckBoxStyle : public QProxyStyle {
public:
    explicit ClassicCheckBoxStyle(QObject *owner) : QProxyStyle(QStyleFactory::create(QApplication::style()->name()))
    {
        setParent(owner);
    }
    int pixelMetric(PixelMetric metric, const QStyleOption *option, const QWidget *widget) const override
    {
        if (metric == PM_IndicatorWidth || metric == PM_IndicatorHeight)
            return 13;
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
};

template <typename W>
W *named(W *w, const char *name)
{
    w->setObjectName(QLatin1String(name));
    return w;
}

QLabel *label(QWidget *parent, const char *name, const QString &text, int l, int t, int w, int h)
{
    auto *lbl = named(new QLabel(text, parent), name);
    lbl->setFont(arialBold());
    placeAtDesign(lbl, l, t, w, h);
    // Auto-size: the label takes the size of its caption.
    const QSize hint = lbl->sizeHint();
    lbl->resize(hint);
    lbl->setProperty("designRect", QRect(lbl->pos(), hint));
    return lbl;
}

QPushButton *button(QWidget *parent, const char *name, const QString &caption, int l, int t, int w, int h)
{
    auto *b = named(new QPushButton(caption, parent), name);
    b->setFont(sansBold());
    b->setAutoDefault(false);
    placeAtDesign(b, l, t, w, h);
    return b;
}

QCheckBox *checkBox(QWidget *parent, const char *name, const QString &caption, bool checked, int l, int t,
                    int w, int h)
{
    auto *c = named(new QCheckBox(caption, parent), name);
    if (!caption.isEmpty())
        c->setFont(arialBold());
    c->setStyle(new ClassicCheckBoxStyle(c));
    c->setChecked(checked);
    placeAtDesign(c, l, t, w, h);
    return c;
}

QComboBox *comboBox(QWidget *parent, const char *name, bool editable, int l, int t, int w, int h)
{
    auto *c = named(new QComboBox(parent), name);
    c->setEditable(editable);
    if (editable) {
        // The text is exactly what was typed: no completion, nothing inserted on Enter.
        c->setCompleter(nullptr);
        c->setInsertPolicy(QComboBox::NoInsert);
    }
    c->setMaxVisibleItems(12);
    placeAtDesign(c, l, t, w, h);
    return c;
}

// The find bar, in the headings' row beside the Recursive box, hidden until asked for.
void buildFindBar(QWidget *client, MainForm &f)
{
    f.fraFind = named(new QWidget(client), "fraFind");
    placeAtDesign(f.fraFind, 7200, 690, 2295, 270);
    auto *row = new QHBoxLayout(f.fraFind);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(4);
    f.lblFind = named(new QLabel(QStringLiteral("Fi&nd:"), f.fraFind), "lblFind");
    f.lblFind->setFont(arialBold());
    f.txtFind = named(new QLineEdit(f.fraFind), "txtFind");
    f.txtFind->setMaxLength(255); // no name is longer
    f.txtFind->setClearButtonEnabled(false);
    setColourPair(f.txtFind, QPalette::Text, Qt::black, QPalette::Base, Qt::white);
    f.lblFind->setBuddy(f.txtFind);
    f.cmdCloseFind = named(new QToolButton(f.fraFind), "cmdCloseFind");
    f.cmdCloseFind->setIcon(f.cmdCloseFind->style()->standardIcon(QStyle::SP_TitleBarCloseButton));
    f.cmdCloseFind->setToolTip(QStringLiteral("Close the find bar (Esc)"));
    f.cmdCloseFind->setAccessibleName(QStringLiteral("Close Find"));
    f.cmdCloseFind->setAutoRaise(true);
    row->addWidget(f.lblFind);
    row->addWidget(f.txtFind, 1);
    row->addWidget(f.cmdCloseFind);
    f.fraFind->hide();
}

// A folder line's context menu.
void buildFolderLineMenu(QMainWindow *window, MainForm &f)
{
    f.mnuFolderLine = named(new QMenu(window), "mnuFolderLine");
    f.mnuOpenFolder = named(f.mnuFolderLine->addAction(QStringLiteral("&Open Folder")), "mnuOpenFolder");
    f.mnuCopyPath = named(f.mnuFolderLine->addAction(QStringLiteral("&Copy Path")), "mnuCopyPath");
    f.mnuListFolder = named(f.mnuFolderLine->addAction(QStringLiteral("&List This Folder")), "mnuListFolder");
}

} // namespace

void buildMainLayout(QMainWindow *window, MainForm &f, const QByteArray &startFolder)
{
    f.window = window;
    window->setObjectName(QStringLiteral("frmListwright"));
    window->setWindowTitle(QStringLiteral("Listwright "));
    window->setWindowIcon(programIcon());

    // The client area is light grey, and text drawn straight on it is black unless an element
    // says otherwise, whatever the desktop's colours. Elements without colours of their own
    // (lists, buttons, combo boxes, the menu bar and the status bar) keep the desktop's.
    auto *client = new QWidget(window);
    client->setObjectName(QStringLiteral("client"));
    client->setAutoFillBackground(true);
    setColourPair(client, QPalette::WindowText, Qt::black, QPalette::Window, LightGrey);
    client->setFont(windowDefault()); // elements without a font of their own use it
    window->setCentralWidget(client);

    f.lblDrive = label(client, "lblDrive", QStringLiteral("Drive:"), 120, 0, 465, 210);
    f.drvDrive = named(new DriveList(client), "drvDrive");
    placeAtDesign(f.drvDrive, 120, 240, 3015, 315);
    f.lblTitle = label(client, "lblTitle", QStringLiteral("Page Title:"), 3240, 0, 855, 210);
    f.txtTitle = named(new QLineEdit(client), "txtTitle");
    f.txtTitle->setFont(designFont(QStringLiteral("Verdana"), 14.25, true));
    setColourPair(f.txtTitle, QPalette::Text, DarkBlue, QPalette::Base, Qt::white);
    placeAtDesign(f.txtTitle, 3240, 240, 4815, 405);
    f.cmdClearTitle = button(client, "cmdClearTitle", QStringLiteral("&Clear Title"), 8280, 240, 1215, 375);
    f.lblFolder = label(client, "lblFolder", QStringLiteral("Folder:"), 120, 720, 570, 210);
    f.lblFolderSize = label(client, "lblFolderSize", QStringLiteral("Folders: "), 2400, 720, 720, 210);
    f.lblFSize = label(client, "lblFSize", QStringLiteral("Size:"), 4560, 742, 390, 210);
    f.chkFolderSize = checkBox(client, "chkFolderSize", QString(), false, 5040, 720, 255, 255);
    f.lblRecursive = label(client, "lblRecursive", QStringLiteral("Recursive:"), 5880, 742, 870, 210);
    f.chkRecursive = checkBox(client, "chkRecursive", QString(), false, 6840, 720, 255, 255);
    f.dirFolder = named(new DirFolderView(client), "dirFolder");
    placeAtDesign(f.dirFolder, 120, 960, 2175, 3915);
    f.txtParentFolder = named(new QLineEdit(client), "txtParentFolder");
    f.txtParentFolder->setFont(fixedsys());
    placeAtDesign(f.txtParentFolder, 2400, 960, 7095, 330);
    f.lstFolders = named(new TextList(client), "lstFolders");
    f.lstFolders->setFont(fixedsys());
    placeAtDesign(f.lstFolders, 2400, 1320, 7095, 960);
    f.lblFileList = label(client, "lblFileList", QStringLiteral("Files:"), 2400, 2400, 435, 210);
    f.lblSize = label(client, "lblSize", QStringLiteral("Size:"), 4560, 2400, 390, 210);
    f.chkSize = checkBox(client, "chkSize", QString(), true, 5040, 2400, 255, 195);
    f.lblModified = label(client, "lblModified", QStringLiteral("Modified:"), 5760, 2400, 765, 210);
    f.chkModified = checkBox(client, "chkModified", QString(), true, 6600, 2400, 255, 195);
    f.lstBigFileList = named(new TextList(client), "lstBigFileList");
    f.lstBigFileList->setFont(fixedsys());
    placeAtDesign(f.lstBigFileList, 2400, 2640, 7095, 2535);
    f.lblFileTypes = label(client, "lblFileTypes", QStringLiteral("File Types:"), 120, 5040, 885, 210);
    f.cboFileTypes = comboBox(client, "cboFileTypes", true, 120, 5280, 1815, 315);
    f.cboFileTypes->addItems({QStringLiteral("*.*"), QStringLiteral("*.exe"), QStringLiteral("*.mp3"),
                              QStringLiteral("*.wav")});
    f.chkPrintDir = checkBox(client, "chkPrintDir", QStringLiteral("Include Folders"), true, 2520, 5400, 1575, 255);
    f.lblPrinter = label(client, "lblPrinter", QStringLiteral("Printer:"), 4320, 5520, 615, 210);
    f.lblPrinterFonts = label(client, "lblPrinterFonts", QStringLiteral("Printer Fonts:"), 6600, 5520, 1125, 210);
    f.lblPrinterFontSize = label(client, "lblPrinterFontSize", QStringLiteral("Font Size:"), 8160, 5520, 795, 210);
    f.cmdPrint = button(client, "cmdPrint", QStringLiteral("&Print Files List"), 120, 5760, 2055, 375);
    f.cboIndent = comboBox(client, "cboIndent", true, 2520, 5760, 1455, 315);
    f.cboIndent->setEditText(QStringLiteral("Indentation"));
    f.cboPrinter = comboBox(client, "cboPrinter", false, 4320, 5760, 2175, 315);
    f.cboPrinterFonts = comboBox(client, "cboPrinterFonts", false, 6600, 5760, 1455, 315);
    f.cboPrinterFontSize = comboBox(client, "cboPrinterFontSize", false, 8160, 5760, 1095, 315);
    f.cmdExit = button(client, "cmdExit", QStringLiteral("&Exit"), 120, 6240, 615, 375);
    f.cmdSaveToFile = button(client, "cmdSaveToFile", QStringLiteral("&Save To File"), 840, 6240, 1335, 375);
    f.lblFile = label(client, "lblFile", QStringLiteral("File Path for Save To File:"), 2400, 6240, 2040, 210);
    f.chkAutoUpdate = checkBox(client, "chkAutoUpdate", QStringLiteral("AutoUpdate"), true, 8160, 6360, 1335, 375);
    f.txtMyFilePath = named(new QLineEdit(client), "txtMyFilePath");
    setColourPair(f.txtMyFilePath, QPalette::Text, Qt::black, QPalette::Base, Qt::white);
    placeAtDesign(f.txtMyFilePath, 2400, 6480, 5535, 285);

    buildFindBar(client, f);

    f.StatusBar1 = named(new QStatusBar(window), "StatusBar1");
    f.StatusBar1->setSizeGripEnabled(true);
    f.StatusBar1->setFixedHeight(DesignStatusBarHeight);
    // The window's own face, which fits the bar's design height; the desktop's may not.
    f.StatusBar1->setFont(windowDefault());
    window->setStatusBar(f.StatusBar1);

    // The hidden elements have no window at all, so they can never appear.
    f.fileFileList = named(new FileListElement(window), "fileFileList");

    // A new folder list and file list show the process's working folder, or the folder the
    // program was asked to start in, with the drive that holds it.
    const QByteArray working = workingFolder();
    QByteArrayList tries{startFolder.isEmpty() ? working : startFolder};
    for (const QByteArray &next : {working, QByteArray("/")})
        if (!tries.contains(next)) // a folder given up on is not waited for twice
            tries.append(next);
    // A folder on a share that does not answer is given up for the next (see CallWait). The
    // first given up is told, as a folder of the folder tree is, once the window is up.
    std::optional<std::pair<QString, QString>> givenUp;
    for (const QByteArray &folder : tries) {
        const CallWait::Patience patience(folder == "/" ? 0 : 3000);
        try {
            f.dirFolder->setPath(folder);
            f.fileFileList->setPath(folder, f.dirFolder->takeFiles());
            break;
        } catch (const FsError &e) {
            if (!givenUp)
                givenUp.emplace(displayName(folder), e.description());
        }
    }
    if (givenUp)
        QTimer::singleShot(0, window, [&f, g = *givenUp] { dirFolder_OpenFailed(f, g.first, g.second); });
    if (!startFolder.isEmpty())
        f.drvDrive->setDrive(DriveList::driveOf(QFile::decodeName(f.dirFolder->path())));

    // Menus.
    QMenuBar *bar = window->menuBar();
    f.mnuFile = named(bar->addMenu(QStringLiteral("&File")), "mnuFile");
    f.mnuPrint = named(f.mnuFile->addAction(QStringLiteral("&Print")), "mnuPrint");
    f.mnuSave = named(f.mnuFile->addAction(QStringLiteral("&Save To File")), "mnuSave");
    f.mnuSepScans = named(f.mnuFile->addSeparator(), "mnuSepScans");
    f.mnuOpenScan = named(f.mnuFile->addAction(QStringLiteral("&Open Scan...")), "mnuOpenScan");
    f.mnuSaveScan = named(f.mnuFile->addAction(QStringLiteral("Save Sc&an As...")), "mnuSaveScan");
    f.mnuCompareScan = named(f.mnuFile->addAction(QStringLiteral("&Compare With Scan...")), "mnuCompareScan");
    f.mnuSep1 = named(f.mnuFile->addSeparator(), "mnuSep1");
    f.mnuStopScan = named(f.mnuFile->addAction(QStringLiteral("&Stop Scanning")), "mnuStopScan");
    f.mnuSep = named(f.mnuFile->addSeparator(), "mnuSep");
    f.mnuExit = named(f.mnuFile->addAction(QStringLiteral("E&xit")), "mnuExit");
    f.mnuWindow = named(bar->addMenu(QStringLiteral("&Window")), "mnuWindow");
    f.mnuWindowReset = named(f.mnuWindow->addAction(QStringLiteral("&Reset to Default Size")), "mnuWindowReset");
    buildViewMenu(bar, f);

    f.mnuHelp = named(bar->addMenu(QStringLiteral("&Help")), "mnuHelp");
    f.mnuHelpPrint = named(f.mnuHelp->addAction(QStringLiteral("&Printing")), "mnuHelpPrint");
    f.mnuHelpSaveToFile = named(f.mnuHelp->addAction(QStringLiteral("&Save To File")), "mnuHelpSaveToFile");
    f.mnuSep2 = named(f.mnuHelp->addSeparator(), "mnuSep2");
    f.mnuAbout = named(f.mnuHelp->addAction(QStringLiteral("&About")), "mnuAbout");
    buildFolderLineMenu(window, f);

    // F2 as designed, and the desktop's standard keys beside the access keys; the menus show them.
    const std::pair<QAction *, QKeySequence> shortcuts[] = {
        {f.mnuSave, QKeySequence(Qt::CTRL | Qt::Key_S)},  {f.mnuPrint, QKeySequence(Qt::CTRL | Qt::Key_P)},
        {f.mnuOpenScan, QKeySequence(Qt::CTRL | Qt::Key_O)},
        {f.mnuExit, QKeySequence(Qt::CTRL | Qt::Key_Q)},  {f.mnuWindowReset, QKeySequence(Qt::Key_F2)},
        {f.mnuHelpPrint, QKeySequence(Qt::Key_F1)},       {f.mnuFind, QKeySequence(Qt::CTRL | Qt::Key_F)},
    };
    for (const auto &[action, keys] : shortcuts) {
        action->setShortcut(keys);
        action->setShortcutContext(Qt::WindowShortcut);
        action->setShortcutVisibleInContextMenu(true);
    }

    // Keyboard focus order.
    QWidget *order[] = {f.drvDrive,        f.dirFolder,      f.cboFileTypes,      f.cmdExit,
                        f.cmdPrint,        f.chkPrintDir,    f.cboPrinter,        f.txtTitle,
                        f.cmdClearTitle,   f.cboIndent,      f.cmdSaveToFile,     f.txtMyFilePath,
                        f.chkAutoUpdate,   f.txtFind,        f.cmdCloseFind,      f.lstBigFileList,
                        f.chkSize,         f.chkModified,    f.lstFolders,        f.txtParentFolder,
                        f.cboPrinterFonts, f.chkFolderSize,  f.cboPrinterFontSize, f.chkRecursive};
    for (QWidget *w : order)
        w->setFocusPolicy(Qt::StrongFocus);
    for (size_t i = 0; i + 1 < std::size(order); ++i)
        QWidget::setTabOrder(order[i], order[i + 1]);
    f.drvDrive->setFocus();

    // Design size, centred on the screen.
    window->resize(DesignClientWidth, DesignClientHeight + bar->sizeHint().height());
    if (const QScreen *screen = window->screen())
        window->move(screen->availableGeometry().center() - window->rect().center());
}
