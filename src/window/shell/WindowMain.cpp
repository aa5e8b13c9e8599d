// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/output/QtPrinterService.h"
#include "window/scan/DirFolderView.h"
#include "core/scan/CallWait.h"
#include "window/shared/QtMessageBoxes.h"
#include "window/shared/WebOpener.h"
#include "window/shell/CommandLine.h"
#include "core/shell/ListCommand.h"
#include "window/shell/MainWindow.h"
#include "window/shell/Splash.h"
#include "window/shell/ViewMenu.h"
#include "window/shell/StartFolder.h"
#include "window/shell/WindowMemory.h"
#include "window/shell/WindowSystem.h"

#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <memory>

// The window's program, which the program the user starts runs in its place (see main.cpp).
int main(int argc, char *argv[])
{
    // The listing without a window makes no GUI application, here too.
    if (isListCommand(argc, argv))
        return runListCommand(argc, argv);
    // --help and --version answer without a display.
    answerHelpAndVersion(argc, argv);
    chooseWindowSystem(argc, argv); // or a line telling why no window can be shown

    handBackBigBlocks();
    QApplication app(argc, argv);
    const StartFolder start = startFolderFrom(folderArgument(app, argc, argv));
    if (!start.problem.isEmpty())
        std::fprintf(stderr, "%s\n", qPrintable(startFolderProblemLine(start)));
    // The folder the window opens in is read while the splash shows.
    if (start.scanFile.isEmpty())
        DirFolderView::readAhead(start.path.isEmpty() ? workingFolder() : start.path);

    QtMessageBoxes boxes;
    QtPrinterService printer;
    DesktopWebOpener opener;
    std::unique_ptr<MainWindow> main;

    // The splash opens first; its first tick creates, loads and shows the main window.
    auto *splash = new SplashWindow([&] {
        main = openMainWindow(boxes, printer, opener, start, [&](MainWindow *window) { boxes.setParent(window); });
        if (!main)
            QCoreApplication::exit(1);
    });
    // Closing the window while it waits for a file system that does not answer: the call is
    // left behind, the process ends without joining it (see CallWait).
    CallWait::hooks.endProgram = [&main] {
        if (main)
            main->hide();
        QCoreApplication::processEvents();
        settleViewChoices(); // the View choices still being written, as a normal end waits for them
        std::fflush(nullptr);
        std::_Exit(0);
    };
    splash->setAttribute(Qt::WA_DeleteOnClose);
    splash->show();
    return app.exec();
}
