// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "core/scan/tree/ScanTree.h"

#include <memory>
#include <vector>

// Where a recursive scan counted its subfolder trees: its tree and, in list order, each
// subfolder's entry in it. The folder list that takes the scan's sizes over shows these rows.
struct CountedRows {
    std::shared_ptr<const ScanTree> tree;
    std::vector<ScanTree::Index> tops;
};
