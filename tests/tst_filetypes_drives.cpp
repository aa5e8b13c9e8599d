// SPDX-License-Identifier: GPL-3.0-or-later
// The file-type pattern, the drive selection and the folder tree, through the real main window's elements.
#include "window/listing/DriveList.h"
#include "core/listing/FilePattern.h"
#include "window/scan/DirFolderView.h"
#include "support/TempTree.h"
#include "support/WindowFixture.h"

#include <QtTest>
#include <QtWidgets>

class TestFileTypesDrives : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QLocale::setDefault(QLocale::c()); } // size texts with a decimal point

    void fileTypesFolderTreeAndDrives()
    {
        // Patterns, beyond what the typing below shows: "*.*" without a dot, an empty pattern, ";", and
        // characters that mean something to a regular expression.
        const std::pair<const char *, const char *> matching[] = {
            {"*.*", "README"}, {"", "anything"}, {"*.mp3;*.WAV", "take.wav"}, {"a+b(1).txt", "A+B(1).TXT"}};
        for (const auto &[pattern, name] : matching)
            QVERIFY2(FilePattern(QString::fromLatin1(pattern)).matches(QString::fromLatin1(name)), pattern);

        TempTree tree;
        const QStringList everything{"a.txt", "b.TXT", "c.doc", "d.txt.bak", "song.mp3", "Tune.MP3"}, txt{"a.txt", "b.TXT"};
        for (const QString &name : everything)
            tree.file(name.toUtf8(), 10);
        for (const char *sub : {"sub", "gone", "second"})
            tree.mkdir(sub);
        tree.file("sub/deep.txt", 2048);
        WindowFixture w(tree.path());
        MainForm &f = w.f();
        const QString folder = QFile::decodeName(tree.path()) + '/';

        // A folder that vanished after the tree listed it: its box, and the tree and lists stay on the folder shown.
        QCOMPARE(::rmdir(tree.at("gone").constData()), 0);
        f.dirFolder->setCurrentItem(f.dirFolder->findItems(QStringLiteral("gone"), Qt::MatchEndsWith).value(0));
        QTest::keyClick(f.dirFolder, Qt::Key_Return);
        QCOMPARE(w.boxes.titles(), QStringList{"Listwright - Error Opening Folder"});
        QCOMPARE(w.boxes.boxes[0].text, QString::fromUtf8(strerror(ENOENT)) + '\r' + QFile::decodeName(tree.at("gone")));
        QCOMPARE(f.dirFolder->path(), tree.path());
        QCOMPARE(w.fileLines().size(), everything.size());

        // Every keystroke rebuilds the list with the text typed so far; a refused pattern brings its box,
        // and the list stays as it was.
        w.boxes.clear();
        f.chkSize->setChecked(false);
        f.chkModified->setChecked(false);
        QLineEdit *edit = f.cboFileTypes->lineEdit();
        edit->clear();
        const QList<QStringList> afterEachKey{everything, {}, {}, {}, txt, txt};
        for (int i = 0; i < 6; ++i) {
            QTest::keyClick(edit, "*.txt/"[i]);
            QCOMPARE(w.fileLines(), afterEachKey.at(i));
        }
        QCOMPARE(w.boxes.titles(), QStringList{"Listwright - Error in File Types Entry"});

        // Picking "*.mp3" from the list (a step down from the second entry).
        f.cboFileTypes->setCurrentIndex(1);
        QTest::keyClick(f.cboFileTypes, Qt::Key_Down);
        QCOMPARE(w.fileLines(), QStringList({"song.mp3", "Tune.MP3"}));
        QCOMPARE(f.txtParentFolder->text(), folder + "*.mp3");

        // Recursive: the subfolder lines are written afresh before the folder's own files, each once.
        f.chkRecursive->setChecked(true);
        edit->clear();
        QTest::keyClicks(edit, QStringLiteral("*.txt"));
        QCOMPARE(w.fileLines(), QStringList({folder + "sub/deep.txt 2.00 KB", folder + "a.txt", folder + "b.TXT"}));

        // A drive that is not ready: one box, then back to the previous drive; when that fails as well,
        // a second box, and no more.
        const QString second = folder + "second", missing = folder + "not-mounted";
        f.drvDrive->setDrives({QFile::decodeName(tree.path()), second, missing, folder + "gone-too"}); // quietly on the first
        f.drvDrive->setDrive(second);
        w.boxes.clear();
        f.drvDrive->setDrive(missing);
        QCOMPARE(w.boxes.boxes.size(), 1);
        QCOMPARE(w.boxes.boxes[0].text, QStringLiteral("Drive Not Available"));
        QCOMPARE(f.drvDrive->drive(), second);
        f.CurrentDrive = folder + "gone-too";
        f.drvDrive->setDrive(missing);
        QCOMPARE(w.boxes.boxes.size(), 3);
    }

    // Matching walks name and pattern once per star at most, whatever their shape: a matcher that
    // backtracks would take very long over these names (or, capped, answer wrongly).
    void patternsOfAnyShape()
    {
        const std::pair<const char *, const char *> matching[] = {
            {"?.txt", "\xF0\x9F\x98\x80.TXT"}, {"\xC3\x9C*", "\xC3\xBC" "ber"}, {"a*b*c", "aXbYbc"}, {"*a", "ba"},
            {"*x*?", "xy"}, {"**a", "a"}, {"; *.doc ;", "r.DOC"}};
        for (const auto &[pattern, name] : matching)
            QVERIFY2(FilePattern(QString::fromUtf8(pattern)).matches(QString::fromUtf8(name)), pattern);
        const std::pair<const char *, const char *> notMatching[] = {
            {"?.txt", "ab.txt"}, {"a*b", "abc"}, {"*a?", "ba"}, {"a*b*c", "acb"}, {"*.doc", "r.docx"}, {"?", ""},
            {"*ab*bc*", "abcx"}}; // pieces never share a character
        for (const auto &[pattern, name] : notMatching)
            QVERIFY2(!FilePattern(QString::fromUtf8(pattern)).matches(QString::fromUtf8(name)), pattern);
        // A piece longer than a machine word.
        const QString as(70, u'a');
        QVERIFY(FilePattern("x*" + as + "?b*").matches("xy" + as + as + "cb"));
        QVERIFY(!FilePattern("x*" + as + "?b*").matches("x" + as.left(69) + "cb" + as));

        TempTree tree;
        QStringList wanted;
        for (int i = 0; i < 20; ++i) {
            const QByteArray name = QByteArray(29, 'a') + QByteArray(150, 'c') + 'b' + QByteArray(50 + i, 'a');
            tree.file(name + 'b', 1);
            tree.file(name + "ba", 1);
            wanted.prepend(QString::fromLatin1(name + 'b')); // a longer run of "a" sorts first
        }
        WindowFixture w(tree.path());
        w.f().chkSize->setChecked(false);
        w.f().chkModified->setChecked(false);
        QLineEdit *edit = w.f().cboFileTypes->lineEdit();
        edit->clear();
        QTest::keyClicks(edit, QString("*a").repeated(30) + "*b");
        QCOMPARE(w.fileLines(), wanted);
    }
};

QTEST_MAIN(TestFileTypesDrives)
#include "tst_filetypes_drives.moc"
