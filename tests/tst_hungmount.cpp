// SPDX-License-Identifier: GPL-3.0-or-later
// The window beside a share that never answers: a real FUSE mount (scripts/hangfs.py) whose
// calls below chosen folders hang until released.
#include "window/listing/DriveList.h"
#include "window/output/SaveCloseQuestion.h"
#include "core/scan/CallWait.h"
#include "window/shell/StartFolder.h"
#include "support/HangMount.h"
#include "support/TempTree.h"
#include "support/WindowFixture.h"

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>
#include <filesystem>

namespace {
void fill(const TempTree &t)
{
    for (const char *folder : {"a", "hung", "hung/inner"})
        t.mkdir(folder);
    t.file("a/one.txt", 1);
    t.file("hung/inner/three.txt", 3);
    t.file("hung/LISTWRIGHT.txt", 4);
    t.file("own.txt", 5);
}

void openFromTree(MainForm &f, const QString &name)
{
    for (int i = 0; i < f.dirFolder->QListWidget::count(); ++i)
        if (f.dirFolder->item(i)->text().trimmed() == name)
            emit f.dirFolder->itemDoubleClicked(f.dirFolder->item(i));
}
}

class HungMountTest : public QObject {
    Q_OBJECT
private slots:
    void startsBesideHungShare();
    void givingUp_data();
    void givingUp();
    void closingDuringPartWrittenSave();
    void killedExport();
};

// The drive list, the window and a start folder on a share that answers nothing (statfs
// included) come all the same, also a window whose working folder is there; the drives come
// from the mount table alone.
void HungMountTest::startsBesideHungShare()
{
    QCOMPARE(drivesFromMountTable("22 1 8:1 / / rw - ext4 /dev/sda1 rw\n23 22 0:5 / /proc rw - proc proc rw\n"
                                  "24 22 8:2 / /media/my\\040disk rw - ext4 /dev/sdb1 rw\n"
                                  "25 22 7:0 / /snap/c/1 ro - squashfs /dev/loop0 ro\n"
                                  "26 22 8:1 /h /etc/hosts rw - ext4 /dev/sda1 rw\n"
                                  "27 22 0:40 / /mnt/nfs rw shared:1 - nfs4 srv:/export rw\n"
                                  "28 22 0:41 / /mnt/cifs rw - cifs //srv/share rw\n"
                                  "29 22 0:43 / /run/user/0 rw - tmpfs tmpfs rw\n"),
             QStringList({"/", "/media/my disk", "/mnt/cifs", "/mnt/nfs"}));
    TempTree source, elsewhere;
    fill(source);
    HangMount m(QFile::decodeName(source.path()), {"--fsname", "srv:/export"});
    if (!m.skip.isEmpty())
        QSKIP(qPrintable(m.skip));
    // A window whose working folder is on the share (entered while it answered) gives its
    // first read up, comes up in "/" and keeps answering events.
    const QString before = QDir::currentPath();
    QVERIFY(QDir::setCurrent(m.path));
    m.hang({"/"});
    {
        QElapsedTimer started;
        started.start();
        ScriptedMessageBoxes boxes;
        RecordingPrinter printer;
        RecordingOpener opener;
        MainWindow window(boxes, printer, opener);
        const bool loaded = window.load();
        const qint64 cameUp = started.elapsed();
        window.show();
        qint64 longestGap = 0;
        QElapsedTimer sinceTick;
        QTimer tick;
        connect(&tick, &QTimer::timeout, this, [&] { longestGap = std::max(longestGap, sinceTick.restart()); });
        sinceTick.start(), tick.start(20);
        QTest::qWait(1500);
        QVERIFY(QDir::setCurrent(before)); // out of the share before anything can fail
        QVERIFY2(loaded && cameUp < 15000 && !m.fired, qPrintable(QString::number(cameUp)));
        QCOMPARE(window.form().dirFolder->path(), QByteArray("/"));
        QVERIFY2(longestGap < 1000, qPrintable(QString::number(longestGap)));
        // The folder given up is named, as one given up in the folder tree is.
        QCOMPARE(boxes.boxes.size(), 1);
        QCOMPARE(boxes.boxes[0].text, CallWait::givenUpDescription() + u'\r' + m.path);
        QCOMPARE(boxes.boxes[0].title, QStringLiteral("Listwright - Error Opening Folder"));
    }
    QVERIFY(DriveList::mountedDrives().contains(m.path));
    WindowFixture(elsewhere.path()); // loads
    QCOMPARE(startFolderFrom(QFile::encodeName(m.path + "/a")).problem, CallWait::givenUpDescription());

    // The program itself says so on standard error, and lives on with its window.
    QProcess program;
    program.setProcessChannelMode(QProcess::MergedChannels);
    program.setWorkingDirectory(QFile::decodeName(elsewhere.path()));
    program.start(qEnvironmentVariable("LISTWRIGHT_PROGRAM"), {m.path + "/a"});
    QByteArray out;
    while (!out.contains("did not answer") && program.waitForReadyRead(10000))
        out += program.readAll();
    QVERIFY2(out.contains("listwright: cannot open folder"), out.constData());
    QTest::qWait(2500);
    QCOMPARE(program.state(), QProcess::Running);
    m.hang({});
    program.kill();
    QVERIFY(program.waitForFinished(10000) && !m.fired);
}

// A call that hangs (opening a folder from the tree, whose entries never come, a size scan
// inside a subfolder or on one of the folder's own files, a save, a scan saved while it walks,
// the file list's lengths) is given up by another folder, Esc, F2 (which also resizes the
// window), the window's close or Exit (which end the program at once, before any box): the
// window is idle again, the folder is named once, the older file is kept, and once the share
// answers the lists are a fresh window's.
void HungMountTest::givingUp_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("ender");
    for (const char *action : {"open", "size", "own", "save", "scan"})
        for (const char *ender : {"another", "esc", "close"})
            QTest::addRow("%s, %s", action, ender) << QString(action) << QString(ender);
    for (const char *action : {"open", "files"})
        for (const char *ender : {"F2", "exit"})
            QTest::addRow("%s, %s", action, ender) << QString(action) << QString(ender);
    QTest::addRow("files, close") << QStringLiteral("files") << QStringLiteral("close");
}

void HungMountTest::givingUp()
{
    QFETCH(QString, action);
    QFETCH(QString, ender);
    TempTree source, out;
    fill(source);
    out.file("scan.json", 4);
    HangMount m(QFile::decodeName(source.path()));
    if (!m.skip.isEmpty())
        QSKIP(qPrintable(m.skip));
    auto w = std::make_unique<WindowFixture>(QFile::encodeName(m.path));
    MainForm &f = w->f();
    f.scanFileDialog = [&](const QString &, bool) { return QFile::decodeName(out.at("scan.json")); };
    w->window->show();
    w->window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w->window.get()));
    f.lstFolders->setFocus();
    bool ended = false;
    QStringList boxesWhenEnded;
    qint64 endedAfter = -1;
    QElapsedTimer started, sinceEnder;
    CallWait::hooks.endProgram = [&] {
        ended = true, boxesWhenEnded = w->boxes.titles().filter("Error"), endedAfter = sinceEnder.elapsed();
    };
    w->window->resize(500, 400);
    m.hang({action == "size" ? "/hung/inner" : action == "own" || action == "files" ? "/own.txt"
                                             : action == "open"                      ? "readdir /hung"
                                                                                     : "/hung"});
    const bool sizeScan = action == "size" || action == "own";
    const bool walks = sizeScan || action == "scan"; // its progress line stands for the wait's
    const bool endsProgram = ender == "close" || ender == "exit";

    // The ender comes once the status bar names the folder waited on, or a moment into a size
    // scan, whose workers wait while its window pumps.
    started.start();
    QTimer poll;
    connect(&poll, &QTimer::timeout, this, [&] {
        if (!f.StatusBar1->currentMessage().startsWith("Waiting for ") && !(walks && started.elapsed() > 500))
            return;
        if (action == "scan" && !f.StatusBar1->currentMessage().startsWith("Folders: ")) // how far it has come
            return;
        poll.stop();
        sinceEnder.start();
        if (ender == "another")
            openFromTree(f, "a");
        else if (ender == "esc")
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        else if (ender == "F2")
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_F2);
        else if (ender == "exit")
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Q, Qt::ControlModifier);
        else
            f.window->close();
    });
    poll.start(20);
    if (action == "open")
        openFromTree(f, "hung");
    else if (sizeScan)
        f.chkFolderSize->click();
    else if (action == "files")
        f.chkModified->click();
    else if (action == "scan")
        f.mnuSaveScan->trigger();
    else
        f.txtMyFilePath->setText(m.path + "/hung"), f.cmdSaveToFile->click();
    const auto idle = [&] { return !CallWait::active() && !f.window->windowTitle().contains("Scanning"); };
    QTRY_VERIFY_WITH_TIMEOUT(sinceEnder.isValid() && (idle() || !f.window->isVisible()), 10000);
    qDebug("%s, %s: idle %lld ms after the ender", qPrintable(action), qPrintable(ender), sinceEnder.elapsed());
    QCOMPARE(ended, endsProgram && !sizeScan);
    if (ended) { // the program ends from the wait, before anything else is shown
        QVERIFY2(endedAfter < 2000, qPrintable(QString::number(endedAfter)));
        QCOMPARE(boxesWhenEnded, QStringList());
    } else {
        const QStringList titles = w->boxes.titles();
        QCOMPARE(titles.count("Listwright - Error Opening Folder"), int(action == "open"));
        QCOMPARE(titles.count("Listwright - Error Saving to File"), int(action == "save"));
        QCOMPARE(titles.count("Listwright - Error in File Path Change"), int(action == "files"));
        QCOMPARE(titles.count("Listwright - Save Scan As"), 0);
    }
    if (ender == "another")
        QTRY_COMPARE_WITH_TIMEOUT(f.dirFolder->path(), QFile::encodeName(m.path + "/a"), 5000);
    if (ender == "F2") // the key that gave the wait up does its own work too
        QTRY_COMPARE_WITH_TIMEOUT(f.window->frameGeometry().size(), QSize(648, 515), 5000);

    m.hang({});
    QTest::qWait(200); // the answers that come late are dropped
    QCOMPARE(QFileInfo(QFile::decodeName(source.at("hung/LISTWRIGHT.txt"))).size(), 4);
    QCOMPARE(QDir(QFile::decodeName(out.path())).entryList(QDir::Files | QDir::Hidden), QStringList{"scan.json"});
    QCOMPARE(QFileInfo(QFile::decodeName(out.at("scan.json"))).size(), 4);
    if (!endsProgram && action != "files") {
        const qsizetype boxes = w->boxes.boxes.size();
        WindowFixture fresh(f.dirFolder->path());
        if (f.chkFolderSize->isChecked())
            fresh.f().chkFolderSize->click();
        QCOMPARE(w->folderLines(), fresh.folderLines());
        QCOMPARE(w->fileLines(), fresh.fileLines());
        QCOMPARE(w->boxes.boxes.size(), boxes);
    }
    w.reset();
    CallWait::hooks.endProgram = {};
    QVERIFY(!m.fired);
}

// Closing while a save has written part of its file asks first; "No" waits for the save.
void HungMountTest::closingDuringPartWrittenSave()
{
    WindowFixture w(QFile::encodeName(QDir::tempPath()));
    auto go = std::make_shared<std::atomic<bool>>(false);
    bool ended = false;
    CallWait::hooks.endProgram = [&ended] { ended = true; };
    w.boxes.answers = {MessageBoxes::Answer::No};
    const SaveCloseQuestion question(w.f(), QStringLiteral("Listwright - Save Scan As"));
    QTimer::singleShot(400, w.window.get(), [&] { w.window->close(); });
    QTimer::singleShot(700, w.window.get(), [go] { *go = true; });
    CallWait::run<bool>("/somewhere", [go] {
        while (!*go)
            QThread::msleep(5);
        return true;
    }, std::make_shared<const std::atomic<bool>>(true));
    QVERIFY(!ended);
    QCOMPARE(w.boxes.titles(), QStringList{"Listwright - Save Scan As"});
    QVERIFY(w.boxes.boxes.first().text.contains("/somewhere"));
}

// An export into a file, killed while it waits on a share, leaves nothing in the file's folder:
// the new file has no name until it is complete.
void HungMountTest::killedExport()
{
    TempTree source, out;
    fill(source);
    HangMount m(QFile::decodeName(source.path()));
    if (!m.skip.isEmpty())
        QSKIP(qPrintable(m.skip));
    m.hang({"/hung"});
    const QString folder = QFile::decodeName(out.path());
    QProcess program;
    program.start(qEnvironmentVariable("LISTWRIGHT_PROGRAM"), {"--list", "--format", "json", "-o", folder + "/x.json", m.path});
    QVERIFY(program.waitForStarted());
    const std::string descriptors = "/proc/" + std::to_string(program.processId()) + "/fd";
    const auto writing = [&] { // a file in that folder is open: the export is under way
        std::error_code e;
        for (const auto &fd : std::filesystem::directory_iterator(descriptors, e))
            if (std::filesystem::read_symlink(fd.path(), e).string().starts_with(out.path().toStdString() + '/'))
                return true;
        return false;
    };
    QTRY_VERIFY_WITH_TIMEOUT(writing(), 10000);
    program.kill();
    m.hang({});
    QVERIFY(program.waitForFinished(10000));
    QCOMPARE(QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot), QStringList());
}

QTEST_MAIN(HungMountTest)
#include "tst_hungmount.moc"
