// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/output/NcduExport.h"

#include "core/listing/TellingListener.h"
#include "core/output/NcduJson.h"
#include "core/scan/engine/DirectoryList.h"
#include "core/scan/engine/EntrySink.h"
#include "core/scan/engine/ScanListener.h"
#include "core/scan/engine/WholeWalk.h"
#include "core/shared/FsError.h"
#include "core/shared/Text.h"

#include <cerrno>
#include <functional>
#include <memory>

namespace {
// Shows the walk's progress to its watch at every pump, and ends it when the watch says stop.
class WatchedListener : public TellingListener {
public:
    WatchedListener(const ListingProblem &problem, const ScanOptions &options, ExportWatch *watch)
        : TellingListener(problem, options), watch_(watch)
    {
    }

protected:
    ScanEnd pump() override
    {
        if (!watch_)
            return ScanEnd::Completed;
        watch_->show(progress);
        return watch_->stopped() ? ScanEnd::Stopped : ScanEnd::Completed;
    }

private:
    ExportWatch *watch_;
};
} // namespace

void ncduExport(const QByteArray &folder, const ListingProblem &problem, const std::function<void(QByteArrayView)> &write,
                unsigned workers, const WalkScope &scope, ExportWatch *watch)
{
    JsonWriter out(write, ncduHeader());
    WatchedListener listener(problem, ScanOptions{watch ? ExportWatch::PumpMs : 1000, workers == 0 ? -1 : int(workers), scope},
                             watch);
    walkWhole(normalFolderPath(folder), listener, [] { return std::make_unique<JsonPiece>(); }, out, out);
    if (watch && watch->stopped())
        throw FsError(QStringLiteral("The save was stopped"), ECANCELED);
    out.finish();
}
