// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "core/scan/tree/ScanTree.h"

#include <QByteArrayView>
#include <functional>

// A scan tree (not empty) in the ncdu export format, given to `write` in blocks of about 64 KiB:
// the very bytes ncduExport writes for the walk that built the tree, but for the time in the
// header. From a folder below the top (a ScanTree::Index), that folder and what lies below it,
// as its own export would have been written (see replayTree). What `write` throws ends the
// writing and is thrown here.
void writeScanTree(const ScanTree &tree, const std::function<void(QByteArrayView)> &write, ScanTree::Index from = 0);
