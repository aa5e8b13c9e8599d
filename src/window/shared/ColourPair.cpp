// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/shared/ColourPair.h"

#include <QWidget>
#include <algorithm>
#include <cmath>

void setColourPair(QWidget *w, QPalette::ColorRole text, const QColor &textColour, QPalette::ColorRole background,
                   const QColor &backgroundColour)
{
    QPalette p = w->palette();
    p.setColor(text, textColour);
    p.setColor(background, backgroundColour);
    w->setPalette(p);
}

double contrastRatio(const QColor &a, const QColor &b)
{
    const auto luminance = [](const QColor &c) {
        const auto linear = [](double v) { return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
        return 0.2126 * linear(c.redF()) + 0.7152 * linear(c.greenF()) + 0.0722 * linear(c.blueF());
    };
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}
