// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "core/listing/TreeListing.h"
#include "core/shared/LineOrder.h"
#include "core/shared/TextLines.h"

#include <QByteArray>
#include <QString>
#include <QTimeZone>
#include <memory>
#include <vector>

// The folder and file lines of a listing made of a scan (see listingOf): each made from its
// item and the listing's layout, kept as text or, as rows of the scan's tree, made when read.

// What every line of one such listing shares: the listed folder, what the lines show, the
// column widths of the folder paths and file names, and what goes before a file line.
struct ListedLayout {
    explicit ListedLayout(const ListedFolder &listed);

    QByteArray path;          // the listed folder's
    bool fileSizes = false, dates = false;
    int folderWidth = 0;      // the longest folder path shown + 1
    qsizetype nameWidth = 0;  // the longest file name shown + 1
    QString prefix;           // before each file line: the folder's path, on a recursive listing
    qsizetype prefixBytes = 0;
    QTimeZone zone;
};

// A line's text and what a view sorts it by (only what it shows).
struct ListedLine {
    QString text;
    LineKey key;
};
ListedLine folderLineOf(const ListedItem &f, const ListedLayout &layout, const ListingLines &lines);
LineKey folderKeyOf(const ListedItem &f, const ListedLayout &layout);
ListedLine fileLineOf(const ListedItem &f, const ListedLayout &layout, const ListingLines &lines);
LineKey fileKeyOf(const ListedItem &f, const ListedLayout &layout);

// Folder and file lines of a listing as rows of the scan's tree, made when read: a row keeps
// its entry and what the listing counted for it, and its name is read from the tree, so a big
// scan's lists hold neither their lines' text nor their names. Rows are added before the lines
// are handed on; after that nothing changes, so any thread may read them.
class TreeRowLines : public LineMaker {
public:
    TreeRowLines(std::shared_ptr<const ScanTree> tree, ListedLayout layout, ListingLines lines);

    // The row of a folder or file line of `item`, which is entry `entry` of the tree; answers its
    // number here.
    qsizetype add(const ListedItem &item, ScanTree::Index entry, bool folder);

    QByteArray make(qsizetype i) const override;
    QByteArray name(qsizetype i) const override;

private:
    ListedLine line(qsizetype i) const;

    struct Row {
        ScanTree::Index entry;
        bool folder;
        bool counted; // the item's bytes are known
        int64_t bytes, modified, files;
    };
    std::shared_ptr<const ScanTree> tree_;
    ListedLayout layout_;
    ListingLines lines_;
    std::vector<Row> rows_;
};
