// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "core/scan/engine/ScanEnd.h"

struct MainForm;
class ScanSession;

// The one way the window's handlers scan: a request to the scan session for some of its three
// kinds of work (ScanSession::Work), carried out in this order: with the recursive listing
// off, a file list rebuild first (so the files show while the sizes are counted); the
// recursive file lines; the folder list; with the recursive listing on, the file list rebuild
// last, after the recursive lines. The hidden file list follows the folder tree first, and a
// new folder always gets its file list rebuilt. When the folder's entries changed on disk
// while it was scanned, it is read and scanned once more, so the lists show what is there.
ScanEnd refresh(MainForm &f, ScanSession &session, unsigned work);

// The recursive refresh: folder sizes switched on, then the recursive lines, the folder list
// with sizes and the file list rebuild.
ScanEnd recursiveRefresh(MainForm &f, ScanSession &session);
