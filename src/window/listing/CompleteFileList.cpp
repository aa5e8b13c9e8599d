// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/listing/CompleteFileList.h"
#include "window/scan/ScanFolderShown.h"

#include "core/listing/FileFacts.h"
#include "core/listing/FileListLines.h"
#include "core/listing/FileListElement.h"
#include "core/listing/ModifiedText.h"
#include "core/scan/ByteConverter.h"
#include "core/scan/CallWait.h"
#include "window/scan/DirFolderView.h"
#include "core/scan/engine/FolderReader.h"
#include "core/scan/engine/SeenFiles.h"
#include "core/shared/FsError.h"
#include "window/shared/MainForm.h"
#include "core/shared/MessageBoxes.h"
#include "core/shared/QuietWork.h"
#include "core/shared/Text.h"
#include "window/shared/TextList.h"

#include <QAction>
#include <QCheckBox>
#include <algorithm>
#include <memory>
#include <optional>

namespace {
// Looks up files first to first + count - 1 of `files` on a worker, which keeps the names
// where they are for as long as it runs, even if the list reads another folder meanwhile.
void lookUp(const QByteArray &folder, const std::shared_ptr<FolderFileFacts> &facts, int first, int count,
            const FileListElement &files)
{
    auto names = std::make_shared<std::vector<const char *>>();
    names->reserve(size_t(count));
    for (int i = first; i < first + count; ++i)
        names->push_back(files.nativeName(i));
    CallWait::run<bool>(folder, [facts, names, kept = files.namesKeeper(), first, count] {
        facts->lookUp(first, count, [&names, first](int i) { return (*names)[size_t(i - first)]; });
        return true;
    });
}

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
    f.FileListTotalFiles = 0;
    const QByteArray folder = listedFolder(f);
    f.CurrentFolderPath = displayName(folder);

    // The look-ups go to a worker, as the folder may be on a share that never answers (see
    // CallWait); what it uses, it owns.
    const FileFactsReader onWorker{
        [](const QByteArray &path) {
            return CallWait::run<std::shared_ptr<FolderFileFacts>>(path, [path] { return std::make_shared<FolderFileFacts>(path); });
        },
        [&folder, &files](const std::shared_ptr<FolderFileFacts> &facts, int first, int count) {
            lookUp(folder, facts, first, count, files);
        }};
    TextLines lines;
    const ShownSize total = fileListLines(
        folder, files, {showSize, showModified, f.mnuDiskUsage && f.mnuDiskUsage->isChecked()},
        recursive ? f.CurrentFolderPath : QString(), lines,
        [&f](const QString &description, const QString &name) { reportFileError(f, description, name); },
        [&quiet] { quiet.keepAlive(); }, onWorker);
    f.lstBigFileList->addItems(lines);
    f.FileListTotalBytes = total.bytes;
    f.FileListTotalFiles = total.files;
    f.FileListTotalText = ByteConverter(double(f.FileListTotalBytes));
}
}

void fileFileList_PathChange(MainForm &f)
{
    if (f.OpenedScan) { // a scan shown as a drive: every list is made from it alone
        showScanFolder(f);
        return;
    }
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
    if (now.recursive || !sameInputs(f.fileFileList->lastBuild, now) || sameStamp(now.namesStamp, zero))
        return false;
    try {
        return sameStamp(CallWait::run<struct timespec>(now.folder, [p = now.folder] { return folderStamp(p); }),
                         now.namesStamp);
    } catch (const FsError &) {
        return false; // given up: built again, which tells why
    }
}
