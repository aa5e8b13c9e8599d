// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "core/scan/engine/ScanEnd.h"
#include "window/scan/CountedRows.h"
#include "window/scan/ScanSession.h"
#include "window/scan/ScanSteps.h"

struct MainForm;

// Walks every subfolder tree of the current folder and lists each file found below them in
// the complete file list, counting the sizes on the way; the folder list stays empty. With
// folder sizes on, the folder's own files are added to the total. Runs as part of `request`.
// What it counted is left in `counted`, with where in its tree.
ScanEnd RecursiveFileScan(MainForm &f, ScanSession &session, const ScanSession::Request &request,
                          CountedRows &counted);
