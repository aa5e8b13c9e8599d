// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "core/scan/engine/DirectoryList.h"
#include "core/scan/engine/FolderWalker.h"
#include "core/scan/engine/ScanEnd.h"
#include "core/scan/engine/SeenFiles.h"
#include "core/scan/engine/Tally.h"

#include <QByteArray>
#include <cstdint>
#include <functional>
#include <utility>

class ScanListener;

// Adds up the lengths of files, hidden files included: every file of a subfolder tree, walked
// with the folder walker, or a folder's own files. Every entry counts with its own length (a
// link with the link's, a link to a folder too, which is never walked: a subfolder that is such
// a link counts its own length, as `du -sb LINK`), and a file of several names counts once,
// where the counter meets it first (see SeenFiles); a folder met again (a bind mount of one
// counted already, or of the scan's own folder) is not walked again. So the counts of one
// counter, taken in its order, add up to the bytes of the distinct files below.
//
// It knows no window: it ticks its listener for every file and folder, and reports each folder
// or file it cannot read to the listener, which decides whether the count goes on. A folder
// that cannot be read, or lies deeper than the walker reaches, is skipped; the walk goes on
// after it. A folder that may be read but not searched is one problem, the folder's, and
// nothing in it is counted. A folder removed while it is counted, or gone when the walk
// reaches it, is reported once, by the outermost folder gone, and the rest of it skipped. When
// the scan's own folder (the one whose subfolders and files are counted) is gone, it is
// reported once and the count ends with FolderGone.
class TreeCounter {
public:
    // Called for every file counted, with its folder, its name, its own length (its allocated
    // bytes with setDiskUsage) and its modification time in seconds (also for a further name of
    // a file already counted).
    using FileSeen = std::function<void(const QByteArray &folder, const char *name, int64_t length, int64_t modified)>;

    TreeCounter(ScanListener &listener, const QByteArray &scanFolder);

    // Counts the tree below `subfolder` into `tally`. Completed when the whole tree was
    // counted; otherwise the scan must end at once.
    ScanEnd count(const QByteArray &subfolder, Tally &tally, const FileSeen &fileSeen = {});

    // For a piece of a count split into pieces: the outermost of the folders it lies in (below
    // the subfolder the whole walk starts at) that is gone, or an empty path when none is.
    using GoneAbove = std::function<QByteArray()>;

    // For a count split into pieces: the folders above the next trees counted, below the
    // subfolder their walk started at (see FolderWalker::setPlace), and the one they lie in,
    // opened (none: they are opened by their paths). When such a tree is found gone, the
    // outermost folder gone above it is the one reported, as one walk reports it.
    void setPlace(std::vector<FolderWalker::FolderId> pathAbove, const FolderHandle *parent, GoneAbove goneAbove = {})
    {
        place_ = std::move(pathAbove);
        parent_ = parent;
        goneAbove_ = std::move(goneAbove);
        reportedAbove_.clear();
    }
    // The folder above the tree last counted that was reported gone (empty if none): nothing
    // else below it is to be shown.
    const QByteArray &reportedAbove() const { return reportedAbove_; }
    // Sets a walker up as the walks of count() are, to read the top of a tree counted in pieces
    // (the folder it starts at goes into seen()).
    void prepare(FolderWalker &walker);
    // The open folder a walk from `subfolder` starts in (the scan's own folder for one of its
    // subfolders), so that the walk's start is not looked up by its whole path; null if none.
    const FolderHandle *parentOf(const QByteArray &subfolder) const;
    // A piece of such a tree: files `from` to `to` of the folder `top` has reached, counted
    // into `tally`. When the folder was found removed, `gone` is the outermost folder gone
    // (`goneAt`, which answers it, may name one above): reported here, unless the scan's own
    // folder went too (then it ends with FolderGone) or a file of this piece was reported and
    // it is the folder itself, as a walk says it. Only the first piece of an unsearchable
    // folder says so.
    ScanEnd countFilesOf(const FolderWalker &top, size_t from, size_t to, Tally &tally, const FileSeen &fileSeen,
                         QByteArray &gone, const GoneAbove &goneAt);
    // Another piece: the own lengths of the links to folders among its subfolders.
    void countFolderLinks(const FolderWalker &top, Tally &tally)
    {
        addFolderLinks(top.currentFolder(), top.currentSubfolders(), tally);
    }

    // Counts the files directly in the scan's folder (not below it) into `tally`.
    ScanEnd countFiles(Tally &tally);

    // Tells `sink` (none: nobody) everything the counts meet, in walk order (see EntrySink):
    // the walker's folders, and each file and link.
    void setSink(EntrySink *sink) { sink_ = sink; }

    // The names the walks passed over (see WalkScope) since the last time this was asked; the
    // scan folder's own ones are not among them.
    int64_t takePassedOver() { return std::exchange(passedOver_, 0); }

    // The files of several names met so far.
    const SeenFiles &seen() const { return seen_; }
    // Hands them over and starts afresh, for a count that is merged elsewhere.
    SeenFiles takeSeen()
    {
        SeenFiles taken;
        std::swap(taken, seen_);
        return taken;
    }
    // Goes on from `seen`, which holds everything counted here and more: what a count made
    // apart, after everything counted here, met (see ParallelCount::recount).
    void resumeWith(SeenFiles seen) { seen_ = std::move(seen); }
    // Takes in a count made apart that comes after everything counted here: answers what
    // it counted for files met here already (see SeenFiles::merge).
    Tally takeOver(const SeenFiles &later) { return seen_.merge(later); }

    // Whether the lengths told to FileSeen are the files' allocated bytes (st_blocks x 512).
    void setDiskUsage(bool on) { diskUsage_ = on; }
    bool diskUsage() const { return diskUsage_; }

private:
    ScanEnd walk(const QByteArray &subfolder, Tally &tally, const FileSeen &fileSeen);
    // How counting a folder's files ended: all counted (each one that failed reported), or
    // the folder was removed meanwhile, or none of its entries can be examined (reported).
    enum class FilesEnd { Counted, FolderGone, Unsearchable };
    // Counts one folder's files. `reported` tells that one of its files has been reported.
    ScanEnd addFiles(const QByteArray &folderPath, const FolderHandle &folder, const FileNames &files,
                     Tally &tally, const FileSeen &fileSeen, FilesEnd &how, bool &reported, size_t from = 0,
                     size_t to = SIZE_MAX);
    // Adds the own lengths of the links to folders among `subfolders` (they are never walked).
    void addFolderLinks(const FolderHandle &folder, const std::vector<SubfolderEntry> &subfolders, Tally &tally);
    // A folder of the walk was removed: one report for the outermost one that is gone on the
    // walk's path, else for `orElse` (a folder gone before the walk read it), and none when
    // that is `reportedFolder`, whose file was just reported; the walk goes on after it.
    ScanEnd vanished(FolderWalker &walker, const QByteArray &reportedFolder, const QByteArray &orElse = {});
    // For a piece whose start folder `start` is gone: the outermost folder gone above it
    // (remembered in reportedAbove()), or `start` when none is.
    QByteArray goneAboveReport(const QByteArray &start);
    bool scanFolderGone() const;
    // Opens the scan's folder, learning which it is; throws FsError. Not in the constructor:
    // a scan whose trees are counted on workers makes its counter on the thread that runs it,
    // which must not wait on the folder's file system.
    void openScanFolder();
    // The same the first time a count needs it, quietly: a folder that cannot be opened is
    // found out by each count.
    void openScanFolderOnce();
    ScanEnd scanFolderVanished();

    ScanListener &listener_;
    QByteArray scanFolderPath_;
    FolderHandle scanFolder_; // kept open to learn whether it was removed
    FolderWalker::FolderId scanFolderId_;
    bool scanFolderIsView_ = false; // a view of the kernel's (see isSystemViewFolder)
    bool openTried_ = false;
    SeenFiles seen_;
    DirectoryList dirInvisFolder_; // the walk's reads
    std::vector<FolderWalker::FolderId> place_;
    const FolderHandle *parent_ = nullptr;
    GoneAbove goneAbove_;
    QByteArray reportedAbove_;
    QByteArray walkStart_; // the folder the walk under way started at
    EntrySink *sink_ = nullptr;
    bool diskUsage_ = false;
    int64_t passedOver_ = 0;
    FolderWalker walker_; // the walks' (see walk)
};
