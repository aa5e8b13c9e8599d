// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "core/shared/TextLines.h"

struct ListingSnapshot;

// The lines of the saved listing file, in order, without line ends: the title and the parent
// folder line; with "Include Folders", an empty line, the folder heading and the folder lines;
// then an empty line, the file heading (also for an empty list) and the file lines. Every line
// but the empty ones begins with `indentation` blanks. List lines written as they stand share
// their bytes with the snapshot.
TextLines savedListingLines(const ListingSnapshot &s);
