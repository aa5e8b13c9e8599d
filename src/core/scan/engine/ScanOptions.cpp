// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/scan/engine/ScanOptions.h"

#include <algorithm>
#include <thread>

int ScanOptions::workerCount() const
{
    if (workers >= 0)
        return workers;
    const unsigned cores = std::thread::hardware_concurrency();
    return cores == 0 ? 1 : int(cores);
}

int ScanOptions::maxWorkers() const
{
    // Enough calls in flight to keep a network share busy; beyond that a server only queues them.
    constexpr int WaitingWorkers = 16;
    return workers >= 0 ? workers : std::max(workerCount(), WaitingWorkers);
}
