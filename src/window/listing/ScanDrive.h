// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>
#include <memory>

struct MainForm;
class ScanTree;

// `tree` shown as a drive from now on, at its top, without an older scan: the drive list gets
// an entry named `driveName` (`file`, where it was read from, on hover), the folder tree shows
// the tree's folders. The caller then shows the folder (see showScanFolder).
void enterScan(MainForm &f, std::shared_ptr<const ScanTree> tree, const QString &file, const QString &driveName);

// Back to the file system: the scan and any older one compared with it are let go, and the
// drive list loses the scan's entry. The caller shows a folder of the file system next.
void leaveScan(MainForm &f);
