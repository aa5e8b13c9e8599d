// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QComboBox;
struct MainForm;

void CheckPrinterFonts(MainForm &f);
void cboPrinterFonts_Click(MainForm &f);
void cboPrinterFontSize_Click(MainForm &f);

// Appends the printer font sizes " 4" to " 30" to the size list.
void fillFontSizeEntries(QComboBox *box);
