// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>

// What the print confirmation box states: what will be printed, where and in which font.
struct PrintConfirmationFacts {
    qsizetype fileCount = 0;     // entries of the file list
    bool includeFolders = false; // "Include Folders"
    qsizetype folderCount = 0;   // subfolders of the current folder
    QString deviceName;          // the current printer
    QString fontName;            // the printer's current font
    int fontSize = 0;            // the chosen size in points
    int indentation = 0;         // 0 for none
};

// The prompt of the print confirmation box; its lines are separated by carriage returns.
QString printConfirmation(const PrintConfirmationFacts &facts);
