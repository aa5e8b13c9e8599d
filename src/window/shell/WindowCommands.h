// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

struct MainForm;
class ScanSession;

void cmdExit_Click(MainForm &f, ScanSession &session);
void mnuExit_Click(MainForm &f, ScanSession &session);
void mnuWindowReset_Click(MainForm &f);
void mnuAbout_Click(MainForm &f);
void mnuHelpPrint_Click(MainForm &f);
void mnuHelpSaveToFile_Click(MainForm &f);
