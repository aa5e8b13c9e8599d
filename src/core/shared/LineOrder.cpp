// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/shared/LineOrder.h"

#include <algorithm>

namespace {
// A block splits in two halves when it grows past twice this.
constexpr size_t BlockSize = 512;
}

void LineOrder::setSortBy(SortBy by)
{
    by_ = by;
    blocks_.clear();
    counted_ = false;
    if (by_ == SortBy::Name)
        return;
    std::vector<Slot> all;
    all.reserve(size_);
    for (size_t i = 0; i < size_; ++i)
        all.push_back({sortKey(key(qsizetype(i))), uint32_t(i)});
    std::stable_sort(all.begin(), all.end(), [](const Slot &a, const Slot &b) { return a.key > b.key; });
    for (size_t i = 0; i < all.size(); i += BlockSize)
        blocks_.emplace_back(all.begin() + std::ptrdiff_t(i), all.begin() + std::ptrdiff_t(std::min(all.size(), i + BlockSize)));
}

void LineOrder::add(LineKey key)
{
    const uint32_t line = uint32_t(size_);
    if (size_ % ChunkKeys == 0)
        chunks_.push_back(std::make_unique<LineKey[]>(ChunkKeys));
    chunks_.back()[size_ % ChunkKeys] = key;
    ++size_;
    if (by_ == SortBy::Name)
        return;
    counted_ = false;
    const Slot slot{sortKey(key), line};
    // The first block that ends with a smaller key takes the line, after every equal key:
    // the new line comes last in name order among its ties.
    auto block = std::partition_point(blocks_.begin(), blocks_.end(),
                                      [&](const std::vector<Slot> &b) { return b.back().key >= slot.key; });
    if (block == blocks_.end()) {
        if (blocks_.empty() || blocks_.back().size() >= 2 * BlockSize) {
            blocks_.emplace_back().reserve(2 * BlockSize + 1);
            blocks_.back().push_back(slot);
            return;
        }
        block = blocks_.end() - 1;
    }
    const auto at = std::partition_point(block->begin(), block->end(), [&](const Slot &s) { return s.key >= slot.key; });
    block->insert(at, slot);
    if (block->size() > 2 * BlockSize) {
        std::vector<Slot> second(block->begin() + BlockSize, block->end());
        block->resize(BlockSize);
        blocks_.insert(block + 1, std::move(second));
    }
}

void LineOrder::clear()
{
    chunks_.clear();
    size_ = 0;
    blocks_.clear();
    counted_ = false;
}

void LineOrder::countRows() const
{
    firstRow_.resize(blocks_.size());
    qsizetype row = 0;
    for (size_t b = 0; b < blocks_.size(); ++b) {
        firstRow_[b] = row;
        row += qsizetype(blocks_[b].size());
    }
    counted_ = true;
}

qsizetype LineOrder::line(qsizetype row) const
{
    if (by_ == SortBy::Name)
        return row;
    if (!counted_)
        countRows();
    const size_t b = size_t(std::upper_bound(firstRow_.begin(), firstRow_.end(), row) - firstRow_.begin()) - 1;
    return blocks_[b][size_t(row - firstRow_[b])].line;
}
