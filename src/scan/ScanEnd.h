#pragma once

// How a size scan ended: ran to its end, honoured a stop request, or was overtaken by a
// newer request (a folder, drive or pattern change, an option click, or closing the window)
// and returned touching nothing.
enum class ScanEnd { Completed, Stopped, Abandoned };
