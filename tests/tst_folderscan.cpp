// The folder list scan: lines, sizes, totals, the parent folder line, errors on the way, and
// what happens when the user acts while a size scan runs.
#include "listing/FileTypes.h"
#include "scan/DirFolderView.h"
#include "scan/FolderListScan.h"
#include "scan/ScanPump.h"
#include "scan/ScanSteps.h"
#include "shared/MainForm.h"
#include "support/TempTree.h"
#include "support/WindowFixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QMainWindow>
#include <QProcess>
#include <QTimer>
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
    void folderChangeDuringScanWins();
    void patternChangeDuringScanKeepsFolderListWhole();
    void windowAnswersDuringScanOfEmptyFolders();
};

static QString str(const QByteArray &b) { return QString::fromUtf8(b); }

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

void FolderScanTest::folderChangeDuringScanWins()
{
    TempTree t;
    t.wide("big", 20, 50);
    ScanPump::intervalMs = 0;
    t.mkdir("other/only");
    WindowFixture w(t.path());
    w.open(t.at("big"));
    bool changed = false;
    // Open another folder from inside the running scan's event pump.
    QTimer::singleShot(0, [&] {
        changed = true;
        w.open(t.at("other"));
    });
    w.f().chkFolderSize->setChecked(true);
    QVERIFY(changed);
    QCOMPARE(w.folderLines().size(), 1);
    QVERIFY(w.folderLines()[0].startsWith(str(t.at("other/only"))));
    QCOMPARE(w.f().txtParentFolder->text(), str(t.at("other")) + "/*.*  0    B ");
    QCOMPARE(w.f().window->windowTitle(), QStringLiteral("Listwright"));
    QCOMPARE(w.f().window->cursor().shape(), Qt::ArrowCursor);
    ScanPump::intervalMs = 15;
}

void FolderScanTest::patternChangeDuringScanKeepsFolderListWhole()
{
    TempTree t;
    t.wide("big", 20, 5);
    t.file("big/tune.mp3", 1000);
    t.file("big/notes.txt", 24);
    WindowFixture w(t.at("big"));
    ScanPump::intervalMs = 0;
    QTimer::singleShot(0, [&] {
        w.f().cboFileTypes->setEditText(QStringLiteral("*.mp3"));
        cboFileTypes_Change(w.f());
    });
    w.f().chkFolderSize->setChecked(true);
    ScanPump::intervalMs = 15;
    QCOMPARE(w.fileLines().size(), 1);
    QVERIFY(w.folderLines().size() == 20 && w.folderLines()[19].endsWith(QStringLiteral("5    B ")));
    QCOMPARE(w.f().txtParentFolder->text(), str(t.at("big")) + "/*.mp3  1.10 KB");
    QCOMPARE(w.f().window->windowTitle(), QStringLiteral("Listwright"));
    QVERIFY(w.boxes.boxes.isEmpty());
}

void FolderScanTest::windowAnswersDuringScanOfEmptyFolders()
{
    TempTree t;
    for (int i = 0; i < 1500; ++i)
        t.mkdir("empty/e" + QByteArray::number(i) + "/inner");
    WindowFixture w(t.path());
    w.open(t.at("empty"));
    int ticks = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] { ++ticks; });
    timer.start(5);
    QElapsedTimer scan;
    scan.start();
    w.f().chkFolderSize->setChecked(true);
    // Events were handled while the scan went through folders without a single file.
    if (scan.elapsed() > 60)
        QVERIFY(ticks >= 2);
    QCOMPARE(w.folderLines().size(), 1500);
}

QTEST_MAIN(FolderScanTest)
#include "tst_folderscan.moc"
