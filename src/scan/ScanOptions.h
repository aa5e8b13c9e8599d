#pragma once
#include "scan/ScanEnd.h"

struct MainForm;

// The option check boxes; each runs when its value changes, by the user or by code.
void chkAutoUpdate_Click(MainForm &f);
void chkFolderSize_Click(MainForm &f);
void chkRecursive_Click(MainForm &f);
void chkSize_Click(MainForm &f);
void chkModified_Click(MainForm &f);

// The recursive file scan, then the folder list with sizes: checks chkFolderSize when it is
// not checked (its handler scans), else runs the folder list scan directly.
ScanEnd recursiveRefresh(MainForm &f);

// A new current folder while the recursive listing is on: the recursive refresh for that
// folder, then the file list rebuild, so no line of the previous folder remains.
ScanEnd recursiveFolderChange(MainForm &f);
