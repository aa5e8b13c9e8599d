#include "scan/ScanOptions.h"

#include "listing/CompleteFileList.h"
#include "scan/DirFolderView.h"
#include "scan/FolderListScan.h"
#include "scan/RecursiveFileScan.h"
#include "shared/MainForm.h"

#include <QCheckBox>
#include <QLineEdit>

void chkAutoUpdate_Click(MainForm &f)
{
    f.txtMyFilePath->setText(f.dirFolder->pathText());
}

void chkFolderSize_Click(MainForm &f)
{
    FolderListScan(f);
}

ScanEnd recursiveRefresh(MainForm &f)
{
    if (const ScanEnd end = RecursiveFileScan(f); end == ScanEnd::Abandoned)
        return end;
    if (!isChecked(f.chkFolderSize)) {
        // Its handler runs the folder list scan with sizes, which takes the next number; a
        // newer number afterwards means a newer request overtook it.
        const uint64_t scanId = f.scanGeneration + 1;
        f.chkFolderSize->setChecked(true);
        return (f.closing || f.scanGeneration != scanId) ? ScanEnd::Abandoned : ScanEnd::Completed;
    }
    return FolderListScan(f);
}

ScanEnd recursiveFolderChange(MainForm &f)
{
    const ScanEnd end = recursiveRefresh(f);
    if (end != ScanEnd::Abandoned)
        fileFileList_PathChange(f);
    return end;
}

void chkRecursive_Click(MainForm &f)
{
    if (isChecked(f.chkRecursive)) {
        recursiveFolderChange(f);
    } else {
        if (FolderListScan(f) == ScanEnd::Abandoned)
            return;
        fileFileList_PathChange(f);
    }
}

void chkSize_Click(MainForm &f)
{
    if (isChecked(f.chkRecursive)) {
        if (recursiveRefresh(f) == ScanEnd::Abandoned)
            return;
    } else {
        ++f.scanGeneration; // a size scan running underneath gives way to the new list
    }
    fileFileList_PathChange(f);
}

void chkModified_Click(MainForm &f)
{
    chkSize_Click(f);
}
