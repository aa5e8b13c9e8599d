#pragma once

struct MainForm;

// The file-type pattern typed (every keystroke) or picked from the list: the pattern goes to
// fileFileList, then the complete file list and the parent folder line are rebuilt. A refused
// pattern is reported in the handler's own box and both lists keep what they showed.
void cboFileTypes_Change(MainForm &f);
void cboFileTypes_Click(MainForm &f);
