// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QTemporaryDir>
#include <QtGlobal>

// Every window a test makes, and every program it starts, keeps its settings in a temporary
// folder, never in the real home; the folder goes when the test ends.
struct TempConfig {
    QTemporaryDir dir;
    TempConfig() { qputenv("XDG_CONFIG_HOME", dir.path().toUtf8()); }
};
inline TempConfig tempConfig;
