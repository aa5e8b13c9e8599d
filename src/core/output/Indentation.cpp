// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/output/Indentation.h"

#include <QRegularExpression>
#include <cmath>

namespace {

// Text with every blank, tab and line feed dropped.
QString withoutSpacing(const QString &text)
{
    QString s;
    s.reserve(text.size());
    for (QChar c : text)
        if (c != u' ' && c != u'\t' && c != u'\n')
            s.append(c);
    return s;
}

// The value of the longest leading run of digits of `base` (8 or 16) in `digits`.
double leadingWholeNumber(QStringView digits, int base)
{
    double value = 0;
    for (QChar c : digits) {
        const int d = c.isDigit() && c.unicode() < 128 ? c.unicode() - '0'
                      : (c.toLower() >= u'a' && c.toLower() <= u'f') ? c.toLower().unicode() - 'a' + 10
                                                                     : base;
        if (d >= base)
            break;
        value = value * base + d;
    }
    return value;
}

// Rounds to the nearest whole number, halves to the even neighbour.
double roundHalfEven(double v)
{
    const double down = std::floor(v);
    const double fraction = v - down;
    if (fraction > 0.5)
        return down + 1;
    if (fraction < 0.5)
        return down;
    return std::fmod(down, 2.0) == 0 ? down : down + 1;
}

} // namespace

const QStringList &indentEntries()
{
    static const QStringList entries{QStringLiteral("5 Characters"), QStringLiteral("10 Characters"),
                                     QStringLiteral("15 Characters"), QStringLiteral("25 Characters")};
    return entries;
}

int indentEntryValue(int entry)
{
    static constexpr int values[] = {5, 10, 15, 25};
    return values[entry];
}

double leadingNumber(const QString &text)
{
    const QString s = withoutSpacing(text);
    if (s.startsWith(u'&') && s.size() > 1) {
        const QChar form = s.at(1).toUpper();
        if (form == u'H')
            return leadingWholeNumber(QStringView(s).mid(2), 16);
        if (form == u'O')
            return leadingWholeNumber(QStringView(s).mid(2), 8);
        return 0;
    }
    static const QRegularExpression number(
        QStringLiteral("^[+-]?(?:[0-9]+\\.?[0-9]*|\\.[0-9]+)(?:[eE][+-]?[0-9]+)?"));
    const QRegularExpressionMatch m = number.match(s);
    return m.hasMatch() ? m.captured().toDouble() : 0.0;
}

std::optional<int> typedIndentation(const QString &text)
{
    if (text.isEmpty())
        return std::nullopt;
    const double v = leadingNumber(text);
    if (!(v > 0 && v < 80))
        return std::nullopt;
    return int(roundHalfEven(v));
}
