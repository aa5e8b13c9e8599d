// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/listing/ModifiedText.h"

#include "core/shared/Text.h"

#include <cstdio>
#include <ctime>

QString FileModifiedText(const QDateTime &modified)
{
    if (!modified.isValid())
        return blanks(9) + QLatin1Char(' ');
    const QDate date = modified.date();
    const QTime time = modified.time();
    // One list may hold 400,000 of these: built in a small buffer rather than from pieces.
    char text[32];
    int n = std::snprintf(text, sizeof text, " %02d/%02d/%02d ", date.month(), date.day(),
                          ((date.year() % 100) + 100) % 100);
    if (time.hour() != 0 || time.minute() != 0 || time.second() != 0) {
        const int hour12 = time.hour() % 12 == 0 ? 12 : time.hour() % 12;
        n += std::snprintf(text + n, sizeof text - size_t(n), "%2d:%02d:%02d %s", hour12, time.minute(),
                           time.second(), time.hour() < 12 ? "AM" : "PM");
    }
    return QString::fromLatin1(text, n);
}

QByteArray IsoModifiedText(int64_t seconds)
{
    static const bool zoneRead = (tzset(), true); // localtime_r need not read TZ by itself
    Q_UNUSED(zoneRead);
    const time_t t = time_t(seconds);
    struct tm tm;
    if (int64_t(t) != seconds || !localtime_r(&t, &tm))
        return {};
    const long offset = tm.tm_gmtoff < 0 ? -tm.tm_gmtoff : tm.tm_gmtoff;
    char text[64];
    const int n = std::snprintf(text, sizeof text, "%04lld-%02d-%02dT%02d:%02d:%02d%c%02ld:%02ld",
                                (long long)tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min,
                                tm.tm_sec, tm.tm_gmtoff < 0 ? '-' : '+', offset / 3600, offset / 60 % 60);
    return QByteArray(text, n);
}
