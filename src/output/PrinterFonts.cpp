#include "output/PrinterFonts.h"

#include "shared/MainForm.h"

void CheckPrinterFonts(MainForm &) {}
void cboPrinterFonts_Click(MainForm &) {}
void cboPrinterFontSize_Click(MainForm &) {}
