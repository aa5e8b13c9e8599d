// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QByteArray>
#include <QString>
#include <cstdint>
#include <vector>

struct MainForm;

// Steps that the folder list scan and the recursive file scan share.

// The caption of a running scan, and of the idle window.
inline const QString ScanningCaption = QStringLiteral("Listwright - Scanning [PRESS ESC TO CANCEL] .");
inline const QString IdleCaption = QStringLiteral("Listwright");

// The default pointer and the idle caption.
void endScanLook(MainForm &f);

// One more "." per subfolder counted, back to a single dot once the caption is 100 long.
void advanceCaption(MainForm &f);
QString advancedCaption(const QString &caption);

// CurrentFolderPath for a folder path: the path with "/" appended unless it ends in one.
QString folderPathWithSlash(const QString &path);

// What a folder scan works on, fixed when it starts: the folder and its subfolders as the
// folder tree listed them, so nothing the user does meanwhile moves the scan's place.
struct ScanSubfolder {
    QByteArray path;  // native full path
    QString text;     // as the lists show it
    bool isLink;      // a link to a folder: listed, never walked
    int64_t modified; // its own modification time, for the date order
};
struct FolderScanStart {
    QByteArray folder;
    std::vector<ScanSubfolder> subfolders;
    int nameWidth = 0; // the longest subfolder path + 1
};

// The sizes one scan counted, for the next scan of the same refresh to take over instead of
// walking every tree again: each subfolder's bytes, in snapshot order, and the folder's own.
struct CountedSizes {
    QByteArray folder;
    std::vector<int64_t> subfolderBytes;
    int64_t ownBytes = 0;
    bool complete = false; // every tree and the own files were counted
};

// The first steps of both scans: clears the folder list (and, when asked, the complete file
// list) and the parent folder line, lets the save path follow the folder when chkAutoUpdate
// is checked, sets CurrentFolderPath and takes the scan's snapshot of the subfolders.
FolderScanStart startFolderScan(MainForm &f, bool clearFileList);
