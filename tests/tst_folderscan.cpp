// The folder list scan and the recursive listing through the real window: lines, sizes, totals,
// the parent folder line, errors on the way, the option boxes, the load, and the stop command.
#include "scan/DirFolderView.h"
#include "scan/ScanPump.h"
#include "scan/ScanSteps.h"
#include "shared/MainForm.h"
#include "support/TempTree.h"
#include "support/WindowFixture.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QMainWindow>
#include <QProcess>
#include <QtTest>
#include <sys/stat.h>
#include <unistd.h>

class FolderScanTest : public QObject {
    Q_OBJECT
private slots:
    void linesTotalsAndLinks();
    void unreadableFoldersAreReportedAndSkipped();
    void eventsAreProcessedInFoldersWithoutFiles();
    void loadFailureIsReported();
    void recursiveListingAndColumns();
    void stopWithoutScanAndOtherKeys();
};

static QString str(const QByteArray &b) { return QString::fromUtf8(b); }

void FolderScanTest::linesTotalsAndLinks()
{
    TempTree t;
    t.mkdir("S/A/deeper");
    t.mkdir("S/huge/inner");
    t.mkdir("S/real/loop");
    t.file("S/A/one", 1000);
    t.file("S/A/deeper/.hidden", 536);          // hidden files count
    t.file("S/huge/inner/a", 6'000'000'000LL);  // sparse
    t.file("S/huge/b", 4'000'000'000LL);
    t.file("S/real/caf\xe9-latin1.txt", 1024);  // not valid UTF-8: still counted
    t.symlink(t.at("S"), "S/real/loop/back");   // a loop below a subfolder
    t.symlink(t.at("S/real"), "S/alias");       // a link right under the folder: listed, not walked
    t.file("S/.own-hidden", 24);
    WindowFixture w(t.path());
    w.open(t.at("S"));
    w.f().chkFolderSize->setChecked(true);

    // Every line is the longest path + 1 + 10 long, sizes in one column; 10,000,000,000 bytes
    // and more get exactly two blanks.
    const QString alias = str(t.at("S/alias"));
    const auto line = [&](const char *sub, const char *size) {
        return str(t.at(sub)).leftJustified(alias.size() + 11 - qstrlen(size)) + size;
    };
    QCOMPARE(w.folderLines(), QStringList({line("S/A", "1.50 KB"), line("S/alias", "0    B "),
                                           str(t.at("S/huge")) + "  9.31 GB", line("S/real", "1024    B ")}));
    QCOMPARE(w.f().FolderTotalBytes, 10'000'002'584LL);
    QCOMPARE(w.f().txtParentFolder->text(), str(t.at("S")) + "/*.*  9.31 GB");

    // Switching sizes off forgets the total; the root keeps its single "/".
    w.f().chkFolderSize->setChecked(false);
    QCOMPARE(w.folderLines().first(), str(t.at("S/A")));
    QCOMPARE(w.f().txtParentFolder->text(), str(t.at("S")) + "/*.*");
    w.open("/");
    QCOMPARE(w.f().txtParentFolder->text(), QStringLiteral("/*.*"));
    QVERIFY(w.boxes.boxes.isEmpty());

    // The caption grows by a dot per subfolder and starts again at 100 characters.
    QCOMPARE(advancedCaption(ScanningCaption.leftJustified(99, u'.')).size(), 100);
    QCOMPARE(advancedCaption(ScanningCaption.leftJustified(100, u'.')), QStringLiteral("Listwright - Scanning ."));
}

void FolderScanTest::unreadableFoldersAreReportedAndSkipped()
{
    // Root reads everything: run the check itself as an unprivileged user.
    if (::geteuid() == 0) {
        QCOMPARE(QProcess::execute("setpriv", {"--reuid=nobody", "--regid=nogroup", "--clear-groups",
                                                QCoreApplication::applicationFilePath(), "unreadableFoldersAreReportedAndSkipped"}), 0);
        return;
    }
    TempTree t;
    for (const char *sub : {"S/A", "S/B/ok", "S/B/shut", "S/C"})
        t.mkdir(sub);
    t.file("S/A/x", 100);
    t.file("S/B/ok/y", 200);
    t.file("S/B/shut/z", 300);
    t.file("S/C/w", 400);
    ::chmod(t.at("S/A").constData(), 0);
    ::chmod(t.at("S/B/shut").constData(), 0);
    WindowFixture w(t.path());
    w.open(t.at("S"));
    w.f().chkFolderSize->setChecked(true);
    ::chmod(t.at("S/A").constData(), 0755);
    ::chmod(t.at("S/B/shut").constData(), 0755);

    QCOMPARE(w.boxes.titles(), QStringList({"Listwright Error", "Problem Found?", "Listwright Error", "Problem Found?"}));
    QCOMPARE(w.boxes.boxes[0].text, QStringLiteral("Error Description: Permission denied"));
    const QString where = "Current Folder Path  is: " + str(t.at("S")) + " Current File is: ";
    QCOMPARE(w.boxes.boxes[1].text, where + str(t.at("S/A")));
    QCOMPARE(w.boxes.boxes[3].text, where + str(t.at("S/B/shut")));
    // The readable siblings' bytes still count.
    QStringList sizes;
    for (const QString &line : w.folderLines())
        sizes << line.right(9).trimmed();
    QCOMPARE(sizes, QStringList({"0    B", "200    B", "400    B"}));
}

void FolderScanTest::eventsAreProcessedInFoldersWithoutFiles()
{
    TempTree t;
    for (int i = 0; i < 300; ++i)
        t.mkdir("empty/e" + QByteArray::number(i) + "/inner");
    WindowFixture w(t.path());
    w.open(t.at("empty"));
    ScanListener::intervalMs = 0;
    const long long before = ScanPump::pumps;
    w.f().chkFolderSize->setChecked(true);
    ScanListener::intervalMs = 15;
    // Not a single file, yet the window had its turn at every folder.
    QVERIFY(ScanPump::pumps - before >= 600);
    QCOMPARE(w.folderLines().size(), 300);
}

void FolderScanTest::loadFailureIsReported()
{
    TempTree t;
    WindowFixture w(t.path(), false);
    QVERIFY(!w.window->load([](int step) {
        if (step == 6)
            throw std::runtime_error("Out of memory");
    }));
    QCOMPARE(w.boxes.titles(), QStringList({"Listwright - Error loading program"}));
    QCOMPARE(w.boxes.boxes[0].text, QStringLiteral("Out of memory"));
    QCOMPARE(w.f().txtTitle->text(), QString()); // later steps did not run
}

void FolderScanTest::recursiveListingAndColumns()
{
    TempTree t;
    t.mkdir("S/A/sub");
    t.mkdir("S/B");
    t.file("S/A/a1", 1536);
    t.file("S/A/MSCREATE.DIR", 10);
    t.file("S/A/sub/deep", 5);
    t.file("S/B/mscreate.dir", 20);
    t.file("S/own.txt", 100);
    WindowFixture w(t.at("S"));
    MainForm &f = w.f();
    f.chkModified->setChecked(false);
    f.chkRecursive->setChecked(true);

    // Folder sizes come on with it. Walk order: each subfolder tree depth first, files of a
    // folder in name order; "MSCREATE.DIR" is counted but listed only in another letter case.
    QVERIFY(isChecked(f.chkFolderSize));
    QVERIFY(w.folderLines()[0].endsWith(QStringLiteral("1.51 KB")) && w.folderLines()[1].endsWith("20    B "));
    const QString s = str(t.at("S")) + '/';
    QCOMPARE(w.fileLines(), QStringList({s + "A/a1 1.50 KB", s + "A/sub/deep 5    B ", s + "B/mscreate.dir 20    B ",
                                         s + "own.txt  100    B "}));
    QCOMPARE(f.txtParentFolder->text(), s + "*.*  1.63 KB");

    // Another folder while recursive: nothing of the previous folder stays.
    w.open(t.at("S/A"));
    QCOMPARE(w.fileLines(), QStringList({s + "A/sub/deep 5    B ", s + "A/a1" + QString(14, ' ') + "1.50 KB",
                                         s + "A/MSCREATE.DIR   10    B "}));
    // Unchecking lists the folder alone again; the columns follow their boxes without a
    // folder scan.
    f.chkRecursive->setChecked(false);
    f.window->setWindowTitle(QStringLiteral("untouched"));
    f.chkSize->setChecked(false);
    QCOMPARE(w.fileLines(), QStringList({"a1", "MSCREATE.DIR"}));
    QCOMPARE(f.window->windowTitle(), QStringLiteral("untouched"));

    // The save path follows the folder only while chkAutoUpdate is checked; toggling it copies.
    f.txtMyFilePath->setText(QStringLiteral("elsewhere"));
    f.chkAutoUpdate->setChecked(false);
    QCOMPARE(f.txtMyFilePath->text(), str(t.at("S/A")));
    f.txtMyFilePath->setText(QStringLiteral("elsewhere"));
    w.open(t.at("S"));
    QCOMPARE(f.txtMyFilePath->text(), QStringLiteral("elsewhere"));
    QVERIFY(w.boxes.boxes.isEmpty());
}

void FolderScanTest::stopWithoutScanAndOtherKeys()
{
    TempTree t;
    t.mkdir("S/A");
    t.file("S/A/x", 20);
    WindowFixture w(t.at("S"));
    w.window->show();
    QVERIFY(QTest::qWaitForWindowActive(w.window.get()));
    QWidget *list = w.f().lstFolders;
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Q, Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
    QVERIFY(w.boxes.boxes.isEmpty());
    // Esc with no scan running: the box, the list without sizes, and the request is dropped,
    // so the next size scan runs to its end.
    w.f().chkFolderSize->setChecked(true);
    QTest::keyClick(list, Qt::Key_Escape, Qt::ShiftModifier);
    QCOMPARE(w.boxes.titles(), QStringList({"Listwright - STOP SIZE SCAN"}));
    QCOMPARE(w.folderLines(), QStringList({str(t.at("S/A"))}));
    QVERIFY(!isChecked(w.f().chkFolderSize));
    w.f().chkFolderSize->setChecked(true);
    QVERIFY(w.folderLines()[0].endsWith(QStringLiteral("20    B ")));

    // The folder tree: moving only highlights, Enter opens.
    w.f().dirFolder->setFocus();
    QTest::keyClick(w.f().dirFolder, Qt::Key_Down);
    QCOMPARE(w.f().CurrentFolderPath, str(t.at("S")) + '/');
    QTest::keyClick(w.f().dirFolder, Qt::Key_Return);
    QCOMPARE(w.f().CurrentFolderPath, str(t.at("S/A")) + '/');
}

QTEST_MAIN(FolderScanTest)
#include "tst_folderscan.moc"
