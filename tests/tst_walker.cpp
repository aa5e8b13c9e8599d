// The directory list and the folder walker, on real folders in a temporary directory.
#include "scan/DirectoryList.h"
#include "scan/FolderWalker.h"
#include "shared/FsError.h"
#include "support/TempTree.h"

#include <QtTest>
#include <unistd.h>

namespace {

// Every path NextFolder yields, relative to the walk's start folder.
QByteArrayList walkAll(FolderWalker &walker, const QByteArray &start)
{
    QByteArrayList seen;
    QByteArray path;
    while (walker.NextFolder(path))
        seen.append(path.mid(start.size() + 1));
    return seen;
}

// A chain of `levels` folders "d/d/.../d" below `root`; returns its relative path.
QByteArray chain(const TempTree &tree, const QByteArray &root, int levels)
{
    QByteArray rel = root;
    for (int i = 0; i < levels; ++i)
        rel += "/d";
    tree.mkdir(rel);
    return rel;
}

} // namespace

class TestWalker : public QObject {
    Q_OBJECT
private slots:
    void directoryListShowsSubfoldersInNameOrder();
    void walkOrderAndEnds();
    void depthLimitAndFailuresSkipOnlyTheFailingFolder();
    void wideFolderReadOnce();
    void linksAreListedButNeverWalked();
};

void TestWalker::directoryListShowsSubfoldersInNameOrder()
{
    TempTree tree;
    for (const char *name : {"b", "a", "A", ".hidden", "C", "ab", "\xff-raw"})
        tree.mkdir(name);
    tree.file("file.txt", 3);
    tree.symlink(tree.at("b"), "link");
    tree.symlink("nowhere", "dangling");

    DirectoryList dir;
    dir.setPath(tree.path() + "/");
    QCOMPARE(dir.path(), tree.path());
    QCOMPARE(dir.readCount(), 1LL);
    QByteArrayList names;
    for (int i = 0; i < dir.count(); ++i) {
        QVERIFY(dir.entry(i).startsWith(tree.path() + '/'));
        names.append(dir.entry(i).mid(tree.path().size() + 1));
    }
    // Case-insensitive, ties by exact bytes; hidden folders and links to folders included,
    // files and dangling links not; a name that is not UTF-8 keeps its bytes.
    QCOMPARE(names, QByteArrayList({".hidden", "A", "a", "ab", "b", "C", "link", "\xff-raw"}));
    QVERIFY(dir.isLink(names.indexOf("link")));
    QVERIFY(!dir.isLink(names.indexOf("b")));

    // An unusable path is an error and the list keeps what it showed.
    QVERIFY_THROWS_EXCEPTION(FsError, dir.setPath(tree.at("missing")));
    QVERIFY_THROWS_EXCEPTION(FsError, dir.setPath(tree.at("file.txt")));
    QCOMPARE(dir.path(), tree.path());
    QCOMPARE(dir.count(), names.size());

    // The root keeps its single "/", and its entries are "/name".
    dir.setPath("/");
    QCOMPARE(dir.path(), QByteArray("/"));
    QVERIFY(dir.count() > 0);
    QVERIFY(dir.entry(0).startsWith('/') && !dir.entry(0).startsWith("//"));
}

void TestWalker::walkOrderAndEnds()
{
    TempTree tree;
    for (const char *name : {"S/B", "S/A/A2", "S/A/A1", "empty"})
        tree.mkdir(name);
    tree.file("S/A/f", 1);

    DirectoryList dir;
    FolderWalker walker;
    QVERIFY(walker.StartWalk(tree.at("S"), dir));
    QCOMPARE(walker.currentPath(), tree.at("S"));
    QCOMPARE(walkAll(walker, tree.at("S")), QByteArrayList({"A", "A/A1", "A/A2", "B"}));
    QByteArray path = "untouched";
    QVERIFY(!walker.NextFolder(path));
    QVERIFY(!walker.NextFolder(path));
    QCOMPARE(path, QByteArray("untouched"));
    QCOMPARE(dir.readCount(), 5LL); // S, A, A1, A2 and B, once each

    // The files of the folder last reached are offered with it.
    QVERIFY(walker.StartWalk(tree.at("S"), dir));
    QVERIFY(walker.NextFolder(path));
    QCOMPARE(walker.currentFiles().size(), size_t(1));
    QCOMPARE(walker.currentFiles().view(0).toByteArray(), QByteArray("f"));

    QVERIFY(walker.StartWalk(tree.at("empty"), dir));
    QVERIFY(!walker.NextFolder(path));

    QVERIFY(!walker.StartWalk(tree.at("missing"), dir));
    QVERIFY(!walker.NextFolder(path));
}

void TestWalker::depthLimitAndFailuresSkipOnlyTheFailingFolder()
{
    TempTree tree;
    DirectoryList dir;
    QByteArray path;

    // 100 levels below the start folder are walked completely.
    chain(tree, "deep100", 100);
    FolderWalker full;
    QVERIFY(full.StartWalk(tree.at("deep100"), dir));
    QCOMPARE(walkAll(full, tree.at("deep100")).size(), qsizetype(100));
    QCOMPARE(full.depth(), -1);

    // The 101st level raises the depth error; the walk then goes on after it.
    const QByteArray deepest = chain(tree, "deep101", 101);
    tree.mkdir("deep101/z");
    FolderWalker limited;
    QVERIFY(limited.StartWalk(tree.at("deep101"), dir));
    for (int level = 1; level <= 100; ++level) {
        QVERIFY(limited.NextFolder(path));
        QCOMPARE(limited.depth(), level);
    }
    QVERIFY_THROWS_EXCEPTION(WalkDepthError, limited.NextFolder(path));
    QCOMPARE(limited.currentPath(), tree.at(deepest));
    QVERIFY(limited.NextFolder(path));
    QCOMPARE(path, tree.at("deep101/z"));
    QVERIFY(!limited.NextFolder(path));

    // A folder that vanished after its parent was read is reported and skipped alone.
    for (const char *name : {"V/a", "V/gone/below", "V/z"})
        tree.mkdir(name);
    FolderWalker walker;
    QVERIFY(walker.StartWalk(tree.at("V"), dir));
    QVERIFY(walker.NextFolder(path));
    QCOMPARE(path, tree.at("V/a"));
    QCOMPARE(::rmdir(tree.at("V/gone/below").constData()), 0);
    QCOMPARE(::rmdir(tree.at("V/gone").constData()), 0);
    QVERIFY_THROWS_EXCEPTION(FsError, walker.NextFolder(path));
    QVERIFY(walker.NextFolder(path));
    QCOMPARE(path, tree.at("V/z"));
    QVERIFY(!walker.NextFolder(path));
}

void TestWalker::wideFolderReadOnce()
{
    TempTree tree;
    constexpr int Width = 3000;
    for (int i = 0; i < Width; ++i)
        tree.mkdir("W/" + QByteArray::number(i));

    DirectoryList dir;
    FolderWalker walker;
    QVERIFY(walker.StartWalk(tree.at("W"), dir));
    QCOMPARE(walkAll(walker, tree.at("W")).size(), qsizetype(Width));
    QCOMPARE(dir.readCount(), 1LL + Width); // every folder listed once, the wide one too
}

void TestWalker::linksAreListedButNeverWalked()
{
    TempTree tree;
    tree.mkdir("S/A/A1");
    tree.symlink(tree.at("S"), "S/A/up");      // a loop back to the start
    tree.symlink(".", "S/A/A1/self");          // a loop onto itself
    tree.symlink(tree.at("S/A"), "S/toA");
    tree.symlink(tree.at("S"), "linkToS");

    DirectoryList dir;
    FolderWalker walker;
    QVERIFY(walker.StartWalk(tree.at("S"), dir));
    QCOMPARE(walkAll(walker, tree.at("S")), QByteArrayList({"A", "A/A1"}));
    QCOMPARE(dir.readCount(), 3LL);

    // A start folder that is itself a link is not walked.
    QVERIFY(!walker.StartWalk(tree.at("linkToS"), dir));
}

QTEST_GUILESS_MAIN(TestWalker)
#include "tst_walker.moc"
