// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QByteArray>
#include <QString>
#include <functional>
#include <memory>

class MainWindow;
class MessageBoxes;
class PrinterService;
class WebOpener;

// The folder named on the command line. The program starts there as if the user had picked
// its drive and opened it in the folder tree; one that cannot be opened is told about, and
// the program starts as without it.
struct StartFolder {
    QByteArray path;   // absolute; empty: the working folder, as without a folder named
    QString named;     // the folder named, made absolute, as the boxes show a path
    QString problem;   // why it cannot be opened; empty when it can
    QString scanFile;  // a file named instead: a scan, opened once the window is up
};

// A relative folder is taken from the working folder. An empty argument names no folder. A
// file named where a folder would be is a scan to open (see openScanFile).
StartFolder startFolderFrom(const QByteArray &argument);

// The line for standard error about a folder that cannot be opened.
QString startFolderProblemLine(const StartFolder &start);

// Creates the main window at the start folder, runs its load and shows it; the box about a
// named folder that could not be opened follows from the event loop. `created` runs right after the
// window exists (the real boxes take it as their parent). Null when the load failed; its
// box has been shown.
std::unique_ptr<MainWindow> openMainWindow(MessageBoxes &boxes, PrinterService &printer, WebOpener &opener,
                                           const StartFolder &start,
                                           const std::function<void(MainWindow *)> &created = {});
