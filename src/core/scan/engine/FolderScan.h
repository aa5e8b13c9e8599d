// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "core/scan/engine/EntrySink.h"
#include "core/scan/engine/ParallelCount.h"
#include "core/scan/engine/ScanEnd.h"
#include "core/scan/engine/ScanListener.h"
#include "core/scan/engine/Tally.h"
#include "core/shared/TextLines.h"

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

class DirectoryList;

// The two scans of a folder, whoever shows them: the folder list (each subfolder's line, with
// its tree's size when folder sizes are on) and the recursive file lines below the subfolders.
// The window shows them in its lists and boxes; the command line writes them out.

// What a folder scan works on, fixed when it starts: the folder and its subfolders as they were
// listed, so that nothing done meanwhile moves the scan's place.
struct ScanSubfolder {
    QByteArray path;  // native full path
    QString text;     // as the lists show it
    bool isLink;      // a link to a folder: listed, never walked
    int64_t modified; // its own modification time, for the date order
};
struct FolderScanStart {
    QByteArray folder;
    std::vector<ScanSubfolder> subfolders;
    int nameWidth = 0; // the longest subfolder path + 1
    int64_t passedOver = 0; // subfolders left out (see leaveOut)
};
FolderScanStart folderScanStart(const DirectoryList &list);
// Leaves out the subfolders whose names `exclude` excludes, counting them in `passedOver`; the
// name width is that of the subfolders left.
void leaveOut(FolderScanStart &start, const NameFilter &exclude);

// The sizes one scan counted, for the next scan of the same refresh to take over instead of
// walking every tree again: each subfolder's, in list order, and the folder's own.
struct CountedSizes {
    QByteArray folder;
    std::vector<ShownSize> subfolderSizes;
    ShownSize own;
    bool diskUsage = false;
    int64_t passedOver = 0; // the names passed over, the scan start's among them
    bool complete = false; // every tree and the own files were counted
};

// The choices a scan follows, read once when it is asked for.
struct ScanChoices {
    bool folderSizes = false;
    bool diskUsage = false; // sizes are the files' allocated bytes, file lines' too
};

// Where a folder scan shows what it finds. Its listener side (problems, progress, the pump and
// whether to go on) is the engine's; every call comes on the thread that runs the scan.
class ScanPort : public ScanListener {
public:
    using ScanListener::ScanListener;

    // A subfolder's line of the folder list: with its tree's size when sizes are counted,
    // aligned to `nameWidth` (see folderLine).
    virtual void folderLine(const ScanSubfolder &subfolder, std::optional<ShownSize> size, int nameWidth) = 0;
    // A subfolder tree the recursive scan walked, its lines told already.
    virtual void treeCounted(ShownSize /*size*/) {}
    // Lines of files below the subfolders, in walk order.
    virtual void fileLines(const TextLines & /*lines*/) {}
    // The folder's own files, counted after its subfolders.
    virtual void ownFilesCounted(ShownSize /*size*/) {}
    // The names the scan passed over (see WalkScope), its start's left-out subfolders among them
    // (not the folder's own files), told when the scan is complete.
    virtual void passedOver(int64_t /*entries*/) {}
    // Where the folder list's count of sizes keeps what it meets, if anywhere (see
    // countSubfolderTrees); its sizes are then the keeper's.
    virtual WalkKeeper *keeper() { return nullptr; }
    // Where the recursive scan keeps what it meets, if anywhere: its file lines are then made
    // of what it keeps, and shown by the port as they are kept (see TreeRowsBuilder), not told
    // to fileLines; its sizes are the keeper's.
    virtual WalkKeeper *recursiveKeeper(bool /*diskUsage*/) { return nullptr; }
    // Runs the taking of the counted trees while the workers' pool is known to whoever may
    // have to stop them at once.
    virtual ScanEnd watchWorkers(ParallelCount & /*pool*/, const std::function<ScanEnd()> &takeTrees)
    {
        return takeTrees();
    }
};

// The folder list: a line for each subfolder, in list order, bare without folder sizes; with
// them each subfolder tree counted into its line, and then the folder's own files. Sizes that
// `counted` holds for the very same subfolders are taken over instead of counted again. Ends
// at once with any end but Completed.
ScanEnd scanFolderList(ScanPort &port, const FolderScanStart &start, const ScanChoices &choices,
                       const CountedSizes *counted = nullptr);
// Whether the folder list takes `counted`'s sizes over: counted whole for the very same
// subfolders, in the same way.
bool takesOver(const CountedSizes &counted, const FolderScanStart &start, const ScanChoices &choices);

// The recursive file lines: every subfolder tree walked in list order, the line `lineOf` gives
// each file below it told in walk order (or the port's recursiveKeeper's rows), and each tree's
// size; with folder sizes on, the folder's own files too. What it counted is left in `counted`.
ScanEnd scanRecursiveFiles(ScanPort &port, const FolderScanStart &start, const ScanChoices &choices,
                           const ParallelCount::LineOf &lineOf, CountedSizes &counted);
