#pragma once
#include "scan/DirectoryList.h"
#include "scan/ScanEnd.h"

#include <QByteArray>
#include <cstdint>
#include <functional>

class ScanListener;

// Adds up the lengths of files, hidden files included: every file of a subfolder tree, walked
// with the folder walker, or a folder's own files. It knows no window: it ticks its listener
// for every file and folder, and reports each folder or file it cannot read to the listener,
// which decides whether the count goes on. A folder that cannot be read, or lies deeper than
// the walker reaches, is skipped; the walk goes on after it.
class TreeCounter {
public:
    // Called for every file counted, with its folder, its name and its length.
    using FileSeen = std::function<void(const QByteArray &folder, const char *name, int64_t length)>;

    explicit TreeCounter(ScanListener &listener) : listener_(listener) {}

    // Counts the tree below `subfolder` into `bytes`. Completed when the whole tree was
    // counted; otherwise the scan must end at once.
    ScanEnd count(const QByteArray &subfolder, int64_t &bytes, const FileSeen &fileSeen = {});

    // Counts the files directly in `folder` (not below it) into `bytes`.
    ScanEnd countFiles(const QByteArray &folder, int64_t &bytes);

private:
    ScanEnd walk(const QByteArray &subfolder, int64_t &bytes, const FileSeen &fileSeen);
    ScanEnd addFiles(const QByteArray &folderPath, const FolderHandle &folder, const FileNames &files,
                     int64_t &bytes, const FileSeen &fileSeen);

    ScanListener &listener_;
    DirectoryList dirInvisFolder_; // the walk's reads
};
