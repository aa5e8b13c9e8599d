// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>

struct MainForm;
class ScanSession;

// File > Open Scan...: a scan file (ours, or another tool's in the same format, gzip'd too)
// shown as if it were a drive, at its top. The drive list names the file; the folder tree, the
// lists, the sizes, the sort, the bars, Save To File and Print work on it as on a live folder,
// and nothing but the file is read. Choosing a drive goes back to the file system.
void mnuOpenScan_Click(MainForm &f, ScanSession &session);

// The same for a file named on the command line. One that cannot be read is said in a box, and
// the window stays as it was.
void openScanFile(MainForm &f, ScanSession &session, const QString &file);
