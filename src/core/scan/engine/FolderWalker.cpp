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

dev_t FolderWalker::deviceAbove(dev_t own) const
{
    return !place_.empty() ? place_.back().dev : hasAbove_ ? above_.dev : own;
}

namespace {
QByteArrayView lastName(const QByteArray &path)
{
    return QByteArrayView(path).sliced(path.lastIndexOf('/') + 1);
}
} // namespace

void FolderWalker::enter(WalkFrame &frame, QByteArrayView name, dev_t aboveDev)
{
    FoundEntry folder = FoundEntry::of(name, frame.st);
    folder.otherDevice = frame.st.st_dev != aboveDev;
    sink_->enterFolder(folder);
    frame.entered = true;
}

void FolderWalker::passOver(WalkFrame &frame)
{
    if (!scope_ || !scope_->exclude)
        return;
    const auto excluded = [this](QByteArrayView name) {
        if (!scope_->exclude->excludes(name))
            return false;
        ++passedOver_;
        if (sink_)
            sink_->entry(FoundEntry::passedOver(name));
        return true;
    };
    std::erase_if(frame.children, [&](const SubfolderEntry &e) { return excluded(QByteArrayView(e.name)); });
    files_.filter([&](QByteArrayView name) { return !excluded(name); });
}

void FolderWalker::leaveTo(int depth)
{
    for (; depth_ > depth; --depth_) {
        if (sink_ && frames_.back().entered)
            sink_->leaveFolder();
        frames_.pop_back();
    }
}

void FolderWalker::tellNotRead(const FolderHandle *parent, const QByteArray &path, const char *name,
                               FoundEntry::Problem problem)
{
    if (!sink_)
        return;
    struct stat st;
    const int err = parent ? statEntryAt(*parent, name, st) : (::lstat(path.constData(), &st) == 0 ? 0 : errno);
    if (err == ENOENT)
        return;
    FoundEntry e = err != 0 ? FoundEntry::unexamined(name) : FoundEntry::of(name, st);
    e.linksToFolder = err == 0 && S_ISLNK(st.st_mode); // listed among the folders: it leads to one
    if (err == 0 && e.kind == FoundEntry::Kind::Folder) {
        e.problem = problem;
        e.otherDevice = st.st_dev != (parent ? idOf(*parent).dev : deviceAbove(st.st_dev));
    }
    sink_->entry(e);
}

bool FolderWalker::StartWalk(const QByteArray &path, DirectoryList &dir, const FolderHandle *parent)
{
    dir_ = &dir;
    end();
    startErrorCode_ = 0;
    startError_.clear();
    passedOver_ = 0;
    ownSeen_.clear();
    const QByteArray start = normalFolderPath(path);
    const char *const name = start.constData() + start.lastIndexOf('/') + 1;
    try {
        struct stat st;
        if (!parent && ::lstat(start.constData(), &st) != 0) {
            startErrorCode_ = errno;
            startError_ = FsError::fromErrno(startErrorCode_).description();
            tellNotRead(nullptr, start, name);
            return false;
        }
        if (!parent && S_ISLNK(st.st_mode)) {
            startError_ = QStringLiteral("A link to a folder is not walked");
            if (sink_) {
                FoundEntry e = FoundEntry::of(lastName(start), st);
                e.linksToFolder = true;
                sink_->entry(e);
            }
            return false;
        }
        WalkFrame frame;
        frame.Path = start;
        frame.folder = parent ? FolderHandle::openChild(*parent, name) : FolderHandle::open(start);
        if (::fstat(frame.folder.fd(), &frame.st) == 0)
            frame.id = {frame.st.st_dev, frame.st.st_ino};
        // The kernel's own views (/proc, /sys, ...) hold no data on a disk, and a folder met
        // before holds nothing new: nothing to count. A piece of a bigger walk on the file
        // system of the folder above it is no such view.
        // A start in the scan folder, on its file system, is a view exactly when that folder is.
        const bool sameFsAsAbove = parent && !place_.empty() && place_.back().dev == frame.id.dev;
        const bool asAbove = parent && place_.empty() && hasAbove_ && aboveIsView_ && above_.dev == frame.id.dev;
        const bool isView = !sameFsAsAbove && (asAbove ? *aboveIsView_ : isSystemViewFolder(frame.folder));
        const bool otherFs = outOfScope(frame.id.dev);
        if (isView || otherFs || metBefore(frame.id)) {
            files_.clear();
            if (sink_) {
                FoundEntry e = FoundEntry::of(lastName(start), frame.st);
                e.otherDevice = frame.id.dev != deviceAbove(frame.id.dev);
                e.notWalked = isView    ? FoundEntry::NotWalked::KernelView
                              : otherFs ? FoundEntry::NotWalked::OtherFileSystem
                                        : FoundEntry::NotWalked::MetBefore;
                sink_->entry(e);
            }
        } else {
            dir.read(frame.folder, &frame.children, &files_, listener_);
            frame.walked = true;
            if (sink_)
                enter(frame, lastName(start), deviceAbove(frame.id.dev));
            passOver(frame);
        }
        frames_.push_back(std::move(frame));
        depth_ = 0;
        currentPath_ = start;
        return true;
    } catch (const FsError &e) {
        startError_ = e.description();
        startErrorCode_ = e.code();
        frames_.clear();
        tellNotRead(parent, start, name);
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
            leaveTo(depth_ - 1);
            continue;
        }
        top.ChildIndex = next;
        const SubfolderEntry &child = top.children[size_t(next)];
        const QByteArray childPath = joinPath(top.Path, child.name);
        if (int(place_.size()) + depth_ + 1 > MaxDepth) {
            currentPath_ = childPath;
            tellNotRead(&top.folder, childPath, child.name.constData());
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
                if (sink_ && top.entered)
                    sink_->folderProblem(FoundEntry::Problem::NotSearched);
            } else {
                tellNotRead(&top.folder, childPath, child.name.constData());
            }
            throw;
        }
        if (::fstat(frame.folder.fd(), &frame.st) == 0)
            frame.id = {frame.st.st_dev, frame.st.st_ino};
        // On the file system of the folder above it, it is no view of the kernel's either.
        const bool isView = frame.id.dev != top.id.dev && isSystemViewFolder(frame.folder); // nothing below it counts
        const bool otherFs = outOfScope(frame.id.dev);
        if (isView || otherFs || metBefore(frame.id)) {
            if (sink_) {
                FoundEntry e = FoundEntry::of(QByteArrayView(child.name), frame.st);
                e.otherDevice = frame.id.dev != top.id.dev;
                e.notWalked = isView    ? FoundEntry::NotWalked::KernelView
                              : otherFs ? FoundEntry::NotWalked::OtherFileSystem
                                        : FoundEntry::NotWalked::MetBefore;
                sink_->entry(e);
            }
            continue;
        }
        try {
            dir_->read(frame.folder, &frame.children, &files_, listener_);
        } catch (const FsError &) {
            if (sink_) {
                FoundEntry e = FoundEntry::of(QByteArrayView(child.name), frame.st);
                e.otherDevice = frame.id.dev != top.id.dev;
                e.problem = FoundEntry::Problem::NotRead;
                sink_->entry(e);
            }
            throw;
        }
        if (sink_)
            enter(frame, QByteArrayView(child.name), top.id.dev);
        passOver(frame);
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
        leaveTo(level - 1);
        files_.clear();
        return gone;
    }
    return {};
}
