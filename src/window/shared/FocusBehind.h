// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QWidget;

// When a dialog, box or tool window of the program closes (the About window is one), the
// keyboard goes back to the window it stood over, as a window manager gives it back. Without a
// window manager the X server gives it to the screen, and the program would take no key until
// it was clicked. Anything else that closes (a menu, a tip) is left alone.
void focusBehind(const QWidget *closed);
