// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/output/ScanFileWriter.h"

#include "core/output/NcduJson.h"
#include "core/scan/tree/TreeReplay.h"

namespace {
// Tells the top folder to the writer and what lies below it to one piece, which goes to the
// writer whenever it holds a block's worth, as the export hands over a walk's pieces.
class TreeText : public EntrySink {
public:
    explicit TreeText(JsonWriter &out) : out_(out) {}

    void enterFolder(const FoundEntry &folder) override
    {
        if (depth_++ == 0)
            out_.enterFolder(folder);
        else
            piece_.enterFolder(folder);
    }
    void folderProblem(FoundEntry::Problem problem) override
    {
        if (depth_ > 1) // the walk tells none of the top's: it is entered only when it can be read
            piece_.folderProblem(problem);
    }
    void leaveFolder() override
    {
        if (--depth_ == 0) {
            handOver();
            out_.leaveFolder();
        } else {
            piece_.leaveFolder();
            handOverFull();
        }
    }
    void entry(const FoundEntry &e) override
    {
        if (depth_ == 0) {
            out_.entry(e);
            return;
        }
        piece_.entry(e);
        handOverFull();
    }

private:
    void handOverFull()
    {
        if (!piece_.full.empty())
            handOver();
    }
    void handOver()
    {
        out_.take(piece_);
        piece_.clear();
    }

    JsonWriter &out_;
    JsonPiece piece_;
    int depth_ = 0;
};
} // namespace

void writeScanTree(const ScanTree &tree, const std::function<void(QByteArrayView)> &write, ScanTree::Index from)
{
    JsonWriter out(write, ncduHeader());
    TreeText text(out);
    replayTree(tree, text, from);
    out.finish();
}
