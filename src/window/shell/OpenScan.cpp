// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/shell/OpenScan.h"

#include "window/listing/ScanDrive.h"
#include "window/scan/ScanFolderShown.h"
#include "window/scan/ScanFileRead.h"
#include "window/scan/ScanSession.h"
#include "window/shared/ScanFileDialog.h"

#include <QFileInfo>

void mnuOpenScan_Click(MainForm &f, ScanSession &session)
{
    const QString file = askScanFile(f, QStringLiteral("Listwright - Open Scan"), false);
    if (!file.isEmpty())
        openScanFile(f, session, file);
}

void openScanFile(MainForm &f, ScanSession &session, const QString &file)
{
    const std::shared_ptr<const ScanTree> tree = readScanInWindow(f, file, QStringLiteral("Listwright - Open Scan"));
    if (!tree)
        return;
    // A scan of the file system still under way ends: nothing of it is shown any more.
    const ScanSession::Request r = session.begin(0);
    enterScan(f, tree, file, QFileInfo(file).fileName());
    showScanFolder(f);
    session.finish(r);
}
