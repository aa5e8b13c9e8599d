// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/listing/FileFacts.h"

#include "core/scan/engine/Tally.h"
#include "core/shared/FsError.h"

#include <algorithm>
#include <cerrno>
#include <atomic>
#include <system_error>
#include <thread>

FolderFileFacts::FolderFileFacts(const QByteArray &folder) : zone_(QTimeZone::systemTimeZone())
{
    try {
        folder_ = FolderHandle::open(folder);
    } catch (const FsError &e) {
        openError_ = e.description();
        openErrorCode_ = e.code();
    }
}

FileFacts FolderFileFacts::facts(int64_t length, qint64 modified, dev_t device, ino_t inode, nlink_t links,
                                 int64_t allocated) const
{
    return {length, localModified(modified, zone_), device, inode, links, modified, allocated};
}

QDateTime localModified(int64_t seconds, const QTimeZone &zone)
{
    // The system zone converts without looking the zone up again for every file.
    return zone.isValid() ? QDateTime::fromSecsSinceEpoch(seconds, zone) : QDateTime::fromSecsSinceEpoch(seconds);
}

void FolderFileFacts::lookUp(int first, int count, const std::function<const char *(int)> &name,
                             const std::function<void()> &between)
{
    first_ = first;
    looked_.assign(size_t(std::max(count, 0)), Looked{});
    goneAtLookUp_.reset();
    if (!folder_.isOpen())
        return;
    // Both threads take slices of the names in turn until none are left.
    constexpr int Slice = 512;
    std::atomic<int> next{0};
    const auto work = [&](bool caller) {
        for (int from; (from = next.fetch_add(Slice)) < count;) {
            if (caller && between)
                between();
            for (int i = from; i < std::min(count, from + Slice); ++i) {
                struct stat st;
                Looked &l = looked_[size_t(i)];
                l.error = statEntryAt(folder_, name(first + i), st);
                if (l.error == 0)
                    l = {int64_t(st.st_size), int64_t(st.st_mtim.tv_sec), st.st_dev, st.st_ino, uint32_t(st.st_nlink), 0,
                         Tally::allocatedOf(st)};
            }
        }
    };
    std::thread helper;
    if (count >= 4 * Slice && std::thread::hardware_concurrency() >= 2) {
        try {
            helper = std::thread(work, false);
        } catch (const std::system_error &) {
            // No second thread: this one does it all.
        }
    }
    work(true);
    if (helper.joinable())
        helper.join();
    // Whether the folder went, asked here once if a file could not be read.
    if (std::any_of(looked_.begin(), looked_.end(), [](const Looked &l) { return l.error != 0; }))
        goneAtLookUp_ = ::folderGone(folder_);
}

FileFacts FolderFileFacts::read(int i, const char *name) const
{
    if (!folder_.isOpen())
        throw FsError(openError_);
    i -= first_;
    if (i < 0 || size_t(i) >= looked_.size()) {
        const struct stat st = statEntry(folder_, name);
        return facts(st.st_size, st.st_mtim.tv_sec, st.st_dev, st.st_ino, st.st_nlink, Tally::allocatedOf(st));
    }
    const Looked &l = looked_[size_t(i)];
    if (l.error != 0)
        throw FsError::fromErrno(l.error);
    return facts(l.length, l.modified, l.device, l.inode, l.links, l.allocated);
}

bool FolderFileFacts::folderGone() const
{
    if (!folder_.isOpen())
        return openErrorCode_ == ENOENT;
    return goneAtLookUp_ ? *goneAtLookUp_ : ::folderGone(folder_);
}
