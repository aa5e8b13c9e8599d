// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "window/scan/CountedRows.h"
#include "window/scan/ScanSession.h"
#include "core/scan/engine/FolderScan.h"
#include "core/scan/tree/FolderRowMaker.h"
#include "core/scan/tree/ScanTree.h"
#include "core/scan/tree/ScanTreeSink.h"

#include <QElapsedTimer>
#include <QStringList>
#include <memory>
#include <optional>

struct MainForm;
struct ScanProgress;

// The status bar's line for a scan that has come as far as `progress`: the counts whole, the
// folder being read shortened in its middle to fit.
void showScanProgress(MainForm &f, const ScanProgress &progress);

// The window's side of a folder scan: the lines go into its two lists and the totals into the
// form, a caption dot for each subfolder counted. While it counts sizes, its pump shows the
// scan's progress in the status bar and processes the window's pending events, after which the
// scan learns from the session whether it may go on; a folder or file it cannot read is shown
// in the scan's two boxes, each folder found gone once, with the files that went with it; its request's size scan is the one a stop request reaches; and when
// the scan ends, for whatever reason, the status bar is emptied.
class ScanPump : public ScanPort {
public:
    ScanPump(MainForm &f, ScanSession &session, const ScanSession::Request &request, bool countsSizes = true);
    ~ScanPump() override;

    ScanEnd problem(const QString &description, const QString &entryName) override;
    ScanEnd fileProblem(const QString &description, const QString &name, const QString &folder) override;
    ScanEnd vanished(const QString &description, const QByteArray &folder, const QByteArray &name) override;

    void folderLine(const ScanSubfolder &subfolder, std::optional<ShownSize> size, int nameWidth) override;
    void treeCounted(ShownSize size) override;
    void fileLines(const TextLines &lines) override;
    void ownFilesCounted(ShownSize size) override;
    void passedOver(int64_t entries) override;
    ScanEnd watchWorkers(ParallelCount &pool, const std::function<ScanEnd()> &takeTrees) override;
    // The scan tree a size scan builds of the folder, as its pieces are taken.
    WalkKeeper *keeper() override;
    WalkKeeper *recursiveKeeper(bool diskUsage) override;
    // For a scan that completed: keeps its tree in the form (ScannedTree), where it fits.
    void keepTree();
    // Where a recursive scan counted its subfolder trees (see treeCounted): into `counted`.
    void keepRows(CountedRows &counted) const
    {
        counted.tree = tree_;
        counted.tops = tops_;
    }
    // The folder lines of sizes taken over are these rows, in list order; `counted` outlives the pump.
    void takeOverRows(const CountedRows &counted) { takenOver_ = &counted; }

protected:
    ScanEnd pump() override;

private:
    void showProgress();
    // The caption's dots for the subfolders counted since it was last shown: the caption is
    // seen only when events are processed, so it is set then, not once per subfolder.
    void showCaption();
    // Whether `path` is, or lies in, a folder this scan has reported gone.
    bool inFolderReportedGone(const QString &path) const;
    // The outermost folder from `folder` up to the scan's own that is gone now; empty if
    // `folder` is still there, or when the file system does not answer.
    QByteArray outermostGone(const QByteArray &folder) const;

    MainForm &f_;
    ScanSession &session_;
    const ScanSession::Request &request_;
    std::optional<ScanSession::SizeScan> sizeScan_;
    QElapsedTimer progressShown_;
    int dots_ = 0;
    QByteArray scanFolder_;
    QStringList reportedGone_; // folders reported gone, as shown
    bool counts_ = false; // folder lines say how many files they count
    bool diskUsage_ = false; // sizes are allocated bytes
    std::shared_ptr<FolderRowMaker> folderRows_; // the folder list's lines with sizes this scan adds
    std::shared_ptr<ScanTree> tree_;
    std::unique_ptr<ScanTreeBuilder> treeBuilder_;
    std::vector<ScanTree::Index> tops_; // each subfolder tree's entry, as counted
    const CountedRows *takenOver_ = nullptr;
    size_t rowsTaken_ = 0;
};
