// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/scan/engine/WholeWalk.h"

#include "core/scan/engine/DirectoryList.h"
#include "core/scan/engine/FolderReader.h"
#include "core/scan/engine/ParallelCount.h"
#include "core/scan/engine/ScanListener.h"
#include "core/scan/engine/SeenFiles.h"
#include "core/shared/FsError.h"
#include "core/shared/Text.h"

#include <cerrno>
#include <sys/stat.h>
#include <vector>

ScanEnd walkWhole(const QByteArray &path, ScanListener &listener, const NewPieceSink &newPiece, PieceTaker &taker,
                  EntrySink &top)
{
    const FolderHandle folder = FolderHandle::open(path);
    struct stat st;
    if (::fstat(folder.fd(), &st) != 0)
        throw FsError::fromErrno(errno);
    FoundEntry self = FoundEntry::of(path, st);
    if (isSystemViewFolder(folder)) { // views of the running system hold no data: not walked
        self.notWalked = FoundEntry::NotWalked::KernelView;
        top.entry(self);
        return ScanEnd::Completed;
    }
    std::vector<SubfolderEntry> subfolders;
    const WalkScope &scope = listener.options().scope;
    FileNames files; // read only to tell the names passed over
    int err = 0;
    try {
        readFolder(folder, &subfolders, scope.exclude ? &files : nullptr);
        if (!folderSearchable(folder))
            err = EACCES;
    } catch (const FsError &e) {
        err = e.code();
    }
    if (err != 0) {
        self.problem = FoundEntry::Problem::NotRead;
        top.entry(self);
        return listener.problem(FsError::fromErrno(err).description(), displayName(path)) == ScanEnd::Completed
                   ? ScanEnd::Completed
                   : ScanEnd::Stopped;
    }
    top.enterFolder(self);
    if (scope.exclude) { // its names passed over, told before the rest
        const std::unique_ptr<EntrySink> passed = newPiece();
        std::erase_if(subfolders, [&](const SubfolderEntry &sub) {
            const bool out = scope.excludes(QByteArrayView(sub.name));
            if (out)
                passed->entry(FoundEntry::passedOver(QByteArrayView(sub.name)));
            return out;
        });
        for (size_t i = 0; i < files.size(); ++i)
            if (scope.excludes(files.view(i)))
                passed->entry(FoundEntry::passedOver(files.view(i)));
        taker.take(*passed);
    }
    // Its subfolders' trees in their order, then its own files.
    std::vector<QByteArray> trees;
    trees.reserve(subfolders.size());
    for (const SubfolderEntry &sub : subfolders)
        trees.push_back(joinPath(path, sub.name));
    const ScanOptions &options = listener.options();
    ParallelCount walk(path, trees, options.workerCount(), options.maxWorkers(), {}, true, newPiece, options.scope);
    SeenFiles seen;
    ScanEnd end = ScanEnd::Completed;
    for (size_t i = 0; i <= trees.size() && end == ScanEnd::Completed; ++i)
        end = walk.stream(i, listener, seen, taker);
    taker.leaveFolder();
    return end;
}
