// SPDX-License-Identifier: GPL-3.0-or-later
#include "scan/RecursiveFileScan.h"

#include "scan/BusyLook.h"
#include "scan/FolderLine.h"
#include "scan/ParentFolder.h"
#include "scan/ScanPump.h"
#include "scan/ScanSteps.h"
#include "scan/SubfolderCount.h"
#include "scan/engine/TreeCounter.h"
#include "shared/MainForm.h"
#include "shared/Text.h"
#include "shared/TextList.h"

#include <QCheckBox>
#include <cstring>

ScanEnd RecursiveFileScan(MainForm &f, ScanSession &session, const ScanSession::Request &request,
                          CountedSizes &counted)
{
    const FolderScanStart start = startFolderScan(f, true);
    counted = CountedSizes{start.folder, {}, 0, false};
    BusyLook busy(f, session);
    f.FolderTotalBytes = 0;
    f.FolderLinesBytes = 0; // the folder list is empty until the folder list scan fills it

    ScanPump pump(f, session, request);
    TreeCounter counter(pump, start.folder);
    const auto lineOf = [](const QByteArray &dir, const char *name, int64_t length) {
        // A file of this one name is counted but gets no line.
        return std::strcmp(name, "MSCREATE.DIR") != 0 ? recursiveFileLine(dir, name, length) : QString();
    };
    const auto addSubfolder = [&](int64_t FolderBytes) {
        counted.subfolderBytes.push_back(FolderBytes);
        f.FolderTotalBytes += FolderBytes;
        advanceCaption(f);
    };
    const bool sizes = isChecked(f.chkFolderSize);
    if (const ScanEnd end = countSubfolders(f, pump, counter, start, lineOf, addSubfolder, sizes ? &counted.ownBytes : nullptr);
        end != ScanEnd::Completed)
        return end;
    if (sizes) {
        f.FolderTotalBytes += counted.ownBytes;
        counted.complete = true;
    }
    RefreshParentFolder(f);
    return ScanEnd::Completed;
}
