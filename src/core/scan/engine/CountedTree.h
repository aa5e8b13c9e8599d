// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "core/scan/engine/ScanEnd.h"
#include "core/scan/engine/SeenFiles.h"
#include "core/scan/engine/Tally.h"
#include "core/shared/TextLines.h"

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <vector>

// One subfolder tree counted apart from the others (on a worker thread): everything the scan
// shows of it, kept in the order the walk met it, for the thread that runs the scan to show
// when the scan reaches that subfolder.
struct CountedTree {
    struct Problem {
        QString description;
        QString entryName;
        QString folder; // for a file: the folder that holds it
        // A file gone while its folder was there (ScanListener::vanished), by their own bytes.
        bool vanished = false;
        QByteArray nativeFolder, nativeName;
    };
    // The tree's lines and problems in walk order: lines[0], problems[0], lines[1], ...,
    // problems[n - 1], lines[n]; so there is always one more piece of lines than problems.
    std::vector<TextLines> lines{1};
    std::vector<Problem> problems{};
    // The tree's bytes, and beside them its allocated bytes and its files, each file of several
    // names counted once within the tree; `seen` holds those files and the folders walked, for
    // the scan to take off what an earlier subfolder counted already (or to count the tree again
    // where it walked a folder met before).
    Tally tally{};
    SeenFiles seen{};
    // Its pieces, counted apart, walked one folder twice: it must be counted again in one walk.
    bool countAgain = false;
    // The names its walk passed over (see WalkScope).
    int64_t passedOver = 0;
    // Completed, or FolderGone when the scan's own folder was found removed (its report is
    // the last problem).
    ScanEnd end = ScanEnd::Completed;

    // Empties it for another count, keeping the room of its list of lines.
    void reuse()
    {
        std::vector<TextLines> kept = std::move(lines);
        kept.resize(1);
        kept.front().clear();
        *this = CountedTree{.lines = std::move(kept)}; // all else as new
    }
};
