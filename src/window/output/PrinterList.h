// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QComboBox;
struct MainForm;

void CheckPrinters(MainForm &f);
void cboPrinter_Click(MainForm &f);

// Widens the opened drop-down part of a combo box; the closed box keeps its width.
bool SetDropdownWidth(QComboBox *combo, int newWidthPixel);
