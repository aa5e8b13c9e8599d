// SPDX-License-Identifier: GPL-3.0-or-later
#include "output/ListingSnapshot.h"

#include "scan/ByteConverter.h"
#include "shared/MainForm.h"
#include "shared/TextList.h"

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
    return s;
}

QString folderHeading(const ListingSnapshot &s)
{
    if (s.folderSizes)
        return QStringLiteral("Folders: ") + ByteConverter(double(s.folderLinesBytes));
    return QStringLiteral("Folders: ");
}

QString fileHeading(const ListingSnapshot &s)
{
    if (s.recursive)
        return QStringLiteral("Complete File List");
    if (s.fileSizes)
        return QStringLiteral("Files: ") + s.fileListTotalText;
    return QStringLiteral("Files:");
}

QString fileLinePrefix(const ListingSnapshot &s)
{
    if (s.recursive)
        return {};
    if (s.includeFolders)
        return s.currentFolderPath;
    return {};
}

QString fileLineOut(const ListingSnapshot &s, const QString &entry)
{
    return fileLinePrefix(s) + entry;
}
