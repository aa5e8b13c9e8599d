// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "core/scan/engine/EntrySink.h"
#include "core/scan/engine/ScanEnd.h"

#include <QByteArray>

class ScanListener;

// Walks the whole tree below `path` (links never followed) and tells it in walk order. `top` is
// told the folder itself: entered, or, when it is a view of the kernel's or cannot be read or
// searched, an entry of a folder not walked (the last reported to `listener`). When it was
// entered, the names the listener's scope passes over come first, in a piece of their own; then
// its subfolders' trees and then its own files come as pieces made by `newPiece`, on
// the listener's workers, handed over to `taker`, which is then told to leave it. Completed, or
// FolderGone when the folder was removed meanwhile. Throws FsError when it cannot be opened.
ScanEnd walkWhole(const QByteArray &path, ScanListener &listener, const NewPieceSink &newPiece, PieceTaker &taker,
                  EntrySink &top);
