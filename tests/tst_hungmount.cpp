// SPDX-License-Identifier: GPL-3.0-or-later
// The window with a share that never answers: a real FUSE mount (scripts/hangfs.py) whose
// calls below chosen folders hang until released.
#include "listing/DriveList.h"
#include "scan/CallWait.h"
#include "scan/ScanSteps.h"
#include "shell/StartFolder.h"
#include "support/HangMount.h"
#include "support/TempTree.h"
#include "support/WindowFixture.h"

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>
#include <QTimer>

namespace {
// a/one.txt, b/two.txt, hung/inner/three.txt, hung/LISTWRIGHT.txt
void fill(const TempTree &t)
{
    for (const char *folder : {"a", "b", "hung", "hung/inner"})
        t.mkdir(folder);
    t.file("a/one.txt", 1);
    t.file("b/two.txt", 2);
    t.file("hung/inner/three.txt", 3);
    t.file("hung/LISTWRIGHT.txt", 4);
}

QListWidgetItem *treeItem(MainForm &f, const QString &name)
{
    for (int i = 0; i < f.dirFolder->QListWidget::count(); ++i)
        if (f.dirFolder->item(i)->text().trimmed() == name)
            return f.dirFolder->item(i);
    return nullptr;
}

bool idle(MainForm &f)
{
    return !CallWait::active() && !f.window->windowTitle().contains(QStringLiteral("Scanning"));
}
}

class HungMountTest : public QObject {
    Q_OBJECT
private slots:
    void startsBesideHungShare();
    void givingUp_data();
    void givingUp();
    void closingDuringPartWrittenSave();
};

// A share that answers nothing, statfs included, neither keeps the drive list nor the window
// from coming, nor does a start folder on it.
void HungMountTest::startsBesideHungShare()
{
    TempTree source, elsewhere;
    fill(source);
    HangMount m(QFile::decodeName(source.path()), {QStringLiteral("--fsname"), QStringLiteral("srv:/export")});
    if (!m.skipReason().isEmpty())
        QSKIP(qPrintable(m.skipReason()));
    m.hang({QStringLiteral("/")});

    QVERIFY(DriveList::mountedDrives().contains(m.path()));
    {
        WindowFixture w(elsewhere.path());
        QCOMPARE(w.f().dirFolder->path(), elsewhere.path());
    }
    const StartFolder start = startFolderFrom(QFile::encodeName(m.path() + QStringLiteral("/a")));
    QCOMPARE(start.problem, CallWait::givenUpDescription());

    // The program itself: it says so on standard error, and its window comes.
    QProcess program;
    program.setProcessChannelMode(QProcess::MergedChannels);
    program.setWorkingDirectory(QFile::decodeName(elsewhere.path()));
    QElapsedTimer clock;
    clock.start();
    program.start(qEnvironmentVariable("LISTWRIGHT_PROGRAM"), {m.path() + QStringLiteral("/a")});
    QVERIFY(program.waitForStarted());
    QByteArray err;
    while (!err.contains("did not answer") && program.waitForReadyRead(10000))
        err += program.readAll();
    QVERIFY2(err.contains("The file system did not answer"), err.constData());
    qDebug("told about the start folder after %lld ms", clock.elapsed());
    QTest::qWait(2500); // the splash's time; the program must still be there, with its window
    QCOMPARE(program.state(), QProcess::Running);
    m.release();
    program.kill();
    QVERIFY(program.waitForFinished(10000));
    QVERIFY(!m.watchdogFired());
}

// A call that hangs (opening a folder from the tree, a size scan inside a folder, a save) is
// given up by Esc, another folder or the window's close; afterwards the window is idle, says so
// once, and its lists are those of a fresh window once the share answers again.
void HungMountTest::givingUp_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("ender");
    for (const char *action : {"open", "size", "save"})
        for (const char *ender : {"another", "esc", "close"})
            QTest::addRow("%s, %s", action, ender) << QString::fromLatin1(action) << QString::fromLatin1(ender);
}

void HungMountTest::givingUp()
{
    QFETCH(QString, action);
    QFETCH(QString, ender);
    TempTree source;
    fill(source);
    HangMount m(QFile::decodeName(source.path()), {}, 30);
    if (!m.skipReason().isEmpty())
        QSKIP(qPrintable(m.skipReason()));
    const QByteArray root = QFile::encodeName(m.path());
    auto w = std::make_unique<WindowFixture>(root);
    MainForm &f = w->f();
    w->window->show();
    w->window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w->window.get()));
    f.lstFolders->setFocus();
    bool ended = false;
    CallWait::hooks.endProgram = [&ended] { ended = true; };
    m.hang({action == QLatin1String("size") ? QStringLiteral("/hung/inner") : QStringLiteral("/hung")});

    // The ender comes once the window waits: when the status bar names the folder, or, in a
    // size scan, whose workers wait and whose window pumps, a moment after its start.
    QElapsedTimer sinceEnder;
    QTimer poll;
    poll.setInterval(20);
    QElapsedTimer started;
    started.start();
    connect(&poll, &QTimer::timeout, this, [&] {
        const bool waiting = f.StatusBar1->currentMessage().startsWith(QStringLiteral("Waiting for "));
        if (!(waiting || (action == QLatin1String("size") && started.elapsed() > 500)))
            return;
        poll.stop();
        sinceEnder.start();
        if (ender == QLatin1String("another"))
            emit f.dirFolder->itemDoubleClicked(treeItem(f, QStringLiteral("a")));
        else if (ender == QLatin1String("esc"))
            QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : f.window, Qt::Key_Escape);
        else
            f.window->close();
    });
    poll.start();
    if (action == QLatin1String("open"))
        emit f.dirFolder->itemDoubleClicked(treeItem(f, QStringLiteral("hung")));
    else if (action == QLatin1String("size"))
        f.chkFolderSize->click();
    else {
        f.txtMyFilePath->setText(m.path() + QStringLiteral("/hung"));
        f.cmdSaveToFile->click();
    }
    // Closing during a size scan ends the scan, and the program with it, from the event loop.
    const bool closingScan = action == QLatin1String("size") && ender == QLatin1String("close");
    QTRY_VERIFY_WITH_TIMEOUT(sinceEnder.isValid() && (idle(f) || (closingScan && !f.window->isVisible())), 10000);
    qDebug("%s, %s: idle %lld ms after the ender", qPrintable(action), qPrintable(ender), sinceEnder.elapsed());

    if (ender == QLatin1String("close")) {
        // The program ends from the wait; a size scan's workers are left to the kernel.
        QVERIFY(ended || (action == QLatin1String("size") && w->window->scans().closing()));
        m.release();
        QVERIFY(!m.watchdogFired());
        return;
    }
    QVERIFY(!ended);
    // The folder given up on is named once, in the box of its kind.
    const QStringList titles = w->boxes.titles();
    if (action == QLatin1String("open"))
        QCOMPARE(titles.count(QStringLiteral("Listwright - Error Opening Folder")), 1);
    if (action == QLatin1String("save"))
        QCOMPARE(titles.count(QStringLiteral("Listwright - Error Saving to File")), 1);
    if (ender == QLatin1String("esc") && action == QLatin1String("size"))
        QVERIFY(titles.contains(QStringLiteral("Listwright - STOP SIZE SCAN")));
    if (ender == QLatin1String("another"))
        QTRY_COMPARE_WITH_TIMEOUT(f.dirFolder->path(), root + "/a", 5000);

    m.release();
    // The older file is kept, and no scan or box was left behind by the answers that came late.
    QTest::qWait(200);
    QCOMPARE(QFileInfo(QFile::decodeName(source.at("hung/LISTWRIGHT.txt"))).size(), 4);
    QVERIFY(idle(f));
    const int boxes = int(w->boxes.boxes.size());
    WindowFixture fresh(f.dirFolder->path());
    if (f.chkFolderSize->isChecked())
        fresh.f().chkFolderSize->click();
    QCOMPARE(w->folderLines(), fresh.folderLines());
    QCOMPARE(w->fileLines(), fresh.fileLines());
    QCOMPARE(int(w->boxes.boxes.size()), boxes);
    w.reset();
    QVERIFY(!m.watchdogFired());
}

// Closing while a save has written part of its file asks first; "No" waits for the save.
void HungMountTest::closingDuringPartWrittenSave()
{
    WindowFixture w(QFile::encodeName(QDir::tempPath()));
    auto begun = std::make_shared<const std::atomic<bool>>(true);
    auto go = std::make_shared<std::atomic<bool>>(false);
    bool ended = false;
    CallWait::hooks.endProgram = [&ended] { ended = true; };
    w.boxes.answers = {MessageBoxes::Answer::No};
    QTimer::singleShot(100, w.window.get(), [&] { w.window->close(); });
    QTimer::singleShot(300, w.window.get(), [go] { *go = true; });
    CallWait::run<bool>("/somewhere", [go] {
        while (!*go)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        return true;
    }, begun);
    QVERIFY(!ended);
    QCOMPARE(w.boxes.titles(), QStringList{QStringLiteral("Listwright - Save To File")});
    QVERIFY(w.boxes.boxes.first().text.contains(QStringLiteral("/somewhere")));
}

QTEST_MAIN(HungMountTest)
#include "tst_hungmount.moc"
