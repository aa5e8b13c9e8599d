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

void leaveOut(FolderScanStart &start, const NameFilter &exclude)
{
    const auto out = std::remove_if(start.subfolders.begin(), start.subfolders.end(), [&](const ScanSubfolder &sub) {
        const qsizetype slash = sub.path.lastIndexOf('/');
        return exclude.excludes(QByteArrayView(sub.path).sliced(slash + 1));
    });
    start.passedOver += int64_t(start.subfolders.end() - out);
    start.subfolders.erase(out, start.subfolders.end());
    int longest = 0;
    for (const ScanSubfolder &sub : start.subfolders)
        longest = std::max(longest, int(charCount(sub.text)));
    start.nameWidth = longest + 1;
}

namespace {
// Counts the subfolder trees of `start` in list order into `counted`, and with `own` the
// folder's own files after them.
ScanEnd countTrees(ScanPort &port, const FolderScanStart &start, const ScanChoices &choices,
                   const ParallelCount::LineOf &lineOf, const std::function<void(ShownSize)> &counted, ShownSize *own,
                   int64_t &passedOver, WalkKeeper *keeper = nullptr)
{
    passedOver = start.passedOver;
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
        },
        &passedOver, keeper);
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
        port.passedOver(start.passedOver);
        return ScanEnd::Completed;
    }
    if (counted && takesOver(*counted, start, choices)) {
        for (size_t i = 0; i < start.subfolders.size(); ++i)
            port.folderLine(start.subfolders[i], counted->subfolderSizes[i], start.nameWidth);
        port.ownFilesCounted(counted->own);
        port.passedOver(counted->passedOver);
        return ScanEnd::Completed;
    }
    size_t next = 0;
    ShownSize own;
    int64_t passedOver = 0;
    const ScanEnd end = countTrees(
        port, start, choices, {},
        [&](ShownSize size) { port.folderLine(start.subfolders[next++], size, start.nameWidth); }, &own, passedOver,
        port.keeper());
    if (end == ScanEnd::Completed) {
        port.ownFilesCounted(own);
        port.passedOver(passedOver);
    }
    return end;
}

bool takesOver(const CountedSizes &counted, const FolderScanStart &start, const ScanChoices &choices)
{
    return counted.complete && counted.folder == start.folder && counted.diskUsage == choices.diskUsage
           && counted.subfolderSizes.size() == start.subfolders.size();
}

ScanEnd scanRecursiveFiles(ScanPort &port, const FolderScanStart &start, const ScanChoices &choices,
                           const ParallelCount::LineOf &lineOf, CountedSizes &counted)
{
    counted = CountedSizes{start.folder, {}, {}, choices.diskUsage, 0, false};
    WalkKeeper *keeper = port.recursiveKeeper(choices.diskUsage);
    const ScanEnd end = countTrees(
        port, start, choices, keeper ? ParallelCount::LineOf() : lineOf,
        [&](ShownSize size) {
            counted.subfolderSizes.push_back(size);
            port.treeCounted(size);
        },
        choices.folderSizes ? &counted.own : nullptr, counted.passedOver, keeper);
    if (end == ScanEnd::Completed && choices.folderSizes) {
        counted.complete = true;
        port.ownFilesCounted(counted.own);
    }
    if (end == ScanEnd::Completed)
        port.passedOver(counted.passedOver);
    return end;
}
