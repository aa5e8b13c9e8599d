// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/scan/ScanTreeWalk.h"

#include "core/listing/TellingListener.h"
#include "core/scan/CallWait.h"
#include "core/scan/tree/ScanTree.h"
#include "core/scan/tree/ScanTreeSink.h"
#include "core/shared/FsError.h"
#include "core/shared/MessageBoxes.h"
#include "core/shared/Text.h"
#include "window/shared/MainForm.h"

#include <atomic>

namespace {
const ListingProblem ignored = [](const QString &, const QString &) {};

// Tells nothing on (the tree keeps what could not be read) and stops when asked to.
class StoppableListener : public TellingListener {
public:
    StoppableListener(const WalkScope &scope, std::shared_ptr<const std::atomic<bool>> stop)
        : TellingListener(ignored, ScanOptions{100, -1, scope}), stop_(std::move(stop))
    {
    }

protected:
    ScanEnd pump() override { return stop_->load() ? ScanEnd::Stopped : ScanEnd::Completed; }

private:
    std::shared_ptr<const std::atomic<bool>> stop_;
};
} // namespace

std::shared_ptr<const ScanTree> walkIntoTree(MainForm &f, const QByteArray &folder, const WalkScope &scope,
                                             const QString &title)
{
    const auto stop = std::make_shared<std::atomic<bool>>(false);
    try {
        return CallWait::run<std::shared_ptr<const ScanTree>>(folder, [folder, scope, stop] {
            auto tree = std::make_shared<ScanTree>();
            StoppableListener listener(scope, stop);
            if (buildScanTree(folder, listener, *tree) != ScanEnd::Completed)
                return std::shared_ptr<const ScanTree>();
            return std::shared_ptr<const ScanTree>(std::move(tree));
        });
    } catch (const FsError &e) {
        stop->store(true);
        if (e.description() != CallWait::givenUpDescription())
            f.boxes->show(e.description() + QLatin1Char('\r') + displayName(folder), title);
    }
    return nullptr;
}

std::shared_ptr<const ScanTree> keptScanOf(const MainForm &f, const QByteArray &folder, const WalkScope &scope)
{
    const bool fits = f.ScannedTree && f.ScannedTree->path(0) == folder && !scope.exclude
                      && scope.oneFileSystem == f.ScannedTreeOneFileSystem;
    return fits ? f.ScannedTree : nullptr;
}
