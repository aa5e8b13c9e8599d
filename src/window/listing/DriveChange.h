// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

struct MainForm;

// A drive picked in drvDrive: the folder tree goes to the drive, which runs the folder list
// scan, and CurrentDrive follows. A drive that cannot be opened gives the "Drive Not
// Available" box and the drive list returns to CurrentDrive.
void drvDrive_Change(MainForm &f);
