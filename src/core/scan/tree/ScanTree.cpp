// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/scan/tree/ScanTree.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

static_assert(sizeof(ScanTree::Entry) == 32);

ScanTree::ScanTree() = default;

QByteArrayView ScanTree::name(Index i) const
{
    if (i == 0)
        return topName_;
    const Entry &e = at(i);
    return {arena_[e.name / ArenaBlock].get() + e.name % ArenaBlock, e.nameLength};
}

uint32_t ScanTree::blocksOf(Index i, int64_t allocated)
{
    if (allocated >= 0 && allocated % 512 == 0 && allocated / 512 < Entry::ManyBlocks)
        return uint32_t(allocated / 512);
    if (i == 0)
        topAllocated_ = allocated;
    else
        manyBlocks_.push_back({i, allocated}); // entries come in order
    return Entry::ManyBlocks;
}

int64_t ScanTree::allocated(Index i) const
{
    const uint32_t blocks = at(i).blocks;
    if (blocks != Entry::ManyBlocks)
        return int64_t(blocks) * 512;
    if (i == 0)
        return topAllocated_;
    const size_t row = manyBlocks_.partitionPoint([i](const std::pair<Index, int64_t> &kept) { return kept.first < i; });
    return row < manyBlocks_.size() && manyBlocks_[row].first == i ? manyBlocks_[row].second : 0;
}

QByteArray ScanTree::path(Index i) const
{
    std::vector<Index> chain;
    for (Index at = i; at != None; at = this->at(at).folder)
        chain.push_back(at);
    QByteArray path = name(chain.back()).toByteArray();
    for (auto it = chain.rbegin() + 1; it != chain.rend(); ++it) {
        if (!path.endsWith('/'))
            path += '/';
        path += name(*it);
    }
    return path;
}

size_t ScanTree::folderSlot(Index i) const
{
    const size_t slot = folders_.partitionPoint([i](const Folder &f) { return f.entry < i; });
    return slot < folders_.size() && folders_[slot].entry == i ? slot : SIZE_MAX;
}

ScanTree::Index ScanTree::end(Index i) const
{
    if (!at(i).walked())
        return i + 1;
    const Folder &f = folders_[folderSlot(i)];
    return f.end == None ? size_ : f.end;
}

ScanTree::Totals ScanTree::totals(Index folder) const
{
    const size_t slot = folderSlot(folder);
    return slot == SIZE_MAX ? Totals{} : folders_[slot].totals;
}

ScanTree::Totals ScanTree::counted(Index i) const
{
    if (i == None)
        return {};
    const Entry &e = at(i);
    if (e.walked())
        return totals(i);
    return e.counted() ? Totals{e.length, allocated(i), 1} : Totals{};
}

ScanTree::FileId ScanTree::fileId(Index i) const
{
    const Identity *id = at(i).kind == FoundEntry::Kind::Folder ? nullptr : identity(i);
    return id ? FileId{dev_t(id->device), ino_t(id->inode), nlink_t(id->links)} : FileId{};
}

ScanTree::Index ScanTree::find(QByteArrayView relativePath, Index from) const
{
    Index at = from;
    for (qsizetype part = 0; part <= relativePath.size() && at != None;) {
        qsizetype endOfPart = relativePath.indexOf('/', part);
        if (endOfPart < 0)
            endOfPart = relativePath.size();
        const QByteArrayView name = relativePath.sliced(part, endOfPart - part);
        part = endOfPart + 1;
        if (name.isEmpty() || name == ".")
            continue;
        const Index folder = at;
        at = None;
        for (Index i = first(folder); i < end(folder); i = next(i))
            if (this->at(i).walked() && this->name(i) == name) {
                at = i;
                break;
            }
    }
    return at != None && at < size_ && this->at(at).walked() ? at : None;
}

ScanTree::Entry &ScanTree::append(const FoundEntry &e, uint8_t flags)
{
    if (size_ == None - 1)
        throw std::length_error("too many entries");
    // The top's name is its path, of any length, kept apart. A name longer than a file
    // system allows is kept to its first 255 bytes.
    if (size_ == 0)
        topName_ = e.name.toByteArray();
    const auto length = uint8_t(std::min<qsizetype>(e.name.size(), 255));
    if (arenaUsed_ + length > ArenaBlock) {
        if (arena_.size() >= UINT32_MAX / ArenaBlock)
            throw std::length_error("names too long");
        arena_.push_back(std::make_unique_for_overwrite<char[]>(ArenaBlock));
        arenaUsed_ = 0;
    }
    const uint32_t name = uint32_t(arena_.size() - 1) * ArenaBlock + arenaUsed_;
    std::memcpy(arena_.back().get() + arenaUsed_, e.name.data(), length);
    arenaUsed_ += length;

    Entry &entry = entries_.push_back(
        Entry{e.length, e.modified, blocksOf(size_, e.allocated), current(), name, length, e.kind, e.problem, flags});
    if (e.notWalked == FoundEntry::NotWalked::KernelView)
        entry.flags |= Entry::KernelView;
    if (e.notWalked == FoundEntry::NotWalked::MetBefore)
        entry.flags |= Entry::MetBefore;
    if (e.notWalked == FoundEntry::NotWalked::OtherFileSystem)
        entry.flags |= Entry::OtherFileSystem;
    if (e.otherDevice)
        entry.flags |= Entry::OtherDevice;
    if (e.linksToFolder)
        entry.flags |= Entry::LinkToFolder;
    if (e.excluded)
        entry.flags |= Entry::PassedOver;
    if (e.kind == FoundEntry::Kind::Folder ? size_ == 0 || e.otherDevice : e.links > 1) // a folder's device alone
        identities_.push_back(e.kind == FoundEntry::Kind::Folder
                                  ? Identity{size_, 1, uint64_t(e.device), 0}
                                  : Identity{size_, uint32_t(std::min<uint64_t>(e.links, UINT32_MAX)), uint64_t(e.device),
                                             uint64_t(e.inode)});
    ++size_;
    return entry;
}

void ScanTree::setTop(const FoundEntry &top)
{
    if (size_ == 0)
        return;
    Entry &e = entries_[0];
    e.length = top.length;
    e.modified = top.modified;
    e.blocks = blocksOf(0, top.allocated);
    identities_[0].device = uint64_t(top.device); // the top always has one
    topFound_ = true;
}

ScanTree::Index ScanTree::enter(const FoundEntry &folder)
{
    append(folder, Entry::Walked);
    const Index i = size_ - 1;
    open_.push_back(folders_.size());
    folders_.push_back({i, None, {}});
    return i;
}

void ScanTree::markProblem(FoundEntry::Problem problem)
{
    if (const Index i = current(); i != None)
        entries_[i].problem = problem;
}

void ScanTree::leave()
{
    if (open_.empty())
        return;
    Folder &left = folders_[open_.back()];
    left.end = size_;
    open_.pop_back();
    if (!open_.empty()) {
        Totals &up = folders_[open_.back()].totals;
        up.bytes += left.totals.bytes;
        up.allocated += left.totals.allocated;
        up.files += left.totals.files;
    }
}

ScanTree::Index ScanTree::add(const FoundEntry &entry, bool counted)
{
    append(entry, counted ? Entry::Counted : 0);
    if (counted && !open_.empty()) {
        Totals &t = folders_[open_.back()].totals;
        t.bytes += entry.length;
        t.allocated += entry.allocated;
        ++t.files;
    }
    return size_ - 1;
}

const ScanTree::Identity *ScanTree::identity(Index i) const
{
    const size_t row = identities_.partitionPoint([i](const Identity &id) { return id.entry < i; });
    return row < identities_.size() && identities_[row].entry == i ? &identities_[row] : nullptr;
}

size_t ScanTree::bytesHeld() const
{
    const size_t names = arena_.empty() ? 0 : (arena_.size() - 1) * size_t(ArenaBlock) + arenaUsed_;
    return entries_.bytesHeld() + names + folders_.bytesHeld()
           + open_.capacity() * sizeof(size_t) + identities_.bytesHeld() + manyBlocks_.bytesHeld();
}
