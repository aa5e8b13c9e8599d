// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/output/NcduExport.h"

#include "core/output/NcduJson.h"
#include "core/scan/engine/DirectoryList.h"
#include "core/scan/engine/EntrySink.h"
#include "core/scan/engine/ScanListener.h"
#include "core/scan/engine/WholeWalk.h"
#include "core/shared/Text.h"

#include <functional>
#include <memory>

namespace {
// Tells every problem on, and goes on; an entry gone meanwhile is passed over.
class ExportListener : public ScanListener {
public:
    ExportListener(const ListingProblem &problem, unsigned workers, WalkScope scope)
        : ScanListener(ScanOptions{1000, workers == 0 ? -1 : int(workers), std::move(scope)}), problem_(problem)
    {
    }
    ScanEnd problem(const QString &description, const QString &entryName) override
    {
        problem_(description, entryName);
        return ScanEnd::Completed;
    }
    ScanEnd fileProblem(const QString &description, const QString &name, const QString &folder) override
    {
        return problem(description, folder.endsWith(u'/') ? folder + name : folder + u'/' + name);
    }
    ScanEnd vanished(const QString &, const QByteArray &, const QByteArray &) override { return ScanEnd::Completed; }

protected:
    ScanEnd pump() override { return ScanEnd::Completed; }

private:
    const ListingProblem &problem_;
};
} // namespace

void ncduExport(const QByteArray &folder, const ListingProblem &problem, const std::function<void(QByteArrayView)> &write,
                unsigned workers, const WalkScope &scope)
{
    JsonWriter out(write, ncduHeader());
    ExportListener listener(problem, workers, scope);
    walkWhole(normalFolderPath(folder), listener, [] { return std::make_unique<JsonPiece>(); }, out, out);
    out.finish();
}
