// The complete file list: its modification text, its line layout, and the rebuild over real
// folders in a real main window.
#include "listing/CompleteFileList.h"
#include "listing/FileLine.h"
#include "listing/FileListElement.h"
#include "listing/ModifiedText.h"
#include "shared/MainForm.h"
#include "shared/WebOpener.h"
#include "shared/TextList.h"
#include "shell/MainWindow.h"
#include "support/RecordingPrinter.h"
#include "support/ScriptedMessageBoxes.h"
#include "support/TempTree.h"

#include <QApplication>
#include <QCheckBox>
#include <QSignalBlocker>
#include <QtTest>
#include <cstring>
#include <ctime>
#include <unistd.h>

namespace {
QDateTime utc(int y, int mo, int d, int h, int mi, int s)
{
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s), Qt::UTC);
}

// Sets the option boxes without running their click handlers.
void setOptions(MainForm &f, bool size, bool modified, bool recursive)
{
    const QSignalBlocker a(f.chkSize), b(f.chkModified), c(f.chkRecursive);
    f.chkSize->setChecked(size);
    f.chkModified->setChecked(modified);
    f.chkRecursive->setChecked(recursive);
}

// A real main window over the test doubles.
struct Window {
    ScriptedMessageBoxes boxes;
    RecordingPrinter printer;
    DesktopWebOpener opener;
    MainWindow w{boxes, printer, opener};
    MainForm &f = w.form();
};
}

class TestCompleteFileList : public QObject {
    Q_OBJECT
private slots:
    void modifiedText();
    void lineLayout();
    void workedExample();
    void vanishedFile();
    void noSmallCeilings();
};

void TestCompleteFileList::modifiedText()
{
    // The general date text, built without the locale.
    QCOMPARE(GeneralDateText(utc(1998, 11, 5, 10, 20, 30).toLocalTime()), QStringLiteral("11/5/98 10:20:30 AM"));
    QCOMPARE(GeneralDateText(utc(2007, 1, 5, 0, 0, 0).toLocalTime()), QStringLiteral("1/5/07"));

    // Every month reaches the 9-character date field; the time field is 11 characters.
    for (int month = 1; month <= 12; ++month)
        QCOMPARE(FileModifiedText(utc(1998, month, 5, 12, 0, 1).toLocalTime()),
                 QStringLiteral(" %1/05/98 12:00:01 PM").arg(month, 2, 10, QLatin1Char('0')));
    QCOMPARE(FileModifiedText(utc(2024, 3, 28, 0, 0, 1).toLocalTime()), QStringLiteral(" 03/28/24 12:00:01 AM"));
    // Midnight has no time field; a timestamp that could not be read has a blank date.
    QCOMPARE(FileModifiedText(utc(1998, 1, 5, 0, 0, 0).toLocalTime()), QStringLiteral(" 01/05/98 "));
    QCOMPARE(FileModifiedText(QDateTime()), QString(10, QLatin1Char(' ')));
}

void TestCompleteFileList::lineLayout()
{
    // Columns count characters as a person sees them: the emoji is one character.
    const QString smile = QString::fromUtf8("\xF0\x9F\x98\x80.txt"); // 5 characters
    QCOMPARE(BuildFileListLine(smile, 7, {QStringLiteral("1.00 KB"), QStringLiteral(" 01/05/98 ")}),
             smile + QStringLiteral("     1.00 KB   01/05/98 "));
    QCOMPARE(BuildFileListLine(smile, 7, {std::nullopt, QStringLiteral(" 01/05/98 ")}), smile + QStringLiteral("   01/05/98 "));
    // A size text wider than its column still leaves one blank after the longest name.
    QCOMPARE(BuildFileListLine(QStringLiteral("huge.img"), 9, {QStringLiteral("10000.00 GB"), std::nullopt}),
             QStringLiteral("huge.img 10000.00 GB"));
}

void TestCompleteFileList::workedExample()
{
    TempTree tree;
    tree.file("a.txt", 500, utc(1998, 12, 15, 15, 4, 5));
    tree.file("readme.doc", 2048, utc(1998, 11, 5, 10, 20, 30));
    tree.file("setup.exe", 1536000, utc(1998, 10, 1, 0, 0, 0));
    Window win;
    MainForm &f = win.f;
    setOptions(f, true, true, false);
    f.fileFileList->setPath(tree.path());
    const QString folder = QFile::decodeName(tree.path()) + QLatin1Char('/');

    // Both columns (the pointing at the folder rebuilt the list).
    QCOMPARE(f.lstBigFileList->lines(), QStringList({QStringLiteral("a.txt       500    B    12/15/98  3:04:05 PM"),
                                                     QStringLiteral("readme.doc    2.00 KB   11/05/98 10:20:30 AM"),
                                                     QStringLiteral("setup.exe     1.46 MB   10/01/98 ")}));
    QCOMPARE(f.CurrentFolderPath, folder);
    QCOMPARE(f.FileListTotalBytes, int64_t(1538548));
    QCOMPARE(f.FileListTotalText, QStringLiteral("1.47 MB"));

    setOptions(f, true, false, false);
    fileFileList_PathChange(f);
    QCOMPARE(f.lstBigFileList->lines(), QStringList({QStringLiteral("a.txt       500    B "),
                                                     QStringLiteral("readme.doc    2.00 KB"),
                                                     QStringLiteral("setup.exe     1.46 MB")}));

    setOptions(f, false, true, false);
    fileFileList_PathChange(f);
    const QStringList modifiedOnly{QStringLiteral("a.txt       12/15/98  3:04:05 PM"),
                                   QStringLiteral("readme.doc  11/05/98 10:20:30 AM"),
                                   QStringLiteral("setup.exe   10/01/98 ")};
    QCOMPARE(f.lstBigFileList->lines(), modifiedOnly);
    QCOMPARE(f.FileListTotalBytes, int64_t(0));
    QCOMPARE(f.FileListTotalText, QStringLiteral("0    B "));

    setOptions(f, false, false, false);
    fileFileList_PathChange(f);
    QCOMPARE(f.lstBigFileList->lines(),
             QStringList({QStringLiteral("a.txt"), QStringLiteral("readme.doc"), QStringLiteral("setup.exe")}));

    // Recursive: the list is not emptied and every new line starts with the folder path.
    f.lstBigFileList->clear();
    f.lstBigFileList->addItem(QStringLiteral("a line already there"));
    setOptions(f, false, true, true);
    fileFileList_PathChange(f);
    QStringList expected{QStringLiteral("a line already there")};
    for (const QString &line : modifiedOnly)
        expected.append(folder + line);
    QCOMPARE(f.lstBigFileList->lines(), expected);
    QVERIFY(win.boxes.boxes.isEmpty());
}

void TestCompleteFileList::vanishedFile()
{
    TempTree tree;
    tree.file("a.txt", 500, utc(1998, 12, 15, 15, 4, 5));
    tree.file("gone.txt", 700, utc(1998, 12, 15, 15, 4, 5));
    Window win;
    MainForm &f = win.f;
    setOptions(f, true, true, false);
    f.fileFileList->setPath(tree.path());
    QVERIFY(win.boxes.boxes.isEmpty());

    QCOMPARE(::unlink(tree.at("gone.txt").constData()), 0);
    fileFileList_PathChange(f);
    // One box for the length and one for the time, each naming the file.
    const QString text = QString::fromLocal8Bit(std::strerror(ENOENT)) + QStringLiteral("\rCurrent file: ") + QFile::decodeName(tree.path())
                         + QStringLiteral("/gone.txt");
    QCOMPARE(win.boxes.boxes.size(), 2);
    for (const auto &box : win.boxes.boxes) {
        QCOMPARE(box.title, QStringLiteral("Listwright - Error in File Path Change"));
        QCOMPARE(box.text, text);
    }
    QCOMPARE(f.lstBigFileList->lines(), QStringList({QStringLiteral("a.txt     500    B    12/15/98  3:04:05 PM"),
                                                     QStringLiteral("gone.txt    0    B             ")}));
    QCOMPARE(f.FileListTotalBytes, int64_t(500));
}

void TestCompleteFileList::noSmallCeilings()
{
    TempTree many;
    for (int i = 0; i < 40000; ++i)
        many.file(QByteArray("f") + QByteArray::number(i).rightJustified(5, '0'), 1);
    TempTree odd;
    odd.file("big.img", 3LL << 30);
    odd.file("bad\xff.txt", 10);
    Window win;
    MainForm &f = win.f;
    setOptions(f, true, false, false);

    f.fileFileList->setPath(many.path());
    QCOMPARE(f.lstBigFileList->count(), 40000);
    QCOMPARE(f.lstBigFileList->item(39999), QStringLiteral("f39999    1    B "));
    QCOMPARE(f.FileListTotalBytes, int64_t(40000));

    // A 3 GB file and a name that is not UTF-8: listed and counted, no box.
    f.fileFileList->setPath(odd.path());
    QCOMPARE(f.lstBigFileList->lines(),
             QStringList({QString::fromUtf8("bad\xEF\xBF\xBD.txt   10    B "), QStringLiteral("big.img     3.00 GB")}));
    QCOMPARE(f.FileListTotalBytes, (int64_t(3) << 30) + 10);
    QCOMPARE(f.FileListTotalText, QStringLiteral("3.00 GB"));
    QVERIFY(win.boxes.boxes.isEmpty());
    // The temporary folder cannot remove a name it cannot spell.
    QCOMPARE(::unlink(odd.at("bad\xff.txt").constData()), 0);
}

int main(int argc, char **argv)
{
    // Timestamps are written and shown in one fixed zone, and numbers in one fixed form.
    qputenv("TZ", "UTC");
    tzset();
    QLocale::setDefault(QLocale::c());
    QApplication app(argc, argv);
    TestCompleteFileList test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_completefilelist.moc"
