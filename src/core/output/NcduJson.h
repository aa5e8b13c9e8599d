// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "core/scan/engine/EntrySink.h"

#include <QByteArray>
#include <QByteArrayView>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

// The text of the ncdu export format, version 1.2, as a walk tells it: the walk of the disk
// (ncduExport) and the replay of a scan tree (writeScanTree) write it through these, so that
// the same tree gives the same bytes either way.
//
// Every entry has its name, apparent size (asize), disk usage (dsize) and modification time
// (mtime, when not before 1970); the top folder and a folder on another device than the one
// above it their device (dev); a file of several names its inode and link count (ino, nlink,
// hlnkc); anything but a folder or a regular file "notreg"; a folder that cannot be read or
// searched, or a name that cannot be looked at, "read_error"; a folder of the kernel's views
// "excluded":"kernfs". Names go out as their own bytes, as ncdu writes them, with only the
// quote, the backslash and the bytes below 0x20 escaped, so that a name that is not UTF-8 is
// read back as it was.

// JSON string text of a name, quotes included, as the export writes names: its own bytes,
// with only the quote, the backslash and the bytes below 0x20 escaped.
void appendJsonName(std::string &out, QByteArrayView name);

// The file's first line: the format's version and this program's name, version and the time.
QByteArray ncduHeader();

// The text of one piece of a walk, as the walk tells it. A folder's info object is left open
// until something follows it, so that a folder found unsearchable is marked itself.
//
// The text is kept in blocks of about 64 KiB, which are written as they are: a big piece is
// neither copied as it grows nor held in one block that takes fresh pages at each growth.
class JsonPiece : public EntrySink {
public:
    static constexpr size_t BlockBytes = 1 << 16;

    std::vector<std::string> full; // blocks filled, in order
    std::string text;              // the block being filled, after them
    int depth = 0;                 // folders entered less those left

    void enterFolder(const FoundEntry &folder) override;
    void folderProblem(FoundEntry::Problem) override;
    void leaveFolder() override;
    void entry(const FoundEntry &e) override;
    // Ends the info object of the folder entered last, when nothing followed it.
    void close();
    // Forgets its text, keeping the room of the block being filled.
    void clear();
    // The same for a small piece, to serve again; false for a big one.
    bool reset() override;

    // The text of the last modification time written: the files of a folder often share it.
    struct LastTime {
        int64_t seconds = -1;
        char text[20];
        size_t length = 0;
    };

private:
    void endEntry();

    bool open_ = false;
    LastTime lastTime_;
};

// Writes the export in walk order, gathered into blocks of 64 KiB: the top folder as the walk
// tells it (with the file's header before it, so that a folder that cannot be opened leaves
// nothing written), then the pieces.
class JsonWriter : public PieceTaker, public EntrySink {
public:
    JsonWriter(const std::function<void(QByteArrayView)> &write, QByteArray header);

    void take(EntrySink &piece) override; // a JsonPiece
    void leaveFolder() override;
    // Leaves the folders a walk that ended early left open.
    void leaveAll();

    // The top folder, walked or not.
    void enterFolder(const FoundEntry &top) override;
    void entry(const FoundEntry &top) override;
    void folderProblem(FoundEntry::Problem) override {}

    void put(std::string_view text);
    void flush();
    // The end of the file: the folders left open, the closing bracket, and the last block.
    void finish();

private:
    void putTop(const FoundEntry &top, std::string_view after);

    static constexpr size_t BlockBytes = JsonPiece::BlockBytes;
    const std::function<void(QByteArrayView)> &write_;
    QByteArray header_;
    std::string block_;
    int depth_ = 0;
};
