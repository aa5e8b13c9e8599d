// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "core/scan/engine/FolderReader.h"

#include <QByteArray>
#include <QDateTime>
#include <QTimeZone>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

// What the complete file list shows of a file: its length and its modification time in
// local time; and which file it is, so that a file of several names counts once in a total.
struct FileFacts {
    int64_t length = 0;
    QDateTime modified;
    dev_t device = 0;
    ino_t inode = 0;
    nlink_t links = 1;
    int64_t modifiedSeconds = INT64_MIN; // since the epoch, for the date order
    int64_t allocated = 0; // the bytes it takes on the disk: st_blocks x 512
};

// A modification time in seconds as the file list shows it: in `zone` (the system's, taken
// once for a whole list), or in the local time Qt knows when that zone is unusable.
QDateTime localModified(int64_t seconds, const QTimeZone &zone);

// Reads the files of one folder with one look per file, relative to the open folder, so that
// a list of 100,000 files stays quick. Every entry has its own length and time, as lstat gives
// them: a link is never followed.
class FolderFileFacts {
public:
    // A folder that cannot be opened makes every read fail with the folder's error.
    explicit FolderFileFacts(const QByteArray &folder);

    // Looks up files first to first + count - 1 at once, for read() to answer; what an earlier
    // look-up found is let go of. Nearly all the time of a big folder goes into the kernel's
    // look-ups, so two threads share them. The calling thread runs `between`, if given,
    // between its slices of the work.
    void lookUp(int first, int count, const std::function<const char *(int)> &name,
                const std::function<void()> &between = {});
    // The facts of file i, called `name`: from the look-up, or read now when it has none.
    // Throws FsError for a file that cannot be read (one that vanished, for instance).
    FileFacts read(int i, const char *name) const;
    // Whether the folder itself is gone (removed since its names were read). After a look-up
    // that met a file it could not read, as that look-up found it: no call is made then on
    // the thread that reads the facts, which may be one a share must never hold.
    bool folderGone() const;
    // The zone the modification times are given in (invalid: the system's, unknown).
    const QTimeZone &zone() const { return zone_; }

private:
    FileFacts facts(int64_t length, qint64 modified, dev_t device, ino_t inode, nlink_t links, int64_t allocated) const;

    struct Looked {
        int64_t length;
        int64_t modified; // seconds since the epoch
        dev_t device;
        ino_t inode;
        uint32_t links;
        int error; // 0, or the system's error number
        int64_t allocated;
    };
    FolderHandle folder_;
    QString openError_; // why the folder could not be opened
    int openErrorCode_ = 0;
    QTimeZone zone_;
    int first_ = 0; // the file looked_[0] is of
    std::optional<bool> goneAtLookUp_;
    std::vector<Looked> looked_;
};
