// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>

struct MainForm;

// The scan file a command reads (Open Scan, Compare With Scan) or writes (Save Scan As), as
// the user picked it in a file dialog titled `caption`; empty when the dialog was cancelled.
// Saving asks before it replaces a file.
QString askScanFile(MainForm &f, const QString &caption, bool forSaving);
