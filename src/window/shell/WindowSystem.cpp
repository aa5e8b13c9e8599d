// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/shell/WindowSystem.h"

#include <QCommandLineParser>
#include <QDir>
#include <QLibraryInfo>
#include <cstdio>
#include <cstdlib>
#include <cstring>

WindowSystem windowSystemFor(const QByteArray &display, const QByteArray &waylandDisplay,
                             const QByteArray &sessionType, const QStringList &plugins)
{
    const QString none = QStringLiteral("no display to show the window on (%1)");
    if (display.isEmpty() && waylandDisplay.isEmpty())
        return {{}, none.arg(QStringLiteral("DISPLAY and WAYLAND_DISPLAY are not set"))};
    if (plugins.isEmpty())
        return {};
    const auto installed = [&](const char *prefix) {
        return std::any_of(plugins.cbegin(), plugins.cend(),
                           [prefix](const QString &file) { return file.startsWith(QLatin1String(prefix)); });
    };
    const bool x11 = !display.isEmpty() && installed("libqxcb."),
               wayland = !waylandDisplay.isEmpty() && installed("libqwayland");
    // The session's own kind first; the other one where it runs too (X11 programs under
    // Wayland, through Xwayland).
    QByteArrayList order;
    if (wayland && sessionType == "wayland")
        order << "wayland";
    if (x11)
        order << "xcb";
    if (wayland && sessionType != "wayland")
        order << "wayland";
    if (!order.isEmpty())
        return {order.join(';'), {}};
    if (!display.isEmpty())
        return {{}, none.arg(QStringLiteral("DISPLAY is set, but the toolkit's X11 plugin is not installed"))};
    return {{}, none.arg(QStringLiteral("WAYLAND_DISPLAY is set, but the toolkit's Wayland plugin is not "
                                        "installed: install qt6-wayland, or start it in an X11 session"))};
}

void chooseWindowSystem(int argc, char *argv[])
{
    if (!qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        return;
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "-platform") == 0 || std::strcmp(argv[i], "--platform") == 0)
            return;
    // The plugins' folders as the toolkit searches them: QT_PLUGIN_PATH's, then its own.
    QStringList folders = qEnvironmentVariable("QT_PLUGIN_PATH").split(QDir::listSeparator(), Qt::SkipEmptyParts);
    folders << QLibraryInfo::path(QLibraryInfo::PluginsPath);
    QStringList plugins;
    for (const QString &folder : folders)
        plugins << QDir(folder + QStringLiteral("/platforms")).entryList(QDir::Files);
    const WindowSystem chosen = windowSystemFor(qgetenv("DISPLAY"), qgetenv("WAYLAND_DISPLAY"),
                                                qgetenv("XDG_SESSION_TYPE"), plugins);
    if (!chosen.problem.isEmpty()) {
        std::fprintf(stderr, "listwright: %s\n", qPrintable(chosen.problem));
        std::exit(1);
    }
    if (!chosen.platforms.isEmpty())
        qputenv("QT_QPA_PLATFORM", chosen.platforms);
}

void addToolkitOptions(QCommandLineParser &parser)
{
    // Those of QGuiApplication, QApplication and the X11 plugin; each also as -name=value.
    const char *const withValue[] = {"platform", "platformpluginpath", "platformtheme", "plugin", "qwindowgeometry",
                                     "geometry", "qwindowicon", "icon", "qwindowtitle", "title", "session",
                                     "display", "name", "style", "stylesheet", "qmljsdebugger"};
    const char *const flags[] = {"reverse", "nograb", "dograb", "sync", "widgetcount", "testability"};
    for (const char *name : withValue) {
        QCommandLineOption option(QString::fromLatin1(name), QString(), QStringLiteral("value"));
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }
    for (const char *name : flags) {
        QCommandLineOption option(QString::fromLatin1(name));
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }
}
