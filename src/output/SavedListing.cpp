#include "output/SavedListing.h"

#include "output/ListingSnapshot.h"
#include "shared/Text.h"

QStringList savedListingLines(const ListingSnapshot &s)
{
    const QString indent = blanks(s.indentation);
    QStringList lines;
    lines.reserve(6 + s.folderLines.size() + s.fileLines.size());

    lines.append(indent + s.title);
    lines.append(indent + s.parentFolderLine);

    if (s.includeFolders) {
        lines.append(QString());
        lines.append(indent + folderHeading(s));
        for (qsizetype i = 0; i < s.folderLines.size(); ++i)
            lines.append(indent + s.folderLines.at(i));
    }

    lines.append(QString());
    lines.append(indent + fileHeading(s));
    for (qsizetype i = 0; i < s.fileLines.size(); ++i)
        lines.append(indent + fileLineOut(s, s.fileLines.at(i)));

    return lines;
}
