// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "core/scan/engine/ScanEnd.h"
#include "window/scan/CountedRows.h"
#include "window/scan/ScanSession.h"
#include "window/scan/ScanSteps.h"

struct MainForm;

// Rebuilds the folder list from the subfolders the folder tree shows: bare paths, or, with
// folder sizes on, each subfolder tree totalled into its line, the lines' bytes summed in
// FolderLinesBytes, and those and the folder's own files in FolderTotalBytes; ends with the
// parent folder line. Runs as part of `request`.
// Sizes the recursive file scan of the same refresh has just counted for the same subfolders
// are taken over rather than counted again, the lines then rows of that scan's tree.
ScanEnd FolderListScan(MainForm &f, ScanSession &session, const ScanSession::Request &request,
                       const CountedRows *counted = nullptr);
