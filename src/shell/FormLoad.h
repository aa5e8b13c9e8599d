#pragma once

class MessageBoxes;
class QWidget;
struct MainForm;

// The main window's load: every element into its starting state, the first lists, the printer
// choices and the label colours. Throws on a failure of its own steps.
void Form_Load(MainForm &f);

// Gives every label and check box of `window` the dark-blue text colour.
void ChangeLabelFontColors(QWidget *window, MessageBoxes &boxes);
