// The save command: saved files byte for byte, the confirmation, and failed saves that leave no trace.

#include "output/SaveToFile.h"
#include "support/TempTree.h"
#include "support/WindowFixture.h"

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

// Every entry of a folder, hidden ones included, with its content.
QMap<QString, QByteArray> folderContents(const QString &folder)
{
    QMap<QString, QByteArray> contents;
    for (const QFileInfo &entry : QDir(folder).entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot)) {
        QFile file(entry.filePath());
        contents.insert(entry.fileName(), file.open(QIODevice::ReadOnly) ? file.readAll() : "<unreadable>");
    }
    return contents;
}

// Clicks "Save To File" for `folder` (the boxes answer Yes) and gives the titles of the boxes shown.
QStringList save(WindowFixture &w, const QString &folder)
{
    w.boxes.clear();
    w.f().txtMyFilePath->setText(folder);
    w.f().cmdSaveToFile->click();
    return w.boxes.titles();
}

// A failed save: the error box, and the folder as it was, older file and all, with nothing added.
void expectFailedSave(WindowFixture &w, const QString &folder)
{
    const QMap<QString, QByteArray> before = folderContents(folder);
    QCOMPARE(save(w, folder), QStringList({SaveTitle, "Listwright - Error Saving to File"}));
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
    void longListing();
};

void SaveToFileTest::savedFiles_data()
{
    QTest::addColumn<QString>("folder"); // below the scanned tree
    QTest::addColumn<QList<bool>>("options"); // Include Folders, folder sizes, recursive, size column
    QTest::addColumn<int>("indentation");
    QTest::addColumn<QString>("folderHeading"); // empty: no folder section
    QTest::addColumn<QString>("fileHeading");

    // The folder heading subtracts the listed files' total (the folder's own files; none with the size column off).
    const QList<bool> usual{true, true, false, true};
    const QString folders = QStringLiteral("Folders: 4.00 KB"), files = QStringLiteral("Files: 2.00 KB");
    QTest::newRow("folders with sizes") << "" << usual << 0 << folders << files;
    QTest::newRow("without folders") << "" << QList{false, true, false, true} << 0 << "" << files;
    QTest::newRow("folder sizes off") << "" << QList{true, false, false, true} << 0 << "Folders: " << files;
    QTest::newRow("recursive") << "" << QList{true, true, true, true} << 0 << folders << "Complete File List";
    QTest::newRow("size column off") << "" << QList{true, true, false, false} << 0 << "Folders: 6.00 KB" << "Files:";
    QTest::newRow("empty file list") << "/beta" << usual << 0 << "Folders: 0    B " << "Files: 0    B ";
    QTest::newRow("indentation 10") << "" << usual << 10 << folders << files;
}

void SaveToFileTest::savedFiles()
{
    QFETCH(QString, folder);
    QFETCH(QList<bool>, options);
    QFETCH(int, indentation);
    QFETCH(QString, folderHeading);
    QFETCH(QString, fileHeading);

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
    const bool prefixed = options[0] && !options[2]; // Include Folders on a list that is not recursive
    QCOMPARE(f.lstBigFileList->count() > 0, folder.isEmpty()); // only the empty folder lists no files
    for (const QString &line : f.lstBigFileList->lines())
        lines << (prefixed ? scanned + u'/' + line : line);
    QByteArray expected;
    for (const QString &line : lines)
        expected += (line.isEmpty() ? line : QString(indentation, u' ') + line).toUtf8() + "\r\n";
    QCOMPARE(folderContents(outFolder), (QMap<QString, QByteArray>{{"LISTWRIGHT.txt", expected}}));
}

void SaveToFileTest::confirmation()
{
    TempTree out;
    const QString folder = QFile::decodeName(out.path());
    WindowFixture w(out.path());
    w.boxes.answers = {MessageBoxes::Answer::No};
    QCOMPARE(save(w, folder), QStringList{SaveTitle});
    QVERIFY(folderContents(folder).isEmpty());

    // Yes overwrites an existing file after that one question; a title ending in ".txt" still gets ".txt".
    w.f().txtTitle->setText("notes.txt");
    out.file("notes.txt.txt", 5000);
    QCOMPARE(save(w, folder), QStringList{SaveTitle});
    QVERIFY(folderContents(folder).value("notes.txt.txt").startsWith("notes.txt\r\n"));

    // The prompt: no second "/" after a folder that ends in one; the indentation only above 0.
    QCOMPARE(saveConfirmation(saveFilePath("/", "T"), 10), QStringLiteral("Print the list to /T.txt ?\rIndentation:  10"));
    QCOMPARE(saveConfirmation(saveFilePath("/d", "T"), 0), QStringLiteral("Print the list to /d/T.txt ?"));
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
    QCOMPARE(save(w, good), QStringList{SaveTitle});
    const QMap<QString, QByteArray> goodSave = folderContents(good);
    QFile::remove(good + "/LISTWRIGHT.txt");

    expectFailedSave(w, root + "/missing");

    // The superuser writes into read-only folders: the save runs as "nobody" there.
    base.file("ro/LISTWRIGHT.txt", 15);
    QCOMPARE(::chmod(base.path().constData(), 0755), 0);
    QCOMPARE(::chmod(QFile::encodeName(ro).constData(), 0555), 0);
    const passwd *nobody = ::geteuid() == 0 ? ::getpwnam("nobody") : nullptr;
    QVERIFY(!nobody || ::seteuid(nobody->pw_uid) == 0);
    expectFailedSave(w, ro);
    QVERIFY(!nobody || ::seteuid(0) == 0);

    // A full disk; without a tmpfs here, a file size limit makes the write fail the same way.
    const bool mounted = ::mount("tmpfs", QFile::encodeName(full).constData(), "tmpfs", 0, "size=64k") == 0;
    const auto unmount = qScopeGuard([&] { if (mounted) ::umount2(QFile::encodeName(full).constData(), MNT_DETACH); });
    base.file("full/LISTWRIGHT.txt", 15);
    rlimit unlimited{};
    QCOMPARE(::getrlimit(RLIMIT_FSIZE, &unlimited), 0);
    const rlimit small{64 * 1024, unlimited.rlim_max};
    std::signal(SIGXFSZ, SIG_IGN);
    QVERIFY(mounted || ::setrlimit(RLIMIT_FSIZE, &small) == 0);
    expectFailedSave(w, full);
    QCOMPARE(::setrlimit(RLIMIT_FSIZE, &unlimited), 0);

    // After the failures, a save to a good folder writes the whole listing again.
    QCOMPARE(save(w, good), QStringList{SaveTitle});
    QCOMPARE(folderContents(good), goodSave);
}

// A listing of several megabytes, saved while the list goes on growing, comes out whole.
void SaveToFileTest::longListing()
{
    TempTree out;
    WindowFixture w(out.path());
    w.f().chkPrintDir->setChecked(false);
    QByteArray expected;
    for (int i = 0; i < 30000; ++i) {
        const QString line = QStringLiteral("/d/\u00FC%1 %2").arg(i).arg(QString(i % 200, u'x'));
        w.f().lstBigFileList->addItem(line);
        expected += line.toUtf8() + "\r\n";
        if (i == 20000)
            QCOMPARE(save(w, QFile::decodeName(out.path())), QStringList{SaveTitle});
    }
    QCOMPARE(save(w, QFile::decodeName(out.path())), QStringList{SaveTitle});
    QVERIFY(folderContents(QFile::decodeName(out.path())).value("LISTWRIGHT.txt").endsWith("\r\n\r\nFiles: 0    B \r\n" + expected));
}

QTEST_MAIN(SaveToFileTest)
#include "tst_savetofile.moc"
