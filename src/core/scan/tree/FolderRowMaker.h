// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "core/scan/engine/Tally.h"
#include "core/scan/tree/ScanTree.h"
#include "core/shared/TextLines.h"

#include <QString>
#include <memory>

// The folder list's lines of a scan that counts sizes, as rows of the tree the sizes were
// counted into: each line keeps its subfolder's text as listed and its entry, and its size is
// read from the tree when the line is made (see ScanTree::counted, folderLine). Lines are added
// on the thread that runs the scan while another thread may read the lines added before (a
// listing being saved), so a maker holds a fixed number of lines in room taken when it is made:
// adding never moves a line. A full maker is followed by a larger one (see next).
class FolderRowMaker : public LineMaker {
public:
    FolderRowMaker(std::shared_ptr<const ScanTree> tree, int nameWidth, bool counts, bool diskUsage, qsizetype room);

    // The maker to add a row of `tree` aligned to `nameWidth` to after `last` (none at first):
    // `last` while it has room and makes its lines the same way, else a new one.
    static std::shared_ptr<FolderRowMaker> next(std::shared_ptr<FolderRowMaker> last,
                                                const std::shared_ptr<const ScanTree> &tree, int nameWidth, bool counts,
                                                bool diskUsage);

    // Adds a subfolder's line: its text and its entry in the tree (None: it counted nothing);
    // answers its number here.
    qsizetype add(const QString &text, ScanTree::Index entry);
    // What line i shows of its entry's totals.
    ShownSize size(qsizetype i) const;

    QByteArray make(qsizetype i) const override;
    QByteArray name(qsizetype i) const override;

private:
    struct Line {
        QString text;
        ScanTree::Index entry = ScanTree::None;
    };
    std::shared_ptr<const ScanTree> tree_;
    int nameWidth_;
    bool counts_;
    bool diskUsage_;
    qsizetype room_;
    qsizetype size_ = 0;
    std::unique_ptr<Line[]> lines_;
};
