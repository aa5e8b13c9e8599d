// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/listing/DriveChange.h"

#include "window/listing/DriveList.h"
#include "window/listing/ScanDrive.h"
#include "window/scan/DirFolderView.h"
#include "window/shared/MainForm.h"
#include "core/shared/MessageBoxes.h"

#include <QFile>

void drvDrive_Change(MainForm &f)
{
    if (f.drvDrive->scanChosen())
        return; // the scan shown already
    const QString drive = f.drvDrive->drive();
    // Back to the file system from a scan: setPath raises the change even for the same folder.
    if (f.OpenedScan)
        leaveScan(f);
    try {
        f.dirFolder->setPath(QFile::encodeName(drive)); // its change runs the folder list scan
        f.CurrentDrive = drive;
    } catch (...) {
        f.boxes->show(QStringLiteral("Drive Not Available"), QStringLiteral("Listwright - Drive Problem"));
        // Back to the drive last shown. Setting the drive list to the drive it already shows
        // raises no change, so a previous drive that fails as well gives one more box and
        // no loop.
        const QString previous = f.CurrentDrive.isEmpty()
                                     ? DriveList::driveOf(QFile::decodeName(f.dirFolder->path()))
                                     : f.CurrentDrive;
        f.drvDrive->setDrive(previous);
    }
}
