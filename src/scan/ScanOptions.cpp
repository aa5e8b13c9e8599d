#include "scan/ScanOptions.h"

#include "shared/MainForm.h"

void chkAutoUpdate_Click(MainForm &) {}
void chkFolderSize_Click(MainForm &) {}
void chkRecursive_Click(MainForm &) {}
void chkSize_Click(MainForm &) {}
void chkModified_Click(MainForm &) {}
