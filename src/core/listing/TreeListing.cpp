// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/listing/TreeListing.h"

#include "core/listing/Exclusions.h"
#include "core/listing/FilePattern.h"
#include "core/listing/ListedLines.h"
#include "core/listing/TellingListener.h"
#include "core/scan/ByteConverter.h"
#include "core/scan/engine/FolderReader.h"
#include "core/scan/engine/ScanListener.h"
#include "core/scan/engine/SeenFiles.h"
#include "core/scan/tree/ScanTreeSink.h"
#include "core/shared/FsError.h"
#include "core/shared/Text.h"

#include <algorithm>

namespace {
using Index = ScanTree::Index;
using Entry = ScanTree::Entry;

// What is said of an entry the scan could not read: it kept no reason.
QString unreadDescription()
{
    return QStringLiteral("The scan could not read it");
}

// Whether entry i is left out of a listing: passed over by the scan, or by `exclude`.
bool leftOut(const ScanTree &tree, Index i, const NameFilter *exclude)
{
    return tree.at(i).passedOver() || (exclude && exclude->excludes(tree.name(i)));
}

// A folder's entries in the program's name order (as a read of the folder lists them), but
// for those left out (counted in `passed`, when given).
std::vector<Index> sortedEntries(const ScanTree &tree, Index folder, const NameFilter *exclude = nullptr,
                                 int64_t *passed = nullptr)
{
    std::vector<Index> entries;
    for (Index i = ScanTree::first(folder); i < tree.end(folder); i = tree.next(i)) {
        if (leftOut(tree, i, exclude)) {
            if (passed)
                ++*passed;
            continue;
        }
        entries.push_back(i);
    }
    std::stable_sort(entries.begin(), entries.end(), [&tree](Index a, Index b) { return nameLess(tree.name(a), tree.name(b)); });
    return entries;
}

bool known(const Entry &e)
{
    return e.problem == FoundEntry::Problem::None;
}

// The bytes an entry's line shows: its length, or with disk usage the room it takes.
int64_t shownBytes(const ScanTree &tree, Index i, bool diskUsage)
{
    return diskUsage ? tree.allocated(i) : tree.at(i).length;
}

// Reads the parts of the tree a listing needs, as the walks of listFolder meet them. With
// `oneFileSystem`, a folder on another device than the one it lies in is not gone into, as a
// walk that stays on one file system leaves it.
class TreeReader {
public:
    TreeReader(const ScanTree &tree, const ListingProblem &problem, const NameFilter *exclude, bool oneFileSystem)
        : tree_(tree), problem_(problem), exclude_(exclude), oneFileSystem_(oneFileSystem)
    {
    }

    bool goesInto(Index i) const
    {
        const Entry &e = tree_.at(i);
        return e.walked() && !(oneFileSystem_ && (e.flags & Entry::OtherDevice));
    }

    // The files of `at` and everything below it that `seen` has not met, each problem in it
    // told: their bytes (with `diskUsage` allocated) and how many they are. Names left out
    // below `at` are passed over with everything below them, and counted in `passed`.
    ShownSize size(Index at, SeenFiles &seen, bool diskUsage, int64_t &passed) const
    {
        ShownSize size;
        for (Index i = at, end = tree_.end(at); i < end; ++i) {
            if (i != at && leftOut(tree_, i, exclude_)) {
                ++passed;
                i = tree_.end(i) - 1;
                continue;
            }
            const Entry &e = tree_.at(i);
            if (!known(e)) {
                problem_(unreadDescription(), displayName(tree_.path(i)));
                continue;
            }
            if (e.kind == FoundEntry::Kind::Folder) {
                if (!goesInto(i))
                    i = tree_.end(i) - 1;
                continue; // adds nothing of its own
            }
            const ScanTree::FileId id = tree_.fileId(i);
            if (seen.firstSight(id.device, id.inode, id.links, e.length))
                size += {shownBytes(tree_, i, diskUsage), 1};
        }
        return size;
    }

    // Every file below folder `folder` (whose path below the listed one is `below`), walked as
    // the folder walker walks: a folder's files, then each of its subfolders' trees in turn.
    void recursive(Index folder, const QByteArray &below, bool diskUsage, std::vector<ListedItem> &out) const
    {
        const std::vector<Index> entries = sortedEntries(tree_, folder, exclude_);
        for (const Index i : entries)
            if (const Entry &e = tree_.at(i); !e.listedAsFolder() && known(e))
                out.push_back({below + '/' + tree_.name(i).toByteArray(), shownBytes(tree_, i, diskUsage), e.modified});
        for (const Index i : entries)
            if (goesInto(i))
                recursive(i, below + '/' + tree_.name(i).toByteArray(), diskUsage, out);
    }

private:
    const ScanTree &tree_;
    const ListingProblem &problem_;
    const NameFilter *exclude_;
    bool oneFileSystem_;
};
} // namespace

void scanFolderInto(const QByteArray &folder, const ListingProblem &problem, ScanTree &tree, WalkScope scope)
{
    TellingListener listener(problem, {1000, -1, std::move(scope)});
    buildScanTree(folder, listener, tree);
}

ListedFolder listedFolder(const ScanTree &tree, Index folder, ListingChoices choices, const ListingProblem &problem)
{
    if (folder >= tree.size() || !tree.at(folder).walked())
        throw FsError(QStringLiteral("The scan did not read this folder"));
    if (choices.recursive)
        choices.folderSizes = true; // as the window's Recursive box does
    const FilePattern pattern(choices.pattern);
    const std::shared_ptr<const NameFilter> exclude = exclusionFilter(choices.exclude);
    const TreeReader read(tree, problem, exclude.get(), choices.oneFileSystem);
    ListedFolder listed;
    listed.path = tree.path(folder);
    listed.choices = choices;

    std::vector<Index> subfolders, files;
    for (const Index i : sortedEntries(tree, folder, exclude.get(), &listed.passedOver))
        (tree.at(i).listedAsFolder() ? subfolders : files).push_back(i);

    // The subfolder trees in list order, then the folder's own files.
    const bool du = choices.diskUsage;
    SeenFiles seen;
    for (const Index i : subfolders) {
        const Entry &e = tree.at(i);
        ListedItem &item = listed.folders.emplace_back();
        item.path = tree.name(i).toByteArray();
        item.entry = i;
        item.modified = e.problem == FoundEntry::Problem::NotLookedAt ? INT64_MIN : e.modified;
        if (choices.folderSizes) {
            const ShownSize size = read.size(i, seen, du, listed.passedOver);
            item.bytes = size.bytes;
            item.files = size.files;
        }
        if (choices.recursive && read.goesInto(i))
            read.recursive(i, item.path, du, listed.recursive);
    }
    if (choices.folderSizes)
        for (const Index i : files) {
            const ShownSize size = read.size(i, seen, du, listed.passedOver);
            listed.ownBytes += size.bytes;
            listed.ownFiles += size.files;
        }

    // The pattern's files, each once in their total.
    const QString shown = displayName(listed.path.endsWith('/') ? listed.path : listed.path + '/');
    SeenFiles listedOnce;
    for (const Index i : files) {
        const QByteArrayView name = tree.name(i);
        if (!pattern.matches(QString::fromUtf8(name)))
            continue;
        const Entry &e = tree.at(i);
        if (known(e)) {
            const ScanTree::FileId id = tree.fileId(i);
            if (choices.fileSizes && listedOnce.firstSight(id.device, id.inode, id.links, e.length)) {
                listed.fileListTotalBytes += shownBytes(tree, i, du);
                ++listed.fileListTotalFiles;
            }
            listed.files.push_back({name.toByteArray(), shownBytes(tree, i, du), e.modified, false, 0, i});
        } else {
            for (int column = int(choices.fileSizes) + int(choices.dates); column > 0; --column)
                problem(unreadDescription(), shown + displayName(name));
            listed.files.push_back({name.toByteArray(), std::nullopt, INT64_MIN, false, 0, i});
        }
    }
    return listed;
}

ListingSnapshot listingOf(const ListedFolder &listed, const ListingLines &lines, const ItemMark &mark,
                          const std::shared_ptr<const ScanTree> &rowsOf)
{
    const ListingChoices &choices = listed.choices;
    ListingSnapshot s = listingStart(choices, listed.path);
    const ListedLayout layout(listed);
    std::shared_ptr<TreeRowLines> rows;
    if (!mark && rowsOf)
        rows = std::make_shared<TreeRowLines>(rowsOf, layout, lines);
    // A line kept, with its mark if any: whether it is.
    const auto put = [&](TextLines &out, ListedSection section, size_t item, const ListedItem &f, bool folder) {
        if (rows && f.entry != ScanTree::None) {
            out.appendMade(rows, rows->add(f, f.entry, folder), folder ? folderKeyOf(f, layout) : fileKeyOf(f, layout));
            return true;
        }
        const std::optional<QString> end = mark ? mark(section, item) : std::optional(QString());
        if (!end)
            return false;
        const ListedLine line = folder ? folderLineOf(f, layout, lines) : fileLineOf(f, layout, lines);
        out.append(line.text + *end, line.key);
        return true;
    };

    for (size_t i = 0; i < listed.folders.size(); ++i) {
        const ListedItem &f = listed.folders[i];
        if (put(s.folderLines, ListedSection::Folders, i, f, true) && f.bytes) { // the heading is the sum of the lines
            s.folderLinesBytes += *f.bytes;
            s.folderLinesFiles += f.files;
        }
    }
    for (size_t i = 0; i < listed.recursive.size(); ++i) {
        const ListedItem &f = listed.recursive[i];
        const QByteArray path = joinPath(listed.path, f.path);
        const qsizetype slash = path.lastIndexOf('/');
        const QByteArray folder = path.left(std::max<qsizetype>(slash, 1));
        const LineKey key{f.bytes.value_or(0), f.modified, -1};
        // A line without a mark is made when read, as the walk's are, with one folder's lines
        // sharing its path.
        if (!mark) {
            lines.recursiveFile(s.fileLines, folder, path.constData() + slash + 1, key);
            continue;
        }
        if (const std::optional<QString> end = mark(ListedSection::Recursive, i)) {
            TextLines one;
            lines.recursiveFile(one, folder, path.constData() + slash + 1, key);
            if (!one.isEmpty())
                s.fileLines.append(one.at(0) + *end);
        }
    }
    for (size_t i = 0; i < listed.files.size(); ++i)
        put(s.fileLines, ListedSection::Files, i, listed.files[i], false);
    s.fileListTotalText = ByteConverter(double(listed.fileListTotalBytes));
    s.fileListTotalFiles = listed.fileListTotalFiles;

    const ShownSize total{s.folderLinesBytes + listed.ownBytes, s.folderLinesFiles + listed.ownFiles};
    s.parentFolderLine = parentFolderText(s.currentFolderPath + choices.pattern,
                                          choices.folderSizes ? std::optional(total) : std::nullopt, choices.counts,
                                          choices.diskUsage, listed.passedOver);
    return s;
}

ListingSnapshot listTree(const ScanTree &tree, Index folder, const ListingChoices &choices,
                         const ListingProblem &problem, const ListingLines &lines)
{
    return listingOf(listedFolder(tree, folder, choices, problem), lines);
}

ListingSnapshot listTree(const ScanTree &tree, Index folder, const ListingChoices &choices,
                         const ListingProblem &problem)
{
    return listTree(tree, folder, choices, problem, savedFileLines(choices));
}

bool walkOrderLess(QByteArrayView a, QByteArrayView b)
{
    for (;;) {
        const qsizetype ea = a.indexOf('/'), eb = b.indexOf('/');
        const QByteArrayView pa = ea < 0 ? a : a.first(ea), pb = eb < 0 ? b : b.first(eb);
        if (pa != pb || ea < 0 || eb < 0) {
            if ((ea < 0) != (eb < 0))
                return ea < 0; // a file before the subfolders beside it
            return nameLess(pa, pb);
        }
        a = a.sliced(ea + 1);
        b = b.sliced(eb + 1);
    }
}
