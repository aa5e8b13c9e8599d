#include "listing/FileTypes.h"

#include "shared/MainForm.h"

void cboFileTypes_Change(MainForm &) {}
void cboFileTypes_Click(MainForm &) {}
