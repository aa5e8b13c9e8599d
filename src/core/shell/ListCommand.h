// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QByteArray>
#include <QList>

class QIODevice;

// `listwright --list [options] FOLDER`: the listing without a window. No GUI application is
// made, so it runs without a display.

// Whether the command line asks for it: "--list" (or "-list") before any "--".
bool isListCommand(int argc, char *argv[]);

// Its usage and options, as `listwright --list --help` writes them.
const char *listCommandHelp();

// Runs it on the program's own command line and standard streams; answers the exit status.
int runListCommand(int argc, char *argv[]);

// Runs it on `args` (the program's name left out), writing standard output to `out` and
// standard error to `err`: 0 when all went well, 1 when a problem was met or the output
// could not be written, 2 for a command line or title that is not usable. `outDescriptor` is
// the descriptor `out` writes to, if any: an `-o` path that leads to it writes to `out`.
int listCommand(const QList<QByteArray> &args, QIODevice &out, QIODevice &err, int outDescriptor = -1);
