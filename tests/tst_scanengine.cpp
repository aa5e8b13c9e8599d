// SPDX-License-Identifier: GPL-3.0-or-later
// The scan engine without a window: the folder walker, the tree counter and the two folder
// scans on real folders in a temporary directory, through a port that records what a window
// would show; and the scan session's rules.
#include "core/listing/Exclusions.h"
#include "core/scan/ByteConverter.h"
#include "core/scan/FolderLine.h"
#include "core/scan/engine/DirectoryList.h"
#include "core/scan/engine/EntrySink.h"
#include "core/scan/engine/FolderScan.h"
#include "core/scan/engine/FolderWalker.h"
#include "core/scan/engine/ParallelCount.h"
#include "core/scan/engine/ScanListener.h"
#include "window/scan/ScanSession.h"
#include "core/scan/engine/TreeCounter.h"
#include "core/scan/tree/ScanTreeSink.h"
#include "core/scan/tree/TreeRowsBuilder.h"
#include "core/shared/Text.h"
#include "support/HangMount.h"
#include "support/AsNobody.h"
#include "support/TempTree.h"

#include <QtTest>
#include <functional>
#include <map>
#include <span>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
// Every path a walk from `start` yields, relative to `start`; "(no walk)" when it cannot start.
QByteArrayList walkAll(FolderWalker &walker, DirectoryList &dir, const QByteArray &start)
{
    if (!walker.StartWalk(start, dir))
        return {"(no walk)"};
    QByteArrayList seen;
    for (QByteArray path; walker.NextFolder(path);)
        seen.append(path.mid(start.size() + 1));
    return seen;
}

// Records the problems it is told of; runs `onPump` at each pump and goes on unless it says no.
class TestListener : public ScanListener {
public:
    QStringList problems;
    std::function<ScanEnd(int)> onPump = [](int) { return ScanEnd::Completed; };
    int pumps = 0;
    long long reads = 0;
    explicit TestListener(ScanOptions options = {0, 0}) : ScanListener(options) {} // {0, ...}: a pump at every tick
    void folderRead() override { ++reads; }
    ScanEnd problem(const QString &description, const QString &entryName) override
    {
        problems << entryName + ": " + description;
        return ScanEnd::Completed;
    }
    ScanEnd fileProblem(const QString &description, const QString &name, const QString &folder) override
    {
        return problem(description, folder + '/' + name);
    }

protected:
    ScanEnd pump() override { return onPump(++pumps); }
};

// What a folder scan shows, as a window would show it: the folder lines with their size
// texts, the recursive file lines, each problem as "path: description" with a file's path
// whole, the lines' bytes and the own files'. Stops or goes on as `onPump` says.
struct Scanned {
    QStringList folderLines, fileLines, problems;
    QStringList fileKeys; // the file lines' keys: bytes, time, name's end, and the shown name
    int64_t linesBytes = 0, ownBytes = 0, passedOver = 0;
    int64_t linesFiles = 0, ownFiles = 0;
    ScanEnd end = ScanEnd::Completed;
    bool operator==(const Scanned &) const = default;
};

class RecordingPort : public ScanPort {
public:
    explicit RecordingPort(int workers, int pumpMs = 0, WalkScope scope = {}) : ScanPort(ScanOptions{pumpMs, workers, scope}) {}
    Scanned seen;
    std::function<ScanEnd(int)> onPump = [](int) { return ScanEnd::Completed; };
    int pumps = 0;
    long long reads = 0;

    void folderLine(const ScanSubfolder &subfolder, std::optional<ShownSize> size, int nameWidth) override
    {
        seen.folderLines << (size ? ::folderLine(subfolder.text, size->bytes, nameWidth) : subfolder.text);
        seen.linesBytes += size ? size->bytes : 0;
        seen.linesFiles += size ? size->files : 0;
    }
    void fileLines(const TextLines &lines) override
    {
        seen.fileLines << lines.toStringList();
        for (qsizetype i = 0; i < lines.size(); ++i)
            fileKey(lines.keys().value(i), lines.shownName(i, lines.keys().value(i).nameEnd));
    }
    void fileKey(LineKey key, const QByteArray &name)
    {
        seen.fileKeys << QString::asprintf("%lld %lld %d ", qlonglong(key.bytes), qlonglong(key.modified), key.nameEnd)
                             + QString::fromUtf8(name);
    }
    void ownFilesCounted(ShownSize size) override
    {
        seen.ownBytes = size.bytes;
        seen.ownFiles = size.files;
    }
    void passedOver(int64_t entries) override { seen.passedOver = entries; }
    ScanEnd problem(const QString &description, const QString &entryName) override
    {
        seen.problems << entryName + ": " + description;
        return ScanEnd::Completed;
    }
    ScanEnd fileProblem(const QString &description, const QString &name, const QString &folder) override
    {
        return problem(description, folder + '/' + name);
    }
    void folderRead() override { ++reads; }
    // Where the folder list's count keeps what it meets, as the window's does; none: nowhere.
    ScanTree *keepInto = nullptr;
    WalkKeeper *keeper() override
    {
        if (keepInto && !builder)
            builder.emplace(*keepInto);
        return keepInto ? &*builder : nullptr;
    }
    // Where the recursive scan keeps what it meets, its lines rows of it; none: nowhere.
    std::shared_ptr<ScanTree> keepRows;
    WalkKeeper *recursiveKeeper(bool diskUsage) override
    {
        if (!keepRows)
            return nullptr;
        rowsBuilder = std::make_unique<TreeRowsBuilder>(
            keepRows, diskUsage, [this](const std::shared_ptr<const LineMaker> &maker, qsizetype line, LineKey key) {
                TextLines one;
                one.appendMade(maker, line, key);
                fileLines(one);
            });
        return rowsBuilder.get();
    }

protected:
    ScanEnd pump() override { return onPump(++pumps); }

private:
    std::optional<ScanTreeBuilder> builder;
    std::unique_ptr<TreeRowsBuilder> rowsBuilder;
};

// The folder list scan of `folder` (with sizes, or after the recursive scan, which turns them
// on) with `workers` counting threads, as the window's refresh runs them.
Scanned scanFolder(const QByteArray &folder, bool sizes, bool recursive, int workers,
                   RecordingPort *port = nullptr, bool diskUsage = false)
{
    RecordingPort own(workers);
    RecordingPort &p = port ? *port : own;
    DirectoryList list;
    list.setPath(folder);
    FolderScanStart start = folderScanStart(list);
    if (p.options().scope.exclude)
        leaveOut(start, *p.options().scope.exclude);
    CountedSizes counted;
    if (recursive && (p.seen.end = scanRecursiveFiles(p, start, {true, diskUsage}, recursiveListingLine, counted)) != ScanEnd::Completed)
        return p.seen;
    p.seen.end = scanFolderList(p, start, {sizes || recursive, diskUsage}, recursive ? &counted : nullptr);
    return p.seen;
}

// Each entry of `tree` below its top, a line each: its path below the top, length (not a
// folder's), whether it counts, its problem, flags and the end of its part of the walk; and
// with the totals of each folder walked.
QStringList treeDump(const ScanTree &tree)
{
    QStringList dump;
    const qsizetype top = tree.path(0).size();
    for (ScanTree::Index i = 1; i < tree.size(); ++i) {
        const ScanTree::Entry &e = tree.at(i);
        dump << QString::fromLatin1(tree.path(i).mid(top).toPercentEncoding("/"))
                    + QString::asprintf(" %lld %d %d %d %u", qlonglong(e.kind == FoundEntry::Kind::Folder ? 0 : e.length),
                                        int(e.counted()), int(e.problem), int(e.flags), tree.end(i));
        if (e.walked())
            dump.last() += QString::asprintf(" = %lld %lld %lld", qlonglong(tree.totals(i).bytes),
                                             qlonglong(tree.totals(i).allocated), qlonglong(tree.totals(i).files));
    }
    return dump;
}

// The folder list scan with sizes of `folder` by `workers`, keeping its tree as the window's
// does: it must show what the scan that keeps none shows, with sizes that are its tree's
// totals, and its tree must hold what the whole walk's holds (the top apart).
void checkKeptTree(const QByteArray &folder, int workers, bool diskUsage = false)
{
    ScanTree kept;
    RecordingPort port(workers);
    port.keepInto = &kept;
    QCOMPARE(scanFolder(folder, true, false, workers, &port, diskUsage), scanFolder(folder, true, false, workers, nullptr, diskUsage));
    ScanTree whole;
    TestListener listener(ScanOptions{0, 1});
    buildScanTree(folder, listener, whole);
    QCOMPARE(treeDump(kept), treeDump(whole));
    QCOMPARE(kept.totals(0).bytes, whole.totals(0).bytes);
    // The recursive scan that keeps its tree shows the same lines, made of the tree's rows,
    // with the same keys, and its tree is the same.
    RecordingPort rows(workers);
    rows.keepRows = std::make_shared<ScanTree>();
    const Scanned recursive = scanFolder(folder, true, true, workers, &rows, diskUsage);
    QCOMPARE(recursive, scanFolder(folder, true, true, workers, nullptr, diskUsage));
    QCOMPARE(treeDump(*rows.keepRows), treeDump(whole));
}

// The size texts the folder lines end in.
QStringList sizeTexts(const QStringList &lines)
{
    QStringList sizes;
    for (const QString &line : lines)
        sizes << line.mid(line.lastIndexOf(QRegularExpression("  [0-9]")) + 2).trimmed();
    return sizes;
}

// What a walk of `folder`'s trees and then its own files tells its sink, an event a line, and
// then its problems: by one walk, checked to be the same from the pieces of 1, 2 and 5 workers
// taken in walk order (else "pieces differ"). An entry is its name, its kind (Folder, File, Other), problem and reason not
// walked, length (not a folder's) and number of names.
class SinkText : public EntrySink, public PieceTaker {
public:
    QStringList lines;
    void enterFolder(const FoundEntry &f) override { lines << "enter " + describe(f); }
    void folderProblem(FoundEntry::Problem p) override { lines << "problem " + QString::number(int(p)); }
    void leaveFolder() override { lines << "leave"; }
    void entry(const FoundEntry &e) override { lines << describe(e); }
    void take(EntrySink &piece) override { lines += static_cast<SinkText &>(piece).lines; }
    static QString describe(const FoundEntry &e)
    {
        return QString::fromUtf8(e.name) + QString::asprintf(" %c%d%d %lld %d", "FFO"[int(e.kind)], int(e.problem), int(e.notWalked),
                                                             qlonglong(e.kind == FoundEntry::Kind::Folder ? 0 : e.length), int(e.links));
    }
};

QStringList walkText(const QByteArray &folder)
{
    DirectoryList list;
    list.setPath(folder);
    std::vector<QByteArray> trees;
    for (int i = 0; i < list.count(); ++i)
        trees.push_back(list.entry(i));
    QStringList one;
    for (int workers : {0, 1, 2, 5}) {
        TestListener listener;
        SinkText told;
        if (workers == 0) {
            TreeCounter counter(listener, folder);
            counter.setSink(&told);
            Tally tally;
            for (const QByteArray &tree : trees)
                counter.count(tree, tally);
            counter.countFiles(tally);
            one = told.lines + listener.problems;
            continue;
        }
        ParallelCount walk(folder, trees, workers, workers, {}, true, [] { return std::make_unique<SinkText>(); });
        SeenFiles seen;
        for (size_t i = 0; i <= trees.size(); ++i)
            walk.stream(i, listener, seen, told);
        if (told.lines + listener.problems != one)
            return {"pieces differ"};
    }
    return one;
}

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

// Mounting needs the superuser and a mount namespace of the test's own. Outside one, runs the
// test function again in one and answers how it went: empty when it passed (a failure fails
// the caller), else why it was skipped. Inside one, answers nothing: the caller goes on.
std::optional<QString> ranInOwnMounts(const char *function)
{
    if (qgetenv("LISTWRIGHT_OWN_MOUNTS") == "1")
        return std::nullopt;
    if (::geteuid() != 0 || QProcess::execute("unshare", {"-m", "true"}) != 0)
        return QStringLiteral("mounting needs the superuser and mount namespaces");
    QProcess self;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("LISTWRIGHT_OWN_MOUNTS", "1");
    self.setProcessEnvironment(env);
    self.setProcessChannelMode(QProcess::MergedChannels);
    self.start("unshare", {"--mount", "--propagation", "private", QCoreApplication::applicationFilePath(), function});
    const bool finished = self.waitForFinished(120000);
    const QByteArray output = self.readAll();
    QTest::qVerify(finished && self.exitCode() == 0, "passed", output.constData(), __FILE__, __LINE__);
    const qsizetype skip = output.indexOf("SKIP   :");
    return skip < 0 ? QString() : QString::fromUtf8(output.mid(skip, output.indexOf('\n', skip) - skip));
}

QString str(const QByteArray &b) { return QString::fromUtf8(b); }
} // namespace

class ScanEngineTest : public QObject {
    Q_OBJECT
private slots:
    void walkOrderEndsAndReads();
    void depthLimit();
    void linesSizesAndLinks();
    void foldersRememberedOnce();
    void folderReachedAgainBelowItself();
    void folderMetAgainOnHungShare();
    void workersShowWhatOneWalkShows();
    void unreadableAndGoneFolders();
    void pumpsAndStops();
    void removedFolderIsReportedOnce_data();
    void removedFolderIsReportedOnce();
    void bigFolderIsReadInPieces();
    void stopReachesOnlyItsScan();
    void scanTreeHoldsTheWalk();
    void excludedAlikeOnAnyWorkers();
};

void ScanEngineTest::walkOrderEndsAndReads()
{
    TempTree tree;
    constexpr int Width = 3000;
    for (int i = 0; i < Width; ++i)
        tree.mkdir("W/" + QByteArray::number(i));
    for (const char *name : {"S/B", "S/A/A2", "S/A/A1", "raw/\xff"})
        tree.mkdir(name);
    tree.symlink(tree.at("S"), "S/A/up");  // a loop back to the start
    tree.symlink(".", "S/A/A1/self");      // a loop onto itself
    DirectoryList dir;
    TestListener reads;
    FolderWalker walker(&reads);
    QCOMPARE(walkAll(walker, dir, tree.at("W")).size(), qsizetype(Width));
    QCOMPARE(reads.reads, 1LL + Width); // every folder listed once, the wide one too
    QCOMPARE(walkAll(walker, dir, tree.at("S")), QByteArrayList({"A", "A/A1", "A/A2", "B"}));
    QCOMPARE(walkAll(walker, dir, tree.at("missing")), QByteArrayList({"(no walk)"}));
    // A name that is not valid UTF-8 is walked through its own bytes.
    QCOMPARE(walkAll(walker, dir, tree.at("raw")), QByteArrayList({"\xff"}));
    // The kernel's views are not walked: /proc counts nothing, and below a folder that is
    // walked (/dev) the terminals' file system (/dev/pts) is passed over.
    QCOMPARE(walkAll(walker, dir, "/proc"), QByteArrayList());
    QCOMPARE(walker.currentFiles().size(), size_t(0));
    RecordingPort proc(0); // nor does a size scan of it read any of its folders
    scanFolder("/proc", true, false, 0, &proc);
    QCOMPARE(proc.reads, 0);
    const QByteArrayList dev = walkAll(walker, dir, "/dev");
    QVERIFY(!dev.isEmpty() && !dev.contains("pts"));
}

void ScanEngineTest::depthLimit()
{
    TempTree tree;
    tree.mkdir("deep101" + QByteArray("/d").repeated(101));
    tree.mkdir("deep101/z");
    DirectoryList dir;
    FolderWalker walker;
    // A hundred levels are walked; the 101st raises the depth error, and the walk goes on after it.
    QByteArray path;
    QVERIFY(walker.StartWalk(tree.at("deep101"), dir));
    for (int level = 1; level <= 100; ++level)
        QVERIFY(walker.NextFolder(path));
    QVERIFY_THROWS_EXCEPTION(WalkDepthError, walker.NextFolder(path));
    QVERIFY(walker.NextFolder(path));
    QCOMPARE(path, tree.at("deep101/z"));
}

void ScanEngineTest::linesSizesAndLinks()
{
    // Links in and out of the tree, to the kernel's memory, to an endless device, to a folder and
    // to nothing count their own length; a file of four names (two in one subfolder's tree, one
    // in a later subfolder, one of the folder's own) counts once, in the first line whose tree
    // holds it; hidden and sparse files and names that are not UTF-8 count as any other.
    TempTree t;
    for (const char *dir : {"S/A/inner", "S/B/deep/er", "S/C", "S/huge/in", "outside"})
        t.mkdir(dir);
    t.file("S/A/inner/x", 3000);
    t.hardLink("S/A/inner/x", "S/A/inner/x2");
    t.hardLink("S/A/inner/x", "S/B/deep/er/z");
    t.hardLink("S/A/inner/x", "S/w");
    t.file("S/A/inner/.hidden", 536);
    t.file("S/B/caf\xe9-latin1.txt", 1024);
    t.file("S/huge/in/a", 6'000'000'000LL);
    t.file("S/huge/b", 4'000'000'000LL);
    t.file("outside/big", 1LL << 30);
    t.symlink(t.at("outside/big"), "S/A/out");
    t.symlink("../A/inner/x", "S/B/in");
    t.symlink("/proc/kcore", "S/B/kcore");
    t.symlink("/dev/zero", "S/C/zero");
    t.symlink("nothing-here", "S/C/dangling");
    t.file("S/C/c", 100);
    t.symlink("../A", "S/C/toA");
    t.symlink(t.at("S"), "S/C/loop");
    t.symlink("C", "S/linkC"); // right under the folder: a line of the link's own length
    t.file("S/own", 10);

    QSet<QByteArray> seen;
    QStringList expected;
    int64_t total = 0;
    for (const char *sub : {"S/A", "S/B", "S/C", "S/huge", "S/linkC"}) {
        const int64_t bytes = findBytes(t.at(sub), false, seen);
        expected << ByteConverter(double(bytes)).trimmed();
        total += bytes;
    }
    total += findBytes(t.at("S"), true, seen);
    for (int workers : {0, 2}) {
        const Scanned s = scanFolder(t.at("S"), true, false, workers);
        QCOMPARE(sizeTexts(s.folderLines), expected);
        QCOMPARE(s.linesBytes + s.ownBytes, total);
        QVERIFY(s.problems.isEmpty());
        // Every line is the longest path + 1 + 10 long, the sizes in one column; 10,000,000,000
        // bytes and more get exactly two blanks.
        const qsizetype width = str(t.at("S/linkC")).size() + 11;
        for (int i : {0, 1, 2, 4})
            QCOMPARE(s.folderLines[i].size(), width);
        QCOMPARE(s.folderLines[3], str(t.at("S/huge")) + "  9.31 GB");
        // Files (links too) and their allocated bytes count as distinct inodes do.
        const auto find = [&](const char *sum) {
            QProcess sh;
            sh.start("sh", {"-c", "find \"$0\" -mindepth 1 ! -type d -printf '%D %i %b\\n' | sort -u | awk '{n+=" + QString(sum) + "} END {print n}'", str(t.at("S"))});
            sh.waitForFinished(-1);
            return sh.readAllStandardOutput().trimmed().toLongLong();
        };
        QCOMPARE(s.linesFiles + s.ownFiles, find("1"));
        const Scanned du = scanFolder(t.at("S"), true, false, workers, nullptr, true);
        QCOMPARE(du.linesBytes + du.ownBytes, find("$3*512"));
        QCOMPARE(du.linesFiles, s.linesFiles);
        checkKeptTree(t.at("S"), workers);
        checkKeptTree(t.at("S"), workers, true);
    }

    // What the walk tells its sink: every name below once, a link as itself, never followed;
    // the same from workers' pieces.
    QCOMPARE(walkText(t.at("S")).filter(QRegularExpression("^(toA O00 4 1|linkC O00 1 1|x2 F00 3000 4)$")).size(), 3);

    // The recursive scan: a line for every name, each with its file's length; the same sizes,
    // taken over by the folder list.
    const Scanned r = scanFolder(t.at("S"), false, true, 2);
    const QString s = str(t.at("S")) + '/';
    for (const char *line : {"A/inner/x2 2.93 KB", "B/deep/er/z 2.93 KB", "C/zero 9    B ", "A/inner/.hidden 536    B "})
        QVERIFY2(r.fileLines.contains(s + line), line);
    QCOMPARE(r.linesBytes + r.ownBytes, total);
    QCOMPARE(sizeTexts(r.folderLines), expected);
}

void ScanEngineTest::foldersRememberedOnce()
{
    // Counts made apart remember a few folders in place and more in a set; each is met once,
    // and counts that share one are found out, whichever holds more.
    const auto walked = [](ino_t from, ino_t to) {
        SeenFiles seen;
        for (ino_t inode = from; inode < to; ++inode)
            if (!seen.firstSightOfFolder(1, inode) || seen.firstSightOfFolder(1, inode))
                return SeenFiles();
        return seen;
    };
    for (const ino_t many : {ino_t(3), ino_t(4), ino_t(5), ino_t(40)}) {
        SeenFiles all = walked(1, 1 + many);
        QVERIFY(!all.firstSightOfFolder(1, 1) && !all.firstSightOfFolder(1, many) && all.firstSightOfFolder(2, 1));
        for (const ino_t other : {ino_t(2), ino_t(6), ino_t(50)}) {
            const SeenFiles after = walked(1 + many, 1 + many + other), overlapping = walked(many, many + other);
            QVERIFY(!all.sharesFolderWith(after) && !after.sharesFolderWith(all));
            QVERIFY(all.sharesFolderWith(overlapping) && overlapping.sharesFolderWith(all));
        }
        SeenFiles merged = walked(1, 1 + many);
        merged.merge(walked(1 + many, 2 + 2 * many));
        QVERIFY(!merged.firstSightOfFolder(1, 1) && !merged.firstSightOfFolder(1, 1 + 2 * many));
        QVERIFY(merged.firstSightOfFolder(1, 2 + 2 * many));
    }
}

void ScanEngineTest::folderReachedAgainBelowItself()
{
    if (const std::optional<QString> ran = ranInOwnMounts("folderReachedAgainBelowItself")) {
        if (!ran->isEmpty())
            QSKIP(qPrintable(*ran));
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
    // Undone before the tree is removed; detached, since a worker that has just ended its count
    // may still have its current folder in one of them (the tree then stayed behind, half removed).
    struct Unmount {
        const TempTree &t;
        ~Unmount()
        {
            for (const char *at : {"S/C/z", "S/E/twin", "S/D", "S/C/again", "S/A/B/again"})
                ::umount2(t.at(at).constData(), MNT_DETACH);
        }
    } unmount{t};
    if (::mount(t.at(mounts[0].first).constData(), t.at(mounts[0].second).constData(), nullptr, MS_BIND, nullptr) != 0)
        QSKIP("no bind mount could be made"); // a container may forbid it
    for (const auto &[from, at] : std::span(mounts).subspan(1))
        QCOMPARE(::mount(t.at(from).constData(), t.at(at).constData(), nullptr, MS_BIND, nullptr), 0);
    const Scanned lines = scanFolder(t.at("S"), true, true, 0);
    for (int workers : {0, 1, 2, 5}) { // workers counting trees apart agree
        const Scanned s = scanFolder(t.at("S"), true, false, workers);
        QCOMPARE(sizeTexts(s.folderLines), QStringList({"120    B", "8    B", "0    B", "4    B"}));
        QCOMPARE(s.linesBytes + s.ownBytes, 132);
        QCOMPARE(scanFolder(t.at("S"), true, true, workers), lines);
        checkKeptTree(t.at("S"), workers);
    }
    // A sink is told each twin once, as a folder not walked.
    QCOMPARE(walkText(t.at("S")).filter(" F02 ").size(), 5);
}

// A tree that walked a folder an earlier tree walked is counted again, on a worker: when the
// share hangs just then, the scan's thread goes on pumping, and once the share answers the
// scan shows what one walk shows.
void ScanEngineTest::folderMetAgainOnHungShare()
{
    if (const std::optional<QString> ran = ranInOwnMounts("folderMetAgainOnHungShare")) {
        if (!ran->isEmpty())
            QSKIP(qPrintable(*ran));
        return;
    }
    TempTree t;
    for (const char *dir : {"a/h", "a/y", "b/y2"})
        t.mkdir(dir);
    for (const auto &[name, size] : {std::pair{"a/h/f", 1}, {"a/y/f", 20}, {"b/f", 300}, {"own", 4000}})
        t.file(name, size);
    HangMount m(QFile::decodeName(t.path()));
    if (!m.skip.isEmpty())
        QSKIP(qPrintable(m.skip));
    const QByteArray root = QFile::encodeName(m.path), twin = root + "/b/y2"; // a/y again, in the share
    if (::mount((root + "/a/y").constData(), twin.constData(), nullptr, MS_BIND, nullptr) != 0)
        QSKIP("no bind mount could be made");
    const auto unmount = qScopeGuard([&] { ::umount2(twin.constData(), MNT_DETACH); });

    // Tree a waits in a/h until b is counted; then b hangs, a comes, and b, which walked a/y
    // too, is counted again while it hangs: the scan must pump meanwhile.
    m.hang({"/a/h"});
    RecordingPort port(2);
    bool bHangs = false;
    int pumpsSinceA = 0;
    port.onPump = [&](int) {
        if (!bHangs && port.progress.files == 3) // b/f, b/y2/f and own
            m.hang({"/b"}), bHangs = true;
        if (!port.seen.folderLines.isEmpty() && ++pumpsSinceA == 20)
            m.hang({});
        return ScanEnd::Completed;
    };
    const Scanned s = scanFolder(root, true, false, 2, &port);
    QVERIFY(!m.fired);
    QVERIFY(pumpsSinceA >= 20);
    QCOMPARE(s, scanFolder(root, true, false, 0));
    QCOMPARE(sizeTexts(s.folderLines), QStringList({"21    B", "300    B"}));
}

void ScanEngineTest::workersShowWhatOneWalkShows()
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
    // trees above are split as the work left runs short, and more than the workers count ahead
    // of the scan, so that those trees are counted into pieces the scan was done with.
    t.mkdir("S/H");
    for (int i = 0; i < 4099; ++i)
        t.file("S/H/h" + QByteArray::number(i).rightJustified(4, '0'), i == 0 ? 3000 : 1);
    t.hardLink("S/H/h0000", "S/H/h4099");
    for (int i = 0; i < 600; ++i) {
        const QByteArray small = "S/0y" + QByteArray::number(i).rightJustified(3, '0');
        t.mkdir(small);
        t.file(small + "/y", 7);
    }
    ::chmod(t.at("S/A/shut").constData(), 0);
    ::chmod(t.at("S/C/c1/shut").constData(), 0600);

    for (bool recursive : {false, true}) {
        const Scanned one = scanFolder(t.at("S"), true, recursive, 0);
        QCOMPARE(one.problems.size(), 4); // two folders shut, two depth errors
        QVERIFY(one.problems[0].startsWith(str(t.at("S/A/shut")) + ": "));
        QVERIFY(one.problems[2].startsWith(str(t.at("S/C/c1/shut")) + ": "));
        for (int workers : {1, 2, 5})
            QCOMPARE(scanFolder(t.at("S"), true, recursive, workers), one);
        QCOMPARE(scanFolder(t.at("S"), true, recursive, 5, nullptr, true), scanFolder(t.at("S"), true, recursive, 0, nullptr, true));
        if (recursive) {
            QCOMPARE(one.fileLines.filter("big").size(), 3); // every name below gets its line
        } else {
            for (int workers : {0, 2, 5})
                checkKeptTree(t.at("S"), workers);
            // The file of four names counts once, in A's line.
            QVERIFY(one.folderLines[600].trimmed().endsWith(" 6.15 KB")); // 5000 + 800 + 500 bytes
            QVERIFY(one.folderLines[604].trimmed().endsWith(" 800    B"));
            QVERIFY(one.folderLines[605].trimmed().endsWith(" 0    B"));
            QVERIFY(one.folderLines[606].trimmed().endsWith(" 6.93 KB")); // 3000 + 4098 bytes
        }
    }
    // A sink is told the shut folder and those too deep as not read, and the unsearchable one is
    // marked itself, with nothing in it; by workers too.
    const QStringList told = walkText(t.at("S"));
    QVERIFY(told.contains("shut F10 0 2") && told.contains("d F10 0 3") && told.contains("e F10 0 3"));
    QCOMPARE(told.mid(told.indexOf("enter shut F00 0 3"), 3), QStringList({"enter shut F00 0 3", "problem 2", "leave"}));
    for (const char *shut : {"S/A/shut", "S/C/c1/shut"})
        ::chmod(t.at(shut).constData(), 0755);
}

void ScanEngineTest::unreadableAndGoneFolders()
{
    if (ranAsNobody("unreadableAndGoneFolders"))
        return;
    // Shut folders, and folders that may be read but not searched (B/rw, of 40 files and a folder,
    // and B/ok/rw of a folder alone): one problem each, naming the folder, in walk order.
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
    const QString denied = ": Permission denied";
    for (int workers : {0, 2}) {
        const Scanned s = scanFolder(t.at("S"), true, false, workers);
        QCOMPARE(s.problems, QStringList({str(t.at("S/A")) + denied, str(t.at("S/B/ok/rw")) + denied,
                                          str(t.at("S/B/rw")) + denied, str(t.at("S/B/shut")) + denied}));
        QCOMPARE(sizeTexts(s.folderLines), QStringList({"0    B", "200    B", "400    B"})); // the siblings count
    }
    // The scan's own folder that cannot be searched: one problem, its own.
    ::chmod(t.at("S").constData(), 0600);
    QCOMPARE(scanFolder(t.at("S"), true, false, 2).problems, QStringList({str(t.at("S")) + denied}));
    ::chmod(t.at("S").constData(), 0755);

    // A file removed at the scan's first pump, before it was counted: named in its folder. The
    // scan's own folder removed: one problem naming it, and the scan ends there.
    TempTree g;
    g.wide("S", 3, 4);
    RecordingPort file(0);
    file.onPump = [&](int pump) { return pump == 1 && ::unlink(g.at("S/d0/f3").constData()), ScanEnd::Completed; };
    QCOMPARE(scanFolder(g.at("S"), true, false, 0, &file).problems,
             QStringList({str(g.at("S/d0/f3")) + ": No such file or directory"}));
    RecordingPort folder(0);
    folder.onPump = [&](int pump) {
        return pump == 1 && QDir(str(g.at("S"))).removeRecursively(), ScanEnd::Completed;
    };
    const Scanned gone = scanFolder(g.at("S"), true, false, 0, &folder);
    QCOMPARE(gone.problems, QStringList({str(g.at("S")) + ": No such file or directory"}));
    QCOMPARE(gone.end, ScanEnd::FolderGone);
}

void ScanEngineTest::pumpsAndStops()
{
    // Not a single file, yet a pump at every folder.
    TempTree t;
    for (int i = 0; i < 300; ++i)
        t.mkdir("empty/e" + QByteArray::number(i) + "/inner");
    RecordingPort counting(0);
    QCOMPARE(scanFolder(t.at("empty"), true, false, 0, &counting).folderLines.size(), 300);
    QVERIFY(counting.pumps >= 600);
    // The counting threads tell the scan when they are done: it does not wait for a pump to
    // find out (the command line pumps once a second).
    t.wide("few", 3, 10);
    RecordingPort patient(2, 20000);
    QCOMPARE(scanFolder(t.at("few"), true, false, 2, &patient).folderLines.size(), 3);
    QCOMPARE(patient.pumps, 0);

    // A stop ends the scan at the pump that says so: nothing after it is shown, not even what
    // the workers had counted meanwhile.
    t.wide("S", 60, 40);
    for (int workers : {0, 2}) {
        RecordingPort port(workers);
        qsizetype atStop = -1;
        port.onPump = [&](int) {
            if (port.seen.fileLines.isEmpty())
                return ScanEnd::Completed;
            atStop = port.seen.fileLines.size();
            return ScanEnd::Stopped;
        };
        const Scanned s = scanFolder(t.at("S"), false, true, workers, &port);
        QCOMPARE(s.end, ScanEnd::Stopped);
        QVERIFY(atStop > 0 && atStop < 60 * 40);
        QTest::qWait(100);
        QCOMPARE(port.seen.fileLines.size(), atStop);
        QVERIFY(port.seen.folderLines.isEmpty());
    }
}

void ScanEngineTest::removedFolderIsReportedOnce_data()
{
    // S/a holds s1 and s2 (and no files of its own); S/b follows. At the walk's second pump,
    // while s1's first file is counted, a file comes into s1, which the count keeps to the names
    // it read, and a folder is removed (or renamed): each listed folder that went is reported
    // once, and one that went with its parent only by the parent; a file gone, by its folder.
    QTest::addColumn<QByteArray>("removed");
    QTest::addColumn<QStringList>("problems"); // what the count of S/a reports
    QTest::addColumn<int>("end");
    QTest::addColumn<int64_t>("bytes"); // S/a's count
    const QString gone = ": No such file or directory";
    QTest::newRow("the folder being read") << QByteArray("S/a/s1") << QStringList{"S/a/s1" + gone} << int(ScanEnd::Completed) << int64_t(20);
    QTest::newRow("a folder renamed before it was read") << QByteArray("S/a/s2") << QStringList{"S/a/s2" + gone} << int(ScanEnd::Completed) << int64_t(40);
    QTest::newRow("the subfolder counted") << QByteArray("S/a") << QStringList{"S/a" + gone} << int(ScanEnd::Completed) << int64_t(0);
    QTest::newRow("the scan's own folder") << QByteArray("S") << QStringList{"S" + gone} << int(ScanEnd::FolderGone) << int64_t(0);
    QTest::newRow("a single file") << QByteArray("S/a/s1/f10") << QStringList{"S/a/s1/f10" + gone} << int(ScanEnd::Completed) << int64_t(38 + 20);
    // As rm -rf removes a folder: a file of it first, then (at the tenth pump) the folder.
    QTest::newRow("a folder emptied, then removed") << QByteArray("S/a/s1/f15 S/a/s1") << QStringList{"S/a/s1" + gone} << int(ScanEnd::Completed) << int64_t(7 * 2 + 20);
}

void ScanEngineTest::removedFolderIsReportedOnce()
{
    QFETCH(QByteArray, removed);
    QFETCH(QStringList, problems);
    QFETCH(int, end);
    QFETCH(int64_t, bytes);
    TempTree t;
    for (const char *dir : {"S/a/s1", "S/a/s2", "S/b"})
        t.mkdir(dir);
    for (int i = 0; i < 20; ++i) {
        t.file("S/a/s1/f" + QByteArray::number(i + 10), 2);
        t.file("S/a/s2/g" + QByteArray::number(i), 1);
    }
    t.file("S/b/h", 5);
    class Listener : public TestListener {
    public:
        QByteArray top;
        ScanEnd problem(const QString &description, const QString &entryName) override
        {
            // Paths as the test names them.
            return TestListener::problem(description, QString(entryName).remove(QFile::decodeName(top) + '/'));
        }
    } listener;
    listener.top = t.path();
    const QByteArray later = removed.contains(' ') ? removed.mid(removed.indexOf(' ') + 1) : QByteArray();
    removed = removed.left(removed.indexOf(' ') < 0 ? removed.size() : removed.indexOf(' '));
    listener.onPump = [&](int pump) {
        if (pump == 10 && !later.isEmpty())
            QDir(QFile::decodeName(t.at(later))).removeRecursively();
        if (pump == 2) {
            t.file("S/a/s1/f99", 1000);
            const QByteArray path = t.at(removed);
            if (removed.contains("/f"))
                ::unlink(path.constData());
            else if (removed.endsWith("s2"))
                ::rename(path.constData(), t.at("S/a/s3").constData());
            else
                QDir(QFile::decodeName(path)).removeRecursively();
        }
        return ScanEnd::Completed;
    };
    TreeCounter counter(listener, t.at("S"));
    Tally a;
    QCOMPARE(int(counter.count(t.at("S/a"), a)), end);
    QCOMPARE(a.bytes, bytes);
    QCOMPARE(listener.problems, problems);
    // The next subfolder is counted as ever, when the scan goes on; with the scan's own folder
    // gone, it ends as the first did.
    Tally b;
    QCOMPARE(int(counter.count(t.at("S/b"), b)), end);
    if (end == int(ScanEnd::Completed)) {
        QCOMPARE(b.bytes, 5);
        QCOMPARE(listener.problems, problems);
    }
}

void ScanEngineTest::bigFolderIsReadInPieces()
{
    TempTree tree;
    constexpr int Files = 20000;
    tree.mkdir("big");
    for (int i = 0; i < Files; ++i)
        tree.file("big/" + QByteArray(i % 2 ? "Name-" : "name-") + (i % 7 ? "" : "\xc3\xa4") + QByteArray::number(Files - i), 1);
    // Read and sorted in pieces, and merged into the one order.
    const FolderHandle folder = FolderHandle::open(tree.at("big"));
    FileNames pieces;
    TestListener listener;
    readFolder(folder, nullptr, &pieces, &listener);
    QCOMPARE(pieces.size(), size_t(Files));
    for (size_t i = 1; i < pieces.size(); ++i)
        QVERIFY(nameLess(pieces.view(i - 1), pieces.view(i)));
    readFolder(folder, nullptr, &pieces); // the same folder again, from its first entry
    QCOMPARE(pieces.size(), size_t(Files));
    QVERIFY(listener.pumps >= Files / 1024 + Files / 8192);
    // A scan that must end in the middle of the read ends there, before counting any file.
    listener.onPump = [](int pump) { return pump == 3 ? ScanEnd::Stopped : ScanEnd::Completed; };
    listener.pumps = 0;
    Tally tally;
    QCOMPARE(TreeCounter(listener, tree.at("big")).countFiles(tally), ScanEnd::Stopped);
    QCOMPARE(tally.files, 0);
}

void ScanEngineTest::stopReachesOnlyItsScan()
{
    // A stop reaches the size scan running when it is made, once, and never outlives it; one
    // made while none runs is dropped.
    ScanSession s;
    s.requestStop();
    const ScanSession::Request r = s.begin(ScanSession::FolderList);
    {
        const ScanSession::SizeScan running(s, r);
        QCOMPARE(s.verdict(r), ScanEnd::Completed);
        s.requestStop();
        QCOMPARE(s.verdict(r), ScanEnd::Stopped);
        QCOMPARE(s.verdict(r), ScanEnd::Completed);
        s.requestStop();
    }
    QCOMPARE(s.verdict(r), ScanEnd::Completed);
    s.shutDown();
    QCOMPARE(s.verdict(r), ScanEnd::Abandoned);
}

void ScanEngineTest::scanTreeHoldsTheWalk()
{
    // Folders above and below a folder split among workers, a file of two names, a link, a name
    // that is not UTF-8.
    TempTree t;
    for (const char *folder : {"S/a/deep", "S/b", "S/c"})
        t.mkdir(folder);
    t.file("S/a/f1", 100);
    t.file("S/a/deep/x", 300);
    t.file("S/b/\xff\x01z", 50);
    t.symlink("../a/f1", "S/b/link");
    t.hardLink("S/a/f1", "S/b/hard");
    t.file("S/own", 7);
    for (int i = 0; i < 5000; ++i)
        t.file("S/c/" + QByteArray::number(i), 1);
    const auto build = [&](int workers) {
        TestListener listener(ScanOptions{0, workers});
        auto tree = std::make_unique<ScanTree>();
        buildScanTree(t.at("S") + "/", listener, *tree);
        QStringList dump;
        for (ScanTree::Index i = 0; i < tree->size(); ++i)
            dump << QString::fromLatin1(tree->path(i).toPercentEncoding("/")) + ' ' + QString::number(tree->at(i).length)
                        + ' ' + QString::number(tree->at(i).counted()) + ' ' + QString::number(tree->end(i));
        return std::make_pair(std::move(tree), dump);
    };
    const auto [tree, dump] = build(1);
    for (int workers : {2, 5})
        QCOMPARE(build(workers).second, dump);

    // Each file once in the totals, as find sees them; a folder's part of the walk is its tree.
    QSet<QByteArray> seen;
    QCOMPARE(tree->totals(0).bytes, findBytes(t.at("S"), false, seen));
    QCOMPARE(tree->totals(0).files, 5005);
    QCOMPARE(tree->path(0), t.at("S"));
    const ScanTree::Index a = ScanTree::first(0), b = tree->next(a);
    QCOMPARE(tree->name(a), "a");
    QCOMPARE(tree->name(b), "b");
    QCOMPARE(tree->totals(a).bytes, 400);
    QCOMPARE(tree->totals(b).bytes, 50 + 7); // the second name adds nothing, the link its own length
    // A piece of more entries than a part goes into a tree in parts, each a few milliseconds of
    // work on the thread that takes it, and makes the same tree as one taken whole.
    ScanTreePiece big;
    FoundEntry top;
    top.name = "/top";
    top.kind = FoundEntry::Kind::Folder;
    big.enterFolder(top);
    for (int i = 0; i < 20000; ++i) {
        const QByteArray name = QByteArray::number(i);
        FoundEntry file;
        file.name = name;
        file.kind = FoundEntry::Kind::File;
        file.length = i;
        big.entry(file);
    }
    big.leaveFolder();
    ScanTree inParts;
    ScanTreeBuilder builder(inParts);
    int parts = 1;
    while (!builder.takeSome(big))
        ++parts;
    QCOMPARE(parts, 3);
    QCOMPARE(inParts.size(), 20001u);
    QCOMPARE(inParts.totals(0).bytes, int64_t(19999) * 20000 / 2);
    QCOMPARE(inParts.name(20000), "19999");

    // Nothing a tree holds moves as it grows past its first blocks of entries, names, folders
    // and files of several names, so that a save may read a scan's lines while the scan goes on.
    ScanTree growing;
    growing.enter(top);
    FoundEntry twin;
    twin.kind = FoundEntry::Kind::File;
    twin.links = 2;
    const QByteArray longName(200, 't');
    twin.name = longName;
    growing.add(twin, true);
    const ScanTree::Entry *entry = &growing.at(1);
    const ScanTree::Identity *identity = growing.identity(1);
    const char *name = growing.name(1).data();
    for (int k = 0; k < 12000; ++k) { // 36,000 entries, 2.4 MB of names
        FoundEntry folder = top;
        folder.name = longName;
        growing.enter(folder);
        growing.add(twin, false);
        growing.add(twin, false);
        growing.leave();
    }
    QVERIFY(&growing.at(1) == entry && growing.identity(1) == identity && growing.name(1).data() == name);
    QCOMPARE(growing.identity(36001)->links, 2u);

    for (ScanTree::Index i = 0; i < tree->size(); ++i) {
        const ScanTree::Entry &e = tree->at(i);
        struct stat st;
        QVERIFY(::lstat(tree->path(i).constData(), &st) == 0);
        QCOMPARE(e.kind == FoundEntry::Kind::Folder, S_ISDIR(st.st_mode));
        if (!S_ISDIR(st.st_mode))
            QCOMPARE(e.length, int64_t(st.st_size));
        QVERIFY(e.folder == ScanTree::None || (e.folder < i && i < tree->end(e.folder)));
    }
}

void ScanEngineTest::excludedAlikeOnAnyWorkers()
{
    // Names left out at every depth (a folder, files, a name in another case) are neither
    // counted nor listed nor gone into, and are counted as left out, however many threads
    // count and whether a tree is split into pieces or not.
    TempTree t;
    for (const char *folder : {"S/skip", "S/a/skip", "S/a/b/c", "S/d/skip"})
        t.mkdir(folder);
    for (const auto &[file, size] : {std::pair("S/skip/f", 100), {"S/own.O", 50}, {"S/keep", 2}, {"S/a/skip/f", 7},
                                     {"S/a/x.o", 3}, {"S/a/b/y", 5}, {"S/a/b/c/z.O", 9}, {"S/a/b/c/w", 1},
                                     {"S/d/v.o", 8}, {"S/d/u", 4}})
        t.file(file, size);
    const WalkScope scope{false, exclusionFilter("*.o; skip")};
    for (const bool recursive : {false, true}) {
        for (const int workers : {0, 1, 2}) {
            RecordingPort port(workers, 0, scope);
            const Scanned s = scanFolder(t.at("S"), true, recursive, workers, &port);
            const int width = int(t.at("S/a").size()) + 1;
            QCOMPARE(s.folderLines, QStringList({folderLine(QString::fromUtf8(t.at("S/a")), 6, width),
                                                 folderLine(QString::fromUtf8(t.at("S/d")), 4, width)}));
            QVERIFY(s.ownBytes == 2 && s.passedOver == 6 && s.problems.isEmpty());
            QCOMPARE(s.fileLines.size(), recursive ? 3 : 0); // y, w and u
            // The same when the recursive lines are rows of the tree the scan keeps.
            RecordingPort rows(workers, 0, scope);
            rows.keepRows = std::make_shared<ScanTree>();
            QCOMPARE(scanFolder(t.at("S"), true, recursive, workers, &rows), s);
        }
    }
    // Without sizes only the folder's own subfolders are looked at.
    RecordingPort bare(0, 0, scope);
    QCOMPARE(scanFolder(t.at("S"), false, false, 0, &bare).passedOver, 1);
}

QTEST_GUILESS_MAIN(ScanEngineTest)
#include "tst_scanengine.moc"
