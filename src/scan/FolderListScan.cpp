// SPDX-License-Identifier: GPL-3.0-or-later
#include "scan/FolderListScan.h"

#include "scan/BusyLook.h"
#include "scan/FolderLine.h"
#include "scan/ParentFolder.h"
#include "scan/ScanPump.h"
#include "scan/ScanSteps.h"
#include "scan/SubfolderCount.h"
#include "scan/engine/TreeCounter.h"
#include "shared/MainForm.h"
#include "shared/TextList.h"

#include <QCheckBox>

ScanEnd FolderListScan(MainForm &f, ScanSession &session, const ScanSession::Request &request,
                       const CountedSizes *counted)
{
    const FolderScanStart start = startFolderScan(f, false);
    BusyLook busy(f, session);
    f.FolderTotalBytes = 0;

    if (!isChecked(f.chkFolderSize)) {
        for (const ScanSubfolder &entry : start.subfolders)
            f.lstFolders->addItem(entry.text, {-1, entry.modified});
    } else if (counted && counted->complete && counted->folder == start.folder
               && counted->subfolderBytes.size() == start.subfolders.size()) {
        for (size_t i = 0; i < start.subfolders.size(); ++i) {
            const ScanSubfolder &entry = start.subfolders[i];
            f.lstFolders->addItem(folderLine(entry.text, counted->subfolderBytes[i], start.nameWidth),
                                  {counted->subfolderBytes[i], entry.modified});
            f.FolderTotalBytes += counted->subfolderBytes[i];
            advanceCaption(f);
        }
        f.FolderTotalBytes += counted->ownBytes;
    } else {
        ScanPump pump(f, session, request);
        TreeCounter counter(pump, start.folder);
        size_t next = 0;
        const auto addFolderLine = [&](int64_t FolderBytes) {
            const ScanSubfolder &entry = start.subfolders[next++];
            f.lstFolders->addItem(folderLine(entry.text, FolderBytes, start.nameWidth), {FolderBytes, entry.modified});
            f.FolderTotalBytes += FolderBytes;
            advanceCaption(f);
        };
        if (const ScanEnd end = countSubfolders(f, pump, counter, start, {}, addFolderLine); end != ScanEnd::Completed)
            return end;
        int64_t ownBytes = 0;
        if (const ScanEnd end = counter.countFiles(ownBytes); end != ScanEnd::Completed)
            return end;
        f.FolderTotalBytes += ownBytes;
    }
    RefreshParentFolder(f);
    return ScanEnd::Completed;
}
