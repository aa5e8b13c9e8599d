// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QByteArray>
#include <QString>
#include <QStringList>

class QCommandLineParser;

// Which window system the window goes to, decided before the application is made, so that a
// session without a usable one gets a line and an exit status instead of the toolkit's abort.

// The window system plugins to try, in order (as the toolkit's platform list, "wayland;xcb"),
// or, when none of them can show a window, why not.
struct WindowSystem {
    QByteArray platforms;
    QString problem;
};

// From the session's DISPLAY, WAYLAND_DISPLAY and XDG_SESSION_TYPE, and the file names of the
// installed platform plugins ("libqxcb.so", ...). An empty plugin list means they could not be
// looked at: the toolkit is then left to its own choice, where there is a display at all.
WindowSystem windowSystemFor(const QByteArray &display, const QByteArray &waylandDisplay,
                             const QByteArray &sessionType, const QStringList &plugins);

// Unless the command line (-platform) or QT_QPA_PLATFORM chose one, points the toolkit at the
// window systems the session can use; without one, tells why on standard error and ends the
// program with status 1.
void chooseWindowSystem(int argc, char *argv[]);

// The toolkit's own command line options (-style Fusion, -platform offscreen, -reverse, ...),
// hidden, so that a parser of the program's options accepts them and takes their values.
void addToolkitOptions(QCommandLineParser &parser);
