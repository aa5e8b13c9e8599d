// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "core/scan/engine/DirectoryList.h"
#include "core/scan/engine/EntrySink.h"
#include "core/scan/engine/FolderReader.h"
#include "core/scan/engine/SeenFiles.h"
#include "core/scan/engine/WalkScope.h"

#include <QByteArray>
#include <QString>
#include <optional>
#include <stdexcept>
#include <vector>

// The walk went deeper than the deepest level the walker holds.
class WalkDepthError : public std::out_of_range {
public:
    WalkDepthError() : std::out_of_range("Subscript out of range") {}
};

// Visits every folder below a start folder, one folder per call, depth first, each folder
// before the folders below it, subfolders in the directory list's order. A walker serves one
// walk at a time: a new start forgets the walk before but for the settings below, and keeps
// its room for names. Each folder is read once, when the walk reaches it; its subfolders stay in its
// frame and its files are offered to the caller until the next call. Links to folders, and
// folders of the kernel's own file systems (/proc, /sys, ...), are never walked through, and
// a folder met again (the same device and inode) is not walked a second time.
class FolderWalker {
public:
    static constexpr int MaxDepth = 100;

    // With a listener, big folders are read with ticks in between (see readFolder), and a
    // read can end in ScanInterrupted.
    explicit FolderWalker(ScanListener *listener = nullptr) : listener_(listener) {}

    // The folder above the start folder, for a walk that must not come back to it through a
    // bind mount below it.
    void setAbove(const FolderHandle &folder);
    // Remembers the folders walked in `seen`, and passes over those it holds already, so that
    // several walks of one count walk each folder once. Without it each walk remembers its own.
    void rememberIn(SeenFiles &seen) { seen_ = &seen; }
    // Tells `sink` (none: nobody) every folder the walk goes into and leaves, and every folder
    // it does not go into, with why; the walk's files are for its caller to tell.
    void setSink(EntrySink *sink) { sink_ = sink; }
    // Walks only what `scope` takes in: names it excludes are told to the sink and passed over,
    // and with oneFileSystem a folder on another device than `scanDevice` (the scanned folder's)
    // (when known) is told as not walked. `scope` must outlive the walk.
    void setScope(const WalkScope &scope, std::optional<dev_t> scanDevice)
    {
        scope_ = &scope;
        scanDevice_ = scanDevice;
    }
    // The names passed over so far.
    int64_t passedOver() const { return passedOver_; }

    // Which folder a handle holds, whatever path it was reached by.
    struct FolderId {
        dev_t dev = 0;
        ino_t ino = 0;
        bool operator==(const FolderId &) const = default;
    };
    static FolderId idOf(const FolderHandle &folder);
    // `aboveIsView`: whether it is a view of the kernel's (see isSystemViewFolder), so that a
    // start on its file system need not ask.
    void setAbove(const FolderId &id, bool aboveIsView)
    {
        above_ = id;
        hasAbove_ = true;
        aboveIsView_ = aboveIsView;
    }
    // For a walk that is one piece of a bigger walk, started below that walk's start: the
    // folders on the bigger walk's path above this start (never walked again), whose number
    // counts toward MaxDepth.
    void setPlace(std::vector<FolderId> pathAbove) { place_ = std::move(pathAbove); }

    // Starts a walk at `path`, reading through `dir`. Returns false (and reports nothing) when
    // the start folder cannot be opened or read, or is itself a link to a folder. With
    // `parent`, the folder `path` lies in, opened: the start is opened in it as NextFolder opens
    // a subfolder, without looking its path up again.
    bool StartWalk(const QByteArray &path, DirectoryList &dir, const FolderHandle *parent = nullptr);

    // Ends the walk where it is, closing its folders, without telling the sink any more.
    void end()
    {
        frames_.clear();
        depth_ = -1;
    }
    // Moves to the next folder and stores its path; false once the walk is complete. A folder
    // that cannot be opened or read raises FsError, and one at depth 101 raises
    // WalkDepthError; either way that folder is skipped and the next call goes on with the
    // folders after it. When the folder cannot be opened because its parent may be read but
    // not searched, the FsError is the parent's: currentPath() is the parent, and none of its
    // other subfolders is tried. A folder met before (a bind mount of one walked already, or of
    // a folder on the walk's own path) is passed over, as du passes it over.
    bool NextFolder(QByteArray &path);

    // The current folder's subfolders are not walked (its entries cannot be examined).
    void skipSubfolders();

    // After a folder of the walk was removed: finds the outermost folder on the walk's path
    // that is gone, and lets the walk go on after it, as after its last subfolder. Answers its
    // path, or an empty path when every folder on the path is still there. When it is the
    // start folder, the walk is complete.
    QByteArray skipGone();

    // The folder last reached (the start folder right after StartWalk) and its files.
    const QByteArray &currentPath() const { return currentPath_; }
    const FolderHandle &currentFolder() const { return frames_[size_t(depth_)].folder; }
    // The device and inode of that folder, as it was opened.
    FolderId currentId() const { return frames_[size_t(depth_)].id; }
    const FileNames &currentFiles() const { return files_; }
    // Its subfolders, the links to folders among them (never walked) included.
    const std::vector<SubfolderEntry> &currentSubfolders() const { return frames_[size_t(depth_)].children; }
    // Whether the start folder is walked: not when it is a view of the kernel's or met before.
    bool startWalked() const { return !frames_.empty() && frames_.front().walked; }
    // Why the last StartWalk returned false.
    const QString &startError() const { return startError_; }
    int startErrorCode() const { return startErrorCode_; }

private:
    // Whether a folder was met before (or is the one above the walk, or one of the bigger
    // walk's folders above this piece); remembers it otherwise.
    bool metBefore(const FolderId &id);
    // Tells the sink of a folder `name` of `parent` (none: `path` itself) that the walk could
    // not go into, by the status its name has now: gone, it is not told.
    void tellNotRead(const FolderHandle *parent, const QByteArray &path, const char *name,
                     FoundEntry::Problem problem = FoundEntry::Problem::NotRead);
    // The device of the folder the walk's start lies in, when known.
    dev_t deviceAbove(dev_t own) const;

    struct WalkFrame {
        QByteArray Path;
        int ChildIndex = -1;
        std::vector<SubfolderEntry> children;
        FolderHandle folder;
        FolderId id;
        struct stat st{};
        bool walked = false;  // read: not a view of the kernel's, nor met before
        bool entered = false; // told to the sink as a folder gone into
    };
    // Tells the sink the walk goes into a frame just read, on a device other than `aboveDev`'s.
    void enter(WalkFrame &frame, QByteArrayView name, dev_t aboveDev);
    // Takes the names the scope excludes out of a frame just read (and its files), telling them.
    void passOver(WalkFrame &frame);
    // Whether a folder lies on another file system than the scan's, where the walk stays on it.
    bool outOfScope(dev_t device) const { return scope_ && scope_->oneFileSystem && scanDevice_ && device != *scanDevice_; }
    // Leaves frames from the top down to `depth` (which stays).
    void leaveTo(int depth);

    ScanListener *listener_;
    DirectoryList *dir_ = nullptr;
    std::vector<WalkFrame> frames_;
    int depth_ = -1;
    QByteArray currentPath_;
    FileNames files_;
    QString startError_;
    int startErrorCode_ = 0;
    FolderId above_;
    bool hasAbove_ = false;
    std::optional<bool> aboveIsView_;
    std::vector<FolderId> place_;
    SeenFiles ownSeen_;
    SeenFiles *seen_ = &ownSeen_;
    EntrySink *sink_ = nullptr;
    const WalkScope *scope_ = nullptr;
    std::optional<dev_t> scanDevice_;
    int64_t passedOver_ = 0;
};
