// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "core/shared/TextLines.h"

#include <QByteArray>
#include <QByteArrayView>
#include <atomic>
#include <functional>

// Writes `lines` as UTF-8, every line ending in a carriage return and a line feed, into the file
// `name` (one name, no "/") of the folder `folder`. The folder is reached as named; below it
// nothing is followed: whatever has the name there (a file, a link, a dangling link) is replaced
// by the new file, and what a link points to is never opened for writing.
//
// The text goes into a temporary file in that folder, which is renamed onto `name` only when
// every byte is written and synced: on failure an older file of that name stays as it was, no
// temporary file is left, and FsError carries the system's description. The temporary file has
// no name until then where the file system allows (a save cut short by a kill or a crash leaves
// nothing either), and a name nobody can guess otherwise.
//
// When the folder takes no temporary file (no write permission on it) but the older file is a
// file this user may write, that file is written in place. A link there is refused. The new
// length is reserved first, so a full disk, a quota or a file size limit is found before the
// older bytes are touched, and every failure still throws. The older file can then still be
// damaged by:
// - an I/O error of the device, or the program or machine stopping, half-way through the write;
// - a file system that cannot reserve space ahead (fallocate unsupported: some network and FUSE
//   file systems), or one that needs new blocks to overwrite old ones (copy-on-write: btrfs, ZFS),
//   when it fills up during the write;
// - another program writing the same file at the same time.
//
// `progress`, when given, follows the save from another thread: `begun` is set once a file has
// been made or opened for the text (from then on the save has written part of a file); a save
// whose `givenUp` is set before it comes to replace the older file fails instead, and leaves it.
// The folder and the name a file's `path` gives the writers below: a name alone lies in ".", one
// at the root in "/". Throws FsError (EISDIR) for a path that names no file: one that ends in
// "/", "." or "..".
struct SavedFile {
    QByteArray folder, name;
};
SavedFile savedFile(const QByteArray &path);

struct SaveProgress {
    std::atomic<bool> begun{false};
    std::atomic<bool> givenUp{false};
};
void writeTextFileAtomically(const QByteArray &folder, const QByteArray &name, const TextLines &lines,
                             SaveProgress *progress = nullptr);

// The same for text made while it is written, as the export of a big tree is: `produce` is
// called once and hands the text's bytes, in order and with their line ends, to the function it
// is given, which puts them straight into the temporary file; the text is never held whole, but
// where the file is written in place (its length is reserved first). What `produce` throws ends
// the save as a failed write does: the older file stays and no temporary file is left.
using TextSink = std::function<void(QByteArrayView bytes)>;
void writeFileAtomically(const QByteArray &folder, const QByteArray &name, const std::function<void(const TextSink &)> &produce,
                         SaveProgress *progress = nullptr);
