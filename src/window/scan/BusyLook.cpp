// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/scan/BusyLook.h"

#include "window/scan/ScanSession.h"
#include "window/scan/ScanSteps.h"
#include "window/shared/MainForm.h"

#include <QMainWindow>

BusyLook::BusyLook(MainForm &f, const ScanSession &session) : f_(f), session_(session)
{
    f_.window->setCursor(Qt::WaitCursor);
    f_.window->setWindowTitle(ScanningCaption);
}

BusyLook::~BusyLook()
{
    if (!session_.closing())
        endScanLook(f_);
}
