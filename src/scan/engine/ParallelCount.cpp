// SPDX-License-Identifier: GPL-3.0-or-later
#include "scan/engine/ParallelCount.h"

#include "scan/engine/ScanListener.h"
#include "scan/engine/TreeCounter.h"
#include "shared/FsError.h"
#include "shared/Text.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>
#include <thread>
#include <sched.h>

namespace {
// A worker's listener: keeps what the count reports in the tree being counted, goes on until
// the count is cancelled (checked at every entry), and shares its progress now and then.
class TreeRecorder : public ScanListener {
public:
    TreeRecorder(const std::atomic<bool> &cancelled, std::atomic<int64_t> &folders, std::atomic<int64_t> &files,
                 std::atomic<int64_t> &bytes)
        : ScanListener(ScanOptions{0, 0}), cancelled_(cancelled), folders_(folders), files_(files), bytes_(bytes)
    {
    }

    CountedTree *tree = nullptr;

    ScanEnd problem(const QString &description, const QString &entryName) override
    {
        return fileProblem(description, entryName, QString());
    }
    ScanEnd fileProblem(const QString &description, const QString &name, const QString &folder) override
    {
        tree->problems.push_back({description, name, folder});
        tree->lines.emplace_back();
        return goOn();
    }

    // Adds what was counted since the last time to the shared progress.
    void share()
    {
        folders_.fetch_add(progress.folders - shared_.folders, std::memory_order_relaxed);
        files_.fetch_add(progress.files - shared_.files, std::memory_order_relaxed);
        bytes_.fetch_add(progress.bytes - shared_.bytes, std::memory_order_relaxed);
        shared_ = progress;
    }

protected:
    ScanEnd pump() override
    {
        if ((++ticks_ & 255) == 0)
            share();
        return goOn();
    }

private:
    ScanEnd goOn() const
    {
        return cancelled_.load(std::memory_order_relaxed) ? ScanEnd::Abandoned : ScanEnd::Completed;
    }

    const std::atomic<bool> &cancelled_;
    std::atomic<int64_t> &folders_, &files_, &bytes_;
    ScanProgress shared_;
    unsigned ticks_ = 0;
};
} // namespace


struct ParallelCount::Shared {
    Shared(const QByteArray &scanFolder, std::vector<QByteArray> trees, LineOf lineOf, size_t ahead)
        : scanFolder(scanFolder), trees(std::move(trees)), lineOf(std::move(lineOf)), ahead(ahead)
    {
    }

    void work();

    const QByteArray scanFolder;
    const std::vector<QByteArray> trees;
    const LineOf lineOf;
    const size_t ahead; // trees counted and not yet taken, at most

    std::atomic<bool> cancelled{false};
    std::mutex mutex;
    std::condition_variable workerWake; // a tree was taken, or cancelled
    std::condition_variable treeDone;   // a tree was counted
    size_t next = 0;  // the next tree a worker takes
    size_t taken = 0; // trees taken by the scan
    std::map<size_t, CountedTree> done; // counted and not yet taken

    // What the workers have counted so far, for the progress line.
    std::atomic<int64_t> folders{0}, files{0}, bytes{0};
};

ParallelCount::ParallelCount(const QByteArray &scanFolder, std::vector<QByteArray> trees, int workers, LineOf lineOf)
    : shared_(std::make_shared<Shared>(scanFolder, std::move(trees), std::move(lineOf),
                                       size_t(std::max(workers, 1)) * 2))
{
    const size_t threads = std::min(size_t(std::max(workers, 1)), shared_->trees.size());
    for (size_t i = 0; i < threads; ++i)
        std::thread([shared = shared_] { shared->work(); }).detach();
}

ParallelCount::~ParallelCount()
{
    cancel(); // the workers end on their own, and the last one frees what they share
}

void ParallelCount::cancel()
{
    {
        const std::lock_guard lock(shared_->mutex);
        shared_->cancelled = true;
    }
    shared_->workerWake.notify_all();
}

void ParallelCount::Shared::work()
{
    // A counting thread gives way to the window's thread whenever that wakes to pump events:
    // the scheduler treats it as batch work, never as one to be woken at once.
    const sched_param batch{};
    ::sched_setscheduler(0, SCHED_BATCH, &batch);
    TreeRecorder recorder(cancelled, folders, files, bytes);
    TreeCounter counter(recorder, scanFolder);
    for (;;) {
        size_t i = 0;
        {
            std::unique_lock lock(mutex);
            workerWake.wait(lock, [this] { return cancelled || next >= trees.size() || next < taken + ahead; });
            if (cancelled || next >= trees.size())
                return;
            i = next++;
        }
        CountedTree tree;
        recorder.tree = &tree;
        if (!trees[i].isEmpty()) {
            TreeCounter::FileSeen fileSeen;
            if (lineOf)
                fileSeen = [&](const QByteArray &folder, const char *name, int64_t length, int64_t modified) {
                    if (const QString line = lineOf(folder, name, length); !line.isNull())
                        tree.lines.back().append(line, {length, modified});
                };
            try {
                tree.end = counter.count(trees[i], tree.bytes, fileSeen);
            } catch (const std::exception &e) {
                recorder.problem(errorDescription(e), displayName(trees[i]));
            }
            tree.seen = counter.takeSeen();
            recorder.share();
        }
        {
            const std::lock_guard lock(mutex);
            if (cancelled || tree.end == ScanEnd::Abandoned)
                return;
            done.emplace(i, std::move(tree));
        }
        treeDone.notify_all();
    }
}

ScanEnd ParallelCount::take(size_t i, ScanListener &listener, CountedTree &tree)
{
    Shared &s = *shared_;
    if (!before_)
        before_ = listener.progress;
    const auto showProgress = [&] {
        listener.progress.folders = before_->folders + s.folders.load(std::memory_order_relaxed);
        listener.progress.files = before_->files + s.files.load(std::memory_order_relaxed);
        listener.progress.bytes = before_->bytes + s.bytes.load(std::memory_order_relaxed);
    };
    listener.progress.folder = s.trees[i];
    for (;;) {
        {
            // Until the tree is counted, or the next pump is due.
            const auto wait = std::chrono::milliseconds(std::max<qint64>(1, listener.msUntilPump()));
            std::unique_lock lock(s.mutex);
            if (s.treeDone.wait_for(lock, wait, [&] { return s.done.contains(i); })) {
                const auto node = s.done.extract(i);
                tree = std::move(node.mapped());
                s.taken = i + 1;
                break;
            }
        }
        showProgress();
        if (const ScanEnd end = listener.tick(); end != ScanEnd::Completed)
            return end;
        // Cancelled from outside while the scan itself goes on: the tree never comes.
        if (s.cancelled)
            return ScanEnd::Abandoned;
    }
    s.workerWake.notify_all();
    showProgress();
    return ScanEnd::Completed;
}
