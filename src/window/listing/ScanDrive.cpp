// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/listing/ScanDrive.h"

#include "window/listing/DriveList.h"
#include "window/scan/DirFolderView.h"
#include "window/shared/MainForm.h"

#include <QAction>
#include <QStatusBar>

void enterScan(MainForm &f, std::shared_ptr<const ScanTree> tree, const QString &file, const QString &driveName)
{
    f.OlderScan.reset();
    f.OlderScanFile.clear();
    if (f.mnuChangesOnly)
        f.mnuChangesOnly->setEnabled(false);
    f.OpenedScan = tree;
    f.OpenedScanFile = file;
    f.ScannedTree.reset();
    f.ScanFolder = 0;
    f.drvDrive->showScanDrive(driveName, file.isEmpty() ? driveName : file);
    f.dirFolder->showScan(std::move(tree), 0);
}

void leaveScan(MainForm &f)
{
    f.OpenedScan.reset();
    f.OpenedScanFile.clear();
    f.ScanFolder = 0;
    f.OlderScan.reset();
    f.OlderScanFile.clear();
    if (f.mnuChangesOnly)
        f.mnuChangesOnly->setEnabled(false);
    f.drvDrive->showScanDrive({});
    f.StatusBar1->clearMessage();
}
