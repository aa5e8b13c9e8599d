#include "output/SaveToFile.h"
#include "scan/DirFolderView.h"
#include "shared/TextList.h"
#include "shared/WebOpener.h"
#include "shell/MainWindow.h"
#include "support/RecordingPrinter.h"
#include "support/ScriptedMessageBoxes.h"
#include "support/TempTree.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QLineEdit>
#include <QMap>
#include <QProcess>
#include <QPushButton>
#include <QtTest>
#include <csignal>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString SaveTitle = QStringLiteral("Listwright - Save To File");
const QString ErrorTitle = QStringLiteral("Listwright - Error Saving to File");

// A main window with its services.
struct Window {
    ScriptedMessageBoxes boxes;
    RecordingPrinter printer;
    DesktopWebOpener opener;
    MainWindow w{boxes, printer, opener};
    MainForm &f = w.form();
};

struct Options {
    bool includeFolders = true;
    bool folderSizes = true;
    bool recursive = false;
    bool fileSizes = true;
    int indentation = 0;
};

// Sets the options without running their handlers, which would rescan and replace the lists.
void setOptions(MainForm &f, const Options &o)
{
    const std::pair<QCheckBox *, bool> boxes[] = {
        {f.chkPrintDir, o.includeFolders}, {f.chkFolderSize, o.folderSizes},
        {f.chkRecursive, o.recursive},     {f.chkSize, o.fileSizes}};
    for (const auto &[box, on] : boxes) {
        const QSignalBlocker quiet(box);
        box->setChecked(on);
    }
    f.Indentation = o.indentation;
}

QStringList withRoot(QStringList lines, const QString &root)
{
    return lines.replaceInStrings(QStringLiteral("%R"), root);
}

// The window as a listing of `root` leaves it: two subfolders, the given file lines and totals.
void fillListing(MainForm &f, const QString &root, const QStringList &fileLines, int64_t fileBytes,
                 const QString &fileText)
{
    f.txtTitle->setText(QStringLiteral("LISTWRIGHT"));
    f.txtParentFolder->setText(root + QStringLiteral("/*.*  6.00 KB"));
    f.lstFolders->clear();
    for (const QString &line : withRoot({"%R/Alpha    4.00 KB", "%R/beta       0    B "}, root))
        f.lstFolders->addItem(line);
    f.lstBigFileList->clear();
    for (const QString &line : withRoot(fileLines, root))
        f.lstBigFileList->addItem(line);
    f.CurrentFolderPath = root + u'/';
    f.FolderTotalBytes = 6144;
    f.FileListTotalBytes = fileBytes;
    f.FileListTotalText = fileText;
}

// A listing long enough to overflow a small file system.
void fillLongListing(MainForm &f, const QString &root)
{
    QStringList lines;
    for (int i = 0; i < 3000; ++i)
        lines.append(QStringLiteral("file%1.dat                       1.00 KB").arg(i, 4, 10, QLatin1Char('0')));
    setOptions(f, {});
    fillListing(f, root, lines, 3000 * 1024, QStringLiteral("2.93 MB"));
}

QByteArray withLineEnds(const QStringList &lines)
{
    QByteArray bytes;
    for (const QString &line : lines)
        bytes += line.toUtf8() + "\r\n";
    return bytes;
}

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
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

// Saves the window's listing into `folder`, answering Yes, and checks that the save failed
// cleanly: the error box with the system's description, and the folder as it was.
void expectFailedSave(Window &win, const QString &folder, const QString &description)
{
    const QMap<QString, QByteArray> before = folderContents(folder);
    win.boxes.clear();
    win.f.txtMyFilePath->setText(folder);
    win.f.cmdSaveToFile->click();
    QCOMPARE(win.boxes.titles(), QStringList({SaveTitle, ErrorTitle}));
    QCOMPARE(win.boxes.boxes[1].text, description);
    QCOMPARE(win.boxes.boxes[1].buttons, MessageBoxes::Buttons::Ok);
    QCOMPARE(folderContents(folder), before);
}

// Saves the window's long listing into `folder` and checks that it arrived whole.
void expectGoodSave(Window &win, const QString &folder)
{
    win.boxes.clear();
    win.f.txtMyFilePath->setText(folder);
    win.f.cmdSaveToFile->click();
    QCOMPARE(win.boxes.titles(), QStringList{SaveTitle});
    const QByteArray saved = contentOf(folder + QStringLiteral("/LISTWRIGHT.txt"));
    QVERIFY(saved.startsWith("LISTWRIGHT\r\n"));
    QVERIFY(saved.endsWith("/file2999.dat                       1.00 KB\r\n"));
    QCOMPARE(saved.count("\r\n"), 3008);
    QCOMPARE(folderContents(folder).keys(), QStringList{"LISTWRIGHT.txt"});
}

// A small tmpfs over `dir` for as long as it lives; `mounted` tells whether that worked here.
struct SmallFileSystem {
    explicit SmallFileSystem(const QString &dir)
        : path(QFile::encodeName(dir)), mounted(::mount("tmpfs", path.constData(), "tmpfs", 0, "size=64k") == 0) {}
    ~SmallFileSystem()
    {
        if (mounted)
            ::umount2(path.constData(), MNT_DETACH);
    }
    QByteArray path;
    bool mounted;
};

// Runs the failed-and-good save pair of SaveInChild in a child process of this test program.
void runChildSave(const QString &kind, const QString &folder, const QString &good, const QStringList &prefix)
{
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("LISTWRIGHT_SAVE_CHILD"), kind);
    env.insert(QStringLiteral("LISTWRIGHT_SAVE_FOLDER"), folder);
    env.insert(QStringLiteral("LISTWRIGHT_SAVE_GOOD"), good);
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.remove(QStringLiteral("XDG_RUNTIME_DIR"));
    child.setProcessEnvironment(env);
    child.setProcessChannelMode(QProcess::MergedChannels);
    QStringList command = prefix;
    command.append(QCoreApplication::applicationFilePath());
    child.start(command.takeFirst(), command);
    QVERIFY2(child.waitForStarted(-1), qPrintable(child.errorString()));
    child.waitForFinished(-1);
    const QByteArray output = child.readAll();
    QVERIFY2(child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0, output.constData());
}

} // namespace

Q_DECLARE_METATYPE(Options)

class SaveToFileTest : public QObject {
    Q_OBJECT
private slots:
    void savedFiles_data();
    void savedFiles();
    void confirmation();
    void missingFolderAndFullDisk();
    void readOnlyFolder();
    void savesWhatARealScanListed();
};

void SaveToFileTest::savedFiles_data()
{
    QTest::addColumn<Options>("options");
    QTest::addColumn<QStringList>("fileLines");
    QTest::addColumn<int64_t>("fileBytes");
    QTest::addColumn<QString>("fileText");
    QTest::addColumn<QStringList>("expected");

    const QStringList files{QString::fromUtf8("a.txt         1.00 KB"), QString::fromUtf8("\xC3\xBC.dat         1.00 KB")};
    const int64_t bytes = 2048;
    const QString text = QStringLiteral("2.00 KB");

    QTest::newRow("folders with sizes")
        << Options{} << files << bytes << text
        << QStringList{"LISTWRIGHT", "%R/*.*  6.00 KB", "", "Folders: 4.00 KB", "%R/Alpha    4.00 KB",
                       "%R/beta       0    B ", "", "Files: 2.00 KB", "%R/a.txt         1.00 KB",
                       QString::fromUtf8("%R/\xC3\xBC.dat         1.00 KB")};
    QTest::newRow("without folders")
        << Options{false} << files << bytes << text
        << QStringList{"LISTWRIGHT", "%R/*.*  6.00 KB", "", "Files: 2.00 KB", "a.txt         1.00 KB",
                       QString::fromUtf8("\xC3\xBC.dat         1.00 KB")};
    QTest::newRow("folder sizes off")
        << Options{true, false} << files << bytes << text
        << QStringList{"LISTWRIGHT", "%R/*.*  6.00 KB", "", "Folders: ", "%R/Alpha    4.00 KB",
                       "%R/beta       0    B ", "", "Files: 2.00 KB", "%R/a.txt         1.00 KB",
                       QString::fromUtf8("%R/\xC3\xBC.dat         1.00 KB")};
    QTest::newRow("recursive")
        << Options{true, true, true} << QStringList{"%R/a.txt   1.00 KB", "%R/Alpha/inner.txt   2.00 KB"}
        << int64_t(3072) << QStringLiteral("3.00 KB")
        << QStringList{"LISTWRIGHT", "%R/*.*  6.00 KB", "", "Folders: 3.00 KB", "%R/Alpha    4.00 KB",
                       "%R/beta       0    B ", "", "Complete File List", "%R/a.txt   1.00 KB",
                       "%R/Alpha/inner.txt   2.00 KB"};
    QTest::newRow("size column off")
        << Options{true, true, false, false} << files << bytes << text
        << QStringList{"LISTWRIGHT", "%R/*.*  6.00 KB", "", "Folders: 4.00 KB", "%R/Alpha    4.00 KB",
                       "%R/beta       0    B ", "", "Files:", "%R/a.txt         1.00 KB",
                       QString::fromUtf8("%R/\xC3\xBC.dat         1.00 KB")};
    QTest::newRow("empty file list")
        << Options{} << QStringList{} << int64_t(0) << QStringLiteral("0    B ")
        << QStringList{"LISTWRIGHT", "%R/*.*  6.00 KB", "", "Folders: 6.00 KB", "%R/Alpha    4.00 KB",
                       "%R/beta       0    B ", "", "Files: 0    B "};
    QTest::newRow("indentation 10")
        << Options{true, true, false, true, 10} << files << bytes << text
        << QStringList{"          LISTWRIGHT", "          %R/*.*  6.00 KB", "", "          Folders: 4.00 KB",
                       "          %R/Alpha    4.00 KB", "          %R/beta       0    B ", "",
                       "          Files: 2.00 KB", "          %R/a.txt         1.00 KB",
                       QString::fromUtf8("          %R/\xC3\xBC.dat         1.00 KB")};
}

void SaveToFileTest::savedFiles()
{
    QFETCH(Options, options);
    QFETCH(QStringList, fileLines);
    QFETCH(int64_t, fileBytes);
    QFETCH(QString, fileText);
    QFETCH(QStringList, expected);

    TempTree tree;
    tree.mkdir("Alpha");
    tree.mkdir("beta");
    tree.file("Alpha/inner.txt", 4096);
    tree.file("a.txt", 1024);
    tree.file("\xC3\xBC.dat", 1024);
    const QString root = QFile::decodeName(tree.path());
    TempTree out;
    const QString folder = QFile::decodeName(out.path());

    Window win;
    setOptions(win.f, options);
    fillListing(win.f, root, fileLines, fileBytes, fileText);
    win.f.txtMyFilePath->setText(folder);
    win.f.cmdSaveToFile->click();

    QCOMPARE(win.boxes.titles(), QStringList{SaveTitle});
    QCOMPARE(contentOf(folder + QStringLiteral("/LISTWRIGHT.txt")), withLineEnds(withRoot(expected, root)));
    QCOMPARE(folderContents(folder).size(), 1);
}

void SaveToFileTest::confirmation()
{
    TempTree out;
    const QString folder = QFile::decodeName(out.path());
    Window win;
    setOptions(win.f, {});
    fillListing(win.f, folder, {"a.txt   1.00 KB"}, 1024, QStringLiteral("1.00 KB"));

    // No: nothing is written.
    win.boxes.answers = {MessageBoxes::Answer::No};
    win.f.txtMyFilePath->setText(folder);
    win.f.cmdSaveToFile->click();
    QCOMPARE(win.boxes.boxes.size(), 1);
    QCOMPARE(win.boxes.boxes[0].text, QStringLiteral("Print the list to ") + folder + QStringLiteral("/LISTWRIGHT.txt ?"));
    QCOMPARE(win.boxes.boxes[0].title, SaveTitle);
    QCOMPARE(win.boxes.boxes[0].buttons, MessageBoxes::Buttons::YesNo);
    QCOMPARE(win.f.Answer, int(MessageBoxes::Answer::No));
    QVERIFY(folderContents(folder).isEmpty());

    // An existing file is overwritten after the one question; a folder ending in "/" gets no
    // second one; the indentation is mentioned when above 0.
    writeFile(folder + QStringLiteral("/LISTWRIGHT.txt"), QByteArray(5000, 'o'));
    win.boxes.clear();
    win.f.Indentation = 10;
    win.f.txtMyFilePath->setText(folder + u'/');
    win.f.mnuSave->trigger();
    QCOMPARE(win.boxes.titles(), QStringList{SaveTitle});
    QCOMPARE(win.boxes.boxes[0].text, QStringLiteral("Print the list to ") + folder
                                          + QStringLiteral("/LISTWRIGHT.txt ?\rIndentation:  10"));
    QCOMPARE(win.f.Answer, int(MessageBoxes::Answer::Yes));
    const QByteArray saved = contentOf(folder + QStringLiteral("/LISTWRIGHT.txt"));
    QVERIFY(saved.startsWith("          LISTWRIGHT\r\n"));
    QVERIFY(saved.endsWith("/a.txt   1.00 KB\r\n"));
    QCOMPARE(folderContents(folder).size(), 1);

    // A title ending in ".txt" still gets ".txt" appended.
    win.f.txtTitle->setText(QStringLiteral("notes.txt"));
    win.f.cmdSaveToFile->click();
    QVERIFY(QFile::exists(folder + QStringLiteral("/notes.txt.txt")));

    // A refused title ends the command before the question.
    win.boxes.clear();
    win.f.cmdClearTitle->click();
    win.f.cmdSaveToFile->click();
    QCOMPARE(win.boxes.titles(), QStringList{"Listwright - Invalid Name"});
    QCOMPARE(folderContents(folder).size(), 2);
}

void SaveToFileTest::missingFolderAndFullDisk()
{
    TempTree base;
    base.mkdir("good");
    base.mkdir("full");
    const QString root = QFile::decodeName(base.path());
    Window win;
    fillLongListing(win.f, root);

    const QString missing = root + QStringLiteral("/missing");
    expectFailedSave(win, missing, QStringLiteral("No such file or directory"));
    QVERIFY(!QFileInfo::exists(missing));
    expectGoodSave(win, root + QStringLiteral("/good"));
    if (QTest::currentTestFailed())
        return;

    SmallFileSystem full(root + QStringLiteral("/full"));
    if (!full.mounted) {
        // No tmpfs here: a file size limit makes the write fail the same way, in a child.
        runChildSave(QStringLiteral("file size limit"), root + QStringLiteral("/full"), root + QStringLiteral("/good"), {});
        QCOMPARE(contentOf(root + QStringLiteral("/full/LISTWRIGHT.txt")), QByteArray("older listing\r\n"));
        return;
    }
    writeFile(root + QStringLiteral("/full/LISTWRIGHT.txt"), "older listing\r\n");
    expectFailedSave(win, root + QStringLiteral("/full"), QStringLiteral("No space left on device"));
    QCOMPARE(contentOf(root + QStringLiteral("/full/LISTWRIGHT.txt")), QByteArray("older listing\r\n"));
    QFile::remove(root + QStringLiteral("/good/LISTWRIGHT.txt"));
    expectGoodSave(win, root + QStringLiteral("/good"));
}

void SaveToFileTest::readOnlyFolder()
{
    TempTree base;
    base.mkdir("ro");
    base.mkdir("good");
    const QString root = QFile::decodeName(base.path());
    const QString ro = root + QStringLiteral("/ro");
    const QString good = root + QStringLiteral("/good");
    writeFile(ro + QStringLiteral("/LISTWRIGHT.txt"), "older listing\r\n");
    QCOMPARE(::chmod(base.path().constData(), 0755), 0);
    QCOMPARE(::chmod(QFile::encodeName(ro).constData(), 0555), 0);
    QCOMPARE(::chmod(QFile::encodeName(good).constData(), 0777), 0);

    if (::geteuid() == 0) {
        // The superuser writes into read-only folders: save as an ordinary user instead.
        runChildSave(QStringLiteral("read-only folder"), ro, good,
                     {"setpriv", "--reuid=nobody", "--regid=nogroup", "--clear-groups"});
    } else {
        Window win;
        fillLongListing(win.f, root);
        expectFailedSave(win, ro, QStringLiteral("Permission denied"));
        expectGoodSave(win, good);
    }
    QCOMPARE(folderContents(ro), (QMap<QString, QByteArray>{{"LISTWRIGHT.txt", "older listing\r\n"}}));
    QCOMPARE(folderContents(good).keys(), QStringList{"LISTWRIGHT.txt"});
}

void SaveToFileTest::savesWhatARealScanListed()
{
    TempTree tree;
    tree.mkdir("Alpha");
    tree.mkdir("beta");
    tree.file("Alpha/inner.txt", 4096);
    tree.file("a.txt", 1024);
    tree.file("b.dat", 2048);
    const QString root = QFile::decodeName(tree.path());
    TempTree out;
    const QString folder = QFile::decodeName(out.path());

    Window win;
    MainForm &f = win.f;
    f.chkPrintDir->setChecked(true);
    f.chkSize->setChecked(true);
    f.chkFolderSize->setChecked(true);
    f.chkRecursive->setChecked(false);
    f.dirFolder->setPath(tree.path());
    if (f.lstFolders->count() == 0 || f.lstBigFileList->count() == 0)
        QSKIP("the folder and file list scans do not fill the lists yet");

    QCOMPARE(f.CurrentFolderPath, root + u'/');
    QCOMPARE(f.lstFolders->count(), 2);
    QCOMPARE(f.lstBigFileList->count(), 2);
    QCOMPARE(f.FolderTotalBytes, int64_t(4096 + 1024 + 2048));
    QCOMPARE(f.FileListTotalBytes, int64_t(1024 + 2048));

    win.boxes.clear();
    f.txtTitle->setText(QStringLiteral("LISTWRIGHT"));
    f.txtMyFilePath->setText(folder);
    f.cmdSaveToFile->click();
    QCOMPARE(win.boxes.titles(), QStringList{SaveTitle});

    QStringList expected{"LISTWRIGHT", f.txtParentFolder->text(), "", "Folders: 4.00 KB"};
    expected += f.lstFolders->lines();
    expected += {"", "Files: " + f.FileListTotalText};
    for (const QString &line : f.lstBigFileList->lines())
        expected += root + u'/' + line;
    QCOMPARE(contentOf(folder + QStringLiteral("/LISTWRIGHT.txt")), withLineEnds(expected));
    QVERIFY(expected[4].startsWith(root + QStringLiteral("/Alpha")));
    QVERIFY(expected.last().startsWith(root + QStringLiteral("/b.dat")));
}

// The failed and the good save of a child process: into a read-only folder as an ordinary user,
// or under a file size limit.
class SaveInChild : public QObject {
    Q_OBJECT
private slots:
    void failedSaveThenGoodSave()
    {
        const QString kind = qEnvironmentVariable("LISTWRIGHT_SAVE_CHILD");
        const QString folder = qEnvironmentVariable("LISTWRIGHT_SAVE_FOLDER");
        const QString good = qEnvironmentVariable("LISTWRIGHT_SAVE_GOOD");
        Window win;
        fillLongListing(win.f, folder);

        if (kind == QStringLiteral("read-only folder")) {
            expectFailedSave(win, folder, QStringLiteral("Permission denied"));
        } else {
            writeFile(folder + QStringLiteral("/LISTWRIGHT.txt"), "older listing\r\n");
            rlimit limit{};
            QCOMPARE(::getrlimit(RLIMIT_FSIZE, &limit), 0);
            const rlim_t unlimited = limit.rlim_cur;
            std::signal(SIGXFSZ, SIG_IGN);
            limit.rlim_cur = 64 * 1024;
            QCOMPARE(::setrlimit(RLIMIT_FSIZE, &limit), 0);
            expectFailedSave(win, folder, QStringLiteral("File too large"));
            limit.rlim_cur = unlimited;
            QCOMPARE(::setrlimit(RLIMIT_FSIZE, &limit), 0);
            QFile::remove(good + QStringLiteral("/LISTWRIGHT.txt"));
        }
        if (!QTest::currentTestFailed())
            expectGoodSave(win, good);
    }
};

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    if (qEnvironmentVariableIsSet("LISTWRIGHT_SAVE_CHILD")) {
        SaveInChild child;
        return QTest::qExec(&child, argc, argv);
    }
    SaveToFileTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_savetofile.moc"
