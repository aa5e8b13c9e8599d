// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "core/scan/engine/FoundEntry.h"
#include "core/scan/tree/StableTable.h"

#include <QByteArray>
#include <QByteArrayView>
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

// What a scan saw, held compactly: one small record per entry in walk order, names as bytes in
// an arena, and for each folder walked the end of its part of the walk and its totals. A
// folder's part of the walk is the folder itself and everything below it, one run of records,
// so that a folder's entries, or every file below it, are read without an index; a record
// names its folder, so that a path is read upwards.
//
// Totals add up each file's length once, where the walk met it first, as the scan's totals do
// (links at their own length; folders add nothing of their own). Nothing it holds moves as it
// grows: a view may hold an index, and a thread handed the tree may read what was added before
// it was handed it while its builder adds more (a folder's end and totals once it was left).
class ScanTree {
public:
    using Index = uint32_t;
    static constexpr Index None = UINT32_MAX;

    struct Totals {
        int64_t bytes = 0;     // lengths, each file once
        int64_t allocated = 0; // disk usage, each file once
        int64_t files = 0;     // entries other than folders walked, each file once
    };

    // One entry, 32 bytes.
    struct __attribute__((packed, aligned(4))) Entry {
        int64_t length;
        int64_t modified; // seconds
        // The room it takes on the disk in 512-byte blocks, or ManyBlocks: its allocated bytes are
        // not a whole number of blocks that fits here (see ScanTree::allocated).
        uint32_t blocks;
        Index folder;     // the folder it lies in (None for the top)
        uint32_t name;    // where its name starts in the arena
        uint8_t nameLength;
        FoundEntry::Kind kind;
        FoundEntry::Problem problem;
        uint8_t flags;
        enum : uint8_t {
            Walked = 1,
            Counted = 2,
            KernelView = 4,
            MetBefore = 8,
            OtherDevice = 16,
            LinkToFolder = 32,
            PassedOver = 64,
            OtherFileSystem = 128 // a folder not walked, as the scan stayed on one file system
        };

        bool walked() const { return flags & Walked; }
        // A name the scan's exclusions passed over: nothing else is known of it, and a listing
        // counts it among the names excluded, as the folder's own listing would.
        bool passedOver() const { return flags & PassedOver; }
        // A link that leads to a folder: a folder line of its folder's listing, never walked.
        bool linksToFolder() const { return flags & LinkToFolder; }
        // A line of the folder list: a folder, walked or not, or a link to one.
        bool listedAsFolder() const { return !passedOver() && (kind == FoundEntry::Kind::Folder || linksToFolder()); }
        // Its length is in the totals: not a further name of a file met before.
        bool counted() const { return flags & Counted; }
        static constexpr uint32_t ManyBlocks = UINT32_MAX;
    };

    // What a walk found of an entry beyond its record, kept for the few entries a scan file
    // names it for: the top (its device), a folder on another device than the one above it
    // (its device), and a file of several names (its device, inode and link count), so that
    // the tree is written out as the walk would have been (see writeScanTree).
    struct Identity {
        Index entry;
        uint32_t links;
        uint64_t device;
        uint64_t inode;
    };

    ScanTree();

    Index size() const { return size_; }
    bool isEmpty() const { return size_ == 0; }
    const Entry &at(Index i) const { return entries_[i]; }
    QByteArrayView name(Index i) const;
    // The room entry `i` takes on the disk, in bytes.
    int64_t allocated(Index i) const;
    // Its path from the top's, joined with "/".
    QByteArray path(Index i) const;
    // For a folder walked: one past the last entry below it (for any other entry: i + 1).
    Index end(Index i) const;
    // The next entry in the same folder: past everything below a folder walked.
    Index next(Index i) const { return end(i); }
    // The first entry in folder `i`.
    static Index first(Index i) { return i + 1; }
    // For a folder walked: the totals of everything below it. Complete once it was left.
    Totals totals(Index folder) const;
    // What entry `i` counts as a line of its folder's list: a folder walked, its totals; any
    // other entry, its own length once if it is counted (a link to a folder, say), else nothing.
    // None counts nothing.
    Totals counted(Index i) const;

    // Which file an entry is, so that a view that adds up part of the tree in its own order
    // counts a file of several names once: the device, inode and link count of a file of
    // several names; of any other entry, a link count of 1 and nothing else.
    struct FileId {
        dev_t device = 0;
        ino_t inode = 0;
        nlink_t links = 1;
    };
    FileId fileId(Index i) const;

    // The folder walked at `relativePath` below folder `from` (its names joined with "/"; empty
    // and "." parts are passed over), or None when there is none such.
    Index find(QByteArrayView relativePath, Index from = 0) const;

    // Building, in walk order: a folder walked is entered, and left after everything below it.
    Index enter(const FoundEntry &folder);
    void markProblem(FoundEntry::Problem problem);
    void leave();
    Index add(const FoundEntry &entry, bool counted);
    // The top's own status, for a tree whose top was entered by its path alone before it was
    // taken (its name stays).
    void setTop(const FoundEntry &top);
    // Whether setTop gave the top its status.
    bool topFound() const { return topFound_; }
    // Its Identity, for the top, a folder on another device or a file of several names; else null.
    const Identity *identity(Index i) const;
    // The folder entered last and not yet left, or None.
    Index current() const { return open_.empty() ? None : folders_[open_.back()].entry; }

    // The memory it holds: its records, its names and its folders' ends and totals.
    size_t bytesHeld() const;

private:
    static constexpr uint32_t ArenaBlock = 1 << 20; // names never cross a block's end
    Entry &append(const FoundEntry &e, uint8_t flags);
    // What entry `i` keeps of `allocated` bytes: its blocks, or ManyBlocks with the bytes kept apart.
    uint32_t blocksOf(Index i, int64_t allocated);
    size_t folderSlot(Index i) const; // in folders_, for a folder walked

    struct Folder {
        Index entry;
        Index end;
        Totals totals;
    };
    StableTable<Entry, 12> entries_;
    StableTable<std::unique_ptr<char[]>, 4> arena_;
    uint32_t arenaUsed_ = ArenaBlock; // in the last block
    Index size_ = 0;
    StableTable<Folder, 8> folders_; // in walk order, so by entry
    std::vector<size_t> open_;       // folders entered and not left (in folders_), outermost first
    StableTable<Identity, 6> identities_; // by entry
    // The allocated bytes of the ManyBlocks entries, by entry; the top's apart, as setTop may
    // change it after others are added.
    StableTable<std::pair<Index, int64_t>, 6> manyBlocks_;
    int64_t topAllocated_ = 0;
    QByteArray topName_;
    bool topFound_ = false;
};
