// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>

struct ScanProgress;

// The status bar's line during a size scan, in two parts: the counts so far ("Folders: 12
// Files: 345   Size: 1.50 KB   Reading: "), then the folder being read, as the lists show a
// path. The window may shorten the folder to fit; the counts always show whole.
QString progressCounts(const ScanProgress &progress);
QString progressFolder(const ScanProgress &progress);
