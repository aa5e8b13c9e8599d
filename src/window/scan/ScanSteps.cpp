// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/scan/ScanSteps.h"

#include "window/scan/DirFolderView.h"
#include "window/shared/MainForm.h"
#include "window/shared/SaveFolder.h"
#include "window/shared/TextList.h"

#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QMainWindow>

void endScanLook(MainForm &f)
{
    f.window->unsetCursor();
    f.window->setWindowTitle(IdleCaption);
}

QString advancedCaption(const QString &caption)
{
    if (caption.size() < 100)
        return caption + QLatin1Char('.');
    return QStringLiteral("Listwright - Scanning .");
}

void advanceCaption(MainForm &f)
{
    f.window->setWindowTitle(advancedCaption(f.window->windowTitle()));
}

QString folderPathWithSlash(const QString &path)
{
    return path.endsWith(QLatin1Char('/')) ? path : path + QLatin1Char('/');
}

FolderScanStart startFolderScan(MainForm &f, bool clearFileList, const WalkScope &scope)
{
    f.lstFolders->clear();
    if (clearFileList)
        f.lstBigFileList->clear();
    f.txtParentFolder->setText(QString());
    if (isChecked(f.chkAutoUpdate))
        showSaveFolder(f, f.dirFolder->path());
    f.CurrentFolderPath = folderPathWithSlash(f.dirFolder->pathText());

    FolderScanStart start = f.dirFolder->scanStart();
    if (scope.exclude)
        leaveOut(start, *scope.exclude);
    f.FolderPassedOver = 0;
    return start;
}

ScanChoices scanChoices(const MainForm &f)
{
    return {isChecked(f.chkFolderSize), f.mnuDiskUsage && f.mnuDiskUsage->isChecked()};
}
