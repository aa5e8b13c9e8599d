#include "listing/ModifiedText.h"

#include "shared/Text.h"

namespace {
constexpr int TimeFieldWidth = 11;

QString twoDigits(int n)
{
    return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0'));
}

// The date part as " MM/DD/YY": month and day brought to two digits, one blank in front.
QString dateField(const QString &datePart)
{
    const QStringList parts = datePart.split(QLatin1Char('/'));
    if (parts.size() != 3)
        return QLatin1Char(' ') + datePart;
    return QLatin1Char(' ') + parts[0].rightJustified(2, QLatin1Char('0')) + QLatin1Char('/')
           + parts[1].rightJustified(2, QLatin1Char('0')) + QLatin1Char('/') + parts[2];
}

// The time part right-aligned in its 11 characters; an empty one stays empty.
QString timeField(const QString &timePart)
{
    return timePart.isEmpty() ? timePart : timePart.rightJustified(TimeFieldWidth, QLatin1Char(' '));
}
}

QString GeneralDateText(const QDateTime &modified)
{
    const QDate date = modified.date();
    const QTime time = modified.time();
    const int year = ((date.year() % 100) + 100) % 100;
    QString text = QString::number(date.month()) + QLatin1Char('/') + QString::number(date.day())
                   + QLatin1Char('/') + twoDigits(year);
    if (time.hour() != 0 || time.minute() != 0 || time.second() != 0) {
        const int hour12 = time.hour() % 12 == 0 ? 12 : time.hour() % 12;
        text += QLatin1Char(' ') + QString::number(hour12) + QLatin1Char(':') + twoDigits(time.minute())
                + QLatin1Char(':') + twoDigits(time.second())
                + (time.hour() < 12 ? QStringLiteral(" AM") : QStringLiteral(" PM"));
    }
    return text;
}

QString FileModifiedText(const QDateTime &modified)
{
    if (!modified.isValid())
        return blanks(9) + QLatin1Char(' ');
    const QString general = GeneralDateText(modified);
    // The date text holds no blank, so the first blank ends the date; without one the
    // timestamp is at midnight and the time part is empty.
    const qsizetype dateEnd = general.indexOf(QLatin1Char(' '));
    const QString datePart = dateEnd < 0 ? general : general.left(dateEnd);
    const QString timePart = dateEnd < 0 ? QString() : general.mid(dateEnd + 1);
    return dateField(datePart) + QLatin1Char(' ') + timeField(timePart);
}
