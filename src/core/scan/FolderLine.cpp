// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/scan/FolderLine.h"

#include "core/scan/ByteConverter.h"
#include "core/scan/PathLineMaker.h"
#include "core/shared/Text.h"

#include <algorithm>
#include <memory>

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
    // The files of one folder, added one after another, share one maker: the one this thread
    // is adding to, as long as it made the last line of `lines`.
    thread_local std::shared_ptr<PathLineMaker> adding;
    if (!adding || lines.lastMaker() != adding.get() || adding->folder() != folder)
        adding = std::make_shared<PathLineMaker>(folder);
    const qsizetype i = adding->add(QByteArrayView(name), key.bytes, key.nameEnd);
    lines.appendMade(adding, i, key);
}

bool hasRecursiveLine(QByteArrayView name)
{
    return name != "MSCREATE.DIR";
}

void recursiveListingLine(TextLines &lines, const QByteArray &folder, const char *name, LineKey key)
{
    if (hasRecursiveLine(name))
        appendRecursiveFileLine(lines, folder, name, key);
}

void recursiveListingText(TextLines &lines, const QByteArray &folder, const char *name, LineKey key)
{
    if (!hasRecursiveLine(name))
        return;
    lines.append(recursiveFileLine(folder, QByteArrayView(name), key.bytes, key.nameEnd), key);
}
