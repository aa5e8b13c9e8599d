// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/scan/tree/ScanTreeSink.h"

#include "core/scan/engine/DirectoryList.h"
#include "core/scan/engine/WholeWalk.h"

#include <algorithm>
#include <memory>

void ScanTreeBuilder::take(EntrySink &sink)
{
    while (!takeSome(sink)) {
    }
}

bool ScanTreeBuilder::takeSome(EntrySink &sink)
{
    // A few milliseconds of work at most.
    constexpr size_t Part = 8192;
    auto &piece = static_cast<ScanTreePiece &>(sink);
    const size_t until = std::min(piece.events_.size(), piece.taken_ + Part);
    for (; piece.taken_ < until; ++piece.taken_) {
        ScanTreePiece::Kept &kept = piece.events_[piece.taken_];
        FoundEntry &e = kept.entry;
        e.name = QByteArrayView(piece.names_.data() + kept.name, e.name.size());
        switch (kept.event) {
        case ScanTreePiece::Event::Enter: enterFolder(e); break;
        case ScanTreePiece::Event::Problem: folderProblem(e.problem); break;
        case ScanTreePiece::Event::Leave: leaveFolder(); break;
        case ScanTreePiece::Event::Entry: entry(e); break;
        case ScanTreePiece::Event::Top: scanFolderFound(e); break;
        }
    }
    // All taken: its room goes with it, on the thread that made it (see ScanTreePiece::reset).
    return piece.taken_ == piece.events_.size();
}

void ScanTreeBuilder::entry(const FoundEntry &e)
{
    // A folder the walk did not go into adds nothing, nor a name passed over; anything else
    // its own length, once.
    const bool counted = !e.excluded && e.kind != FoundEntry::Kind::Folder && e.problem == FoundEntry::Problem::None
                         && seen_.firstSight(e.device, e.inode, e.links, e.length);
    noteTop();
    tree_.add(e, counted);
    if (counted)
        counted_.add(e.length, e.allocated);
}

ScanEnd buildScanTree(const QByteArray &path, ScanListener &listener, ScanTree &tree)
{
    ScanTreeBuilder builder(tree);
    const ScanEnd end = walkWhole(
        normalFolderPath(path), listener, [] { return std::make_unique<ScanTreePiece>(); }, builder, builder);
    // Folders a walk that ended early left open are left, so that their totals reach the top.
    while (tree.current() != ScanTree::None)
        tree.leave();
    return end;
}
