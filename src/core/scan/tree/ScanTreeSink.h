// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "core/scan/engine/EntrySink.h"
#include "core/scan/engine/ScanEnd.h"
#include "core/scan/engine/SeenFiles.h"
#include "core/scan/tree/ScanTree.h"

#include <memory>
#include <string>
#include <utility>
#include <vector>

// A piece of a walk as its worker met it, kept until its turn to go into the tree.
class ScanTreePiece : public EntrySink {
public:
    void enterFolder(const FoundEntry &folder) override { keep(Event::Enter, folder); }
    void folderProblem(FoundEntry::Problem problem) override
    {
        FoundEntry e;
        e.problem = problem;
        keep(Event::Problem, e);
    }
    void leaveFolder() override { keep(Event::Leave, {}); }
    void entry(const FoundEntry &entry) override { keep(Event::Entry, entry); }
    void scanFolderFound(const FoundEntry &folder) override { keep(Event::Top, folder); }
    bool reset() override
    {
        if (events_.capacity() > 64) // a big folder's: freed
            return false;
        events_.clear();
        names_.clear();
        taken_ = 0;
        return true;
    }

private:
    friend class ScanTreeBuilder;
    enum class Event : uint8_t { Enter, Problem, Leave, Entry, Top };
    void keep(Event event, const FoundEntry &e)
    {
        if (events_.empty()) { // room for a small folder at once: most pieces are
            events_.reserve(4);
            names_.reserve(64);
        }
        events_.push_back({event, e, names_.size()});
        names_.append(e.name.data(), size_t(e.name.size()));
    }
    struct Kept {
        Event event;
        FoundEntry entry; // its name in names_, from `name`
        size_t name;
    };
    std::vector<Kept> events_;
    std::string names_;
    size_t taken_ = 0; // the events put into a tree so far
};

// Puts the pieces of a walk into a tree as they are handed over in walk order. A file of
// several names counts in the totals where it is met first.
class ScanTreeBuilder : public WalkKeeper {
public:
    explicit ScanTreeBuilder(ScanTree &tree) : tree_(tree) {}

    NewPieceSink newPiece() const override
    {
        return [] { return std::make_unique<ScanTreePiece>(); };
    }
    // What the walk counted since the last take: a piece's tree, or the folder's own files.
    Tally takeCounted() override
    {
        lastTop_ = std::exchange(top_, ScanTree::None);
        return std::exchange(counted_, {});
    }
    // The entry the part of the walk counted at the last take put at the top of the tree (the
    // subfolder whose tree it was), or None when it put none there.
    ScanTree::Index lastTop() const { return lastTop_; }
    void take(EntrySink &piece) override;
    bool takeSome(EntrySink &piece) override;
    void leaveFolder() override { tree_.leave(); }

    // The walk's own entries, told on the thread that takes the pieces.
    void enterFolder(const FoundEntry &folder) override
    {
        noteTop();
        tree_.enter(folder);
    }
    void folderProblem(FoundEntry::Problem problem) override { tree_.markProblem(problem); }
    void entry(const FoundEntry &entry) override;
    void scanFolderFound(const FoundEntry &folder) override { tree_.setTop(folder); }

private:
    // The entry about to be added, if it lies at the top (a subfolder's part of the walk puts
    // its subfolder there and nothing else).
    void noteTop()
    {
        if (tree_.current() == 0)
            top_ = tree_.size();
    }

    ScanTree &tree_;
    SeenFiles seen_;
    Tally counted_;
    ScanTree::Index top_ = ScanTree::None, lastTop_ = ScanTree::None;
};

class ScanListener;

// The whole tree below `path` (see walkWhole) into `tree`, which is empty before.
ScanEnd buildScanTree(const QByteArray &path, ScanListener &listener, ScanTree &tree);
