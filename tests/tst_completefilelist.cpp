// The complete file list: its modification text, its line layout, and the rebuild over real
// folders in a real main window.
#include "listing/CompleteFileList.h"
#include "listing/FileLine.h"
#include "listing/FileListElement.h"
#include "listing/ModifiedText.h"
#include "support/TempTree.h"
#include "support/WindowFixture.h"

#include <QCheckBox>
#include <QSignalBlocker>
#include <QtTest>
#include <cstring>
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
    void textAndLayout();
    void workedExampleAndVanishedFile();
    void noSmallCeilings();
};

void TestCompleteFileList::textAndLayout()
{
    for (int month = 1; month <= 12; ++month) // every month fills the 9-character date field
        QCOMPARE(FileModifiedText(utc(1998, month, 5, 12, 0, 1)),
                 QString(" %1/05/98 12:00:01 PM").arg(month, 2, 10, QChar('0')));
    QCOMPARE(FileModifiedText(utc(2024, 3, 28, 0, 0, 1)), QStringLiteral(" 03/28/24 12:00:01 AM"));
    // A size text wider than its column still leaves one blank after the longest name.
    QCOMPARE(BuildFileListLine("huge.img", 9, {"10000.00 GB", std::nullopt}), QStringLiteral("huge.img 10000.00 GB"));
}

void TestCompleteFileList::workedExampleAndVanishedFile()
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
        f.lstBigFileList->clear();
        f.lstBigFileList->addItem("a line already there");
        fileFileList_PathChange(f);
        QStringList expected = row.recursive ? QStringList{"a line already there"} : QStringList{};
        for (const QString &line : row.lines)
            expected.append((row.recursive ? folder : QString()) + line);
        QCOMPARE(w.fileLines(), expected);
        QCOMPARE(f.CurrentFolderPath, folder);
        QCOMPARE(f.FileListTotalBytes, row.size ? int64_t(1538548) : 0);
        QCOMPARE(f.FileListTotalText, row.size ? QStringLiteral("1.47 MB") : QStringLiteral("0    B "));
    }

    // No box so far. A file removed after listing: two boxes (length, time), its line kept at 0 bytes.
    QCOMPARE(::unlink(tree.at("setup.exe").constData()), 0);
    setOptions(f, true, true);
    fileFileList_PathChange(f);
    const QString text = QString::fromLocal8Bit(std::strerror(ENOENT)) + "\rCurrent file: " + folder + "setup.exe";
    QCOMPARE(w.boxes.titles(), QStringList(2, QStringLiteral("Listwright - Error in File Path Change")));
    QCOMPARE(w.boxes.boxes[0].text, text);
    QCOMPARE(w.boxes.boxes[1].text, text);
    QCOMPARE(w.fileLines().last(), QStringLiteral("setup.exe     0    B             "));
    QCOMPARE(f.FileListTotalBytes, int64_t(2548));
}

void TestCompleteFileList::noSmallCeilings()
{
    // 40,000 empty files made with plain calls (a test macro per file would dominate the run),
    // a 3 GB sparse file, a name that is not UTF-8 and an emoji name: all listed, no box.
    TempTree tree;
    for (int i = 0; i < 40000; ++i)
        ::close(::open(tree.at("f" + QByteArray::number(i).rightJustified(5, '0')).constData(), O_WRONLY | O_CREAT, 0644));
    tree.file("big.img", 3LL << 30);
    tree.file("bad\xff.txt", 10);
    tree.file("\xF0\x9F\x98\x80.txt", 1);
    WindowFixture w(tree.path(), false); // its file list starts in the tree
    MainForm &f = w.f();
    setOptions(f, true, false);
    fileFileList_PathChange(f);
    QCOMPARE(f.lstBigFileList->count(), 40003);
    QCOMPARE(w.fileLines().mid(0, 3), QStringList({QString::fromUtf8("bad\xEF\xBF\xBD.txt   10    B "),
                                                   "big.img     3.00 GB", "f00000      0    B "}));
    // The emoji is one character, so its size text ends in the same column.
    QCOMPARE(w.fileLines().last(), QString::fromUtf8("\xF0\x9F\x98\x80.txt       1    B "));
    QCOMPARE(f.FileListTotalBytes, (int64_t(3) << 30) + 11);
    QCOMPARE(f.FileListTotalText, QStringLiteral("3.00 GB"));
    QVERIFY(w.boxes.boxes.isEmpty());
}

QTEST_MAIN(TestCompleteFileList)
#include "tst_completefilelist.moc"
