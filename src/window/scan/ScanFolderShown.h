// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

struct MainForm;

// An opened scan shown as a drive: the lists, the parent folder line and the totals of the
// scan's folder that the folder tree shows, made from the scan alone with the choices the window
// holds now; while an older scan is compared, marked with what changed since (see
// compareListings), the size order then being the order of the change. The lines are made on a
// worker: a handler that comes due meanwhile (Esc, another choice) gives the making up, and the
// lists stay as they were. A pattern the file list refuses is said in its box. False when
// nothing was shown.
bool showScanFolder(MainForm &f);
