// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/scan/ScanFolderShown.h"

#include "core/listing/ScanCompare.h"
#include "core/listing/TreeListing.h"
#include "core/scan/CallWait.h"
#include "core/scan/tree/ScanTree.h"
#include "core/shared/FsError.h"
#include "core/shared/MessageBoxes.h"
#include "core/shared/Text.h"
#include "window/scan/DirFolderView.h"
#include "window/scan/ScanSteps.h"
#include "window/shared/MainForm.h"
#include "window/shared/TextList.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QStatusBar>

namespace {
// The window's choices now, as a listing takes them.
ListingChoices shownChoices(const MainForm &f)
{
    ListingChoices c;
    c.title = f.txtTitle->text();
    c.pattern = f.cboFileTypes->currentText();
    c.folderSizes = isChecked(f.chkFolderSize);
    c.recursive = isChecked(f.chkRecursive);
    c.fileSizes = isChecked(f.chkSize);
    c.dates = isChecked(f.chkModified);
    c.includeFolders = isChecked(f.chkPrintDir);
    c.counts = f.mnuCounts && f.mnuCounts->isChecked();
    c.diskUsage = f.mnuDiskUsage && f.mnuDiskUsage->isChecked();
    // What the scan holds beyond them is left out as a walk would leave it.
    c.oneFileSystem = f.mnuOneFileSystem && f.mnuOneFileSystem->isChecked();
    c.exclude = f.Exclusions;
    return c;
}

struct Shown {
    ListingSnapshot snapshot;
    int64_t total = 0;          // the folder's, with folder sizes
    int64_t fileListTotal = 0;  // the listed files', each once
    bool unread = false;        // an entry listed here the scan could not read
};

Shown makeShown(const std::shared_ptr<const ScanTree> &shownTree, ScanTree::Index folder, const ScanTree *older,
                const ListingChoices &choices, bool changesOnly)
{
    const ScanTree &tree = *shownTree;
    Shown shown;
    const ListingProblem unread = [&shown](const QString &, const QString &) { shown.unread = true; };
    const ListedFolder after = listedFolder(tree, folder, choices, unread);
    shown.total = after.ownBytes;
    shown.fileListTotal = after.fileListTotalBytes;
    for (const ListedItem &item : after.folders)
        shown.total += item.bytes.value_or(0);
    if (!older) {
        shown.snapshot = listingOf(after, savedFileLines(after.choices), {}, shownTree); // rows of the scan
        return shown;
    }
    ListedFolder before;
    before.choices = after.choices;
    before.path = after.path;
    if (const ScanTree::Index was = samePlace(tree, folder, *older); was != ScanTree::None)
        before = listedFolder(*older, was, choices, [](const QString &, const QString &) {});
    ComparedListing compared = compareListings(before, after, savedFileLines(after.choices), changesOnly);
    shown.snapshot = std::move(compared.snapshot);
    shown.snapshot.folderLines = keyedByChange(shown.snapshot.folderLines, compared.folderChanges);
    shown.snapshot.fileLines = keyedByChange(shown.snapshot.fileLines, compared.fileChanges);
    return shown;
}
} // namespace

bool showScanFolder(MainForm &f)
{
    if (!f.OpenedScan)
        return false;
    const std::shared_ptr<const ScanTree> tree = f.OpenedScan, older = f.OlderScan;
    const ScanTree::Index folder = f.ScanFolder;
    const ListingChoices choices = shownChoices(f);
    const bool changesOnly = older && f.mnuChangesOnly && f.mnuChangesOnly->isChecked();
    Shown shown;
    try {
        // Nothing here reads the file system; the wait is only for the making of a big list.
        const QByteArray named = f.OpenedScanFile.isEmpty() ? tree->path(0) : QFile::encodeName(f.OpenedScanFile);
        shown = CallWait::run<Shown>(named, [tree, older, folder, choices, changesOnly] {
            return makeShown(tree, folder, older.get(), choices, changesOnly);
        });
    } catch (const FsError &e) {
        if (e.description() != CallWait::givenUpDescription())
            f.boxes->show(e.description() + QLatin1Char('\r') + displayName(tree->path(folder)),
                          QStringLiteral("Listwright - Open Scan"));
        return false;
    }
    const ListingSnapshot &s = shown.snapshot;
    f.lstFolders->clear();
    f.lstBigFileList->clear();
    f.lstFolders->addItems(s.folderLines);
    f.lstBigFileList->addItems(s.fileLines);
    f.CurrentFolderPath = s.currentFolderPath;
    f.FolderLinesBytes = s.folderLinesBytes;
    f.FolderTotalBytes = choices.folderSizes ? shown.total : 0;
    f.FolderLinesFiles = s.folderLinesFiles;
    f.FileListTotalBytes = shown.fileListTotal;
    f.FileListTotalText = s.fileListTotalText;
    f.FileListTotalFiles = s.fileListTotalFiles;
    f.FolderPassedOver = 0;
    f.txtParentFolder->setText(s.parentFolderLine);
    endScanLook(f);
    if (shown.unread)
        f.StatusBar1->showMessage(QStringLiteral("The scan could not read some of the entries listed here"));
    else
        f.StatusBar1->clearMessage();
    return true;
}
