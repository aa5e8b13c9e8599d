// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/listing/FilePattern.h"

#include "core/shared/FsError.h"

#include <QChar>
#include <algorithm>

namespace {
constexpr char32_t Star = U'*', AnyOne = U'?';

char32_t fold(char32_t c)
{
    if (c < 128)
        return (c >= 'A' && c <= 'Z') ? c + 32 : c;
    return QChar::toCaseFolded(c);
}

// A text as case-folded code points, so that one comparison of two code points ignores case.
std::vector<char32_t> folded(const QString &text)
{
    std::vector<char32_t> out;
    out.reserve(size_t(text.size()));
    for (qsizetype i = 0; i < text.size(); ++i) {
        char32_t c = text[i].unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            c = QChar::surrogateToUcs4(char16_t(c), text[++i].unicode());
        out.push_back(fold(c));
    }
    return out;
}
} // namespace

FilePattern::Piece::Piece(std::vector<char32_t> codes) : codes_(std::move(codes)), words_((codes_.size() + 63) / 64)
{
    for (const char32_t c : codes_)
        if (c != AnyOne)
            chars_.push_back(c);
    std::sort(chars_.begin(), chars_.end());
    chars_.erase(std::unique(chars_.begin(), chars_.end()), chars_.end());
    masks_.assign((chars_.size() + 1) * words_, 0);
    const size_t other = chars_.size();
    ascii_.fill(uint32_t(other));
    for (size_t k = 0; k < chars_.size(); ++k)
        if (chars_[k] < 128)
            ascii_[chars_[k]] = uint32_t(k);
    for (size_t i = 0; i < codes_.size(); ++i) {
        const uint64_t bit = uint64_t(1) << (i % 64);
        if (codes_[i] == AnyOne) { // any code point may stand here
            for (size_t k = 0; k <= other; ++k)
                masks_[k * words_ + i / 64] |= bit;
        } else {
            const size_t k = size_t(std::lower_bound(chars_.begin(), chars_.end(), codes_[i]) - chars_.begin());
            masks_[k * words_ + i / 64] |= bit;
        }
    }
}

const uint64_t *FilePattern::Piece::maskOf(char32_t c) const
{
    size_t k;
    if (c < 128) {
        k = ascii_[c];
    } else {
        const auto it = std::lower_bound(chars_.begin(), chars_.end(), c);
        k = (it != chars_.end() && *it == c) ? size_t(it - chars_.begin()) : chars_.size();
    }
    return masks_.data() + k * words_;
}

bool FilePattern::Piece::matchesAt(const std::vector<char32_t> &name, size_t at) const
{
    for (size_t i = 0; i < codes_.size(); ++i)
        if (codes_[i] != AnyOne && codes_[i] != name[at + i])
            return false;
    return true;
}

size_t FilePattern::Piece::findEnd(const std::vector<char32_t> &name, size_t from, size_t to) const
{
    // Bit i of `state`: the piece's first i + 1 code points match the name up to here.
    uint64_t small[4] = {};
    std::vector<uint64_t> large(words_ > 4 ? words_ : 0, 0);
    uint64_t *state = words_ > 4 ? large.data() : small;
    const size_t lastWord = (codes_.size() - 1) / 64;
    const uint64_t lastBit = uint64_t(1) << ((codes_.size() - 1) % 64);
    for (size_t j = from; j < to; ++j) {
        const uint64_t *mask = maskOf(name[j]);
        uint64_t carry = 1; // a match may start at every position
        for (size_t w = 0; w < words_; ++w) {
            const uint64_t next = (state[w] << 1) | carry;
            carry = state[w] >> 63;
            state[w] = next & mask[w];
        }
        if (state[lastWord] & lastBit)
            return j + 1;
    }
    return SIZE_MAX;
}

FilePattern::FilePattern(const QString &pattern) : text_(pattern)
{
    if (pattern.contains(QLatin1Char('/')))
        throw FsError(QStringLiteral("Invalid file pattern: \"%1\" holds a \"/\"; a pattern names files, not folders.")
                          .arg(pattern));
    for (const QString &raw : pattern.split(QLatin1Char(';'))) {
        const QString text = raw.trimmed();
        if (text.isEmpty())
            continue;
        if (text == QLatin1String("*.*") || text == QLatin1String("*")) {
            all_ = true;
            continue;
        }
        const std::vector<char32_t> codes = folded(text);
        Part part;
        part.starFirst = codes.front() == Star;
        part.starLast = codes.back() == Star;
        std::vector<char32_t> piece;
        for (size_t i = 0; i <= codes.size(); ++i) {
            if (i < codes.size() && codes[i] != Star) {
                piece.push_back(codes[i]);
            } else if (!piece.empty()) {
                part.need += piece.size();
                part.pieces.emplace_back(std::move(piece));
                piece.clear();
            }
        }
        parts_.push_back(std::move(part));
    }
    if (parts_.empty())
        all_ = true;
}

// The first piece sits at the name's start unless a star opens the pattern, the last at its
// end unless a star closes it; every other piece takes its first match after the one before.
// An earlier match is never worse: the star after it can take whatever lies between.
bool FilePattern::partMatches(const Part &part, const std::vector<char32_t> &name)
{
    if (name.size() < part.need)
        return false;
    const std::vector<Piece> &pieces = part.pieces;
    if (pieces.empty()) // stars only
        return true;
    if (!part.starFirst && !part.starLast && pieces.size() == 1)
        return name.size() == pieces[0].size() && pieces[0].matchesAt(name, 0);
    size_t from = 0, to = name.size(), first = 0, last = pieces.size();
    if (!part.starFirst) {
        if (!pieces[0].matchesAt(name, 0))
            return false;
        from = pieces[0].size();
        first = 1;
    }
    if (!part.starLast) {
        to = name.size() - pieces[last - 1].size();
        if (to < from || !pieces[last - 1].matchesAt(name, to))
            return false;
        --last;
    }
    for (size_t i = first; i < last; ++i) {
        if (to - from < pieces[i].size())
            return false;
        from = pieces[i].findEnd(name, from, to);
        if (from == SIZE_MAX)
            return false;
    }
    return true;
}

bool FilePattern::matches(const QString &name) const
{
    if (all_)
        return true;
    const std::vector<char32_t> codes = folded(name);
    for (const Part &part : parts_)
        if (partMatches(part, codes))
            return true;
    return false;
}
