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
    manyBlocks_.insert(std::upper_bound(manyBlocks_.begin(), manyBlocks_.end(), std::pair(i, INT64_MAX)), {i, allocated});
    return Entry::ManyBlocks;
}

int64_t ScanTree::allocated(Index i) const
{
    const uint32_t blocks = at(i).blocks;
    if (blocks != Entry::ManyBlocks)
        return int64_t(blocks) * 512;
    const auto it = std::lower_bound(manyBlocks_.begin(), manyBlocks_.end(), std::pair(i, INT64_MIN));
    return it != manyBlocks_.end() && it->first == i ? it->second : 0;
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
    const auto it = std::lower_bound(folders_.begin(), folders_.end(), i,
                                     [](const Folder &f, Index entry) { return f.entry < entry; });
    return it != folders_.end() && it->entry == i ? size_t(it - folders_.begin()) : SIZE_MAX;
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
        arena_.push_back(std::make_unique<char[]>(ArenaBlock));
        arenaUsed_ = 0;
    }
    const uint32_t name = uint32_t(arena_.size() - 1) * ArenaBlock + arenaUsed_;
    std::memcpy(arena_.back().get() + arenaUsed_, e.name.data(), length);
    arenaUsed_ += length;

    if (size_ % ChunkEntries == 0)
        chunks_.push_back(std::make_unique<Entry[]>(ChunkEntries));
    Entry &entry = chunks_.back()[size_ % ChunkEntries];
    entry = Entry{e.length, e.modified, blocksOf(size_, e.allocated), current(), name, length, e.kind, e.problem, flags};
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
    Entry &e = chunks_[0][0];
    e.length = top.length;
    e.modified = top.modified;
    if (!manyBlocks_.empty() && manyBlocks_.front().first == 0)
        manyBlocks_.erase(manyBlocks_.begin());
    e.blocks = blocksOf(0, top.allocated);
    identities_.front().device = uint64_t(top.device); // the top always has one
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
        chunks_[i / ChunkEntries][i % ChunkEntries].problem = problem;
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
    const auto it = std::lower_bound(identities_.begin(), identities_.end(), i,
                                     [](const Identity &id, Index entry) { return id.entry < entry; });
    return it != identities_.end() && it->entry == i ? &*it : nullptr;
}

size_t ScanTree::bytesHeld() const
{
    return chunks_.size() * ChunkEntries * sizeof(Entry) + arena_.size() * size_t(ArenaBlock)
           + folders_.capacity() * sizeof(Folder) + open_.capacity() * sizeof(size_t)
           + identities_.capacity() * sizeof(Identity) + manyBlocks_.capacity() * sizeof(manyBlocks_[0]);
}
