// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
struct MainForm;

// Ctrl+F: opens the find bar over the lists, or takes the focus back to it, its text selected.
void mnuFind_Click(MainForm &f);
// Typing in the find bar: both lists show only the lines whose names hold the text.
void txtFind_Change(MainForm &f);
// The close button, or Esc in the find bar: every line shows again.
void cmdCloseFind_Click(MainForm &f);
// Each list's heading says how many of its lines show while a find is on ("Files: 3 of 120").
void showFoundCounts(MainForm &f);
