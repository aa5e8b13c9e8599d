// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "core/shared/LineOrder.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <initializer_list>

// Lines of text held compactly: their UTF-8 bytes one after another in large blocks, and where
// each line starts, about 8 bytes a line beyond its text. A copy shares the blocks, so taking
// one costs next to nothing; neither side sees the lines the other adds later.
class TextLines {
public:
    TextLines() = default;
    TextLines(const QStringList &lines); // NOLINT(google-explicit-constructor): a list is lines
    TextLines(std::initializer_list<QString> lines);

    qsizetype size() const { return starts_.size(); }
    qsizetype count() const { return size(); }
    bool isEmpty() const { return starts_.isEmpty(); }
    // Line i as UTF-8 bytes, valid until this object changes.
    QByteArrayView utf8(qsizetype i) const;
    QString at(qsizetype i) const { return QString::fromUtf8(utf8(i)); }
    QStringList toStringList() const;

    void append(QStringView line);
    // A line with its sort key: lines made apart carry their keys to the list that shows them.
    void append(QStringView line, LineKey key);
    // One line made of UTF-8 pieces, one after another.
    void append(std::initializer_list<QByteArrayView> pieces);
    // One line of UTF-8, with its sort key.
    void append(QByteArrayView utf8, LineKey key);
    // Every line of `more`, sharing its bytes, with the keys it carries.
    void append(const TextLines &more);
    // The same without the keys, for lines whose keys are kept apart or not needed.
    void appendText(const TextLines &more);
    // The lines' keys, up to the last line added with one; a line past them has none.
    const QList<LineKey> &keys() const { return keys_; }
    void clear();
    // Room for `more` lines' places, so that a long list does not hold its places twice while
    // it grows.
    void reserve(qsizetype more) { starts_.reserve(starts_.size() + more); }

private:
    char *startLine(qsizetype maxBytes);
    void endLine(qsizetype unused);

    struct Start {
        quint32 block;
        quint32 offset;
    };
    QList<QByteArray> blocks_;
    QList<Start> starts_;
    QList<LineKey> keys_;
};
