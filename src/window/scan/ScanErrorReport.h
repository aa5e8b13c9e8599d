// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>

struct MainForm;

// The two boxes a folder scan shows for a failure before it carries on: the error's own
// description, then the folder being scanned and the entry being handled. For a file, `folder`
// is the folder that holds it; otherwise the folder is the current folder.
void reportScanError(MainForm &f, const QString &description, const QString &entryName, const QString &folder = {});
