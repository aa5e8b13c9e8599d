// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "core/scan/tree/ScanTreeSink.h"
#include "core/scan/tree/TreeLineMaker.h"

#include <functional>
#include <memory>

// Builds the tree of a recursive listing's scan and tells the listing's file lines as rows of
// it, each as its file goes into the tree: every file below the scan's folder, in walk order,
// but those the scan could not look at and those with no line (see hasRecursiveLine).
class TreeRowsBuilder : public ScanTreeBuilder {
public:
    using Row = std::function<void(const std::shared_ptr<const LineMaker> &maker, qsizetype line, LineKey key)>;
    TreeRowsBuilder(std::shared_ptr<ScanTree> tree, bool diskUsage, Row row);

    void entry(const FoundEntry &entry) override;

private:
    std::shared_ptr<ScanTree> tree_;
    bool diskUsage_;
    Row row_;
    std::shared_ptr<TreeLineMaker> maker_; // the last one added to
};
