// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/scan/FolderLine.h"

#include "core/scan/ByteConverter.h"
#include "core/shared/Text.h"

#include <algorithm>
#include <cstring>

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

QString folderLine(const QString &path, ShownSize size, int nameWidth, bool counts)
{
    return folderLine(path, size.bytes, nameWidth) + countNote(size, counts);
}

QString fileCountText(int64_t files)
{
    return files == 1 ? QStringLiteral("1 file") : QString::number(files) + QStringLiteral(" files");
}

QString countNote(ShownSize size, bool counts)
{
    return counts ? QStringLiteral("  ") + fileCountText(size.files) : QString();
}

void appendRecursiveFileLine(TextLines &lines, const QByteArray &folder, const char *name, LineKey key)
{
    // A line for every file of a tree: a path of plain ASCII is copied as it is, straight into
    // the lines' UTF-8, through one buffer a thread keeps.
    const QByteArrayView nameBytes(name);
    if (plainAscii(folder) && plainAscii(nameBytes)) {
        thread_local std::string line;
        line.assign(folder.constData(), size_t(folder.size()));
        if (!folder.endsWith('/'))
            line += '/';
        line.append(nameBytes.data(), size_t(nameBytes.size()));
        key.nameEnd = int32_t(line.size());
        line += ' ';
        appendSizeTextUtf8(line, double(key.bytes));
        lines.append(QByteArrayView(line.data(), qsizetype(line.size())), key);
        return;
    }
    QByteArray path = folder;
    if (!path.endsWith('/'))
        path += '/';
    path += name;
    const QString shown = displayName(path);
    key.nameEnd = int32_t(utf8Length(shown));
    lines.append(shown + QLatin1Char(' ') + ByteConverter(double(key.bytes)), key);
}

void recursiveListingLine(TextLines &lines, const QByteArray &folder, const char *name, LineKey key)
{
    if (std::strcmp(name, "MSCREATE.DIR") != 0)
        appendRecursiveFileLine(lines, folder, name, key);
}
