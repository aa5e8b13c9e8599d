// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QWidget;

// Places a window in the middle of the primary screen.
void centreOnScreen(QWidget *window);
