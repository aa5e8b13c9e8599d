// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

// Character counts as a person sees them: Unicode code points, not UTF-16 units.
qsizetype charCount(const QString &text);

// `n` blanks; none when n <= 0.
QString blanks(qsizetype n);

// A number in sign-position form: one leading blank before a non-negative number (" 10").
QString signPosition(long long n);

// Whether a character breaks a line or changes the order in which a line shows: the C0 and C1
// controls (U+0000 to U+001F, U+007F to U+009F), the line and paragraph separators, and the
// bidirectional controls and marks.
bool breaksOrReordersLine(char16_t c);

// Display text of a native file name or path: bytes that are not valid UTF-8 show as
// replacement characters, and each character that breaks or reorders a line as "?", so that
// a name is always one line of a list or a file, and shows its characters in their order.
// Files are reached through the native bytes, never through this text.
QString displayName(QByteArrayView native);
// The length of the UTF-8 sequence at `s` (of `n` bytes, at least one) and its code point, or 0
// when the bytes there are not UTF-8 (a stray byte, a short, overlong or surrogate sequence).
int utf8Sequence(const unsigned char *s, qsizetype n, char32_t &c);
// Whether every byte is printable ASCII: such a name shows as it is, one character a byte.
bool plainAscii(QByteArrayView native);
// The length of the text in UTF-8, as TextLines holds it.
qsizetype utf8Length(QStringView text);
// charCount(displayName(native)), without making the text when the name is plain ASCII.
qsizetype displayWidth(QByteArrayView native);

// The order of names in every list of the program: case-insensitive, ties by exact bytes.
bool nameLess(QByteArrayView a, QByteArrayView b);

// For sorting many names: the first sixteen bytes of a name as nameLess sees them. Two heads
// decide most comparisons without the names themselves; headOrder answers -1 or 1 where they
// decide nameLess's answer, and 0 where nameLess must be asked.
struct NameHead {
    static constexpr quint64 HighBits = 0x8080808080808080ULL; // each byte's top bit: beyond ASCII
    quint64 bytes[2];
    bool operator==(const NameHead &) const = default;
};
NameHead nameHead(QByteArrayView name);
// Sets `head` to nameHead of the `length` bytes at `at` in `names`, quicker where sixteen bytes
// lie there.
void nameHeadWithin(QByteArrayView names, qsizetype at, qsizetype length, NameHead &head);
// Inline: a sort asks it for nearly every comparison.
inline int headOrder(const NameHead &a, const NameHead &b)
{
    // A name shorter than a head ends in zero bytes there, so that it comes first, as nameLess
    // puts a prefix first. Equal heads leave the order to the rest of the names and their bytes.
    for (int w = 0; w < 2; ++w) {
        if ((a.bytes[w] | b.bytes[w]) & NameHead::HighBits) // a byte beyond ASCII: nameLess decides
            return 0;
        if (a.bytes[w] != b.bytes[w])
            return a.bytes[w] < b.bytes[w] ? -1 : 1;
    }
    return 0;
}
