// Reset to Default Size and the information windows on the real main window. Exit and closing the window
// during a size scan run the window in a child process (this program with --scan-then-close).
#include "info/AboutWindow.h"
#include "scan/ScanPump.h"
#include "shell/WindowCommands.h"
#include "support/TempTree.h"
#include "support/WindowFixture.h"

#include <QtTest>
#include <QtWidgets>

class WindowCommandsTest : public QObject {
    Q_OBJECT
    TempTree scanTree_; // top/d0 .. top/d9, 20 files each, for the size scans
private slots:
    void initTestCase() { scanTree_.wide("top", 10, 20); }

    void resetAndInfoWindows()
    {
        WindowFixture w(scanTree_.path(), false);
        MainForm &f = w.f();
        f.window->show();
        QVERIFY(QTest::qWaitForWindowActive(f.window));

        // Reset (F2): a moved and resized window gets the default outer size (648 x 515) centred on the screen;
        // a maximised or minimised one stays as it is, and later goes back to its own normal place.
        const QRect screen = QGuiApplication::primaryScreen()->geometry(), centred((screen.width() - 648) / 2, (screen.height() - 515) / 2, 648, 515);
        const QRect normal(50, 60, 420, 300); // where the window goes back to when it is made normal again
        for (Qt::WindowState state : {Qt::WindowNoState, Qt::WindowMaximized, Qt::WindowMinimized}) {
            f.window->setGeometry(normal);
            f.window->setWindowState(state);
            state == Qt::WindowNoState ? QTest::keyClick(f.txtTitle, Qt::Key_F2) : mnuWindowReset_Click(f);
            QCOMPARE(f.window->windowState(), Qt::WindowStates(state));
            QCOMPARE(f.window->frameGeometry(), state == Qt::WindowNoState ? centred : f.window->frameGeometry());
            f.window->showNormal();
            QTRY_VERIFY(state == Qt::WindowNoState || f.window->geometry() == normal);
        }

        // Each information window opens modal and fresh, and Enter closes it; the About window's link
        // hands the home page over at every click, and the window stays open.
        const struct { QAction *action; const char *title; } windows[] = {
            {f.mnuAbout, "About"}, {f.mnuHelpPrint, "Help - Printing"}, {f.mnuHelpSaveToFile, "Help - Save To File"}, {f.mnuAbout, "About"}};
        for (const auto &[action, title] : windows) {
            QTimer::singleShot(0, [&] {
                QPointer<QWidget> modal = QApplication::activeModalWidget();
                const auto closeAnyway = qScopeGuard([&] { if (modal) modal->close(); });
                QVERIFY(modal && QTest::qWaitFor([&] { return QApplication::activeWindow() == modal; }));
                QCOMPARE(modal->windowTitle(), QLatin1String(title));
                if (auto *about = qobject_cast<AboutWindow *>(modal)) {
                    QCOMPARE(about->lblUrl->text(), QLatin1String(HomePage));
                    QTest::mouseClick(about->lblUrl, Qt::LeftButton);
                    QVERIFY(about->isVisible());
                    about->lblUrl->setText(QStringLiteral("changed"));
                }
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
                QVERIFY2(!modal || !modal->isVisible(), title); // else closed anyway, so that the test goes on
            });
            action->trigger();
        }
        QCOMPARE(w.opener.opened, QList<QUrl>(2, QUrl(HomePage)));
    }

    void exitDuringSizeScanEndsTheProgram()
    {
        for (const QString how : {"cmdExit", "mnuExit", "close"}) { // the Exit button, File > Exit, the title bar
            QProcess child; // killed on the way out if it hangs
            child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
            child.start(QCoreApplication::applicationFilePath(), {"--scan-then-close", how, QFile::decodeName(scanTree_.at("top"))});
            QVERIFY2(child.waitForFinished(120000) && child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0, qPrintable(how));
            QCOMPARE(child.readAllStandardOutput(), QByteArray("closing with 1 line, left with 1\n"));
        }
    }
};

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    // The child: a size scan started by ticking the folder size box, and the window closed as `how` says
    // once the scan has listed its first folder; says how many folder lines the scan left behind.
    if (argc == 4 && qstrcmp(argv[1], "--scan-then-close") == 0) {
        WindowFixture w{QByteArray(argv[3])};
        MainForm &f = w.f();
        f.window->show();
        ScanPump::intervalMs = 0; // events are pumped at every entry, so the close comes right after the first line
        QTimer watch;
        QObject::connect(&watch, &QTimer::timeout, [&, how = QByteArray(argv[2])] {
            if (f.lstFolders->count() < 1)
                return;
            watch.stop();
            std::printf("closing with %d line, ", f.lstFolders->count());
            how == "cmdExit" ? f.cmdExit->click() : how == "mnuExit" ? f.mnuExit->trigger() : void(f.window->close());
        });
        watch.start(0);
        QTimer::singleShot(0, [&] { f.chkFolderSize->setChecked(true); std::printf("left with %d\n", f.lstFolders->count()); });
        return QApplication::exec(); // the box's click returns when the scan ends
    }
    WindowCommandsTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_windowcommands.moc"
