// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "core/scan/engine/FoundEntry.h"
#include "core/scan/engine/Tally.h"

#include <functional>
#include <memory>

// Where a walk tells what it meets, in walk order: each folder it goes into (its entries follow
// until the matching leaveFolder), and every other entry: files, links, anything else, and
// folders it does not go into (unreadable, too deep, a view of the kernel's, met before). A
// folder's own files come before its subfolders. A sink of a walk on several threads gets a
// piece of the walk (see PieceTaker), whose folders need not all be left in it.
class EntrySink {
public:
    virtual ~EntrySink() = default;
    virtual void enterFolder(const FoundEntry &folder) = 0;
    // The folder entered last turned out to be unsearchable (told before anything in it).
    virtual void folderProblem(FoundEntry::Problem problem) = 0;
    virtual void leaveFolder() = 0;
    virtual void entry(const FoundEntry &entry) = 0;
    // For a count of a folder's subfolder trees and then its own files (see TreeCounter): the
    // status of that folder, taken before its files are told, when they can all be looked at.
    virtual void scanFolderFound(const FoundEntry & /*folder*/) {}
    // Forgets what it was told, for another piece of a walk, keeping its room; false when it
    // cannot, or holds more room than is worth keeping.
    virtual bool reset() { return false; }
};

// A walk on several threads (see ParallelCount) tells each piece of it to a sink of its own,
// made on the worker that walks it by a NewPieceSink (which must hold nothing by
// reference: a worker left behind may call it after the walk's taker is gone); the pieces are
// handed to a PieceTaker in walk order on the thread that takes them, which is also told to
// leave each folder split into pieces after its last piece.
using NewPieceSink = std::function<std::unique_ptr<EntrySink>()>;
class PieceTaker {
public:
    virtual ~PieceTaker() = default;
    virtual void take(EntrySink &piece) = 0;
    // Takes a part of `piece`, so that the thread that takes it may do other work between
    // parts of a big one; true once it is all taken.
    virtual bool takeSome(EntrySink &piece)
    {
        take(piece);
        return true;
    }
    virtual void leaveFolder() = 0;
};

// Keeps what a count of subfolder trees meets, in walk order: the pieces counted on workers
// (made by newPiece()) as they are taken, or what a count on the scan's own thread tells it
// directly; and answers what the entries kept since it was last asked add up to, each file
// once, where it was met first.
class WalkKeeper : public PieceTaker, public EntrySink {
public:
    virtual NewPieceSink newPiece() const = 0;
    virtual Tally takeCounted() = 0;
    void leaveFolder() override = 0;
};
