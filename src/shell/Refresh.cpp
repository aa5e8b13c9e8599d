#include "shell/Refresh.h"

#include "listing/CompleteFileList.h"
#include "listing/FileListElement.h"
#include "scan/DirFolderView.h"
#include "scan/FolderListScan.h"
#include "scan/FolderReader.h"
#include "scan/RecursiveFileScan.h"
#include "scan/ScanErrorReport.h"
#include "scan/ScanSession.h"
#include "shared/FsError.h"
#include "shared/MainForm.h"

#include <QCheckBox>
#include <QSignalBlocker>

namespace {
void switchFolderSizesOn(MainForm &f)
{
    const QSignalBlocker quiet(f.chkFolderSize);
    f.chkFolderSize->setChecked(true);
}

// Reads the folder tree's current folder and the file list's names again, without a change
// notification: the same folder, with the entries it has now.
void rereadFolder(MainForm &f)
{
    try {
        f.dirFolder->setPath(f.dirFolder->path());
        f.fileFileList->reread();
    } catch (const std::exception &e) {
        reportScanError(f, errorDescription(e), QString());
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
        f.fileFileList->setPath(f.dirFolder->path());
    } catch (const std::exception &e) {
        reportScanError(f, errorDescription(e), QString());
        if (session.verdict(r) == ScanEnd::Abandoned) // the boxes let a newer request in
            return ScanEnd::Abandoned;
    }
    const bool recursive = isChecked(f.chkRecursive);
    if (!recursive && (r.work & ScanSession::FileList)) {
        fileFileList_PathChange(f);
        session.done(r, ScanSession::FileList);
    }
    CountedSizes counted; // what the recursive scan counts, the folder list takes over
    if (r.work & ScanSession::RecursiveLines) {
        ScanEnd end = ScanEnd::Completed;
        if (recursive) {
            end = RecursiveFileScan(f, session, r, counted);
            if (end == ScanEnd::Abandoned)
                return end;
            // The stop switched folder sizes off; the recursive listing has them on.
            if (end == ScanEnd::Stopped)
                switchFolderSizesOn(f);
        }
        afterStep(end, ScanSession::RecursiveLines);
    }
    if (r.work & ScanSession::FolderList) {
        const ScanEnd end = FolderListScan(f, session, r, &counted);
        if (end == ScanEnd::Abandoned)
            return end;
        afterStep(end, ScanSession::FolderList);
    }
    if (r.work & ScanSession::FileList) {
        fileFileList_PathChange(f);
        session.done(r, ScanSession::FileList);
    }
    return stopped ? ScanEnd::Stopped : ScanEnd::Completed;
}
}

ScanEnd refresh(MainForm &f, ScanSession &session, unsigned work)
{
    if (f.dirFolder->stale()) {
        rereadFolder(f);
        work |= ScanSession::FileList;
    }
    if (f.fileFileList->path() != f.dirFolder->path())
        work |= ScanSession::FileList;
    ScanSession::Request r = session.begin(work);
    for (int pass = 0;; ++pass) {
        const struct timespec before = folderStamp(f.dirFolder->path());
        const ScanEnd end = carryOut(f, session, r);
        if (end == ScanEnd::Abandoned)
            return end;
        if (end == ScanEnd::Stopped || pass > 0 || sameStamp(folderStamp(f.dirFolder->path()), before)) {
            session.finish(r);
            return end;
        }
        // Entries came or went while the folder was scanned: once more, from a fresh read.
        rereadFolder(f);
        r = session.begin(ScanSession::FolderList | ScanSession::FileList
                          | (isChecked(f.chkRecursive) ? ScanSession::RecursiveLines : 0u));
    }
}

ScanEnd recursiveRefresh(MainForm &f, ScanSession &session)
{
    switchFolderSizesOn(f);
    return refresh(f, session, ScanSession::RecursiveLines | ScanSession::FolderList | ScanSession::FileList);
}
