// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/scan/ScanPump.h"

#include "core/scan/FolderLine.h"
#include "core/scan/ProgressText.h"
#include "window/scan/ScanErrorReport.h"
#include "window/scan/ScanSteps.h"
#include "window/shared/MainForm.h"
#include "window/shared/TextList.h"

#include <QCoreApplication>
#include <QMainWindow>
#include <QStatusBar>
#include <QStyle>

ScanPump::ScanPump(MainForm &f, ScanSession &session, const ScanSession::Request &request, bool countsSizes)
    : ScanPort(session.options), f_(f), session_(session), request_(request)
{
    if (countsSizes)
        sizeScan_.emplace(session, request);
}

ScanPump::~ScanPump()
{
    if (sizeScan_ && f_.StatusBar1)
        f_.StatusBar1->clearMessage();
}

void ScanPump::folderLine(const ScanSubfolder &subfolder, std::optional<int64_t> bytes, int nameWidth)
{
    if (!bytes) {
        f_.lstFolders->addItem(subfolder.text, {-1, subfolder.modified});
        return;
    }
    // A line's bytes count in the total as the line shows them.
    f_.lstFolders->addItem(::folderLine(subfolder.text, *bytes, nameWidth), {*bytes, subfolder.modified});
    f_.FolderLinesBytes += *bytes;
    f_.FolderTotalBytes += *bytes;
    ++dots_;
}

void ScanPump::treeCounted(int64_t bytes)
{
    f_.FolderTotalBytes += bytes; // the folder list is empty until the folder list scan fills it
    ++dots_;
}

void ScanPump::fileLines(const TextLines &lines)
{
    f_.lstBigFileList->addItems(lines);
}

void ScanPump::ownFilesCounted(int64_t bytes)
{
    f_.FolderTotalBytes += bytes;
}

ScanEnd ScanPump::watchWorkers(ParallelCount &pool, const std::function<ScanEnd()> &takeTrees)
{
    const ScanSession::Workers watched(session_, request_, pool);
    return takeTrees();
}

void ScanPump::showCaption()
{
    if (dots_ == 0)
        return;
    QString caption = f_.window->windowTitle();
    for (; dots_ > 0; --dots_)
        caption = advancedCaption(caption);
    f_.window->setWindowTitle(caption);
}

ScanEnd ScanPump::pump()
{
    showCaption();
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
    showCaption();
    reportScanError(f_, description, name, folder);
    // The boxes run a loop of their own, in which a newer request may have come.
    return session_.verdict(request_);
}
