// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "core/scan/engine/FolderScan.h"

#include <QString>
#include <cstdint>

struct MainForm;

// Steps that the folder list scan and the recursive file scan share.

// The caption of a running scan, and of the idle window.
inline const QString ScanningCaption = QStringLiteral("Listwright - Scanning [PRESS ESC TO CANCEL] .");
inline const QString IdleCaption = QStringLiteral("Listwright");

// The default pointer and the idle caption.
void endScanLook(MainForm &f);

// One more "." per subfolder counted, back to a single dot once the caption is 100 long.
void advanceCaption(MainForm &f);
// The caption after `steps` such steps.
QString advancedCaption(const QString &caption, int64_t steps = 1);

// CurrentFolderPath for a folder path: the path with "/" appended unless it ends in one.
QString folderPathWithSlash(const QString &path);

// The first steps of both scans: clears the folder list (and, when asked, the complete file
// list) and the parent folder line, lets the save path follow the folder when chkAutoUpdate
// is checked, sets CurrentFolderPath and takes the scan's snapshot of the subfolders.
// Subfolders whose names `scope` excludes are left out of it.
FolderScanStart startFolderScan(MainForm &f, bool clearFileList, const WalkScope &scope);
// The choices a scan follows, as the window's boxes hold them now.
ScanChoices scanChoices(const MainForm &f);
