#include "output/PrintListing.h"

#include "shared/MainForm.h"

void cmdPrint_Click(MainForm &) {}
void mnuPrint_Click(MainForm &f) { cmdPrint_Click(f); }
