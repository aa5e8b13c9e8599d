// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "core/scan/engine/WalkScope.h"


// How a scan engine goes about its work, chosen by whoever runs it.
struct ScanOptions {
    // Milliseconds of work between two pumps of the listener; 0 pumps at every entry.
    int pumpIntervalMs = 8;
    // Threads that count the subfolder trees of a scan: 0 counts them on the thread that
    // runs the scan, between its pumps; -1 takes one per core.
    int workers = -1;
    // What the walks take in (all of it by default).
    WalkScope scope{};

    // The number of counting threads `workers` stands for, to begin with.
    int workerCount() const;
    // The most counting threads it lets run: with one per core, more while they mostly wait on
    // the kernel (a slow or cold disk, a network share) rather than use a core.
    int maxWorkers() const;
};
