// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Big lists come and go: a block of a megabyte or more is handed back to the system when it is
// freed, rather than kept by the allocator, so that one big folder listed does not keep the
// window's memory at its peak for the rest of the run; and such a block takes memory only as
// it is filled. Called once, before the window is made.
void handBackBigBlocks();
