// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// How a size scan ended: ran to its end, honoured a stop request, was overtaken by a newer
// request (a folder, drive or pattern change, an option click, or closing the window) and
// returned touching nothing, or found the folder it scans removed, said so once and ended.
enum class ScanEnd { Completed, Stopped, Abandoned, FolderGone };
