// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/scan/engine/FolderScan.h"

#include "core/scan/engine/DirectoryList.h"
#include "core/scan/engine/SubfolderTrees.h"
#include "core/scan/engine/TreeCounter.h"
#include "core/shared/Text.h"

#include <algorithm>

FolderScanStart folderScanStart(const DirectoryList &list)
{
    FolderScanStart start;
    start.folder = list.path();
    start.subfolders.reserve(size_t(list.count()));
    int longest = 0;
    for (int i = 0; i < list.count(); ++i) {
        const QByteArray path = list.entry(i);
        QString text = displayName(path);
        longest = std::max(longest, int(charCount(text)));
        start.subfolders.push_back({path, std::move(text), list.isLink(i), list.modified(i)});
    }
    start.nameWidth = longest + 1;
    return start;
}

namespace {
// Counts the subfolder trees of `start` in list order into `counted`, and with `own` the
// folder's own files after them.
ScanEnd countTrees(ScanPort &port, const FolderScanStart &start, const ScanChoices &choices,
                   const ParallelCount::LineOf &lineOf, const std::function<void(ShownSize)> &counted, ShownSize *own)
{
    TreeCounter counter(port, start.folder);
    counter.setDiskUsage(choices.diskUsage);
    std::vector<QByteArray> trees;
    trees.reserve(start.subfolders.size());
    for (const ScanSubfolder &entry : start.subfolders)
        trees.push_back(entry.path); // a link to a folder counts its own length, unwalked
    Tally ownTally;
    const ScanEnd end = countSubfolderTrees(
        port, counter, start.folder, trees, lineOf, [&port](const TextLines &lines) { port.fileLines(lines); },
        [&](const Tally &tally) { counted(shownSize(tally, choices.diskUsage)); }, own ? &ownTally : nullptr,
        [&port](ParallelCount &pool, const std::function<ScanEnd()> &takeTrees) {
            return port.watchWorkers(pool, takeTrees);
        });
    if (own)
        *own = shownSize(ownTally, choices.diskUsage);
    return end;
}
} // namespace

ScanEnd scanFolderList(ScanPort &port, const FolderScanStart &start, const ScanChoices &choices,
                       const CountedSizes *counted)
{
    if (!choices.folderSizes) {
        for (const ScanSubfolder &entry : start.subfolders)
            port.folderLine(entry, std::nullopt, start.nameWidth);
        return ScanEnd::Completed;
    }
    if (counted && counted->complete && counted->folder == start.folder && counted->diskUsage == choices.diskUsage
        && counted->subfolderSizes.size() == start.subfolders.size()) {
        for (size_t i = 0; i < start.subfolders.size(); ++i)
            port.folderLine(start.subfolders[i], counted->subfolderSizes[i], start.nameWidth);
        port.ownFilesCounted(counted->own);
        return ScanEnd::Completed;
    }
    size_t next = 0;
    ShownSize own;
    const ScanEnd end = countTrees(
        port, start, choices, {},
        [&](ShownSize size) { port.folderLine(start.subfolders[next++], size, start.nameWidth); }, &own);
    if (end == ScanEnd::Completed)
        port.ownFilesCounted(own);
    return end;
}

ScanEnd scanRecursiveFiles(ScanPort &port, const FolderScanStart &start, const ScanChoices &choices,
                           const ParallelCount::LineOf &lineOf, CountedSizes &counted)
{
    counted = CountedSizes{start.folder, {}, {}, choices.diskUsage, false};
    const ScanEnd end = countTrees(
        port, start, choices, lineOf,
        [&](ShownSize size) {
            counted.subfolderSizes.push_back(size);
            port.treeCounted(size);
        },
        choices.folderSizes ? &counted.own : nullptr);
    if (end == ScanEnd::Completed && choices.folderSizes) {
        counted.complete = true;
        port.ownFilesCounted(counted.own);
    }
    return end;
}
