#pragma once

struct MainForm;

// Rebuilds lstBigFileList from fileFileList's names, with the columns the options ask for.
void fileFileList_PathChange(MainForm &f);
