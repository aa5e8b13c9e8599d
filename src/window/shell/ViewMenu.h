// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "core/shared/LineOrder.h"
#include "window/shell/ViewSettings.h"

class QMenuBar;
class ScanSession;
struct MainForm;

// The View menu, between Window and Help: the order of the folder lines and of the file
// lines, and the size bars behind them.
void buildViewMenu(QMenuBar *bar, MainForm &f);

// The choices the menu shows now, and showing remembered ones (without running a handler).
ViewChoices shownViewChoices(const MainForm &f);
void showViewChoices(MainForm &f, const ViewChoices &choices);
// The choices kept in `file`, read on a thread of its own: a home folder on a server that does
// not answer within 2 s leaves the defaults, and a line in `problem` saying so.
struct ViewChoicesRead {
    ViewChoices choices;
    QString problem;
};
ViewChoicesRead readViewChoicesAside(const QString &file);
// Waits for the choices still being written, at most 3 s; at the program's end, also one
// that does not run the application's own end.
void settleViewChoices();
// Keeps the choices the menu shows now for the next run (on a thread of its own).
void rememberViewChoices(const MainForm &f);

// Sort Folders By: sizes are switched on for a size order, as the Recursive box does; the
// lines shown so far take their places now, later ones as they come.
void mnuSortFolders_Click(MainForm &f, SortBy by);
// Sort Files By: the size or date column is switched on for its order.
void mnuSortFiles_Click(MainForm &f, SortBy by);
void mnuSizeBars_Click(MainForm &f);
// Show Counts and Disk Usage: the folder is scanned again with the choice.
void mnuCounts_Click(MainForm &f, ScanSession &session);
void mnuDiskUsage_Click(MainForm &f, ScanSession &session);
