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
    // A line for every file of a tree: a path of plain ASCII is copied as it is, into one string.
    const QByteArrayView nameBytes(name);
    if (plainAscii(folder) && plainAscii(nameBytes)) {
        const QString size = ByteConverter(double(length));
        QString line;
        line.reserve(folder.size() + 2 + nameBytes.size() + size.size());
        line.append(QLatin1StringView(folder));
        if (!folder.endsWith('/'))
            line.append(u'/');
        line.append(QLatin1StringView(nameBytes)).append(u' ').append(size);
        return line;
    }
    QByteArray path = folder;
    if (!path.endsWith('/'))
        path += '/';
    path += name;
    return displayName(path) + QLatin1Char(' ') + ByteConverter(double(length));
}
