// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class MessageBoxes;
class QWidget;
class ScanSession;
struct MainForm;

// The main window's load: every element into its starting state, the first lists, the printer
// choices and the label colours. A failure of its own steps is thrown to the caller, which
// reports it and ends the program; failures inside the handlers it runs are reported by them.
void Form_Load(MainForm &f, ScanSession &session);

// Gives every label and check box of `window` the dark-blue text colour.
void ChangeLabelFontColors(QWidget *window, MessageBoxes &boxes);
