// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/output/SavedListing.h"

#include "core/listing/ListingSnapshot.h"
#include "core/shared/Text.h"

namespace {
// The list's lines, each after `indent` and `prefix` (UTF-8); shared when there is neither.
void appendLines(TextLines &out, const TextLines &list, QByteArrayView indent, QByteArrayView prefix)
{
    if (indent.isEmpty() && prefix.isEmpty()) {
        out.appendText(list);
        return;
    }
    for (qsizetype i = 0; i < list.size(); ++i)
        out.append({indent, prefix, list.utf8View(i)});
}
}

TextLines savedListingLines(const ListingSnapshot &s)
{
    const QString indent = blanks(s.indentation);
    const QByteArray indentBytes = indent.toUtf8();
    TextLines lines;

    lines.append(indent + displayName(s.title.toUtf8())); // a title, too, is one line
    lines.append(indent + s.parentFolderLine);

    if (s.includeFolders) {
        lines.append(QString());
        lines.append(indent + folderHeading(s));
        appendLines(lines, s.folderLines, indentBytes, {});
    }

    lines.append(QString());
    lines.append(indent + fileHeading(s));
    appendLines(lines, s.fileLines, indentBytes, fileLinePrefix(s).toUtf8());

    return lines;
}
