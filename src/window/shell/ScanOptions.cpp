// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/shell/ScanOptions.h"

#include "window/listing/CompleteFileList.h"
#include "window/scan/DirFolderView.h"
#include "window/scan/ScanSession.h"
#include "window/shared/MainForm.h"
#include "window/shared/SaveFolder.h"
#include "window/shell/Refresh.h"

#include <QCheckBox>
#include <QLineEdit>

void chkAutoUpdate_Click(MainForm &f)
{
    showSaveFolder(f, f.dirFolder->path());
}

void chkFolderSize_Click(MainForm &f, ScanSession &session)
{
    refresh(f, session, ScanSession::FolderList);
}

void chkRecursive_Click(MainForm &f, ScanSession &session)
{
    if (isChecked(f.chkRecursive))
        recursiveRefresh(f, session);
    else
        refresh(f, session, ScanSession::FolderList | ScanSession::FileList);
}

void chkSize_Click(MainForm &f, ScanSession &session)
{
    // Without the recursive listing only the file list changes; a folder scan running
    // underneath goes on, as nothing it counts depends on the columns.
    if (isChecked(f.chkRecursive))
        recursiveRefresh(f, session);
    else
        fileFileList_PathChange(f);
}

void chkModified_Click(MainForm &f, ScanSession &session)
{
    chkSize_Click(f, session);
}
