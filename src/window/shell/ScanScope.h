// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>
#include <optional>

struct MainForm;
class QWidget;
class ScanSession;

// What the scans take in, from the View menu: Stay On One File System, and the names Exclude
// leaves out. Each change rescans the folder as the size choices do, and is remembered with
// the View choices.

// Gives the scans, the folder list and the file list the scope the menu shows now (at start,
// after the remembered choices are shown). A remembered exclusion that cannot be used leaves
// nothing out.
void useScanScope(MainForm &f, ScanSession &session);

// The Exclude dialog: one line of patterns, several separated by ";". The text OK gave, or
// none when it was cancelled (Cancel, Esc, closed).
std::optional<QString> askExclusions(QWidget *parent, const QString &current);

void mnuOneFileSystem_Click(MainForm &f, ScanSession &session);
// A pattern the file pattern refuses is said in a box, and the scans keep their exclusions.
void mnuExclude_Click(MainForm &f, ScanSession &session);
