// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "core/scan/engine/EntrySink.h"
#include "core/scan/tree/ScanTree.h"

// Tells `sink` the tree as the walk that built it told it, in walk order: each folder walked
// entered (its problem, if any, told at once) and left after everything below it, every other
// entry as an entry. Each entry comes with its record's facts, and the device, inode and link
// count the tree keeps for it (see ScanTree::Identity); the others lie on the device of the
// folder above them and have a single name.
//
// From a folder below the top, only that folder and what lies below it, as a walk of that
// folder alone tells them: the folder named by its path in the tree, on the device it lies on;
// its subfolders' trees before its other entries; and, when it could not be read or searched,
// the folder alone as an entry, as a walk tells a top it cannot go into.
void replayTree(const ScanTree &tree, EntrySink &sink, ScanTree::Index from = 0);
