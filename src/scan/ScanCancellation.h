#pragma once
#include <Qt>

struct MainForm;

// The stop command: ends the size scan that is running when it is made.
void mnuStopScan_Click(MainForm &f);

// Every key press of the main window passes here before the focused element; Esc stops.
void Form_KeyDown(MainForm &f, int keyCode, Qt::KeyboardModifiers shift);
