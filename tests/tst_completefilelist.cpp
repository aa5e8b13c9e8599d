// The complete file list rebuilt over real folders in a real main window: the worked example in every
// column combination, a file that vanishes while the list is built, links, and folders beyond small limits.
#include "listing/CompleteFileList.h"
#include "listing/FileListElement.h"
#include "listing/ModifiedText.h"
#include "shared/FsError.h"
#include "support/TempTree.h"
#include "support/WindowFixture.h"

#include <QCheckBox>
#include <QSignalBlocker>
#include <QtTest>
#include <ctime>
#include <fcntl.h>
#include <unistd.h>

namespace {
QDateTime utc(int y, int mo, int d, int h, int mi, int s) { return QDateTime(QDate(y, mo, d), QTime(h, mi, s), Qt::UTC); }

// Sets the option boxes without running their click handlers.
void setOptions(MainForm &f, bool size, bool modified, bool recursive = false)
{
    const QSignalBlocker a(f.chkSize), b(f.chkModified), c(f.chkRecursive);
    f.chkSize->setChecked(size);
    f.chkModified->setChecked(modified);
    f.chkRecursive->setChecked(recursive);
}
}

class TestCompleteFileList : public QObject {
    Q_OBJECT
private slots:
    // Timestamps are written and shown in one fixed zone, and numbers in one fixed form.
    void initTestCase() { qputenv("TZ", "UTC"); tzset(); QLocale::setDefault(QLocale::c()); }
    void workedExampleVanishedFileAndLinks();
    void noSmallCeilings();
};

void TestCompleteFileList::workedExampleVanishedFileAndLinks()
{
    TempTree tree;
    tree.file("a.txt", 500, utc(1998, 12, 15, 15, 4, 5));
    tree.file("readme.doc", 2048, utc(1998, 11, 5, 10, 20, 30));
    tree.file("setup.exe", 1536000, utc(1998, 10, 1, 0, 0, 0));
    WindowFixture w(tree.path(), false); // its file list starts in the tree
    MainForm &f = w.f();
    const QString folder = QFile::decodeName(tree.path()) + '/';
    const QStringList dates{"a.txt       12/15/98  3:04:05 PM", "readme.doc  11/05/98 10:20:30 AM", "setup.exe   10/01/98 "};
    const struct { bool size, modified, recursive; QStringList lines; } rows[] = {
        {true, true, false, {"a.txt       500    B    12/15/98  3:04:05 PM", "readme.doc    2.00 KB   11/05/98 10:20:30 AM",
                             "setup.exe     1.46 MB   10/01/98 "}},
        {true, false, false, {"a.txt       500    B ", "readme.doc    2.00 KB", "setup.exe     1.46 MB"}},
        {false, true, false, dates},
        {false, false, false, {"a.txt", "readme.doc", "setup.exe"}},
        {false, true, true, dates}, // not emptied, and every new line starts with the folder path
    };
    for (const auto &row : rows) {
        setOptions(f, row.size, row.modified, row.recursive);
        QStringList expected = row.recursive ? w.fileLines() : QStringList{};
        fileFileList_PathChange(f);
        for (const QString &line : row.lines)
            expected.append((row.recursive ? folder : QString()) + line);
        QCOMPARE(w.fileLines(), expected);
    }
    // Months 1 to 9 fill the same 9-character date field, so their lines stay aligned.
    QCOMPARE(FileModifiedText(utc(1998, 1, 5, 12, 0, 1)), QStringLiteral(" 01/05/98 12:00:01 PM"));

    // A file removed after listing: its box for the length and for the time, and its line at 0 bytes.
    QCOMPARE(::unlink(tree.at("setup.exe").constData()), 0);
    setOptions(f, true, true);
    fileFileList_PathChange(f);
    QCOMPARE(w.boxes.titles(), QStringList(2, QStringLiteral("Listwright - Error in File Path Change")));
    QCOMPARE(w.fileLines().last(), QStringLiteral("setup.exe     0    B             "));

    // Links: one to a file has the file's length, a dangling one its own (its target text's) and no box.
    w.boxes.clear();
    tree.symlink("a.txt", "to-a");
    tree.symlink("no-such-file", "dangling");
    f.fileFileList->setPattern(QStringLiteral("*"));
    fileFileList_PathChange(f);
    QCOMPARE(f.FileListTotalBytes, 500 + 12 + 2048 + 500);
    QVERIFY(w.boxes.boxes.isEmpty());

    // A folder that cannot be read leaves the file list on the folder it held, whose files still list.
    const QByteArray held = f.fileFileList->path();
    QVERIFY_THROWS_EXCEPTION(FsError, f.fileFileList->setPath(tree.at("missing")));
    QCOMPARE(f.fileFileList->path(), held);
    fileFileList_PathChange(f);
    QCOMPARE(f.FileListTotalBytes, 500 + 12 + 2048 + 500);
    QVERIFY(w.boxes.boxes.isEmpty());
}

void TestCompleteFileList::noSmallCeilings()
{
    // 40,000 empty files (plain calls: a test macro per file would dominate the run), a 3 GB sparse
    // file and a name that is not UTF-8: all listed and counted, no box.
    TempTree tree;
    for (int i = 0; i < 40000; ++i)
        ::close(::open(tree.at("f" + QByteArray::number(i).rightJustified(5, '0')).constData(), O_WRONLY | O_CREAT, 0644));
    tree.file("big.img", 3LL << 30);
    tree.file("bad\xff.txt", 10);
    WindowFixture w(tree.path(), false); // its file list starts in the tree
    MainForm &f = w.f();
    setOptions(f, true, false);
    fileFileList_PathChange(f);
    QCOMPARE(f.lstBigFileList->count(), 40002);
    QCOMPARE(w.fileLines().mid(0, 2), QStringList({QString::fromUtf8("bad\xEF\xBF\xBD.txt   10    B "), "big.img     3.00 GB"}));
    QCOMPARE(f.FileListTotalBytes, (int64_t(3) << 30) + 10);
    QVERIFY(w.boxes.boxes.isEmpty());
}

QTEST_MAIN(TestCompleteFileList)
#include "tst_completefilelist.moc"
