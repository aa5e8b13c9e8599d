// The file-type pattern, the drive selection and the folder tree, through the real main window's elements.
#include "listing/DriveList.h"
#include "listing/FilePattern.h"
#include "scan/DirFolderView.h"
#include "support/TempTree.h"
#include "support/WindowFixture.h"

#include <QtTest>
#include <QtWidgets>

class TestFileTypesDrives : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QLocale::setDefault(QLocale::c()); } // size texts with a decimal point
    void patternSemantics();
    void typingAndPicking();
    void driveNotAvailable();
    void folderThatCannotBeOpened();
};

void TestFileTypesDrives::patternSemantics()
{
    // Beyond what the typing below shows: "*.*" without a dot, an empty pattern, ";", and characters
    // that mean something to a regular expression.
    const std::pair<const char *, const char *> matching[] = {
        {"*.*", "README"}, {"", "anything"}, {"*.mp3;*.WAV", "take.wav"}, {"a+b(1).txt", "A+B(1).TXT"}};
    for (const auto &[pattern, name] : matching)
        QVERIFY2(FilePattern(QString::fromLatin1(pattern)).matches(QString::fromLatin1(name)), pattern);
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
    f.chkSize->setChecked(false);
    f.chkModified->setChecked(false);
    const QString folder = QFile::decodeName(tree.path()) + '/';

    // Every keystroke rebuilds the list with the text typed so far.
    QLineEdit *edit = f.cboFileTypes->lineEdit();
    edit->clear();
    const QList<QStringList> afterEachKey{everything, {}, {}, {}, {"a.txt", "b.TXT"}};
    for (int i = 0; i < 5; ++i) {
        QTest::keyClick(edit, "*.txt"[i]);
        QCOMPARE(w.fileLines(), afterEachKey.at(i));
    }
    // A refused pattern: its box, and the list stays as it was.
    QTest::keyClick(edit, '/');
    QCOMPARE(w.boxes.titles(), QStringList{"Listwright - Error in File Types Entry"});
    QCOMPARE(w.fileLines(), afterEachKey.last());

    // Picking "*.mp3" from the list (two steps down from "*.*").
    f.cboFileTypes->setCurrentIndex(0);
    QTest::keyClick(f.cboFileTypes, Qt::Key_Down);
    QTest::keyClick(f.cboFileTypes, Qt::Key_Down);
    QCOMPARE(w.fileLines(), QStringList({"song.mp3", "Tune.MP3"}));
    QCOMPARE(f.txtParentFolder->text(), folder + "*.mp3");

    // Recursive: the subfolder lines are written afresh before the folder's own files, each once.
    f.chkRecursive->setChecked(true);
    edit->clear();
    QTest::keyClicks(edit, QStringLiteral("*.txt"));
    QCOMPARE(w.fileLines(), QStringList({folder + "sub/deep.txt 2.00 KB", folder + "a.txt", folder + "b.TXT"}));
}

void TestFileTypesDrives::driveNotAvailable()
{
    TempTree first, second, gone;
    const QString secondDrive = QFile::decodeName(second.path()), missing = QFile::decodeName(gone.at("not-mounted"));
    const QString alsoMissing = QFile::decodeName(gone.at("gone-too"));
    WindowFixture w(first.path(), false);
    MainForm &f = w.f();
    f.drvDrive->setDrives({QFile::decodeName(first.path()), secondDrive, missing, alsoMissing}); // quietly on the first
    f.drvDrive->setDrive(secondDrive);
    // A drive that is not ready: one box, then back to the previous drive.
    f.drvDrive->setDrive(missing);
    QCOMPARE(w.boxes.boxes.size(), 1);
    QCOMPARE(w.boxes.boxes[0].text, QStringLiteral("Drive Not Available"));
    QCOMPARE(f.drvDrive->drive(), secondDrive);
    // When the previous drive fails as well, a second box, and no more.
    w.boxes.clear();
    f.CurrentDrive = alsoMissing;
    f.drvDrive->setDrive(missing);
    QCOMPARE(w.boxes.boxes.size(), 2);
}

void TestFileTypesDrives::folderThatCannotBeOpened()
{
    // A folder that vanished after the tree listed it: its box, and the tree and lists stay on the folder shown.
    TempTree tree;
    tree.mkdir("gone");
    tree.file("kept.txt", 1);
    WindowFixture w(tree.path());
    QCOMPARE(::rmdir(tree.at("gone").constData()), 0);
    QListWidgetItem *gone = w.f().dirFolder->findItems(QStringLiteral("gone"), Qt::MatchEndsWith).value(0);
    QVERIFY(gone);
    w.f().dirFolder->setCurrentItem(gone);
    QTest::keyClick(w.f().dirFolder, Qt::Key_Return);
    QCOMPARE(w.boxes.titles(), QStringList{"Listwright - Error Opening Folder"});
    QCOMPARE(w.boxes.boxes[0].text, QString::fromUtf8(strerror(ENOENT)) + '\r' + QFile::decodeName(tree.at("gone")));
    QCOMPARE(w.f().dirFolder->path(), tree.path());
    QCOMPARE(w.fileLines().size(), 1);
}

QTEST_MAIN(TestFileTypesDrives)
#include "tst_filetypes_drives.moc"
