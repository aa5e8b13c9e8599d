// SPDX-License-Identifier: GPL-3.0-or-later
#include "scan/ByteConverter.h"

#include <QLocale>
#include <algorithm>
#include <cmath>

QString roundDecimalText(const QString &text, int decimals)
{
    QString t = text.trimmed();
    bool negative = false;
    if (t.startsWith(QLatin1Char('-'))) {
        negative = true;
        t.remove(0, 1);
    }
    const qsizetype point = t.indexOf(QLatin1Char('.'));
    QString intPart = point < 0 ? t : t.left(point);
    QString fracPart = point < 0 ? QString() : t.mid(point + 1);
    if (intPart.isEmpty())
        intPart = QStringLiteral("0");
    const bool roundUp = fracPart.size() > decimals && fracPart.at(decimals) >= QLatin1Char('5');
    fracPart = fracPart.left(decimals).leftJustified(decimals, QLatin1Char('0'));
    // Digits as one number string, so the carry can run into the integer part.
    QString digits = intPart + fracPart;
    if (roundUp) {
        qsizetype i = digits.size() - 1;
        while (i >= 0) {
            if (digits[i] == QLatin1Char('9')) {
                digits[i] = QLatin1Char('0');
                --i;
            } else {
                digits[i] = QChar(digits[i].unicode() + 1);
                break;
            }
        }
        if (i < 0)
            digits.prepend(QLatin1Char('1'));
    }
    QString result = digits.left(digits.size() - decimals);
    if (decimals > 0)
        result += QLocale().decimalPoint() + digits.right(decimals);
    const bool zero = std::all_of(digits.cbegin(), digits.cend(), [](QChar c) { return c == QLatin1Char('0'); });
    return (negative && !zero) ? QLatin1Char('-') + result : result;
}

namespace {
// The general decimal text of a double: up to 15 significant digits, no exponent for the
// magnitudes that reach here, no grouping.
QString generalText(double value)
{
    QString s = QString::number(value, 'f', 15 - std::max(1, int(std::floor(std::log10(std::fabs(value)))) + 1));
    if (s.contains(QLatin1Char('.'))) {
        while (s.endsWith(QLatin1Char('0')))
            s.chop(1);
        if (s.endsWith(QLatin1Char('.')))
            s.chop(1);
    }
    return s;
}
}

QString ByteConverter(double bytes)
{
    constexpr double GB = 1073741824.0, MB = 1048576.0, KB = 1024.0;
    if (!std::isfinite(bytes))
        return QStringLiteral("0"); // no byte count at all
    if (bytes >= GB)
        return roundDecimalText(generalText(bytes / GB), 2) + QStringLiteral(" GB");
    if (bytes >= MB)
        return roundDecimalText(generalText(bytes / MB), 2) + QStringLiteral(" MB");
    if (bytes > KB)
        return roundDecimalText(generalText(bytes / KB), 2) + QStringLiteral(" KB");
    return roundDecimalText(QString::number(bytes, 'f', 0 + (bytes == std::floor(bytes) ? 0 : 15)), 0)
           + QStringLiteral("    B ");
}
