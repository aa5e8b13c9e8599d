// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/shared/LineFilter.h"

#include <cstring>

QByteArrayView lineName(QByteArrayView line, int32_t nameEnd)
{
    const qsizetype end = nameEnd < 0 || nameEnd > line.size() ? line.size() : nameEnd;
    const void *slash = end > 0 ? ::memrchr(line.data(), '/', size_t(end)) : nullptr;
    const qsizetype start = slash ? static_cast<const char *>(slash) - line.data() + 1 : 0;
    return line.sliced(start, end - start);
}

NameFind::NameFind(const QString &text) : text_(text)
{
    const QString folded = text.toCaseFolded();
    needle_.assign(reinterpret_cast<const char16_t *>(folded.utf16()), size_t(folded.size()));
    fail_.assign(needle_.size(), 0);
    for (size_t i = 1, k = 0; i < needle_.size(); ++i) {
        while (k > 0 && needle_[i] != needle_[k])
            k = size_t(fail_[k - 1]);
        if (needle_[i] == needle_[k])
            ++k;
        fail_[i] = qsizetype(k);
    }
}

template <typename UnitAt>
bool NameFind::search(UnitAt unitAt, qsizetype n) const
{
    const qsizetype m = qsizetype(needle_.size());
    qsizetype k = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = unitAt(i);
        while (k > 0 && needle_[size_t(k)] != c)
            k = fail_[size_t(k - 1)];
        if (needle_[size_t(k)] == c && ++k == m)
            return true;
    }
    return false;
}

bool NameFind::foundIn(QByteArrayView name) const
{
    if (needle_.empty())
        return true;
    const auto *bytes = reinterpret_cast<const unsigned char *>(name.data());
    bool ascii = true;
    for (qsizetype i = 0; i < name.size() && ascii; ++i)
        ascii = bytes[i] < 0x80;
    // Plain ASCII folds byte by byte; anything else as the toolkit folds text.
    if (ascii)
        return search([bytes](qsizetype i) { return char16_t(bytes[i] >= 'A' && bytes[i] <= 'Z' ? bytes[i] + 32 : bytes[i]); },
                      name.size());
    const QString folded = QString::fromUtf8(name).toCaseFolded();
    return search([&folded](qsizetype i) { return folded[i].unicode(); }, folded.size());
}

bool NameFind::narrows(const NameFind &wider) const
{
    return !wider.isEmpty() && needle_.find(wider.needle_) != std::u16string::npos;
}

bool LineFilter::test(const TextLines &lines, const LineOrder &order, qsizetype line) const
{
    return find_.foundIn(lines.shownName(line, order.key(line).nameEnd));
}

void LineFilter::setFind(const QString &text, const TextLines &lines, const LineOrder &order)
{
    NameFind find(text);
    const bool narrowing = active() && find.narrows(find_);
    find_ = std::move(find);
    if (!active()) {
        clear();
        return;
    }
    if (!narrowing)
        found_.clear();
    for (size_t line = 0; line < found_.size(); ++line)
        if (found_[line])
            found_[line] = test(lines, order, qsizetype(line));
    for (size_t line = found_.size(); line < size_t(lines.size()); ++line)
        found_.push_back(test(lines, order, qsizetype(line)));
    collect(order);
}

void LineFilter::update(const TextLines &lines, const LineOrder &order)
{
    if (!active())
        return;
    const size_t from = found_.size();
    found_.resize(size_t(lines.size()));
    const bool atEnd = order.sortBy() == SortBy::Name && rowsBy_ == SortBy::Name;
    for (size_t line = from; line < found_.size(); ++line) {
        found_[line] = test(lines, order, qsizetype(line));
        if (atEnd && found_[line])
            rows_.push_back(uint32_t(line));
    }
    // In another order the new lines may stand anywhere among the others.
    if (!atEnd && (found_.size() > from || order.sortBy() != rowsBy_))
        collect(order);
}

void LineFilter::collect(const LineOrder &order)
{
    rows_.clear();
    rowsBy_ = order.sortBy();
    order.forEachLine([this](qsizetype line) {
        if (size_t(line) < found_.size() && found_[size_t(line)])
            rows_.push_back(uint32_t(line));
    });
}

void LineFilter::clear()
{
    found_.clear();
    rows_.clear();
}
