// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/shared/Text.h"

#include <QtEndian>
#include <algorithm>
#include <cstring>

namespace {
// For eight bytes at a time: 1 in each byte, and each byte's top bit.
constexpr quint64 Ones = 0x0101010101010101ULL;
constexpr quint64 HighBits = NameHead::HighBits;
static_assert(HighBits == Ones * 0x80);
} // namespace

qsizetype charCount(const QString &text)
{
    qsizetype n = text.size();
    for (QChar c : text)
        if (c.isLowSurrogate())
            --n;
    return n;
}

QString blanks(qsizetype n)
{
    return n > 0 ? QString(n, QLatin1Char(' ')) : QString();
}

QString signPosition(long long n)
{
    return n >= 0 ? QLatin1Char(' ') + QString::number(n) : QString::number(n);
}

bool breaksOrReordersLine(char16_t c)
{
    return c < 0x20 || (c >= 0x7f && c <= 0x9f)  // the C0 and C1 controls and DEL
           || c == 0x2028 || c == 0x2029            // line and paragraph separators
           || (c >= 0x202a && c <= 0x202e)          // embeddings and overrides
           || (c >= 0x2066 && c <= 0x2069)          // isolates
           || c == 0x200e || c == 0x200f || c == 0x061c; // direction marks
}

bool plainAscii(QByteArrayView native)
{
    // Eight bytes at a time: a byte below 0x20 borrows into its top bit when 0x20 is taken off
    // it, one from 0x7f up has it set once 1 is added (or before). Either way a top bit flags
    // that some byte is not plain; a carry or borrow never flags a word whose bytes all are.
    const char *p = native.data();
    qsizetype left = native.size();
    quint64 flags = 0;
    for (; left >= 8; p += 8, left -= 8) {
        quint64 x;
        std::memcpy(&x, p, 8);
        flags |= ((x - 0x20 * Ones) & ~x) | (x + Ones) | x;
    }
    bool plain = (flags & HighBits) == 0;
    for (; left > 0; ++p, --left)
        plain &= static_cast<unsigned char>(*p) - 0x20u < 0x5fu;
    return plain;
}

QString displayName(QByteArrayView native)
{
    if (plainAscii(native))
        return QString::fromLatin1(native);
    QString text = QString::fromUtf8(native);
    for (QChar &c : text)
        if (breaksOrReordersLine(c.unicode()))
            c = u'?';
    return text;
}

qsizetype displayWidth(QByteArrayView native)
{
    return plainAscii(native) ? native.size() : charCount(displayName(native));
}

namespace {
inline unsigned char lowerAscii(unsigned char c)
{
    return (c >= 'A' && c <= 'Z') ? c + 32 : c;
}

// Up to eight bytes from `at` as one number, the first byte highest and missing bytes zero, so
// that comparing two such numbers compares their bytes in order.
inline quint64 bytesAt(const char *at, qsizetype n)
{
    quint64 w = 0;
    if (n >= 8) { // one load; a copy of fewer bytes would be a call
        std::memcpy(&w, at, 8);
        return qFromBigEndian(w);
    }
    for (qsizetype i = 0; i < n; ++i)
        w |= quint64(static_cast<unsigned char>(at[i])) << (56 - 8 * i);
    return w;
}

// lowerAscii for eight ASCII bytes at once.
inline quint64 lowerAsciiBytes(quint64 w)
{
    const quint64 fromA = w + Ones * (0x80 - 'A');     // high bit set in each byte >= 'A'
    const quint64 pastZ = w + Ones * (0x80 - 'Z' - 1); // high bit set in each byte > 'Z'
    return w | (((fromA ^ pastZ) & HighBits) >> 2);    // 0x20 added to 'A' to 'Z'
}
}

bool nameLess(QByteArrayView a, QByteArrayView b)
{
    // Fast path for ASCII names: compare folded bytes directly, eight at a time until a byte
    // beyond ASCII turns up, then one at a time.
    const qsizetype n = qMin(a.size(), b.size());
    qsizetype i = 0;
    for (; i < n; i += 8) {
        const qsizetype k = qMin<qsizetype>(8, n - i);
        const quint64 wa = bytesAt(a.data() + i, k), wb = bytesAt(b.data() + i, k);
        if ((wa | wb) & HighBits)
            break;
        const quint64 la = lowerAsciiBytes(wa), lb = lowerAsciiBytes(wb);
        if (la != lb)
            return la < lb;
    }
    bool ascii = true;
    for (; i < n; ++i) {
        const auto ca = static_cast<unsigned char>(a[i]);
        const auto cb = static_cast<unsigned char>(b[i]);
        if (ca >= 0x80 || cb >= 0x80) {
            ascii = false;
            break;
        }
        const unsigned char la = lowerAscii(ca), lb = lowerAscii(cb);
        if (la != lb)
            return la < lb;
    }
    if (ascii) {
        if (a.size() != b.size())
            return a.size() < b.size();
        return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) { return (unsigned char)x < (unsigned char)y; });
    }
    const int c = QString::fromUtf8(a.data(), a.size()).compare(QString::fromUtf8(b.data(), b.size()), Qt::CaseInsensitive);
    if (c != 0)
        return c < 0;
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) { return (unsigned char)x < (unsigned char)y; });
}

NameHead nameHead(QByteArrayView name)
{
    NameHead head{};
    for (int w = 0; w < 2; ++w) {
        const qsizetype from = qMin<qsizetype>(8 * w, name.size());
        const quint64 bytes = bytesAt(name.data() + from, qMin<qsizetype>(8, name.size() - from));
        // Folding only sets bits: a byte beyond ASCII keeps its high bit, which tells headOrder
        // to stand back from the whole word.
        head.bytes[w] = lowerAsciiBytes(bytes);
    }
    return head;
}

void nameHeadWithin(QByteArrayView names, qsizetype at, qsizetype length, NameHead &head)
{
    if (names.size() - at < 16) {
        head = nameHead(names.sliced(at, length));
        return;
    }
    // Two loads, and the bytes past the name cleared, as nameHead leaves them.
    for (int w = 0; w < 2; ++w) {
        const qsizetype in = std::clamp<qsizetype>(length - 8 * w, 0, 8);
        const quint64 bytes = in == 0 ? 0 : bytesAt(names.data() + at + 8 * w, 8) & (~quint64(0) << (64 - 8 * in));
        head.bytes[w] = lowerAsciiBytes(bytes);
    }
}

int utf8Sequence(const unsigned char *s, qsizetype n, char32_t &c)
{
    const unsigned char b = s[0];
    int len;
    if (b < 0x80) {
        c = b;
        return 1;
    }
    if (b >= 0xC2 && b <= 0xDF) {
        len = 2;
        c = b & 0x1F;
    } else if (b >= 0xE0 && b <= 0xEF) {
        len = 3;
        c = b & 0x0F;
    } else if (b >= 0xF0 && b <= 0xF4) {
        len = 4;
        c = b & 0x07;
    } else
        return 0;
    if (n < len)
        return 0;
    for (int i = 1; i < len; ++i) {
        if ((s[i] & 0xC0) != 0x80)
            return 0;
        c = (c << 6) | (s[i] & 0x3F);
    }
    static constexpr char32_t least[] = {0, 0, 0x80, 0x800, 0x10000};
    if (c < least[len] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
        return 0;
    return len;
}

qsizetype utf8Length(QStringView text)
{
    qsizetype bytes = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() && QChar::isLowSurrogate(text[i + 1].unicode())) {
            bytes += 4;
            ++i;
        } else {
            // A lone surrogate is written as "?".
            bytes += c < 0x80 || QChar::isSurrogate(c) ? 1 : c < 0x800 ? 2 : 3;
        }
    }
    return bytes;
}
