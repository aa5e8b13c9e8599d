// The save command: saved files byte for byte, the confirmation, and failed saves that leave no trace.

#include "shared/TextList.h"
#include "support/TempTree.h"
#include "support/WindowFixture.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>
#include <csignal>
#include <pwd.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
const QString SaveTitle = QStringLiteral("Listwright - Save To File");

QByteArray contentOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

// Every entry of a folder, hidden ones included, with its content.
QMap<QString, QByteArray> folderContents(const QString &folder)
{
    QMap<QString, QByteArray> contents;
    const QDir dir(folder);
    for (const QString &name : dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot))
        contents.insert(name, contentOf(dir.filePath(name)));
    return contents;
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
}

// Clicks "Save To File" for `folder` (the boxes answer Yes) and gives the titles of the boxes shown.
QStringList save(WindowFixture &w, const QString &folder)
{
    w.boxes.clear();
    w.f().txtMyFilePath->setText(folder);
    w.f().cmdSaveToFile->click();
    return w.boxes.titles();
}

// A failed save: the error box with the system's description, and the folder as it was.
void expectFailedSave(WindowFixture &w, const QString &folder, const QString &description)
{
    const QMap<QString, QByteArray> before = folderContents(folder);
    QCOMPARE(save(w, folder), QStringList({SaveTitle, "Listwright - Error Saving to File"}));
    QCOMPARE(w.boxes.boxes[1].text, description);
    QCOMPARE(w.boxes.boxes[1].buttons, MessageBoxes::Buttons::Ok);
    QCOMPARE(folderContents(folder), before);
}
} // namespace

class SaveToFileTest : public QObject {
    Q_OBJECT
private slots:
    void savedFiles_data();
    void savedFiles();
    void confirmation();
    void failedSaves();
};

void SaveToFileTest::savedFiles_data()
{
    QTest::addColumn<QString>("folder"); // below the scanned tree
    QTest::addColumn<QList<bool>>("options"); // Include Folders, folder sizes, recursive, size column
    QTest::addColumn<int>("indentation");
    QTest::addColumn<QString>("folderHeading"); // empty: no folder section
    QTest::addColumn<QString>("fileHeading");
    QTest::addColumn<bool>("prefixed"); // file lines begin with the folder path
    QTest::addColumn<int>("lineCount");

    // The folder heading subtracts the listed files' total: the current folder's own files only,
    // and nothing with the size column off.
    const QList<bool> usual{true, true, false, true};
    const QString folders = QStringLiteral("Folders: 4.00 KB"), files = QStringLiteral("Files: 2.00 KB");
    QTest::newRow("folders with sizes") << "" << usual << 0 << folders << files << true << 10;
    QTest::newRow("without folders") << "" << QList{false, true, false, true} << 0 << "" << files << false << 6;
    QTest::newRow("folder sizes off") << "" << QList{true, false, false, true} << 0 << "Folders: " << files << true << 10;
    QTest::newRow("recursive") << "" << QList{true, true, true, true} << 0 << folders << "Complete File List" << false << 11;
    QTest::newRow("size column off") << "" << QList{true, true, false, false} << 0 << "Folders: 6.00 KB" << "Files:" << true << 10;
    QTest::newRow("empty file list") << "/beta" << usual << 0 << "Folders: 0    B " << "Files: 0    B " << true << 6;
    QTest::newRow("indentation 10") << "" << usual << 10 << folders << files << true << 10;
}

void SaveToFileTest::savedFiles()
{
    QFETCH(QString, folder);
    QFETCH(QList<bool>, options);
    QFETCH(int, indentation);
    QFETCH(QString, folderHeading);
    QFETCH(QString, fileHeading);
    QFETCH(bool, prefixed);
    QFETCH(int, lineCount);

    TempTree tree, out;
    tree.mkdir("Alpha");
    tree.mkdir("beta");
    tree.file("Alpha/inner.txt", 4096);
    tree.file("a.txt", 1024);
    tree.file("\xC3\xBC.dat", 1024);
    const QString scanned = QFile::decodeName(tree.path()) + folder;
    WindowFixture w(QFile::encodeName(scanned));
    MainForm &f = w.f();
    QCheckBox *const boxes[] = {f.chkPrintDir, f.chkFolderSize, f.chkRecursive, f.chkSize};
    for (int i = 0; i < 4; ++i)
        boxes[i]->setChecked(options[i]);
    f.Indentation = indentation;
    const QString outFolder = QFile::decodeName(out.path());
    QCOMPARE(save(w, outFolder), QStringList{SaveTitle});

    // The layout: title, parent folder line, folder section, file heading and file lines.
    QStringList lines{"LISTWRIGHT", f.txtParentFolder->text()};
    if (!folderHeading.isEmpty())
        lines << "" << folderHeading << f.lstFolders->lines();
    lines << "" << fileHeading;
    for (const QString &line : f.lstBigFileList->lines())
        lines << (prefixed ? scanned + u'/' + line : line);
    QCOMPARE(lines.size(), lineCount);
    QByteArray expected;
    for (const QString &line : lines)
        expected += (line.isEmpty() ? line : QString(indentation, u' ') + line).toUtf8() + "\r\n";
    QCOMPARE(contentOf(outFolder + "/LISTWRIGHT.txt"), expected);
    QCOMPARE(folderContents(outFolder).size(), 1);
}

void SaveToFileTest::confirmation()
{
    TempTree out;
    const QString folder = QFile::decodeName(out.path());
    const QString file = folder + "/LISTWRIGHT.txt";
    WindowFixture w(out.path());

    // No: nothing is written.
    w.boxes.answers = {MessageBoxes::Answer::No};
    QCOMPARE(save(w, folder), QStringList{SaveTitle});
    QCOMPARE(w.boxes.boxes[0].text, "Print the list to " + file + " ?");
    QCOMPARE(w.boxes.boxes[0].buttons, MessageBoxes::Buttons::YesNo);
    QCOMPARE(w.f().Answer, int(MessageBoxes::Answer::No));
    QVERIFY(folderContents(folder).isEmpty());

    // An existing file is overwritten after the one question; a folder ending in "/" gets no
    // second one; the indentation is mentioned when above 0.
    w.f().Indentation = 10;
    QCOMPARE(save(w, folder), QStringList{SaveTitle});
    const QByteArray fresh = contentOf(file);
    writeFile(file, QByteArray(5000, 'o'));
    w.boxes.clear();
    w.f().txtMyFilePath->setText(folder + u'/');
    w.f().mnuSave->trigger();
    QCOMPARE(w.boxes.titles(), QStringList{SaveTitle});
    QCOMPARE(w.boxes.boxes[0].text, "Print the list to " + file + " ?\rIndentation:  10");
    QCOMPARE(contentOf(file), fresh);

    // A title ending in ".txt" still gets ".txt"; a refused title ends before the question.
    w.f().txtTitle->setText("notes.txt");
    save(w, folder);
    QVERIFY(QFile::exists(folder + "/notes.txt.txt"));
    w.f().cmdClearTitle->click();
    QCOMPARE(save(w, folder), QStringList{"Listwright - Invalid Name"});
    QCOMPARE(folderContents(folder).size(), 2);
}

void SaveToFileTest::failedSaves()
{
    TempTree base;
    for (const char *name : {"good", "full", "ro"})
        base.mkdir(name);
    const QString root = QFile::decodeName(base.path());
    const QString good = root + "/good", full = root + "/full", ro = root + "/ro";
    WindowFixture w(base.path());
    for (int i = 0; i < 3000; ++i) // long enough to overflow the small file system
        w.f().lstBigFileList->addItem(QStringLiteral("file%1.dat   1.00 KB").arg(i, 4, 10, QLatin1Char('0')));
    // Each failure is followed by a save to a good folder that writes the whole listing again.
    QCOMPARE(save(w, good), QStringList{SaveTitle});
    const QByteArray whole = contentOf(good + "/LISTWRIGHT.txt");
    QVERIFY(whole.size() > 64 * 1024 && whole.endsWith("/file2999.dat   1.00 KB\r\n"));
    const auto expectGoodSave = [&] {
        QFile::remove(good + "/LISTWRIGHT.txt");
        QCOMPARE(save(w, good), QStringList{SaveTitle});
        QCOMPARE(folderContents(good), (QMap<QString, QByteArray>{{"LISTWRIGHT.txt", whole}}));
    };

    expectFailedSave(w, root + "/missing", "No such file or directory");
    QVERIFY(!QFileInfo::exists(root + "/missing"));
    expectGoodSave();

    // The superuser writes into read-only folders: the save runs as "nobody" there.
    writeFile(ro + "/LISTWRIGHT.txt", "older listing\r\n");
    QCOMPARE(::chmod(base.path().constData(), 0755), 0);
    QCOMPARE(::chmod(QFile::encodeName(ro).constData(), 0555), 0);
    const passwd *nobody = ::geteuid() == 0 ? ::getpwnam("nobody") : nullptr;
    QVERIFY(!nobody || ::seteuid(nobody->pw_uid) == 0);
    expectFailedSave(w, ro, "Permission denied");
    QVERIFY(!nobody || ::seteuid(0) == 0);
    expectGoodSave();

    // A full disk; without a tmpfs here, a file size limit makes the write fail the same way.
    const bool mounted = ::mount("tmpfs", QFile::encodeName(full).constData(), "tmpfs", 0, "size=64k") == 0;
    const auto unmount = qScopeGuard([&] { if (mounted) ::umount2(QFile::encodeName(full).constData(), MNT_DETACH); });
    writeFile(full + "/LISTWRIGHT.txt", "older listing\r\n");
    rlimit limit{};
    QCOMPARE(::getrlimit(RLIMIT_FSIZE, &limit), 0);
    const rlimit unlimited = limit;
    if (!mounted) {
        std::signal(SIGXFSZ, SIG_IGN);
        limit.rlim_cur = 64 * 1024;
        QCOMPARE(::setrlimit(RLIMIT_FSIZE, &limit), 0);
    }
    expectFailedSave(w, full, mounted ? "No space left on device" : "File too large");
    QCOMPARE(::setrlimit(RLIMIT_FSIZE, &unlimited), 0);
    expectGoodSave();
}

QTEST_MAIN(SaveToFileTest)
#include "tst_savetofile.moc"
