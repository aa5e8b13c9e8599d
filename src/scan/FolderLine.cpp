// SPDX-License-Identifier: GPL-3.0-or-later
#include "scan/FolderLine.h"

#include "scan/ByteConverter.h"
#include "shared/Text.h"

QString folderLine(const QString &path, int64_t bytes, int nameWidth)
{
    const QString sizeText = ByteConverter(double(bytes));
    const qsizetype length = charCount(path);
    qsizetype padWidth = nameWidth - length + 10 - charCount(sizeText);
    if (length > nameWidth || QString::number(bytes).size() > 10)
        padWidth = 2;
    return path + blanks(padWidth) + sizeText;
}

QString recursiveFileLine(const QByteArray &folder, const char *name, int64_t length)
{
    QByteArray path = folder;
    if (!path.endsWith('/'))
        path += '/';
    path += name;
    return displayName(path) + QLatin1Char(' ') + ByteConverter(double(length));
}
