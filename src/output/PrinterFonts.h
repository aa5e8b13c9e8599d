#pragma once

struct MainForm;

void CheckPrinterFonts(MainForm &f);
void cboPrinterFonts_Click(MainForm &f);
void cboPrinterFontSize_Click(MainForm &f);
