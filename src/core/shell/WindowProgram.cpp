// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/shell/WindowProgram.h"

#include <climits>
#include <unistd.h>

#ifndef LISTWRIGHT_WINDOW_PROGRAM
#define LISTWRIGHT_WINDOW_PROGRAM "../libexec/listwright/listwright-window"
#endif

std::string windowProgram()
{
    // This program's own file, whatever path or link it was started through.
    char self[PATH_MAX];
    const ssize_t length = ::readlink("/proc/self/exe", self, sizeof self - 1);
    std::string folder = length > 0 ? std::string(self, size_t(length)) : std::string("/usr/bin/listwright");
    folder.erase(folder.rfind('/') + 1);
    const std::string beside = folder + "listwright-window";
    return ::access(beside.c_str(), X_OK) == 0 ? beside : folder + LISTWRIGHT_WINDOW_PROGRAM;
}
