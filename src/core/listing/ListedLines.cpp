// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/listing/ListedLines.h"

#include "core/listing/FileFacts.h"
#include "core/scan/engine/FolderReader.h"
#include "core/shared/LineFilter.h"
#include "core/shared/Text.h"

#include <algorithm>
#include <optional>

ListedLayout::ListedLayout(const ListedFolder &listed)
    : path(listed.path), fileSizes(listed.choices.fileSizes), dates(listed.choices.dates)
{
    int longest = 0;
    for (const ListedItem &f : listed.folders)
        if (!f.gone)
            longest = std::max(longest, int(displayWidth(joinPath(listed.path, f.path))));
    folderWidth = longest + 1;
    qsizetype longestName = 0;
    for (const ListedItem &f : listed.files)
        if (!f.gone)
            longestName = std::max(longestName, displayWidth(f.path));
    nameWidth = longestName + 1;
    if (listed.choices.recursive)
        prefix = displayName(listed.path.endsWith('/') ? listed.path : listed.path + '/');
    prefixBytes = utf8Length(prefix);
    zone = QTimeZone::systemTimeZone();
}

LineKey folderKeyOf(const ListedItem &f, const ListedLayout &layout)
{
    // Its size when it shows one, its time, and its name's end.
    return f.bytes ? LineKey{*f.bytes, f.modified, int32_t(utf8Length(displayName(joinPath(layout.path, f.path))))}
                   : LineKey{-1, f.modified, -1};
}

ListedLine folderLineOf(const ListedItem &f, const ListedLayout &layout, const ListingLines &lines)
{
    const QByteArray path = joinPath(layout.path, f.path);
    return {lines.folder(path, displayName(path), f.bytes ? std::optional(ShownSize{*f.bytes, f.files}) : std::nullopt,
                         layout.folderWidth, f.modified),
            folderKeyOf(f, layout)};
}

LineKey fileKeyOf(const ListedItem &f, const ListedLayout &layout)
{
    LineKey key;
    key.nameEnd = int32_t(layout.prefixBytes + utf8Length(displayName(f.path)));
    if (layout.fileSizes)
        key.bytes = f.bytes.value_or(0);
    if (layout.dates)
        key.modified = f.bytes ? f.modified : 0;
    return key;
}

ListedLine fileLineOf(const ListedItem &f, const ListedLayout &layout, const ListingLines &lines)
{
    std::optional<FileFacts> facts; // none for a file the scan could not look at
    if (f.bytes)
        facts = FileFacts{*f.bytes, localModified(f.modified, layout.zone), 0, 0, 1, f.modified, *f.bytes};
    const QByteArray withSlash = layout.path.endsWith('/') ? layout.path : layout.path + '/';
    return {lines.file(withSlash + f.path, displayName(f.path), layout.nameWidth, facts ? &*facts : nullptr, layout.prefix),
            fileKeyOf(f, layout)};
}

TreeRowLines::TreeRowLines(std::shared_ptr<const ScanTree> tree, ListedLayout layout, ListingLines lines)
    : tree_(std::move(tree)), layout_(std::move(layout)), lines_(std::move(lines))
{
}

qsizetype TreeRowLines::add(const ListedItem &item, ScanTree::Index entry, bool folder)
{
    rows_.push_back({entry, folder, item.bytes.has_value(), item.bytes.value_or(0), item.modified, item.files});
    return qsizetype(rows_.size()) - 1;
}

ListedLine TreeRowLines::line(qsizetype i) const
{
    const Row &row = rows_[size_t(i)];
    ListedItem item;
    item.path = tree_->name(row.entry).toByteArray();
    if (row.counted)
        item.bytes = row.bytes;
    item.modified = row.modified;
    item.files = row.files;
    return row.folder ? folderLineOf(item, layout_, lines_) : fileLineOf(item, layout_, lines_);
}

QByteArray TreeRowLines::make(qsizetype i) const
{
    return line(i).text.toUtf8();
}

QByteArray TreeRowLines::name(qsizetype i) const
{
    const ListedLine made = line(i);
    return lineName(made.text.toUtf8(), made.key.nameEnd).toByteArray();
}
