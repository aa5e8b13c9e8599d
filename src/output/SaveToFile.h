#pragma once

struct MainForm;

void cmdSaveToFile_Click(MainForm &f);
void mnuSave_Click(MainForm &f);
