// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "scan/engine/CountedTree.h"
#include "scan/engine/ScanEnd.h"
#include "scan/engine/ScanProgress.h"

#include <QByteArray>
#include <QString>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

class ScanListener;

// Counts the subfolder trees of a scan on worker threads, each tree on its own by the one
// worker that takes it, in list order and at most a few trees ahead of the thread that runs
// the scan, which takes the counted trees in list order. Workers never touch the listener of
// the scan: what they find waits in the tree's CountedTree until it is taken.
//
// Destroying it (or cancel()) ends the workers within an entry or two of each one's walk, and
// whatever they counted is dropped.
class ParallelCount {
public:
    // The line a file gets, built on the worker; a null text gives it no line. Must be safe
    // to call from several threads at once.
    using LineOf = std::function<QString(const QByteArray &folder, const char *name, int64_t length)>;

    // `trees` in list order; an empty path stands for a subfolder that is not walked (a link
    // to a folder): it counts nothing. Without `lineOf`, trees get no lines.
    ParallelCount(const QByteArray &scanFolder, std::vector<QByteArray> trees, int workers, LineOf lineOf = {});
    ~ParallelCount();
    ParallelCount(const ParallelCount &) = delete;
    ParallelCount &operator=(const ParallelCount &) = delete;

    // Waits for tree `i` (trees are taken in list order, each once), ticking `listener` at
    // least every pump interval of it while it waits, and shows the workers' progress in the
    // listener's. Completed with the tree in `tree`, or the end the listener gave; Abandoned
    // once cancelled.
    ScanEnd take(size_t i, ScanListener &listener, CountedTree &tree);

    // Ends the workers; safe from any thread.
    void cancel();

private:
    void work();
    CountedTree countTree(const QByteArray &path);

    const QByteArray scanFolder_;
    const std::vector<QByteArray> trees_;
    const LineOf lineOf_;
    const size_t ahead_; // trees counted and not yet taken, at most

    std::atomic<bool> cancelled_{false};
    std::mutex mutex_;
    std::condition_variable workerWake_; // a tree was taken, or cancelled
    std::condition_variable treeDone_;   // a tree was counted
    size_t next_ = 0;   // the next tree a worker takes
    size_t taken_ = 0;  // trees taken by the scan
    std::map<size_t, CountedTree> done_; // counted and not yet taken

    std::optional<ScanProgress> before_; // the scan's progress when it took its first tree

    // What the workers have counted so far, for the progress line.
    std::atomic<int64_t> folders_{0}, files_{0}, bytes_{0};

    std::vector<std::jthread> workers_;
};
