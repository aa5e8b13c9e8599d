// SPDX-License-Identifier: GPL-3.0-or-later
#include "listing/CompleteFileList.h"

#include "listing/FileFacts.h"
#include "listing/FileListLines.h"
#include "listing/FileListElement.h"
#include "listing/ModifiedText.h"
#include "scan/ByteConverter.h"
#include "scan/DirFolderView.h"
#include "scan/engine/FolderReader.h"
#include "scan/engine/SeenFiles.h"
#include "shared/FsError.h"
#include "shared/MainForm.h"
#include "shared/MessageBoxes.h"
#include "shared/QuietWork.h"
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

FileListBuild currentInputs(const MainForm &f)
{
    const FileListElement &files = *f.fileFileList;
    return {true,           files.path(),           files.pattern(),        files.stamp(),
            isChecked(f.chkRecursive), isChecked(f.chkSize), isChecked(f.chkModified)};
}

bool sameInputs(const FileListBuild &a, const FileListBuild &b)
{
    return a.built && b.built && a.folder == b.folder && a.pattern == b.pattern && sameStamp(a.namesStamp, b.namesStamp)
        && a.recursive == b.recursive && a.size == b.size && a.modified == b.modified;
}

void reportFileError(MainForm &f, const QString &description, const QString &name)
{
    f.fileFileList->lastBuild.built = false; // a rebuild shows the box again
    f.boxes->show(description + QLatin1Char('\r') + QStringLiteral("Current file: ") + f.CurrentFolderPath + name,
                  ErrorTitle);
}

void rebuild(MainForm &f, QuietWork &quiet)
{
    const FileListElement &files = *f.fileFileList;
    // The options as they were when the rebuild began, for every line.
    const bool recursive = isChecked(f.chkRecursive);
    const bool showSize = isChecked(f.chkSize);
    const bool showModified = isChecked(f.chkModified);

    if (!recursive)
        f.lstBigFileList->clear();
    f.FileListTotalBytes = 0;
    const QByteArray folder = listedFolder(f);
    f.CurrentFolderPath = displayName(folder);

    f.lstBigFileList->reserve(files.count());
    f.FileListTotalBytes = fileListLines(
        folder, files, {showSize, showModified}, recursive ? f.CurrentFolderPath : QString(),
        [&f](const QString &line) { f.lstBigFileList->addItem(line); },
        [&f](const QString &description, const QString &name) { reportFileError(f, description, name); },
        [&quiet] { quiet.keepAlive(); });
    f.FileListTotalText = ByteConverter(double(f.FileListTotalBytes));
}
}

void fileFileList_PathChange(MainForm &f)
{
    // No handler runs until the list is whole; the window repaints meanwhile.
    QuietWork quiet;
    const FileListBuild inputs = currentInputs(f);
    f.fileFileList->lastBuild = inputs;
    try {
        rebuild(f, quiet);
    } catch (const std::exception &e) {
        f.fileFileList->lastBuild.built = false;
        f.boxes->show(errorDescription(e), ErrorTitle);
    }
}

bool fileListUpToDate(const MainForm &f)
{
    const FileListBuild now = currentInputs(f);
    const struct timespec zero = {};
    // A recursive build adds its lines to those there are, so it never comes out the same.
    return !now.recursive && sameInputs(f.fileFileList->lastBuild, now) && !sameStamp(now.namesStamp, zero)
        && sameStamp(folderStamp(now.folder), now.namesStamp);
}
