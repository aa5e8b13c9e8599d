// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/scan/tree/TreeLineMaker.h"

#include "core/scan/PathLineMaker.h"
#include "core/shared/Text.h"

TreeLineMaker::TreeLineMaker(std::shared_ptr<const ScanTree> tree, ScanTree::Index folder, QByteArray path,
                             bool diskUsage, ScanTree::Index first)
    : tree_(std::move(tree)), folder_(folder), path_(std::move(path)),
      nameStart_(plainNameStart(path_)), diskUsage_(diskUsage),
      first_(first)
{
}

std::shared_ptr<TreeLineMaker> TreeLineMaker::next(std::shared_ptr<TreeLineMaker> last,
                                                   const std::shared_ptr<const ScanTree> &tree, ScanTree::Index folder,
                                                   ScanTree::Index entry, bool diskUsage)
{
    if (last && last->folder_ == folder && last->first_ + last->size_ == entry)
        return last;
    // A run broken (by a name with no line) goes on in a new maker that shares the path.
    return std::make_shared<TreeLineMaker>(tree, folder, last && last->folder_ == folder ? last->path_ : tree->path(folder),
                                           diskUsage, entry);
}

int64_t TreeLineMaker::bytesOf(ScanTree::Index entry) const
{
    return diskUsage_ ? tree_->allocated(entry) : tree_->at(entry).length;
}

qsizetype TreeLineMaker::add(ScanTree::Index entry, LineKey &key)
{
    Q_ASSERT(entry == first_ + size_);
    key.bytes = bytesOf(entry);
    key.modified = tree_->at(entry).modified;
    key.nameEnd = recursiveNameEnd(path_, nameStart_, tree_->name(entry), key.bytes);
    return size_++;
}

QByteArrayView TreeLineMaker::makeView(qsizetype i) const
{
    const auto entry = ScanTree::Index(first_ + i);
    int32_t nameEnd = 0;
    return recursiveFileLine(path_, tree_->name(entry), bytesOf(entry), nameEnd);
}

QByteArray TreeLineMaker::name(qsizetype i) const
{
    return displayName(tree_->name(ScanTree::Index(first_ + i))).toUtf8();
}
