// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "core/scan/engine/FolderReader.h"

#include <QByteArray>
#include <ctime>
#include <vector>

// A folder's other entries (its files), as the read of its subfolders met them, and when its
// entries had last changed before that read: the file list takes them instead of reading a
// big folder a second time.
struct FolderFiles {
    QByteArray path;
    struct timespec stamp {};
    FileNames names;
};

// A windowless directory list: a folder's path and its immediate subfolders as full paths,
// in the program's name order. Hidden folders and links to folders are included.
class DirectoryList {
public:
    // Points the list at a folder and re-reads its subfolders. Throws FsError for an unusable
    // path; the list then keeps what it showed before. A listener hears of a big folder's
    // read as it goes (see readFolder). With `files`, the same read fills it too.
    void setPath(const QByteArray &path, ScanListener *listener = nullptr, FolderFiles *files = nullptr);
    const QByteArray &path() const { return path_; }

    int count() const { return int(entries_.size()); }
    // Full path of subfolder i.
    QByteArray entry(int i) const { return joinPath(path_, entries_[size_t(i)].name); }
    bool isLink(int i) const { return entries_[size_t(i)].isLink; }
    // Modification time of subfolder i in seconds; INT64_MIN when it could not be read.
    int64_t modified(int i) const { return modified_[size_t(i)]; }

    // Whether the folder's entries changed on disk since the list read them.
    bool stale() const;
    // When the folder's entries had last changed as the list read them.
    const struct timespec &stamp() const { return stamp_; }

    // Reads an open folder for a walk; a listener hears of every read.
    void read(const FolderHandle &folder, std::vector<SubfolderEntry> *folders, FileNames *files,
              ScanListener *listener = nullptr);

private:
    QByteArray path_;
    std::vector<SubfolderEntry> entries_;
    std::vector<int64_t> modified_;
    struct timespec stamp_ {};
};

// A path in the program's absolute form: no trailing "/" except for the root itself. A relative
// one is taken from the working folder.
QByteArray normalFolderPath(const QByteArray &path);
// The process's working folder as its bytes (a name need not be UTF-8).
QByteArray workingFolder();
