// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/scan/engine/SubfolderTrees.h"

#include "core/scan/engine/CountedTree.h"
#include "core/scan/engine/ScanListener.h"
#include "core/scan/engine/TreeCounter.h"

#include <QScopeGuard>

namespace {
// Counts one subfolder's tree on this thread, its lines told as the walk makes them.
ScanEnd countTreeHere(TreeCounter &counter, const QByteArray &tree, const ParallelCount::LineOf &lineOf,
                      const std::function<void(const TextLines &)> &addLines, Tally &tally)
{
    TreeCounter::FileSeen fileSeen;
    if (lineOf)
        fileSeen = [&](const QByteArray &folder, const char *name, int64_t length, int64_t modified) {
            TextLines one;
            lineOf(one, folder, name, {length, modified});
            if (!one.isEmpty())
                addLines(one);
        };
    return counter.count(tree, tally, fileSeen);
}

ScanEnd countHere(TreeCounter &counter, const std::vector<QByteArray> &trees, const ParallelCount::LineOf &lineOf,
                  const std::function<void(const TextLines &)> &addLines, const std::function<void(const Tally &)> &counted,
                  Tally *own, int64_t &passedOver, WalkKeeper *keeper)
{
    counter.setSink(keeper);
    const auto unset = qScopeGuard([&counter] { counter.setSink(nullptr); });
    for (const QByteArray &tree : trees) {
        Tally tally;
        const ScanEnd end = countTreeHere(counter, tree, lineOf, addLines, tally);
        passedOver += counter.takePassedOver();
        if (end != ScanEnd::Completed)
            return end;
        counted(keeper ? keeper->takeCounted() : tally);
    }
    if (!own)
        return ScanEnd::Completed;
    const ScanEnd end = counter.countFiles(*own);
    if (keeper)
        *own = keeper->takeCounted();
    return end;
}

// Where a count that keeps what it meets puts the scan's folder: an entry of its path alone.
FoundEntry topOf(const QByteArray &folder)
{
    FoundEntry top;
    top.name = folder;
    top.kind = FoundEntry::Kind::Folder;
    return top;
}
// The count with workers of a scan that keeps what it meets: each piece handed to `keeper`
// as soon as it is taken, so that no tree is held whole but there.
ScanEnd keepTrees(ScanListener &listener, TreeCounter &counter, const QByteArray &folder,
                  const std::vector<QByteArray> &trees, const std::function<void(const Tally &tally)> &counted,
                  Tally *own, const WatchWorkers &watch, int64_t &passedOver, WalkKeeper &keeper)
{
    ParallelCount pool(folder, trees, listener.options().workerCount(), listener.options().maxWorkers(), {},
                       own != nullptr, keeper.newPiece(), listener.options().scope, counter.diskUsage());
    const auto takeTrees = [&] {
        SeenFiles seen;
        for (size_t i = 0; i < trees.size() + (own ? 1 : 0); ++i) {
            if (const ScanEnd end = pool.stream(i, listener, seen, keeper, &passedOver); end != ScanEnd::Completed)
                return end;
            if (i == trees.size())
                *own = keeper.takeCounted();
            else
                counted(keeper.takeCounted());
            if (const ScanEnd end = listener.tick(); end != ScanEnd::Completed)
                return end;
        }
        return ScanEnd::Completed;
    };
    return watch ? watch(pool, takeTrees) : takeTrees();
}
} // namespace

ScanEnd countSubfolderTrees(ScanListener &listener, TreeCounter &counter, const QByteArray &folder,
                            const std::vector<QByteArray> &trees, const ParallelCount::LineOf &lineOf,
                            const std::function<void(const TextLines &)> &addLines,
                            const std::function<void(const Tally &tally)> &counted, Tally *own,
                            const WatchWorkers &watch, int64_t *passedOver, WalkKeeper *keeper)
{
    int64_t passed = 0;
    int64_t &passedInto = passedOver ? *passedOver : passed;
    const int workers = listener.options().workerCount();
    if (keeper)
        keeper->enterFolder(topOf(folder));
    if (workers == 0)
        return countHere(counter, trees, lineOf, addLines, counted, own, passedInto, keeper);
    if (keeper)
        return keepTrees(listener, counter, folder, trees, counted, own, watch, passedInto, *keeper);

    ParallelCount pool(folder, trees, workers, listener.options().maxWorkers(), lineOf, own != nullptr, {},
                       listener.options().scope, counter.diskUsage());
    const auto takeTrees = [&] {
        CountedTree tree; // each tree taken replaces the one before
        for (size_t i = 0; i < trees.size() + (own ? 1 : 0); ++i) {
            const bool ownFiles = i == trees.size();
            if (const ScanEnd end = pool.take(i, listener, tree); end != ScanEnd::Completed)
                return end;
            // (The own files walk no folder: never counted again.)
            if (!ownFiles && (tree.countAgain || counter.seen().sharesFolderWith(tree.seen))) {
                // It walked a folder an earlier tree walked, or its pieces one folder twice (a
                // bind mount of it): counted again in one walk that goes on from the trees
                // before it, it passes that folder over as one walk does. Rare.
                if (const ScanEnd end = pool.recount(i, counter.takeSeen(), listener, tree); end != ScanEnd::Completed)
                    return end;
            }
            // Where the walk met them: the lines before each problem, the problem, and so on.
            for (size_t p = 0; p < tree.problems.size(); ++p) {
                addLines(tree.lines[p]);
                const CountedTree::Problem &problem = tree.problems[p];
                if (const ScanEnd end =
                        problem.vanished ? listener.vanished(problem.description, problem.nativeFolder, problem.nativeName)
                        : problem.folder.isEmpty()
                            ? listener.problem(problem.description, problem.entryName)
                            : listener.fileProblem(problem.description, problem.entryName, problem.folder);
                    end != ScanEnd::Completed)
                    return end;
            }
            addLines(tree.lines.back());
            if (tree.end != ScanEnd::Completed)
                return tree.end;
            // (After a count again, the counter holds nothing: it takes in all that walk met.)
            Tally tally = tree.tally;
            tally -= counter.takeOver(tree.seen);
            passedInto += tree.passedOver;
            if (ownFiles)
                *own = tally;
            else
                counted(tally);
            if (const ScanEnd end = listener.tick(); end != ScanEnd::Completed)
                return end;
        }
        return ScanEnd::Completed;
    };
    return watch ? watch(pool, takeTrees) : takeTrees();
}
