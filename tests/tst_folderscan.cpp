// SPDX-License-Identifier: GPL-3.0-or-later
// The folder list scan and the recursive listing through the real window: lines, sizes, totals,
// the parent folder line, errors on the way, the option boxes, the load, and the stop command.
#include "scan/ByteConverter.h"
#include "scan/DirFolderView.h"
#include "scan/ScanPump.h"
#include "scan/ScanSteps.h"
#include "shared/MainForm.h"
#include "support/PumpCounter.h"
#include "support/TempTree.h"
#include "support/WindowFixture.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QMainWindow>
#include <QProcess>
#include <QPushButton>
#include <QtTest>
#include <span>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

class FolderScanTest : public QObject {
    Q_OBJECT
private slots:
    void linesTotalsAndLinks();
    void sizesAgreeWithFind();
    void folderReachedAgainBelowItself();
    void namesThatBreakOrReorderALine();
    void unreadableFoldersAreReportedAndSkipped();
    void goneFolderIsReportedOnce();
    void eventsAreProcessedInFoldersWithoutFiles();
    void workersShowWhatOneWalkShows();
    void stopDuringParallelCountLeavesNoLateLine();
    void recursiveListingAndColumns();
    void stopWithoutScanAndOtherKeys();
};

static QString str(const QByteArray &b) { return QString::fromUtf8(b); }

// Root reads everything, shut folders too: as root, runs the test function again as an
// unprivileged user, checks that it passed there, and answers true.
static bool ranAsNobody(const char *function)
{
    if (::geteuid() != 0)
        return false;
    const int status = QProcess::execute("setpriv", {"--reuid=nobody", "--regid=nogroup", "--clear-groups",
                                                     QCoreApplication::applicationFilePath(), function});
    QTest::qVerify(status == 0, "status == 0", function, __FILE__, __LINE__); // fails the caller
    return true;
}

void FolderScanTest::linesTotalsAndLinks()
{
    TempTree t;
    t.mkdir("S/A/deeper");
    t.mkdir("S/huge/inner");
    t.mkdir("S/real/loop");
    t.file("S/A/one", 1000);
    t.file("S/A/deeper/.hidden", 536);          // hidden files count
    t.file("S/huge/inner/a", 6'000'000'000LL);  // sparse
    t.file("S/huge/b", 4'000'000'000LL);
    t.file("S/real/caf\xe9-latin1.txt", 1024);  // not valid UTF-8: still counted
    t.symlink(t.at("S"), "S/real/loop/back");   // a loop below a subfolder
    t.symlink(t.at("S/real"), "S/alias");       // a link right under the folder: listed, not walked
    t.file("S/.own-hidden", 24);
    WindowFixture w(t.path());
    w.open(t.at("S"));
    w.f().chkFolderSize->setChecked(true);

    // Every line is the longest path + 1 + 10 long, sizes in one column; 10,000,000,000 bytes
    // and more get exactly two blanks.
    const QString alias = str(t.at("S/alias"));
    const auto line = [&](const char *sub, const char *size) {
        return str(t.at(sub)).leftJustified(alias.size() + 11 - qstrlen(size)) + size;
    };
    // The links count their own lengths: the one below real in real's line, the one right under
    // the folder in its own line. The lines and the own files make the total.
    const int64_t real = 1024 + t.at("S").size(), aliasLength = t.at("S/real").size();
    const QByteArray realText = ByteConverter(double(real)).toLatin1(), aliasText = ByteConverter(double(aliasLength)).toLatin1();
    QCOMPARE(w.folderLines(), QStringList({line("S/A", "1.50 KB"), line("S/alias", aliasText.constData()),
                                           str(t.at("S/huge")) + "  9.31 GB", line("S/real", realText.constData())}));
    QCOMPARE(w.f().FolderLinesBytes, 10'000'001'536LL + real + aliasLength);
    QCOMPARE(w.f().FolderTotalBytes, w.f().FolderLinesBytes + 24);
    QCOMPARE(w.f().txtParentFolder->text(), str(t.at("S")) + "/*.*  9.31 GB");

    // Switching sizes off forgets the total; the root keeps its single "/".
    w.f().chkFolderSize->setChecked(false);
    QCOMPARE(w.folderLines().first(), str(t.at("S/A")));
    QCOMPARE(w.f().txtParentFolder->text(), str(t.at("S")) + "/*.*");
    w.open("/");
    QCOMPARE(w.f().txtParentFolder->text(), QStringLiteral("/*.*"));
    QVERIFY(w.boxes.boxes.isEmpty());

    // The caption grows by a dot per subfolder and starts again at 100 characters.
    QCOMPARE(advancedCaption(ScanningCaption.leftJustified(99, u'.')).size(), 100);
    QCOMPARE(advancedCaption(ScanningCaption.leftJustified(100, u'.')), QStringLiteral("Listwright - Scanning ."));
}

namespace {
// What find reports for `folder` (only its own files when `ownOnly`): the bytes of the files
// not in `seen` yet, which then are.
int64_t findBytes(const QByteArray &folder, bool ownOnly, QSet<QByteArray> &seen)
{
    QProcess find;
    QStringList args{QFile::decodeName(folder)};
    if (ownOnly)
        args << "-maxdepth" << "1";
    find.start("find", args << "!" << "-type" << "d" << "-printf" << "%D %i %s\n");
    find.waitForFinished(-1);
    int64_t bytes = 0;
    for (const QByteArray &line : find.readAllStandardOutput().split('\n')) {
        const QByteArrayList fields = line.split(' ');
        if (fields.size() == 3 && !seen.contains(fields[0] + ' ' + fields[1])) {
            seen.insert(fields[0] + ' ' + fields[1]);
            bytes += fields[2].toLongLong();
        }
    }
    return bytes;
}

// The bytes each folder line shows, as the window's lines end in their size text.
QStringList sizeTexts(const QStringList &lines)
{
    QStringList sizes;
    for (const QString &line : lines)
        sizes << line.mid(line.lastIndexOf(QRegularExpression("  [0-9]")) + 2).trimmed();
    return sizes;
}
}

void FolderScanTest::sizesAgreeWithFind()
{
    // Links in and out of the tree, to the kernel's memory, to an endless device and to nothing
    // count their own length; a file of four names (two in one subfolder's tree, one in a later
    // subfolder, one of the folder's own) counts once, in the first line whose tree holds it.
    TempTree t;
    for (const char *dir : {"S/A/inner", "S/B/deep/er", "S/C", "outside"})
        t.mkdir(dir);
    t.file("S/A/inner/x", 3000);
    t.hardLink("S/A/inner/x", "S/A/inner/x2");
    t.hardLink("S/A/inner/x", "S/B/deep/er/z");
    t.hardLink("S/A/inner/x", "S/w");
    t.file("outside/big", 1LL << 30);
    t.symlink(t.at("outside/big"), "S/A/out");
    t.symlink("../A/inner/x", "S/B/in");
    t.symlink("/proc/kcore", "S/B/kcore");
    t.symlink("/dev/zero", "S/C/zero");
    t.symlink("nothing-here", "S/C/dangling");
    t.file("S/C/c", 100);
    t.symlink("../A", "S/C/toA");   // a link to a folder: counted with its own length, not walked
    t.symlink("C", "S/linkC");      // right under the folder: a line of the link's own length
    t.file("S/own", 10);
    WindowFixture w(t.at("S"));
    MainForm &f = w.f();
    f.chkFolderSize->setChecked(true);

    QSet<QByteArray> seen;
    QStringList expected;
    int64_t total = 0;
    for (const char *sub : {"S/A", "S/B", "S/C"}) {
        const int64_t bytes = findBytes(t.at(sub), false, seen);
        expected << ByteConverter(double(bytes)).trimmed();
        total += bytes;
    }
    expected << "1    B";
    total += findBytes(t.at("S"), true, seen);
    QCOMPARE(sizeTexts(w.folderLines()), expected);
    QCOMPARE(expected.mid(1, 2), QStringList({"23    B", "125    B"})); // B: two links, no third count of x
    QCOMPARE(f.FolderTotalBytes, total);
    QVERIFY(w.boxes.boxes.isEmpty());

    // The recursive listing: a line for every name, each with its file's length; the same total.
    f.chkRecursive->setChecked(true);
    const QString s = str(t.at("S")) + '/';
    QVERIFY(w.fileLines().contains(s + "A/inner/x2 2.93 KB"));
    QVERIFY(w.fileLines().contains(s + "B/deep/er/z 2.93 KB"));
    QVERIFY(w.fileLines().contains(s + "C/zero 9    B "));
    QCOMPARE(f.FolderTotalBytes, total);
    QCOMPARE(sizeTexts(w.folderLines()), expected);
}

void FolderScanTest::folderReachedAgainBelowItself()
{
    // A folder mounted again inside itself needs a mount namespace of the test's own.
    if (qgetenv("LISTWRIGHT_OWN_MOUNTS") != "1") {
        if (::geteuid() != 0 || QProcess::execute("unshare", {"-m", "true"}) != 0)
            QSKIP("mounting needs the superuser and mount namespaces");
        QProcess self;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("LISTWRIGHT_OWN_MOUNTS", "1");
        self.setProcessEnvironment(env);
        self.start("unshare", {"--mount", "--propagation", "private", QCoreApplication::applicationFilePath(),
                               "folderReachedAgainBelowItself"});
        QVERIFY(self.waitForFinished(120000));
        const QByteArray output = self.readAll();
        QVERIFY2(self.exitCode() == 0, output.constData());
        if (output.contains("SKIP   :"))
            QSKIP("no bind mount could be made");
        return;
    }
    TempTree t;
    for (const char *dir : {"S/A/B/again", "S/C/again", "S/D", "S/E/twin", "S/C/ok", "S/C/z"})
        t.mkdir(dir);
    t.file("S/A/a", 100);
    t.file("S/A/B/b", 20);
    t.file("S/C/c", 3);
    t.file("S/E/e", 4);
    t.file("S/C/ok/q", 5);
    // A/B/again is A itself, C/again is S, the folder whose list is counted, C/z is C/ok, D is
    // A again and E/twin is A/B: each is counted once, the first time it is met, as
    // `du -sb A C D E` counts, also where workers split a tree into pieces walked apart.
    const std::pair<const char *, const char *> mounts[] = {
        {"S/A", "S/A/B/again"}, {"S", "S/C/again"}, {"S/A", "S/D"}, {"S/A/B", "S/E/twin"}, {"S/C/ok", "S/C/z"}};
    struct Unmount { // undone before the tree is removed
        const TempTree &t;
        ~Unmount() { for (const char *at : {"S/C/z", "S/E/twin", "S/D", "S/C/again", "S/A/B/again"}) ::umount(t.at(at).constData()); }
    } unmount{t};
    if (::mount(t.at(mounts[0].first).constData(), t.at(mounts[0].second).constData(), nullptr, MS_BIND, nullptr) != 0)
        QSKIP("no bind mount could be made"); // a container may forbid it
    for (const auto &[from, at] : std::span(mounts).subspan(1))
        QCOMPARE(::mount(t.at(from).constData(), t.at(at).constData(), nullptr, MS_BIND, nullptr), 0);
    for (int workers : {0, 1, 2, 5}) { // workers counting trees apart agree
        WindowFixture w(t.at("S"));
        w.window->scans().options.workers = workers;
        w.f().chkFolderSize->setChecked(true);
        QCOMPARE(sizeTexts(w.folderLines()), QStringList({"120    B", "8    B", "0    B", "4    B"}));
        QCOMPARE(w.f().FolderTotalBytes, 132);
    }
}

void FolderScanTest::namesThatBreakOrReorderALine()
{
    // Names with a next line (U+0085), a line separator, a right-to-left override, an isolate and
    // an Arabic letter mark: every place that shows or writes them shows "?" instead, and the
    // files are still counted through their real names.
    TempTree t;
    t.mkdir("S/bi\xe2\x80\xae" "da"); // U+202E
    t.file("S/bi\xe2\x80\xae" "da/re\xe2\x80\xa8port.txt", 2048);  // U+2028
    t.file("S/report\xe2\x80\xae" "fdp.exe", 1024);
    t.file("S/n\xc2\x85l", 1);                      // U+0085
    t.file("S/is\xe2\x81\xa6o\xd8\x9c", 1);          // U+2066, U+061C
    WindowFixture w(t.at("S"));
    MainForm &f = w.f();
    f.chkRecursive->setChecked(true);
    const QString s = str(t.at("S")) + '/';
    QCOMPARE(w.folderLines(), QStringList({s + "bi?da    2.00 KB"}));
    QCOMPARE(w.fileLines().first(), s + "bi?da/re?port.txt 2.00 KB");
    QVERIFY(w.fileLines().filter(QRegularExpression("^" + QRegularExpression::escape(s) + "report\\?fdp\\.exe 1024    B ")).size() == 1);
    QCOMPARE(f.FolderTotalBytes, 2048 + 1024 + 2);

    // Printed and saved as they show.
    f.cmdPrint->click();
    QCOMPARE(w.printer.documents.size(), 1);
    QCOMPARE(w.printer.documents[0].filter("report?fdp.exe").size(), 1);
    f.cmdSaveToFile->click();
    QFile saved(QFile::decodeName(t.at("S/LISTWRIGHT.txt")));
    QVERIFY(saved.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(saved.readAll());
    QCOMPARE(text.count("report?fdp.exe"), 1);
    const QRegularExpression hidden("[\\x{0}-\\x{9}\\x{b}-\\x{c}\\x{e}-\\x{1f}\\x{7f}-\\x{9f}\\x{2028}\\x{2029}\\x{202a}-\\x{202e}"
                                    "\\x{2066}-\\x{2069}\\x{200e}\\x{200f}\\x{61c}]");
    QStringList shown = w.folderLines() + w.fileLines() + w.printer.documents[0];
    shown << f.txtParentFolder->text() << f.txtMyFilePath->text() << text;
    for (const ScriptedMessageBoxes::Box &box : w.boxes.boxes)
        shown << box.text;
    for (const QString &line : shown)
        QVERIFY2(!line.contains(hidden), qPrintable(line));
}

void FolderScanTest::unreadableFoldersAreReportedAndSkipped()
{
    if (ranAsNobody("unreadableFoldersAreReportedAndSkipped"))
        return;
    // Shut folders, and folders that may be read but not searched (B/rw, of 40 files and a folder,
    // and B/ok/rw of a folder alone): one problem each, naming the folder.
    TempTree t;
    for (const char *sub : {"S/A", "S/B/ok/rw/sub", "S/B/rw/sub", "S/B/shut", "S/C"})
        t.mkdir(sub);
    t.file("S/A/x", 100);
    t.file("S/B/ok/y", 200);
    t.file("S/B/shut/z", 300);
    t.file("S/C/w", 400);
    for (int i = 0; i < 40; ++i)
        t.file("S/B/rw/f" + QByteArray::number(i), 1);
    for (const auto &[shut, mode] : {std::pair{"S/A", 0}, {"S/B/shut", 0}, {"S/B/rw", 0600}, {"S/B/ok/rw", 0600}})
        ::chmod(t.at(shut).constData(), mode);
    WindowFixture w(t.path());
    w.open(t.at("S"));
    w.f().chkFolderSize->setChecked(true);

    QCOMPARE(w.boxes.boxes.size(), 8);
    QCOMPARE(w.boxes.boxes[0].text, QStringLiteral("Error Description: Permission denied"));
    const QString where = "Current Folder Path  is: " + str(t.at("S")) + " Current File is: ";
    for (int i = 0; const char *shut : {"S/A", "S/B/ok/rw", "S/B/rw", "S/B/shut"})
        QCOMPARE(w.boxes.boxes[2 * i++ + 1].text, where + str(t.at(shut)));
    // The readable siblings' bytes still count.
    QCOMPARE(sizeTexts(w.folderLines()), QStringList({"0    B", "200    B", "400    B"}));
    // The current folder that cannot be searched: one problem, its own.
    ::chmod(t.at("S").constData(), 0600);
    w.boxes.clear();
    w.f().chkFolderSize->setChecked(false);
    w.f().chkFolderSize->setChecked(true);
    QCOMPARE(w.boxes.boxes.size(), 2);
    QCOMPARE(w.boxes.boxes[1].text, where + str(t.at("S")));
}

void FolderScanTest::goneFolderIsReportedOnce()
{
    // A file removed at the scan's first pump, before it was counted: its box names the folder
    // that held it.
    TempTree t;
    t.wide("S", 3, 4);
    WindowFixture w(t.at("S"));
    w.window->scans().options = ScanOptions{0, 0};
    QTimer::singleShot(0, [&] { ::unlink(t.at("S/d0/f3").constData()); });
    w.f().chkFolderSize->setChecked(true);
    QCOMPARE(w.boxes.titles(), QStringList({"Listwright Error", "Problem Found?"}));
    QCOMPARE(w.boxes.boxes[1].text, "Current Folder Path  is: " + str(t.at("S/d0")) + " Current File is: f3");
    // The current folder was removed; then folder sizes are switched on again: one report
    // naming it, no box for each subfolder or file the window still shows, and the window idle.
    w.f().chkFolderSize->setChecked(false);
    w.boxes.clear();
    QVERIFY(QDir(str(t.at("S"))).removeRecursively());
    w.f().chkFolderSize->setChecked(true);
    QCOMPARE(w.boxes.titles(), QStringList({"Listwright Error", "Problem Found?"}));
    QVERIFY(w.boxes.boxes[1].text.endsWith(" is: " + str(t.at("S"))));
    QCOMPARE(w.f().window->windowTitle(), QStringLiteral("Listwright"));
}

void FolderScanTest::eventsAreProcessedInFoldersWithoutFiles()
{
    TempTree t;
    for (int i = 0; i < 300; ++i)
        t.mkdir("empty/e" + QByteArray::number(i) + "/inner");
    WindowFixture w(t.path());
    w.open(t.at("empty"));
    w.window->scans().options = ScanOptions{0, 0};
    PumpCounter counter;
    w.f().chkFolderSize->setChecked(true);
    // Not a single file, yet the window had its turn at every folder.
    QVERIFY(counter.pumps() >= 600);
    QCOMPARE(w.folderLines().size(), 300);
}

void FolderScanTest::workersShowWhatOneWalkShows()
{
    if (ranAsNobody("workersShowWhatOneWalkShows"))
        return;
    // Problems in several subfolders, between files and at several depths: a shut folder, one
    // that may be read but not searched (a folder in it too: still one problem when its tree is
    // split), and chains deeper than the walker goes. Names of one file in several subfolders.
    TempTree t;
    for (const char *sub : {"S/A/a1", "S/A/shut", "S/B", "S/C/c1/shut/in", "S/D", "S/E/ok", "S/F"})
        t.mkdir(sub);
    t.mkdir("S/B/" + QByteArray("d/").repeated(101) + "end");
    t.mkdir("S/D/" + QByteArray("e/").repeated(102));
    for (const char *file : {"S/A/a1/x", "S/A/shut/no", "S/A/z", "S/B/m", "S/B/d/d/n", "S/C/c1/k", "S/C/c1/shut/no",
                             "S/D/e/p", "S/E/ok/q", "S/own"})
        t.file(file, qstrlen(file) * 100);
    t.file("S/F/big", 5000);
    t.hardLink("S/F/big", "S/A/a1/big-too"); // counted in A, the first that holds it
    t.hardLink("S/F/big", "S/E/big-too");
    t.hardLink("S/F/big", "S/big-own");
    // A folder of more files than one worker stats at a time, one file under two names in
    // different slices of it. Trees enough to be handed out in batches come first, so that the
    // trees above are split as the work left runs short.
    t.mkdir("S/H");
    for (int i = 0; i < 4099; ++i)
        t.file("S/H/h" + QByteArray::number(i).rightJustified(4, '0'), i == 0 ? 3000 : 1);
    t.hardLink("S/H/h0000", "S/H/h4099");
    for (int i = 0; i < 70; ++i) {
        const QByteArray small = "S/0y" + QByteArray::number(i).rightJustified(2, '0');
        t.mkdir(small);
        t.file(small + "/y", 7);
    }
    ::chmod(t.at("S/A/shut").constData(), 0);
    ::chmod(t.at("S/C/c1/shut").constData(), 0600);

    struct Seen {
        QStringList folderLines, fileLines, boxes;
        qint64 total;
        bool operator==(const Seen &) const = default;
    };
    const auto scan = [&](int workers, bool recursive) {
        WindowFixture w(t.path());
        w.window->scans().options.workers = workers;
        w.open(t.at("S"));
        (recursive ? w.f().chkRecursive : w.f().chkFolderSize)->setChecked(true);
        Seen seen{w.folderLines(), w.fileLines(), {}, qint64(w.f().FolderTotalBytes)};
        for (const ScriptedMessageBoxes::Box &box : w.boxes.boxes)
            seen.boxes << box.title + ": " + box.text;
        return seen;
    };
    for (bool recursive : {false, true}) {
        const Seen one = scan(0, recursive);
        QCOMPARE(one.boxes.size(), 8); // two folders shut, two depth errors: two boxes each
        QVERIFY(one.boxes[1].endsWith(str(t.at("S/A/shut"))));
        QVERIFY(one.boxes[5].endsWith(str(t.at("S/C/c1/shut"))));
        for (int workers : {1, 2, 5}) {
            const Seen many = scan(workers, recursive);
            QCOMPARE(many.folderLines, one.folderLines);
            QCOMPARE(many.fileLines, one.fileLines);
            QCOMPARE(many.boxes, one.boxes);
            QCOMPARE(many.total, one.total);
        }
        if (recursive) {
            QCOMPARE(one.fileLines.filter("big").size(), 4); // every name gets its line, the own one too
        } else {
            // The file of four names counts once, in A's line.
            QVERIFY(one.folderLines[70].trimmed().endsWith(" 6.15 KB")); // 5000 + 800 + 500 bytes
            QVERIFY(one.folderLines[74].trimmed().endsWith(" 800    B"));
            QVERIFY(one.folderLines[75].trimmed().endsWith(" 0    B"));
            QVERIFY(one.folderLines[76].trimmed().endsWith(" 6.93 KB")); // 3000 + 4098 bytes
        }
    }
    for (const char *shut : {"S/A/shut", "S/C/c1/shut"})
        ::chmod(t.at(shut).constData(), 0755);
}

void FolderScanTest::stopDuringParallelCountLeavesNoLateLine()
{
    TempTree t;
    t.wide("S", 60, 40);
    WindowFixture w(t.path());
    w.window->scans().options = ScanOptions{0, 2};
    w.open(t.at("S"));
    w.window->show();
    w.window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w.window.get()));
    w.f().lstFolders->setFocus();
    // Esc once the first lines show, while the workers are counting further trees.
    bool stopped = false;
    QTimer esc;
    QObject::connect(&esc, &QTimer::timeout, [&] {
        if (!stopped && w.f().lstBigFileList->count() > 0) {
            stopped = true;
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        }
    });
    esc.start(0);
    w.f().chkRecursive->setChecked(true);
    esc.stop();
    QVERIFY(stopped);
    const QStringList atStop = w.fileLines();
    QVERIFY(atStop.size() < 60 * 40);
    // Whatever the workers had counted never reaches the list.
    QTest::qWait(200);
    QCOMPARE(w.fileLines(), atStop);
    QCOMPARE(w.boxes.titles().first(), QStringLiteral("Listwright - STOP SIZE SCAN"));

    // Overtaken by another folder while the workers count: only the other folder's lines.
    t.wide("O", 3, 2);
    w.f().chkRecursive->setChecked(false);
    w.open(t.at("S"));
    bool moved = false;
    QTimer move;
    QObject::connect(&move, &QTimer::timeout, [&] {
        if (!moved && w.f().lstBigFileList->count() > 0) {
            moved = true;
            w.open(t.at("O"));
        }
    });
    move.start(0);
    w.f().chkRecursive->setChecked(true);
    move.stop();
    QVERIFY(moved);
    QTest::qWait(200);
    WindowFixture fresh(t.path());
    fresh.open(t.at("O"));
    fresh.f().chkRecursive->setChecked(true);
    QCOMPARE(w.fileLines(), fresh.fileLines());
    QCOMPARE(w.fileLines().size(), 3 * 2);
}

void FolderScanTest::recursiveListingAndColumns()
{
    TempTree t;
    t.mkdir("S/A/sub");
    t.mkdir("S/B");
    t.file("S/A/a1", 1536);
    t.file("S/A/MSCREATE.DIR", 10);
    t.file("S/A/sub/deep", 5);
    t.file("S/B/mscreate.dir", 20);
    t.file("S/own.txt", 100);
    WindowFixture w(t.at("S"));
    MainForm &f = w.f();
    f.chkModified->setChecked(false);
    f.chkRecursive->setChecked(true);

    // Folder sizes come on with it. Walk order: each subfolder tree depth first, files of a
    // folder in name order; "MSCREATE.DIR" is counted but listed only in another letter case.
    QVERIFY(isChecked(f.chkFolderSize));
    QVERIFY(w.folderLines()[0].endsWith(QStringLiteral("1.51 KB")) && w.folderLines()[1].endsWith("20    B "));
    const QString s = str(t.at("S")) + '/';
    QCOMPARE(w.fileLines(), QStringList({s + "A/a1 1.50 KB", s + "A/sub/deep 5    B ", s + "B/mscreate.dir 20    B ",
                                         s + "own.txt  100    B "}));
    QCOMPARE(f.txtParentFolder->text(), s + "*.*  1.63 KB");

    // Another folder while recursive: nothing of the previous folder stays.
    w.open(t.at("S/A"));
    QCOMPARE(w.fileLines(), QStringList({s + "A/sub/deep 5    B ", s + "A/a1" + QString(14, ' ') + "1.50 KB",
                                         s + "A/MSCREATE.DIR   10    B "}));
    // Unchecking lists the folder alone again; the columns follow their boxes without a
    // folder scan.
    f.chkRecursive->setChecked(false);
    f.window->setWindowTitle(QStringLiteral("untouched"));
    f.chkSize->setChecked(false);
    QCOMPARE(w.fileLines(), QStringList({"a1", "MSCREATE.DIR"}));
    QCOMPARE(f.window->windowTitle(), QStringLiteral("untouched"));

    // The save path follows the folder only while chkAutoUpdate is checked; toggling it copies.
    f.txtMyFilePath->setText(QStringLiteral("elsewhere"));
    f.chkAutoUpdate->setChecked(false);
    QCOMPARE(f.txtMyFilePath->text(), str(t.at("S/A")));
    f.txtMyFilePath->setText(QStringLiteral("elsewhere"));
    w.open(t.at("S"));
    QCOMPARE(f.txtMyFilePath->text(), QStringLiteral("elsewhere"));
    QVERIFY(w.boxes.boxes.isEmpty());
}

void FolderScanTest::stopWithoutScanAndOtherKeys()
{
    TempTree t;
    t.mkdir("S/A");
    t.file("S/A/x", 20);
    WindowFixture w(t.at("S"));
    w.window->show();
    QVERIFY(QTest::qWaitForWindowActive(w.window.get()));
    QWidget *list = w.f().lstFolders;
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Q, Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
    QVERIFY(w.boxes.boxes.isEmpty());
    // Esc with no scan running: the box, the list without sizes, and the request is dropped,
    // so the next size scan runs to its end.
    w.f().chkFolderSize->setChecked(true);
    QTest::keyClick(list, Qt::Key_Escape, Qt::ShiftModifier);
    QCOMPARE(w.boxes.titles(), QStringList({"Listwright - STOP SIZE SCAN"}));
    QCOMPARE(w.folderLines(), QStringList({str(t.at("S/A"))}));
    QVERIFY(!isChecked(w.f().chkFolderSize));
    w.f().chkFolderSize->setChecked(true);
    QVERIFY(w.folderLines()[0].endsWith(QStringLiteral("20    B ")));

    // The folder tree: moving only highlights, Enter opens.
    w.f().dirFolder->setFocus();
    QTest::keyClick(w.f().dirFolder, Qt::Key_Down);
    QCOMPARE(w.f().CurrentFolderPath, str(t.at("S")) + '/');
    QTest::keyClick(w.f().dirFolder, Qt::Key_Return);
    QCOMPARE(w.f().CurrentFolderPath, str(t.at("S/A")) + '/');
}

QTEST_MAIN(FolderScanTest)
#include "tst_folderscan.moc"
