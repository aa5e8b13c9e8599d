#pragma once

struct MainForm;

// Writes the one-line summary of the current folder into txtParentFolder.
void RefreshParentFolder(MainForm &f);
