#include "output/PrinterList.h"

#include "shared/MainForm.h"

void CheckPrinters(MainForm &) {}
void cboPrinter_Click(MainForm &) {}
bool SetDropdownWidth(QComboBox *, int) { return true; }
