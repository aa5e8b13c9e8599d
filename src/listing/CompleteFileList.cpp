#include "listing/CompleteFileList.h"

#include "shared/MainForm.h"

void fileFileList_PathChange(MainForm &) {}
