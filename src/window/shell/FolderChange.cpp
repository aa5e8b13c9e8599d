// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/shell/FolderChange.h"

#include "window/scan/DirFolderView.h"
#include "window/scan/ScanSession.h"
#include "window/shared/MainForm.h"
#include "core/shared/MessageBoxes.h"
#include "window/shell/Refresh.h"

#include <QCheckBox>

void dirFolder_Change(MainForm &f, ScanSession &session)
{
    if (f.OpenedScan)
        f.ScanFolder = f.dirFolder->scanFolder();
    if (isChecked(f.chkRecursive))
        recursiveRefresh(f, session);
    else
        refresh(f, session, ScanSession::FolderList);
}

void dirFolder_OpenFailed(MainForm &f, const QString &folder, const QString &description)
{
    f.boxes->show(description + QLatin1Char('\r') + folder, QStringLiteral("Listwright - Error Opening Folder"));
}
