// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "core/listing/TreeListing.h"

#include <QByteArrayView>
#include <functional>

// The changes between two listings of one folder as JSON, for other programs: one object,
//
//   {"folder":"/srv/data","older":"june.json","diskUsage":false,
//    "total":{"old":3175,"new":6460},
//    "lines":[
//     {"section":"folders","path":"gone","kind":"gone","change":-50,"old":50},
//     {"section":"files","path":"a.txt","kind":"grown","change":1990,"old":10,"new":2000}]}
//
// `folder` is the newer listing's folder and `older` names the older scan as it was given.
// Each line of the listing is a record in list order: its section ("folders", "recursive" or
// "files"), its path below the folder, its kind ("new", "gone", "grown", "shrunk" or
// "unchanged"), the signed change in the bytes it counts, and its size in each listing where
// that one knows it. Sizes are the bytes the lines show: allocated bytes with disk usage. Names
// and paths are written as their own bytes, as the ncdu export writes them (see
// appendJsonName). With `changesOnly` the unchanged lines are left out; without folders
// included, the folder lines. The text goes to `put` in pieces of about 64 KiB.
void writeChangesJson(const ListedFolder &before, const ListedFolder &after, QByteArrayView older, bool changesOnly,
                      const std::function<void(QByteArrayView)> &put);
