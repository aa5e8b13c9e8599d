// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>
#include <memory>

struct MainForm;
class ScanTree;

// Reads the scan in `file` (see readScanFile) on a worker while the window waits as it waits
// for the file system (see CallWait): Esc, or any other handler that comes due, gives the
// reading up, and the worker stops. The tree read; null when it was given up (nothing said)
// or the file cannot be read (said in a box titled `title`, the window as it was).
std::shared_ptr<const ScanTree> readScanInWindow(MainForm &f, const QString &file, const QString &title);
