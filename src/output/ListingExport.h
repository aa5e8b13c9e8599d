// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "listing/FolderListing.h"
#include "shared/TextLines.h"

#include <QByteArray>
#include <QByteArrayView>
#include <functional>

// The listing for other programs: CSV for a spreadsheet, and the whole tree in the ncdu export
// format for the disk usage browsers that read it (ncdu -f, gdu -f).

// A path for a CSV field: UTF-8 as it is, except that each byte of a sequence that is not
// UTF-8, and of a character that breaks or reorders a line (see breaksOrReordersLine), is
// written \xHH (two upper-case hexadecimal digits), and a backslash as \\. So any name is one
// line of plain text, and reading the escapes back gives its bytes.
QByteArray escapedPath(QByteArrayView native);

// The choices the CSV form is listed with: sizes and times for every row.
ListingChoices csvChoices(ListingChoices choices);
// CSV rows (RFC 4180) instead of the listing's lines: path, kind (folder or file), size in
// bytes and modification time (ISO 8601 with its offset from UTC; empty when it could not be
// read). A folder's size is the bytes of the distinct files below it, a file of several
// names counted in the first folder that holds it, as in the folder list.
ListingLines csvLines();
// The header row, then the folder rows (with Include Folders) and the file rows.
TextLines csvListing(const ListingSnapshot &s);

// The whole tree below `folder` in the ncdu JSON export format, version 1.2, whatever the
// listing's choices, given to `write` in pieces that end with a whole entry and a line end.
// In each folder its files come first, then its subfolders. The trees are walked by `workers`
// threads (0: one for each processor), which hand parts of them to each other; text is held
// for the writer while a tree before it is walked, up to about 16 MB before no further tree
// is begun. Every entry has its name,
// apparent size (asize), disk usage (dsize), inode, and modification time; a file of several
// names its link count (nlink, hlnkc); anything but a folder or regular file "notreg"; a
// folder that cannot be read "read_error", and is told to `problem`; a folder of the kernel's
// views (proc, sysfs, ...) is "excluded" as "kernfs", not walked, as the size scans leave it out. Links are never
// followed. A name that is not UTF-8 has U+FFFD in place of each byte that is not, so the
// file is always valid JSON. Throws FsError when the folder itself cannot be opened.
void ncduExport(const QByteArray &folder, const ListingProblem &problem, const std::function<void(QByteArrayView)> &write,
                unsigned workers = 0);
