// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <array>
#include <atomic>
#include <bit>
#include <cstddef>
#include <memory>
#include <utility>

// Rows that grow at the end and never move: they lie in blocks of doubling size, the first of
// 2^FirstBits rows, and a block once taken stays where it is. So a thread handed the table may
// read the rows added before it was handed it while the thread that owns it adds more; and a
// row's reference stays good as the table grows. Rows are not filled in before they are added,
// so a block's pages are not touched before its rows come.
template <typename T, unsigned FirstBits>
class StableTable {
public:
    StableTable() = default;
    StableTable(StableTable &&other) noexcept : blocks_(std::move(other.blocks_)), size_(other.size_.exchange(0)) {}
    StableTable &operator=(StableTable &&other) noexcept
    {
        blocks_ = std::move(other.blocks_);
        size_ = other.size_.exchange(0);
        return *this;
    }

    // The rows added so far; a reader on another thread sees at least those (and their rows) it
    // was handed, and any it sees more of are whole.
    size_t size() const { return size_.load(std::memory_order_acquire); }
    bool empty() const { return size() == 0; }
    const T &operator[](size_t i) const { return const_cast<StableTable &>(*this)[i]; }
    T &operator[](size_t i)
    {
        const size_t j = i + First;
        const unsigned block = unsigned(std::bit_width(j)) - 1 - FirstBits;
        return blocks_[block][j - (First << block)];
    }
    T &back() { return (*this)[size() - 1]; }
    const T &back() const { return (*this)[size() - 1]; }

    T &push_back(T row)
    {
        const size_t at = size_.load(std::memory_order_relaxed); // only the owner adds
        const size_t j = at + First;
        const unsigned block = unsigned(std::bit_width(j)) - 1 - FirstBits;
        if (!blocks_[block])
            blocks_[block] = std::make_unique_for_overwrite<T[]>(First << block);
        T &added = blocks_[block][j - (First << block)];
        added = std::move(row);
        size_.store(at + 1, std::memory_order_release);
        return added;
    }

    // The first row from which `before(row)` is false, or size(): the rows must be ordered so.
    template <typename Before>
    size_t partitionPoint(Before before) const
    {
        size_t first = 0, count = size();
        while (count > 0) {
            const size_t half = count / 2;
            if (before((*this)[first + half])) {
                first += half + 1;
                count -= half + 1;
            } else {
                count = half;
            }
        }
        return first;
    }

    // The bytes of its rows (a block's rows not yet added take no memory until they are).
    size_t bytesHeld() const { return size() * sizeof(T); }

private:
    static constexpr size_t First = size_t(1) << FirstBits;
    std::array<std::unique_ptr<T[]>, 64 - FirstBits> blocks_;
    std::atomic<size_t> size_ = 0;
};
