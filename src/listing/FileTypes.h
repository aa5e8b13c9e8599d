#pragma once

struct MainForm;

// The file-type pattern typed (every keystroke) or picked from the list.
void cboFileTypes_Change(MainForm &f);
void cboFileTypes_Click(MainForm &f);
