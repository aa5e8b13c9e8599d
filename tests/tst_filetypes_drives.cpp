// The file-type pattern and the drive selection, through the real main window's elements.
#include "listing/DriveList.h"
#include "listing/FileListElement.h"
#include "listing/FilePattern.h"
#include "scan/DirFolderView.h"
#include "support/TempTree.h"
#include "support/WindowFixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QtTest>

namespace {
void namesOnly(MainForm &f) { f.chkSize->setChecked(false); f.chkModified->setChecked(false); }
}

class TestFileTypesDrives : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QLocale::setDefault(QLocale::c()); } // size texts with a decimal point
    void patternSemantics();
    void typingAndPicking();
    void driveNotAvailable();
};

void TestFileTypesDrives::patternSemantics()
{
    // Beyond what the typing below shows: "*.*" without a dot, ";", "?" over an emoji, and
    // characters that mean something to a regular expression.
    const std::pair<const char *, const char *> matching[] = {
        {"*.*", "README"}, {"", "anything"}, {"*.mp3;*.WAV", "take.wav"}, {"?.txt", "\xF0\x9F\x98\x80.txt"},
        {"a+b(1).txt", "A+B(1).TXT"}};
    for (const auto &[pattern, name] : matching)
        QVERIFY2(FilePattern(QString::fromUtf8(pattern)).matches(QString::fromUtf8(name)), pattern);
}

void TestFileTypesDrives::typingAndPicking()
{
    TempTree tree;
    const QStringList everything{"a.txt", "b.TXT", "c.doc", "d.txt.bak", "song.mp3", "Tune.MP3"};
    for (const QString &name : everything)
        tree.file(name.toUtf8(), 10);
    tree.mkdir("sub");
    tree.file("sub/deep.txt", 2048);
    WindowFixture w(tree.path(), false);
    MainForm &f = w.f();
    namesOnly(f);
    f.FolderTotalBytes = 4321;
    const QString folder = QFile::decodeName(tree.path()) + '/';

    // Every keystroke rebuilds the list with the text typed so far.
    QLineEdit *edit = f.cboFileTypes->lineEdit();
    edit->clear();
    const QList<QStringList> afterEachKey{everything, {}, {}, {}, {"a.txt", "b.TXT"}};
    for (int i = 0; i < 5; ++i) {
        QTest::keyClick(edit, "*.txt"[i]);
        QCOMPARE(f.fileFileList->pattern(), QStringLiteral("*.txt").left(i + 1));
        QCOMPARE(w.fileLines(), afterEachKey.at(i));
    }
    // A refused pattern: its box, and the list and the parent line stay as they were.
    QTest::keyClick(edit, '/');
    QCOMPARE(w.boxes.titles(), QStringList{"Listwright - Error in File Types Entry"});
    QCOMPARE(w.fileLines(), afterEachKey.last());
    QCOMPARE(f.txtParentFolder->text(), folder + "*.txt");

    // Picking "*.mp3" from the list (two steps down from "*.*"); the folder side stays as it was.
    f.cboFileTypes->setCurrentIndex(0);
    QTest::keyClick(f.cboFileTypes, Qt::Key_Down);
    QTest::keyClick(f.cboFileTypes, Qt::Key_Down);
    QCOMPARE(w.fileLines(), QStringList({"song.mp3", "Tune.MP3"}));
    QCOMPARE(f.txtParentFolder->text(), folder + "*.mp3");
    QCOMPARE(f.FolderTotalBytes, int64_t(4321));
    // A refused pattern in the pick handler has that handler's title (and picking gave no box).
    f.cboFileTypes->setEditText(QStringLiteral("sub/*"));
    emit f.cboFileTypes->activated(f.cboFileTypes->currentIndex());
    QCOMPARE(w.boxes.titles(),
             QStringList({"Listwright - Error in File Types Entry", "Listwright - Error in Choosing File Types"}));

    // Recursive: the subfolder lines are written afresh before the folder's own files, each once.
    f.chkRecursive->setChecked(true);
    edit->clear();
    QTest::keyClicks(edit, QStringLiteral("*.txt"));
    QCOMPARE(w.fileLines(), QStringList({folder + "sub/deep.txt 2.00 KB", folder + "a.txt", folder + "b.TXT"}));
    QCOMPARE(w.boxes.boxes.size(), 2); // no new box
}

void TestFileTypesDrives::driveNotAvailable()
{
    TempTree first, second, gone;
    second.file("second.txt", 1);
    second.mkdir("inner");
    const QString secondDrive = QFile::decodeName(second.path()), missing = QFile::decodeName(gone.at("not-mounted"));
    const QString alsoMissing = QFile::decodeName(gone.at("gone-too"));
    WindowFixture w(first.path(), false);
    MainForm &f = w.f();
    namesOnly(f);
    f.drvDrive->setDrives({QFile::decodeName(first.path()), secondDrive, missing, alsoMissing}); // quietly on the first
    f.drvDrive->setDrive(secondDrive);
    // A drive that is not ready: one box, then back to the previous drive and its lists.
    f.dirFolder->setPath(second.at("inner"));
    f.drvDrive->setDrive(missing);
    QCOMPARE(w.boxes.titles(), QStringList{"Listwright - Drive Problem"});
    QCOMPARE(w.boxes.boxes[0].text, QStringLiteral("Drive Not Available"));
    QCOMPARE(f.drvDrive->drive(), secondDrive);
    QCOMPARE(f.CurrentDrive, secondDrive);
    QCOMPARE(f.dirFolder->path(), second.path());
    QCOMPARE(w.fileLines(), QStringList{"second.txt"});
    // When the previous drive fails as well, a second box, and no more.
    w.boxes.clear();
    f.CurrentDrive = alsoMissing;
    f.drvDrive->setDrive(missing);
    QCOMPARE(w.boxes.boxes.size(), 2);
    QCOMPARE(f.drvDrive->drive(), alsoMissing);
    QCOMPARE(f.dirFolder->path(), second.path());
}

QTEST_MAIN(TestFileTypesDrives)
#include "tst_filetypes_drives.moc"
