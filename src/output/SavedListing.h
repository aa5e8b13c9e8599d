#pragma once
#include <QStringList>

struct ListingSnapshot;

// The lines of the saved listing file, in order, without line ends: the title and the parent
// folder line; with "Include Folders", an empty line, the folder heading and the folder lines;
// then an empty line, the file heading (also for an empty list) and the file lines. Every line
// but the empty ones begins with `indentation` blanks.
QStringList savedListingLines(const ListingSnapshot &s);
