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

#include <algorithm>

void endScanLook(MainForm &f)
{
    f.window->unsetCursor();
    f.window->setWindowTitle(IdleCaption);
}

QString advancedCaption(const QString &caption, int64_t steps)
{
    if (steps <= 0)
        return caption;
    // Dots are added up to 100 characters; the step after that starts again at one dot.
    const int64_t toRestart = std::max<int64_t>(0, 100 - caption.size()) + 1;
    if (steps < toRestart)
        return caption + QString(qsizetype(steps), QLatin1Char('.'));
    const QString restart = QStringLiteral("Listwright - Scanning .");
    return restart + QString(qsizetype((steps - toRestart) % (100 - restart.size() + 1)), QLatin1Char('.'));
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
