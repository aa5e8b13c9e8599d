// SPDX-License-Identifier: GPL-3.0-or-later
#include "scan/SubfolderCount.h"

#include "scan/ScanPump.h"
#include "scan/engine/TreeCounter.h"
#include "shared/MainForm.h"
#include "shared/TextList.h"

namespace {
// Counts one subfolder's tree on this thread, its lines straight into the list.
ScanEnd countTreeHere(MainForm &f, TreeCounter &counter, const QByteArray &path, const ParallelCount::LineOf &lineOf,
                      int64_t &bytes)
{
    TreeCounter::FileSeen fileSeen;
    if (lineOf)
        fileSeen = [&](const QByteArray &folder, const char *name, int64_t length, int64_t modified) {
            if (const QString line = lineOf(folder, name, length); !line.isNull())
                f.lstBigFileList->addItem(line, {length, modified});
        };
    return counter.count(path, bytes, fileSeen);
}

ScanEnd countHere(MainForm &f, TreeCounter &counter, const FolderScanStart &start,
                  const ParallelCount::LineOf &lineOf, const std::function<void(int64_t)> &counted)
{
    for (const ScanSubfolder &entry : start.subfolders) {
        int64_t bytes = 0;
        if (const ScanEnd end = countTreeHere(f, counter, entry.path, lineOf, bytes); end != ScanEnd::Completed)
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
        trees.push_back(entry.path);
    ParallelCount pool(start.folder, std::move(trees), workers, lineOf);
    const ScanSession::Workers watched = pump.watch(pool);
    for (size_t i = 0; i < start.subfolders.size(); ++i) {
        CountedTree tree;
        if (const ScanEnd end = pool.take(i, pump, tree); end != ScanEnd::Completed)
            return end;
        if (counter.seen().sharesFolderWith(tree.seen)) {
            // It walked a folder an earlier tree walked (a bind mount of it): counted again
            // here, in order, it passes that folder over as one walk does. Rare.
            int64_t bytes = 0;
            if (const ScanEnd end = countTreeHere(f, counter, start.subfolders[i].path, lineOf, bytes);
                end != ScanEnd::Completed)
                return end;
            counted(bytes);
            continue;
        }
        // Where the walk met them: the lines before each problem, the problem, and so on.
        for (size_t p = 0; p < tree.problems.size(); ++p) {
            f.lstBigFileList->addItems(tree.lines[p]);
            const CountedTree::Problem &problem = tree.problems[p];
            if (const ScanEnd end = problem.folder.isEmpty()
                                        ? pump.problem(problem.description, problem.entryName)
                                        : pump.fileProblem(problem.description, problem.entryName, problem.folder);
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
