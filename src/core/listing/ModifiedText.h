// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QDateTime>
#include <QByteArray>
#include <QString>
#include <cstdint>

// The modification column of the complete file list: a 9-character date field (a blank, then
// two-digit month, day and year: " 01/05/98"), one blank, and an 11-character time field in
// 12-hour form ("10:20:30 AM", " 3:04:05 PM") that is empty at exactly midnight. So the text
// is 21 characters long, or 10 at midnight. Built from the timestamp's fields, never from the
// locale. A timestamp that could not be read (an invalid one) gives a blank date field and no
// time.
QString FileModifiedText(const QDateTime &modified);

// A modification time in ISO 8601 form with the offset from UTC it was given in
// ("2026-12-08T16:40:45+01:00"), in local time as the C library reckons it: where the time
// zone is unknown (no zone data, or a TZ the system does not know) that is UTC, "+00:00", never
// an empty text. Empty only for a time no calendar of the C library holds.
QByteArray IsoModifiedText(int64_t seconds);
