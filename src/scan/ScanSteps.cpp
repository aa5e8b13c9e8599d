// SPDX-License-Identifier: GPL-3.0-or-later
#include "scan/ScanSteps.h"

#include "scan/DirFolderView.h"
#include "shared/MainForm.h"
#include "shared/SaveFolder.h"
#include "shared/Text.h"
#include "shared/TextList.h"

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

FolderScanStart startFolderScan(MainForm &f, bool clearFileList)
{
    f.lstFolders->clear();
    if (clearFileList)
        f.lstBigFileList->clear();
    f.txtParentFolder->setText(QString());
    if (isChecked(f.chkAutoUpdate))
        showSaveFolder(f, f.dirFolder->path());
    f.CurrentFolderPath = folderPathWithSlash(f.dirFolder->pathText());

    FolderScanStart start;
    start.folder = f.dirFolder->path();
    const int count = f.dirFolder->count();
    start.subfolders.reserve(size_t(count));
    int longest = 0;
    for (int i = 0; i < count; ++i) {
        const QByteArray path = f.dirFolder->entry(i);
        QString text = displayName(path);
        longest = qMax(longest, int(charCount(text)));
        start.subfolders.push_back({path, std::move(text), f.dirFolder->isLink(i), f.dirFolder->modified(i)});
    }
    start.nameWidth = longest + 1;
    return start;
}
