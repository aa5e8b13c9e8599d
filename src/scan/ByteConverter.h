// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>

// The size text of a byte count: two decimals and " GB", " MB" or " KB" in steps of 1024, or
// the whole number of bytes followed by "    B ". At most 10 characters up to 1024^4 bytes.
QString ByteConverter(double bytes);

// Rounds the decimal text of a number (digits, an optional sign and point) to `decimals`
// places, the last one rounded half away from zero, always showing `decimals` places.
QString roundDecimalText(const QString &text, int decimals);
