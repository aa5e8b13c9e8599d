// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/shell/MainWindow.h"

#include "window/listing/CompleteFileList.h"
#include "window/listing/DriveChange.h"
#include "window/listing/DriveList.h"
#include "window/output/ClearTitle.h"
#include "window/output/IndentationBox.h"
#include "window/output/PrintListing.h"
#include "window/output/PrinterFonts.h"
#include "window/output/PrinterList.h"
#include "window/output/SaveScan.h"
#include "window/output/SaveToFile.h"
#include "core/output/TitleCheck.h"
#include "core/scan/CallWait.h"
#include "window/scan/DirFolderView.h"
#include "window/scan/ScanSteps.h"
#include "window/scan/ScanCancellation.h"
#include "window/shared/TextList.h"
#include "core/shared/FsError.h"
#include "window/shared/FocusBehind.h"
#include "window/shared/QtMessageBoxes.h"
#include "core/shared/QuietWork.h"
#include "window/shell/CompareScan.h"
#include "window/shell/FileTypesChange.h"
#include "window/shell/FindBar.h"
#include "window/shell/FolderChange.h"
#include "window/shell/FolderLineMenu.h"
#include "window/shell/FormLoad.h"
#include "window/shell/MainLayout.h"
#include "window/shell/OpenScan.h"
#include "window/shell/Resizer.h"
#include "window/shell/ScanOptions.h"
#include "window/shell/ScanScope.h"
#include "window/shell/ViewMenu.h"
#include "window/shell/WindowCommands.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QToolButton>
#include <cstdio>
#include <type_traits>

MainWindow::MainWindow(MessageBoxes &boxes, PrinterService &printer, WebOpener &opener, const QByteArray &startFolder)
{
    form_.boxes = &boxes;
    form_.printer = &printer;
    form_.opener = &opener;
    buildMainLayout(this, form_, startFolder);
    resizer_ = new Resizer(centralWidget(), QSize(DesignClientWidth, DesignClientHeight - DesignStatusBarHeight));
    connectHandlers();
    waitHooks();
    // The View menu's choices of the last run; nothing else of the window is remembered.
    const ViewChoicesRead kept = readViewChoicesAside(viewSettingsFile());
    showViewChoices(form_, kept.choices);
    useScanScope(form_, scans_);
    if (!kept.problem.isEmpty())
        std::fprintf(stderr, "%s\n", qPrintable(kept.problem));
    // Key preview: the window sees every key press before the focused element.
    qApp->installEventFilter(this);
}

MainWindow::~MainWindow()
{
    CallWait::hooks.status = {};
    CallWait::hooks.endDuringSave = {};
    QtMessageBoxes::passes = {};
    qApp->removeEventFilter(this);
}

// A handler that waits while quiet work runs (see QuietWork), with the arguments it was given.
template <typename Handler>
auto MainWindow::held(Handler handler)
{
    return [this, handler](const auto &...args) {
        QuietWork::handle(this, [handler, args...] {
            if constexpr (std::is_invocable_v<Handler, decltype(args)...>)
                handler(args...);
            else
                handler();
        });
    };
}

void MainWindow::connectHandlers()
{
    MainForm &f = form_;
    ScanSession &s = scans_;
    connect(f.dirFolder, &DirFolderView::changed, this, held([&f, &s] { dirFolder_Change(f, s); }));
    connect(f.dirFolder, &DirFolderView::openFailed, this, held([&f](const QString &folder, const QString &why) {
                dirFolder_OpenFailed(f, folder, why);
            }));
    connect(f.drvDrive, &QComboBox::currentIndexChanged, this, held([&f] { drvDrive_Change(f); }));
    connect(f.cboFileTypes, &QComboBox::activated, this, held([&f, &s] { cboFileTypes_Click(f, s); }));
    connect(f.cboFileTypes->lineEdit(), &QLineEdit::textEdited, this, held([&f, &s] { cboFileTypes_Change(f, s); }));
    connect(f.chkFolderSize, &QCheckBox::toggled, this, held([&f, &s] { chkFolderSize_Click(f, s); }));
    connect(f.chkRecursive, &QCheckBox::toggled, this, held([&f, &s] { chkRecursive_Click(f, s); }));
    connect(f.chkSize, &QCheckBox::toggled, this, held([&f, &s] { chkSize_Click(f, s); }));
    connect(f.chkModified, &QCheckBox::toggled, this, held([&f, &s] { chkModified_Click(f, s); }));
    connect(f.chkAutoUpdate, &QCheckBox::toggled, this, held([&f] { chkAutoUpdate_Click(f); }));
    connect(f.cmdClearTitle, &QPushButton::clicked, this, held([&f] { cmdClearTitle_Click(f); }));
    connect(f.cmdSaveToFile, &QPushButton::clicked, this, held([&f] { cmdSaveToFile_Click(f); }));
    connect(f.cmdPrint, &QPushButton::clicked, this, held([&f] { cmdPrint_Click(f); }));
    // Exit is never held: during a wait or a box the window's close it makes ends the program
    // at once (see closeEvent).
    connect(f.cmdExit, &QPushButton::clicked, this, [&f, &s] { cmdExit_Click(f, s); });
    connect(f.cboIndent, &QComboBox::activated, this, held([&f] { cboIndent_Click(f); }));
    connect(f.cboIndent, &QComboBox::editTextChanged, this, held([&f] { cboIndent_Change(f); }));
    connect(f.cboPrinter, &QComboBox::activated, this, held([&f] { cboPrinter_Click(f); }));
    connect(f.cboPrinterFonts, &QComboBox::activated, this, held([&f] { cboPrinterFonts_Click(f); }));
    connect(f.cboPrinterFontSize, &QComboBox::activated, this, held([&f] { cboPrinterFontSize_Click(f); }));
    connect(f.mnuPrint, &QAction::triggered, this, held([&f] { mnuPrint_Click(f); }));
    connect(f.mnuSave, &QAction::triggered, this, held([&f] { mnuSave_Click(f); }));
    connect(f.mnuOpenScan, &QAction::triggered, this, held([&f, &s] { mnuOpenScan_Click(f, s); }));
    connect(f.mnuCompareScan, &QAction::triggered, this, held([&f, &s] { mnuCompareScan_Click(f, s); }));
    connect(f.mnuChangesOnly, &QAction::triggered, this, held([&f, &s] { mnuChangesOnly_Click(f, s); }));
    connect(f.mnuSaveScan, &QAction::triggered, this, held([&f, &s] { mnuSaveScan_Click(f, s); }));
    connect(f.mnuStopScan, &QAction::triggered, this, held([&f, &s] { mnuStopScan_Click(f, s); }));
    connect(f.mnuExit, &QAction::triggered, this, [&f, &s] { mnuExit_Click(f, s); });
    connect(f.mnuWindowReset, &QAction::triggered, this, held([&f] { mnuWindowReset_Click(f); }));
    connect(f.mnuSortFoldersName, &QAction::triggered, this, held([&f] { mnuSortFolders_Click(f, SortBy::Name); }));
    connect(f.mnuSortFoldersSize, &QAction::triggered, this, held([&f] { mnuSortFolders_Click(f, SortBy::Size); }));
    connect(f.mnuSortFoldersModified, &QAction::triggered, this, held([&f] { mnuSortFolders_Click(f, SortBy::Modified); }));
    connect(f.mnuSortFilesName, &QAction::triggered, this, held([&f] { mnuSortFiles_Click(f, SortBy::Name); }));
    connect(f.mnuSortFilesSize, &QAction::triggered, this, held([&f] { mnuSortFiles_Click(f, SortBy::Size); }));
    connect(f.mnuSortFilesModified, &QAction::triggered, this, held([&f] { mnuSortFiles_Click(f, SortBy::Modified); }));
    connect(f.mnuSizeBars, &QAction::triggered, this, held([&f] { mnuSizeBars_Click(f); }));
    connect(f.mnuCounts, &QAction::triggered, this, held([&f, &s] { mnuCounts_Click(f, s); }));
    connect(f.mnuDiskUsage, &QAction::triggered, this, held([&f, &s] { mnuDiskUsage_Click(f, s); }));
    connect(f.mnuOneFileSystem, &QAction::triggered, this, held([&f, &s] { mnuOneFileSystem_Click(f, s); }));
    connect(f.mnuExclude, &QAction::triggered, this, held([&f, &s] { mnuExclude_Click(f, s); }));
    connect(f.mnuFind, &QAction::triggered, this, [&f] { mnuFind_Click(f); });
    connect(f.txtFind, &QLineEdit::textChanged, this, [&f] { txtFind_Change(f); });
    connect(f.cmdCloseFind, &QToolButton::clicked, this, [&f] { cmdCloseFind_Click(f); });
    for (TextList *list : {f.lstFolders, f.lstBigFileList})
        connect(list, &TextList::shownChanged, this, [&f] { showFoundCounts(f); });
    connect(f.lstFolders, &TextList::lineMenuRequested, this,
            [&f](qsizetype row, const QPoint &at) { lstFolders_LineMenu(f, row, at); });
    connect(f.mnuOpenFolder, &QAction::triggered, this, held([&f] { mnuOpenFolder_Click(f); }));
    connect(f.mnuCopyPath, &QAction::triggered, this, held([&f] { mnuCopyPath_Click(f); }));
    connect(f.mnuListFolder, &QAction::triggered, this, [&f] { mnuListFolder_Click(f); });
    connect(f.mnuAbout, &QAction::triggered, this, held([&f] { mnuAbout_Click(f); }));
    connect(f.mnuHelpPrint, &QAction::triggered, this, held([&f] { mnuHelpPrint_Click(f); }));
    connect(f.mnuHelpSaveToFile, &QAction::triggered, this, held([&f] { mnuHelpSaveToFile_Click(f); }));
    // While a box is open, the way out of the program still works: the Exit button, and the
    // Exit key from any window of the program.
    f.mnuExit->setShortcutContext(Qt::ApplicationShortcut);
    QtMessageBoxes::passes = [&f](QObject *watched, QEvent *event) {
        if (event->type() == QEvent::ShortcutOverride || event->type() == QEvent::KeyPress) {
            const auto *key = static_cast<QKeyEvent *>(event);
            return QKeySequence(key->keyCombination()) == f.mnuExit->shortcut();
        }
        return watched == f.cmdExit;
    };
}

void MainWindow::waitHooks()
{
    MainForm &f = form_;
    CallWait::hooks.status = [&f](const QString &line) {
        const QString waiting = QStringLiteral("Waiting for ");
        if (line.isEmpty()) {
            if (f.StatusBar1->currentMessage().startsWith(waiting))
                f.StatusBar1->clearMessage();
            return;
        }
        f.StatusBar1->showMessage(line);
        if (f.window->windowTitle() != IdleCaption)
            advanceCaption(f);
    };
}

bool MainWindow::load()
{
    try {
        Form_Load(form_, scans_);
        return true;
    } catch (const std::exception &e) {
        form_.boxes->show(errorDescription(e), QStringLiteral("Listwright - Error loading program"));
        return false;
    }
}

bool MainWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Hide && watched->isWidgetType())
        focusBehind(static_cast<QWidget *>(watched));
    if (event->type() == QEvent::KeyPress) {
        // A key press is delivered first to the focused element (or to the window when no
        // element has the focus); later deliveries of the same press to parents are skipped.
        QWidget *first = QApplication::focusWidget() ? QApplication::focusWidget() : QApplication::activeWindow();
        auto *w = qobject_cast<QWidget *>(watched);
        if (w && w == first && w->window() == this) {
            auto *key = static_cast<QKeyEvent *>(event);
            // Esc while the window waits for the file system gives that wait up first (see CallWait).
            if (key->key() == Qt::Key_Escape && CallWait::active()) {
                QuietWork::handle(this, [this, code = key->key(), modifiers = key->modifiers()] {
                    Form_KeyDown(form_, scans_, code, modifiers);
                });
            } else if (key->key() == Qt::Key_Escape && form_.fraFind->isAncestorOf(w)) {
                // Esc in the find bar closes it; elsewhere it stops a size count.
                cmdCloseFind_Click(form_);
                return true;
            } else {
                Form_KeyDown(form_, scans_, key->key(), key->modifiers());
            }
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    // Closing the window ends any running scan, and then the program; during quiet work, once
    // the work has ended.
    if (CallWait::active()) {
        // The file system may never answer: the program ends from the wait (see CallWait).
        event->ignore();
        scans_.shutDown();
        CallWait::close();
        QuietWork::handle(this, [this] { close(); }); // when a save was waited for after all
        return;
    }
    if (MessageBoxes::showing()) {
        // One box may follow another (one for each file a scan cannot read): the program ends
        // now, without them.
        event->ignore();
        scans_.shutDown();
        if (CallWait::hooks.endProgram)
            CallWait::hooks.endProgram();
        else
            QCoreApplication::exit(0);
        return;
    }
    if (QuietWork::running()) {
        event->ignore();
        CallWait::close(); // a wait that becomes long ends the program
        QuietWork::handle(this, [this] { close(); });
        return;
    }
    scans_.shutDown();
    event->accept();
    QCoreApplication::quit();
}
