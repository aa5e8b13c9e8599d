// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "core/listing/FolderListing.h"
#include "core/scan/engine/WalkScope.h"
#include "core/scan/tree/ScanTree.h"

#include <QByteArray>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

// The scan of `folder` into `tree` (empty before), as the export walks it with `scope`: each
// problem told to `problem`, and the walk goes on. Throws FsError when the folder cannot be opened.
void scanFolderInto(const QByteArray &folder, const ListingProblem &problem, ScanTree &tree, WalkScope scope = {});

// The listing of folder `folder` of a scan tree, made from the tree alone (no file system
// call): the lines, headings and totals that listFolder makes of that folder as the scan found
// it, `lines` making them. Sizes count each file once where listFolder counts it: in the first
// folder line whose tree holds it, in list order, then among the folder's own files, and the
// file list's total once more on its own; with disk usage they are the allocated bytes the
// scan recorded, and with counts the lines and totals say how many files they count. What the
// scan could not read is told to `problem` by its path (the tree keeps no reason: one
// description says so). Throws FsError for a folder the scan did not walk, or a refused pattern.
ListingSnapshot listTree(const ScanTree &tree, ScanTree::Index folder, const ListingChoices &choices,
                         const ListingProblem &problem, const ListingLines &lines);
// The same with the saved file's lines.
ListingSnapshot listTree(const ScanTree &tree, ScanTree::Index folder, const ListingChoices &choices,
                         const ListingProblem &problem);

// What such a listing shows, before it is made into lines, so that a view may put two of
// them together (see ScanCompare).
struct ListedItem {
    QByteArray path; // below the listed folder: "name", or "sub/dir/name" for a recursive line
    // What its line counts: a folder's with folder sizes, a file's length (with disk usage, the
    // allocated bytes of each).
    std::optional<int64_t> bytes;
    int64_t modified = INT64_MIN; // seconds; INT64_MIN when unknown
    bool gone = false;            // shown from an older scan: takes no part in the column widths
    int64_t files = 0;            // a folder's with folder sizes: the files its bytes count
    ScanTree::Index entry = ScanTree::None; // a folder or file line's, in the scan listed
};
struct ListedFolder {
    QByteArray path; // the folder's own, as the scan has it
    ListingChoices choices;
    // In list order: the folder lines, the recursive lines (each tree in walk order, the
    // trees in list order), and the folder's own files that match the pattern.
    std::vector<ListedItem> folders, recursive, files;
    // With folder sizes, the folder's own files after the trees; with the size column, the
    // listed files, each once: their bytes (as the lines count them) and how many they are.
    int64_t ownBytes = 0, ownFiles = 0;
    int64_t fileListTotalBytes = 0, fileListTotalFiles = 0;
    int64_t passedOver = 0; // the names the exclusions left out, as the folder's listing counts them
};
enum class ListedSection { Folders, Recursive, Files };
ListedFolder listedFolder(const ScanTree &tree, ScanTree::Index folder, ListingChoices choices,
                          const ListingProblem &problem);

// The listing made of `listed`. With `mark`, each item's line is kept only when it answers a
// text, which ends the line; folderLinesBytes and folderLinesFiles add up the lines kept.
// Without, given the tree `rowsOf` that `listed` was made of, its folder and file lines are
// rows of that tree, made when read (see TreeRowLines).
using ItemMark = std::function<std::optional<QString>(ListedSection section, size_t item)>;
ListingSnapshot listingOf(const ListedFolder &listed, const ListingLines &lines, const ItemMark &mark = {},
                          const std::shared_ptr<const ScanTree> &rowsOf = {});

// Where the sections of the recursive list put two of its paths: a folder's files before its
// subfolders, each in name order.
bool walkOrderLess(QByteArrayView a, QByteArrayView b);
