// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/output/ListingExport.h"

#include "core/listing/FileFacts.h"
#include "core/listing/FileListElement.h"
#include "core/listing/ModifiedText.h"
#include "core/scan/engine/FolderReader.h"
#include "core/scan/engine/SeenFiles.h"
#include "core/shared/FsError.h"
#include "core/shared/Text.h"

#include <sys/stat.h>
#include <algorithm>
#include <functional>
#include <optional>

namespace {
bool breaks(char32_t c)
{
    return c < 0x10000 && breaksOrReordersLine(char16_t(c));
}

const char Hex[] = "0123456789ABCDEF";

// A CSV field: quoted when it holds a quote, a comma or a line end, quotes doubled.
QByteArray csvField(const QByteArray &text)
{
    if (!text.contains('"') && !text.contains(',') && !text.contains('\n') && !text.contains('\r'))
        return text;
    QByteArray quoted = text;
    quoted.replace("\"", "\"\"");
    return '"' + quoted + '"';
}

QString csvRow(const QByteArray &path, const char *kind, int64_t bytes, const QByteArray &time)
{
    return QString::fromUtf8(csvField(escapedPath(path)) + ',' + kind + ',' + QByteArray::number(qlonglong(bytes)) + ','
                             + time);
}

// A file's row: its size (with `diskUsage` its allocated bytes) and time, or 0 and no time when
// it could not be read.
QString fileRow(const QByteArray &path, const FileFacts *facts, bool diskUsage)
{
    return facts ? csvRow(path, "file", diskUsage ? facts->allocated : facts->length,
                          IsoModifiedText(facts->modifiedSeconds))
                 : csvRow(path, "file", 0, {});
}
} // namespace

QByteArray escapedPath(QByteArrayView native)
{
    QByteArray out;
    out.reserve(native.size());
    const auto *s = reinterpret_cast<const unsigned char *>(native.data());
    for (qsizetype i = 0; i < native.size();) {
        char32_t c = 0;
        const int len = utf8Sequence(s + i, native.size() - i, c);
        if (len == 1 && c == '\\') {
            out += "\\\\";
        } else if (len > 0 && !breaks(c)) {
            out.append(native.data() + i, len);
        } else {
            for (int k = 0; k < std::max(len, 1); ++k) {
                const unsigned char b = s[i + k];
                out += "\\x";
                out += Hex[b >> 4];
                out += Hex[b & 15];
            }
        }
        i += std::max(len, 1);
    }
    return out;
}

ListingChoices csvChoices(ListingChoices choices)
{
    choices.folderSizes = choices.fileSizes = choices.dates = true;
    return choices;
}

ListingLines csvLines(bool diskUsage)
{
    ListingLines lines;
    lines.folder = [](const QByteArray &path, const QString &, std::optional<ShownSize> size, int, int64_t modified) {
        return csvRow(path, "folder", size ? size->bytes : 0, IsoModifiedText(modified));
    };
    lines.recursiveFile = [](TextLines &to, const QByteArray &dir, const char *name, LineKey key) {
        to.append(csvRow(joinPath(dir, name), "file", key.bytes, IsoModifiedText(key.modified)), key);
    };
    lines.files = [diskUsage](const QByteArray &folder, const FileListElement &files, const QString &, TextLines &out,
                              const ListingProblem &problem) {
        FolderFileFacts facts(folder);
        SeenFiles seen;
        ShownSize total;
        constexpr int Slice = 16384;
        for (int i = 0; i < files.count(); ++i) {
            if (i % Slice == 0)
                facts.lookUp(i, std::min(Slice, files.count() - i), [&files](int k) { return files.nativeName(k); });
            const QByteArray path = folder + files.nativeName(i);
            try {
                const FileFacts f = facts.read(i, files.nativeName(i));
                const int64_t size = diskUsage ? f.allocated : f.length;
                if (seen.firstSight(f.device, f.inode, f.links, size))
                    total += {size, 1};
                out.append(fileRow(path, &f, diskUsage));
            } catch (const std::exception &e) {
                problem(errorDescription(e), displayName(path));
                out.append(fileRow(path, nullptr, diskUsage));
            }
        }
        return total;
    };
    lines.file = [diskUsage](const QByteArray &path, const QString &, qsizetype, const FileFacts *facts,
                             const QString &) { return fileRow(path, facts, diskUsage);
    };
    return lines;
}

TextLines csvListing(const ListingSnapshot &s, const QString &moreColumns)
{
    TextLines out;
    out.append(QStringLiteral("path,kind,size,modified") + moreColumns);
    if (s.includeFolders)
        out.appendText(s.folderLines);
    out.appendText(s.fileLines);
    return out;
}
