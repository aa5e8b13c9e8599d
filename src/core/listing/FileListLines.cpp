// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/listing/FileListLines.h"

#include "core/listing/FileFacts.h"
#include "core/listing/FileLine.h"
#include "core/listing/FileLineMaker.h"
#include "core/listing/FileListElement.h"
#include "core/listing/ModifiedText.h"
#include "core/scan/ByteConverter.h"
#include "core/scan/engine/SeenFiles.h"
#include "core/shared/FsError.h"
#include "core/shared/Text.h"

#include <algorithm>
#include <memory>
#include <optional>

ShownSize fileListLines(const QByteArray &folder, const FileListElement &files, FileListColumns columns,
                        const QString &prefix, TextLines &lines,
                        const std::function<void(const QString &description, const QString &name)> &problem,
                        const std::function<void()> &keepAlive, const FileFactsReader &reader)
{
    ShownSize total;
    // First pass: the width of the name column.
    const int count = files.count();
    qsizetype longest = 0;
    std::vector<bool> plain(static_cast<size_t>(count)); // shown as its own bytes (see plainAscii)
    for (int i = 0; i < count; ++i) {
        const QByteArrayView native = files.nativeView(i);
        plain[size_t(i)] = plainAscii(native);
        longest = std::max(longest, plain[size_t(i)] ? native.size() : charCount(displayName(native)));
        keepAlive();
    }
    const qsizetype NameWidth = longest + 1;

    // Second pass: one line per file. A file that cannot be read is reported once for each
    // column that needs it, and keeps its line: 0 bytes, no date. Every name shows its file's
    // length; the total counts a file of several names once.
    const bool lookingUp = columns.size || columns.modified;
    const std::shared_ptr<FolderFileFacts> looking = !lookingUp ? std::make_shared<FolderFileFacts>(QByteArray())
                                                     : reader.open ? reader.open(folder)
                                                                   : std::make_shared<FolderFileFacts>(folder);
    const FolderFileFacts &folderFiles = *looking;
    SeenFiles seen;
    bool folderReported = false;
    const qsizetype prefixBytes = utf8Length(prefix);
    auto maker = std::make_shared<FileLineMaker>(files.namesKeeper(), NameWidth, columns, prefix, folderFiles.zone());
    maker->reserve(size_t(count));
    lines.reserveKeyed(count);
    // The files are looked up a slice at a time, so that a big folder's facts are never all
    // held at once beside its lines.
    constexpr int LookUpSlice = 16384;
    for (int ItemIndex = 0; ItemIndex < count; ++ItemIndex) {
        if (lookingUp && ItemIndex % LookUpSlice == 0) {
            const int slice = std::min(LookUpSlice, count - ItemIndex);
            if (reader.lookUp)
                reader.lookUp(looking, ItemIndex, slice);
            else
                looking->lookUp(ItemIndex, slice, [&files](int i) { return files.nativeName(i); }, keepAlive);
        }
        keepAlive();
        const char *const nativeName = files.nativeName(ItemIndex);
        FileFacts facts;
        std::optional<QString> failure;
        if (lookingUp) {
            try {
                facts = folderFiles.read(ItemIndex, nativeName);
            } catch (const std::exception &e) {
                failure = errorDescription(e);
            }
        }
        // A folder that is gone is reported once, not for each of its files and columns.
        if (failure && folderFiles.folderGone()) {
            if (!folderReported)
                problem(*failure, QString());
            folderReported = true;
            failure.reset();
        }
        LineKey key; // what the list may be sorted by: only what the line shows
        const QByteArrayView native = files.nativeView(ItemIndex);
        key.nameEnd = int32_t(prefixBytes + (plain[size_t(ItemIndex)] ? native.size() : utf8Length(displayName(native))));
        if (columns.size) {
            if (failure)
                problem(*failure, files.name(ItemIndex));
            const int64_t FileBytes = columns.diskUsage ? facts.allocated : facts.length;
            if (!failure && seen.firstSight(facts.device, facts.inode, facts.links, FileBytes))
                total += {FileBytes, 1}; // one that cannot be read counts nothing
            key.bytes = FileBytes;
        }
        if (columns.modified) {
            if (failure)
                problem(*failure, files.name(ItemIndex));
            key.modified = facts.modifiedSeconds;
        }
        // The line itself is made when it is read, from the name and these facts (the zero
        // timestamp when unread): the size it shows, allocated bytes with disk usage.
        maker->add(nativeName, columns.diskUsage ? facts.allocated : facts.length, facts.modifiedSeconds,
                   lookingUp && !failure);
        lines.appendMade(maker, ItemIndex, key);
    }

    return total;
}

QString fileListLine(const QString &name, qsizetype nameWidth, FileListColumns columns, const FileFacts &facts,
                     LineKey &key)
{
    FileLineColumns shown;
    if (columns.size) {
        const int64_t FileBytes = columns.diskUsage ? facts.allocated : facts.length;
        shown.sizeText = ByteConverter(double(FileBytes));
        key.bytes = FileBytes;
    }
    if (columns.modified) {
        const QDateTime &FileModified = facts.modified; // the zero timestamp when unread
        shown.modifiedText = FileModifiedText(FileModified);
        key.modified = facts.modifiedSeconds;
    }
    return BuildFileListLine(name, nameWidth, shown);
}
