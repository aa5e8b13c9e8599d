// SPDX-License-Identifier: GPL-3.0-or-later
// The scan engine without a window: the folder walker and the tree counter on real folders in
// a temporary directory, and the scan session's rules.
#include "scan/engine/DirectoryList.h"
#include "scan/engine/FolderWalker.h"
#include "scan/engine/ScanListener.h"
#include "scan/ScanSession.h"
#include "scan/engine/TreeCounter.h"
#include "shared/Text.h"
#include "support/TempTree.h"

#include <QtTest>
#include <functional>
#include <map>
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
    TestListener() : ScanListener(ScanOptions{0, 0}) {} // a pump at every tick
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
} // namespace

class ScanEngineTest : public QObject {
    Q_OBJECT
private slots:
    void walkOrderEndsAndReads();
    void depthLimit();
    void eachFileCountsOnceWithItsOwnLength();
    void removedFolderIsReportedOnce_data();
    void removedFolderIsReportedOnce();
    void bigFolderIsReadInPieces();
    void stopReachesOnlyItsScan();
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

void ScanEngineTest::eachFileCountsOnceWithItsOwnLength()
{
    TempTree t;
    for (const char *dir : {"S/A/inner", "S/B", "outside"})
        t.mkdir(dir);
    t.file("S/A/inner/x", 1000); // four names of one file: two in A's tree, one in B, one own
    t.hardLink("S/A/inner/x", "S/A/y");
    t.hardLink("S/A/inner/x", "S/B/z");
    t.hardLink("S/A/inner/x", "S/w");
    t.file("outside/huge", 1LL << 30);
    // Links count their own length (the length of the text they hold), whatever they point at.
    const QByteArray huge = t.at("outside/huge");
    t.symlink(huge, "S/A/out");
    t.symlink("../A/y", "S/B/in");
    t.symlink("/proc/kcore", "S/B/kcore");
    t.symlink("/dev/zero", "S/B/zero");
    t.symlink("no-such-file", "S/B/dangling");
    t.file("S/B/plain", 7);
    t.file("S/own", 3);

    TestListener listener;
    TreeCounter counter(listener, t.at("S"));
    std::map<QByteArray, int64_t> seen; // every name, with its length
    const auto record = [&](const QByteArray &dir, const char *name, int64_t length, int64_t) {
        seen[dir.mid(t.at("S").size() + 1) + '/' + name] = length;
    };
    int64_t a = 0, b = 0, own = 0;
    QCOMPARE(counter.count(t.at("S/A"), a, record), ScanEnd::Completed);
    QCOMPARE(counter.count(t.at("S/B"), b, record), ScanEnd::Completed);
    QCOMPARE(counter.countFiles(own), ScanEnd::Completed);
    QCOMPARE(a, 1000 + huge.size());
    QCOMPARE(b, 6 + 11 + 9 + 12 + 7);
    QCOMPARE(own, 3);
    QCOMPARE(seen["A/inner/x"], 1000);
    QCOMPARE(seen["A/y"], 1000);
    QCOMPARE(seen["B/z"], 1000);
    QVERIFY(listener.problems.isEmpty());

    // Counts made apart, merged in list order, come to the same figures.
    TreeCounter first(listener, t.at("S")), second(listener, t.at("S"));
    int64_t a2 = 0, b2 = 0;
    QCOMPARE(first.count(t.at("S/A"), a2), ScanEnd::Completed);
    QCOMPARE(second.count(t.at("S/B"), b2), ScanEnd::Completed);
    QCOMPARE(b2, b + 1000);
    SeenFiles merged = first.seen();
    QCOMPARE(merged.merge(second.seen()), 1000);
    QCOMPARE(SeenFiles().merge(first.seen()), 0);
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
    listener.onPump = [&](int pump) {
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
    int64_t a = 0;
    QCOMPARE(int(counter.count(t.at("S/a"), a)), end);
    QCOMPARE(a, bytes);
    QCOMPARE(listener.problems, problems);
    // The next subfolder is counted as ever, when the scan goes on; with the scan's own folder
    // gone, it ends as the first did.
    int64_t b = 0;
    QCOMPARE(int(counter.count(t.at("S/b"), b)), end);
    if (end == int(ScanEnd::Completed)) {
        QCOMPARE(b, 5);
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
    int64_t bytes = 0;
    QCOMPARE(TreeCounter(listener, tree.at("big")).countFiles(bytes), ScanEnd::Stopped);
    QCOMPARE(bytes, 0);
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

QTEST_GUILESS_MAIN(ScanEngineTest)
#include "tst_scanengine.moc"
