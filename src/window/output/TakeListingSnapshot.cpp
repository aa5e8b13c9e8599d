// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/output/TakeListingSnapshot.h"

#include "window/shared/MainForm.h"
#include "window/shared/TextList.h"

#include <QAction>
#include <QCheckBox>
#include <QLineEdit>

ListingSnapshot takeListingSnapshot(const MainForm &f)
{
    ListingSnapshot s;
    s.title = f.txtTitle->text();
    s.parentFolderLine = f.txtParentFolder->text();
    s.folderLines = f.lstFolders->textLines();
    s.fileLines = f.lstBigFileList->textLines();
    s.includeFolders = isChecked(f.chkPrintDir);
    s.folderSizes = isChecked(f.chkFolderSize);
    s.recursive = isChecked(f.chkRecursive);
    s.fileSizes = isChecked(f.chkSize);
    s.currentFolderPath = f.CurrentFolderPath;
    s.folderLinesBytes = f.FolderLinesBytes;
    s.fileListTotalText = f.FileListTotalText;
    s.indentation = f.Indentation;
    s.counts = f.mnuCounts && f.mnuCounts->isChecked();
    s.diskUsage = f.mnuDiskUsage && f.mnuDiskUsage->isChecked();
    s.folderLinesFiles = f.FolderLinesFiles;
    s.fileListTotalFiles = f.FileListTotalFiles;
    // A find shows some of the lines: the listing is those, and says so. Its folder heading
    // is still the sum of its folder lines; the files' total, which counts every file of the
    // folder once, does not fit a part of them and is left out, as is the heading's count of
    // files (the lists keep no file counts of their lines).
    if (f.lstBigFileList->filtering()) {
        s.parentFolderLine += findNote(f.lstBigFileList->findText());
        s.folderLinesBytes = f.lstFolders->shownBytes();
        s.fileSizes = false;
        s.counts = false;
    }
    return s;
}
