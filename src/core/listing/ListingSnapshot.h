// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "core/scan/engine/Tally.h"
#include "core/shared/TextLines.h"

#include <QString>
#include <cstdint>
#include <optional>

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
    // With counts, the headings that show a total say how many files it counts; with disk usage
    // they say that the sizes are allocated bytes.
    bool counts = false;
    bool diskUsage = false;
    int64_t folderLinesFiles = 0; // the files the folder lines count, together
    int64_t fileListTotalFiles = 0; // the files the file list's total counts
    int indentation = 0;
};

// The "Folders: " heading: with folder sizes, the bytes of the folder lines, so that a reader's
// sum of the lines is the heading's figure (and with counts their files).
QString folderHeading(const ListingSnapshot &s);

// The file heading: "Complete File List" for a recursive list; otherwise "Files:", with the
// listed files' total size text when the size column is on (and with counts their files).
// With disk usage they read "Folders (disk usage): " and "Files (disk usage):".
QString fileHeading(const ListingSnapshot &s);

// The parent folder line: the folder and the pattern, then with a total its size text (with
// counts its files too), then the names passed over (see excludedNote), and with disk usage
// "  (disk usage)" at its end.
QString parentFolderText(const QString &folderAndPattern, std::optional<ShownSize> total, bool counts,
                         bool diskUsage, int64_t excluded = 0);

// What a saved or printed listing's parent folder line adds while a find filters the lists:
// " (filtered: "text")"; nothing without one.
QString findNote(const QString &findText);

// A file line as written out: with folders included and not recursive, prefixed by the folder.
QString fileLineOut(const ListingSnapshot &s, const QString &entry);
// What fileLineOut puts before each entry: the folder path, or nothing.
QString fileLinePrefix(const ListingSnapshot &s);
