// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "core/scan/engine/WalkScope.h"

#include <QString>
#include <cstdint>
#include <memory>

// The names a listing leaves out, as the user gives them: file patterns, with the file
// pattern's wildcards and case rules (see FilePattern), several separated by ";". A name that
// matches one is not listed, not counted in any size and never gone into, at any depth.

// The filter for `patterns`, asked from any thread; none when they hold no pattern. Throws
// FsError for a pattern the file pattern refuses.
std::shared_ptr<const NameFilter> exclusionFilter(const QString &patterns);

// What the parent folder line says of them: "  N excluded" when the listing passed over any.
QString excludedNote(int64_t entries);
