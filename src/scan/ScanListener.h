// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "scan/ScanEnd.h"
#include "scan/ScanProgress.h"

#include <QElapsedTimer>
#include <QString>

// What a scan engine tells whoever runs it, and how it learns whether to go on. The engine
// calls tick() for every entry and every folder it passes; about every intervalMs of work
// the listener's pump() runs (the window processes its events there). Completed means
// "go on"; anything else ends the scan at once.
class ScanListener {
public:
    ScanListener() { clock_.start(); }
    virtual ~ScanListener() = default;

    ScanEnd tick()
    {
        if (clock_.elapsed() < intervalMs)
            return ScanEnd::Completed;
        const ScanEnd end = pump();
        clock_.restart();
        return end;
    }

    // A folder or file could not be read; Completed means go on with the next one.
    virtual ScanEnd problem(const QString &description, const QString &entryName) = 0;

    // What the scan has counted so far; the engine keeps it up to date.
    ScanProgress progress;

    // Milliseconds of work between two pumps; tests set 0 to pump at every tick.
    static inline int intervalMs = 15;

protected:
    virtual ScanEnd pump() = 0;

private:
    QElapsedTimer clock_;
};

// Thrown out of a long read or sort when the listener ends the scan in the middle of it.
struct ScanInterrupted {
    ScanEnd end;
};

// Ticks inside a long read or sort: throws ScanInterrupted when the scan must end.
inline void tickOrInterrupt(ScanListener *listener)
{
    if (listener)
        if (const ScanEnd end = listener->tick(); end != ScanEnd::Completed)
            throw ScanInterrupted{end};
}
