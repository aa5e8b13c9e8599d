// SPDX-License-Identifier: GPL-3.0-or-later
#include "scan/ScanPump.h"

#include "scan/ProgressText.h"
#include "scan/ScanErrorReport.h"
#include "shared/MainForm.h"

#include <QCoreApplication>
#include <QStatusBar>
#include <QStyle>

ScanPump::ScanPump(MainForm &f, ScanSession &session, const ScanSession::Request &request)
    : ScanListener(session.options), f_(f), session_(session), request_(request), sizeScan_(session, request)
{
}

ScanPump::~ScanPump()
{
    if (f_.StatusBar1)
        f_.StatusBar1->clearMessage();
}

ScanEnd ScanPump::pump()
{
    showProgress();
    QElapsedTimer pass;
    pass.start();
    QCoreApplication::processEvents();
    // A pass that painted for a while (the whole window, at a scan's start) leaves the timers
    // that came due meanwhile to the next pass: give them theirs now, not a pump later.
    if (pass.elapsed() >= options().pumpIntervalMs / 2)
        QCoreApplication::processEvents();
    return session_.verdict(request_);
}

void ScanPump::showProgress()
{
    if (!f_.StatusBar1 || (progressShown_.isValid() && progressShown_.elapsed() < session_.progressIntervalMs))
        return;
    progressShown_.start();
    // The counts show whole; the folder gives up its middle when the line is too long.
    QStatusBar *bar = f_.StatusBar1;
    const QString counts = progressCounts(progress);
    const QFontMetrics metrics = bar->fontMetrics();
    const int grip = bar->isSizeGripEnabled() ? bar->style()->pixelMetric(QStyle::PM_SizeGripSize, nullptr, bar) : 0;
    const int room = bar->contentsRect().width() - grip - 8 - metrics.horizontalAdvance(counts);
    bar->showMessage(counts + metrics.elidedText(progressFolder(progress), Qt::ElideMiddle, qMax(room, 0)));
}

ScanEnd ScanPump::problem(const QString &description, const QString &entryName)
{
    return fileProblem(description, entryName, QString());
}

ScanEnd ScanPump::fileProblem(const QString &description, const QString &name, const QString &folder)
{
    reportScanError(f_, description, name, folder);
    // The boxes run a loop of their own, in which a newer request may have come.
    return session_.verdict(request_);
}
