// The folder list scan and the recursive listing through the real window: lines, sizes, totals,
// the parent folder line, errors on the way, the option boxes, the load, and the stop command.
#include "scan/DirFolderView.h"
#include "scan/ScanPump.h"
#include "scan/ScanSteps.h"
#include "shared/MainForm.h"
#include "support/TempTree.h"
#include "support/WindowFixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QMainWindow>
#include <QProcess>
#include <QtTest>
#include <sys/stat.h>
#include <unistd.h>

class FolderScanTest : public QObject {
    Q_OBJECT
private slots:
    void linesAlignAndTotalsAddUp();
    void bigTreesAndLinks();
    void captionGrowsAndWraps();
    void unreadableFoldersAreReportedAndSkipped();
    void eventsAreProcessedInFoldersWithoutFiles();
    void loadFailureIsReported();
    void recursiveListing();
    void columnOptionsAndAutoUpdate();
    void stopWithoutScanAndOtherKeys();
    void folderTreeOpensOnEnterOnly();
};

static QString str(const QByteArray &b) { return QString::fromUtf8(b); }

namespace {
void makeTree(const TempTree &t)
{
    t.mkdir("S/A/sub");
    t.mkdir("S/B");
    t.file("S/A/a1", 1536);
    t.file("S/A/MSCREATE.DIR", 10);
    t.file("S/A/sub/deep", 5);
    t.file("S/B/mscreate.dir", 20);
    t.file("S/own.txt", 100);
}
}

void FolderScanTest::linesAlignAndTotalsAddUp()
{
    TempTree t;
    t.mkdir("DATA/A/deeper");
    t.mkdir("DATA/BIG");
    t.file("DATA/A/one", 1000);
    t.file("DATA/A/deeper/.hidden", 536);
    t.file("DATA/own.txt", 100);
    t.file("DATA/.own-hidden", 24);
    WindowFixture w(t.path());
    w.open(t.at("DATA"));
    w.f().chkFolderSize->setChecked(true);

    // A: 1536 bytes; BIG: empty. Both lines are nameWidth + 10 long, sizes in one column.
    const QString a = str(t.at("DATA/A")), big = str(t.at("DATA/BIG"));
    const int nameWidth = int(big.size()) + 1;
    QCOMPARE(w.folderLines(), QStringList({a + QString(nameWidth - a.size() + 3, ' ') + "1.50 KB",
                                           big + QString(nameWidth - big.size() + 3, ' ') + "0    B "}));
    QCOMPARE(w.f().FolderTotalBytes, 1536 + 124);
    QCOMPARE(w.f().txtParentFolder->text(), str(t.at("DATA")) + "/*.*  1.62 KB");
    QCOMPARE(w.f().window->windowTitle(), QStringLiteral("Listwright"));
    QCOMPARE(w.f().window->cursor().shape(), Qt::ArrowCursor);

    // Switching sizes off forgets the total.
    w.f().chkFolderSize->setChecked(false);
    QCOMPARE(w.folderLines(), QStringList({a, big}));
    QCOMPARE(w.f().txtParentFolder->text(), str(t.at("DATA")) + "/*.*");

    // The root keeps its single "/".
    w.open("/");
    QCOMPARE(w.f().txtParentFolder->text(), QStringLiteral("/*.*"));
    QVERIFY(w.folderLines().contains(QStringLiteral("/tmp")));
    QVERIFY(w.boxes.boxes.isEmpty());
}

void FolderScanTest::bigTreesAndLinks()
{
    TempTree t;
    t.mkdir("S/huge/inner");
    t.mkdir("S/real/loop");
    t.file("S/huge/inner/a", 6'000'000'000LL); // sparse
    t.file("S/huge/b", 4'000'000'000LL);
    t.file("S/real/f", 1024);
    t.file("S/real/caf\xe9-latin1.txt", 1024); // not valid UTF-8: still counted
    t.symlink(t.at("S"), "S/real/loop/back");   // a loop below a subfolder
    t.symlink(t.at("S/real"), "S/alias");       // a link right under the current folder: not walked
    WindowFixture w(t.path());
    w.open(t.at("S"));
    w.f().chkFolderSize->setChecked(true);
    const int lineLength = int(str(t.at("S/alias")).size()) + 1 + 10;
    QCOMPARE(w.folderLines(), QStringList({str(t.at("S/alias")).leftJustified(lineLength - 7) + "0    B ",
                                           str(t.at("S/huge")) + "  9.31 GB", // 10,000,000,000 bytes: two blanks
                                           str(t.at("S/real")).leftJustified(lineLength - 7) + "2.00 KB"}));
    QCOMPARE(w.f().FolderTotalBytes, 10'000'002'048LL);
    QVERIFY(w.boxes.boxes.isEmpty());
}

void FolderScanTest::captionGrowsAndWraps()
{
    QString caption = ScanningCaption;
    QCOMPARE(caption.size(), 45);
    for (int i = 0; i < 55; ++i)
        caption = advancedCaption(caption);
    QCOMPARE(caption.size(), 100);
    QCOMPARE(advancedCaption(caption), QStringLiteral("Listwright - Scanning ."));
    QCOMPARE(advancedCaption(QStringLiteral("Listwright - Scanning .")), QStringLiteral("Listwright - Scanning .."));
}

void FolderScanTest::unreadableFoldersAreReportedAndSkipped()
{
    // Root reads everything: run the check itself as an unprivileged user.
    if (::geteuid() == 0) {
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedChannels);
        child.start(QStringLiteral("setpriv"), {QStringLiteral("--reuid=nobody"), QStringLiteral("--regid=nogroup"),
                                                QStringLiteral("--clear-groups"), QCoreApplication::applicationFilePath(),
                                                QStringLiteral("unreadableFoldersAreReportedAndSkipped")});
        QVERIFY(child.waitForFinished(120000));
        QCOMPARE(child.exitCode(), 0);
        return;
    }
    TempTree t;
    t.mkdir("S/A");
    t.mkdir("S/B/ok");
    t.mkdir("S/B/shut");
    t.mkdir("S/C");
    t.file("S/A/x", 100);
    t.file("S/B/ok/y", 200);
    t.file("S/B/shut/z", 300);
    t.file("S/C/w", 400);
    QCOMPARE(::chmod(t.at("S/A").constData(), 0), 0);
    QCOMPARE(::chmod(t.at("S/B/shut").constData(), 0), 0);
    WindowFixture w(t.path());
    w.open(t.at("S"));
    w.f().chkFolderSize->setChecked(true);
    ::chmod(t.at("S/A").constData(), 0755);
    ::chmod(t.at("S/B/shut").constData(), 0755);

    QCOMPARE(w.boxes.titles(), QStringList({"Listwright Error", "Problem Found?", "Listwright Error", "Problem Found?"}));
    QCOMPARE(w.boxes.boxes[0].text, QStringLiteral("Error Description: Permission denied"));
    QCOMPARE(w.boxes.boxes[1].text, "Current Folder Path  is: " + str(t.at("S")) + " Current File is: " + str(t.at("S/A")));
    QCOMPARE(w.boxes.boxes[3].text,
             "Current Folder Path  is: " + str(t.at("S")) + " Current File is: " + str(t.at("S/B/shut")));
    // The readable siblings' bytes still count.
    QStringList sizes;
    for (const QString &line : w.folderLines())
        sizes << line.right(9).trimmed();
    QCOMPARE(sizes, QStringList({"0    B", "200    B", "400    B"}));
}

void FolderScanTest::loadFailureIsReported()
{
    TempTree t;
    WindowFixture w(t.path(), false);
    const bool loaded = w.window->load([](int step) {
        if (step == 6)
            throw std::runtime_error("Out of memory");
    });
    QVERIFY(!loaded);
    QCOMPARE(w.boxes.titles(), QStringList({"Listwright - Error loading program"}));
    QCOMPARE(w.boxes.boxes[0].text, QStringLiteral("Out of memory"));
    QCOMPARE(w.f().txtTitle->text(), QString()); // later steps did not run
}

void FolderScanTest::recursiveListing()
{
    qputenv("TZ", "UTC");
    TempTree t;
    makeTree(t);
    WindowFixture w(t.at("S"));
    MainForm &f = w.f();
    f.chkModified->setChecked(false);
    f.chkRecursive->setChecked(true);

    QVERIFY(isChecked(f.chkRecursive) && isChecked(f.chkFolderSize));
    QCOMPARE(w.folderLines().size(), 2);
    QVERIFY(w.folderLines()[0].endsWith(QStringLiteral("1.51 KB")));
    QVERIFY(w.folderLines()[1].endsWith(QStringLiteral("20    B ")));
    const QString s = str(t.at("S")) + '/';
    // Walk order: each subfolder tree depth first, files of a folder in name order;
    // "MSCREATE.DIR" is counted but listed only in another letter case.
    QCOMPARE(w.fileLines(), QStringList({s + "A/a1 1.50 KB", s + "A/sub/deep 5    B ", s + "B/mscreate.dir 20    B ",
                                         s + "own.txt  100    B "}));
    QCOMPARE(f.FolderTotalBytes, 1536 + 10 + 5 + 20 + 100);
    QCOMPARE(f.txtParentFolder->text(), s + "*.*  1.63 KB");

    // Another folder while recursive: nothing of the previous folder stays.
    w.open(t.at("S/A"));
    QCOMPARE(w.fileLines(), QStringList({s + "A/sub/deep 5    B ", s + "A/a1" + QString(14, ' ') + "1.50 KB", s + "A/MSCREATE.DIR   10    B "}));

    // Unchecking lists the folder alone again.
    f.chkRecursive->setChecked(false);
    QCOMPARE(w.fileLines(), QStringList({"a1" + QString(14, ' ') + "1.50 KB", "MSCREATE.DIR   10    B "}));
    QVERIFY(isChecked(f.chkFolderSize));
    QVERIFY(w.boxes.boxes.isEmpty());
}

void FolderScanTest::columnOptionsAndAutoUpdate()
{
    TempTree t;
    makeTree(t);
    WindowFixture w(t.at("S"));
    MainForm &f = w.f();
    f.window->setWindowTitle(QStringLiteral("untouched"));
    f.chkSize->setChecked(false);
    f.chkModified->setChecked(false);
    QCOMPARE(w.fileLines(), QStringList({"own.txt"}));
    f.chkSize->setChecked(true);
    QCOMPARE(w.fileLines(), QStringList({"own.txt  100    B "}));
    QCOMPARE(f.window->windowTitle(), QStringLiteral("untouched")); // no folder scan ran

    f.txtMyFilePath->setText(QStringLiteral("elsewhere"));
    f.chkAutoUpdate->setChecked(false);
    QCOMPARE(f.txtMyFilePath->text(), str(t.at("S")));
    f.txtMyFilePath->setText(QStringLiteral("elsewhere"));
    w.open(t.at("S/A"));
    QCOMPARE(f.txtMyFilePath->text(), QStringLiteral("elsewhere")); // no longer follows
    f.chkAutoUpdate->setChecked(true);
    QCOMPARE(f.txtMyFilePath->text(), str(t.at("S/A")));
}

void FolderScanTest::stopWithoutScanAndOtherKeys()
{
    TempTree t;
    makeTree(t);
    WindowFixture w(t.at("S"));
    w.window->show();
    QVERIFY(QTest::qWaitForWindowActive(w.window.get()));
    w.f().lstFolders->setFocus();
    for (auto mods : {Qt::NoModifier, Qt::ShiftModifier, Qt::ControlModifier, Qt::AltModifier}) {
        QTest::keyClick(w.f().lstFolders, Qt::Key_Q, mods);
        QTest::keyClick(w.f().lstFolders, Qt::Key_F5, mods);
    }
    QVERIFY(w.boxes.boxes.isEmpty());
    // Esc with no scan running: the box, the list without sizes, and the request is dropped.
    w.f().chkFolderSize->setChecked(true);
    QTest::keyClick(w.f().lstFolders, Qt::Key_Escape, Qt::ShiftModifier);
    QCOMPARE(w.boxes.titles(), QStringList({"Listwright - STOP SIZE SCAN"}));
    QVERIFY(!isChecked(w.f().chkFolderSize));
    QCOMPARE(w.folderLines()[0], str(t.at("S/A")));
    // So the next size scan runs to its end.
    w.f().chkFolderSize->setChecked(true);
    QVERIFY(w.folderLines()[1].endsWith(QStringLiteral("20    B ")));
    QCOMPARE(w.f().window->windowTitle(), QStringLiteral("Listwright"));
}

void FolderScanTest::folderTreeOpensOnEnterOnly()
{
    TempTree t;
    makeTree(t);
    WindowFixture w(t.at("S"));
    w.window->show();
    QVERIFY(QTest::qWaitForWindowActive(w.window.get()));
    w.f().dirFolder->setFocus();
    QTest::keyClick(w.f().dirFolder, Qt::Key_Down); // onto A: highlighted only
    QCOMPARE(w.f().CurrentFolderPath, str(t.at("S")) + '/');
    QTest::keyClick(w.f().dirFolder, Qt::Key_Return);
    QCOMPARE(w.f().CurrentFolderPath, str(t.at("S/A")) + '/');
    QCOMPARE(w.folderLines(), QStringList({str(t.at("S/A/sub"))}));
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

QTEST_MAIN(FolderScanTest)
#include "tst_folderscan.moc"
