// The save command: saved files byte for byte, the confirmation, and failed saves that leave no trace.

#include "output/SaveToFile.h"
#include "support/TempTree.h"
#include "support/WindowFixture.h"

#include <QCheckBox>
#include <QDir>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QtTest>
#include <csignal>
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
    // Names with a line feed, a tab and a 0x01 byte are one line each, with "?" in their place.
    tree.file("Alpha/in\x01ner.txt", 4096);
    tree.file("a\n.txt", 1024);
    tree.file("\xC3\xBC\t.dat", 1024);
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
    for (const QString &line : f.lstBigFileList->lines())
        lines << (prefixed ? scanned + u'/' + line : line);
    QByteArray expected;
    for (const QString &line : lines)
        expected += (line.isEmpty() ? line : QString(indentation, u' ') + line).toUtf8() + "\r\n";
    QCOMPARE(folderContents(outFolder), (QMap<QString, QByteArray>{{"LISTWRIGHT.txt", expected}}));
    QVERIFY(expected.count('?') == (folder.isEmpty() ? 2 + options[2] : 0) // and every line ends in CR LF
            && !QString::fromUtf8(expected).remove("\r\n").contains(QRegularExpression("[\\x00-\\x1f\\x7f]")));
}

void SaveToFileTest::confirmation()
{
    // A folder whose name holds a tab: the save path box shows "?", the file goes into the folder.
    TempTree out;
    out.mkdir("in\tbox");
    WindowFixture w(out.at("in\tbox"));
    const QString shown = w.f().txtMyFilePath->text(), real = QFile::decodeName(out.at("in\tbox"));
    QCOMPARE(shown, QFile::decodeName(out.path()) + "/in?box");
    w.boxes.answers = {MessageBoxes::Answer::No};
    QCOMPARE(save(w, shown), QStringList{SaveTitle});
    QVERIFY(folderContents(real).isEmpty());
    QCOMPARE(save(w, shown), QStringList{SaveTitle});
    QCOMPARE(folderContents(real).keys(), QStringList{"LISTWRIGHT.txt"});
    // The prompt: no second "/" after a folder that ends in one; the indentation only above 0.
    QCOMPARE(saveConfirmation(saveFilePath("/", "T"), 10), QStringLiteral("Print the list to /T.txt ?\rIndentation:  10"));
    QCOMPARE(saveConfirmation(saveFilePath("/d", "T"), 0), QStringLiteral("Print the list to /d/T.txt ?"));
}

void SaveToFileTest::failedSaves()
{
    if (::geteuid() == 0) { // the superuser may write anything: the saves run as "nobody"
        QCOMPARE(QProcess::execute("setpriv", {"--reuid=nobody", "--regid=nogroup", "--clear-groups",
                                                QCoreApplication::applicationFilePath(), "failedSaves"}), 0);
        return;
    }
    TempTree base;
    base.mkdir("good");
    base.mkdir("shut");
    const auto folder = [&](const char *name) { return QFile::decodeName(base.at(name)); };
    WindowFixture w(base.path());
    for (int i = 0; i < 3000; ++i) // long enough to pass the file size limit below
        w.f().lstBigFileList->addItem(QStringLiteral("file%1.dat   1.00 KB").arg(i, 4, 10, QLatin1Char('0')));

    // A missing folder, and a write that fails half-way (at a file size limit, as on a full disk):
    // where the folder takes a temporary file, the older file stays as it was.
    expectFailedSave(w, folder("missing"));
    base.file("good/LISTWRIGHT.txt", 15);
    const rlimit unlimited = [] { rlimit r{}; ::getrlimit(RLIMIT_FSIZE, &r); return r; }();
    const rlimit small{64 * 1024, unlimited.rlim_max};
    std::signal(SIGXFSZ, SIG_IGN);
    QCOMPARE(::setrlimit(RLIMIT_FSIZE, &small), 0);
    expectFailedSave(w, folder("good"));
    QCOMPARE(::setrlimit(RLIMIT_FSIZE, &unlimited), 0);

    // After the failures a save works again; in a folder that takes no new file, a file that may
    // be written is written in place.
    QCOMPARE(save(w, folder("good")), QStringList{SaveTitle});
    const QMap<QString, QByteArray> goodSave = folderContents(folder("good"));
    base.file("shut/LISTWRIGHT.txt", 5000);
    QCOMPARE(::chmod(base.at("shut").constData(), 0555), 0);
    QCOMPARE(save(w, folder("shut")), QStringList{SaveTitle});
    QCOMPARE(folderContents(folder("shut")), goodSave);

    // A file that may not be written is refused in the system's words, in either folder.
    for (const char *name : {"good", "shut"}) {
        QCOMPARE(::chmod(base.at(name) + "/LISTWRIGHT.txt", 0444), 0);
        expectFailedSave(w, folder(name));
        QCOMPARE(w.boxes.boxes.last().text, QString::fromLocal8Bit(::strerror(EACCES)));
    }
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
