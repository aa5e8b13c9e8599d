// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

struct MainForm;
class ScanSession;

// A new current folder in the folder tree (opened by the user, or a drive picked): the folder
// list scan, or with the recursive listing on the recursive refresh.
void dirFolder_Change(MainForm &f, ScanSession &session);

// The user tried to open a folder of the tree that cannot be read.
void dirFolder_OpenFailed(MainForm &f, const QString &folder, const QString &description);
