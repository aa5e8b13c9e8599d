// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/scan/engine/FolderWalker.h"

#include "core/shared/FsError.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>

FolderWalker::FolderId FolderWalker::idOf(const FolderHandle &folder)
{
    struct stat st;
    if (::fstat(folder.fd(), &st) != 0)
        return {};
    return {st.st_dev, st.st_ino};
}

void FolderWalker::setAbove(const FolderHandle &folder)
{
    above_ = idOf(folder);
    hasAbove_ = true;
    aboveIsView_.reset();
}

bool FolderWalker::metBefore(const FolderId &id)
{
    if (hasAbove_ && id == above_)
        return true;
    for (const FolderId &above : place_)
        if (above == id)
            return true;
    return !seen_->firstSightOfFolder(id.dev, id.ino);
}

bool FolderWalker::StartWalk(const QByteArray &path, DirectoryList &dir, const FolderHandle *parent)
{
    dir_ = &dir;
    frames_.clear();
    depth_ = -1;
    startErrorCode_ = 0;
    ownSeen_.clear();
    try {
        const QByteArray start = normalFolderPath(path);
        struct stat st;
        if (!parent && ::lstat(start.constData(), &st) != 0) {
            startErrorCode_ = errno;
            startError_ = FsError::fromErrno(startErrorCode_).description();
            return false;
        }
        if (!parent && S_ISLNK(st.st_mode)) {
            startError_ = QStringLiteral("A link to a folder is not walked");
            return false;
        }
        WalkFrame frame;
        frame.Path = start;
        frame.folder = parent ? FolderHandle::openChild(*parent, start.mid(start.lastIndexOf('/') + 1).constData())
                              : FolderHandle::open(start);
        frame.id = idOf(frame.folder);
        // The kernel's own views (/proc, /sys, ...) hold no data on a disk, and a folder met
        // before holds nothing new: nothing to count. A piece of a bigger walk on the file
        // system of the folder above it is no such view.
        // A start in the scan folder, on its file system, is a view exactly when that folder is.
        const bool sameFsAsAbove = parent && !place_.empty() && place_.back().dev == frame.id.dev;
        const bool asAbove = parent && place_.empty() && hasAbove_ && aboveIsView_ && above_.dev == frame.id.dev;
        const bool isView = !sameFsAsAbove && (asAbove ? *aboveIsView_ : isSystemViewFolder(frame.folder));
        if (isView || metBefore(frame.id))
            files_.clear();
        else
            dir.read(frame.folder, &frame.children, &files_, listener_);
        frames_.reserve(MaxDepth + 1);
        frames_.push_back(std::move(frame));
        depth_ = 0;
        currentPath_ = start;
        return true;
    } catch (const FsError &e) {
        startError_ = e.description();
        startErrorCode_ = e.code();
        frames_.clear();
        return false;
    }
}

bool FolderWalker::NextFolder(QByteArray &path)
{
    while (depth_ >= 0) {
        WalkFrame &top = frames_[size_t(depth_)];
        // Skip the links: they are listed as folders but never walked.
        int next = top.ChildIndex + 1;
        while (next < int(top.children.size()) && top.children[size_t(next)].isLink)
            ++next;
        if (next >= int(top.children.size())) {
            // All subfolders of the top frame are done: back to its parent.
            frames_.pop_back();
            --depth_;
            continue;
        }
        top.ChildIndex = next;
        const SubfolderEntry &child = top.children[size_t(next)];
        const QByteArray childPath = joinPath(top.Path, child.name);
        if (int(place_.size()) + depth_ + 1 > MaxDepth) {
            currentPath_ = childPath;
            throw WalkDepthError();
        }
        WalkFrame frame;
        frame.Path = childPath;
        currentPath_ = childPath;
        try {
            frame.folder = FolderHandle::openChild(top.folder, child.name.constData());
        } catch (const FsError &e) {
            if (e.code() == EACCES && !folderSearchable(top.folder)) {
                // None of the parent's names can be looked at: one failure, the parent's.
                currentPath_ = top.Path;
                skipSubfolders();
            }
            throw;
        }
        frame.id = idOf(frame.folder);
        // On the file system of the folder above it, it is no view of the kernel's either.
        if (frame.id.dev != top.id.dev && isSystemViewFolder(frame.folder)) // counts nothing, nor below it
            continue;
        if (metBefore(frame.id))
            continue;
        dir_->read(frame.folder, &frame.children, &files_, listener_);
        frames_.push_back(std::move(frame));
        ++depth_;
        path = childPath;
        return true;
    }
    return false;
}

void FolderWalker::skipSubfolders()
{
    WalkFrame &top = frames_[size_t(depth_)];
    top.children.clear();
    top.ChildIndex = -1;
}

QByteArray FolderWalker::skipGone()
{
    for (int level = 0; level <= depth_; ++level) {
        if (!folderGone(frames_[size_t(level)].folder))
            continue;
        QByteArray gone = frames_[size_t(level)].Path;
        frames_.resize(size_t(level));
        depth_ = level - 1;
        files_.clear();
        return gone;
    }
    return {};
}
