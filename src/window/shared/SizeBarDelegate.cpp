// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/shared/SizeBarDelegate.h"

#include "window/shared/ColourPair.h"
#include "window/shared/TextList.h"

#include <QAbstractItemView>
#include <QPainter>

QColor sizeBarColour(const QPalette &palette)
{
    const QColor base = palette.color(QPalette::Base);
    const QColor highlight = palette.color(QPalette::Highlight);
    const QColor text = palette.color(QPalette::Text);
    const auto over = [&](double a) {
        return QColor::fromRgbF(float(a * highlight.redF() + (1 - a) * base.redF()),
                                float(a * highlight.greenF() + (1 - a) * base.greenF()),
                                float(a * highlight.blueF() + (1 - a) * base.blueF()));
    };
    for (double opacity = 0.3; opacity > 0.01; opacity -= 0.02)
        if (contrastRatio(text, over(opacity)) >= 4.5)
            return over(opacity);
    return base;
}

void SizeBarDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    const QVariant share = index.data(TextListModel::BarRole);
    if (share.isValid() && !(option.state & QStyle::State_Selected)) {
        // As long as its share of the list's width, not of the line's.
        const auto *view = qobject_cast<const QAbstractItemView *>(option.widget);
        QRect bar = option.rect;
        bar.setWidth(int(share.toDouble() * (view ? view->viewport()->width() : bar.width()) + 0.5));
        painter->fillRect(bar, sizeBarColour(option.palette));
    }
    QStyledItemDelegate::paint(painter, option, index);
}
