// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/scan/FolderListScan.h"

#include "window/scan/BusyLook.h"
#include "window/scan/ParentFolder.h"
#include "window/scan/ScanPump.h"
#include "window/scan/ScanSteps.h"
#include "window/shared/MainForm.h"

ScanEnd FolderListScan(MainForm &f, ScanSession &session, const ScanSession::Request &request,
                       const CountedSizes *counted, const CountedRows *rows)
{
    const FolderScanStart start = startFolderScan(f, false, session.options.scope);
    const ScanChoices choices = scanChoices(f);
    BusyLook busy(f, session);
    f.FolderTotalBytes = 0;
    f.FolderTotalFiles = 0;
    f.FolderLinesFiles = 0;
    f.FolderLinesBytes = 0;
    // The scan that counted the sizes taken over kept its tree, which stays the folder's scan.
    // Its lines are then rows of that tree: sizes are taken over only with the rows they were
    // counted into.
    if (counted && (!rows || rows->tops.size() != counted->subfolderSizes.size()))
        counted = nullptr;
    std::shared_ptr<const ScanTree> counter;
    const bool takingOver = counted && choices.folderSizes && takesOver(*counted, start, choices);
    if (takingOver)
        counter = f.ScannedTree;
    {
        ScanPump port(f, session, request, choices.folderSizes);
        if (takingOver)
            port.takeOverRows(*rows);
        if (const ScanEnd end = scanFolderList(port, start, choices, counted); end != ScanEnd::Completed)
            return end;
        port.keepTree();
    }
    if (counter)
        f.ScannedTree = std::move(counter);
    RefreshParentFolder(f);
    return ScanEnd::Completed;
}
