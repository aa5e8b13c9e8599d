// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

struct MainForm;

void cmdPrint_Click(MainForm &f);
void mnuPrint_Click(MainForm &f);
