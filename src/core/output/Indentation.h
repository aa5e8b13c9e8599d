// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>
#include <QStringList>
#include <optional>

// The preset entries of cboIndent, in list order, and the indentation each one stands for.
const QStringList &indentEntries();
int indentEntryValue(int entry);

// The leading numeric value of a text: blanks, tabs and line feeds anywhere are dropped, then
// the longest leading part that reads as a number is taken: an optional sign, digits with an
// optional decimal point, an optional exponent; or a whole number written &H (hexadecimal) or
// &O (octal), read as non-negative. Text without such a part gives 0.
// "7 spaces" gives 7, "1 2" gives 12, "&H1F" gives 31, "abc" gives 0.
double leadingNumber(const QString &text);

// The indentation that typed text stands for, or nothing when the text is not usable: it is
// usable when it is not empty and its leading number v is above 0 and below 80; the value is
// v rounded to the nearest whole number, halves to the even neighbour (0.4 gives 0, 79.5 gives 80).
std::optional<int> typedIndentation(const QString &text);

