// The file-type pattern and the drive selection, through the real main window's elements.
#include "listing/DriveList.h"
#include "listing/FileListElement.h"
#include "listing/FilePattern.h"
#include "scan/DirFolderView.h"
#include "shared/FsError.h"
#include "shared/MainForm.h"
#include "shared/TextList.h"
#include "shared/WebOpener.h"
#include "shell/MainWindow.h"
#include "support/RecordingPrinter.h"
#include "support/ScriptedMessageBoxes.h"
#include "support/TempTree.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QtTest>

namespace {
// A real main window over the test doubles, its complete file list showing bare names.
struct Window {
    Window()
    {
        const QSignalBlocker a(f.chkSize), b(f.chkModified);
        f.chkSize->setChecked(false);
        f.chkModified->setChecked(false);
    }
    ScriptedMessageBoxes boxes;
    RecordingPrinter printer;
    DesktopWebOpener opener;
    MainWindow w{boxes, printer, opener};
    MainForm &f = w.form();
};
}

class TestFileTypesDrives : public QObject {
    Q_OBJECT
private slots:
    void patternSemantics();
    void typingAndPicking();
    void recursivePatternChange();
    void driveNotAvailable();
};

void TestFileTypesDrives::patternSemantics()
{
    QVERIFY(FilePattern(QStringLiteral("*.*")).matches(QStringLiteral("README")));
    QVERIFY(FilePattern(QString()).matches(QStringLiteral("anything")));
    const FilePattern music(QStringLiteral("*.mp3;*.WAV"));
    QVERIFY(music.matches(QStringLiteral("Song.MP3")) && music.matches(QStringLiteral("take.wav")));
    QVERIFY(!music.matches(QStringLiteral("song.mp3.txt")));
    QVERIFY(FilePattern(QStringLiteral("?.txt")).matches(QString::fromUtf8("\xF0\x9F\x98\x80.txt")));
    QVERIFY(FilePattern(QStringLiteral("a+b(1).txt")).matches(QStringLiteral("A+B(1).TXT")));
    QVERIFY_THROWS_EXCEPTION(FsError, FilePattern(QStringLiteral("sub/*.txt")));
}

void TestFileTypesDrives::typingAndPicking()
{
    TempTree tree;
    for (const char *name : {"a.txt", "b.TXT", "c.doc", "d.txt.bak", "song.mp3", "Tune.MP3"})
        tree.file(name, 10);
    tree.mkdir("sub");
    Window win;
    MainForm &f = win.f;
    ScriptedMessageBoxes &boxes = win.boxes;
    f.dirFolder->setPath(tree.path());
    f.fileFileList->setPath(tree.path());
    f.FolderTotalBytes = 4321;
    const QStringList everything{"a.txt", "b.TXT", "c.doc", "d.txt.bak", "song.mp3", "Tune.MP3"};

    // Every keystroke rebuilds the list with the text typed so far.
    QLineEdit *edit = f.cboFileTypes->lineEdit();
    edit->clear();
    const QList<QStringList> afterEachKey{everything, {}, {}, {}, {"a.txt", "b.TXT"}};
    const QString typed = QStringLiteral("*.txt");
    for (int i = 0; i < typed.size(); ++i) {
        QTest::keyClick(edit, typed.at(i).toLatin1());
        QCOMPARE(f.fileFileList->pattern(), typed.left(i + 1));
        QCOMPARE(f.lstBigFileList->lines(), afterEachKey.at(i));
    }
    QVERIFY(f.txtParentFolder->text().endsWith(QStringLiteral("/*.txt")));

    // A refused pattern: its box, and the list and the summary stay as they were.
    QTest::keyClick(edit, '/');
    QCOMPARE(boxes.titles(), QStringList{QStringLiteral("Listwright - Error in File Types Entry")});
    QCOMPARE(f.fileFileList->pattern(), QStringLiteral("*.txt"));
    QCOMPARE(f.lstBigFileList->lines(), afterEachKey.last());
    QVERIFY(f.txtParentFolder->text().endsWith(QStringLiteral("/*.txt")));

    // Deleting the whole pattern lists every file.
    for (int i = 0; i < 6; ++i)
        QTest::keyClick(edit, Qt::Key_Backspace);
    QCOMPARE(edit->text(), QString());
    QCOMPARE(f.lstBigFileList->lines(), everything);

    // Picking "*.mp3" from the list (two steps down from "*.*").
    boxes.clear();
    f.cboFileTypes->setCurrentIndex(0);
    QTest::keyClick(f.cboFileTypes, Qt::Key_Down);
    QTest::keyClick(f.cboFileTypes, Qt::Key_Down);
    QCOMPARE(f.cboFileTypes->currentText(), QStringLiteral("*.mp3"));
    QCOMPARE(f.lstBigFileList->lines(), QStringList({"song.mp3", "Tune.MP3"}));
    QCOMPARE(f.txtParentFolder->text(), QFile::decodeName(tree.path()) + QStringLiteral("/*.mp3"));
    QVERIFY(boxes.boxes.isEmpty());

    QCOMPARE(f.FolderTotalBytes, int64_t(4321)); // the folder side stays as it was

    // A refused pattern in the pick handler has that handler's title.
    f.cboFileTypes->setEditText(QStringLiteral("sub/*"));
    emit f.cboFileTypes->activated(f.cboFileTypes->currentIndex());
    QCOMPARE(boxes.titles(), QStringList{QStringLiteral("Listwright - Error in Choosing File Types")});
    QCOMPARE(f.lstBigFileList->lines(), QStringList({"song.mp3", "Tune.MP3"}));
}

void TestFileTypesDrives::recursivePatternChange()
{
    TempTree tree;
    tree.file("own.txt", 10);
    tree.file("own.doc", 10);
    tree.mkdir("sub");
    tree.file("sub/deep.txt", 2048);
    Window win;
    MainForm &f = win.f;
    ScriptedMessageBoxes &boxes = win.boxes;
    f.dirFolder->setPath(tree.path());
    f.fileFileList->setPath(tree.path());
    f.chkRecursive->setChecked(true);
    const QString folder = QFile::decodeName(tree.path()) + QLatin1Char('/');
    const QString deepLine = folder + QStringLiteral("sub/deep.txt 2.00 KB");

    // The recursive lines are written afresh before the folder's own files, which are
    // listed once each, whatever the pattern.
    QLineEdit *edit = f.cboFileTypes->lineEdit();
    edit->clear();
    QTest::keyClicks(edit, QStringLiteral("*.txt"));
    QCOMPARE(f.lstBigFileList->lines(), QStringList({deepLine, folder + QStringLiteral("own.txt")}));
    for (int i = 0; i < 4; ++i)
        QTest::keyClick(edit, Qt::Key_Backspace); // back to "*"
    QCOMPARE(f.lstBigFileList->lines(),
             QStringList({deepLine, folder + QStringLiteral("own.doc"), folder + QStringLiteral("own.txt")}));
    QVERIFY(boxes.boxes.isEmpty());
}

void TestFileTypesDrives::driveNotAvailable()
{
    TempTree first, second, missingRoot;
    first.mkdir("inner");
    first.file("first.txt", 1);
    second.file("second.txt", 1);
    second.mkdir("inner");
    const QString firstDrive = QFile::decodeName(first.path());
    const QString secondDrive = QFile::decodeName(second.path());
    const QString missing = QFile::decodeName(missingRoot.at("not-mounted"));
    const QString alsoMissing = QFile::decodeName(missingRoot.at("gone-too"));
    Window win;
    MainForm &f = win.f;
    ScriptedMessageBoxes &boxes = win.boxes;
    f.drvDrive->setDrives({firstDrive, secondDrive, missing, alsoMissing});
    {
        const QSignalBlocker quiet(f.drvDrive);
        f.drvDrive->setDrive(firstDrive);
    }
    f.CurrentDrive = firstDrive;
    f.dirFolder->setPath(first.at("inner"));

    // A drive that works: the folder tree goes there and it becomes the current drive.
    f.drvDrive->setDrive(secondDrive);
    QCOMPARE(f.dirFolder->path(), second.path());
    QCOMPARE(f.CurrentDrive, secondDrive);
    QVERIFY(boxes.boxes.isEmpty());

    // A drive that is not ready: one box, and back to the previous drive and its lists.
    f.dirFolder->setPath(second.at("inner"));
    f.drvDrive->setDrive(missing);
    QCOMPARE(boxes.boxes.size(), 1);
    QCOMPARE(boxes.boxes[0].text, QStringLiteral("Drive Not Available"));
    QCOMPARE(boxes.boxes[0].title, QStringLiteral("Listwright - Drive Problem"));
    QCOMPARE(f.drvDrive->drive(), secondDrive);
    QCOMPARE(f.CurrentDrive, secondDrive);
    QCOMPARE(f.dirFolder->path(), second.path());
    QCOMPARE(f.fileFileList->path(), second.path());
    QCOMPARE(f.lstBigFileList->lines(), QStringList{QStringLiteral("second.txt")});

    // When the previous drive fails as well, a second box, and no more.
    boxes.clear();
    f.CurrentDrive = alsoMissing;
    f.drvDrive->setDrive(missing);
    QCOMPARE(boxes.boxes.size(), 2);
    QCOMPARE(f.drvDrive->drive(), alsoMissing);
    QCOMPARE(f.dirFolder->path(), second.path());
}

int main(int argc, char **argv)
{
    QLocale::setDefault(QLocale::c()); // size texts with a decimal point
    QApplication app(argc, argv);
    TestFileTypesDrives test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_filetypes_drives.moc"
