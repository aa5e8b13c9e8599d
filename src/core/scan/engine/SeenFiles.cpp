// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/scan/engine/SeenFiles.h"

#include <utility>

int64_t SeenFiles::merge(const SeenFiles &later)
{
    int64_t twice = 0;
    for (const auto &[key, length] : later.lengths_)
        if (!lengths_.try_emplace(key, length).second)
            twice += length;
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
