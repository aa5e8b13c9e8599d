// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/shell/Resizer.h"

#include "window/shared/Geometry.h"

#include <QEvent>
#include <QWidget>

Resizer::Resizer(QWidget *container, QSize designSize)
    : QObject(container), container_(container), designSize_(designSize)
{
    setObjectName(QStringLiteral("Resizer1"));
    container->installEventFilter(this);
}

void Resizer::apply()
{
    const double sx = double(container_->width()) / designSize_.width();
    const double sy = double(container_->height()) / designSize_.height();
    for (QWidget *w : container_->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
        const QRect d = designRect(w);
        if (d.isNull())
            continue;
        const int left = qRound(d.left() * sx), top = qRound(d.top() * sy);
        const int right = qRound((d.left() + d.width()) * sx), bottom = qRound((d.top() + d.height()) * sy);
        w->setGeometry(left, top, qMax(1, right - left), qMax(1, bottom - top));
    }
}

bool Resizer::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == container_ && event->type() == QEvent::Resize)
        apply();
    return QObject::eventFilter(watched, event);
}
