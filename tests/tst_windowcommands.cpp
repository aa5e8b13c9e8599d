// Exit, Reset to Default Size and the information windows on the real main window. The exit
// cases run the window in a child process (this program with --scan-then-close) and close it mid-scan.
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
#include <QTemporaryFile>
#include <QtTest>
#include <cstdio>

class WindowCommandsTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void resetAndInformationWindows();
    void exitDuringSizeScanEndsTheProgram_data();
    void exitDuringSizeScanEndsTheProgram();

private:
    std::unique_ptr<TempTree> scanTree_; // folders of empty files for the size scans
};

namespace {

// The test screen (800 x 480) is lower than the default window, so the centred top edge is negative.
const QRect DefaultPlace((800 - 648) / 2, (480 - 515) / 2, 648, 515);
constexpr int TreeFolders = 10, FilesPerFolder = 20;

// Runs `check` on the modal window the action opens, then presses Enter; answers whether Enter closed it.
bool openModal(QAction *action, const std::function<void(QWidget *)> &check)
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

} // namespace

void WindowCommandsTest::initTestCase()
{
    scanTree_ = std::make_unique<TempTree>();
    for (int i = 0; i < TreeFolders * FilesPerFolder; ++i) {
        const QByteArray folder = "folder" + QByteArray::number(i / FilesPerFolder);
        scanTree_->mkdir(folder);
        scanTree_->file(folder + "/file" + QByteArray::number(i), 0);
    }
}

void WindowCommandsTest::resetAndInformationWindows()
{
    WindowFixture w(scanTree_->path(), false);
    MainForm &f = w.f();
    QMainWindow *window = f.window;
    window->show();
    QVERIFY(QTest::qWaitForWindowActive(window));

    // Reset: a moved and resized window gets the default outer size, centred; a maximised or
    // minimised one stays as it is.
    window->setGeometry(-300, 200, 420, 300);
    QTest::keyClick(f.txtTitle, Qt::Key_F2);
    QCOMPARE(window->frameGeometry(), DefaultPlace);
    QVERIFY(window->geometry().size() != DefaultPlace.size()); // the frame is part of the outer size

    for (Qt::WindowState state : {Qt::WindowMaximized, Qt::WindowMinimized}) {
        window->setWindowState(state);
        QTRY_VERIFY(window->windowState() & state);
        const QRect before = window->frameGeometry();
        mnuWindowReset_Click(f);
        QCOMPARE(window->windowState(), Qt::WindowStates(state));
        QCOMPARE(window->frameGeometry(), before);
        window->showNormal();
    }
    QVERIFY(w.boxes.boxes.isEmpty());
    QVERIFY(QTest::qWaitForWindowActive(window));

    // About: the link hands the home page over and the window stays open; Enter closes it; the
    // next opening is a fresh window. The help windows open modal with Close focused.
    QVERIFY(openModal(f.mnuAbout, [](QWidget *modal) {
        auto *about = qobject_cast<AboutWindow *>(modal);
        QVERIFY(about);
        QCOMPARE(QApplication::focusWidget(), about->cmdOK);
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

    for (const auto &[action, name] : {std::pair{f.mnuHelpPrint, "frmHelpPrint"}, {f.mnuHelpSaveToFile, "frmHelpSave"}})
        QVERIFY(openModal(action, [name = name](QWidget *modal) {
            QCOMPARE(modal->objectName(), QLatin1String(name));
            QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("cmdClose"));
        }));
}

void WindowCommandsTest::exitDuringSizeScanEndsTheProgram_data()
{
    QTest::addColumn<QString>("how");
    for (const char *how : {"cmdExit", "mnuExit", "close"}) // the Exit button, File > Exit, the title bar
        QTest::newRow(how) << QString(how);
}

void WindowCommandsTest::exitDuringSizeScanEndsTheProgram()
{
    QFETCH(QString, how);
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QCoreApplication::applicationFilePath(), {"--scan-then-close", how, QFile::decodeName(scanTree_->path())});
    const auto stopChild = qScopeGuard([&] { child.kill(); child.waitForFinished(); });

    // The child says "closing N" just before it closes the window, and "ended N" as it ends.
    QByteArray said;
    while (!said.contains('\n') && child.waitForReadyRead(60000))
        said += child.readAllStandardOutput();
    QVERIFY2(said.startsWith("closing "), said.constData());
    QVERIFY2(child.waitForFinished(1000), "the program was still running a second after it was closed");
    QVERIFY(child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0);

    // Closed after the first folder and before the last; the scan added nothing afterwards.
    said = (said + child.readAllStandardOutput()).simplified();
    const QByteArray listed = said.split(' ').value(1);
    QVERIFY2(listed.toInt() >= 1 && listed.toInt() < TreeFolders, said.constData());
    QCOMPARE(said, "closing " + listed + " ended " + listed);
}

// The child: the main window over the tree, a size scan started by ticking the folder size box,
// and the window closed as `how` says once the scan has listed its first folder.
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
        std::printf("closing %d\n", int(f.lstFolders->count()));
        std::fflush(stdout);
        how == "cmdExit" ? f.cmdExit->click() : how == "mnuExit" ? f.mnuExit->trigger() : void(f.window->close());
    });
    QTimer::singleShot(0, [&] {
        watch.start(0);
        f.chkFolderSize->setChecked(true); // returns when the scan ends
        if (watch.isActive()) // the scan ended before the window was closed
            QCoreApplication::exit(3);
    });
    const int code = app.exec();
    std::printf("ended %d\n", int(f.lstFolders->count()));
    return code;
}

int main(int argc, char *argv[])
{
    if (argc == 4 && qstrcmp(argv[1], "--scan-then-close") == 0)
        return scanThenClose(argc, argv);

    QTemporaryFile screens; // a small screen of our own under the offscreen platform
    if (qgetenv("QT_QPA_PLATFORM") == "offscreen" && screens.open()) {
        screens.write(R"({"screens": [{"name": "test", "width": 800, "height": 480, "logicalDpi": 96}]})");
        screens.flush();
        qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + QFile::encodeName(screens.fileName()));
    }
    QApplication app(argc, argv);
    WindowCommandsTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_windowcommands.moc"
