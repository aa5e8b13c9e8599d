// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "core/listing/ListingSnapshot.h"
#include "core/scan/engine/ParallelCount.h"

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <functional>
#include <optional>

class FileListElement;
struct FileFacts;

// The window's choices for a listing, as its boxes hold them at start.
struct ListingChoices {
    QString title = QStringLiteral("LISTWRIGHT");
    QString pattern = QStringLiteral("*.*");
    bool folderSizes = false;
    bool recursive = false; // lists every file below, and counts folder sizes
    bool fileSizes = true;
    bool dates = true;
    bool includeFolders = true;
    int indentation = 0;
    bool counts = false;    // folder lines and totals say how many files they count
    bool diskUsage = false; // every size is the allocated bytes, as `du -B1` counts them
    bool oneFileSystem = false; // folders on another file system than the folder's: never gone into
    QString exclude;            // names left out (see exclusionFilter); none when empty
};

// A problem met on the way (a folder or file that cannot be read, a folder too deep, an entry
// that vanished): the system's description and the path as the lists show it. The listing
// goes on after it.
using ListingProblem = std::function<void(const QString &description, const QString &path)>;

// How the lines of a listing are made; the saved file's lines unless told otherwise.
struct ListingLines {
    // A subfolder's line: its full path, its line text, its size when folder sizes are
    // counted, the width its path is aligned to, and its own modification time (INT64_MIN when
    // unknown).
    std::function<QString(const QByteArray &path, const QString &text, std::optional<ShownSize> size, int nameWidth,
                          int64_t modified)>
        folder;
    // A file below a subfolder, on a recursive listing (called on worker threads).
    ParallelCount::LineOf recursiveFile;
    // The folder's own files (see fileListLines), into the lines given; answers their total.
    std::function<ShownSize(const QByteArray &folder, const FileListElement &files, const QString &prefix,
                            TextLines &lines, const ListingProblem &problem)>
        files;
    // One of the folder's own files when the listing is made from what is known of them (a
    // scan): its full path, its name as shown, the name column's width, its facts (null when
    // its status could not be taken), and what goes before its line (as for `files`).
    std::function<QString(const QByteArray &path, const QString &name, qsizetype nameWidth, const FileFacts *facts,
                          const QString &prefix)>
        file;
};
ListingLines savedFileLines(const ListingChoices &choices);

// A listing's snapshot before its lines and totals: the title, the choices that shape its
// layout, and `folder`'s path as the lists show it (ending in "/").
ListingSnapshot listingStart(const ListingChoices &choices, const QByteArray &folder);

// The listing of `folder` as the window shows it once it has made the same choices there: the
// lines, headings and totals that the saved file is laid out from. Throws FsError when the
// folder cannot be read or a pattern (or an exclusion) is refused.
ListingSnapshot listFolder(const QByteArray &folder, ListingChoices choices, const ListingProblem &problem,
                           const ListingLines &lines);
