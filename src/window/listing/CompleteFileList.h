// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

struct MainForm;

// Rebuilds lstBigFileList from fileFileList's names, with the columns the options ask for:
// one line per file (with chkRecursive checked the list is not emptied and each line starts
// with the folder path). Leaves CurrentFolderPath, FileListTotalBytes and FileListTotalText.
// A file whose length or time cannot be read is reported and keeps its line at 0 bytes.
void fileFileList_PathChange(MainForm &f);

// Whether the file list is as a rebuild would make it again: built without a box from the
// same folder, pattern and options, not recursive, and the folder's entries unchanged since
// its names were read (the lengths and times of its files are not compared).
bool fileListUpToDate(const MainForm &f);
