// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/scan/tree/TreeReplay.h"

#include <vector>

void replayTree(const ScanTree &tree, EntrySink &sink)
{
    struct Open {
        ScanTree::Index end;
        dev_t device;
    };
    std::vector<Open> open; // the folders entered and not yet left
    for (ScanTree::Index i = 0; i < tree.size(); ++i) {
        for (; !open.empty() && open.back().end == i; open.pop_back())
            sink.leaveFolder();
        const ScanTree::Entry &r = tree.at(i);
        FoundEntry e;
        e.name = tree.name(i);
        e.kind = r.kind;
        e.problem = r.problem;
        e.notWalked = r.flags & ScanTree::Entry::KernelView  ? FoundEntry::NotWalked::KernelView
                      : r.flags & ScanTree::Entry::MetBefore ? FoundEntry::NotWalked::MetBefore
                                                             : FoundEntry::NotWalked::No;
        e.otherDevice = r.flags & ScanTree::Entry::OtherDevice;
        e.length = r.length;
        e.allocated = r.allocated;
        e.modified = r.modified;
        e.device = open.empty() ? 0 : open.back().device;
        e.links = 1;
        if (const ScanTree::Identity *id = tree.identity(i)) {
            e.device = dev_t(id->device);
            e.inode = ino_t(id->inode);
            e.links = nlink_t(id->links);
        }
        if (!r.walked()) {
            sink.entry(e);
            continue;
        }
        sink.enterFolder(e);
        if (e.problem != FoundEntry::Problem::None)
            sink.folderProblem(e.problem);
        open.push_back({tree.end(i), e.device});
    }
    for (; !open.empty(); open.pop_back())
        sink.leaveFolder();
}
