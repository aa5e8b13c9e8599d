// SPDX-License-Identifier: GPL-3.0-or-later
// A scan file shown as a drive in the real main window, and the shown folder compared with an
// older scan: what the lists, the folder tree, the drive list and the saved listing show, and
// that a file that cannot be read leaves the window as it was.
#include "core/output/SavedListing.h"
#include "core/output/ScanFileWriter.h"
#include "core/scan/QuietRead.h"
#include "core/scan/tree/ScanTreeSink.h"
#include "window/listing/DriveList.h"
#include "window/output/TakeListingSnapshot.h"
#include "window/shell/StartFolder.h"
#include "support/TempTree.h"
#include "support/WindowFixture.h"

#include <QtTest>
#include <QtWidgets>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
// The scan of `folder` written to `file`, as Save Scan As writes it.
void writeScan(const QByteArray &folder, const QString &file)
{
    QuietRead listener;
    ScanTree tree;
    buildScanTree(folder, listener, tree);
    QFile out(file);
    QVERIFY(out.open(QIODevice::WriteOnly));
    writeScanTree(tree, [&out](QByteArrayView block) { out.write(block.data(), block.size()); });
}

QStringList saved(const MainForm &f)
{
    return savedListingLines(takeListingSnapshot(f)).toStringList();
}

// Opens the folder named `name` among the folder tree's items, as Enter on it does.
void openInTree(MainForm &f, const QString &name)
{
    const QList<QListWidgetItem *> items = f.dirFolder->findItems(name, Qt::MatchEndsWith);
    QVERIFY2(!items.isEmpty(), qPrintable(name));
    f.dirFolder->setCurrentItem(items.last());
    QTest::keyClick(f.dirFolder, Qt::Key_Return);
}

// The choices the listings are compared under: folder sizes, recursive, file sizes, dates.
const bool choiceSets[][4] = {{false, false, true, true}, {true, false, true, false}, {true, true, true, true}, {false, false, false, false}};

void choose(MainForm &f, const bool (&set)[4])
{
    f.chkFolderSize->setChecked(set[0]);
    f.chkRecursive->setChecked(set[1]);
    f.chkSize->setChecked(set[2]);
    f.chkModified->setChecked(set[3]);
}
} // namespace

class OpenScanTest : public QObject {
    Q_OBJECT
private slots:
    void openedScanListsAsTheFolderDid();
    void comparedWithAnOlderScan();
    void badFilesLeaveTheWindowAsItWas();
};

void OpenScanTest::openedScanListsAsTheFolderDid()
{
    TempTree t;
    for (const char *folder : {"T/Beta/inner", "T/alpha/x", "T/bad\xff"})
        t.mkdir(folder);
    const QDateTime when(QDate(2024, 3, 5), QTime(14, 7));
    for (const auto &[name, size] : {std::pair("T/own.txt", 1000), {"T/Zed.md", 20}, {"T/Beta/b1.txt", 100},
                                     {"T/Beta/inner/deep.md", 300}, {"T/alpha/a.TXT", 2500}, {"T/alpha/x/f", 7},
                                     {"T/bad\xff/n\xfe.txt", 9}})
        t.file(name, size, when);
    t.hardLink("T/own.txt", "T/alpha/again.txt");
    const QString scan = QFile::decodeName(t.at("scan.json"));
    writeScan(t.at("T"), scan);

    // What the live folder and its subfolder Beta save under each set of choices.
    QList<QStringList> live, liveBeta;
    {
        WindowFixture w(t.at("T"));
        for (const auto &set : choiceSets) {
            choose(w.f(), set);
            QTRY_VERIFY(w.f().window->windowTitle() == "Listwright" && !w.f().txtParentFolder->text().isEmpty());
            live.append(saved(w.f()));
        }
        openInTree(w.f(), "Beta");
        QTRY_VERIFY(w.f().CurrentFolderPath.endsWith("/Beta/") && !w.f().txtParentFolder->text().isEmpty());
        liveBeta.append(saved(w.f()));
    }

    WindowFixture w(t.path());
    MainForm &f = w.f();
    QStringList asked;
    QString chosen = scan;
    f.scanFileDialog = [&](const QString &caption, bool forSaving) {
        asked.append(caption + (forSaving ? " (save)" : ""));
        return chosen;
    };
    f.mnuOpenScan->trigger();
    QCOMPARE(asked, QStringList{"Listwright - Open Scan"});
    QTRY_VERIFY(f.drvDrive->scanChosen());
    QCOMPARE(f.drvDrive->drive(), "scan.json");
    // Nothing but the file is read from now on: the folder it was made of may go.
    QVERIFY(QDir(QFile::decodeName(t.at("T"))).removeRecursively() || ::system(("rm -rf '" + t.at("T") + "'").constData()) == 0);
    for (size_t i = 0; i < std::size(choiceSets); ++i) {
        choose(f, choiceSets[i]);
        QTRY_COMPARE(saved(f), live[qsizetype(i)]);
    }
    // The folder tree shows the scan's folders, and opening one lists it.
    QCOMPARE(f.dirFolder->item(0)->text(), QFile::decodeName(t.at("T")));
    openInTree(f, "Beta");
    QTRY_COMPARE(saved(f), liveBeta[0]);
    // The View menu's order holds: by size, the largest first.
    openInTree(f, QFile::decodeName(t.at("T")));
    f.chkFolderSize->setChecked(true);
    f.mnuSortFoldersSize->trigger();
    QTRY_VERIFY(f.lstFolders->item(0).contains("/alpha") && f.lstFolders->item(1).contains("/Beta"));
    f.mnuSortFoldersName->trigger();

    // Staying on one file system leaves out what the scan found on another device, as a walk
    // that stays on one leaves it: its folder line stays, at 0 bytes.
    chosen = QFile::decodeName(t.at("mounts.json"));
    QFile mounts(chosen);
    QVERIFY(mounts.open(QIODevice::WriteOnly));
    mounts.write("[1,2,{\"progname\":\"x\"},\n[{\"name\":\"/m\",\"dev\":5},\n"
                 "[{\"name\":\"disk\",\"dev\":6},{\"name\":\"in\",\"asize\":7}],\n"
                 "[{\"name\":\"here\"},{\"name\":\"in\",\"asize\":3}]]]\n");
    mounts.close();
    f.mnuOpenScan->trigger();
    QTRY_COMPARE(f.lstFolders->lines(), QStringList({"/m/disk    7    B ", "/m/here    3    B "}));
    f.mnuOneFileSystem->trigger();
    QTRY_COMPARE(f.lstFolders->lines(), QStringList({"/m/disk    0    B ", "/m/here    3    B "}));
    f.mnuOneFileSystem->trigger();

    // Choosing a drive goes back to the file system.
    f.chkFolderSize->setChecked(false);
    f.drvDrive->setCurrentIndex(0);
    QTRY_VERIFY(!f.drvDrive->scanChosen() && !f.OpenedScan && f.dirFolder->path() == "/");
    QVERIFY(w.boxes.boxes.isEmpty());
}

void OpenScanTest::comparedWithAnOlderScan()
{
    TempTree t;
    for (const char *folder : {"T/keep", "T/goes", "T/grows"})
        t.mkdir(folder);
    for (const auto &[name, size] : {std::pair("T/same.txt", 100), {"T/shrinks.txt", 5000}, {"T/old name", 10},
                                     {"T/goes/a", 300}, {"T/grows/b", 1000}, {"T/keep/c", 50}})
        t.file(name, size);
    const QString older = QFile::decodeName(t.at("older.json"));
    writeScan(t.at("T"), older);
    // Since then: a file renamed, one grown, one shrunk, a folder gone and one new.
    QVERIFY(::rename(t.at("T/old name"), t.at("T/new name")) == 0);
    t.file("T/shrinks.txt", 200);
    t.file("T/grows/b2", 2000);
    QVERIFY(::unlink(t.at("T/goes/a")) == 0 && ::rmdir(t.at("T/goes")) == 0);
    t.mkdir("T/came");
    t.file("T/came/d", 70);

    WindowFixture w(t.at("T"));
    MainForm &f = w.f();
    f.chkFolderSize->setChecked(true);
    QTRY_VERIFY(f.txtParentFolder->text().endsWith("KB") && f.window->windowTitle() == "Listwright" && f.ScannedTree);
    t.file("T/after the scan", 1); // not in what the window's scan saw
    f.scanFileDialog = [&](const QString &caption, bool) { return caption == "Listwright - Compare With Scan" ? older : QString(); };
    QVERIFY(!f.mnuChangesOnly->isEnabled());
    f.mnuCompareScan->trigger();
    QTRY_VERIFY(f.OlderScan && f.mnuChangesOnly->isEnabled());
    const QString top = QFile::decodeName(t.at("T"));
    // A live folder is compared as the window's scan of its sizes saw it; the drive list names it.
    QCOMPARE(f.drvDrive->drive(), top);
    QCOMPARE(w.folderLines().join('|').simplified(),
             top + "/came 70 B new|" + top + "/goes 300 B gone|" + top + "/grows 2.93 KB +1.95 KB|" + top + "/keep 50 B");
    QCOMPARE(w.fileLines().size(), 4);
    QVERIFY(w.fileLines()[0].startsWith("new name") && w.fileLines()[0].endsWith("  new"));
    QVERIFY(w.fileLines()[1].startsWith("old name") && w.fileLines()[1].endsWith("  gone"));
    QVERIFY(w.fileLines()[3].endsWith("  -4.69 KB"));
    QVERIFY2(f.txtParentFolder->text().endsWith("  3.35 KB  was 6.31 KB"), qPrintable(f.txtParentFolder->text()));

    // Changes only: the unchanged lines go, from the lists and the saved listing alike.
    f.mnuChangesOnly->trigger();
    QTRY_COMPARE(w.folderLines().size(), 3);
    QCOMPARE(w.fileLines().size(), 3);
    QVERIFY(!saved(f).join('\n').contains("same.txt"));
    // By size, the lines are in the order of their change: what grew most first.
    f.mnuSortFoldersSize->trigger();
    QTRY_VERIFY(f.lstFolders->item(0).contains("/grows") && f.lstFolders->item(2).contains("/goes"));
    QVERIFY(saved(f).join('\n').indexOf("/grows") < saved(f).join('\n').indexOf("/goes"));
    QVERIFY(w.boxes.boxes.isEmpty());

    // A live folder below the older scan's top is set against that same folder in it.
    WindowFixture sub(t.at("T/grows"));
    sub.f().scanFileDialog = f.scanFileDialog;
    sub.f().mnuCompareScan->trigger();
    QTRY_VERIFY(sub.f().OlderScan);
    QCOMPARE(sub.fileLines().size(), 2);
    QVERIFY(!sub.fileLines()[0].endsWith("new") && sub.fileLines()[1].endsWith("  new"));
}

void OpenScanTest::badFilesLeaveTheWindowAsItWas()
{
    TempTree t;
    t.mkdir("sub");
    t.file("f.txt", 10);
    QFile cut(QFile::decodeName(t.at("cut.json")));
    QVERIFY(cut.open(QIODevice::WriteOnly));
    cut.write("[1,0,{\"progname\":\"x\"},[{\"name\":\"/x\"},{\"name\":\"a\",\"asize\":");
    cut.close();
    QVERIFY(::mkfifo(t.at("never.json").constData(), 0600) == 0);

    WindowFixture w(t.path());
    MainForm &f = w.f();
    QTRY_COMPARE(w.fileLines().size(), 3);
    const QStringList before = saved(f);
    QString file = cut.fileName();
    f.scanFileDialog = [&](const QString &, bool) { return file; };
    f.mnuOpenScan->trigger();
    QTRY_COMPARE(w.boxes.titles(), QStringList{"Listwright - Open Scan"});
    QVERIFY2(w.boxes.boxes[0].text.startsWith("Cannot read the scan \"" + file + "\": "), qPrintable(w.boxes.boxes[0].text));
    QVERIFY(!f.OpenedScan && !f.drvDrive->scanChosen());
    QCOMPARE(saved(f), before);

    // A file that never answers (a pipe nobody writes): Esc gives the reading up.
    w.boxes.clear();
    file = QFile::decodeName(t.at("never.json"));
    f.window->show();
    QVERIFY(QTest::qWaitForWindowActive(f.window));
    f.drvDrive->setFocus();
    QTimer::singleShot(600, [&f] { QTest::keyClick(f.drvDrive, Qt::Key_Escape); });
    f.mnuOpenScan->trigger();
    QVERIFY(!f.OpenedScan);
    QTRY_COMPARE(w.boxes.titles(), QStringList{"Listwright - STOP SIZE SCAN"}); // what Esc always says
    QCOMPARE(saved(f), before);
    // The reading left behind ends at the pipe's end.
    const int end = ::open(t.at("never.json").constData(), O_WRONLY | O_NONBLOCK);
    if (end >= 0)
        ::close(end);

    // A scan named where a folder would be is opened at start.
    writeScan(t.path(), QFile::decodeName(t.at("good.json")));
    const StartFolder start = startFolderFrom(t.at("good.json"));
    QCOMPARE(start.scanFile, QFile::decodeName(t.at("good.json")));
    ScriptedMessageBoxes boxes;
    RecordingPrinter printer;
    RecordingOpener opener;
    const std::unique_ptr<MainWindow> started = openMainWindow(boxes, printer, opener, start);
    QTRY_VERIFY(started->form().drvDrive->scanChosen());
    QTRY_COMPARE(started->form().lstBigFileList->lines().size(), 3);
}

QTEST_MAIN(OpenScanTest)
#include "tst_openscan.moc"
