// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QByteArrayView>
#include <cstdint>
#include <sys/stat.h>
#include <sys/types.h>

// One entry a walk met, as it tells it to a sink: the name's own bytes and the entry's status
// as lstat gives it (a link is never followed), or what kept the walk from it.
struct FoundEntry {
    enum class Kind : uint8_t { Folder, File, Other }; // Other: a link, a device, a pipe, ...
    enum class Problem : uint8_t {
        None,
        NotRead,     // a folder that could not be opened or read (or lies too deep): nothing in it
        NotSearched, // a folder whose names are listed but none can be looked at
        NotLookedAt, // a name whose status could not be taken: nothing else is known of it
    };
    // A folder the walk does not go into, though it could.
    enum class NotWalked : uint8_t { No, KernelView, MetBefore, OtherFileSystem };

    QByteArrayView name;
    Kind kind = Kind::Other;
    Problem problem = Problem::None;
    NotWalked notWalked = NotWalked::No;
    bool otherDevice = false; // a folder on another device than the folder it lies in
    bool linksToFolder = false; // a link that leads to a folder: listed with the folders, never walked
    bool excluded = false;    // a name the walk passes over (see WalkScope): nothing else is known of it
    int64_t length = 0;       // st_size
    int64_t allocated = 0;    // st_blocks * 512
    int64_t modified = 0;     // st_mtime, seconds
    dev_t device = 0;
    ino_t inode = 0;
    nlink_t links = 0;

    static FoundEntry of(QByteArrayView name, const struct stat &st)
    {
        FoundEntry e;
        e.name = name;
        e.kind = S_ISDIR(st.st_mode) ? Kind::Folder : S_ISREG(st.st_mode) ? Kind::File : Kind::Other;
        e.length = st.st_size;
        e.allocated = int64_t(st.st_blocks) * 512;
        e.modified = st.st_mtim.tv_sec;
        e.device = st.st_dev;
        e.inode = st.st_ino;
        e.links = st.st_nlink;
        return e;
    }
    static FoundEntry passedOver(QByteArrayView name)
    {
        FoundEntry e;
        e.name = name;
        e.excluded = true;
        return e;
    }
    static FoundEntry unexamined(QByteArrayView name)
    {
        FoundEntry e;
        e.name = name;
        e.problem = Problem::NotLookedAt;
        return e;
    }
};
