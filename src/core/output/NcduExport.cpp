// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/output/NcduExport.h"

#include "core/listing/TellingListener.h"
#include "core/output/NcduJson.h"
#include "core/scan/engine/DirectoryList.h"
#include "core/scan/engine/EntrySink.h"
#include "core/scan/engine/ScanListener.h"
#include "core/scan/engine/WholeWalk.h"
#include "core/shared/Text.h"

#include <functional>
#include <memory>

void ncduExport(const QByteArray &folder, const ListingProblem &problem, const std::function<void(QByteArrayView)> &write,
                unsigned workers, const WalkScope &scope)
{
    JsonWriter out(write, ncduHeader());
    TellingListener listener(problem, ScanOptions{1000, workers == 0 ? -1 : int(workers), scope});
    walkWhole(normalFolderPath(folder), listener, [] { return std::make_unique<JsonPiece>(); }, out, out);
    out.finish();
}
