// SPDX-License-Identifier: GPL-3.0-or-later
#include "scan/SubfolderCount.h"

#include "scan/ScanPump.h"
#include "scan/engine/TreeCounter.h"
#include "shared/MainForm.h"
#include "shared/TextList.h"

namespace {
ScanEnd countHere(MainForm &f, TreeCounter &counter, const FolderScanStart &start,
                  const ParallelCount::LineOf &lineOf, const std::function<void(int64_t)> &counted)
{
    TreeCounter::FileSeen fileSeen;
    if (lineOf)
        fileSeen = [&](const QByteArray &folder, const char *name, int64_t length, int64_t modified) {
            if (const QString line = lineOf(folder, name, length); !line.isNull())
                f.lstBigFileList->addItem(line, {length, modified});
        };
    for (const ScanSubfolder &entry : start.subfolders) {
        int64_t bytes = 0;
        if (!entry.isLink) // a link to a folder gets its line but is not walked
            if (const ScanEnd end = counter.count(entry.path, bytes, fileSeen); end != ScanEnd::Completed)
                return end;
        counted(bytes);
    }
    return ScanEnd::Completed;
}
} // namespace

ScanEnd countSubfolders(MainForm &f, ScanPump &pump, TreeCounter &counter, const FolderScanStart &start,
                        const ParallelCount::LineOf &lineOf, const std::function<void(int64_t bytes)> &counted)
{
    const int workers = pump.options().workerCount();
    if (workers == 0)
        return countHere(f, counter, start, lineOf, counted);

    std::vector<QByteArray> trees;
    trees.reserve(start.subfolders.size());
    for (const ScanSubfolder &entry : start.subfolders)
        trees.push_back(entry.isLink ? QByteArray() : entry.path);
    ParallelCount pool(start.folder, std::move(trees), workers, lineOf);
    const ScanSession::Workers watched = pump.watch(pool);
    for (size_t i = 0; i < start.subfolders.size(); ++i) {
        CountedTree tree;
        if (const ScanEnd end = pool.take(i, pump, tree); end != ScanEnd::Completed)
            return end;
        // Where the walk met them: the lines before each problem, the problem, and so on.
        for (size_t p = 0; p < tree.problems.size(); ++p) {
            f.lstBigFileList->addItems(tree.lines[p]);
            if (const ScanEnd end = pump.problem(tree.problems[p].description, tree.problems[p].entryName);
                end != ScanEnd::Completed)
                return end;
        }
        f.lstBigFileList->addItems(tree.lines.back());
        if (tree.end != ScanEnd::Completed)
            return tree.end;
        counted(tree.bytes - counter.takeOver(tree.seen));
        if (const ScanEnd end = pump.tick(); end != ScanEnd::Completed)
            return end;
    }
    return ScanEnd::Completed;
}
