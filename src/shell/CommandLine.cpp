// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/CommandLine.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <cstdio>
#include <cstdlib>

namespace {
void describe(QCommandLineParser &parser)
{
    QCoreApplication::setApplicationName(QStringLiteral("listwright"));
    QCoreApplication::setApplicationVersion(QStringLiteral("2.0.0"));
    parser.setApplicationDescription(
        QStringLiteral("Lists a folder's subfolders with their sizes and its files with their sizes and "
                       "modification times, and prints the list or saves it as a text file."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOption({QStringLiteral("list"), QStringLiteral("Writes FOLDER's listing (text, CSV or ncdu JSON) without a "
                                                             "window and exits; see listwright --list --help.")});
    parser.addPositionalArgument(QStringLiteral("FOLDER"),
                                 QStringLiteral("The folder to open at start, as if picked in the folder tree; "
                                                "a relative one is taken from the working folder."),
                                 QStringLiteral("[FOLDER]"));
}
}

void answerHelpAndVersion(int argc, char *argv[])
{
    // A core application needs no display; it is gone again before the real one starts.
    QCoreApplication core(argc, argv);
    QCommandLineParser parser;
    describe(parser);
    // Options meant for the window system are unknown here; they are checked once the real
    // application has taken its own.
    parser.parse(QCoreApplication::arguments());
    if (parser.isSet(QStringLiteral("help-all")))
        parser.process(core); // the help with the toolkit's own options; exits 0
    if (parser.isSet(QStringLiteral("help")))
        parser.showHelp(0);
    if (parser.isSet(QStringLiteral("version")))
        parser.showVersion();
}

QByteArray folderArgument(const QCoreApplication &app, int argc, char *argv[])
{
    QCommandLineParser parser;
    describe(parser);
    parser.process(app); // an unknown option is told on standard error and ends the program
    const QStringList folders = parser.positionalArguments();
    if (folders.size() > 1) {
        std::fprintf(stderr, "listwright: one folder at most, not %lld\n", static_cast<long long>(folders.size()));
        std::exit(1);
    }
    if (folders.isEmpty())
        return {};
    // A name need not be valid UTF-8: take the bytes it came in.
    for (int i = 1; i < argc; ++i)
        if (QFile::decodeName(argv[i]) == folders.first())
            return QByteArray(argv[i]);
    return QFile::encodeName(folders.first());
}
