// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "core/scan/engine/WalkScope.h"

#include <QByteArray>
#include <memory>

struct MainForm;
class ScanTree;

// A scan of `folder` and everything below it into a tree, within `scope`, on a worker while the
// window waits as it waits for the file system (see CallWait): Esc, or any other handler that
// comes due, gives it up, and the walk stops. What it cannot read is kept in the tree as such.
// Null when it was given up (nothing said) or the folder cannot be opened (said in a box
// titled `title`).
std::shared_ptr<const ScanTree> walkIntoTree(MainForm &f, const QByteArray &folder, const WalkScope &scope,
                                             const QString &title);

// The window's own scan of `folder` (see MainForm::ScannedTree) when it is the one a walk within
// `scope` would make, but for what changed on the disk since; else null.
std::shared_ptr<const ScanTree> keptScanOf(const MainForm &f, const QByteArray &folder, const WalkScope &scope);
