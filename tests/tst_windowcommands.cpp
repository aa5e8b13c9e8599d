// Reset to Default Size and the information windows on the real main window. Exit and closing the window
// during a size scan run the window in a child process (this program with --scan-then-close).
#include "info/AboutWindow.h"
#include "scan/ScanPump.h"
#include "shell/WindowCommands.h"
#include "support/TempTree.h"
#include "support/WindowFixture.h"

#include <QtTest>
#include <QtWidgets>
#include <cstdio>

class WindowCommandsTest : public QObject {
    Q_OBJECT
    TempTree scanTree_; // top/d0 .. top/d9, 20 files each, for the size scans
private slots:
    void initTestCase() { scanTree_.wide("top", 10, 20); }
    void resetAndInfoWindows();
    void exitDuringSizeScanEndsTheProgram();
};

// Runs `check` on the modal window the action opens, then presses Enter; answers whether Enter closed it.
static bool openModal(QAction *action, const std::function<void(QWidget *)> &check)
{
    bool closedByEnter = false;
    QTimer::singleShot(0, [&] {
        QPointer<QWidget> modal = QApplication::activeModalWidget();
        if (!modal || !QTest::qWaitFor([&] { return QApplication::activeWindow() == modal; }))
            return;
        check(modal);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        closedByEnter = !modal || !modal->isVisible();
        if (modal)
            modal->close();
    });
    action->trigger();
    return closedByEnter;
}

void WindowCommandsTest::resetAndInfoWindows()
{
    WindowFixture w(scanTree_.path(), false);
    MainForm &f = w.f();
    QMainWindow *window = f.window;
    window->show();
    QVERIFY(QTest::qWaitForWindowActive(window));

    // Reset: a moved and resized window gets the default outer size (648 x 515) centred on the screen;
    // a maximised or minimised one stays as it is.
    window->setGeometry(-300, 200, 420, 300);
    QTest::keyClick(f.txtTitle, Qt::Key_F2);
    const QSize screen = QGuiApplication::primaryScreen()->size();
    QCOMPARE(window->frameGeometry(), QRect((screen.width() - 648) / 2, (screen.height() - 515) / 2, 648, 515));
    for (Qt::WindowState state : {Qt::WindowMaximized, Qt::WindowMinimized}) {
        const QRect normal(50, 60, 420, 300); // where the window goes back to when it is made normal again
        window->setGeometry(normal);
        window->setWindowState(state);
        QTRY_VERIFY(window->windowState() & state);
        const QRect before = window->frameGeometry();
        mnuWindowReset_Click(f);
        QCOMPARE(window->windowState(), Qt::WindowStates(state));
        QCOMPARE(window->frameGeometry(), before);
        window->showNormal();
        QTRY_COMPARE(window->geometry(), normal);
    }

    // Each information window opens modal and fresh, and Enter closes it; the About window's link
    // hands the home page over at every click, and the window stays open.
    const struct { QAction *action; const char *title; } windows[] = {
        {f.mnuAbout, "About"}, {f.mnuHelpPrint, "Help - Printing"}, {f.mnuHelpSaveToFile, "Help - Save To File"}, {f.mnuAbout, "About"}};
    for (const auto &[action, title] : windows)
        QVERIFY(openModal(action, [&](QWidget *modal) {
            QCOMPARE(modal->windowTitle(), QLatin1String(title));
            if (auto *about = qobject_cast<AboutWindow *>(modal)) {
                QCOMPARE(about->lblUrl->text(), QLatin1String(HomePage));
                QTest::mouseClick(about->lblUrl, Qt::LeftButton);
                QVERIFY(about->isVisible());
                about->lblUrl->setText(QStringLiteral("changed"));
            }
        }));
    QCOMPARE(w.opener.opened, QList<QUrl>(2, QUrl(HomePage)));
}

void WindowCommandsTest::exitDuringSizeScanEndsTheProgram()
{
    for (const QString how : {"cmdExit", "mnuExit", "close"}) { // the Exit button, File > Exit, the title bar
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        child.start(QCoreApplication::applicationFilePath(), {"--scan-then-close", how, QFile::decodeName(scanTree_.at("top"))});
        const auto stopChild = qScopeGuard([&] { child.kill(); child.waitForFinished(); });
        QVERIFY2(child.waitForFinished(120000), qPrintable(how + ": still running"));
        QCOMPARE(child.readAllStandardOutput(), QByteArray("closing with 1 line, left with 1\n"));
        QVERIFY2(child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0, qPrintable(how));
    }
}

// The child: a size scan started by ticking the folder size box, and the window closed as `how` says
// once the scan has listed its first folder; says how many folder lines the scan left behind.
static int scanThenClose(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const QByteArray how = argv[2];
    WindowFixture w{QByteArray(argv[3])};
    MainForm &f = w.f();
    f.window->show();
    ScanPump::intervalMs = 0; // events are pumped at every entry, so the close comes right after the first line
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (f.lstFolders->count() < 1)
            return;
        watch.stop();
        std::printf("closing with %d line, ", f.lstFolders->count());
        how == "cmdExit" ? f.cmdExit->click() : how == "mnuExit" ? f.mnuExit->trigger() : void(f.window->close());
    });
    QTimer::singleShot(0, [&] {
        watch.start(0);
        f.chkFolderSize->setChecked(true); // returns when the scan ends
        std::printf("left with %d\n", f.lstFolders->count());
    });
    return app.exec();
}

int main(int argc, char *argv[])
{
    if (argc == 4 && qstrcmp(argv[1], "--scan-then-close") == 0)
        return scanThenClose(argc, argv);
    QApplication app(argc, argv);
    WindowCommandsTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_windowcommands.moc"
