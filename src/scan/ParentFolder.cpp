#include "scan/ParentFolder.h"

#include "shared/MainForm.h"

void RefreshParentFolder(MainForm &) {}
