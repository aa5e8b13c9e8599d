// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/scan/tree/JsonText.h"

#include <algorithm>
#include <array>
#include <vector>

namespace {
// Bytes a string holds as they are: not its quote, not a backslash, not a control.
constexpr auto PlainString = [] {
    std::array<bool, 256> plain{};
    for (int c = 0x20; c < 0x100; ++c)
        plain[size_t(c)] = c != '"' && c != '\\';
    return plain;
}();

const QString EndsTooSoon = QStringLiteral("the file ends too soon");

void append(std::string &out, const char *from, size_t n, size_t limit)
{
    if (out.size() <= limit)
        out.append(from, std::min(n, limit + 1 - out.size()));
}

void appendUtf8(std::string &out, unsigned c, size_t limit)
{
    char text[4];
    size_t n = 0;
    if (c < 0x80)
        text[n++] = char(c);
    else if (c < 0x800) {
        text[n++] = char(0xC0 | c >> 6);
        text[n++] = char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        text[n++] = char(0xE0 | c >> 12);
        text[n++] = char(0x80 | (c >> 6 & 0x3F));
        text[n++] = char(0x80 | (c & 0x3F));
    } else {
        text[n++] = char(0xF0 | c >> 18);
        text[n++] = char(0x80 | (c >> 12 & 0x3F));
        text[n++] = char(0x80 | (c >> 6 & 0x3F));
        text[n++] = char(0x80 | (c & 0x3F));
    }
    append(out, text, n, limit);
}

bool isDigit(int c)
{
    return c >= '0' && c <= '9';
}
} // namespace

bool JsonText::refill()
{
    const int64_t here = offset();
    QByteArrayView block;
    try {
        block = text_.next();
    } catch (ScanFileFault &fault) {
        fault.line = line_;
        fault.column = here - lineStart_ + 1;
        throw;
    }
    base_ = here;
    block_ = p_ = block.data();
    end_ = block_ + block.size();
    return !block.isEmpty();
}

void JsonText::failAt(int64_t at, const QString &what) const
{
    throw ScanFileFault{what, line_, at - lineStart_ + 1};
}

void JsonText::failExpected(const char *expected) const
{
    if (p_ == end_)
        failAt(token_, EndsTooSoon);
    const auto c = static_cast<unsigned char>(*p_);
    const QString found = c > 0x20 && c < 0x7F ? u'"' + QChar(c) + u'"'
                                               : QStringLiteral("byte 0x%1").arg(c, 2, 16, QLatin1Char('0'));
    failAt(token_, QStringLiteral("expected %1, found %2").arg(QLatin1String(expected), found));
}

void JsonText::string(std::string &out, size_t limit)
{
    out.clear();
    ++p_; // its opening quote
    for (;;) {
        if (p_ == end_ && !refill())
            failAt(offset(), EndsTooSoon);
        const char *run = p_;
        while (p_ < end_ && PlainString[static_cast<unsigned char>(*p_)])
            ++p_;
        append(out, run, size_t(p_ - run), limit);
        if (p_ == end_)
            continue;
        if (*p_ == '"') {
            ++p_;
            return;
        }
        if (*p_ != '\\')
            failAt(offset(), QStringLiteral("a control character in a string"));
        const int64_t at = offset();
        ++p_;
        appendUtf8(out, escape(at), limit);
    }
}

unsigned JsonText::escape(int64_t at)
{
    const QString invalid = QStringLiteral("an invalid escape");
    const auto next = [&] {
        const int c = byteHere();
        if (c < 0)
            failAt(offset(), EndsTooSoon);
        ++p_;
        return c;
    };
    const auto hex4 = [&] {
        unsigned v = 0;
        for (int i = 0; i < 4; ++i) {
            const int c = next();
            const int d = isDigit(c) ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
            if (d < 0)
                failAt(at, invalid);
            v = v << 4 | unsigned(d);
        }
        return v;
    };
    switch (next()) {
    case '"': return '"';
    case '\\': return '\\';
    case '/': return '/';
    case 'b': return '\b';
    case 'f': return '\f';
    case 'n': return '\n';
    case 'r': return '\r';
    case 't': return '\t';
    case 'u': break;
    default: failAt(at, invalid);
    }
    const unsigned c = hex4();
    if (c >= 0xDC00 && c < 0xE000)
        failAt(at, invalid); // the second half of a pair, alone
    if (c < 0xD800 || c >= 0xDC00)
        return c;
    if (next() != '\\' || next() != 'u')
        failAt(at, invalid); // the first half of a pair, alone
    const unsigned low = hex4();
    if (low < 0xDC00 || low >= 0xE000)
        failAt(at, invalid);
    return 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
}

JsonText::Number JsonText::number()
{
    // Nearly every number of a scan is a whole one of at most 19 digits with its end in the
    // block: read at once, with no look at the block's end or at the magnitude's overflow.
    if (end_ - p_ > 20) {
        const char *q = p_;
        const bool negative = *q == '-';
        q += negative;
        const char *const first = q;
        uint64_t magnitude = 0;
        while (isDigit(*q) && q - first < 19)
            magnitude = magnitude * 10 + unsigned(*q++ - '0');
        const bool leadingZero = *first == '0' && q - first > 1;
        if (q > first && !leadingZero && !isDigit(*q) && *q != '.' && *q != 'e' && *q != 'E') {
            p_ = q;
            return {negative, true, true, magnitude};
        }
    }
    Number n;
    int c = byteHere();
    if (c == '-') {
        n.negative = true;
        ++p_;
        c = byteHere();
    }
    const auto digits = [&](bool keep) {
        if (!isDigit(c))
            failAt(c < 0 ? offset() : token_, c < 0 ? EndsTooSoon : QStringLiteral("an invalid number"));
        for (; isDigit(c); ++p_, c = byteHere()) {
            const auto d = unsigned(c - '0');
            if (!keep)
                continue;
            if (n.magnitude > (UINT64_MAX - d) / 10)
                n.fits = false;
            else
                n.magnitude = n.magnitude * 10 + d;
        }
    };
    if (c == '0') {
        ++p_;
        c = byteHere();
    } else
        digits(true);
    if (c == '.') {
        n.whole = false;
        ++p_;
        c = byteHere();
        digits(false);
    }
    if (c == 'e' || c == 'E') {
        n.whole = false;
        ++p_;
        c = byteHere();
        if (c == '+' || c == '-') {
            ++p_;
            c = byteHere();
        }
        digits(false);
    }
    return n;
}

void JsonText::literal(const char *word)
{
    for (const char *w = word; *w; ++w, ++p_) {
        const int c = byteHere();
        if (c < 0)
            failAt(offset(), EndsTooSoon);
        if (c != *w)
            failAt(token_, QStringLiteral("an invalid value"));
    }
}

bool JsonText::boolean(const char *what)
{
    const int c = peek();
    if (c != 't' && c != 'f')
        failExpected(what);
    literal(c == 't' ? "true" : "false");
    return c == 't';
}

void JsonText::skipValue(size_t limit)
{
    std::vector<char> open; // the arrays and objects the value is inside, outermost first
    const auto key = [&] {
        if (peek() != '"')
            failExpected("a name in quotes");
        string(scratch_, 0);
        expect(':', "\":\"");
    };
    for (;;) {
        const int c = peek();
        if (c == '[' || c == '{') {
            if (open.size() >= limit)
                failAtToken(QStringLiteral("values nested deeper than %1").arg(limit));
            take();
            if (peek() != (c == '[' ? ']' : '}')) {
                open.push_back(char(c));
                if (c == '{')
                    key();
                continue;
            }
            take();
        } else if (c == '"')
            string(scratch_, 0);
        else if (c == '-' || isDigit(c))
            number();
        else if (c == 't' || c == 'f' || c == 'n')
            literal(c == 't' ? "true" : c == 'f' ? "false" : "null");
        else
            failExpected("a value");
        // After a value: the next one in its array or object, or its end.
        for (;;) {
            if (open.empty())
                return;
            const bool array = open.back() == '[';
            const int d = peek();
            if (d == ',') {
                take();
                if (!array)
                    key();
                break;
            }
            if (d != (array ? ']' : '}'))
                failExpected(array ? "\",\" or \"]\"" : "\",\" or \"}\"");
            take();
            open.pop_back();
        }
    }
}
