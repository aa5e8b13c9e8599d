// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/scan/engine/SeenFiles.h"

#include <utility>

Tally SeenFiles::merge(const SeenFiles &later)
{
    Tally twice;
    for (const auto &[key, sizes] : later.lengths_)
        if (!lengths_.try_emplace(key, sizes).second)
            twice.add(sizes.length, sizes.allocated);
    folders_.insert(later.folders_.begin(), later.folders_.end());
    return twice;
}

bool SeenFiles::sharesFolderWith(const SeenFiles &later) const
{
    const auto &[small, big] = later.folders_.size() < folders_.size() ? std::pair(&later.folders_, &folders_)
                                                                        : std::pair(&folders_, &later.folders_);
    for (const Key &folder : *small)
        if (big->contains(folder))
            return true;
    return false;
}
