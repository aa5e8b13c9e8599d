// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/scan/ScanCancellation.h"

#include "window/scan/ScanFolderShown.h"
#include "window/scan/FolderListScan.h"
#include "window/scan/ScanSession.h"
#include "window/scan/ScanSteps.h"
#include "core/shared/FsError.h"
#include "window/shared/MainForm.h"
#include "core/shared/MessageBoxes.h"

#include <QCheckBox>
#include <QSignalBlocker>

void mnuStopScan_Click(MainForm &f, ScanSession &session)
{
    try {
        f.boxes->show(QStringLiteral("Size Scan has been stopped."), QStringLiteral("Listwright - STOP SIZE SCAN"));
        endScanLook(f);
        // The running size scan ends at its next pump; what it had still to do is settled.
        session.requestStop();
        if (isChecked(f.chkFolderSize)) {
            {
                const QSignalBlocker quiet(f.chkFolderSize);
                f.chkFolderSize->setChecked(false);
            }
            ScanSession::Request request = session.begin(ScanSession::FolderList);
            if (f.OpenedScan) { // a scan shown as a drive is listed again without sizes
                showScanFolder(f);
                session.finish(request);
            } else if (FolderListScan(f, session, request) != ScanEnd::Abandoned) {
                session.finish(request);
            }
        }
    } catch (const std::exception &e) {
        f.boxes->show(errorDescription(e), QStringLiteral("Listwright - Error in Stop Scan"));
    }
}

void Form_KeyDown(MainForm &f, ScanSession &session, int keyCode, Qt::KeyboardModifiers)
{
    if (keyCode == Qt::Key_Escape)
        mnuStopScan_Click(f, session);
}
