// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/shared/FocusBehind.h"

#include <QWidget>
#include <QWindow>

void focusBehind(const QWidget *closed)
{
    const Qt::WindowType type = closed->windowType();
    if (!closed->isWindow() || (type != Qt::Dialog && type != Qt::Tool) || !closed->parentWidget())
        return;
    const QWidget *behind = closed->parentWidget()->window();
    // Asked of its window directly: a window counts as active while a box of its own is, so
    // QWidget::activateWindow would not ask.
    if (QWindow *w = behind->isVisible() ? behind->windowHandle() : nullptr)
        w->requestActivate();
}
