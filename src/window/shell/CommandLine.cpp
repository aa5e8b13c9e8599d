// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/shell/CommandLine.h"

#include "core/shell/ListCommand.h"
#include "window/shell/WindowSystem.h"

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
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    addToolkitOptions(parser);
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOption({QStringLiteral("list"), QStringLiteral("Writes FOLDER's listing (text, CSV or ncdu JSON) without a "
                                                             "window and exits; see listwright --list --help.")});
    parser.addPositionalArgument(QStringLiteral("FOLDER"),
                                 QStringLiteral("The folder to open at start, as if picked in the folder tree; "
                                                "a relative one is taken from the working folder. A scan file "
                                                "(ncdu's export format, gzip'd too) is opened as File > Open Scan "
                                                "opens it."),
                                 QStringLiteral("[FOLDER | SCAN]"));
}
}

void answerHelpAndVersion(int argc, char *argv[])
{
    // A core application needs no display; it is gone again before the real one starts.
    QCoreApplication core(argc, argv);
    QCommandLineParser parser;
    describe(parser);
    // A wrong command line gets its usage line, also where no window could be shown.
    const bool parsed = parser.parse(QCoreApplication::arguments());
    if (!parsed || parser.positionalArguments().size() > 1) {
        const QString what = parsed ? QStringLiteral("one folder at most, not %1").arg(parser.positionalArguments().size())
                                    : parser.errorText();
        std::fprintf(stderr, "listwright: %s\n%s\n", qPrintable(what), qPrintable(parser.helpText().section('\n', 0, 0)));
        std::exit(2);
    }
    if (parser.isSet(QStringLiteral("help-all")))
        parser.process(core); // the help with the toolkit's own options; exits 0
    if (parser.isSet(QStringLiteral("help"))) {
        // The listing without a window has options of its own, read apart from these.
        std::fputs(qPrintable(parser.helpText()), stdout);
        std::fputs("\n", stdout);
        std::fputs(listCommandHelp(), stdout);
        std::exit(0);
    }
    if (parser.isSet(QStringLiteral("version")))
        parser.showVersion();
}

QByteArray folderArgument(const QCoreApplication &app, int argc, char *argv[])
{
    QCommandLineParser parser;
    describe(parser);
    parser.process(app); // the command line was checked before the application was made
    const QStringList folders = parser.positionalArguments();
    if (folders.isEmpty())
        return {};
    // A name need not be valid UTF-8: take the bytes it came in.
    for (int i = 1; i < argc; ++i)
        if (QFile::decodeName(argv[i]) == folders.first())
            return QByteArray(argv[i]);
    return QFile::encodeName(folders.first());
}
