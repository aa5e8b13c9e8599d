// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/shell/CompareScan.h"

#include "core/shared/Text.h"
#include "window/listing/ScanDrive.h"
#include "window/scan/ScanFolderShown.h"
#include "window/scan/DirFolderView.h"
#include "window/scan/ScanFileRead.h"
#include "window/scan/ScanSession.h"
#include "window/scan/ScanTreeWalk.h"
#include "window/shared/MainForm.h"
#include "window/shared/ScanFileDialog.h"

#include <QAction>

void mnuCompareScan_Click(MainForm &f, ScanSession &session)
{
    const QString title = QStringLiteral("Listwright - Compare With Scan");
    const QString file = askScanFile(f, title, false);
    if (file.isEmpty())
        return;
    const std::shared_ptr<const ScanTree> older = readScanInWindow(f, file, title);
    if (!older)
        return;
    std::shared_ptr<const ScanTree> now;
    if (!f.OpenedScan) {
        // A live folder is compared as the window's count of its sizes saw it, else as scanned
        // now; a scan stopped leaves the window as it was.
        now = keptScanOf(f, f.dirFolder->path(), session.options.scope);
        if (!now)
            now = walkIntoTree(f, f.dirFolder->path(), session.options.scope, title);
        if (!now)
            return;
    }
    // A scan of the file system still under way ends: nothing of it is shown any more.
    const ScanSession::Request r = session.begin(0);
    if (now)
        enterScan(f, now, QString(), displayName(f.dirFolder->path()));
    f.OlderScan = older;
    f.OlderScanFile = file;
    f.mnuChangesOnly->setEnabled(true);
    showScanFolder(f);
    session.finish(r);
}

void mnuChangesOnly_Click(MainForm &f, ScanSession &session)
{
    const ScanSession::Request r = session.begin(0);
    showScanFolder(f);
    session.finish(r);
}
