// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "core/scan/tree/ScanTree.h"
#include "core/shared/TextLines.h"

#include <QByteArray>
#include <memory>

// The recursive listing's lines of a run of files that follow one another in the scan tree,
// in one folder: line i is the run's i-th entry, its text made when read from the entry's
// name and length (with disk usage, its room on the disk) and the folder's path, kept once. A
// folder's files go into the tree one after another, so one maker mostly holds them all for
// the cost of a counter. Another thread may make the lines added before while more are added
// (a listing being saved mid-scan): a line reads only what never changes once added.
class TreeLineMaker : public LineMaker {
public:
    TreeLineMaker(std::shared_ptr<const ScanTree> tree, ScanTree::Index folder, QByteArray path, bool diskUsage,
                  ScanTree::Index first);

    // The maker to add file `entry` of folder `folder` to after `last` (none at first): `last`
    // when the entry follows its run in the same folder, else a new one.
    static std::shared_ptr<TreeLineMaker> next(std::shared_ptr<TreeLineMaker> last,
                                               const std::shared_ptr<const ScanTree> &tree, ScanTree::Index folder,
                                               ScanTree::Index entry, bool diskUsage);

    // Adds the line of file `entry`, the one after the run's last; answers its number here, and
    // its key (its bytes and time, and where its name ends in its line).
    qsizetype add(ScanTree::Index entry, LineKey &key);

    QByteArray make(qsizetype i) const override { return makeView(i).toByteArray(); }
    QByteArrayView makeView(qsizetype i) const override;
    QByteArray name(qsizetype i) const override;

private:
    int64_t bytesOf(ScanTree::Index entry) const;

    std::shared_ptr<const ScanTree> tree_;
    ScanTree::Index folder_;
    QByteArray path_;
    qsizetype nameStart_; // where a plain name starts in its line; -1 when the path is not plain
    bool diskUsage_;
    ScanTree::Index first_;
    ScanTree::Index size_ = 0;
};
