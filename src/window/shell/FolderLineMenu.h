// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QByteArray>
#include <QPoint>
#include <QUrl>

struct MainForm;

// The menu of the folder list's line at `row`, opened at `at`: only a line that stands for a
// folder has one.
void lstFolders_LineMenu(MainForm &f, qsizetype row, const QPoint &at);
// The folder in the desktop's file manager.
void mnuOpenFolder_Click(MainForm &f);
// The folder's full path as text on the clipboard.
void mnuCopyPath_Click(MainForm &f);
// The folder becomes the current folder, as when it is opened in the folder tree.
void mnuListFolder_Click(MainForm &f);

// A folder's local file address with its path's own bytes, percent-encoded where they are not
// plain, so that a name that is not UTF-8 still leads the desktop to that very folder.
QUrl folderUrl(const QByteArray &path);
