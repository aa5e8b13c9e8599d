// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "core/listing/TreeListing.h"

#include <QString>
#include <cstdint>
#include <vector>

// What became of a line of a listing between an older scan and a newer one. A line is its
// path below the folder listed: a renamed entry is one line gone and one new.
enum class ChangeKind : uint8_t { Unchanged, New, Gone, Grown, Shrunk };
struct LineChange {
    ChangeKind kind = ChangeKind::Unchanged;
    // The change in the bytes the line counts, for a sort by it: new minus old; a new line's
    // bytes, minus a gone line's; 0 where either scan knows no size for it.
    int64_t delta = 0;
};

// What a changed line of the text ends with: two blanks and "new", "gone", or the change with
// its sign as size text ("+1.50 MB", "-200 bytes"). Nothing for an unchanged line.
QString changeMark(const LineChange &change);
// The change column of a CSV row: "new", "gone", or the change in bytes with its sign ("+12",
// "-3"); "0" for an unchanged line.
QByteArray changeField(const LineChange &change);

// A line of two listings put together: its item in each (null in the one that has none) and
// what became of it.
struct ComparedLine {
    const ListedItem *before = nullptr, *after = nullptr;
    LineChange change;
};
// The lines of `before` and `after` (listed with the same choices) in list order, section by
// section (see ListedSection): the newer ones, and in their sorted places those of the older
// only. They point into both. With folder sizes, the folder's total in each: its folder lines'
// and its own files'.
struct ComparedLines {
    std::vector<ComparedLine> sections[3];
    ShownSize oldTotal, newTotal;
};
ComparedLines compareLines(const ListedFolder &before, const ListedFolder &after);

// The newer listing with the changes marked: its lines, and in their sorted places the lines
// of the older listing only, with their old sizes. The folder heading and the totals are the
// newer scan's; with folder sizes, the parent folder line ends in "  was " and the older total.
struct ComparedListing {
    ListingSnapshot snapshot;
    std::vector<LineChange> folderChanges, fileChanges; // one for each line of snapshot's lists
    int64_t oldTotal = 0, newTotal = 0;                 // the folder's, with folder sizes
};
// `before` and `after` are listed with the same choices (see listedFolder); `mark` makes the
// text a line ends with (changeMark for the text; for CSV ", " and changeField). With
// `changesOnly`, unchanged lines are left out.
ComparedListing compareListings(const ListedFolder &before, const ListedFolder &after, const ListingLines &lines,
                                bool changesOnly, const std::function<QString(const LineChange &)> &mark = changeMark);

// The lines of a compared list keyed by their change for a view's order, each keeping the time
// and name end it had: a sort by size puts what grew most first. One change for each line.
TextLines keyedByChange(const TextLines &lines, const std::vector<LineChange> &changes);

// The folder of `older` that stands where folder `folder` of `newer` stands: at the same full
// path when the older scan holds that path, else at the same path below each scan's top (the
// same tree scanned at another place); None when the older scan has no such folder.
ScanTree::Index samePlace(const ScanTree &newer, ScanTree::Index folder, const ScanTree &older);
