// SPDX-License-Identifier: GPL-3.0-or-later
#include "scan/engine/SeenFiles.h"

int64_t SeenFiles::merge(const SeenFiles &later)
{
    int64_t twice = 0;
    for (const auto &[key, length] : later.lengths_)
        if (!lengths_.try_emplace(key, length).second)
            twice += length;
    return twice;
}
