// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QComboBox;
struct MainForm;

// Appends the preset entries to the indentation box and leaves it as the window shows it at
// start: nothing selected and the text "Indentation". No handler runs while it does so.
void fillIndentEntries(QComboBox *box);

// The box's handlers: a preset entry or a usable typed text sets the indentation (see
// typedIndentation); any other text is refused with a box.
void cboIndent_Click(MainForm &f);
void cboIndent_Change(MainForm &f);
