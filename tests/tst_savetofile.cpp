// SPDX-License-Identifier: GPL-3.0-or-later
// The save commands: saved files byte for byte, the confirmation, and failed saves that leave no
// trace; scans saved as the export writes them.

#include "window/output/SaveToFile.h"
#include "core/scan/tree/ScanFileReader.h"
#include "core/shell/ListCommand.h"
#include "window/shell/ViewSettings.h"
#include "support/AsNobody.h"
#include "support/TempTree.h"
#include "support/WindowFixture.h"

#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QtTest>
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
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

// Clicks "Save To File" for `folder` (Yes unless scripted otherwise) and checks the boxes: the
// confirmation, and for a failed save the error box and the folder as it was, older file and
// all, with nothing added.
void save(WindowFixture &w, const QString &folder, bool fails = false)
{
    const QMap<QString, QByteArray> before = folderContents(folder);
    w.boxes.clear();
    w.f().txtMyFilePath->setText(folder);
    w.f().cmdSaveToFile->click();
    const QStringList titles{"Listwright - Save To File", "Listwright - Error Saving to File"};
    QCOMPARE(w.boxes.titles(), titles.mid(0, fails ? 2 : 1));
    if (fails)
        QCOMPARE(folderContents(folder), before);
}

// The listing without a window, with the window's choices, to compare with the saved file.
QByteArray listedWithoutWindow(MainForm &f, const QByteArray &folder)
{
    QList<QByteArray> args{"--list", "--indent", QByteArray::number(f.Indentation), folder};
    for (const auto &[box, option] : {std::pair{f.chkPrintDir, "--no-folders"}, {f.chkSize, "--no-file-sizes"}})
        if (!box->isChecked())
            args << option;
    for (const auto &[box, option] : {std::pair{f.chkFolderSize, "--folder-sizes"}, {f.chkRecursive, "--recursive"}})
        if (box->isChecked())
            args << option;
    QBuffer out, err;
    out.open(QIODevice::WriteOnly);
    err.open(QIODevice::WriteOnly);
    return listCommand(args, out, err) == 0 ? out.data() : err.data();
}

// What the command line writes, problems or not.
QByteArray listed(const QList<QByteArray> &args)
{
    QBuffer out, err;
    out.open(QIODevice::WriteOnly);
    err.open(QIODevice::WriteOnly);
    listCommand(QList<QByteArray>{"--list"} + args, out, err);
    return out.data();
}
} // namespace

class SaveToFileTest : public QObject {
    Q_OBJECT
private slots:
    void saves();
    void fullDisk();
    void controlCharacterFolder();
    void savesScans();
};

void SaveToFileTest::saves()
{
    if (ranAsNobody("saves")) // the superuser may write anything
        return;
    TempTree tree, out;
    tree.mkdir("Alpha");
    // Names with a line feed, a tab and a 0x01 byte are one line each, with "?" in their place.
    tree.file("Alpha/in\x01ner.txt", 4096);
    tree.file("a\n.txt", 1024);
    tree.file("\xC3\xBC\t.dat", 1024);
    tree.symlink("./Alpha", "to-alpha");                  // a folder line of the link's 7 bytes
    tree.hardLink("Alpha/in\x01ner.txt", "again.txt"); // counted in Alpha's line, listed as a file
    for (const char *name : {"in\tbox", "good", "shut"})
        out.mkdir(name);
    const auto folder = [&](const char *name) { return QFile::decodeName(out.at(name)); };
    const QString scanned = QFile::decodeName(tree.path());
    WindowFixture w(tree.path());
    MainForm &f = w.f();

    // One window through the options: title, parent folder line, folder section, file heading and
    // file lines, each after the indentation, every line ending in CR LF. The options: Include
    // Folders, folder sizes, recursive, size column; the folder heading is the folder lines' sum.
    const struct { bool options[4]; int indentation; const char *folderHeading, *fileHeading; } cases[] = {
        {{1, 1, 0, 0}, 0, "Folders: 4.01 KB", "Files:"},
        {{1, 0, 0, 1}, 0, "Folders: ", "Files: 6.00 KB"},
        {{1, 1, 1, 1}, 10, "Folders: 4.01 KB", "Complete File List"},
        {{1, 1, 0, 1}, 0, "Folders: 4.01 KB", "Files: 6.00 KB"},
    };
    for (const auto &c : cases) {
        for (int i = 0; QCheckBox *box : {f.chkPrintDir, f.chkFolderSize, f.chkRecursive, f.chkSize})
            box->setChecked(c.options[i++]);
        f.Indentation = c.indentation;
        const QByteArray listed = listedWithoutWindow(f, tree.path());
        save(w, folder("good"));
        QCOMPARE(folderContents(folder("good")).value("LISTWRIGHT.txt"), listed);
        QStringList lines{"LISTWRIGHT", f.txtParentFolder->text(), "", c.folderHeading};
        lines << f.lstFolders->lines() << "" << c.fileHeading;
        for (const QString &line : f.lstBigFileList->lines()) // Include Folders on a list that is not recursive
            lines << (c.options[2] ? line : scanned + u'/' + line);
        QByteArray expected;
        for (const QString &line : lines)
            expected += (line.isEmpty() ? line : QString(c.indentation, u' ') + line).toUtf8() + "\r\n";
        QCOMPARE(folderContents(folder("good")), (QMap<QString, QByteArray>{{"LISTWRIGHT.txt", expected}}));
        QVERIFY(expected.count('?') == 2 + c.options[2] // and every line ends in CR LF
                && !QString::fromUtf8(expected).remove("\r\n").contains(QRegularExpression("[\\x00-\\x1f\\x7f]")));
    }
    // Size order through the View menu, which switches sizes on: the saved folder and file lines
    // come largest first, ties in name order.
    TempTree sized;
    const QMap<QString, int> bytes{{"a", 10}, {"B", 3000}, {"c", 10}, {"d", 20000}};
    for (const QString &name : bytes.keys()) {
        sized.mkdir(name.toUtf8());
        for (const QString &file : {name + "/f", name + ".txt"})
            sized.file(file.toUtf8(), bytes[name]);
    }
    w.open(sized.path()); // with the options of the last case above
    const auto saved = [&] { save(w, folder("good")); return folderContents(folder("good")).value("LISTWRIGHT.txt"); };
    QList<QByteArray> want = saved().split('\n');
    const auto size = [&](const QByteArray &line) { return bytes[QFileInfo(line.split(' ')[0]).completeBaseName()]; };
    for (int first : {4, 10}) // the folder lines, the file lines
        std::stable_sort(want.begin() + first, want.begin() + first + 4, [&](auto &a, auto &b) { return size(a) > size(b); });
    f.chkFolderSize->setChecked(false);
    f.mnuSortFoldersSize->trigger();
    f.mnuSortFilesSize->trigger();
    QVERIFY(f.chkFolderSize->isChecked());
    QCOMPARE(saved(), want.join('\n'));
    // Recursive, ticked after the order was chosen, then by date: files two and three levels
    // down take their places by their own sizes and times, and every line gets its bar.
    for (const char *folder : {"a/inner", "c/deep/er"})
        sized.mkdir(folder);
    sized.file("a/inner/x", 7000, QDateTime::currentDateTime().addSecs(7200));
    sized.file("c/deep/er/y", 500, QDateTime::currentDateTime().addSecs(3600));
    f.mnuSizeBars->trigger();
    f.chkRecursive->setChecked(true);
    for (QAction *order : {f.mnuSortFilesSize, f.mnuSortFilesModified}) {
        order->trigger();
        const QList<QByteArray> lines = saved().split('\n');
        QList<qint64> keys; // of the files in the order saved
        for (qsizetype i = lines.indexOf("Complete File List\r") + 1; i < lines.size() - 1; ++i) {
            const QFileInfo file(QFile::decodeName(lines[i].left(lines[i].indexOf(' '))));
            keys << (order == f.mnuSortFilesSize ? file.size() : file.lastModified().toSecsSinceEpoch());
        }
        QCOMPARE(keys.size(), 10);
        QVERIFY2(std::is_sorted(keys.rbegin(), keys.rend()), qPrintable(f.lstBigFileList->lines().join('\n')));
        QTRY_COMPARE(f.lstBigFileList->model()->rowCount(), int(f.lstBigFileList->count())); // the rows show
        for (int row = 0; row < f.lstBigFileList->count(); ++row)
            QVERIFY2(f.lstBigFileList->model()->index(row, 0).data(TextListModel::BarRole).isValid(), qPrintable(f.lstBigFileList->item(row)));
    }
    f.chkRecursive->setChecked(false);
    f.mnuSortFilesSize->trigger();

    // A link in the file's place is replaced by the file, whatever it points to: a file elsewhere,
    // a name elsewhere, a folder. Nothing there is written or made.
    TempTree elsewhere;
    elsewhere.file("victim.txt", 100);
    elsewhere.mkdir("dir");
    const QMap<QString, QByteArray> untouched = folderContents(QFile::decodeName(elsewhere.path()));
    out.mkdir("links");
    for (const auto &[title, target] : {std::pair{"LISTWRIGHT", "victim.txt"}, {"DANGLE", "absent.txt"}, {"DIR", "dir"}}) {
        out.symlink(elsewhere.at(target), QByteArray("links/") + title + ".txt");
        f.txtTitle->setText(title);
        save(w, folder("links"));
        const QFileInfo saved(folder("links") + '/' + title + ".txt");
        QVERIFY2(!saved.isSymLink() && saved.isFile() && saved.size() > 0, title);
    }
    f.txtTitle->setText("LISTWRIGHT");
    QCOMPARE(folderContents(QFile::decodeName(elsewhere.path())), untouched);
    QVERIFY(QDir(QFile::decodeName(elsewhere.at("dir"))).isEmpty());

    // The prompt: no second "/" after a folder that ends in one; the indentation only above 0.
    QCOMPARE(saveConfirmation(saveFilePath("/", "T"), 10), QStringLiteral("Print the list to /T.txt ?\rIndentation:  10"));
    QCOMPARE(saveConfirmation(saveFilePath("/d", "T"), 0), QStringLiteral("Print the list to /d/T.txt ?"));

    // A folder whose name holds a tab: the save path box shows "?", the file goes into the folder;
    // nothing after No. Without Include Folders there is no folder section, and an empty file list
    // still has its heading.
    w.open(out.at("in\tbox"));
    f.chkPrintDir->setChecked(false);
    const QString shown = f.txtMyFilePath->text();
    QCOMPARE(shown, QFile::decodeName(out.path()) + "/in?box");
    w.boxes.answers = {MessageBoxes::Answer::No};
    save(w, shown);
    QVERIFY(folderContents(folder("in\tbox")).isEmpty());
    const QByteArray listed = listedWithoutWindow(f, out.at("in\tbox"));
    save(w, shown);
    QCOMPARE(folderContents(folder("in\tbox")).value("LISTWRIGHT.txt"), listed);
    QCOMPARE(listed,
             "LISTWRIGHT\r\n" + f.txtParentFolder->text().toUtf8() + "\r\n\r\nFiles: 0    B \r\n");

    // Several megabytes, far beyond the file size limit below.
    for (int i = 0; i < 30000; ++i)
        f.lstBigFileList->addItem(QStringLiteral("/d/\u00FC%1 %2").arg(i).arg(QString(i % 200, u'x')));
    const QByteArray listing = (f.lstBigFileList->lines().join("\r\n") + "\r\n").toUtf8();

    // A missing folder, and a write that fails half-way (at a file size limit, as on a full disk):
    // where the folder takes a temporary file, the older file stays as it was; where the folder
    // takes no new file, the older file is written in place, and the limit is found before its
    // first byte is touched. A link there is refused.
    out.file("shut/LISTWRIGHT.txt", 5000);
    out.mkdir("shut-link");
    out.symlink(elsewhere.at("victim.txt"), "shut-link/LISTWRIGHT.txt");
    for (const char *name : {"shut", "shut-link"})
        QCOMPARE(::chmod(out.at(name).constData(), 0555), 0);
    save(w, folder("shut-link"), true);
    QVERIFY(w.boxes.boxes.last().text.contains("is a link"));
    save(w, folder("missing"), true);
    const rlimit unlimited = [] { rlimit r{}; ::getrlimit(RLIMIT_FSIZE, &r); return r; }();
    const rlimit small{64 * 1024, unlimited.rlim_max};
    std::signal(SIGXFSZ, SIG_IGN);
    QCOMPARE(::setrlimit(RLIMIT_FSIZE, &small), 0);
    save(w, folder("good"), true);
    save(w, folder("shut"), true);
    QCOMPARE(::setrlimit(RLIMIT_FSIZE, &unlimited), 0);
    QCOMPARE(folderContents(QFile::decodeName(elsewhere.path())), untouched);

    // After the failures a save works again and comes out whole; in a folder that takes no new
    // file, a file that may be written is written in place.
    // The file it replaces is let go of afterwards, so the program holds no more files open.
    const auto openFiles = [] {
        QThreadPool::globalInstance()->waitForDone();
        return QDir("/proc/self/fd").count();
    };
    const qsizetype filesBefore = openFiles();
    save(w, folder("good"));
    QCOMPARE(openFiles(), filesBefore);
    const QMap<QString, QByteArray> goodSave = folderContents(folder("good"));
    QVERIFY(goodSave.value("LISTWRIGHT.txt").endsWith("\r\n\r\nFiles: 0    B \r\n" + listing));
    save(w, folder("shut"));
    QCOMPARE(folderContents(folder("shut")), goodSave);
    // A shorter listing written in place keeps nothing of the longer one.
    f.lstBigFileList->clear();
    save(w, folder("good"));
    save(w, folder("shut"));
    QCOMPARE(folderContents(folder("shut")), folderContents(folder("good")));

    // A file that may not be written is refused in the system's words, in either folder.
    for (const char *name : {"good", "shut"}) {
        QCOMPARE(::chmod(out.at(name) + "/LISTWRIGHT.txt", 0444), 0);
        save(w, folder(name), true);
        QCOMPARE(w.boxes.boxes.last().text, QString::fromLocal8Bit(::strerror(EACCES)));
    }
}

// A full file system, in both ways of saving: the error box with the system's reason, and the
// older file (1,700 bytes) as it was. The file system is a small tmpfs in a mount namespace of
// the test's own, which goes away with it; the saves run as "nobody".
void SaveToFileTest::fullDisk()
{
    const QByteArray disk = qgetenv("LISTWRIGHT_FULL_DISK");
    if (disk.isEmpty()) {
        if (::geteuid() != 0 || QProcess::execute("unshare", {"-m", "true"}) != 0)
            QSKIP("a private file system needs the superuser and mount namespaces");
        TempTree mountPoint;
        QCOMPARE(::chmod(mountPoint.path().constData(), 0755), 0);
        const QString script = "mount -t tmpfs -o size=1m,mode=0777 listwright-test \"$1\" || exit 77\n"
                               "LISTWRIGHT_FULL_DISK=\"$1\" exec setpriv --reuid=nobody --regid=nogroup --clear-groups \"$2\" fullDisk";
        const AsNobody nobody;
        const int status = QProcess::execute("unshare", {"-m", "--propagation", "private", "sh", "-c", script, "sh",
                                                         QFile::decodeName(mountPoint.path()), nobody.testProgram()});
        if (status == 77)
            QSKIP("no tmpfs could be mounted");
        QCOMPARE(status, 0);
        return;
    }
    const QString top = QFile::decodeName(disk);
    for (const char *name : {"open", "shut"}) {
        QVERIFY(QDir(top).mkdir(name));
        QFile older(top + '/' + name + "/LISTWRIGHT.txt");
        QVERIFY(older.open(QIODevice::WriteOnly) && older.write(QByteArray(1700, name[0])) == 1700);
    }
    QCOMPARE(::chmod(QFile::encodeName(top + "/shut").constData(), 0555), 0);
    WindowFixture w(disk);
    for (int i = 0; i < 30000; ++i) // several megabytes
        w.f().lstBigFileList->addItem(QStringLiteral("/d/f%1 %2").arg(i).arg(QString(100, u'x')));
    for (const char *name : {"open", "shut"}) {
        save(w, top + '/' + name, true);
        QCOMPARE(w.boxes.boxes.last().text, QString::fromLocal8Bit(::strerror(ENOSPC)));
    }
}

// A folder whose name holds a control character, shown in the save path box with "?" while
// AutoUpdate is off: the save goes into that folder, not into a folder named with the "?".
// Text typed into the box is taken as typed.
void SaveToFileTest::controlCharacterFolder()
{
    TempTree tree;
    for (const char *name : {"a\x01""b", "a\x01""b/sub", "a?b", "a?b/sub"})
        tree.mkdir(name);
    WindowFixture w(tree.at("a\x01""b"));
    MainForm &f = w.f();
    f.chkAutoUpdate->setChecked(false);
    const QString shown = f.txtMyFilePath->text();
    QCOMPARE(shown, QFile::decodeName(tree.path()) + "/a?b");
    w.open(tree.at("a\x01""b/sub"));
    QCOMPARE(f.txtMyFilePath->text(), shown);
    save(w, shown);
    const auto saved = [&](const char *folder) { return QFileInfo::exists(QFile::decodeName(tree.at(folder) + "/LISTWRIGHT.txt")); };
    QVERIFY(saved("a\x01""b") && !saved("a?b") && !saved("a\x01""b/sub"));

    f.chkAutoUpdate->setChecked(true);
    QCOMPARE(f.txtMyFilePath->text(), shown + "/sub");
    save(w, shown);
    QVERIFY(saved("a?b") && !saved("a\x01""b/sub"));
}

// File > Save Scan As: the shown folder walked within the scans' scope, or a folder of an opened
// scan, into the file the user picks, read back as the folder lists; failures and Esc leave the
// folder as it was.
void SaveToFileTest::savesScans()
{
    if (ranAsNobody("savesScans")) // an unreadable folder and an unwritable one
        return;
    TempTree tree, out, elsewhere;
    for (const char *folder : {"a/deep", "shut", "skip"})
        tree.mkdir(folder);
    for (const auto &[file, size] : {std::pair{"a/f", 100}, {"a/deep/x", 300}, {"top.txt", 7}, {"skip/s", 5}, {"shut/h", 1}})
        tree.file(file, size);
    tree.symlink("a/f", "link");
    elsewhere.file("victim", 10);
    out.mkdir("shut");
    QCOMPARE(::chmod(tree.at("shut").constData(), 0), 0);
    QCOMPARE(::chmod(out.at("shut").constData(), 0555), 0);
    const auto reopen = qScopeGuard([&] { ::chmod(tree.at("shut").constData(), 0755); });
    WindowFixture w(tree.path());
    MainForm &f = w.f();
    QString answer;
    f.scanFileDialog = [&](const QString &caption, bool forSaving) {
        return caption == "Listwright - Save Scan As" && forSaving ? answer : QString();
    };
    const auto to = [&](const char *name) { return QFile::decodeName(out.at(name)); };
    const auto saveScan = [&](const QString &path) {
        answer = path;
        w.boxes.clear();
        f.mnuSaveScan->trigger();
        QVERIFY(f.window->windowTitle() == "Listwright" && f.window->cursor().shape() != Qt::WaitCursor);
    };
    const auto contents = [](const QString &path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    };
    const auto withoutTime = [](const QByteArray &text) { return text.mid(text.indexOf('\n')); };

    // Nothing without a file; the folder walked as the export walks it, the unreadable folder
    // marked, and read back as the folder lists.
    saveScan(QString());
    QVERIFY(folderContents(to("")).keys() == QStringList{"shut"} && w.boxes.boxes.isEmpty());
    saveScan(to("tree.json"));
    QCOMPARE(f.StatusBar1->currentMessage(), "Scan saved to " + to("tree.json"));
    const QByteArray saved = contents(to("tree.json"));
    QCOMPARE(withoutTime(saved), withoutTime(listed({"--format", "json", tree.path()})));
    QVERIFY(saved.contains("{\"name\":\"shut\",") && saved.contains("\"read_error\":true"));
    QCOMPARE(listed({"--from", out.at("tree.json"), "--folder-sizes"}), listed({"--folder-sizes", tree.path()}));

    // After a count of folder sizes, the scan the window made is saved as it is, walked no
    // more: the same bytes while nothing changed, and a file removed since is still in it.
    f.chkFolderSize->setChecked(true);
    QVERIFY(f.ScannedTree);
    saveScan(to("sized.json"));
    QCOMPARE(withoutTime(contents(to("sized.json"))), withoutTime(saved));
    QCOMPARE(::unlink(tree.at("top.txt").constData()), 0);
    saveScan(to("sized.json"));
    QCOMPARE(withoutTime(contents(to("sized.json"))), withoutTime(saved));
    f.chkFolderSize->setChecked(false);
    saveScan(to("unsized.json"));
    QVERIFY(!contents(to("unsized.json")).contains("top.txt") && contents(to("unsized.json")).contains("\"name\":\"a\""));
    tree.file("top.txt", 7);

    // From an opened scan: a folder of it alone, read back as that folder lists.
    auto scan = std::make_shared<ScanTree>();
    QVERIFY(readScanFile(to("tree.json"), *scan).ok());
    f.OpenedScan = scan;
    f.ScanFolder = scan->find("a");
    saveScan(to("a.json"));
    QCOMPARE(listed({"--from", out.at("a.json"), "--recursive"}), listed({"--recursive", tree.at("a")}));
    f.OpenedScan.reset();

    // A link in the file's place is replaced, never written through; a folder that takes no
    // file, or a shown folder that cannot be read, is told with its path, and nothing is written.
    out.symlink(elsewhere.at("victim"), "link.json");
    saveScan(to("link.json"));
    QVERIFY(!contents(to("link.json")).isEmpty() && !QFileInfo(to("link.json")).isSymLink());
    QCOMPARE(folderContents(QFile::decodeName(elsewhere.path())).value("victim").size(), 10);
    const QMap<QString, QByteArray> before = folderContents(to(""));
    saveScan(to("shut/x.json"));
    QCOMPARE(w.boxes.titles(), QStringList{"Listwright - Save Scan As"});
    QCOMPARE(w.boxes.boxes[0].text, QString::fromLocal8Bit(::strerror(EACCES)) + '\r' + to("shut/x.json"));
    w.open(tree.at("a"));
    QCOMPARE(::chmod(tree.at("a").constData(), 0), 0);
    saveScan(to("tree.json"));
    QCOMPARE(::chmod(tree.at("a").constData(), 0755), 0);
    QCOMPARE(w.boxes.titles(), QStringList{"Listwright - Save Scan As"});
    QCOMPARE(w.boxes.boxes[0].text, QString::fromLocal8Bit(::strerror(EACCES)) + '\r' + QFile::decodeName(tree.at("a")));
    QCOMPARE(folderContents(to("")), before);

    // Within the scans' scope: the names Exclude leaves out are marked as the export marks them.
    QVERIFY(writeViewChoices(viewSettingsFile(), {.exclusions = "skip"}, nullptr));
    WindowFixture scoped(tree.path());
    QVERIFY(writeViewChoices(viewSettingsFile(), {}, nullptr));
    scoped.f().scanFileDialog = f.scanFileDialog;
    answer = to("scoped.json");
    scoped.f().mnuSaveScan->trigger();
    QCOMPARE(withoutTime(contents(answer)), withoutTime(listed({"--format", "json", "--exclude", "skip", tree.path()})));
    QVERIFY(contents(answer).contains("{\"name\":\"skip\",\"excluded\":\"pattern\"}"));
}

QTEST_MAIN(SaveToFileTest)
#include "tst_savetofile.moc"
