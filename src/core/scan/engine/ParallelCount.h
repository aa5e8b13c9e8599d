// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "core/shared/TextLines.h"
#include "core/scan/engine/CountedTree.h"
#include "core/scan/engine/EntrySink.h"
#include "core/scan/engine/ScanEnd.h"
#include "core/scan/engine/ScanProgress.h"
#include "core/scan/engine/WalkScope.h"

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class ScanListener;

// Counts the subfolder trees of a scan on worker threads, and hands them to the thread that
// runs the scan, which takes them in list order, each as one walk of it alone would show it.
// Workers never touch the listener of the scan: what they find waits until it is taken.
//
// The work is handed out in pieces that pay for their handing: many small trees go to a
// worker in one batch; when the work left is short of the workers, a tree is split below its
// top folder into its own files (a big folder's files in slices) and its subfolders' trees,
// which are split again in turn; the pieces of a tree are put together in walk order. The
// workers start at one per core and grow, up to `maxWorkers`, while they mostly wait on the
// kernel (a slow or cold disk, a network share) rather than use a core.
//
// Destroying it (or cancel()) ends the workers within an entry or two of each one's walk, and
// whatever they counted is dropped. Nothing ever waits for a worker to end: one that waits in
// the kernel on a server that never answers is left behind, and the state it shares with the
// others lives until the last of them is gone.
class ParallelCount {
public:
    // Adds the line a file gets to `lines`, built on the worker, with `key` (the file's length
    // and modification time); a file may get none. Must be safe to call from several threads
    // at once, and must hold nothing by reference: a worker left behind may call it after the
    // count is gone.
    using LineOf = std::function<void(TextLines &lines, const QByteArray &folder, const char *name, LineKey key)>;

    // `trees` in list order (a link to a folder among them counts its own length, see
    // TreeCounter::count). Without `lineOf`, trees get no lines. With `ownFiles`, one more
    // comes after them, taken as tree trees.size(): the scan folder's own files
    // (TreeCounter::countFiles), so that no call on them waits on the thread that takes it.
    // With `newPiece`, each piece of the walk is told to a sink of its own (see EntrySink), to
    // be taken with stream().
    // `scope` is what the walks take in. With `diskUsage`, lines get the files' allocated bytes
    // (TreeCounter::setDiskUsage).
    ParallelCount(const QByteArray &scanFolder, std::vector<QByteArray> trees, int workers, int maxWorkers,
                  LineOf lineOf = {}, bool ownFiles = false, NewPieceSink newPiece = {}, WalkScope scope = {},
                  bool diskUsage = false);
    ~ParallelCount();
    ParallelCount(const ParallelCount &) = delete;
    ParallelCount &operator=(const ParallelCount &) = delete;

    // Waits for tree `i` (trees are taken in list order, each once), ticking `listener` at
    // least every pump interval of it while it waits, and shows the workers' progress in the
    // listener's. Completed with the tree in `tree`, or the end the listener gave; Abandoned
    // once cancelled.
    ScanEnd take(size_t i, ScanListener &listener, CountedTree &tree);
    // Counts tree `i` again in one walk, for a tree that walked a folder an earlier tree walked
    // or that its own pieces walked twice: on a thread of its own, as the folder may be on a
    // share that never answers, after the files and folders the scan met before it (`before`,
    // handed over). Waits as take() does; `tree` then holds what that walk shows, its `seen`
    // being `before` with what the walk met added.
    ScanEnd recount(size_t i, SeenFiles before, ScanListener &listener, CountedTree &tree);

    // Takes tree `i` as take() does, but hands each piece's sink to `taker` in walk order as soon
    // as it is counted, its problems told to `listener` after it, so that no tree is held whole.
    // `seen` holds what the pieces before met, and takes in each piece's: a piece that walked a
    // folder met before (a bind mount of it) is walked again first, after them, as one walk
    // passes that folder over. `passedOver`, when given, adds up the names its walks passed over.
    ScanEnd stream(size_t i, ScanListener &listener, SeenFiles &seen, PieceTaker &taker, int64_t *passedOver = nullptr);

    // Ends the workers; safe from any thread.
    void cancel();

    struct Shared; // what the workers and the count share

private:
    // The scan's progress when it took its first tree: what the workers' progress is shown on top of.
    const ScanProgress &progressBefore(ScanListener &listener);

    std::shared_ptr<Shared> shared_;
    std::optional<ScanProgress> before_; // the scan's progress when it took its first tree
};
