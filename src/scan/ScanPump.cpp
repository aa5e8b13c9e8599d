#include "scan/ScanPump.h"

#include "shared/MainForm.h"

#include <QCoreApplication>

ScanPump::ScanPump(MainForm &f, uint64_t scanId) : f_(f), scanId_(scanId), previousRunning_(f.runningSizeScan)
{
    f_.runningSizeScan = scanId_;
    clock_.start();
}

ScanPump::~ScanPump()
{
    f_.runningSizeScan = previousRunning_;
    // A stop request made for this scan ends with it; it never reaches a later scan.
    if (f_.stopRequestFor == scanId_) {
        f_.StopScan = false;
        f_.stopRequestFor = 0;
    }
}

ScanEnd ScanPump::pump()
{
    QCoreApplication::processEvents();
    clock_.restart();
    return verdict();
}

ScanEnd ScanPump::verdict() const
{
    if (f_.StopScan && f_.stopRequestFor == scanId_) {
        f_.StopScan = false;
        f_.stopRequestFor = 0;
        return ScanEnd::Stopped;
    }
    if (f_.closing || f_.scanGeneration != scanId_)
        return ScanEnd::Abandoned;
    return ScanEnd::Completed;
}
