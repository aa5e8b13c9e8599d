// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>
#include <optional>

// One line of the complete file list: the name, then the columns that are shown.
//   size and date: name, PadWidth blanks, size text, 2 blanks, modification text
//   size only:     name, PadWidth blanks, size text
//   date only:     name, ModifiedPadWidth blanks, modification text
//   neither:       the name
// with PadWidth = nameWidth - n + 10 - s and ModifiedPadWidth = nameWidth - n (n and s the
// character counts of the name and the size text), so the size texts end in column
// nameWidth + 10 and the dates start in one column. nameWidth is the longest name's length
// plus 1. A name is never joined to its column: at least one blank stays between them.
struct FileLineColumns {
    std::optional<QString> sizeText;     // set when the size column is shown
    std::optional<QString> modifiedText; // set when the modification column is shown
};

QString BuildFileListLine(const QString &name, qsizetype nameWidth, const FileLineColumns &columns);
