#include "listing/CompleteFileList.h"

#include "listing/FileFacts.h"
#include "listing/FileLine.h"
#include "listing/FileListElement.h"
#include "listing/ModifiedText.h"
#include "scan/ByteConverter.h"
#include "scan/DirFolderView.h"
#include "scan/engine/SeenFiles.h"
#include "shared/FsError.h"
#include "shared/MainForm.h"
#include "shared/MessageBoxes.h"
#include "shared/Text.h"
#include "shared/TextList.h"

#include <QCheckBox>
#include <algorithm>
#include <optional>

namespace {
const QString ErrorTitle = QStringLiteral("Listwright - Error in File Path Change");

// The folder whose names fileFileList holds, ending in "/". The names and the lengths and
// times read for them always come from this one folder.
QByteArray listedFolder(const MainForm &f)
{
    QByteArray folder = f.fileFileList->path();
    if (folder.isEmpty())
        folder = f.dirFolder->path();
    if (!folder.endsWith('/'))
        folder += '/';
    return folder;
}

void reportFileError(MainForm &f, const QString &description, const QString &name)
{
    f.boxes->show(description + QLatin1Char('\r') + QStringLiteral("Current file: ") + f.CurrentFolderPath + name,
                  ErrorTitle);
}

void rebuild(MainForm &f)
{
    const FileListElement &files = *f.fileFileList;
    const bool recursive = isChecked(f.chkRecursive);

    if (!recursive)
        f.lstBigFileList->clear();
    f.FileListTotalBytes = 0;
    const QByteArray folder = listedFolder(f);
    f.CurrentFolderPath = displayName(folder);

    // First pass: the width of the name column.
    const int count = files.count();
    qsizetype longest = 0;
    for (int i = 0; i < count; ++i)
        longest = std::max(longest, charCount(files.name(i)));
    const qsizetype NameWidth = longest + 1;

    // Second pass: one line per file. A file that cannot be read is reported once for each
    // column that needs it, and keeps its line: 0 bytes, no date. Every name shows its file's
    // length; the total counts a file of several names once.
    FolderFileFacts folderFiles(folder);
    SeenFiles seen;
    bool folderReported = false;
    if (isChecked(f.chkSize) || isChecked(f.chkModified))
        folderFiles.lookUp(count, [&files](int i) { return files.nativeName(i); });
    for (int ItemIndex = 0; ItemIndex < count; ++ItemIndex) {
        const QString name = files.name(ItemIndex);
        const bool showSize = isChecked(f.chkSize);
        const bool showModified = isChecked(f.chkModified);
        FileFacts facts;
        std::optional<QString> failure;
        if (showSize || showModified) {
            try {
                facts = folderFiles.read(ItemIndex, files.nativeName(ItemIndex));
            } catch (const std::exception &e) {
                failure = errorDescription(e);
            }
        }
        // A folder that is gone is reported once, not for each of its files and columns.
        if (failure && folderFiles.folderGone()) {
            if (!folderReported)
                reportFileError(f, *failure, QString());
            folderReported = true;
            failure.reset();
        }
        FileLineColumns columns;
        if (showSize) {
            if (failure)
                reportFileError(f, *failure, name);
            const int64_t FileBytes = facts.length;
            if (seen.firstSight(facts.device, facts.inode, facts.links, FileBytes))
                f.FileListTotalBytes += FileBytes;
            columns.sizeText = ByteConverter(double(FileBytes));
        }
        if (showModified) {
            if (failure)
                reportFileError(f, *failure, name);
            const QDateTime &FileModified = facts.modified; // the zero timestamp when unread
            columns.modifiedText = FileModifiedText(FileModified);
        }
        const QString FileListLine = BuildFileListLine(name, NameWidth, columns);
        f.lstBigFileList->addItem(recursive ? f.CurrentFolderPath + FileListLine : FileListLine);
    }

    f.FileListTotalText = ByteConverter(double(f.FileListTotalBytes));
}
}

void fileFileList_PathChange(MainForm &f)
{
    try {
        rebuild(f);
    } catch (const std::exception &e) {
        f.boxes->show(errorDescription(e), ErrorTitle);
    }
}
