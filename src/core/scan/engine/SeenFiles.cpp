// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/scan/engine/SeenFiles.h"

#include <utility>

Tally SeenFiles::merge(const SeenFiles &later)
{
    Tally twice;
    for (const auto &[key, sizes] : later.lengths_)
        if (!lengths_.try_emplace(key, sizes).second)
            twice.add(sizes.length, sizes.allocated);
    later.folders_.forEach([this](const Key &folder) { folders_.insert(folder); });
    return twice;
}

bool SeenFiles::sharesFolderWith(const SeenFiles &later) const
{
    const bool laterSmaller = later.folders_.size() < folders_.size();
    const Folders &small = laterSmaller ? later.folders_ : folders_;
    const Folders &big = laterSmaller ? folders_ : later.folders_;
    return small.any([&big](const Key &folder) { return big.contains(folder); });
}
