// SPDX-License-Identifier: GPL-3.0-or-later
// The listing as a view of a scan tree, byte for byte the listing of the folder itself, and
// the comparison of two scans.
#include "core/listing/ScanCompare.h"
#include "core/listing/TreeListing.h"
#include "core/output/ListingExport.h"
#include "core/output/SavedListing.h"
#include "core/scan/QuietRead.h"
#include "core/scan/tree/ScanTreeSink.h"
#include "support/TempTree.h"

#include <QtTest>

namespace {
std::unique_ptr<ScanTree> scanOf(const QByteArray &folder)
{
    QuietRead listener;
    auto tree = std::make_unique<ScanTree>();
    buildScanTree(folder, listener, *tree);
    return tree;
}

QByteArray bytesOf(const TextLines &lines)
{
    return lines.toStringList().join(QStringLiteral("\r\n")).toUtf8();
}

// The first line where two texts part, for a failure to show.
QByteArray firstDifference(const QByteArray &a, const QByteArray &b)
{
    const QByteArrayList la = a.split('\n'), lb = b.split('\n');
    for (qsizetype i = 0; i < std::max(la.size(), lb.size()); ++i)
        if (la.value(i) != lb.value(i))
            return "line " + QByteArray::number(i) + ":\n" + la.value(i) + "\n" + lb.value(i);
    return {};
}
} // namespace

class ScanListingTest : public QObject {
    Q_OBJECT
private slots:
    void treeListingIsTheFolderListing();
    void comparedScans();
};

void ScanListingTest::treeListingIsTheFolderListing()
{
    // Names in mixed case, hidden ones, links to a file and to folders, files of several names
    // within a subfolder and between the folder's own files and a subfolder, an empty folder,
    // a name that is not UTF-8, a file MSCREATE.DIR and folders several deep.
    TempTree t;
    for (const char *folder : {"T/Beta/inner", "T/alpha/x/y/z", "T/empty", "T/.dot", "T/bad\xff", "T/nested/n1/n2"})
        t.mkdir(folder);
    const struct { const char *name; int size; } files[] = {
        {"T/own.txt", 1000}, {"T/Zed.md", 20},         {"T/apple.TXT", 30},      {"T/.hid.txt", 40},
        {"T/MSCREATE.DIR", 0}, {"T/Beta/b1.txt", 100}, {"T/Beta/MSCREATE.DIR", 3}, {"T/Beta/inner/deep.md", 300},
        {"T/alpha/a.TXT", 10}, {"T/alpha/.hidden", 5}, {"T/alpha/x/y/z/f.txt", 2}, {"T/.dot/d", 7},
        {"T/bad\xff/n\xfe.txt", 9}, {"T/nested/n1/n2/leaf", 4000}, {"T/nested/n1/top", 1500000},
    };
    for (const auto &f : files)
        t.file(f.name, f.size);
    t.symlink("alpha", "T/linkdir");
    t.symlink("own.txt", "T/linkfile");
    t.symlink("../Beta", "T/alpha/dl");
    t.hardLink("T/Beta/b1.txt", "T/Beta/inner/b1again"); // within a subfolder
    t.hardLink("T/own.txt", "T/Beta/inner/own-too");     // the folder's own file and a subfolder's
    t.hardLink("T/Beta/b1.txt", "T/hard2");
    t.hardLink("T/alpha/a.TXT", "T/nested/a-too");
    const std::shared_ptr<const ScanTree> tree = scanOf(t.at("T"));

    struct Choice {
        const char *pattern;
        bool folderSizes, recursive, fileSizes, dates, includeFolders;
        int indent;
        bool counts = false, diskUsage = false;
        const char *exclude = "";
    };
    const Choice choices[] = {
        {"*.*", false, false, true, true, true, 0},   {"*.*", true, false, true, true, true, 0},
        {"*.*", true, true, true, true, true, 0},     {"*.*", false, false, false, true, true, 0},
        {"*.*", true, false, true, false, true, 0},   {"*.*", false, false, false, false, false, 0},
        {"*.txt;*.md", true, true, true, true, false, 3}, {"*.TXT;*.md", true, false, false, true, true, 2},
        {"", false, true, false, false, true, 0},
        {"*.*", true, false, true, true, true, 0, true, false}, {"*.*", true, true, true, false, true, 0, true, true},
        {"*.txt;*.md", false, false, true, true, true, 0, true, true}, {"*.*", true, false, true, true, false, 1, false, true},
        {"*.*", false, false, false, true, true, 0, true, false},
        {"*.*", true, false, true, true, true, 0, true, false, "*.md;inner"}, {"*.*", false, false, true, true, true, 0, false, false, "*.TXT"},
        {"*.*", true, true, true, true, true, 0, false, false, "y;.*"},
    };
    for (const QByteArray folder : {"", "Beta", "alpha", "nested", "bad\xff"}) {
        const ScanTree::Index at = tree->find(folder);
        QVERIFY(at != ScanTree::None);
        for (const Choice &c : choices) {
            ListingChoices choice;
            choice.pattern = QString::fromLatin1(c.pattern);
            choice.folderSizes = c.folderSizes;
            choice.recursive = c.recursive;
            choice.fileSizes = c.fileSizes;
            choice.dates = c.dates;
            choice.includeFolders = c.includeFolders;
            choice.indentation = c.indent;
            choice.counts = c.counts;
            choice.diskUsage = c.diskUsage;
            choice.exclude = QString::fromLatin1(c.exclude);
            for (const bool csv : {false, true}) {
                const ListingChoices asked = csv ? csvChoices(choice) : choice;
                const ListingLines lines = csv ? csvLines(c.diskUsage) : savedFileLines(asked);
                QStringList fsProblems, treeProblems;
                const auto listed = [&](const ListingSnapshot &s) { return bytesOf(csv ? csvListing(s) : savedListingLines(s)); };
                const QByteArray fromFolder = listed(listFolder(
                    folder.isEmpty() ? t.at("T") : t.at("T/" + folder), asked,
                    [&](const QString &d, const QString &p) { fsProblems << p + d; }, lines));
                const ListingSnapshot text =
                    listTree(*tree, at, asked, [&](const QString &d, const QString &p) { treeProblems << p + d; }, lines);
                const QByteArray fromTree = listed(text);
                QVERIFY2(fromTree == fromFolder,
                         (folder + ' ' + c.pattern + (csv ? " csv " : " ") + firstDifference(fromTree, fromFolder)).constData());
                QVERIFY(fsProblems.isEmpty() && treeProblems.isEmpty());
                // The same listing as rows of the tree, made when read: the same bytes, and each line
                // the same key and the same name for a find.
                const ListingSnapshot rows = listingOf(listedFolder(*tree, at, asked, [](const QString &, const QString &) {}), lines, {}, tree);
                QVERIFY(listed(rows) == fromTree);
                for (const auto &[a, b] : {std::pair(&text.folderLines, &rows.folderLines), {&text.fileLines, &rows.fileLines}}) {
                    QCOMPARE(b->size(), a->size());
                    for (qsizetype i = 0; i < a->size(); ++i) {
                        const LineKey ka = a->keys().value(i), kb = b->keys().value(i);
                        QVERIFY(ka.bytes == kb.bytes && ka.modified == kb.modified);
                        QCOMPARE(b->shownName(i, kb.nameEnd), a->shownName(i, ka.nameEnd));
                    }
                }
            }
        }
    }
    QCOMPARE(tree->find("alpha/x/./y//z"), tree->find("alpha/x/y/z"));
    QCOMPARE(tree->find("own.txt"), ScanTree::None); // a file is no folder to list
    QCOMPARE(tree->find("linkdir"), ScanTree::None);
}

void ScanListingTest::comparedScans()
{
    TempTree t;
    for (const char *folder : {"T/keep", "T/gone", "T/grow"})
        t.mkdir(folder);
    const struct { const char *name; int size; } before[] = {
        {"T/keep/a.txt", 100}, {"T/gone/g", 50}, {"T/grow/x", 10}, {"T/stay.txt", 5},
        {"T/shrink.txt", 3000}, {"T/older-name.txt", 7}, {"T/grows.md", 1}, {"T/grow/y", 6},
    };
    for (const auto &f : before)
        t.file(f.name, f.size);
    const std::unique_ptr<ScanTree> older = scanOf(t.at("T"));
    // Moved elsewhere: the newer scan's top is another path.
    QVERIFY(::rename(t.at("T").constData(), t.at("U").constData()) == 0);
    QVERIFY(::system(("rm -r " + t.at("U/gone")).constData()) == 0);
    QVERIFY(::rename(t.at("U/older-name.txt").constData(), t.at("U/new-name.txt").constData()) == 0);
    QVERIFY(::unlink(t.at("U/grow/y").constData()) == 0);
    t.mkdir("U/new");
    t.mkdir("U/grow/deeper");
    const struct { const char *name; int size; } after[] = {
        {"U/grow/x", 2000}, {"U/shrink.txt", 2800}, {"U/grows.md", 1536}, {"U/added.txt", 9}, {"U/new/n", 4}, {"U/grow/deeper/z", 4},
    };
    for (const auto &f : after)
        t.file(f.name, f.size);
    const std::unique_ptr<ScanTree> newer = scanOf(t.at("U"));

    using Marks = QList<std::pair<QByteArray, QString>>; // a line's path and how it ends
    const Marks ownFiles{{"added.txt", "  new"}, {"grows.md", "  +1.50 KB"}, {"new-name.txt", "  new"},
                         {"older-name.txt", "  gone"}, {"shrink.txt", "  -200 bytes"}, {"stay.txt", ""}};
    const Marks folders{{"gone", "  gone"}, {"grow", "  +1.94 KB"}, {"keep", ""}, {"new", "  new"}};
    const struct {
        bool recursive, changesOnly;
        Marks folders, files;
        bool diskUsage = false;
    } cases[] = {
        {false, false, folders, ownFiles},
        {true, false, folders, Marks{{"gone/g", "  gone"}, {"grow/x", "  +1.94 KB"}, {"grow/y", "  gone"}, {"grow/deeper/z", "  new"},
                                         {"keep/a.txt", ""}, {"new/n", "  new"}} + ownFiles},
        {true, true, Marks{folders[0], folders[1], folders[3]},
         Marks{{"gone/g", "  gone"}, {"grow/x", "  +1.94 KB"}, {"grow/y", "  gone"}, {"grow/deeper/z", "  new"}, {"new/n", "  new"}}
             + Marks{ownFiles.begin(), ownFiles.end() - 1}},
        // Every file that changed its length still takes one block: with disk usage only the
        // new and the gone lines changed.
        {false, true, Marks{folders[0], folders[3]}, Marks{ownFiles[0], ownFiles[2], ownFiles[3]}, true},
    };
    for (const auto &c : cases) {
        ListingChoices choices;
        choices.folderSizes = true;
        choices.recursive = c.recursive;
        choices.dates = false;
        choices.diskUsage = c.diskUsage;
        const auto quiet = [](const QString &, const QString &) { QFAIL("no problem"); };
        const ListingSnapshot plain = listTree(*newer, 0, choices, quiet);
        const ComparedListing compared = compareListings(listedFolder(*older, 0, choices, quiet),
                                                         listedFolder(*newer, 0, choices, quiet),
                                                         savedFileLines(choices), c.changesOnly);
        const ListingSnapshot &s = compared.snapshot;
        QCOMPARE(s.parentFolderLine, QString::fromUtf8(t.at("U"))
                                         + (c.diskUsage ? "/*.*  36.00 KB  was 32.00 KB  (disk usage)" : "/*.*  6.31 KB  was 3.10 KB"));
        QCOMPARE(s.folderLinesBytes, plain.folderLinesBytes); // the heading is the newer scan's
        const auto check = [&](const TextLines &lines, const TextLines &plainLines, const Marks &marks,
                               const std::vector<LineChange> &changes) {
            QCOMPARE(lines.size(), marks.size());
            QCOMPARE(changes.size(), size_t(marks.size()));
            for (qsizetype i = 0; i < marks.size(); ++i) {
                const QString line = lines.at(i);
                const QString name = QString::fromUtf8(marks[i].first) + u' ';
                QVERIFY2((line.startsWith(name) || line.contains(u'/' + name)) && line.endsWith(marks[i].second),
                         qPrintable(line));
                // An unchanged line is as the newer listing has it; the change is the line's.
                QCOMPARE(plainLines.toStringList().contains(line), marks[i].second.isEmpty());
                QCOMPARE(changeMark(changes[size_t(i)]), marks[i].second);
            }
        };
        check(s.folderLines, plain.folderLines, c.folders, compared.folderChanges);
        QCOMPARE(compared.folderChanges[0].delta, c.diskUsage ? -4096 : -50); // a gone line sorts by its old size
        check(s.fileLines, plain.fileLines, c.files, compared.fileChanges);
    }
    // The names left out are counted in the heading, as in the newer scan's own listing.
    ListingChoices excluding;
    excluding.folderSizes = true;
    excluding.exclude = QStringLiteral("keep");
    const auto quiet = [](const QString &, const QString &) {};
    QCOMPARE(compareListings(listedFolder(*older, 0, excluding, quiet), listedFolder(*newer, 0, excluding, quiet),
                             savedFileLines(excluding), false)
                 .snapshot.parentFolderLine,
             QString::fromUtf8(t.at("U")) + "/*.*  6.22 KB  was 3.01 KB  1 excluded");
    // The change as a sort key and as a CSV field.
    QCOMPARE(changeField({ChangeKind::Gone, -50}), "gone");
    QCOMPARE(changeField({ChangeKind::Grown, 1990}), "+1990");
    QCOMPARE(changeField({ChangeKind::Shrunk, -200}), "-200");
    QCOMPARE(changeMark({ChangeKind::Shrunk, -1}), "  -1 byte");
}

QTEST_GUILESS_MAIN(ScanListingTest)
#include "tst_scanlisting.moc"
