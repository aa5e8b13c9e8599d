// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/shell/WindowCommands.h"

#include "window/info/AboutWindow.h"
#include "window/info/HelpTexts.h"
#include "window/info/HelpWindow.h"
#include "core/shared/FsError.h"
#include "window/shared/Geometry.h"
#include "window/shared/MainForm.h"
#include "core/shared/MessageBoxes.h"
#include "window/scan/ScanSession.h"

#include <QApplication>
#include <QMainWindow>
#include <QScreen>
#include <stdexcept>

namespace {

// The main window's default outer size, frame, caption and menu bar included.
constexpr int DefaultWindowWidth = 9720;  // twips
constexpr int DefaultWindowHeight = 7725; // twips

} // namespace

void cmdExit_Click(MainForm &, ScanSession &session)
{
    // Ends the program at once. A size scan pumping events learns after its pump that the
    // window is closing and unwinds touching nothing; the event loop then ends. During a wait
    // on the file system or while a box is open, the window's close ends it from there.
    session.shutDown();
    QApplication::closeAllWindows();
    QCoreApplication::exit(0);
}

void mnuExit_Click(MainForm &f, ScanSession &session)
{
    cmdExit_Click(f, session);
}

void mnuWindowReset_Click(MainForm &f)
{
    try {
        QMainWindow *window = f.window;
        if (window->windowState() & (Qt::WindowMaximized | Qt::WindowMinimized | Qt::WindowFullScreen))
            return;
        const QScreen *screen = QGuiApplication::primaryScreen();
        if (!screen)
            throw std::runtime_error("There is no screen to place the window on.");

        // The outer size includes the frame the window manager draws around the window.
        const QSize frame = window->frameGeometry().size() - window->geometry().size();
        window->resize(twips(DefaultWindowWidth) - frame.width(), twips(DefaultWindowHeight) - frame.height());

        // Centre the outer size on the whole screen; on a screen smaller than the window an
        // edge is negative, and the window goes there.
        const QRect area = screen->geometry();
        const QSize outer = window->frameGeometry().size();
        window->move(area.left() + (area.width() - outer.width()) / 2,
                     area.top() + (area.height() - outer.height()) / 2);
    } catch (const std::exception &e) {
        f.boxes->show(errorDescription(e), QStringLiteral("Listwright - Error in Window Reset"));
    }
}

void mnuAbout_Click(MainForm &f)
{
    AboutWindow frmAbout(*f.opener, f.window);
    frmAbout.exec();
}

void mnuHelpPrint_Click(MainForm &f)
{
    HelpWindow frmHelpPrint(helpPrintPage(), f.window);
    frmHelpPrint.exec();
}

void mnuHelpSaveToFile_Click(MainForm &f)
{
    HelpWindow frmHelpSave(helpSavePage(), f.window);
    frmHelpSave.exec();
}
