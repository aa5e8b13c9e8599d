// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/listing/ScanCompare.h"

#include "core/scan/ByteConverter.h"
#include "core/scan/FolderLine.h"
#include "core/shared/Text.h"

#include <algorithm>
#include <cstdlib>
#include <optional>

namespace {
LineChange changeOf(const ListedItem *before, const ListedItem *after)
{
    if (!before)
        return {ChangeKind::New, after->bytes.value_or(0)};
    if (!after)
        return {ChangeKind::Gone, -before->bytes.value_or(0)};
    if (!before->bytes || !after->bytes || *before->bytes == *after->bytes)
        return {};
    const int64_t delta = *after->bytes - *before->bytes;
    return {delta > 0 ? ChangeKind::Grown : ChangeKind::Shrunk, delta};
}

// Both sections' items in one list in their order, each with its change: the newer ones, and
// those of the older only.
template <typename Less>
void merge(const std::vector<ListedItem> &before, const std::vector<ListedItem> &after, Less less,
           std::vector<ComparedLine> &lines)
{
    lines.reserve(std::max(before.size(), after.size()));
    size_t b = 0, a = 0;
    while (b < before.size() || a < after.size()) {
        const bool takeBefore = a == after.size() || (b < before.size() && less(before[b].path, after[a].path));
        const bool same = !takeBefore && b < before.size() && before[b].path == after[a].path;
        const ListedItem *older = takeBefore || same ? &before[b++] : nullptr;
        const ListedItem *newer = takeBefore ? nullptr : &after[a++];
        lines.push_back({older, newer, changeOf(older, newer)});
    }
}

// The folder's total: its lines' and its own files'.
ShownSize folderTotal(const ListedFolder &listed)
{
    ShownSize total{listed.ownBytes, listed.ownFiles};
    for (const ListedItem &f : listed.folders)
        total += {f.bytes.value_or(0), f.files};
    return total;
}

const auto byName = [](const QByteArray &a, const QByteArray &b) { return nameLess(a, b); };
} // namespace

QString changeMark(const LineChange &change)
{
    switch (change.kind) {
    case ChangeKind::Unchanged: return {};
    case ChangeKind::New: return QStringLiteral("  new");
    case ChangeKind::Gone: return QStringLiteral("  gone");
    case ChangeKind::Grown:
    case ChangeKind::Shrunk: break;
    }
    // Size text under 1 KB is a count of bytes padded for a column: a mark says it in words.
    const uint64_t size = uint64_t(std::llabs(change.delta));
    const QString magnitude = size < 1024 ? QString::number(size) + (size == 1 ? QStringLiteral(" byte") : QStringLiteral(" bytes"))
                                          : ByteConverter(double(size));
    return QStringLiteral("  ") + (change.delta < 0 ? u'-' : u'+') + magnitude;
}

QByteArray changeField(const LineChange &change)
{
    switch (change.kind) {
    case ChangeKind::New: return "new";
    case ChangeKind::Gone: return "gone";
    case ChangeKind::Unchanged: return "0";
    case ChangeKind::Grown: return '+' + QByteArray::number(qlonglong(change.delta));
    case ChangeKind::Shrunk: break;
    }
    return QByteArray::number(qlonglong(change.delta));
}

ComparedLines compareLines(const ListedFolder &before, const ListedFolder &after)
{
    ComparedLines lines;
    merge(before.folders, after.folders, byName, lines.sections[int(ListedSection::Folders)]);
    merge(before.recursive, after.recursive, walkOrderLess, lines.sections[int(ListedSection::Recursive)]);
    merge(before.files, after.files, byName, lines.sections[int(ListedSection::Files)]);
    lines.oldTotal = folderTotal(before);
    lines.newTotal = folderTotal(after);
    return lines;
}

ComparedListing compareListings(const ListedFolder &before, const ListedFolder &after, const ListingLines &lines,
                                bool changesOnly, const std::function<QString(const LineChange &)> &mark)
{
    const ComparedLines compared = compareLines(before, after);
    // The newer listing's folder and totals, with the lines of both.
    ListedFolder both = after;
    both.folders.clear();
    both.recursive.clear();
    both.files.clear();
    std::vector<ListedItem> *items[3] = {&both.folders, &both.recursive, &both.files};
    for (int section = 0; section < 3; ++section) {
        items[section]->reserve(compared.sections[section].size());
        for (const ComparedLine &line : compared.sections[section]) {
            items[section]->push_back(line.after ? *line.after : *line.before);
            items[section]->back().gone = !line.after;
        }
    }

    ComparedListing listing;
    const ShownSize oldTotal = compared.oldTotal, newTotal = compared.newTotal;
    listing.oldTotal = oldTotal.bytes;
    listing.newTotal = newTotal.bytes;
    listing.snapshot = listingOf(both, lines, [&](ListedSection section, size_t item) -> std::optional<QString> {
        const LineChange &change = compared.sections[int(section)][item].change;
        if (changesOnly && change.kind == ChangeKind::Unchanged)
            return std::nullopt;
        (section == ListedSection::Folders ? listing.folderChanges : listing.fileChanges).push_back(change);
        return mark(change);
    });
    ListingSnapshot &s = listing.snapshot;
    // The newer scan's totals: a gone line's bytes are no longer there.
    const ListingChoices &choices = after.choices;
    s.folderLinesBytes = newTotal.bytes - after.ownBytes;
    s.folderLinesFiles = newTotal.files - after.ownFiles;
    s.parentFolderLine = s.currentFolderPath + choices.pattern;
    if (choices.folderSizes)
        s.parentFolderLine += QStringLiteral("  ") + ByteConverter(double(newTotal.bytes))
                              + countNote(newTotal, choices.counts) + QStringLiteral("  was ")
                              + ByteConverter(double(oldTotal.bytes)) + countNote(oldTotal, choices.counts);
    s.parentFolderLine = parentFolderText(s.parentFolderLine, std::nullopt, false, choices.diskUsage, after.passedOver);
    return listing;
}

TextLines keyedByChange(const TextLines &lines, const std::vector<LineChange> &changes)
{
    TextLines keyed;
    keyed.reserveKeyed(lines.size());
    const QList<LineKey> &keys = lines.keys();
    for (qsizetype i = 0; i < lines.size(); ++i) {
        LineKey key = i < keys.size() ? keys[i] : LineKey{};
        key.bytes = size_t(i) < changes.size() ? changes[size_t(i)].delta : 0;
        keyed.append(QByteArrayView(lines.utf8(i)), key);
    }
    return keyed;
}

ScanTree::Index samePlace(const ScanTree &newer, ScanTree::Index folder, const ScanTree &older)
{
    const auto below = [](const QByteArray &path, const QByteArray &top) -> std::optional<QByteArray> {
        if (path == top)
            return QByteArray();
        const QByteArray prefix = top.endsWith('/') ? top : top + '/';
        if (path.startsWith(prefix))
            return path.mid(prefix.size());
        return std::nullopt;
    };
    const QByteArray path = newer.path(folder);
    if (const std::optional<QByteArray> inOlder = below(path, older.path(0)))
        return older.find(*inOlder);
    return older.find(below(path, newer.path(0)).value_or(QByteArray()));
}
