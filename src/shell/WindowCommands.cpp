#include "shell/WindowCommands.h"

#include "shared/MainForm.h"

void cmdExit_Click(MainForm &) {}
void mnuExit_Click(MainForm &f) { cmdExit_Click(f); }
void mnuWindowReset_Click(MainForm &) {}
void mnuAbout_Click(MainForm &) {}
void mnuHelpPrint_Click(MainForm &) {}
void mnuHelpSaveToFile_Click(MainForm &) {}
