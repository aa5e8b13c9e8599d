// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "scan/engine/DirectoryList.h"
#include "scan/engine/ScanEnd.h"
#include "scan/engine/SeenFiles.h"

#include <QByteArray>
#include <cstdint>
#include <functional>
#include <utility>

class FolderWalker;
class ScanListener;

// Adds up the lengths of files, hidden files included: every file of a subfolder tree, walked
// with the folder walker, or a folder's own files. Every entry counts with its own length (a
// link with the link's, a link to a folder too, which is never walked), and a file of several names counts once, where the counter meets it
// first (see SeenFiles); so the counts of one counter, taken in its order, add up to the bytes
// of the distinct files below.
//
// It knows no window: it ticks its listener for every file and folder, and reports each folder
// or file it cannot read to the listener, which decides whether the count goes on. A folder
// that cannot be read, or lies deeper than the walker reaches, is skipped; the walk goes on
// after it. A folder removed while it is counted is reported once, by its own path, and the
// rest of it skipped; a folder gone before the walk reached it held nothing to count and is
// passed over. When the scan's own folder (the one whose subfolders and files are counted) is
// gone, it is reported once and the count ends with FolderGone.
class TreeCounter {
public:
    // Called for every file counted, with its folder, its name, its own length and its
    // modification time in seconds (also for a further name of a file already counted).
    using FileSeen = std::function<void(const QByteArray &folder, const char *name, int64_t length, int64_t modified)>;

    TreeCounter(ScanListener &listener, const QByteArray &scanFolder);

    // Counts the tree below `subfolder` into `bytes`. Completed when the whole tree was
    // counted; otherwise the scan must end at once.
    ScanEnd count(const QByteArray &subfolder, int64_t &bytes, const FileSeen &fileSeen = {});

    // Counts the files directly in the scan's folder (not below it) into `bytes`.
    ScanEnd countFiles(int64_t &bytes);

    // The files of several names met so far.
    const SeenFiles &seen() const { return seen_; }
    // Hands them over and starts afresh, for a count that is merged elsewhere.
    SeenFiles takeSeen()
    {
        SeenFiles taken;
        std::swap(taken, seen_);
        return taken;
    }
    // Takes in a count made apart that comes after everything counted here: answers the bytes
    // it counted for files met here already (see SeenFiles::merge).
    int64_t takeOver(const SeenFiles &later) { return seen_.merge(later); }

private:
    ScanEnd walk(const QByteArray &subfolder, int64_t &bytes, const FileSeen &fileSeen);
    // Counts one folder's files. `gone` tells that the folder was removed meanwhile (its other
    // files were not looked at), `reported` that one of its files has been reported.
    ScanEnd addFiles(const QByteArray &folderPath, const FolderHandle &folder, const FileNames &files,
                     int64_t &bytes, const FileSeen &fileSeen, bool &gone, bool &reported);
    // Adds the own lengths of the links to folders among `subfolders` (they are never walked).
    void addFolderLinks(const FolderHandle &folder, const std::vector<SubfolderEntry> &subfolders, int64_t &bytes);
    // A folder of the walk was removed: one report for the outermost one that is gone (none
    // when that is `reportedFolder`, whose file was just reported), and the walk goes on after it.
    ScanEnd vanished(FolderWalker &walker, const QByteArray &reportedFolder);
    bool scanFolderGone() const;
    ScanEnd scanFolderVanished();

    ScanListener &listener_;
    QByteArray scanFolderPath_;
    FolderHandle scanFolder_; // kept open to learn whether it was removed
    SeenFiles seen_;
    DirectoryList dirInvisFolder_; // the walk's reads
};
