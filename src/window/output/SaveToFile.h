// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>

struct MainForm;

// Where the listing is saved: the save folder, a "/" unless the folder already ends in one, the
// page title and ".txt".
QString saveFilePath(const QString &folder, const QString &title);

// The confirmation prompt of a save to `path`; the indentation is mentioned only when above 0.
QString saveConfirmation(const QString &path, int indentation);

// Saves the listing the window shows into a text file named after the page title, after the
// title check and the user's confirmation.
void cmdSaveToFile_Click(MainForm &f);
void mnuSave_Click(MainForm &f);
