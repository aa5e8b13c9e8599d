// SPDX-License-Identifier: GPL-3.0-or-later
// The program as the user starts it. The listing without a window runs here, on Qt Core alone:
// loading the toolkit's window and printing libraries takes longer than listing a small folder.
// Everything else is the window's program, which takes this process's place with the same
// arguments.
#include "core/shell/ListCommand.h"
#include "core/shell/WindowProgram.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <unistd.h>

int main(int argc, char *argv[])
{
    if (isListCommand(argc, argv))
        return runListCommand(argc, argv);
    const std::string window = windowProgram();
    ::execv(window.c_str(), argv);
    std::fprintf(stderr, "listwright: cannot start %s: %s\n", window.c_str(), std::strerror(errno));
    return 1;
}
