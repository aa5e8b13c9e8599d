// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/shell/WindowMemory.h"

#include <malloc.h>

void handBackBigBlocks()
{
    // A fixed threshold: the allocator would otherwise raise it as big blocks are freed, and
    // then hand out big blocks from memory it kept, all of it counted at once.
    ::mallopt(M_MMAP_THRESHOLD, 1 << 20);
}
