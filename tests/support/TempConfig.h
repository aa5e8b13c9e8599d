// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QTemporaryDir>

// Every window a test makes, and every program it starts, keeps its settings in a temporary
// folder, never in the real home; the folder goes when the test ends.
inline const struct TempConfig : QTemporaryDir {
    TempConfig() { qputenv("XDG_CONFIG_HOME", path().toUtf8()); }
} tempConfig;
