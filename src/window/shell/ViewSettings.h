// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "core/shared/LineOrder.h"

#include <QString>

// What the View menu remembers between runs, and nothing else of the window.
struct ViewChoices {
    SortBy folders = SortBy::Name;
    SortBy files = SortBy::Name;
    bool sizeBars = false;
    bool counts = false;
    bool diskUsage = false;
    bool oneFileSystem = false; // the scans stay on the folder's file system
    QString exclusions;         // the names the scans leave out (see exclusionFilter)
    bool operator==(const ViewChoices &) const = default;
};

// The settings file: Listwright/Listwright.conf in the user's configuration folder
// (~/.config unless XDG_CONFIG_HOME says otherwise).
QString viewSettingsFile();

// The choices kept in `file`; none kept gives the defaults. A file that cannot be read or is
// not one this program wrote gives the defaults and, in `problem`, one line saying so.
ViewChoices readViewChoices(const QString &file, QString *problem);
// Keeps the choices in `file`; false with one line in `problem` when it cannot.
bool writeViewChoices(const QString &file, const ViewChoices &choices, QString *problem);
