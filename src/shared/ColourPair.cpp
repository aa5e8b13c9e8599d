// SPDX-License-Identifier: GPL-3.0-or-later
#include "shared/ColourPair.h"

#include <QWidget>

void setColourPair(QWidget *w, QPalette::ColorRole text, const QColor &textColour, QPalette::ColorRole background,
                   const QColor &backgroundColour)
{
    QPalette p = w->palette();
    p.setColor(text, textColour);
    p.setColor(background, backgroundColour);
    w->setPalette(p);
}
