// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/scan/FolderListScan.h"

#include "window/scan/BusyLook.h"
#include "window/scan/ParentFolder.h"
#include "window/scan/ScanPump.h"
#include "window/scan/ScanSteps.h"
#include "window/shared/MainForm.h"

ScanEnd FolderListScan(MainForm &f, ScanSession &session, const ScanSession::Request &request,
                       const CountedRows *counted)
{
    const FolderScanStart start = startFolderScan(f, false, session.options.scope);
    const ScanChoices choices = scanChoices(f);
    BusyLook busy(f, session);
    f.FolderTotalBytes = 0;
    f.FolderTotalFiles = 0;
    f.FolderLinesFiles = 0;
    f.FolderLinesBytes = 0;
    // The scan that counted the sizes taken over kept its tree, which stays the folder's scan.
    // Its lines are then rows of that tree.
    std::shared_ptr<const ScanTree> counter;
    const bool takingOver = counted && choices.folderSizes && takesOver(counted->sizes, start, choices);
    if (takingOver)
        counter = f.ScannedTree;
    {
        ScanPump port(f, session, request, choices.folderSizes);
        if (takingOver)
            port.takeOverRows(*counted);
        if (const ScanEnd end = scanFolderList(port, start, choices, takingOver ? &counted->sizes : nullptr);
            end != ScanEnd::Completed)
            return end;
        port.keepTree();
    }
    if (counter)
        f.ScannedTree = std::move(counter);
    RefreshParentFolder(f);
    return ScanEnd::Completed;
}
