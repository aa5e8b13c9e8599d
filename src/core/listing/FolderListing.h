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
    bool oneFileSystem = false; // folders on another file system than the folder's: never gone into
    QString exclude;            // names left out (see exclusionFilter); none when empty
};

// A problem met on the way (a folder or file that cannot be read, a folder too deep, an entry
// that vanished): the system's description and the path as the lists show it. The listing
// goes on after it.
using ListingProblem = std::function<void(const QString &description, const QString &path)>;

// How the lines of a listing are made; the saved file's lines unless told otherwise.
struct ListingLines {
    // A subfolder's line: its full path, its line text, whether it is a link, and its bytes
    // when folder sizes are counted.
    std::function<QString(const QByteArray &path, const QString &text, std::optional<int64_t> bytes, int nameWidth)>
        folder;
    // A file below a subfolder, on a recursive listing (called on worker threads).
    ParallelCount::LineOf recursiveFile;
    // The folder's own files (see fileListLines); answers their total.
    std::function<int64_t(const QByteArray &folder, const FileListElement &files, const QString &prefix,
                          const std::function<void(const QString &)> &addLine, const ListingProblem &problem)>
        files;
};
ListingLines savedFileLines(const ListingChoices &choices);

// The listing of `folder` as the window shows it once it has made the same choices there: the
// lines, headings and totals that the saved file is laid out from. Throws FsError when the
// folder cannot be read or a pattern (or an exclusion) is refused.
ListingSnapshot listFolder(const QByteArray &folder, ListingChoices choices, const ListingProblem &problem,
                           const ListingLines &lines);
