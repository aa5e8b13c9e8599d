#include "scan/FolderListScan.h"

#include "listing/FileListElement.h"
#include "scan/FolderLine.h"
#include "scan/ParentFolder.h"
#include "scan/ScanErrorReport.h"
#include "scan/ScanOptions.h"
#include "scan/ScanPump.h"
#include "scan/ScanSteps.h"
#include "scan/TreeCounter.h"
#include "scan/DirFolderView.h"
#include "shared/FsError.h"
#include "shared/MainForm.h"
#include "shared/Text.h"
#include "shared/TextList.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QMainWindow>

ScanEnd dirFolder_Change(MainForm &f)
{
    if (isChecked(f.chkRecursive))
        return recursiveFolderChange(f);
    return FolderListScan(f);
}

ScanEnd FolderListScan(MainForm &f)
{
    const uint64_t scanId = ++f.scanGeneration;
    const QByteArray folder = f.dirFolder->path();

    f.lstFolders->clear();
    f.txtParentFolder->setText(QString());
    beginScanLook(f);
    int NameWidth = 0;
    try {
        f.fileFileList->setPath(folder);
    } catch (const std::exception &e) {
        reportScanError(f, errorDescription(e), QString());
    }
    if (f.scanGeneration != scanId || f.closing)
        return ScanEnd::Abandoned; // the file list's boxes let a newer request in
    if (isChecked(f.chkAutoUpdate))
        f.txtMyFilePath->setText(f.dirFolder->pathText());
    f.CurrentFolderPath = folderPathWithSlash(f.dirFolder->pathText());

    // The entries are fixed at the start: the display path of each subfolder.
    const int count = f.dirFolder->count();
    QStringList entries;
    entries.reserve(count);
    for (int i = 0; i < count; ++i) {
        entries.append(displayName(f.dirFolder->entry(i)));
        NameWidth = qMax(NameWidth, int(charCount(entries.last())));
    }
    NameWidth += 1;

    f.FolderTotalBytes = 0;
    if (!isChecked(f.chkFolderSize)) {
        for (const QString &entry : entries)
            f.lstFolders->addItem(entry);
    } else {
        ScanPump pump(f, scanId);
        TreeCounter counter(f, pump);
        for (int i = 0; i < count; ++i) {
            int64_t FolderBytes = 0;
            if (const ScanEnd end = countSubfolder(f, counter, i, FolderBytes); end != ScanEnd::Completed)
                return end;
            f.lstFolders->addItem(folderLine(entries[i], FolderBytes, NameWidth));
            f.FolderTotalBytes += FolderBytes;
            advanceCaption(f);
        }
        addOwnFiles(f, folder);
    }
    RefreshParentFolder(f);
    endScanLook(f);
    return ScanEnd::Completed;
}
