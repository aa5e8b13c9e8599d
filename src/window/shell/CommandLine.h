// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QByteArray>

class QCoreApplication;

// The program's command line: listwright [FOLDER], --help and --version. A command line with
// --list is the listing without a window's (see ListCommand), taken before this one is read.

// Answers --help (which tells the --list options too) and --version on standard output and
// ends the program, before anything needs a display; a wrong command line gets its usage line on standard error and exit
// status 2; any other command line returns at once.
void answerHelpAndVersion(int argc, char *argv[]);

// Once the application has taken its own options (-style, -platform, ...): the folder named,
// as the bytes it was given in (empty when none). A wrong command line is told on standard
// error and ends the program.
QByteArray folderArgument(const QCoreApplication &app, int argc, char *argv[]);
