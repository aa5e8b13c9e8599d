// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "core/shared/TextLines.h"

#include <QString>
#include <cstdint>

// What the save and print commands write out: the window's listing and the options that
// shape it, read in one go. Neither command yields to the event loop, so nothing changes
// between its decisions. The lines are shared with the lists, not copied.
struct ListingSnapshot {
    QString title;             // txtTitle
    QString parentFolderLine;  // txtParentFolder
    TextLines folderLines;     // lstFolders
    TextLines fileLines;       // lstBigFileList
    bool includeFolders = false; // chkPrintDir
    bool folderSizes = false;    // chkFolderSize
    bool recursive = false;      // chkRecursive
    bool fileSizes = false;      // chkSize
    QString currentFolderPath;   // ends in "/"
    int64_t folderLinesBytes = 0; // FolderLinesBytes
    QString fileListTotalText;
    int indentation = 0;
};

// The "Folders: " heading: with folder sizes, the bytes of the folder lines, so that a reader's
// sum of the lines is the heading's figure.
QString folderHeading(const ListingSnapshot &s);

// The file heading: "Complete File List" for a recursive list; otherwise "Files:", with the
// listed files' total size text when the size column is on.
QString fileHeading(const ListingSnapshot &s);

// What a saved or printed listing's parent folder line adds while a find filters the lists:
// " (filtered: "text")"; nothing without one.
QString findNote(const QString &findText);

// A file line as written out: with folders included and not recursive, prefixed by the folder.
QString fileLineOut(const ListingSnapshot &s, const QString &entry);
// What fileLineOut puts before each entry: the folder path, or nothing.
QString fileLinePrefix(const ListingSnapshot &s);
