// SPDX-License-Identifier: GPL-3.0-or-later
// The program as a desktop citizen: its command line (also without a display), the folder it
// starts in, the scan's progress in the status bar, the standard keys, and its colours under
// a dark desktop palette.
#include "window/info/AboutWindow.h"
#include "window/listing/DriveList.h"
#include "core/scan/ProgressText.h"
#include "window/scan/ScanPump.h"
#include "core/scan/engine/ScanProgress.h"
#include "window/shared/MainForm.h"
#include "window/shared/SizeBarDelegate.h"
#include "window/shared/TextList.h"
#include "window/shell/ViewMenu.h"
#include "window/shell/Splash.h"
#include "window/shell/StartFolder.h"
#include "window/shell/WindowSystem.h"
#include "window/scan/DirFolderView.h"
#include "support/TempTree.h"
#include "support/WindowFixture.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QProcess>
#include <QStatusBar>
#include <QStyleOptionMenuItem>
#include <QtTest>
#include <cmath>

namespace {
QString program() { return qEnvironmentVariable("LISTWRIGHT_PROGRAM"); }

// The program started on the offscreen platform, or with no display at all (no X server, no
// Wayland, no platform chosen).
void start(QProcess &p, const QStringList &args, bool offscreen = true, const QString &command = program())
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
        env.remove(QLatin1String(name));
    if (offscreen)
        env.insert("QT_QPA_PLATFORM", "offscreen");
    p.setProcessEnvironment(env);
    p.start(command, args);
}

double luminance(const QColor &c)
{
    const auto linear = [](double v) { return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
    return 0.2126 * linear(c.redF()) + 0.7152 * linear(c.greenF()) + 0.0722 * linear(c.blueF());
}
double contrast(const QColor &a, const QColor &b)
{
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// The background a widget's plain text stands on: its own when it fills it, else its parent's.
QColor backgroundOf(const QWidget *w)
{
    while (!w->autoFillBackground() && !w->isWindow())
        w = w->parentWidget();
    return w->palette().color(QPalette::Window);
}

// Every text colour of every element against the background it is drawn on; the unreadable
// pairs as "name: role".
QStringList unreadable(QWidget *window, const QStringList &except = {})
{
    QStringList bad;
    QList<QWidget *> widgets = window->findChildren<QWidget *>();
    widgets.prepend(window);
    for (QWidget *w : widgets) {
        if (except.contains(w->objectName()))
            continue;
        const QPalette p = w->palette();
        const QString name = w->objectName().isEmpty() ? QString::fromLatin1(w->metaObject()->className()) : w->objectName();
        for (const auto &[role, text, ground] : {std::tuple("WindowText", p.color(QPalette::WindowText), backgroundOf(w)),
                                                 {"Text", p.color(QPalette::Text), p.color(QPalette::Base)},
                                                 {"ButtonText", p.color(QPalette::ButtonText), p.color(QPalette::Button)}})
            if (contrast(text, ground) < 4.5)
                bad << name + ": " + role;
    }
    return bad;
}

// A dark desktop scheme, readable in itself.
QPalette darkPalette()
{
    QPalette p;
    p.setColor(QPalette::Window, QColor(0x2b, 0x2b, 0x2b));
    p.setColor(QPalette::WindowText, QColor(0xe6, 0xe6, 0xe6));
    p.setColor(QPalette::Base, QColor(0x1e, 0x1e, 0x1e));
    p.setColor(QPalette::Text, QColor(0xee, 0xee, 0xee));
    p.setColor(QPalette::Button, QColor(0x3a, 0x3a, 0x3a));
    p.setColor(QPalette::ButtonText, QColor(0xe6, 0xe6, 0xe6));
    return p;
}

// What a menu shows for one of its items: its caption, a tab, and its keys.
QString shownInMenu(QMenu *menu, QAction *action)
{
    struct Peek : QMenu {
        using QMenu::initStyleOption;
    };
    // Reached through a pointer to QMenu's own member: no cast of the menu to a type it is not.
    const auto initStyleOption = &Peek::initStyleOption;
    QStyleOptionMenuItem option;
    (menu->*initStyleOption)(&option, action);
    return option.text;
}
} // namespace

class DesktopTest : public QObject {
    Q_OBJECT
private slots:

    void helpAndVersionWithoutDisplay()
    {
        for (const QString &option : {"--help", "-h", "--version", "-v"}) {
            QProcess p;
            start(p, {option}, false);
            QVERIFY2(p.waitForFinished(60000), qPrintable(option));
            const QString out = QString::fromUtf8(p.readAllStandardOutput());
            QVERIFY2(p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0,
                     qPrintable(option + ": " + QString::fromUtf8(p.readAllStandardError())));
            if (option.contains('v'))
                QCOMPARE(out, QStringLiteral("listwright 2.0.0\n"));
            else
                QVERIFY2(out.contains("Usage:") && out.contains("[FOLDER | SCAN]") && out.contains("--version") && out.contains("--format F"),
                         qPrintable(out)); // the listing without a window's options too
        }
        // Without a display: one line and status 1. A wrong command line: the usage line and
        // status 2, with a display or without.
        for (const auto &[args, offscreen] : {std::pair{QStringList{}, false}, {QStringList{"--no-such-option"}, false},
                                              {QStringList{"-style", "Fusion", "/", "/tmp"}, true}}) {
            QProcess p;
            start(p, args, offscreen);
            QVERIFY(p.waitForFinished(60000));
            const QString err = QString::fromUtf8(p.readAllStandardError());
            QVERIFY2(p.exitStatus() == QProcess::NormalExit && p.readAllStandardOutput().isEmpty(), qPrintable(err));
            if (args.isEmpty())
                QVERIFY2(p.exitCode() == 1 && err == "listwright: no display to show the window on (DISPLAY and "
                                                     "WAYLAND_DISPLAY are not set)\n", qPrintable(err));
            else
                QVERIFY2(p.exitCode() == 2 && err.contains("\nUsage: ") && err.endsWith("listwright [options] [FOLDER | SCAN]\n"), qPrintable(err));
        }
    }

    // The window systems tried, in order, from the session and the installed plugins, or why
    // there is none.
    void windowSystem()
    {
        const QStringList x11{"libqxcb.so", "libqoffscreen.so"}, both = x11 + QStringList{"libqwayland-generic.so"};
        const auto chosen = [](const char *display, const char *wayland, const char *session, const QStringList &plugins) {
            const WindowSystem w = windowSystemFor(display, wayland, session, plugins);
            return w.platforms + '|' + w.problem.section(QLatin1Char('('), 1).toUtf8();
        };
        QCOMPARE(chosen("", "", "", both), "|DISPLAY and WAYLAND_DISPLAY are not set)");
        QCOMPARE(chosen(":0", "", "", x11), "xcb|");
        QCOMPARE(chosen(":0", "wayland-0", "wayland", x11), "xcb|");
        QCOMPARE(chosen(":0", "wayland-0", "wayland", both), "wayland;xcb|");
        QCOMPARE(chosen(":0", "wayland-0", "x11", both), "xcb;wayland|");
        QCOMPARE(chosen("", "wayland-0", "wayland", both), "wayland|");
        QVERIFY(chosen("", "wayland-0", "wayland", x11).startsWith("|WAYLAND_DISPLAY is set, but"));
        QCOMPARE(chosen(":0", "", "", {}), "|"); // plugins not found: the toolkit's own choice
    }

    void folderThatCannotBeOpenedIsToldOnStandardError()
    {
        // A name of upper-case letters and a byte that is not UTF-8, given to the program as
        // it stands: here a file, which a changed name would not find.
        TempTree t;
        t.file("Up\xff" "A", 1);
        QProcess p;
        p.setWorkingDirectory(QString::fromUtf8(t.path()));
        p.setReadChannel(QProcess::StandardError);
        start(p, {"-c", "exec \"$0\" \"$(printf 'Up\\377A')\"", program()}, true, "/bin/sh");
        // Its line, among whatever else the toolkit may say there.
        const QByteArray expected =
            "listwright: cannot open folder " + QString::fromUtf8(t.at("Up\xff" "A")).toUtf8() + ": Not a directory\n";
        QByteArray err;
        while (!err.contains(expected) && p.waitForReadyRead(60000))
            err += p.readAllStandardError();
        // The program goes on and starts as without an argument (its box waits for the user).
        const bool running = p.state() == QProcess::Running;
        p.kill();
        p.waitForFinished();
        QVERIFY2(err.contains(expected) && running, err.constData());
    }

    void startFolder()
    {
        TempTree t;
        const QByteArray O = "Up\xff"; // upper case, and a byte that is not UTF-8: taken as it stands
        t.wide("S", 2, 1);
        t.wide(O, 3, 2);
        t.file(O + "/own.txt", 10);
        t.file("S/plain", 1);
        // Started in S with "../O": the same window as one started in O without an argument.
        const auto stateOf = [](MainWindow &w) {
            MainForm &f = w.form();
            return QStringList{f.dirFolder->pathText(), f.txtMyFilePath->text(), f.CurrentFolderPath, f.CurrentDrive,
                               f.drvDrive->drive(), f.txtParentFolder->text(), f.window->windowTitle()}
                   + f.lstFolders->lines() + f.lstBigFileList->lines();
        };
        QStringList fromO;
        {
            WindowFixture plain(t.at(O));
            fromO = stateOf(*plain.window);
        }
        const auto restore = qScopeGuard([previous = QDir::currentPath()] { QDir::setCurrent(previous); });
        QDir::setCurrent(QString::fromUtf8(t.at("S")));
        const StartFolder relative = startFolderFrom("../" + O + "/"), missing = startFolderFrom("gone"),
                          file = startFolderFrom("plain"), none = startFolderFrom({});
        QVERIFY(relative.path == t.at(O) && relative.problem.isEmpty());
        QCOMPARE(missing.named + '|' + missing.problem, t.at("S/gone") + "|No such file or directory");
        QCOMPARE(file.named + '|' + file.problem, t.at("S/plain") + "|Not a directory");
        QVERIFY(missing.path.isEmpty() && file.path.isEmpty() && none.path.isEmpty() && none.problem.isEmpty());

        ScriptedMessageBoxes boxes;
        RecordingPrinter printer;
        RecordingOpener opener;
        DirFolderView::readAhead(t.at(O)); // read while a splash would show, and taken by the window
        auto w = openMainWindow(boxes, printer, opener, startFolderFrom("../" + O));
        QVERIFY(w && w->isVisible());
        QCOMPARE(stateOf(*w), fromO);
        QCoreApplication::processEvents();
        QVERIFY(boxes.boxes.isEmpty());
        w.reset();

        // A folder that cannot be opened: the box, and the window in the working folder, which
        // passes by a folder read ahead that it does not open.
        DirFolderView::readAhead(t.at(O));
        auto fallback = openMainWindow(boxes, printer, opener, startFolderFrom("missing"));
        QVERIFY(fallback && boxes.boxes.isEmpty()); // the box follows once the window is up
        QCoreApplication::processEvents();
        QCOMPARE(boxes.titles(), QStringList{"Listwright - Error Opening Folder"});
        QCOMPARE(boxes.boxes.first().text, "No such file or directory\r" + t.at("S/missing"));
        QCOMPARE(fallback->form().dirFolder->path(), t.at("S"));
        QCOMPARE(fallback->form().CurrentDrive, DriveList::driveOf(QString::fromUtf8(t.at("S"))));
    }

    void progressText()
    {
        QLocale::setDefault(QLocale::c());
        ScanProgress p;
        QCOMPARE(progressCounts(p), "Folders: 0   Files: 0   Size: 0 B   Reading: ");
        p.enterFolder("/a/b");
        p.addFile(1000);
        p.addFile(536);
        p.enterFolder("/a/b/c\nd");
        QCOMPARE(progressCounts(p) + progressFolder(p), "Folders: 2   Files: 2   Size: 1.50 KB   Reading: /a/b/c?d");
    }

    void progressInStatusBarDuringScan()
    {
        TempTree t;
        t.wide("S", 4, 5);
        const QByteArray deep = "S/d1/" + QByteArray(120, 'x') + "/" + QByteArray(120, 'y');
        t.mkdir(deep);
        t.file(deep + "/f", 2048);
        // A desktop with a large face: the bar keeps the window's own, which fits its height.
        const QFont desktopFont = QApplication::font();
        QApplication::setFont(QFont(QStringLiteral("DejaVu Sans"), 12));
        const auto restoreFont = qScopeGuard([&] { QApplication::setFont(desktopFont); });
        WindowFixture w(t.at("S"));
        // Counted on the window thread with a pump at every entry, and a line at every pump.
        w.window->scans().options = ScanOptions{0, 0};
        w.window->scans().progressIntervalMs = 0;
        w.window->show();
        QStatusBar *bar = w.f().StatusBar1;
        QVERIFY(bar->currentMessage().isEmpty());
        QVERIFY(bar->fontMetrics().height() + 2 <= bar->height()); // a line shows whole, with a pixel to spare

        // What the status bar says at each pump of a size scan; it is emptied when the scan ends.
        bool emptied = true;
        const auto sizeScanShows = [&] {
            QStringList shown;
            QTimer look;
            QObject::connect(&look, &QTimer::timeout, [&] { shown << bar->currentMessage(); });
            look.start(0);
            w.f().chkFolderSize->setChecked(true);
            look.stop();
            emptied = emptied && bar->currentMessage().isEmpty();
            w.f().chkFolderSize->setChecked(false);
            return shown;
        };
        QStringList shown = sizeScanShows();
        QVERIFY(shown.size() > 10 && emptied);

        const QRegularExpression line(
            "^Folders: (\\d+)   Files: (\\d+)   Size: ([0-9.]+ (B|KB|MB))   Reading: (.+)$");
        qint64 folders = 0, files = 0;
        bool sawDeep = false;
        for (const QString &text : shown) {
            const QRegularExpressionMatch m = line.match(text);
            QVERIFY2(m.hasMatch(), qPrintable(text));
            QVERIFY2(m.captured(1).toLongLong() >= folders && m.captured(2).toLongLong() >= files, qPrintable(text));
            folders = m.captured(1).toLongLong();
            files = m.captured(2).toLongLong();
            const QString folder = m.captured(5);
            // The folder being read, shortened in its middle when the line would not fit.
            QVERIFY2(folder.startsWith(t.at("S/d")) || folder.contains(QChar(0x2026)), qPrintable(folder));
            QVERIFY2(bar->fontMetrics().horizontalAdvance(text) <= bar->width(), qPrintable(text));
            sawDeep = sawDeep || folder.contains(QChar(0x2026));
        }
        QCOMPARE(folders, 6); // d0 to d3 and the two below d1; S's own folder has no file, so no pump
        QCOMPARE(files, 21);
        QVERIFY(sawDeep);

        // At most one line per interval: with a long one, the first line stays for the whole scan.
        w.window->scans().progressIntervalMs = 3600 * 1000;
        shown = sizeScanShows();
        QVERIFY(shown.size() > 10 && emptied);
        QCOMPARE(shown.count(shown.first()), shown.size());
        QVERIFY2(shown.first().startsWith("Folders: 1   Files: 0 "), qPrintable(shown.first()));
    }

    void standardShortcuts()
    {
        TempTree t;
        t.mkdir("S");
        WindowFixture w(t.at("S"));
        MainForm &f = w.f();
        w.window->show();
        w.window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w.window.get()));
        const QList<std::tuple<QMenu *, QAction *, QString>> keys = {
            {f.mnuFile, f.mnuSave, "Ctrl+S"},       {f.mnuFile, f.mnuPrint, "Ctrl+P"},
            {f.mnuFile, f.mnuExit, "Ctrl+Q"},       {f.mnuWindow, f.mnuWindowReset, "F2"},
            {f.mnuHelp, f.mnuHelpPrint, "F1"},
        };
        for (const auto &[menu, action, key] : keys) {
            QCOMPARE(shownInMenu(menu, action), action->text() + '\t' + key);
            // The key runs the item from a list and from a text box alike (its handler is
            // replaced here by a counter: the real ones open windows and boxes).
            QObject::disconnect(action, &QAction::triggered, nullptr, nullptr);
            int runs = 0;
            QObject::connect(action, &QAction::triggered, [&runs] { ++runs; });
            for (QWidget *focus : {(QWidget *)f.lstBigFileList, (QWidget *)f.txtTitle}) {
                focus->setFocus();
                QTest::keySequence(QApplication::focusWidget(), QKeySequence(key));
            }
            QVERIFY2(runs == 2, qPrintable(key));
        }
    }

    void readableUnderDarkPalette()
    {
        const QPalette before = QApplication::palette();
        QApplication::setPalette(darkPalette());
        TempTree t;
        t.mkdir("S/sub");
        const auto restore = qScopeGuard([&] { QApplication::setPalette(before); });
        WindowFixture w(t.at("S"));
        w.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.window.get()));
        QCOMPARE(unreadable(w.window.get()), QStringList());
        // The design's colours stay; the desktop's where the design has none.
        MainForm &f = w.f();
        QCOMPARE(f.lblTitle->palette().color(QPalette::WindowText), QColor(0, 0, 192));
        QCOMPARE(f.txtTitle->palette().color(QPalette::Text), QColor(0, 0, 192));
        QCOMPARE(backgroundOf(f.chkSize), QColor(192, 192, 192));
        QCOMPARE(f.lstFolders->palette().color(QPalette::Base), darkPalette().color(QPalette::Base));
        QCOMPARE(f.window->menuBar()->palette().color(QPalette::Window), darkPalette().color(QPalette::Window));
        QCOMPARE(f.cmdExit->palette().color(QPalette::Button), darkPalette().color(QPalette::Button));
        SplashWindow splash([] {});
        splash.timeSplash.stop();
        QCOMPARE(unreadable(&splash), QStringList());
        RecordingOpener opener;
        AboutWindow about(opener);
        QCOMPARE(unreadable(&about, {"lblUrl"}), QStringList()); // the link keeps the design's blue on black
    }

    void viewMenu()
    {
        // Size bars show on the lines with sizes, readable over their bar under a light and a
        // dark scheme; the choices come back in the next window.
        TempTree t;
        // a: the larger tree; b: the newer folder and file below.
        for (const char *folder : {"S/a", "S/b"})
            t.mkdir(folder);
        t.file("S/a/f", 100, QDateTime::currentDateTime().addDays(-2));
        t.file("S/b/g", 5, QDateTime::currentDateTime().addDays(-1));
        t.file("S/a.txt", 1, QDateTime::currentDateTime().addDays(-3)); // own files: z.txt the newer
        t.file("S/z.txt", 1, QDateTime::currentDateTime().addDays(-2));
        QCOMPARE(QProcess::execute("touch", {"-d", "2001-01-01", QString::fromUtf8(t.at("S/a"))}), 0);
        WindowFixture w(t.at("S"));
        MainForm &f = w.f();
        const QModelIndex line = f.lstFolders->model()->index(0, 0);
        for (bool sizes : {false, true, false}) {
            f.chkFolderSize->setChecked(sizes);
            f.mnuSizeBars->trigger();
            QCOMPARE(line.data(TextListModel::BarRole), sizes && f.mnuSizeBars->isChecked() ? QVariant(1.0) : QVariant());
        }
        TextListModel mixed; // a line without a size (a file that could not be read) gets no bar
        mixed.append(QStringLiteral("a"), {100, 0});
        mixed.append(QStringLiteral("b"));
        mixed.setSizeBars(true);
        QCoreApplication::processEvents(); // the rows show
        QCOMPARE(mixed.index(0).data(TextListModel::BarRole), QVariant(1.0));
        QCOMPARE(mixed.index(1).data(TextListModel::BarRole), QVariant());
        QPalette grey; // text barely readable on its own: the bar gives way
        grey.setColor(QPalette::Text, QColor(0x76, 0x76, 0x76));
        for (const QPalette &scheme : {QPalette(), darkPalette(), grey})
            QVERIFY(contrast(scheme.color(QPalette::Text), sizeBarColour(scheme)) >= 4.5);
        QVERIFY(sizeBarColour(QPalette()) != QPalette().color(QPalette::Base) && sizeBarColour(darkPalette()) != darkPalette().color(QPalette::Base));
        f.chkModified->setChecked(false);
        f.mnuSortFoldersModified->trigger();
        f.mnuSortFilesModified->trigger();
        QVERIFY(f.chkModified->isChecked() && w.fileLines()[0].startsWith("z.txt") && w.folderLines()[0].startsWith(t.at("S/b")));
        f.chkRecursive->setChecked(true);
        QVERIFY(w.folderLines()[0].startsWith(t.at("S/b")) && w.fileLines()[0].startsWith(t.at("S/b/g")));
        // Show Counts and Disk Usage scan the folder again, as the Recursive box does.
        f.mnuCounts->trigger();
        QVERIFY(w.folderLines()[0].endsWith("5    B   1 file") && f.txtParentFolder->text().endsWith("  4 files"));
        f.chkRecursive->setChecked(false); // folder sizes stay on
        f.mnuDiskUsage->trigger();
        QVERIFY(w.fileLines()[0].contains(" 4.00 KB ") && f.txtParentFolder->text().endsWith("  4 files  (disk usage)"));
        const ViewChoices kept{SortBy::Modified, SortBy::Modified, true, true, true};
        QString problem;
        QTRY_VERIFY(readViewChoices(viewSettingsFile(), &problem) == kept);
        QVERIFY(shownViewChoices(WindowFixture(t.at("S")).f()) == kept);
    }
};

QTEST_MAIN(DesktopTest)
#include "tst_desktop.moc"
