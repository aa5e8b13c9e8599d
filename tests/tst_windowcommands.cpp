// Reset to Default Size and the About window on the real main window. Exit and closing the window
// during a size scan run the window in a child process (this program with --scan-then-close).
#include "info/AboutWindow.h"
#include "scan/ScanPump.h"
#include "shared/TextList.h"
#include "shell/WindowCommands.h"
#include "support/TempTree.h"
#include "support/WindowFixture.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QtTest>
#include <cstdio>

class WindowCommandsTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { scanTree_.wide("top", 10, 20); }
    void resetAndAbout();
    void exitDuringSizeScanEndsTheProgram();

private:
    TempTree scanTree_; // top/d0 .. top/d9, 20 files each, for the size scans
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

void WindowCommandsTest::resetAndAbout()
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
        window->setWindowState(state);
        QTRY_VERIFY(window->windowState() & state);
        const QRect before = window->frameGeometry();
        mnuWindowReset_Click(f);
        QCOMPARE(window->windowState(), Qt::WindowStates(state));
        QCOMPARE(window->frameGeometry(), before);
        window->showNormal();
    }

    // About: the link hands the home page over twice and the window stays open; Enter closes it;
    // the next opening is a fresh window.
    QVERIFY(openModal(f.mnuAbout, [](QWidget *modal) {
        auto *about = qobject_cast<AboutWindow *>(modal);
        QVERIFY(about);
        for (int click = 0; click < 2; ++click) {
            QTest::mouseClick(about->lblUrl, Qt::LeftButton);
            QVERIFY(about->isVisible());
        }
        about->lblUrl->setText(QStringLiteral("changed"));
    }));
    QCOMPARE(w.opener.opened, QList<QUrl>(2, QUrl("https://listwright.example.org/")));
    QVERIFY(openModal(f.mnuAbout, [](QWidget *modal) {
        QCOMPARE(qobject_cast<AboutWindow *>(modal)->lblUrl->text(), QStringLiteral("https://listwright.example.org/"));
    }));
}

void WindowCommandsTest::exitDuringSizeScanEndsTheProgram()
{
    for (const QString how : {"cmdExit", "mnuExit", "close"}) { // the Exit button, File > Exit, the title bar
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        child.start(QCoreApplication::applicationFilePath(),
                    {"--scan-then-close", how, QFile::decodeName(scanTree_.at("top"))});
        const auto stopChild = qScopeGuard([&] { child.kill(); child.waitForFinished(); });

        // The child says "closing" just before it closes the window in the middle of the scan.
        QByteArray said;
        while (!said.contains('\n') && child.waitForReadyRead(60000))
            said += child.readAllStandardOutput();
        QVERIFY2(said.startsWith("closing"), qPrintable(how + ": " + said));
        QVERIFY2(child.waitForFinished(1000), qPrintable(how + ": still running a second after the close"));
        QVERIFY2(child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0, qPrintable(how));
    }
}

// The child: a size scan started by ticking the folder size box, and the window closed as `how` says
// once the scan has listed its first folder. Ends with 3 when the scan ran to its end first.
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
        if (!f.window->windowTitle().startsWith(QLatin1String("Listwright - Scanning")) || f.lstFolders->count() < 1)
            return;
        watch.stop();
        std::printf("closing\n");
        std::fflush(stdout);
        how == "cmdExit" ? f.cmdExit->click() : how == "mnuExit" ? f.mnuExit->trigger() : void(f.window->close());
    });
    QTimer::singleShot(0, [&] {
        watch.start(0);
        f.chkFolderSize->setChecked(true); // returns when the scan ends
        if (watch.isActive())
            QCoreApplication::exit(3);
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
