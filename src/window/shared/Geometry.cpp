// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/shared/Geometry.h"

#include <QWidget>

QRect twipsRect(int left, int top, int width, int height)
{
    return QRect(twips(left), twips(top), twips(width), twips(height));
}

void placeAtDesign(QWidget *w, int left, int top, int width, int height)
{
    const QRect r = twipsRect(left, top, width, height);
    w->setProperty("designRect", r);
    w->setGeometry(r);
}

QRect designRect(const QWidget *w)
{
    return w->property("designRect").toRect();
}
