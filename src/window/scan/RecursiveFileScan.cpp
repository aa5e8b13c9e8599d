// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/scan/RecursiveFileScan.h"

#include "core/scan/FolderLine.h"
#include "window/scan/BusyLook.h"
#include "window/scan/ParentFolder.h"
#include "window/scan/ScanPump.h"
#include "window/scan/ScanSteps.h"
#include "window/shared/MainForm.h"

ScanEnd RecursiveFileScan(MainForm &f, ScanSession &session, const ScanSession::Request &request,
                          CountedRows &counted)
{
    const FolderScanStart start = startFolderScan(f, true, session.options.scope);
    const ScanChoices choices = scanChoices(f);
    BusyLook busy(f, session);
    f.FolderTotalBytes = 0;
    f.FolderTotalFiles = 0;
    f.FolderLinesFiles = 0;
    f.FolderLinesBytes = 0; // the folder list is empty until the folder list scan fills it
    {
        ScanPump port(f, session, request);
        if (const ScanEnd end = scanRecursiveFiles(port, start, choices, recursiveListingLine, counted.sizes);
            end != ScanEnd::Completed)
            return end;
        port.keepRows(counted);
        port.keepTree(); // the folder list takes its sizes over, and keeps it
    }
    RefreshParentFolder(f);
    return ScanEnd::Completed;
}
