// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

struct MainForm;

// Writes the one-line summary of the current folder into txtParentFolder.
void RefreshParentFolder(MainForm &f);
