// Exit, Reset to Default Size and the information windows, on the real main window. The exit
// cases run the main window in a child process (this program, started with --scan-then-close)
// over a large folder tree, close it in the middle of a size scan and watch the process end.
#include "info/AboutWindow.h"
#include "shared/MainForm.h"
#include "shared/TextList.h"
#include "shell/WindowCommands.h"
#include "support/TempTree.h"
#include "support/WindowFixture.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryFile>
#include <QTimer>
#include <QtTest>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

class WindowCommandsTest : public QObject {
    Q_OBJECT
private slots:
    void resetRestoresTheDefaultSizeCentred();
    void resetLeavesMaximisedAndMinimisedWindowsAlone();
    void informationWindowsOpenModalAndFresh();
    void exitDuringSizeScanEndsTheProgram_data();
    void exitDuringSizeScanEndsTheProgram();
};

namespace {

// The test screen is 800 x 480 logical pixels: narrower than the default window height, so
// the centred window's top edge is negative.
constexpr int ScreenWidth = 800, ScreenHeight = 480;
const QRect DefaultPlace((ScreenWidth - 648) / 2, (ScreenHeight - 515) / 2, 648, 515);

constexpr int TreeFolders = 200;

// A tree of 200 folders, each holding 10 folders of 100 empty files: 200,000 files. It is
// made once and kept in the build folder for later runs.
QByteArray bigTree()
{
    const QByteArray top = qgetenv("LISTWRIGHT_TEST_BINARY_DIR").isEmpty()
                               ? QFile::encodeName(QDir::tempPath())
                               : qgetenv("LISTWRIGHT_TEST_BINARY_DIR");
    const QByteArray root = top + "/scan-tree-200k";
    const QByteArray done = root + ".complete";
    if (QFile::exists(QFile::decodeName(done)))
        return root;
    ::mkdir(root.constData(), 0755);
    for (int i = 0; i < TreeFolders; ++i) {
        const QByteArray folder = root + "/folder" + QByteArray::number(i).rightJustified(3, '0');
        ::mkdir(folder.constData(), 0755);
        for (int j = 0; j < 10; ++j) {
            const QByteArray sub = folder + "/part" + QByteArray::number(j);
            ::mkdir(sub.constData(), 0755);
            for (int k = 0; k < 100; ++k) {
                const int fd = ::open((sub + "/file" + QByteArray::number(k)).constData(), O_WRONLY | O_CREAT, 0644);
                if (fd >= 0)
                    ::close(fd);
            }
        }
    }
    QFile(QFile::decodeName(done)).open(QIODevice::WriteOnly);
    return root;
}

// Waits for the main window's action to open a modal window, runs `check` on it and presses
// Enter. Answers whether a modal window came up and Enter closed it.
bool openModal(QAction *action, const std::function<void(QWidget *)> &check)
{
    bool seen = false, closed = false;
    QTimer::singleShot(0, [&] {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal || !QTest::qWaitFor([&] { return QApplication::activeWindow() == modal; }))
            return;
        seen = true;
        check(modal);
        QPointer<QWidget> guard(modal);
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : modal, Qt::Key_Return);
        closed = !guard || !guard->isVisible();
        if (guard && guard->isVisible())
            guard->close();
    });
    action->trigger();
    return seen && closed;
}

} // namespace

void WindowCommandsTest::resetRestoresTheDefaultSizeCentred()
{
    TempTree t;
    WindowFixture w(t.path(), false);
    QMainWindow *window = w.f().window;
    window->show();
    QVERIFY(QTest::qWaitForWindowActive(window));

    // Half off the screen and resized.
    window->move(-300, 200);
    window->resize(420, 300);
    mnuWindowReset_Click(w.f());
    QCOMPARE(window->frameGeometry(), DefaultPlace);
    QVERIFY(window->geometry().size() != DefaultPlace.size()); // the frame is part of the outer size

    // F2 from a text box.
    window->move(30, 10);
    window->resize(500, 400);
    w.f().txtTitle->setFocus();
    QTest::keyClick(w.f().txtTitle, Qt::Key_F2);
    QCOMPARE(window->frameGeometry(), DefaultPlace);
    QVERIFY(w.boxes.boxes.isEmpty());
}

void WindowCommandsTest::resetLeavesMaximisedAndMinimisedWindowsAlone()
{
    TempTree t;
    WindowFixture w(t.path(), false);
    QMainWindow *window = w.f().window;
    for (Qt::WindowState state : {Qt::WindowMaximized, Qt::WindowMinimized}) {
        window->showNormal();
        window->setWindowState(state);
        window->show();
        QTRY_VERIFY(window->windowState() & state);
        const QRect before = window->frameGeometry();
        mnuWindowReset_Click(w.f());
        QCOMPARE(window->windowState(), Qt::WindowStates(state));
        QCOMPARE(window->frameGeometry(), before);
    }
    QVERIFY(w.boxes.boxes.isEmpty());
}

void WindowCommandsTest::informationWindowsOpenModalAndFresh()
{
    TempTree t;
    WindowFixture w(t.path(), false);
    MainForm &f = w.f();
    f.window->show();
    QVERIFY(QTest::qWaitForWindowActive(f.window));

    // The About window: modal over the main window; its link asks the opener and it stays
    // open; Enter closes and releases it; the next opening shows its design texts again.
    QPointer<QWidget> first;
    QVERIFY(openModal(f.mnuAbout, [&](QWidget *modal) {
        auto *about = qobject_cast<AboutWindow *>(modal);
        QVERIFY(about);
        first = about;
        QCOMPARE(about->windowModality(), Qt::ApplicationModal);
        QCOMPARE(about->parentWidget(), f.window);
        QCOMPARE(QApplication::focusWidget(), about->cmdOK);
        QTest::mouseClick(about->lblUrl, Qt::LeftButton);
        QVERIFY(about->isVisible());
        about->lblEmail->setText(QStringLiteral("changed"));
        about->lblUrl->setText(QStringLiteral("changed"));
    }));
    QVERIFY(!first); // released when closed
    QCOMPARE(w.opener.opened, QList<QUrl>{QUrl("https://listwright.example.org/")});
    QVERIFY(openModal(f.mnuAbout, [&](QWidget *modal) {
        auto *about = qobject_cast<AboutWindow *>(modal);
        QVERIFY(about);
        QCOMPARE(about->lblEmail->text(), QStringLiteral("listwright@example.org"));
        QCOMPARE(about->lblUrl->text(), QStringLiteral("https://listwright.example.org/"));
    }));

    QVERIFY(openModal(f.mnuHelpPrint, [](QWidget *modal) {
        QCOMPARE(modal->objectName(), QStringLiteral("frmHelpPrint"));
        QCOMPARE(modal->windowTitle(), QStringLiteral("Help - Printing"));
        QCOMPARE(modal->windowModality(), Qt::ApplicationModal);
        QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("cmdClose"));
    }));
    QVERIFY(openModal(f.mnuHelpSaveToFile, [](QWidget *modal) {
        QCOMPARE(modal->objectName(), QStringLiteral("frmHelpSave"));
        QCOMPARE(modal->windowTitle(), QStringLiteral("Help - Save To File"));
        QCOMPARE(modal->windowModality(), Qt::ApplicationModal);
        QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("cmdClose"));
    }));
    QVERIFY(f.window->isVisible());
}

void WindowCommandsTest::exitDuringSizeScanEndsTheProgram_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("Exit button") << "cmdExit";
    QTest::newRow("File > Exit") << "mnuExit";
    QTest::newRow("title-bar close") << "close";
}

void WindowCommandsTest::exitDuringSizeScanEndsTheProgram()
{
    QFETCH(QString, how);
    QProcess child;
    child.setProgram(QCoreApplication::applicationFilePath());
    child.setArguments({QStringLiteral("--scan-then-close"), how, QFile::decodeName(bigTree())});
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start();
    QVERIFY(child.waitForStarted());
    const auto stopChild = qScopeGuard([&] {
        child.kill();
        child.waitForFinished();
    });

    // The child says "closing" just before it closes the window in the middle of the scan.
    QByteArray said;
    while (!said.contains('\n') && child.waitForReadyRead(120000))
        said += child.readAllStandardOutput();
    QVERIFY2(said.startsWith("closing "), said.constData());
    QVERIFY2(child.waitForFinished(1000), "the program was still running a second after it was closed");
    said += child.readAllStandardOutput();
    QCOMPARE(child.exitStatus(), QProcess::NormalExit);
    QCOMPARE(child.exitCode(), 0);

    // The scan had counted some folders when it was closed, and added nothing afterwards.
    const QList<QByteArray> words = said.simplified().split(' ');
    QVERIFY2(words.size() == 4 && words[0] == "closing" && words[2] == "ended", said.constData());
    QVERIFY(words[1].toInt() >= 1 && words[1].toInt() < TreeFolders);
    QCOMPARE(words[3], words[1]);
}

// The child's side: the main window over `tree`, a size scan started by ticking the folder
// size box, and the window closed as `how` says once the scan has listed its first folder.
static int scanThenClose(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const QString how = QString::fromLocal8Bit(argv[2]);
    WindowFixture w{QByteArray(argv[3])};
    MainForm &f = w.f();
    f.window->show();

    bool closed = false;
    QTimer watch;
    watch.setInterval(0);
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (!f.window->windowTitle().startsWith(QLatin1String("Listwright - Scanning")) || f.lstFolders->count() < 1)
            return;
        watch.stop();
        closed = true;
        std::printf("closing %d\n", int(f.lstFolders->count()));
        std::fflush(stdout);
        if (how == QLatin1String("cmdExit"))
            f.cmdExit->click();
        else if (how == QLatin1String("mnuExit"))
            f.mnuExit->trigger();
        else
            f.window->close();
    });
    QTimer::singleShot(0, [&] {
        watch.start();
        f.chkFolderSize->setChecked(true);
        if (!closed) {
            std::printf("the scan ended before the window was closed\n");
            QCoreApplication::exit(3);
        }
    });
    const int code = app.exec();
    std::printf("ended %d\n", int(f.lstFolders->count()));
    return code;
}

int main(int argc, char *argv[])
{
    if (argc == 4 && qstrcmp(argv[1], "--scan-then-close") == 0)
        return scanThenClose(argc, argv);

    // A small screen of our own under the offscreen platform.
    QTemporaryFile screens;
    if (qgetenv("QT_QPA_PLATFORM") == "offscreen" && screens.open()) {
        screens.write(QStringLiteral(R"({"screens": [{"name": "test", "x": 0, "y": 0, "width": %1, "height": %2,
                                         "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})")
                          .arg(ScreenWidth)
                          .arg(ScreenHeight)
                          .toUtf8());
        screens.flush();
        qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + QFile::encodeName(screens.fileName()));
    }
    QApplication app(argc, argv);
    WindowCommandsTest test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_windowcommands.moc"
