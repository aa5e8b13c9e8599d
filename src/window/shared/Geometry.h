// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QRect>

class QWidget;

// Design geometry is given in twips; the screen works in logical pixels, 15 twips each.
constexpr int twips(int t) { return t / 15; }
QRect twipsRect(int left, int top, int width, int height);

// Places a widget at its design rectangle and remembers that rectangle for the resizer.
void placeAtDesign(QWidget *w, int left, int top, int width, int height);
QRect designRect(const QWidget *w);
