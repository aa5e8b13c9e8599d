#include "scan/RecursiveFileScan.h"

#include "listing/FileListElement.h"
#include "scan/ByteConverter.h"
#include "scan/DirFolderView.h"
#include "scan/FolderListScan.h"
#include "scan/ParentFolder.h"
#include "scan/ScanErrorReport.h"
#include "scan/ScanPump.h"
#include "scan/ScanSteps.h"
#include "scan/TreeCounter.h"
#include "shared/FsError.h"
#include "shared/MainForm.h"
#include "shared/Text.h"
#include "shared/TextList.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QMainWindow>
#include <QSignalBlocker>
#include <cstring>

namespace {
// The recursive file line: the folder's path, the file name, one blank and the size text.
QString recursiveFileLine(const QByteArray &folder, const char *name, int64_t length)
{
    QByteArray path = folder;
    if (!path.endsWith('/'))
        path += '/';
    path += name;
    return displayName(path) + QLatin1Char(' ') + ByteConverter(double(length));
}
}

ScanEnd RecursiveFileScan(MainForm &f)
{
    const uint64_t scanId = ++f.scanGeneration;
    const QByteArray folder = f.dirFolder->path();

    f.lstFolders->clear();
    f.lstBigFileList->clear();
    f.txtParentFolder->setText(QString());
    beginScanLook(f);
    try {
        // The file list is rebuilt by the caller once the recursive lines are in place.
        const QSignalBlocker quiet(f.fileFileList);
        f.fileFileList->setPath(folder);
    } catch (const std::exception &e) {
        reportScanError(f, errorDescription(e), QString());
    }
    if (f.scanGeneration != scanId || f.closing)
        return ScanEnd::Abandoned; // the file list's boxes let a newer request in
    if (isChecked(f.chkAutoUpdate))
        f.txtMyFilePath->setText(f.dirFolder->pathText());
    f.CurrentFolderPath = folderPathWithSlash(f.dirFolder->pathText());

    f.FolderTotalBytes = 0;
    {
        ScanPump pump(f, scanId);
        TreeCounter counter(f, pump);
        const auto addLine = [&f](const QByteArray &dir, const char *name, int64_t length) {
            // A file of this one name is counted but gets no line.
            if (std::strcmp(name, "MSCREATE.DIR") != 0)
                f.lstBigFileList->addItem(recursiveFileLine(dir, name, length));
        };
        for (int i = 0; i < f.dirFolder->count(); ++i) {
            int64_t FolderBytes = 0;
            if (const ScanEnd end = countSubfolder(f, counter, i, FolderBytes, addLine); end != ScanEnd::Completed)
                return end;
            f.FolderTotalBytes += FolderBytes;
            advanceCaption(f);
        }
    }
    if (isChecked(f.chkFolderSize))
        addOwnFiles(f, folder);
    RefreshParentFolder(f);
    endScanLook(f);
    return ScanEnd::Completed;
}
