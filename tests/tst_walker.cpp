// The directory list and the folder walker, on real folders in a temporary directory.
#include "scan/DirectoryList.h"
#include "scan/FolderWalker.h"
#include "shared/FsError.h"
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
    void directoryListOrderAndErrors();
    void walkOrderAndEnds();
    void depthLimit();
    void eachFolderReadOnceAndLinksNeverWalked();
};

void TestWalker::directoryListOrderAndErrors()
{
    TempTree tree;
    for (const char *name : {"b", "a", "A", ".hidden", "C", "ab", "\xff-raw"})
        tree.mkdir(name);
    tree.symlink(tree.at("b"), "link");
    tree.file("file.txt", 3); // files and dangling links are not folders
    tree.symlink("nowhere", "dangling");
    DirectoryList dir;
    dir.setPath(tree.path() + "/");
    QByteArrayList names;
    for (int i = 0; i < dir.count(); ++i)
        names.append(dir.entry(i).mid(tree.path().size()));
    // Case-insensitive, ties by bytes; hidden folders, folder links and non-UTF-8 names kept as they are.
    QCOMPARE(names, QByteArrayList({"/.hidden", "/A", "/a", "/ab", "/b", "/C", "/link", "/\xff-raw"}));
    QVERIFY(dir.isLink(names.indexOf("/link")) && !dir.isLink(names.indexOf("/b")));

    // An unusable path is an error and the list keeps what it showed.
    QVERIFY_THROWS_EXCEPTION(FsError, dir.setPath(tree.at("missing")));
    QVERIFY_THROWS_EXCEPTION(FsError, dir.setPath(tree.at("file.txt")));
    QVERIFY(dir.path() == tree.path() && dir.count() == names.size());

    dir.setPath("/"); // the root keeps its single "/", and its entries are "/name"
    QVERIFY(dir.path() == "/" && dir.count() > 0 && !dir.entry(0).startsWith("//"));
}

void TestWalker::walkOrderAndEnds()
{
    TempTree tree;
    for (const char *name : {"S/B", "S/A/A2", "S/A/A1", "empty"})
        tree.mkdir(name);
    tree.file("S/A/f", 1);
    DirectoryList dir;
    FolderWalker walker;
    QCOMPARE(walkAll(walker, dir, tree.at("S")), QByteArrayList({"A", "A/A1", "A/A2", "B"}));
    QByteArray path = "untouched";
    QVERIFY(!walker.NextFolder(path));
    QCOMPARE(path, QByteArray("untouched"));
    QCOMPARE(walkAll(walker, dir, tree.at("empty")), QByteArrayList());
    QCOMPARE(walkAll(walker, dir, tree.at("missing")), QByteArrayList({"(no walk)"}));
    QVERIFY(!walker.NextFolder(path));

    // The files of the folder last reached are offered with it.
    QVERIFY(walker.StartWalk(tree.at("S"), dir) && walker.NextFolder(path));
    QCOMPARE(walker.currentFiles().size(), size_t(1));
    QCOMPARE(walker.currentFiles().view(0).toByteArray(), QByteArray("f"));
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
    QCOMPARE(walker.currentPath(), tree.at("deep101" + levels100 + "/d"));
    QVERIFY(walker.NextFolder(path));
    QCOMPARE(path, tree.at("deep101/z"));
    QVERIFY(!walker.NextFolder(path));
}

void TestWalker::eachFolderReadOnceAndLinksNeverWalked()
{
    TempTree tree;
    constexpr int Width = 3000;
    for (int i = 0; i < Width; ++i)
        tree.mkdir("W/" + QByteArray::number(i));
    DirectoryList dir, linked;
    FolderWalker walker;
    QCOMPARE(walkAll(walker, dir, tree.at("W")).size(), qsizetype(Width));
    QCOMPARE(dir.readCount(), 1LL + Width); // every folder listed once, the wide one too

    tree.mkdir("S/A/A1");
    tree.symlink(tree.at("S"), "S/A/up"); // a loop back to the start
    tree.symlink(".", "S/A/A1/self");     // a loop onto itself
    tree.symlink(tree.at("S"), "linkToS");
    QCOMPARE(walkAll(walker, linked, tree.at("S")), QByteArrayList({"A", "A/A1"}));
    QCOMPARE(linked.readCount(), 3LL);
    QVERIFY(!walker.StartWalk(tree.at("linkToS"), dir)); // a start folder that is a link is not walked
}

QTEST_GUILESS_MAIN(TestWalker)
#include "tst_walker.moc"
