// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "core/scan/engine/EntrySink.h"
#include "core/scan/engine/ParallelCount.h"
#include "core/scan/engine/ScanEnd.h"
#include "core/scan/engine/Tally.h"
#include "core/shared/TextLines.h"

#include <QByteArray>
#include <cstdint>
#include <functional>
#include <vector>

class ScanListener;
class TreeCounter;

// Counts the trees of a scan's subfolders (`trees` in list order, full paths; a link to a
// folder counts its own length and is never walked), on the listener's thread or on
// worker threads as its options say, and tells them as one walk through them in list order
// tells them: for each subfolder its lines (when `lineOf` is given) to `addLines` and its
// problems to the listener, each problem after the lines the walk made before it, then
// `counted` with its tally. A file of several names counts in the first subfolder holding it,
// as `counter` counts, and a folder met twice is walked once: a tree a worker walked through a
// folder met before is counted again in one walk, in order, on a worker too. A file's problem
// names its folder (ScanListener::fileProblem). With `own`, the scan folder's own files
// are counted after the trees into it (TreeCounter::countFiles), on a worker when the trees
// are, so that a share that hangs on one of them holds no more than a worker. Ends at once with any end but Completed (the
// listener's); the workers then stop and nothing more they counted is told. `watch`, when
// given, runs the taking of the trees with the workers' pool known to whoever may have to stop
// them. `passedOver`, when given, adds up the names the walks passed over (see WalkScope).
// With `keeper`, everything the count meets is kept there in walk order, below an entry for
// `folder` (whose own status is not taken: the thread that runs the scan does not wait on its
// file system), and the tallies told are the keeper's (see WalkKeeper).
using WatchWorkers = std::function<ScanEnd(ParallelCount &pool, const std::function<ScanEnd()> &takeTrees)>;
ScanEnd countSubfolderTrees(ScanListener &listener, TreeCounter &counter, const QByteArray &folder,
                            const std::vector<QByteArray> &trees, const ParallelCount::LineOf &lineOf,
                            const std::function<void(const TextLines &)> &addLines,
                            const std::function<void(const Tally &tally)> &counted, Tally *own = nullptr,
                            const WatchWorkers &watch = {}, int64_t *passedOver = nullptr,
                            WalkKeeper *keeper = nullptr);
