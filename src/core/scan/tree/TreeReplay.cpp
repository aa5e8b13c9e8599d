// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/scan/tree/TreeReplay.h"

#include <vector>

namespace {
class Replay {
public:
    Replay(const ScanTree &tree, EntrySink &sink) : tree_(tree), sink_(sink) {}

    // The entries from `first` to `last` (a run of whole subtrees), in tree order.
    void run(ScanTree::Index first, ScanTree::Index last)
    {
        const size_t outside = open_.size();
        for (ScanTree::Index i = first; i < last; ++i) {
            leaveUpTo(i, outside);
            tell(i, found(i, tree_.name(i), open_.empty() ? 0 : open_.back().device));
        }
        leaveUpTo(last, outside);
    }

    // Folder `from`, as the top of a walk of its own.
    void runFrom(ScanTree::Index from)
    {
        const QByteArray path = tree_.path(from);
        FoundEntry top = found(from, path, deviceOf(tree_.at(from).folder));
        if (!tree_.at(from).walked() || top.problem != FoundEntry::Problem::None) {
            sink_.entry(top);
            return;
        }
        tell(from, top);
        for (const bool folders : {true, false})
            for (ScanTree::Index i = ScanTree::first(from); i < tree_.end(from); i = tree_.next(i))
                if ((tree_.at(i).kind == FoundEntry::Kind::Folder) == folders)
                    run(i, tree_.next(i));
        leaveUpTo(tree_.end(from), 0);
    }

private:
    struct Open {
        ScanTree::Index end;
        dev_t device;
    };

    FoundEntry found(ScanTree::Index i, QByteArrayView name, dev_t device) const
    {
        const ScanTree::Entry &r = tree_.at(i);
        FoundEntry e;
        e.name = name;
        e.kind = r.kind;
        e.problem = r.problem;
        e.notWalked = r.flags & ScanTree::Entry::KernelView        ? FoundEntry::NotWalked::KernelView
                      : r.flags & ScanTree::Entry::MetBefore       ? FoundEntry::NotWalked::MetBefore
                      : r.flags & ScanTree::Entry::OtherFileSystem ? FoundEntry::NotWalked::OtherFileSystem
                                                                   : FoundEntry::NotWalked::No;
        e.otherDevice = r.flags & ScanTree::Entry::OtherDevice;
        e.excluded = r.passedOver();
        e.length = r.length;
        e.allocated = tree_.allocated(i);
        e.modified = r.modified;
        e.device = device;
        e.links = 1;
        if (const ScanTree::Identity *id = tree_.identity(i)) {
            e.device = dev_t(id->device);
            e.inode = ino_t(id->inode);
            e.links = nlink_t(id->links);
        }
        return e;
    }

    // The device of folder `i`: the one it names, or the one of the folder above it.
    dev_t deviceOf(ScanTree::Index i) const
    {
        for (; i != ScanTree::None; i = tree_.at(i).folder)
            if (const ScanTree::Identity *id = tree_.identity(i))
                return dev_t(id->device);
        return 0;
    }

    void tell(ScanTree::Index i, const FoundEntry &e)
    {
        if (!tree_.at(i).walked()) {
            sink_.entry(e);
            return;
        }
        sink_.enterFolder(e);
        if (e.problem != FoundEntry::Problem::None)
            sink_.folderProblem(e.problem);
        open_.push_back({tree_.end(i), e.device});
    }

    // Leaves the folders that end at `i`, keeping the `outside` ones entered before.
    void leaveUpTo(ScanTree::Index i, size_t outside)
    {
        for (; open_.size() > outside && open_.back().end <= i; open_.pop_back())
            sink_.leaveFolder();
    }

    const ScanTree &tree_;
    EntrySink &sink_;
    std::vector<Open> open_; // the folders entered and not yet left
};
} // namespace

void replayTree(const ScanTree &tree, EntrySink &sink, ScanTree::Index from)
{
    Replay replay(tree, sink);
    if (from == 0)
        replay.run(0, tree.size());
    else
        replay.runFrom(from);
}
