// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <Qt>

struct MainForm;
class ScanSession;

// The stop command: ends the size scan that is running when it is made, and lists the
// folders without sizes.
void mnuStopScan_Click(MainForm &f, ScanSession &session);

// Every key press of the main window passes here before the focused element; Esc stops.
void Form_KeyDown(MainForm &f, ScanSession &session, int keyCode, Qt::KeyboardModifiers shift);
