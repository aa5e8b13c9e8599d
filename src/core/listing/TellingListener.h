// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "core/listing/FolderListing.h"
#include "core/scan/engine/ScanListener.h"

// A listener for a walk without a window: tells every problem on, a file by its full path, and
// goes on; an entry gone meanwhile is passed over. Nothing waits for its pump.
class TellingListener : public ScanListener {
public:
    explicit TellingListener(const ListingProblem &problem, ScanOptions options = {1000, -1})
        : ScanListener(std::move(options)), problem_(problem)
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
