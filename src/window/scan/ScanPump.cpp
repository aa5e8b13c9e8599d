// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/scan/ScanPump.h"

#include "core/scan/CallWait.h"
#include "core/scan/tree/TreeRowsBuilder.h"
#include "window/scan/DirFolderView.h"
#include "core/scan/ProgressText.h"
#include "window/scan/ScanErrorReport.h"
#include "window/scan/ScanSteps.h"
#include "core/shared/FsError.h"
#include "window/shared/MainForm.h"
#include "core/shared/Text.h"
#include "window/shared/TextList.h"

#include <QAction>
#include <QCoreApplication>
#include <QMainWindow>
#include <QStatusBar>
#include <QStyle>
#include <cerrno>
#include <sys/stat.h>
#include <utility>

ScanPump::ScanPump(MainForm &f, ScanSession &session, const ScanSession::Request &request, bool countsSizes)
    : ScanPort(session.options), f_(f), session_(session), request_(request)
{
    f.ScannedTree.reset(); // what an earlier scan saw is not what this one shows
    if (countsSizes)
        sizeScan_.emplace(session, request);
    if (f.dirFolder)
        scanFolder_ = f.dirFolder->scanStart().folder;
    counts_ = f.mnuCounts && f.mnuCounts->isChecked();
    diskUsage_ = scanChoices(f).diskUsage;
}

ScanPump::~ScanPump()
{
    if (sizeScan_ && f_.StatusBar1)
        f_.StatusBar1->clearMessage();
}

void ScanPump::keepTree()
{
    // Kept to be saved as the scan saw it: whole, and within a scope a walk of the folder alone
    // takes in just as well (the names Exclude passes over at its top are not in it).
    if (!tree_ || !tree_->topFound() || options().scope.exclude) // the scope the scan ran with
        return;
    while (tree_->current() != ScanTree::None)
        tree_->leave();
    f_.ScannedTree = std::move(tree_);
    f_.ScannedTreeOneFileSystem = options().scope.oneFileSystem;
}

WalkKeeper *ScanPump::keeper()
{
    if (!tree_) {
        tree_ = std::make_shared<ScanTree>();
        treeBuilder_ = std::make_unique<ScanTreeBuilder>(*tree_);
    }
    return treeBuilder_.get();
}

WalkKeeper *ScanPump::recursiveKeeper(bool diskUsage)
{
    // The lines are rows of the tree: they keep it as long as the list shows them.
    tree_ = std::make_shared<ScanTree>();
    treeBuilder_ = std::make_unique<TreeRowsBuilder>(
        tree_, diskUsage, [this](const std::shared_ptr<const LineMaker> &maker, qsizetype line, LineKey key) {
            f_.lstBigFileList->addMadeItem(maker, line, key, {});
        });
    return treeBuilder_.get();
}

void ScanPump::folderLine(const ScanSubfolder &subfolder, std::optional<ShownSize> size, int nameWidth)
{
    if (!size) { // no tree counted: the subfolder as the folder's read listed it
        f_.lstFolders->addItem(subfolder.text, LineKey{-1, subfolder.modified}, subfolder.path);
        return;
    }
    // A row of the tree its size was counted into: this scan's, or the one it takes over.
    const std::shared_ptr<const ScanTree> tree = takenOver_ ? takenOver_->tree : tree_;
    const ScanTree::Index entry = takenOver_ ? takenOver_->tops.at(rowsTaken_++) : treeBuilder_->lastTop();
    folderRows_ = FolderRowMaker::next(std::move(folderRows_), tree, nameWidth, counts_, diskUsage_);
    const qsizetype line = folderRows_->add(subfolder.text, entry);
    // The line, its key and the totals read the row: the tree counted what the walk counted.
    const ShownSize shown = folderRows_->size(line);
    Q_ASSERT(shown.bytes == size->bytes && shown.files == size->files);
    f_.lstFolders->addMadeItem(folderRows_, line, {shown.bytes, subfolder.modified, int32_t(utf8Length(subfolder.text))},
                               subfolder.path);
    f_.FolderLinesBytes += shown.bytes;
    f_.FolderTotalBytes += shown.bytes;
    f_.FolderLinesFiles += shown.files;
    f_.FolderTotalFiles += shown.files;
    ++dots_;
}

void ScanPump::treeCounted(ShownSize size)
{
    // The folder list is empty until the folder list scan fills it, from these rows.
    tops_.push_back(treeBuilder_ ? treeBuilder_->lastTop() : ScanTree::None);
    f_.FolderTotalBytes += size.bytes;
    f_.FolderTotalFiles += size.files;
    ++dots_;
}

void ScanPump::fileLines(const TextLines &lines)
{
    f_.lstBigFileList->addItems(lines);
}

void ScanPump::ownFilesCounted(ShownSize size)
{
    f_.FolderTotalBytes += size.bytes;
    f_.FolderTotalFiles += size.files;
}

void ScanPump::passedOver(int64_t entries)
{
    f_.FolderPassedOver = entries;
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
    f_.window->setWindowTitle(advancedCaption(f_.window->windowTitle(), std::exchange(dots_, 0)));
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
    showScanProgress(f_, progress);
}

void showScanProgress(MainForm &f, const ScanProgress &progress)
{
    // The counts show whole; the folder gives up its middle when the line is too long.
    QStatusBar *bar = f.StatusBar1;
    const QString counts = progressCounts(progress);
    const QFontMetrics metrics = bar->fontMetrics();
    const int grip = bar->isSizeGripEnabled() ? bar->style()->pixelMetric(QStyle::PM_SizeGripSize, nullptr, bar) : 0;
    const int room = bar->contentsRect().width() - grip - 8 - metrics.horizontalAdvance(counts);
    bar->showMessage(counts + metrics.elidedText(progressFolder(progress), Qt::ElideMiddle, qMax(room, 0)));
}

ScanEnd ScanPump::problem(const QString &description, const QString &entryName)
{
    // A folder found gone is said once: what lay in it went with it.
    if (inFolderReportedGone(entryName))
        return session_.verdict(request_);
    const bool gone = entryName.startsWith(QLatin1Char('/')) && description == FsError::fromErrno(ENOENT).description();
    if (gone)
        reportedGone_.append(entryName);
    const ScanEnd end = fileProblem(description, entryName, QString());
    // The scan's own folder gone (met by a worker, told here later): nothing is left to scan,
    // and no later step tells it again.
    if (gone && end == ScanEnd::Completed && !scanFolder_.isEmpty() && entryName == displayName(scanFolder_))
        return ScanEnd::FolderGone;
    return end;
}

ScanEnd ScanPump::vanished(const QString &description, const QByteArray &folder, const QByteArray &name)
{
    // Told when the boxes come to it, which may be long after a worker met it: the folder
    // may have gone meanwhile, and is then what is reported.
    const QString shown = displayName(folder);
    if (inFolderReportedGone(shown))
        return session_.verdict(request_);
    if (const QByteArray gone = outermostGone(folder); !gone.isEmpty())
        return problem(description, displayName(gone));
    return fileProblem(description, displayName(name), shown);
}

bool ScanPump::inFolderReportedGone(const QString &path) const
{
    for (const QString &gone : reportedGone_)
        if (path.startsWith(gone) && (path.size() == gone.size() || path[gone.size()] == QLatin1Char('/')))
            return true;
    return false;
}

QByteArray ScanPump::outermostGone(const QByteArray &folder) const
{
    try {
        return CallWait::run<QByteArray>(folder, [folder, top = scanFolder_] {
            QByteArray gone;
            for (QByteArray p = folder; !p.isEmpty();) {
                struct stat st;
                if (::lstat(p.constData(), &st) == 0 || errno != ENOENT)
                    break;
                gone = p;
                // No higher than the scan's own folder.
                if (p == top || !p.startsWith(top.endsWith('/') ? top : top + '/'))
                    break;
                const qsizetype slash = p.lastIndexOf('/');
                p = slash > 0 ? p.left(slash) : QByteArray();
            }
            gone.detach();
            return gone;
        });
    } catch (const FsError &) {
        return {};
    }
}

ScanEnd ScanPump::fileProblem(const QString &description, const QString &name, const QString &folder)
{
    showCaption();
    reportScanError(f_, description, name, folder);
    // The boxes run a loop of their own, in which a newer request may have come.
    return session_.verdict(request_);
}
