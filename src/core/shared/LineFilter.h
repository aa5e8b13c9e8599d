// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "core/shared/LineOrder.h"
#include "core/shared/TextLines.h"

#include <QByteArrayView>
#include <QString>
#include <cstdint>
#include <string>
#include <vector>

// The name a list line shows: from after the last "/" before `nameEnd` (the key's, -1 for the
// whole line) up to it, so that neither the folders above nor the size and date columns count.
QByteArrayView lineName(QByteArrayView line, int32_t nameEnd);

// A text looked for in names, case-insensitively. A plain search whose cost is linear in the
// name's length whatever was typed: no pattern, no backtracking.
class NameFind {
public:
    explicit NameFind(const QString &text = {});
    bool isEmpty() const { return needle_.empty(); }
    const QString &text() const { return text_; }
    // Whether the name (UTF-8, as the list shows it) holds the text.
    bool foundIn(QByteArrayView name) const;
    // Whether this text holds `wider`'s, so that it can only find names that one finds too.
    bool narrows(const NameFind &wider) const;

private:
    template <typename UnitAt>
    bool search(UnitAt unitAt, qsizetype n) const;

    QString text_;
    std::u16string needle_;   // case-folded
    std::vector<qsizetype> fail_; // the needle's longest proper prefix that is also a suffix, per length
};

// The rows of a list while a find is on: the lines whose names hold the text, in the order
// shown. Each line is tested once as it comes; a new order or new lines in between cost a
// pass over the remembered answers, not another search.
class LineFilter {
public:
    bool active() const { return !find_.isEmpty(); }
    const NameFind &find() const { return find_; }
    // A new text: the lines are searched again, only among those found so far when the new
    // text holds the old. An empty text ends the filter.
    void setFind(const QString &text, const TextLines &lines, const LineOrder &order);
    // Takes in the lines added since the last call, and a new order.
    void update(const TextLines &lines, const LineOrder &order);
    // The lines are gone; the text stays.
    void clear();
    qsizetype size() const { return qsizetype(rows_.size()); }
    qsizetype line(qsizetype row) const { return qsizetype(rows_[size_t(row)]); }

private:
    bool test(const TextLines &lines, const LineOrder &order, qsizetype line) const;
    void collect(const LineOrder &order);

    NameFind find_;
    std::vector<bool> found_;    // per line in name order, for the lines tested
    std::vector<uint32_t> rows_; // the lines found, in the order shown
    SortBy rowsBy_ = SortBy::Name;
};
