// The folder walker, on real folders in a temporary directory.
#include "scan/DirectoryList.h"
#include "scan/FolderWalker.h"
#include "support/TempTree.h"

#include <QtTest>

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
} // namespace

class TestWalker : public QObject {
    Q_OBJECT
private slots:
    void walkOrderAndEnds();
    void depthLimit();
    void eachFolderReadOnceAndLinksNeverWalked();
};

void TestWalker::walkOrderAndEnds()
{
    TempTree tree;
    for (const char *name : {"S/B", "S/A/A2", "S/A/A1", "empty", "raw/\xff"})
        tree.mkdir(name);
    DirectoryList dir;
    FolderWalker walker;
    QCOMPARE(walkAll(walker, dir, tree.at("S")), QByteArrayList({"A", "A/A1", "A/A2", "B"}));
    QCOMPARE(walkAll(walker, dir, tree.at("empty")), QByteArrayList());
    QCOMPARE(walkAll(walker, dir, tree.at("missing")), QByteArrayList({"(no walk)"}));
    // A name that is not valid UTF-8 is walked through its own bytes.
    QCOMPARE(walkAll(walker, dir, tree.at("raw")), QByteArrayList({"\xff"}));
    // The kernel's views are not walked: /proc counts nothing.
    QCOMPARE(walkAll(walker, dir, "/proc"), QByteArrayList());
    QCOMPARE(walker.currentFiles().size(), size_t(0));
}

void TestWalker::depthLimit()
{
    TempTree tree;
    const QByteArray levels100 = QByteArray("/d").repeated(100);
    for (const QByteArray &rel : {"deep100" + levels100, "deep101" + levels100 + "/d", QByteArray("deep101/z")})
        tree.mkdir(rel);
    DirectoryList dir;
    FolderWalker walker;
    QCOMPARE(walkAll(walker, dir, tree.at("deep100")).size(), qsizetype(100));

    // The 101st level raises the depth error; the walk then goes on after it.
    QByteArray path;
    QVERIFY(walker.StartWalk(tree.at("deep101"), dir));
    for (int level = 1; level <= 100; ++level)
        QVERIFY(walker.NextFolder(path));
    QVERIFY_THROWS_EXCEPTION(WalkDepthError, walker.NextFolder(path));
    QVERIFY(walker.NextFolder(path));
    QCOMPARE(path, tree.at("deep101/z"));
}

void TestWalker::eachFolderReadOnceAndLinksNeverWalked()
{
    TempTree tree;
    constexpr int Width = 3000;
    for (int i = 0; i < Width; ++i)
        tree.mkdir("W/" + QByteArray::number(i));
    DirectoryList dir;
    FolderWalker walker;
    QCOMPARE(walkAll(walker, dir, tree.at("W")).size(), qsizetype(Width));
    QCOMPARE(dir.readCount(), 1LL + Width); // every folder listed once, the wide one too

    tree.mkdir("S/A/A1");
    tree.symlink(tree.at("S"), "S/A/up"); // a loop back to the start
    tree.symlink(".", "S/A/A1/self");     // a loop onto itself
    QCOMPARE(walkAll(walker, dir, tree.at("S")), QByteArrayList({"A", "A/A1"}));
}

QTEST_GUILESS_MAIN(TestWalker)
#include "tst_walker.moc"
