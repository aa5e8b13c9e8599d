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
#include <memory>

// Lines whose text is made each time it is read, from what a list keeps of them: a big list
// then holds a few facts a line rather than its text (see TextLines::appendMade).
class LineMaker {
public:
    virtual ~LineMaker() = default;
    // The text of line i, as UTF-8.
    virtual QByteArray make(qsizetype i) const = 0;
    // The same without a copy of its own: valid until the next line is made on this thread.
    virtual QByteArrayView makeView(qsizetype i) const;
    // The name line i shows, as UTF-8 (see lineName).
    virtual QByteArray name(qsizetype i) const = 0;
};

// Lines of text held compactly: their UTF-8 bytes one after another in large blocks, and where
// each line starts, about 8 bytes a line beyond its text. A copy shares the blocks, so taking
// one costs next to nothing; neither side sees the lines the other adds later. Lines may also
// be made when read (see LineMaker), sharing their maker the same way.
class TextLines {
public:
    TextLines() = default;
    TextLines(const QStringList &lines); // NOLINT(google-explicit-constructor): a list is lines
    TextLines(std::initializer_list<QString> lines);

    qsizetype size() const { return starts_.size(); }
    qsizetype count() const { return size(); }
    bool isEmpty() const { return starts_.isEmpty(); }
    // Line i as UTF-8 bytes: the lines' own (valid until this object changes, not copied), or
    // made now.
    QByteArray utf8(qsizetype i) const;
    // The same for a reader that is done with it before it reads the next line on this thread
    // (a writer): a made line is then not copied.
    QByteArrayView utf8View(qsizetype i) const;
    // The name line i shows (see lineName; `nameEnd` is its key's).
    QByteArray shownName(qsizetype i, int32_t nameEnd) const;
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
    // Line i of `maker`, made when it is read, with its sort key.
    void appendMade(const std::shared_ptr<const LineMaker> &maker, qsizetype i, LineKey key);
    // The same without a key, for lines whose keys are kept apart.
    void appendMade(const std::shared_ptr<const LineMaker> &maker, qsizetype i);
    // Line i of `from` without its key: a copy of its text, or the same maker's line.
    void appendLineOf(const TextLines &from, qsizetype i);
    // The maker of the last line, if it is made.
    const LineMaker *lastMaker() const;
    // The lines' keys, up to the last line added with one; a line past them has none.
    const QList<LineKey> &keys() const { return keys_; }
    void clear();
    // Room for `more` lines' places, so that a long list does not hold its places twice while
    // it grows.
    void reserve(qsizetype more) { starts_.reserve(starts_.size() + more); }
    // The same for lines that come with keys.
    void reserveKeyed(qsizetype more)
    {
        reserve(more);
        keys_.reserve(starts_.size() + more);
    }

private:
    char *startLine(qsizetype maxBytes);
    void endLine(qsizetype unused);

    // A line's place: in blocks_, or (with Made set) line `offset` of a maker in makers_.
    struct Start {
        quint32 block;
        quint32 offset;
    };
    static constexpr quint32 Made = 1u << 31;
    QList<QByteArray> blocks_;
    QList<std::shared_ptr<const LineMaker>> makers_;
    QList<Start> starts_;
    QList<LineKey> keys_;
};
