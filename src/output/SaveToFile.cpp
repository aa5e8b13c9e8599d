#include "output/SaveToFile.h"

#include "shared/MainForm.h"

void cmdSaveToFile_Click(MainForm &) {}
void mnuSave_Click(MainForm &f) { cmdSaveToFile_Click(f); }
