// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/listing/FileLine.h"

#include "core/shared/Text.h"

#include <algorithm>

namespace {
constexpr qsizetype SizeColumnWidth = 10;
constexpr qsizetype ColumnGap = 2;
}

QString BuildFileListLine(const QString &name, qsizetype nameWidth, const FileLineColumns &columns)
{
    const qsizetype n = charCount(name);
    if (columns.sizeText) {
        const qsizetype padWidth = std::max<qsizetype>(1, nameWidth - n + SizeColumnWidth - charCount(*columns.sizeText));
        QString line = name + blanks(padWidth) + *columns.sizeText;
        if (columns.modifiedText)
            line += blanks(ColumnGap) + *columns.modifiedText;
        return line;
    }
    if (columns.modifiedText) {
        const qsizetype modifiedPadWidth = std::max<qsizetype>(1, nameWidth - n);
        return name + blanks(modifiedPadWidth) + *columns.modifiedText;
    }
    return name;
}
