// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/scan/ByteConverter.h"

#include <QLocale>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <optional>

namespace {
// The decimal point of the program's locale, looked up once a thread: the default locale is
// read under a lock that every thread shares, and the program never changes its locale once it
// runs.
const QString &decimalPoint()
{
    thread_local const QString point = QLocale().decimalPoint();
    return point;
}
} // namespace

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
        result += decimalPoint() + digits.right(decimals);
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

// roundDecimalText(generalText(value), 2) + unit for a value of at least 1, in one pass over
// the digits: the same digits (Qt's own conversion, with the same precision), and the same
// rounding of them, which looks only at the first three decimals (the zeros that generalText
// takes off the end never decide it). A line of every file of a big tree calls this.
QString twoDecimals(double value, QLatin1StringView unit)
{
    const int precision = 15 - std::max(1, int(std::floor(std::log10(value))) + 1);
    if (value < 1 || precision < 3)
        return roundDecimalText(generalText(value), 2) + unit;
    const QByteArray text = QByteArray::number(value, 'f', precision);
    const qsizetype point = text.indexOf('.');
    QByteArray digits = text.left(point) + text.mid(point + 1, 2);
    if (text.at(point + 3) >= '5') {
        qsizetype i = digits.size() - 1;
        for (; i >= 0 && digits[i] == '9'; --i)
            digits[i] = '0';
        if (i < 0)
            digits.prepend('1');
        else
            ++digits[i];
    }
    QString out;
    out.reserve(digits.size() + 2 + unit.size());
    out.append(QLatin1StringView(digits).first(digits.size() - 2));
    out.append(decimalPoint());
    out.append(QLatin1StringView(digits).last(2));
    out.append(unit);
    return out;
}
} // namespace

namespace {
constexpr double GB = 1073741824.0, MB = 1048576.0, KB = 1024.0;

struct Unit {
    uint64_t size;
    QLatin1StringView text;
};

// The unit of a count above 1 KB.
Unit unitOf(double bytes)
{
    return bytes >= GB ? Unit{uint64_t(GB), QLatin1StringView(" GB")}
           : bytes >= MB ? Unit{uint64_t(MB), QLatin1StringView(" MB")}
                         : Unit{uint64_t(KB), QLatin1StringView(" KB")};
}

// The hundredths twoDecimals(bytes / unit, ...) shows, worked out in integers for a whole
// count where that gives the same digits. The quotient of a whole count below 2^53 by a power
// of two is exact in a double, and its hundredths' fraction lies at least 1 / unit away from a
// half it is not on. Qt's digits, rounded to their precision, stay on the same side of it while
// that precision is finer than 1 / unit, that is below 1000 of the unit (12 or more decimals);
// there, rounding half up on the third decimal is rounding the quotient to hundredths, half up.
std::optional<uint64_t> wholeHundredths(double bytes, uint64_t unit)
{
    if (bytes >= double(int64_t(1) << 53) || bytes != std::floor(bytes) || bytes >= 1000.0 * double(unit))
        return std::nullopt;
    return (uint64_t(bytes) * 100 + unit / 2) / unit;
}

// Writes the digits of a count to end just before `end`; answers where they start.
char *digitsBefore(char *end, uint64_t n)
{
    char *p = end;
    do
        *--p = char('0' + n % 10);
    while ((n /= 10) > 0);
    return p;
}

// The size text of the whole counts above 1 KB that wholeHundredths takes, in its pieces:
// whole units, then the decimal point, then two decimals and the unit.
struct WholeUnits {
    char digits[24]; // ending in the two decimals
    qsizetype from = 0;
    QLatin1StringView unit;

    QLatin1StringView whole() const { return QLatin1StringView(digits + from, digits + sizeof digits - 2); }
    QLatin1StringView decimals() const { return QLatin1StringView(digits + sizeof digits - 2, 2); }
};

std::optional<WholeUnits> wholeUnits(double bytes)
{
    if (!(bytes > KB))
        return std::nullopt;
    const Unit unit = unitOf(bytes);
    const std::optional<uint64_t> hundredths = wholeHundredths(bytes, unit.size);
    if (!hundredths)
        return std::nullopt;
    WholeUnits w;
    char *const end = w.digits + sizeof w.digits;
    end[-1] = char('0' + *hundredths % 10);
    end[-2] = char('0' + *hundredths % 100 / 10);
    w.from = digitsBefore(end - 2, *hundredths / 100) - w.digits;
    w.unit = unit.text;
    return w;
}
} // namespace

QString ByteConverter(double bytes)
{
    if (!std::isfinite(bytes))
        return QStringLiteral("0"); // no byte count at all
    if (const std::optional<WholeUnits> w = wholeUnits(bytes)) {
        QString out;
        out.reserve(w->whole().size() + 3 + w->unit.size());
        return out.append(w->whole()).append(decimalPoint()).append(w->decimals()).append(w->unit);
    }
    if (bytes >= GB)
        return twoDecimals(bytes / GB, QLatin1StringView(" GB"));
    if (bytes >= MB)
        return twoDecimals(bytes / MB, QLatin1StringView(" MB"));
    if (bytes > KB)
        return twoDecimals(bytes / KB, QLatin1StringView(" KB"));
    if (bytes >= 0 && bytes == std::floor(bytes)) // a whole count: its digits as they are
        return QString::number(qint64(bytes)) + QStringLiteral("    B ");
    return roundDecimalText(QString::number(bytes, 'f', 15), 0) + QStringLiteral("    B ");
}

void appendSizeTextUtf8(std::string &out, double bytes)
{
    const auto add = [&out](QLatin1StringView ascii) { out.append(ascii.data(), size_t(ascii.size())); };
    if (const std::optional<WholeUnits> w = wholeUnits(bytes)) {
        thread_local const std::string point = decimalPoint().toStdString();
        add(w->whole());
        out.append(point);
        add(w->decimals());
        add(w->unit);
    } else if (bytes >= 0 && bytes <= KB && bytes == std::floor(bytes)) {
        char buffer[24];
        char *const end = buffer + sizeof buffer;
        const char *const digits = digitsBefore(end, uint64_t(bytes));
        out.append(digits, size_t(end - digits)).append("    B ");
    } else {
        out.append(ByteConverter(bytes).toStdString());
    }
}
