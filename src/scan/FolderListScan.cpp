// SPDX-License-Identifier: GPL-3.0-or-later
#include "scan/FolderListScan.h"

#include "scan/BusyLook.h"
#include "scan/ParentFolder.h"
#include "scan/ScanPump.h"
#include "scan/ScanSteps.h"
#include "shared/MainForm.h"

ScanEnd FolderListScan(MainForm &f, ScanSession &session, const ScanSession::Request &request,
                       const CountedSizes *counted)
{
    const FolderScanStart start = startFolderScan(f, false);
    const ScanChoices choices = scanChoices(f);
    BusyLook busy(f, session);
    f.FolderTotalBytes = 0;
    f.FolderLinesBytes = 0;
    {
        ScanPump port(f, session, request, choices.folderSizes);
        if (const ScanEnd end = scanFolderList(port, start, choices, counted); end != ScanEnd::Completed)
            return end;
    }
    RefreshParentFolder(f);
    return ScanEnd::Completed;
}
