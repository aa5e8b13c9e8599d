// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/shell/StartFolder.h"

#include "core/scan/CallWait.h"
#include "core/scan/engine/AbandonableCall.h"
#include "core/scan/engine/DirectoryList.h"
#include "core/scan/engine/FolderReader.h"
#include "core/shared/FsError.h"
#include "core/shared/Text.h"
#include "window/shell/FolderChange.h"
#include "window/shell/MainWindow.h"

#include "window/shell/OpenScan.h"

#include <QFile>
#include <QTimer>
#include <sys/stat.h>

namespace {
// A regular file that starts as a scan does: JSON's "[" after any blanks, or gzip's magic.
bool looksLikeScan(const QByteArray &path)
{
    struct stat st;
    if (::stat(path.constData(), &st) != 0 || !S_ISREG(st.st_mode))
        return false;
    QFile file(QFile::decodeName(path));
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray head = file.read(64);
    if (head.startsWith("\x1f\x8b"))
        return true;
    const QByteArray text = head.trimmed();
    return text.startsWith('[');
}
} // namespace

StartFolder startFolderFrom(const QByteArray &argument)
{
    if (argument.isEmpty())
        return {};
    const QByteArray path = normalFolderPath(argument);
    const QString named = displayName(path);
    // Before any window: a folder on a share that does not answer soon is given up, and the
    // call left behind (see AbandonableCall).
    // Whether it names a folder (true) or a scan file.
    AbandonableCall<bool> opened([path] {
        if (looksLikeScan(path))
            return false;
        FolderHandle::open(path);
        return true;
    });
    if (!opened.answeredWithin(2000))
        return {{}, named, CallWait::givenUpDescription(), {}};
    try {
        if (!opened.take())
            return {{}, named, {}, QFile::decodeName(path)};
    } catch (const FsError &e) {
        return {{}, named, e.description(), {}};
    }
    return {path, named, {}, {}};
}

QString startFolderProblemLine(const StartFolder &start)
{
    return QStringLiteral("listwright: cannot open folder %1: %2").arg(start.named, start.problem);
}

std::unique_ptr<MainWindow> openMainWindow(MessageBoxes &boxes, PrinterService &printer, WebOpener &opener,
                                           const StartFolder &start,
                                           const std::function<void(MainWindow *)> &created)
{
    auto main = std::make_unique<MainWindow>(boxes, printer, opener, start.path);
    if (created)
        created(main.get());
    if (!main->load())
        return nullptr;
    main->show();
    // The keyboard's: a window manager would give it the new window, and without one a box
    // shown while the window loaded (no printer, say) leaves it with the screen.
    main->activateWindow();
    // The same box as for a folder of the folder tree that cannot be opened, once the window
    // is on the screen and whoever opened it (the splash) has gone.
    if (!start.problem.isEmpty()) {
        MainForm *f = &main->form();
        QTimer::singleShot(0, main.get(), [f, start] { dirFolder_OpenFailed(*f, start.named, start.problem); });
    }
    // A scan named is read once the window is on the screen, as Open Scan reads it.
    if (!start.scanFile.isEmpty()) {
        MainWindow *window = main.get();
        QTimer::singleShot(0, window, [window, file = start.scanFile] { openScanFile(window->form(), window->scans(), file); });
    }
    return main;
}
