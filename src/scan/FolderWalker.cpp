#include "scan/FolderWalker.h"

#include "shared/FsError.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>

bool FolderWalker::StartWalk(const QByteArray &path, DirectoryList &dir)
{
    dir_ = &dir;
    frames_.clear();
    depth_ = -1;
    try {
        const QByteArray start = normalFolderPath(path);
        struct stat st;
        if (::lstat(start.constData(), &st) != 0) {
            startError_ = FsError::fromErrno(errno).description();
            return false;
        }
        if (S_ISLNK(st.st_mode)) {
            startError_ = QStringLiteral("A link to a folder is not walked");
            return false;
        }
        WalkFrame frame;
        frame.Path = start;
        frame.folder = FolderHandle::open(start);
        // The kernel's own views (/proc, /sys, ...) hold no data on a disk: nothing to count.
        if (isSystemViewFolder(frame.folder))
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
        if (depth_ + 1 > MaxDepth) {
            currentPath_ = childPath;
            throw WalkDepthError();
        }
        WalkFrame frame;
        frame.Path = childPath;
        currentPath_ = childPath;
        frame.folder = FolderHandle::openChild(top.folder, child.name.constData());
        if (isSystemViewFolder(frame.folder)) // counts nothing, and nothing below it is walked
            continue;
        dir_->read(frame.folder, &frame.children, &files_, listener_);
        frames_.push_back(std::move(frame));
        ++depth_;
        path = childPath;
        return true;
    }
    return false;
}
