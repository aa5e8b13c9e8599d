// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QByteArray>
#include <cstdint>

// How far a size scan has come: what the tree counter has counted so far, for whoever runs
// the scan to show. The counter bumps it; it never decides anything.
struct ScanProgress {
    int64_t folders = 0; // folders whose files were read
    int64_t files = 0;
    int64_t bytes = 0;
    QByteArray folder; // the folder being read

    void enterFolder(const QByteArray &path)
    {
        ++folders;
        folder = path;
    }
    void addFile(int64_t length)
    {
        ++files;
        bytes += length;
    }
};
