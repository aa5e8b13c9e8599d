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
    f.FolderLinesBytes = 0;
    // A line's bytes count in the total as the line shows them.
    const auto addLine = [&](const ScanSubfolder &entry, int64_t FolderBytes) {
        f.lstFolders->addItem(folderLine(entry.text, FolderBytes, start.nameWidth), {FolderBytes, entry.modified});
        f.FolderLinesBytes += FolderBytes;
        f.FolderTotalBytes += FolderBytes;
        advanceCaption(f);
    };

    if (!isChecked(f.chkFolderSize)) {
        for (const ScanSubfolder &entry : start.subfolders)
            f.lstFolders->addItem(entry.text, {-1, entry.modified});
    } else if (counted && counted->complete && counted->folder == start.folder
               && counted->subfolderBytes.size() == start.subfolders.size()) {
        for (size_t i = 0; i < start.subfolders.size(); ++i)
            addLine(start.subfolders[i], counted->subfolderBytes[i]);
        f.FolderTotalBytes += counted->ownBytes;
    } else {
        ScanPump pump(f, session, request);
        TreeCounter counter(pump, start.folder);
        size_t next = 0;
        const auto addFolderLine = [&](int64_t FolderBytes) { addLine(start.subfolders[next++], FolderBytes); };
        int64_t ownBytes = 0;
        if (const ScanEnd end = countSubfolders(f, pump, counter, start, {}, addFolderLine, &ownBytes);
            end != ScanEnd::Completed)
            return end;
        f.FolderTotalBytes += ownBytes;
    }
    RefreshParentFolder(f);
    return ScanEnd::Completed;
}
