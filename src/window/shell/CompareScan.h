// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

struct MainForm;
class ScanSession;

// File > Compare With Scan...: the folder shown set against an older scan picked in a dialog.
// A live folder is scanned first (Esc stops), and shown from that scan from then on. Each line
// then ends with what changed, the parent folder line says what the folder held before, and
// View > Show Changes Only becomes available. Choosing a drive, or opening a scan, ends it.
void mnuCompareScan_Click(MainForm &f, ScanSession &session);

// View > Show Changes Only: while comparing, only the lines that changed.
void mnuChangesOnly_Click(MainForm &f, ScanSession &session);
