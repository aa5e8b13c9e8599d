// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "core/scan/engine/ScanEnd.h"
#include "core/scan/engine/ScanOptions.h"
#include "core/scan/engine/ScanProgress.h"
#include "core/shared/Text.h"

#include <QElapsedTimer>
#include <QString>
#include <algorithm>

// What a scan engine tells whoever runs it, and how it learns whether to go on. The engine
// calls tick() for every entry and every folder it passes; about every pumpIntervalMs the
// listener's pump() runs (the window processes its events there). Completed means "go on";
// anything else ends the scan at once.
class ScanListener {
public:
    explicit ScanListener(const ScanOptions &options = {}) : options_(options) { clock_.start(); }
    virtual ~ScanListener() = default;

    ScanEnd tick()
    {
        const int interval = options_.pumpIntervalMs;
        if (interval == 0)
            return pump();
        const qint64 start = clock_.elapsed();
        if (start < nextPump_)
            return ScanEnd::Completed;
        const ScanEnd end = pump();
        // Pumps are an interval apart from start to start, so that a long one (a repaint of
        // the whole window) does not add the interval after it; yet the scan always gets a
        // quarter of the interval to itself between two pumps.
        nextPump_ = std::max(start + interval, clock_.elapsed() + std::max(1, interval / 4));
        return end;
    }

    // A folder or file could not be read; Completed means go on with the next one. A folder
    // is named by its full path.
    virtual ScanEnd problem(const QString &description, const QString &entryName) = 0;
    // The same for a file, named with the folder that holds it (both as shown).
    virtual ScanEnd fileProblem(const QString &description, const QString &name, const QString & /*folder*/)
    {
        return problem(description, name);
    }
    // A file listed in `folder` was gone when it was looked at, while the folder was still
    // there: it may be on its way out (`rm -rf` under way). A listener that shows problems later
    // may find the folder gone by then, and name the folder instead. By default a file's problem.
    virtual ScanEnd vanished(const QString &description, const QByteArray &folder, const QByteArray &name)
    {
        return fileProblem(description, displayName(name), displayName(folder));
    }

    // What the scan has counted so far; the engine keeps it up to date.
    ScanProgress progress;

    const ScanOptions &options() const { return options_; }
    // Milliseconds until the next tick pumps; 0 when it is due.
    qint64 msUntilPump() const { return std::max<qint64>(0, nextPump_ - clock_.elapsed()); }

    // A folder's entries were read: for a listener that watches what a walk costs.
    virtual void folderRead() {}

protected:
    virtual ScanEnd pump() = 0;

private:
    ScanOptions options_;
    QElapsedTimer clock_;
    qint64 nextPump_ = options_.pumpIntervalMs; // on clock_
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
