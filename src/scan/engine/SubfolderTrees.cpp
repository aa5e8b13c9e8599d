// SPDX-License-Identifier: GPL-3.0-or-later
#include "scan/engine/SubfolderTrees.h"

#include "scan/engine/CountedTree.h"
#include "scan/engine/ScanListener.h"
#include "scan/engine/TreeCounter.h"

namespace {
ScanEnd countHere(TreeCounter &counter, const std::vector<QByteArray> &trees, const ParallelCount::LineOf &lineOf,
                  const std::function<void(const TextLines &)> &addLines, const std::function<void(int64_t)> &counted)
{
    TreeCounter::FileSeen fileSeen;
    if (lineOf)
        fileSeen = [&](const QByteArray &folder, const char *name, int64_t length) {
            if (const QString line = lineOf(folder, name, length); !line.isNull())
                addLines(TextLines{line});
        };
    for (const QByteArray &tree : trees) {
        int64_t bytes = 0;
        if (!tree.isEmpty())
            if (const ScanEnd end = counter.count(tree, bytes, fileSeen); end != ScanEnd::Completed)
                return end;
        counted(bytes);
    }
    return ScanEnd::Completed;
}
} // namespace

ScanEnd countSubfolderTrees(ScanListener &listener, TreeCounter &counter, const QByteArray &folder,
                            const std::vector<QByteArray> &trees, const ParallelCount::LineOf &lineOf,
                            const std::function<void(const TextLines &)> &addLines,
                            const std::function<void(int64_t bytes)> &counted, const WatchWorkers &watch)
{
    const int workers = listener.options().workerCount();
    if (workers == 0)
        return countHere(counter, trees, lineOf, addLines, counted);

    ParallelCount pool(folder, trees, workers, lineOf);
    const auto takeTrees = [&] {
        for (size_t i = 0; i < trees.size(); ++i) {
            CountedTree tree;
            if (const ScanEnd end = pool.take(i, listener, tree); end != ScanEnd::Completed)
                return end;
            // Where the walk met them: the lines before each problem, the problem, and so on.
            for (size_t p = 0; p < tree.problems.size(); ++p) {
                addLines(tree.lines[p]);
                if (const ScanEnd end = listener.problem(tree.problems[p].description, tree.problems[p].entryName);
                    end != ScanEnd::Completed)
                    return end;
            }
            addLines(tree.lines.back());
            if (tree.end != ScanEnd::Completed)
                return tree.end;
            counted(tree.bytes - counter.takeOver(tree.seen));
            if (const ScanEnd end = listener.tick(); end != ScanEnd::Completed)
                return end;
        }
        return ScanEnd::Completed;
    };
    return watch ? watch(pool, takeTrees) : takeTrees();
}
