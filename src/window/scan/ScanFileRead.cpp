// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/scan/ScanFileRead.h"

#include "core/scan/CallWait.h"
#include "core/scan/tree/ScanFileReader.h"
#include "core/shared/FsError.h"
#include "core/shared/MessageBoxes.h"
#include "window/shared/MainForm.h"

#include <QFile>
#include <atomic>

std::shared_ptr<const ScanTree> readScanInWindow(MainForm &f, const QString &file, const QString &title)
{
    struct Read {
        std::shared_ptr<ScanTree> tree;
        ScanFileResult result;
    };
    // The reading left behind when the wait is given up stops at its next question.
    const auto stop = std::make_shared<std::atomic<bool>>(false);
    try {
        Read read = CallWait::run<Read>(QFile::encodeName(file), [file, stop] {
            Read r;
            r.tree = std::make_shared<ScanTree>();
            r.result = readScanFile(file, *r.tree, [stop](int64_t) { return !stop->load(); });
            return r;
        });
        if (read.result.ok())
            return read.tree;
        if (read.result.outcome == ScanFileResult::Outcome::Failed)
            f.boxes->show(read.result.message, title);
    } catch (const FsError &e) {
        stop->store(true);
        if (e.description() != CallWait::givenUpDescription())
            f.boxes->show(e.description(), title);
    }
    return nullptr;
}
