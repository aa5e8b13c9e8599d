// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/listing/ListingSnapshot.h"

#include "core/listing/Exclusions.h"
#include "core/scan/ByteConverter.h"
#include "core/scan/FolderLine.h"
#include "core/shared/Text.h"

QString folderHeading(const ListingSnapshot &s)
{
    const QString heading = s.diskUsage ? QStringLiteral("Folders (disk usage): ") : QStringLiteral("Folders: ");
    if (s.folderSizes)
        return heading + ByteConverter(double(s.folderLinesBytes))
               + countNote({s.folderLinesBytes, s.folderLinesFiles}, s.counts);
    return heading;
}

QString fileHeading(const ListingSnapshot &s)
{
    if (s.recursive)
        return QStringLiteral("Complete File List");
    const QString heading = s.diskUsage ? QStringLiteral("Files (disk usage):") : QStringLiteral("Files:");
    if (s.fileSizes)
        return heading + u' ' + s.fileListTotalText + countNote({0, s.fileListTotalFiles}, s.counts);
    return heading;
}

QString parentFolderText(const QString &folderAndPattern, std::optional<ShownSize> total, bool counts, bool diskUsage,
                         int64_t excluded)
{
    QString text = folderAndPattern;
    if (total)
        text += QStringLiteral("  ") + ByteConverter(double(total->bytes)) + countNote(*total, counts);
    text += excludedNote(excluded);
    if (diskUsage)
        text += QStringLiteral("  (disk usage)");
    return text;
}

QString fileLinePrefix(const ListingSnapshot &s)
{
    if (s.recursive)
        return {};
    if (s.includeFolders)
        return s.currentFolderPath;
    return {};
}

QString fileLineOut(const ListingSnapshot &s, const QString &entry)
{
    return fileLinePrefix(s) + entry;
}

QString findNote(const QString &findText)
{
    if (findText.isEmpty())
        return {};
    // What was typed shows as a name does: one line, in its order.
    return QStringLiteral(" (filtered: \"") + displayName(findText.toUtf8()) + QStringLiteral("\")");
}
