// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/scan/engine/TreeCounter.h"

#include "core/scan/engine/FolderWalker.h"
#include "core/scan/engine/ScanListener.h"
#include "core/shared/FsError.h"
#include "core/shared/Text.h"

#include <algorithm>
#include <optional>
#include <cerrno>
#include <sys/stat.h>
#include <vector>

TreeCounter::TreeCounter(ScanListener &listener, const QByteArray &scanFolder)
    : listener_(listener), scanFolderPath_(scanFolder), walker_(&listener)
{
}

void TreeCounter::openScanFolder()
{
    scanFolder_ = FolderHandle::open(scanFolderPath_);
    scanFolderId_ = FolderWalker::idOf(scanFolder_);
    scanFolderIsView_ = isSystemViewFolder(scanFolder_);
}

void TreeCounter::openScanFolderOnce()
{
    if (std::exchange(openTried_, true))
        return;
    try {
        openScanFolder();
    } catch (const FsError &) {
        // Not there or not readable: each count finds out and says so.
    }
}

ScanEnd TreeCounter::addFiles(const QByteArray &folderPath, const FolderHandle &folder, const FileNames &files,
                              Tally &tally, const FileSeen &fileSeen, FilesEnd &how, bool &reported, size_t from,
                              size_t to)
{
    how = FilesEnd::Counted;
    reported = false;
    if (from == 0)
        listener_.progress.enterFolder(folderPath);
    const size_t until = std::min(to, files.size());
    const int lookUp = lookUpFrom(folder.fd(), until > from ? until - from : 0);
    // Names gone while the folder was still there: told once the folder's names are done,
    // and then only if the folder is still there (`rm -rf` takes a folder's names first).
    std::vector<size_t> vanishedAt;
    for (size_t i = from; i < until; ++i) {
        if (const ScanEnd end = listener_.tick(); end != ScanEnd::Completed)
            return end;
        const char *name = files.name(i);
        struct stat st;
        if (const struct stat *known = files.status(i)) // taken as the folder was read
            st = *known;
        else if (const int err = statEntryAt(lookUp, name, st)) {
            if (err == ENOENT) {
                if (folderGone(folder)) {
                    how = FilesEnd::FolderGone; // the whole folder went: reported once, by the caller
                    return ScanEnd::Completed;
                }
                vanishedAt.push_back(i);
                continue;
            }
            if (err == EACCES && !folderSearchable(folder)) {
                // Listed, but none of its names can be looked at: one problem, the folder's,
                // said by the first of its slices.
                how = FilesEnd::Unsearchable;
                if (sink_ && from == 0)
                    sink_->folderProblem(FoundEntry::Problem::NotSearched);
                return from == 0 ? listener_.problem(FsError::fromErrno(err).description(), displayName(folderPath))
                                 : ScanEnd::Completed;
            }
            // Gone or unreadable since the folder was read: reported, counts nothing.
            reported = true;
            if (sink_)
                sink_->entry(FoundEntry::unexamined(files.view(i)));
            const QString description = FsError::fromErrno(err).description();
            if (const ScanEnd end = listener_.fileProblem(description, displayName(QByteArray(name)), displayName(folderPath));
                end != ScanEnd::Completed)
                return end;
            continue;
        }
        const bool first = seen_.firstSight(st);
        if (first)
            tally.add(st);
        listener_.progress.addFile(first ? st.st_size : 0);
        if (fileSeen)
            fileSeen(folderPath, name, diskUsage_ ? Tally::allocatedOf(st) : int64_t(st.st_size), st.st_mtim.tv_sec);
        if (sink_)
            sink_->entry(FoundEntry::of(files.view(i), st));
    }
    if (vanishedAt.empty())
        return ScanEnd::Completed;
    if (folderGone(folder)) {
        how = FilesEnd::FolderGone;
        return ScanEnd::Completed;
    }
    const QString description = FsError::fromErrno(ENOENT).description();
    for (const size_t i : vanishedAt) {
        reported = true;
        if (const ScanEnd end = listener_.vanished(description, folderPath, QByteArray(files.name(i)));
            end != ScanEnd::Completed)
            return end;
    }
    return ScanEnd::Completed;
}

void TreeCounter::addFolderLinks(const FolderHandle &folder, const std::vector<SubfolderEntry> &subfolders,
                                 Tally &tally)
{
    for (const SubfolderEntry &entry : subfolders) {
        struct stat st;
        // One that went meanwhile holds nothing now.
        if (!entry.isLink || statEntryAt(folder, entry.name.constData(), st) != 0)
            continue;
        if (seen_.firstSight(st))
            tally.add(st);
        if (sink_) {
            FoundEntry e = FoundEntry::of(QByteArrayView(entry.name), st);
            e.linksToFolder = true;
            sink_->entry(e);
        }
    }
}

ScanEnd TreeCounter::count(const QByteArray &subfolder, Tally &tally, const FileSeen &fileSeen)
{
    try {
        return walk(subfolder, tally, fileSeen);
    } catch (const ScanInterrupted &interrupted) {
        return interrupted.end;
    }
}

void TreeCounter::prepare(FolderWalker &walker)
{
    openScanFolderOnce();
    if (scanFolder_.isOpen())
        walker.setAbove(scanFolderId_, scanFolderIsView_);
    walker.setPlace(place_);
    walker.rememberIn(seen_);
    walker.setSink(sink_);
    const WalkScope &scope = listener_.options().scope;
    if (scope.oneFileSystem || scope.exclude)
        walker.setScope(scope, scanFolder_.isOpen() ? std::optional<dev_t>(scanFolderId_.dev) : std::nullopt);
}

const FolderHandle *TreeCounter::parentOf(const QByteArray &subfolder) const
{
    if (parent_ || !scanFolder_.isOpen())
        return parent_;
    const qsizetype slash = subfolder.lastIndexOf('/');
    return slash >= 0 && QByteArrayView(subfolder).first(std::max<qsizetype>(slash, 1)) == scanFolderPath_ ? &scanFolder_
                                                                                                         : nullptr;
}

ScanEnd TreeCounter::countFilesOf(const FolderWalker &top, size_t from, size_t to, Tally &tally,
                                  const FileSeen &fileSeen, QByteArray &gone, const GoneAbove &goneAt)
{
    openScanFolderOnce();
    gone.clear();
    try {
        bool reported = false;
        FilesEnd how = FilesEnd::Counted;
        const ScanEnd end =
            addFiles(top.currentPath(), top.currentFolder(), top.currentFiles(), tally, fileSeen, how, reported, from, to);
        if (end != ScanEnd::Completed || how != FilesEnd::FolderGone)
            return end;
        if (goneAt)
            gone = goneAt();
        if (gone.isEmpty())
            gone = top.currentPath();
        if (scanFolderGone())
            return scanFolderVanished();
        return reported && gone == top.currentPath()
                   ? ScanEnd::Completed
                   : listener_.problem(FsError::fromErrno(ENOENT).description(), displayName(gone));
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

QByteArray TreeCounter::goneAboveReport(const QByteArray &start)
{
    reportedAbove_ = goneAbove_();
    return reportedAbove_.isEmpty() ? start : reportedAbove_;
}

ScanEnd TreeCounter::vanished(FolderWalker &walker, const QByteArray &reportedFolder, const QByteArray &orElse)
{
    if (scanFolderGone())
        return scanFolderVanished();
    QByteArray gone = walker.skipGone();
    if (gone.isEmpty())
        gone = orElse;
    else if (gone == walkStart_ && goneAbove_)
        gone = goneAboveReport(gone);
    if (gone.isEmpty() || gone == reportedFolder)
        return ScanEnd::Completed;
    return listener_.problem(FsError::fromErrno(ENOENT).description(), displayName(gone));
}

ScanEnd TreeCounter::walk(const QByteArray &subfolder, Tally &tally, const FileSeen &fileSeen)
{
    // One walker for all the walks of this count, so that its room for names is taken once.
    FolderWalker &walker = walker_;
    struct PassedOverTold { // the names the walk passed over, however it ends, and its folders closed
        FolderWalker &walker;
        int64_t &into;
        ~PassedOverTold()
        {
            into += walker.passedOver();
            walker.end();
        }
    } passedOverTold{walker, passedOver_};
    walkStart_ = normalFolderPath(subfolder);
    prepare(walker);
    if (!walker.StartWalk(subfolder, dirInvisFolder_, parentOf(subfolder))) {
        const int code = walker.startErrorCode();
        struct stat st;
        if (::lstat(normalFolderPath(subfolder).constData(), &st) == 0 && S_ISLNK(st.st_mode)) {
            // A link to a folder is never walked: its line shows the link's own length.
            if (seen_.firstSight(st))
                tally.add(st);
            return ScanEnd::Completed;
        }
        if (code == ENOENT && scanFolderGone())
            return scanFolderVanished();
        if (code == ENOENT && goneAbove_) {
            // A piece whose folder went with a folder above it: that one is reported.
            if (const QByteArray above = goneAboveReport(subfolder); above != subfolder)
                return listener_.problem(walker.startError(), displayName(above));
        }
        // Below a scan folder that cannot be searched nothing can be looked at: the count of
        // its own files says so, once.
        if (code == EACCES && scanFolder_.isOpen() && !folderSearchable(scanFolder_))
            return ScanEnd::Completed;
        // The subfolder itself is gone or cannot be read: say so, and count nothing for it.
        return listener_.problem(walker.startError(), displayName(subfolder));
    }
    for (;;) {
        FilesEnd how = FilesEnd::Counted;
        bool reported = false;
        if (const ScanEnd end = addFiles(walker.currentPath(), walker.currentFolder(), walker.currentFiles(), tally,
                                         fileSeen, how, reported);
            end != ScanEnd::Completed)
            return end;
        if (how == FilesEnd::FolderGone) {
            if (const ScanEnd end = vanished(walker, reported ? walker.currentPath() : QByteArray());
                end != ScanEnd::Completed)
                return end;
        } else if (how == FilesEnd::Unsearchable) {
            walker.skipSubfolders();
        } else {
            addFolderLinks(walker.currentFolder(), walker.currentSubfolders(), tally);
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
                // A folder gone before the walk read it is reported, unless a folder it was
                // listed in is gone as well: that one's report covers it.
                const ScanEnd end = e.code() == ENOENT
                                        ? vanished(walker, {}, walker.currentPath())
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

ScanEnd TreeCounter::countFiles(Tally &tally)
{
    try {
        openScanFolderOnce();
        if (!scanFolder_.isOpen())
            openScanFolder(); // throws why it cannot be opened
        if (scanFolderIsView_)
            return ScanEnd::Completed; // the kernel's own views hold nothing on a disk
        FileNames files;
        dirInvisFolder_.read(scanFolder_, nullptr, &files, &listener_);
        if (const WalkScope &scope = listener_.options().scope; scope.exclude)
            files.filter([&scope](QByteArrayView name) { return !scope.excludes(name); });
        // Entries listed that cannot be looked at, its subfolders' too: one problem, the folder's.
        if (!folderSearchable(scanFolder_)) {
            std::vector<SubfolderEntry> subfolders;
            if (files.size() == 0)
                readFolder(scanFolder_, &subfolders, nullptr);
            if (files.size() > 0 || !subfolders.empty())
                return listener_.problem(FsError::fromErrno(EACCES).description(), displayName(scanFolderPath_));
        }
        if (struct stat st; sink_ && ::fstat(scanFolder_.fd(), &st) == 0)
            sink_->scanFolderFound(FoundEntry::of(scanFolderPath_, st));
        FilesEnd how = FilesEnd::Counted;
        bool reported = false;
        if (const ScanEnd end = addFiles(scanFolderPath_, scanFolder_, files, tally, {}, how, reported);
            end != ScanEnd::Completed)
            return end;
        if (how == FilesEnd::FolderGone)
            return scanFolderVanished();
        return ScanEnd::Completed;
    } catch (const ScanInterrupted &interrupted) {
        return interrupted.end;
    } catch (const FsError &e) {
        if (e.code() == ENOENT && scanFolderGone())
            return scanFolderVanished();
        return listener_.problem(e.description(), QString());
    }
}
