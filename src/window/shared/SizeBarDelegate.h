// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QColor>
#include <QPalette>
#include <QStyledItemDelegate>

// The colour of a size bar: the palette's highlight laid faintly over the list's background,
// as faint as it must be for the list's text to keep a contrast of at least 4.5:1 over it.
QColor sizeBarColour(const QPalette &palette);

// Paints a list line with its size bar behind its text (see TextListModel::BarRole).
class SizeBarDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
};
