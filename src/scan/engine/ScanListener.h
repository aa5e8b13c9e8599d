// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "scan/engine/ScanEnd.h"
#include "scan/engine/ScanOptions.h"
#include "scan/engine/ScanProgress.h"

#include <QElapsedTimer>
#include <QString>
#include <algorithm>

// What a scan engine tells whoever runs it, and how it learns whether to go on. The engine
// calls tick() for every entry and every folder it passes; about every pumpIntervalMs of work
// the listener's pump() runs (the window processes its events there). Completed means
// "go on"; anything else ends the scan at once.
class ScanListener {
public:
    explicit ScanListener(const ScanOptions &options = {}) : options_(options) { clock_.start(); }
    virtual ~ScanListener() = default;

    ScanEnd tick()
    {
        if (options_.pumpIntervalMs == 0)
            return pump();
        if (clock_.elapsed() < options_.pumpIntervalMs)
            return ScanEnd::Completed;
        const ScanEnd end = pump();
        clock_.restart();
        return end;
    }

    // A folder or file could not be read; Completed means go on with the next one.
    virtual ScanEnd problem(const QString &description, const QString &entryName) = 0;

    // What the scan has counted so far; the engine keeps it up to date.
    ScanProgress progress;

    const ScanOptions &options() const { return options_; }
    // Milliseconds until the next tick pumps; 0 when it is due.
    qint64 msUntilPump() const { return std::max<qint64>(0, options_.pumpIntervalMs - clock_.elapsed()); }

    // A folder's entries were read: for a listener that watches what a walk costs.
    virtual void folderRead() {}

protected:
    virtual ScanEnd pump() = 0;

private:
    ScanOptions options_;
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
