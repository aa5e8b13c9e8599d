// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QByteArrayView>
#include <memory>

// Names a walk passes over: they are not listed, not counted and never gone into. Asked from
// several threads at once.
class NameFilter {
public:
    virtual ~NameFilter() = default;
    virtual bool excludes(QByteArrayView name) const = 0;
};

// How much of a tree a walk takes in: all of it, unless told to stay on the file system of
// the folder it scans (as `du -x`) or to pass over some names at every depth.
struct WalkScope {
    // A folder on another device than the scanned folder is told (never walked) and counts nothing.
    bool oneFileSystem = false;
    // None: no name is passed over.
    std::shared_ptr<const NameFilter> exclude;

    bool excludes(QByteArrayView name) const { return exclude && exclude->excludes(name); }
};
