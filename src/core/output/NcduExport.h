// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "core/listing/FolderListing.h"

#include <QByteArray>
#include <QByteArrayView>
#include <functional>

// The listing for the disk usage browsers that read the ncdu export format (ncdu -f, gdu -f).

// The whole tree below `folder` in the ncdu JSON export format, version 1.2, whatever the
// listing's choices, given to `write` in pieces that end with a whole entry and a line end.
// In each folder its files come first, then its subfolders. The tree is walked by `workers`
// threads (0: one for each processor): one starts at the top, and a busy one hands a waiting
// one a part of its walk, whose text is held until its turn, right after the text of the walk
// that handed it. Every entry has its name, apparent size (asize), disk usage (dsize), inode,
// and modification time; a file of several names its link count (nlink, hlnkc); anything but
// a folder or regular file "notreg"; a folder that cannot be read, or a name that cannot be
// looked at, "read_error", and is told to `problem`; a folder of the kernel's views (proc,
// sysfs, ...) is "excluded" as "kernfs", not walked, as the size scans leave it out. Links are
// never followed. A name that is not UTF-8 has U+FFFD in place of each byte that is not, so the
// file is always valid JSON. `write` and `problem` are called by the walk's threads, one call at
// a time and in the order of the file; what `write` throws ends the walk and is thrown here.
// Throws FsError when the folder itself cannot be opened.
void ncduExport(const QByteArray &folder, const ListingProblem &problem, const std::function<void(QByteArrayView)> &write,
                unsigned workers = 0);
