// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "core/listing/FolderListing.h"
#include "core/scan/engine/ScanProgress.h"
#include "core/scan/engine/WalkScope.h"

#include <QByteArray>
#include <QByteArrayView>
#include <atomic>
#include <functional>
#include <mutex>

// The listing for the disk usage browsers that read the ncdu export format (ncdu -f, gdu -f).

// Follows an export walked on another thread (see ncduExport): how far the walk has come, and
// a stop.
class ExportWatch {
public:
    static constexpr int PumpMs = 50;

    // What the walk has counted so far.
    ScanProgress progress() const
    {
        const std::lock_guard lock(mutex_);
        return progress_;
    }
    void show(const ScanProgress &progress)
    {
        const std::lock_guard lock(mutex_);
        progress_ = progress;
    }
    void stop() { stop_ = true; }
    bool stopped() const { return stop_; }

private:
    mutable std::mutex mutex_;
    ScanProgress progress_;
    std::atomic<bool> stop_{false};
};

// The whole tree below `folder` in the ncdu JSON export format, version 1.2, whatever the
// listing's choices, given to `write` in pieces that end with a whole entry and a line end.
// The tree is walked by the scan engine (ParallelCount, `workers` threads to begin with; 0:
// one for each processor), with its rules: links never followed, a folder met twice (a bind
// mount) walked once, the kernel's views (proc, sysfs, ...) not walked, the depth limit; the
// text of its pieces is written in walk order as they are counted. In each folder its files
// come first, then its subfolders; the top folder's own files come last. The entries are
// written as NcduJson.h says; a folder that cannot be read or searched, or a name that cannot
// be looked at, is also told to `problem`. Within `scope`: a folder on another file system
// is written with only its name and device and "excluded" as "othfs" (as ncdu -x writes it),
// a name passed over with only its name and "excluded" as "pattern". `write` and `problem` are called on
// the calling thread; what `write` throws ends the walk and is thrown here. Throws FsError when
// the folder itself cannot be opened.
//
// `watch`, when given, follows the walk from another thread: it is told how far the walk has
// come about every `PumpMs`, and a stop asked for there ends the walk within about as long,
// with FsError (ECANCELED) thrown here.
void ncduExport(const QByteArray &folder, const ListingProblem &problem, const std::function<void(QByteArrayView)> &write,
                unsigned workers = 0, const WalkScope &scope = {}, ExportWatch *watch = nullptr);
