// SPDX-License-Identifier: GPL-3.0-or-later
#include "scan/engine/ScanOptions.h"

#include <thread>

int ScanOptions::workerCount() const
{
    if (workers >= 0)
        return workers;
    const unsigned cores = std::thread::hardware_concurrency();
    return cores == 0 ? 1 : int(cores);
}
