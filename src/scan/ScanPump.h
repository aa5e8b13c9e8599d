#pragma once
#include "scan/ScanEnd.h"

#include <QElapsedTimer>
#include <cstdint>

struct MainForm;

// The event pump of a size scan. The scan calls tick() for every directory entry and every
// folder it passes; about every 15 ms of work the pending window events are processed, and
// right after each pump the scan learns whether it may go on: a stop request made for it, or
// a newer request that overtook it (or the window closing), ends it.
class ScanPump {
public:
    ScanPump(MainForm &f, uint64_t scanId);
    ~ScanPump();
    ScanPump(const ScanPump &) = delete;
    ScanPump &operator=(const ScanPump &) = delete;

    // Completed means "go on".
    ScanEnd tick()
    {
        if (clock_.elapsed() < intervalMs)
            return ScanEnd::Completed;
        return pump();
    }

    // Checks, without pumping, whether something that ran in a nested loop (a message box)
    // overtook the scan.
    ScanEnd verdict() const;

    uint64_t scanId() const { return scanId_; }
    // Milliseconds of work between two pumps; tests set 0 to pump at every entry.
    static inline int intervalMs = 15;

private:
    ScanEnd pump();

    MainForm &f_;
    uint64_t scanId_;
    uint64_t previousRunning_;
    QElapsedTimer clock_;
};
