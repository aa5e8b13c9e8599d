// SPDX-License-Identifier: GPL-3.0-or-later
#include "scan/engine/ParallelCount.h"

#include "scan/engine/ScanListener.h"
#include "scan/engine/TreeCounter.h"
#include "shared/FsError.h"
#include "shared/Text.h"

#include <algorithm>
#include <chrono>
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
        tree->problems.push_back({description, entryName});
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

ParallelCount::ParallelCount(const QByteArray &scanFolder, std::vector<QByteArray> trees, int workers, LineOf lineOf)
    : scanFolder_(scanFolder), trees_(std::move(trees)), lineOf_(std::move(lineOf)),
      ahead_(size_t(std::max(workers, 1)) * 2)
{
    const size_t threads = std::min(size_t(std::max(workers, 1)), trees_.size());
    workers_.reserve(threads);
    for (size_t i = 0; i < threads; ++i)
        workers_.emplace_back([this] { work(); });
}

ParallelCount::~ParallelCount()
{
    cancel();
    workers_.clear(); // joins them
}

void ParallelCount::cancel()
{
    {
        const std::lock_guard lock(mutex_);
        cancelled_ = true;
    }
    workerWake_.notify_all();
}

void ParallelCount::work()
{
    // A counting thread gives way to the window's thread whenever that wakes to pump events:
    // the scheduler treats it as batch work, never as one to be woken at once.
    const sched_param batch{};
    ::sched_setscheduler(0, SCHED_BATCH, &batch);
    TreeRecorder recorder(cancelled_, folders_, files_, bytes_);
    TreeCounter counter(recorder, scanFolder_);
    for (;;) {
        size_t i = 0;
        {
            std::unique_lock lock(mutex_);
            workerWake_.wait(lock, [this] { return cancelled_ || next_ >= trees_.size() || next_ < taken_ + ahead_; });
            if (cancelled_ || next_ >= trees_.size())
                return;
            i = next_++;
        }
        CountedTree tree;
        recorder.tree = &tree;
        if (!trees_[i].isEmpty()) {
            TreeCounter::FileSeen fileSeen;
            if (lineOf_)
                fileSeen = [&](const QByteArray &folder, const char *name, int64_t length, int64_t modified) {
                    if (const QString line = lineOf_(folder, name, length); !line.isNull())
                        tree.lines.back().append(line, {length, modified});
                };
            try {
                tree.end = counter.count(trees_[i], tree.bytes, fileSeen);
            } catch (const std::exception &e) {
                recorder.problem(errorDescription(e), displayName(trees_[i]));
            }
            tree.seen = counter.takeSeen();
            recorder.share();
        }
        {
            const std::lock_guard lock(mutex_);
            if (cancelled_ || tree.end == ScanEnd::Abandoned)
                return;
            done_.emplace(i, std::move(tree));
        }
        treeDone_.notify_all();
    }
}

ScanEnd ParallelCount::take(size_t i, ScanListener &listener, CountedTree &tree)
{
    if (!before_)
        before_ = listener.progress;
    const auto showProgress = [&] {
        listener.progress.folders = before_->folders + folders_.load(std::memory_order_relaxed);
        listener.progress.files = before_->files + files_.load(std::memory_order_relaxed);
        listener.progress.bytes = before_->bytes + bytes_.load(std::memory_order_relaxed);
    };
    listener.progress.folder = trees_[i];
    for (;;) {
        {
            // Until the tree is counted, or the next pump is due.
            const auto wait = std::chrono::milliseconds(std::max<qint64>(1, listener.msUntilPump()));
            std::unique_lock lock(mutex_);
            if (treeDone_.wait_for(lock, wait, [&] { return done_.contains(i); })) {
                const auto node = done_.extract(i);
                tree = std::move(node.mapped());
                taken_ = i + 1;
                break;
            }
        }
        showProgress();
        if (const ScanEnd end = listener.tick(); end != ScanEnd::Completed)
            return end;
        // Cancelled from outside while the scan itself goes on: the tree never comes.
        if (cancelled_)
            return ScanEnd::Abandoned;
    }
    workerWake_.notify_all();
    showProgress();
    return ScanEnd::Completed;
}
