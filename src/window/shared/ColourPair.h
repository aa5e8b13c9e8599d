// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QColor>
#include <QPalette>

class QWidget;

// The window's two design colours.
inline const QColor LightGrey(192, 192, 192);
inline const QColor DarkBlue(0, 0, 192);

// Colours come in pairs: an element given a text colour gets the background it was chosen
// for, and the other way round, so that a dark or a light desktop palette never puts the
// desktop's text on the design's background or the design's text on the desktop's.
void setColourPair(QWidget *w, QPalette::ColorRole text, const QColor &textColour, QPalette::ColorRole background,
                   const QColor &backgroundColour);

// The contrast ratio of two colours as readability guidelines measure it, 1 to 21.
double contrastRatio(const QColor &a, const QColor &b);
