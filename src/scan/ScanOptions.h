#pragma once

struct MainForm;

// The option check boxes; each runs when its value changes, by the user or by code.
void chkAutoUpdate_Click(MainForm &f);
void chkFolderSize_Click(MainForm &f);
void chkRecursive_Click(MainForm &f);
void chkSize_Click(MainForm &f);
void chkModified_Click(MainForm &f);
