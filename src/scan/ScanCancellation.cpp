#include "scan/ScanCancellation.h"

#include "scan/ScanSteps.h"
#include "shared/FsError.h"
#include "shared/MainForm.h"
#include "shared/MessageBoxes.h"

#include <QCheckBox>

void mnuStopScan_Click(MainForm &f)
{
    try {
        // The request is for the size scan running now; with none running it is dropped.
        const uint64_t target = f.runningSizeScan;
        f.boxes->show(QStringLiteral("Size Scan has been stopped."), QStringLiteral("Listwright - STOP SIZE SCAN"));
        endScanLook(f);
        f.chkFolderSize->setChecked(false); // when it was checked, rescans without sizes
        if (target != 0) {
            f.StopScan = true;
            f.stopRequestFor = target;
        }
    } catch (const std::exception &e) {
        f.boxes->show(errorDescription(e), QStringLiteral("Listwright - Error in Stop Scan"));
    }
}

void Form_KeyDown(MainForm &f, int keyCode, Qt::KeyboardModifiers)
{
    if (keyCode == Qt::Key_Escape)
        mnuStopScan_Click(f);
}
