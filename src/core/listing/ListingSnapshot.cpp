// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/listing/ListingSnapshot.h"

#include "core/scan/ByteConverter.h"
#include "core/shared/Text.h"

QString folderHeading(const ListingSnapshot &s)
{
    if (s.folderSizes)
        return QStringLiteral("Folders: ") + ByteConverter(double(s.folderLinesBytes));
    return QStringLiteral("Folders: ");
}

QString fileHeading(const ListingSnapshot &s)
{
    if (s.recursive)
        return QStringLiteral("Complete File List");
    if (s.fileSizes)
        return QStringLiteral("Files: ") + s.fileListTotalText;
    return QStringLiteral("Files:");
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
