// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QComboBox;
struct MainForm;

// Selects entry `index` of `box` from code and runs the box's selection handler, exactly as
// the user's pick of that entry does (the handlers listen to picks only).
void selectEntry(MainForm &f, QComboBox *box, int index, void (*handler)(MainForm &));
