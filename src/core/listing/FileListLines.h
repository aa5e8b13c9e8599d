// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "core/scan/engine/Tally.h"
#include "core/shared/LineOrder.h"
#include "core/shared/TextLines.h"

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>

class FileListElement;
class FolderFileFacts;
struct FileFacts;

// The lines of the complete file list for the names of `files`, read in `folder` (ending in
// "/"): the name column as wide as the longest name plus 1, then the size and modification
// columns that are asked for (see BuildFileListLine), each line after `prefix`. A file that
// cannot be read keeps its line (0 bytes, no date) and is told to `problem` once for each
// column that needs it, with its name; a folder that is gone is told once, with an empty
// name. Every name shows its file's length (with `diskUsage`, its allocated bytes); the answer,
// the total and the files it counts, counts a file of several names once. Each line comes with what it may be sorted by (only what it shows). `keepAlive`
// runs between the files.
struct FileListColumns {
    bool size = false;
    bool modified = false;
    bool diskUsage = false;
};
// How the lengths and times are read: without it, here and now. The window reads them on a
// worker, as a folder may be on a share that never answers.
struct FileFactsReader {
    std::function<std::shared_ptr<FolderFileFacts>(const QByteArray &folder)> open;
    // Looks up files first to first + count - 1 (see FolderFileFacts::lookUp).
    std::function<void(const std::shared_ptr<FolderFileFacts> &facts, int first, int count)> lookUp;
};
// The lines go into `lines`, made when they are read (see FileLineMaker).
ShownSize fileListLines(const QByteArray &folder, const FileListElement &files, FileListColumns columns,
                        const QString &prefix, TextLines &lines,
                        const std::function<void(const QString &description, const QString &name)> &problem,
                        const std::function<void()> &keepAlive, const FileFactsReader &reader = {});

// One line of that list, without its prefix: `name` in a column `nameWidth` wide, then the
// columns asked for from `facts` (those of a file that could not be read: 0 bytes, no date;
// with `diskUsage`, the size is its allocated bytes).
// `key` gets the bytes and time it may be sorted by; its nameEnd is left to the caller.
QString fileListLine(const QString &name, qsizetype nameWidth, FileListColumns columns, const FileFacts &facts,
                     LineKey &key);
