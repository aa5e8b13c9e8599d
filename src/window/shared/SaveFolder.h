// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QByteArray>

struct MainForm;

// Shows `folder` in the save path box as display text (a control character as "?") and
// remembers the folder itself behind that text.
void showSaveFolder(MainForm &f, const QByteArray &folder);

// The folder a save goes into: while the save path box holds the text the program put there,
// the folder behind it; text the user typed is taken as typed.
QByteArray saveFolder(const MainForm &f);
