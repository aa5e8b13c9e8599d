// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

struct MainForm;

void cmdClearTitle_Click(MainForm &f);
