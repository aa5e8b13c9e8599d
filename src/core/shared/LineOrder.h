// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <algorithm>
#include <QtGlobal>
#include <cstdint>
#include <memory>
#include <vector>

// What a list line is sorted by besides its place in name order: the bytes its size text
// shows (-1 when the line shows no size) and its modification time in seconds; and where, in
// its UTF-8, the path or name it shows ends and its columns begin (-1: the line is all name).
struct LineKey {
    int64_t bytes = -1;
    int64_t modified = INT64_MIN;
    int32_t nameEnd = -1;
};

enum class SortBy { Name, Size, Modified };

// The order in which a list shows its lines: lines are numbered as they are added, which is
// name order; by size the largest come first, by date the newest, and lines that tie keep
// name order among themselves. A line added later goes straight to its place (a search and an
// insertion into a block of at most a thousand places), so a list that grows line by line
// while a scan runs never costs more than a few comparisons a line.
class LineOrder {
public:
    SortBy sortBy() const { return by_; }
    // Puts every line added so far in the new order.
    void setSortBy(SortBy by);

    void add(LineKey key);
    void clear();
    qsizetype size() const { return qsizetype(size_); }
    // The line shown at `row`.
    qsizetype line(qsizetype row) const;
    const LineKey &key(qsizetype line) const { return chunks_[size_t(line) / ChunkKeys][size_t(line) % ChunkKeys]; }
    // Calls visit(line) for every line, in the order shown.
    template <typename Visit>
    void forEachLine(Visit &&visit) const
    {
        if (by_ == SortBy::Name) {
            for (size_t line = 0; line < size_; ++line)
                visit(qsizetype(line));
            return;
        }
        for (const std::vector<Slot> &block : blocks_)
            for (const Slot &slot : block)
                visit(qsizetype(slot.line));
    }

private:
    struct Slot {
        int64_t key;   // larger first
        uint32_t line; // ties in this order
    };
    int64_t sortKey(const LineKey &k) const { return by_ == SortBy::Size ? k.bytes : k.modified; }
    void countRows() const;

    SortBy by_ = SortBy::Name;
    // The keys, in chunks that never move once made: a list of a million lines grows without
    // copying the keys it holds, which took the window's thread away from its events for tens
    // of milliseconds at a time.
    static constexpr size_t ChunkKeys = 4096;
    std::vector<std::unique_ptr<LineKey[]>> chunks_;
    size_t size_ = 0;
    std::vector<std::vector<Slot>> blocks_; // empty in name order
    mutable std::vector<qsizetype> firstRow_; // of each block, once counted
    mutable bool counted_ = false;
};
