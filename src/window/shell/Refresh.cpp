// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/shell/Refresh.h"

#include "window/listing/CompleteFileList.h"
#include "window/scan/ScanFolderShown.h"
#include "core/listing/FileListElement.h"
#include "core/scan/CallWait.h"
#include "window/scan/DirFolderView.h"
#include "window/scan/FolderListScan.h"
#include "core/scan/engine/FolderReader.h"
#include "window/scan/RecursiveFileScan.h"
#include "window/scan/ScanErrorReport.h"
#include "window/scan/ScanSession.h"
#include "core/shared/FsError.h"
#include "window/shared/MainForm.h"

#include <QCheckBox>
#include <QSignalBlocker>
#include <cerrno>
#include <sys/stat.h>

namespace {
void switchFolderSizesOn(MainForm &f)
{
    const QSignalBlocker quiet(f.chkFolderSize);
    f.chkFolderSize->setChecked(true);
}

// Reads the folder tree's current folder and the file list's names again, without a change
// notification: the same folder, with the entries it has now. A folder that cannot be read
// any more (removed, for instance) is reported, and false answered: nothing is left to list.
bool rereadFolder(MainForm &f)
{
    try {
        f.dirFolder->setPath(f.dirFolder->path());
        f.fileFileList->reread(f.dirFolder->takeFiles());
        return true;
    } catch (const std::exception &e) {
        reportScanError(f, errorDescription(e), f.dirFolder->pathText());
        return false;
    }
}

// Whether the folder is still there to list; one that is gone is reported, once.
bool folderStillThere(MainForm &f)
{
    const QByteArray p = f.dirFolder->path();
    int error = 0;
    try {
        error = CallWait::run<int>(p, [p] {
            struct stat st;
            return ::stat(p.constData(), &st) == 0 ? 0 : errno;
        });
    } catch (const FsError &e) {
        reportScanError(f, e.description(), f.dirFolder->pathText());
        return false;
    }
    if (error == 0)
        return true;
    reportScanError(f, FsError::fromErrno(error).description(), f.dirFolder->pathText());
    return false;
}

// Whether the folder's entries changed after `stamp`; asked on a worker (see CallWait). When
// the question is given up, the folder counts as unchanged.
bool changedSince(const QByteArray &folder, const struct timespec &stamp)
{
    try {
        return !sameStamp(CallWait::run<struct timespec>(folder, [folder] { return folderStamp(folder); }), stamp);
    } catch (const FsError &) {
        return false;
    }
}

// Runs the request's work; a step ended by the stop command lets the rest go on as a request
// of its own, as the stop settled what the stopped one had still to do.
ScanEnd carryOut(MainForm &f, ScanSession &session, ScanSession::Request &r)
{
    bool stopped = false;
    const auto afterStep = [&](ScanEnd end, ScanSession::Work step) {
        session.done(r, step);
        if (end == ScanEnd::Stopped) {
            stopped = true;
            r = session.begin(r.work);
        }
    };

    try {
        f.fileFileList->setPath(f.dirFolder->path(), f.dirFolder->takeFiles());
    } catch (const std::exception &e) {
        // The folder cannot be read now (gone, for instance): said once, nothing to list.
        reportScanError(f, errorDescription(e), f.dirFolder->pathText());
        if (session.verdict(r) == ScanEnd::Abandoned) // the boxes let a newer request in
            return ScanEnd::Abandoned;
        return ScanEnd::FolderGone;
    }
    const bool recursive = isChecked(f.chkRecursive);
    if (!recursive && (r.work & ScanSession::FileList)) {
        fileFileList_PathChange(f);
        session.done(r, ScanSession::FileList);
    }
    CountedRows counted; // what the recursive scan counts, the folder list takes over
    if (r.work & ScanSession::RecursiveLines) {
        ScanEnd end = ScanEnd::Completed;
        if (recursive) {
            end = RecursiveFileScan(f, session, r, counted);
            if (end == ScanEnd::Abandoned || end == ScanEnd::FolderGone)
                return end;
            // The stop switched folder sizes off; the recursive listing has them on.
            if (end == ScanEnd::Stopped)
                switchFolderSizesOn(f);
        }
        afterStep(end, ScanSession::RecursiveLines);
    }
    if (r.work & ScanSession::FolderList) {
        const ScanEnd end = FolderListScan(f, session, r, &counted);
        if (end == ScanEnd::Abandoned || end == ScanEnd::FolderGone)
            return end;
        afterStep(end, ScanSession::FolderList);
    }
    if (r.work & ScanSession::FileList) {
        if (!folderStillThere(f))
            return ScanEnd::FolderGone;
        fileFileList_PathChange(f);
        session.done(r, ScanSession::FileList);
    }
    return stopped ? ScanEnd::Stopped : ScanEnd::Completed;
}
}

ScanEnd refresh(MainForm &f, ScanSession &session, unsigned work)
{
    if (f.OpenedScan) { // a scan shown as a drive: its lists are made from it alone
        const ScanSession::Request r = session.begin(work);
        showScanFolder(f);
        session.finish(r);
        return ScanEnd::Completed;
    }
    bool stale = false;
    try {
        stale = f.dirFolder->stale();
    } catch (const FsError &e) { // given up: said once, the lists stay as they are
        reportScanError(f, e.description(), f.dirFolder->pathText());
        return ScanEnd::FolderGone;
    }
    if (stale || f.fileFileList->path() != f.dirFolder->path())
        work |= ScanSession::FileList;
    ScanSession::Request r = session.begin(work);
    // A folder that is gone is reported once and leaves the lists as they were.
    if (stale && !rereadFolder(f)) {
        session.finish(r);
        return ScanEnd::FolderGone;
    }
    for (int pass = 0;; ++pass) {
        // The entries the scan reads are those of the folder tree's last read: a change since
        // then, also one made before the scan began, has the folder scanned again.
        const struct timespec before = f.dirFolder->stamp();
        const ScanEnd end = carryOut(f, session, r);
        if (end == ScanEnd::Abandoned)
            return end;
        if (end == ScanEnd::FolderGone) { // said once: nothing is left to list
            session.finish(r);
            return end;
        }
        if (end == ScanEnd::Stopped || pass > 0 || !changedSince(f.dirFolder->path(), before)) {
            session.finish(r);
            return end;
        }
        // Entries came or went while the folder was scanned: once more, from a fresh read.
        if (!rereadFolder(f)) {
            session.finish(r);
            return ScanEnd::FolderGone;
        }
        r = session.begin(ScanSession::FolderList | ScanSession::FileList
                          | (isChecked(f.chkRecursive) ? ScanSession::RecursiveLines : 0u));
    }
}

ScanEnd recursiveRefresh(MainForm &f, ScanSession &session)
{
    switchFolderSizesOn(f);
    return refresh(f, session, ScanSession::RecursiveLines | ScanSession::FolderList | ScanSession::FileList);
}
