// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "core/scan/engine/FolderScan.h"
#include "core/scan/tree/ScanTree.h"

#include <memory>
#include <vector>

// What a recursive scan counted, for the folder list of the same refresh to take over: the
// sizes, its tree and, in list order, each subfolder's entry in it (one for each size). The
// folder lines that take the sizes over are these rows.
struct CountedRows {
    CountedSizes sizes;
    std::shared_ptr<const ScanTree> tree;
    std::vector<ScanTree::Index> tops;
};
