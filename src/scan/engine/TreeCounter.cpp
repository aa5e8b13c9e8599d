// SPDX-License-Identifier: GPL-3.0-or-later
#include "scan/engine/TreeCounter.h"

#include "scan/engine/FolderWalker.h"
#include "scan/engine/ScanListener.h"
#include "shared/FsError.h"
#include "shared/Text.h"

#include <cerrno>

TreeCounter::TreeCounter(ScanListener &listener, const QByteArray &scanFolder)
    : listener_(listener), scanFolderPath_(scanFolder)
{
    try {
        scanFolder_ = FolderHandle::open(scanFolder);
    } catch (const FsError &) {
        // Not there or not readable: each count finds out and says so.
    }
}

ScanEnd TreeCounter::addFiles(const QByteArray &folderPath, const FolderHandle &folder, const FileNames &files,
                              int64_t &bytes, const FileSeen &fileSeen, bool &gone, bool &reported)
{
    gone = reported = false;
    listener_.progress.enterFolder(folderPath);
    for (size_t i = 0, n = files.size(); i < n; ++i) {
        if (const ScanEnd end = listener_.tick(); end != ScanEnd::Completed)
            return end;
        const char *name = files.name(i);
        struct stat st;
        if (const int err = statEntryAt(folder, name, st)) {
            if (err == ENOENT && folderGone(folder)) {
                gone = true; // the whole folder went: reported once, by the caller
                return ScanEnd::Completed;
            }
            // Gone or unreadable since the folder was read: reported, counts nothing.
            reported = true;
            if (const ScanEnd end = listener_.problem(FsError::fromErrno(err).description(), displayName(QByteArray(name)));
                end != ScanEnd::Completed)
                return end;
            continue;
        }
        const int64_t counted = seen_.firstSight(st) ? st.st_size : 0;
        bytes += counted;
        listener_.progress.addFile(counted);
        if (fileSeen)
            fileSeen(folderPath, name, st.st_size, st.st_mtim.tv_sec);
    }
    return ScanEnd::Completed;
}

void TreeCounter::addFolderLinks(const FolderHandle &folder, const std::vector<SubfolderEntry> &subfolders,
                                 int64_t &bytes)
{
    for (const SubfolderEntry &entry : subfolders) {
        struct stat st;
        // One that went meanwhile holds nothing now.
        if (entry.isLink && statEntryAt(folder, entry.name.constData(), st) == 0 && seen_.firstSight(st))
            bytes += st.st_size;
    }
}

ScanEnd TreeCounter::count(const QByteArray &subfolder, int64_t &bytes, const FileSeen &fileSeen)
{
    try {
        return walk(subfolder, bytes, fileSeen);
    } catch (const ScanInterrupted &interrupted) {
        return interrupted.end;
    }
}

bool TreeCounter::scanFolderGone() const
{
    if (scanFolder_.isOpen())
        return folderGone(scanFolder_);
    struct stat st;
    return ::lstat(scanFolderPath_.constData(), &st) != 0 && errno == ENOENT;
}

ScanEnd TreeCounter::scanFolderVanished()
{
    const ScanEnd end = listener_.problem(FsError::fromErrno(ENOENT).description(), displayName(scanFolderPath_));
    return end == ScanEnd::Completed ? ScanEnd::FolderGone : end;
}

ScanEnd TreeCounter::vanished(FolderWalker &walker, const QByteArray &reportedFolder)
{
    if (scanFolderGone())
        return scanFolderVanished();
    const QByteArray gone = walker.skipGone();
    if (gone.isEmpty() || gone == reportedFolder)
        return ScanEnd::Completed;
    return listener_.problem(FsError::fromErrno(ENOENT).description(), displayName(gone));
}

ScanEnd TreeCounter::walk(const QByteArray &subfolder, int64_t &bytes, const FileSeen &fileSeen)
{
    FolderWalker walker(&listener_);
    if (scanFolder_.isOpen())
        walker.setAbove(scanFolder_);
    if (!walker.StartWalk(subfolder, dirInvisFolder_)) {
        if (walker.startErrorCode() == ENOENT) {
            // Gone before it was read: nothing of it to count, unless the scan's folder went.
            return scanFolderGone() ? scanFolderVanished() : ScanEnd::Completed;
        }
        // The subfolder itself cannot be read: say so, and count nothing for it.
        return listener_.problem(walker.startError(), displayName(subfolder));
    }
    for (;;) {
        bool gone = false, reported = false;
        if (const ScanEnd end = addFiles(walker.currentPath(), walker.currentFolder(), walker.currentFiles(), bytes,
                                         fileSeen, gone, reported);
            end != ScanEnd::Completed)
            return end;
        if (gone) {
            if (const ScanEnd end = vanished(walker, reported ? walker.currentPath() : QByteArray());
                end != ScanEnd::Completed)
                return end;
        } else {
            addFolderLinks(walker.currentFolder(), walker.currentSubfolders(), bytes);
        }
        // Folders without files pass the listener too, so the window stays responsive.
        if (const ScanEnd afterFolder = listener_.tick(); afterFolder != ScanEnd::Completed)
            return afterFolder;
        // On to the next folder that can be read; one that fails is reported and skipped.
        for (;;) {
            QByteArray next;
            try {
                if (!walker.NextFolder(next))
                    return ScanEnd::Completed;
                break;
            } catch (const FsError &e) {
                // A folder gone before the walk read it holds nothing to count and is passed
                // over, unless a folder it was listed in is gone as well.
                const ScanEnd end = e.code() == ENOENT
                                        ? vanished(walker, {})
                                        : listener_.problem(e.description(), displayName(walker.currentPath()));
                if (end != ScanEnd::Completed)
                    return end;
            } catch (const std::exception &e) {
                if (const ScanEnd end = listener_.problem(errorDescription(e), displayName(walker.currentPath()));
                    end != ScanEnd::Completed)
                    return end;
            }
        }
    }
}

ScanEnd TreeCounter::countFiles(int64_t &bytes)
{
    try {
        if (!scanFolder_.isOpen())
            scanFolder_ = FolderHandle::open(scanFolderPath_);
        if (isSystemViewFolder(scanFolder_))
            return ScanEnd::Completed; // the kernel's own views hold nothing on a disk
        std::vector<SubfolderEntry> subfolders;
        FileNames files;
        dirInvisFolder_.read(scanFolder_, &subfolders, &files, &listener_);
        bool gone = false, reported = false;
        if (const ScanEnd end = addFiles(scanFolderPath_, scanFolder_, files, bytes, {}, gone, reported);
            end != ScanEnd::Completed)
            return end;
        if (gone)
            return scanFolderVanished();
        // The links to folders right under it have lines of 0 bytes; their own lengths count here.
        addFolderLinks(scanFolder_, subfolders, bytes);
        return ScanEnd::Completed;
    } catch (const ScanInterrupted &interrupted) {
        return interrupted.end;
    } catch (const FsError &e) {
        if (e.code() == ENOENT && scanFolderGone())
            return scanFolderVanished();
        return listener_.problem(e.description(), QString());
    }
}
