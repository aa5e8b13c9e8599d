#include "scan/TreeCounter.h"

#include "scan/FolderWalker.h"
#include "scan/ScanListener.h"
#include "shared/FsError.h"
#include "shared/Text.h"

ScanEnd TreeCounter::addFiles(const QByteArray &folderPath, const FolderHandle &folder, const FileNames &files,
                              int64_t &bytes, const FileSeen &fileSeen)
{
    listener_.progress.enterFolder(folderPath);
    for (size_t i = 0, n = files.size(); i < n; ++i) {
        if (const ScanEnd end = listener_.tick(); end != ScanEnd::Completed)
            return end;
        const char *name = files.name(i);
        int64_t length;
        try {
            length = fileLengthAt(folder, name);
        } catch (const FsError &e) {
            // Gone or unreadable since the folder was read: reported, counts nothing.
            if (const ScanEnd end = listener_.problem(e.description(), displayName(QByteArray(name)));
                end != ScanEnd::Completed)
                return end;
            continue;
        }
        bytes += length;
        listener_.progress.addFile(length);
        if (fileSeen)
            fileSeen(folderPath, name, length);
    }
    return ScanEnd::Completed;
}

ScanEnd TreeCounter::count(const QByteArray &subfolder, int64_t &bytes, const FileSeen &fileSeen)
{
    try {
        return walk(subfolder, bytes, fileSeen);
    } catch (const ScanInterrupted &interrupted) {
        return interrupted.end;
    }
}

ScanEnd TreeCounter::walk(const QByteArray &subfolder, int64_t &bytes, const FileSeen &fileSeen)
{
    FolderWalker walker(&listener_);
    if (!walker.StartWalk(subfolder, dirInvisFolder_)) {
        // The subfolder itself cannot be read: say so, and count nothing for it.
        return listener_.problem(walker.startError(), displayName(subfolder));
    }
    for (;;) {
        if (const ScanEnd end = addFiles(walker.currentPath(), walker.currentFolder(), walker.currentFiles(), bytes,
                                         fileSeen);
            end != ScanEnd::Completed)
            return end;
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
            } catch (const std::exception &e) {
                if (const ScanEnd end = listener_.problem(errorDescription(e), displayName(walker.currentPath()));
                    end != ScanEnd::Completed)
                    return end;
            }
        }
    }
}

ScanEnd TreeCounter::countFiles(const QByteArray &folder, int64_t &bytes)
{
    try {
        FolderHandle handle = FolderHandle::open(folder);
        if (isSystemViewFolder(handle))
            return ScanEnd::Completed; // the kernel's own views hold nothing on a disk
        FileNames files;
        dirInvisFolder_.read(handle, nullptr, &files, &listener_);
        return addFiles(folder, handle, files, bytes, {});
    } catch (const ScanInterrupted &interrupted) {
        return interrupted.end;
    } catch (const FsError &e) {
        return listener_.problem(e.description(), QString());
    }
}
