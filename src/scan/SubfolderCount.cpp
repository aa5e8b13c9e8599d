// SPDX-License-Identifier: GPL-3.0-or-later
#include "scan/SubfolderCount.h"

#include "scan/ScanPump.h"
#include "scan/engine/SubfolderTrees.h"
#include "shared/MainForm.h"
#include "shared/TextList.h"

ScanEnd countSubfolders(MainForm &f, ScanPump &pump, TreeCounter &counter, const FolderScanStart &start,
                        const ParallelCount::LineOf &lineOf, const std::function<void(int64_t bytes)> &counted,
                        int64_t *ownBytes)
{
    std::vector<QByteArray> trees;
    trees.reserve(start.subfolders.size());
    for (const ScanSubfolder &entry : start.subfolders)
        trees.push_back(entry.path); // a link to a folder counts its own length, unwalked
    return countSubfolderTrees(
        pump, counter, start.folder, trees, lineOf, [&f](const TextLines &lines) { f.lstBigFileList->addItems(lines); },
        counted, ownBytes, [&pump](ParallelCount &pool, const std::function<ScanEnd()> &takeTrees) {
            const ScanSession::Workers watched = pump.watch(pool);
            return takeTrees();
        });
}
