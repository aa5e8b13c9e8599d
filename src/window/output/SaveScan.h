// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

struct MainForm;
class ScanSession;

// Saves the shown folder's scan into a file the user picks, in the ncdu export format: from
// the opened scan when one is shown, else walked from the disk within the scans' scope, on a
// worker, with its progress in the status bar; Esc stops it and leaves no file.
void mnuSaveScan_Click(MainForm &f, ScanSession &session);
