// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <string>

// Where the window's program is: beside this program (in a build folder), or where the package
// installs it relative to this program's folder (LISTWRIGHT_WINDOW_PROGRAM).
std::string windowProgram();
