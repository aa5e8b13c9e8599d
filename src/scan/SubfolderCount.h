// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "scan/ScanSteps.h"
#include "scan/engine/ParallelCount.h"
#include "scan/engine/ScanEnd.h"

#include <cstdint>
#include <functional>

struct MainForm;
class ScanPump;
class TreeCounter;

// Counts the trees of a scan's subfolders, on the window thread or on worker threads as the
// scan's options say, and shows them as one walk through them in list order shows them: for
// each subfolder its problems in the scan's two boxes, its lines (when `lineOf` is given) in
// the complete file list, each problem after the lines the walk made before it, then
// `counted` with its bytes; with `ownBytes`, then the folder's own files into it. A file of several names counts in the first subfolder holding it,
// as `counter` counts. Ends at once with any end but Completed; the workers then stop and
// nothing they counted is shown.
ScanEnd countSubfolders(MainForm &f, ScanPump &pump, TreeCounter &counter, const FolderScanStart &start,
                        const ParallelCount::LineOf &lineOf, const std::function<void(int64_t bytes)> &counted,
                        int64_t *ownBytes = nullptr);
