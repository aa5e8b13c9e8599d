// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "core/scan/engine/Tally.h"

#include <QHashFunctions>
#include <QSet>

#include <algorithm>
#include <array>
#include <cstdint>
#include <functional>
#include <sys/stat.h>
#include <sys/types.h>
#include <unordered_map>

// The files with several names (hard links) a count has met, so that no total counts one
// file twice. A file with a single name cannot be met again and is never remembered, which
// keeps the cost at one look at st_nlink for nearly every file. Every folder the count walked
// is remembered, so that a folder met again (a bind mount of one counted already) is not
// counted again; folders are few beside files.
//
// Order is the contract: a file counts where it is met first, in the order the count goes
// (the folder lines in list order, each tree depth first, then the folder's own files), as
// `du -sb A B C` counts. Counts made apart, each with its own SeenFiles, give the same
// figures when they are merged in that same order (see merge).
class SeenFiles {
public:
    // Whether a file of this status adds its length here: always for a single name, and for
    // a file of several names only the first time it is met.
    bool firstSight(const struct stat &st)
    {
        return firstSight(st.st_dev, st.st_ino, st.st_nlink, st.st_size, Tally::allocatedOf(st));
    }
    bool firstSight(dev_t device, ino_t inode, nlink_t links, int64_t length, int64_t allocated = 0)
    {
        if (links <= 1)
            return true;
        return lengths_.try_emplace(Key{device, inode}, Sizes{length, allocated}).second;
    }

    // Whether a folder is walked here: only the first time it is met.
    bool firstSightOfFolder(dev_t device, ino_t inode) { return folders_.insert(Key{device, inode}); }

    // Whether `later`, a count made apart, walked a folder this one has met: its figures then
    // hold files counted here already, whatever their number of names, and it must be counted
    // again after this one.
    bool sharesFolderWith(const SeenFiles &later) const;

    // Takes in a count made apart that comes after everything this one has counted and shares
    // no folder with it: answers what `later` counted for files this one had met already (to
    // be taken off `later`'s figures), and remembers `later`'s files and folders.
    Tally merge(const SeenFiles &later);

    void clear()
    {
        lengths_.clear();
        folders_.clear();
    }

private:
    struct Key {
        dev_t dev;
        ino_t ino;
        bool operator==(const Key &) const = default;
    };
    struct KeyHash {
        size_t operator()(const Key &k) const noexcept { return std::hash<uint64_t>()(uint64_t(k.ino) * 31 + uint64_t(k.dev)); }
    };
    friend size_t qHash(const Key &k, size_t seed) noexcept { return qHashMulti(seed, uint64_t(k.dev), uint64_t(k.ino)); }
    struct Sizes {
        int64_t length, allocated;
    };
    // The folders met: the first few in place, as most counts made apart are of a small tree
    // (a folder of files), and all of them in a set beyond that.
    class Folders {
    public:
        bool insert(const Key &key)
        {
            if (!many_.empty()) {
                const qsizetype before = many_.size();
                many_.insert(key);
                return many_.size() != before;
            }
            if (contains(key))
                return false;
            if (few_ < InPlace) {
                inPlace_[few_++] = key;
                return true;
            }
            for (const Key &k : inPlace_)
                many_.insert(k);
            many_.insert(key);
            return true;
        }
        bool contains(const Key &key) const
        {
            if (!many_.empty())
                return many_.contains(key);
            return std::find(inPlace_.begin(), inPlace_.begin() + few_, key) != inPlace_.begin() + few_;
        }
        size_t size() const { return many_.empty() ? few_ : size_t(many_.size()); }
        template <typename F>
        void forEach(F f) const
        {
            if (!many_.empty())
                std::for_each(many_.begin(), many_.end(), f);
            else
                std::for_each(inPlace_.begin(), inPlace_.begin() + few_, f);
        }
        // Whether `f` holds for any of them.
        template <typename F>
        bool any(F f) const
        {
            if (!many_.empty())
                return std::any_of(many_.begin(), many_.end(), f);
            return std::any_of(inPlace_.begin(), inPlace_.begin() + few_, f);
        }
        void clear()
        {
            many_.clear();
            few_ = 0;
        }

    private:
        static constexpr size_t InPlace = 4;
        std::array<Key, InPlace> inPlace_{};
        size_t few_ = 0; // of inPlace_, while the set is empty
        // Qt's hash keeps its entries together: no block for each one, and a look-up in a big
        // set (a scan's 20,000 folders) touches little memory.
        QSet<Key> many_;
    };
    std::unordered_map<Key, Sizes, KeyHash> lengths_;
    Folders folders_;
};
