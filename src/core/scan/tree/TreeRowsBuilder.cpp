// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/scan/tree/TreeRowsBuilder.h"

#include "core/scan/FolderLine.h"

TreeRowsBuilder::TreeRowsBuilder(std::shared_ptr<ScanTree> tree, bool diskUsage, Row row)
    : ScanTreeBuilder(*tree), tree_(std::move(tree)), diskUsage_(diskUsage), row_(std::move(row))
{
}

void TreeRowsBuilder::entry(const FoundEntry &e)
{
    ScanTreeBuilder::entry(e);
    // The scan's folder's own files are the file list's, not the recursive listing's.
    const ScanTree::Index folder = tree_->current();
    if (folder == 0 || folder == ScanTree::None || e.kind == FoundEntry::Kind::Folder || e.linksToFolder || e.excluded
        || e.problem != FoundEntry::Problem::None || !hasRecursiveLine(e.name))
        return;
    const ScanTree::Index added = tree_->size() - 1;
    maker_ = TreeLineMaker::next(std::move(maker_), tree_, folder, added, diskUsage_);
    LineKey key;
    const qsizetype line = maker_->add(added, key);
    row_(maker_, line, key);
}
