// SPDX-License-Identifier: GPL-3.0-or-later
#include "scan/FolderLine.h"

#include "scan/ByteConverter.h"
#include "shared/Text.h"

#include <algorithm>

QString folderLine(const QString &path, int64_t bytes, int nameWidth)
{
    const QString sizeText = ByteConverter(double(bytes));
    const qsizetype length = charCount(path);
    qsizetype padWidth = nameWidth - length + 10 - charCount(sizeText);
    // A plain number text longer than 10 characters: from 10,000,000,000, or below -999,999,999.
    if (length > nameWidth || bytes >= 10'000'000'000LL || bytes <= -1'000'000'000LL)
        padWidth = 2;
    QString line;
    line.reserve(path.size() + std::max<qsizetype>(padWidth, 0) + sizeText.size());
    line.append(path);
    for (qsizetype i = 0; i < padWidth; ++i)
        line.append(u' ');
    line.append(sizeText);
    return line;
}

QString recursiveFileLine(const QByteArray &folder, const char *name, int64_t length)
{
    QByteArray path = folder;
    if (!path.endsWith('/'))
        path += '/';
    path += name;
    return displayName(path) + QLatin1Char(' ') + ByteConverter(double(length));
}
