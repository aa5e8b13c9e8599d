#pragma once

struct MainForm;

void cmdExit_Click(MainForm &f);
void mnuExit_Click(MainForm &f);
void mnuWindowReset_Click(MainForm &f);
void mnuAbout_Click(MainForm &f);
void mnuHelpPrint_Click(MainForm &f);
void mnuHelpSaveToFile_Click(MainForm &f);
