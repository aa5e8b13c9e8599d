// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>
#include <string>

// The size text of a byte count: two decimals and " GB", " MB" or " KB" in steps of 1024, or
// the whole number of bytes followed by "    B ". At most 10 characters up to 1024^4 bytes.
QString ByteConverter(double bytes);
// Appends the UTF-8 of ByteConverter(bytes) to `out`, without a string of its own for the
// whole counts every file has.
void appendSizeTextUtf8(std::string &out, double bytes);

// Rounds the decimal text of a number (digits, an optional sign and point) to `decimals`
// places, the last one rounded half away from zero, always showing `decimals` places.
QString roundDecimalText(const QString &text, int decimals);
