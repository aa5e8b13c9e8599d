// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

struct MainForm;
class ScanSession;

// The option check boxes; each runs when the user changes its value. Code that sets one of
// them blocks its signal and runs the scan it means itself.
void chkAutoUpdate_Click(MainForm &f);
void chkFolderSize_Click(MainForm &f, ScanSession &session);
void chkRecursive_Click(MainForm &f, ScanSession &session);
void chkSize_Click(MainForm &f, ScanSession &session);
void chkModified_Click(MainForm &f, ScanSession &session);
