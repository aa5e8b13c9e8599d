// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/shell/ViewMenu.h"

#include "core/scan/CallWait.h"
#include "core/scan/engine/AbandonableCall.h"
#include "window/shell/Refresh.h"
#include "window/scan/ScanSession.h"
#include "window/shared/MainForm.h"
#include "window/shared/TextList.h"

#include <QAction>
#include <QActionGroup>
#include <QCheckBox>
#include <QCoreApplication>
#include <QMenu>
#include <QMenuBar>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <thread>

namespace {
// The three items of a Sort By menu, one of them checked.
void addSortItems(QMenu *menu, const char *name, QAction *&byName, QAction *&bySize, QAction *&byModified)
{
    auto *group = new QActionGroup(menu);
    const auto item = [&](const char *caption, const char *suffix) {
        QAction *a = menu->addAction(QString::fromLatin1(caption));
        a->setObjectName(QString::fromLatin1(name) + QLatin1String(suffix));
        a->setCheckable(true);
        group->addAction(a);
        return a;
    };
    byName = item("&Name", "Name");
    bySize = item("&Size", "Size");
    byModified = item("&Modified", "Modified");
    byName->setChecked(true);
}

QAction *sortItem(QAction *byName, QAction *bySize, QAction *byModified, SortBy by)
{
    return by == SortBy::Size ? bySize : by == SortBy::Modified ? byModified : byName;
}

std::mutex counting, writing; // a write may hang: the window only ever takes `counting`
std::condition_variable settled;
uint64_t made = 0, pending = 0; // under `counting`
uint64_t written = 0;           // under `writing`

// Keeps the menu's choices for the next run, on a thread of its own: a home folder on a
// server that does not answer must not hold the window. The newest choices are the ones kept;
// a failure costs one line on standard error. The program waits for the writes at its end, at
// most a few seconds.
void remember(const MainForm &f)
{
    uint64_t mine = 0;
    {
        const std::lock_guard lock(counting);
        if (made == 0)
            qAddPostRoutine(settleViewChoices);
        mine = ++made;
        ++pending;
    }
    std::thread([mine, choices = shownViewChoices(f), file = viewSettingsFile()] {
        {
            const std::lock_guard lock(writing);
            if (mine > written) {
                written = mine;
                if (QString problem; !writeViewChoices(file, choices, &problem))
                    std::fprintf(stderr, "%s\n", qPrintable(problem));
            }
        }
        const std::lock_guard lock(counting);
        --pending;
        settled.notify_all();
    }).detach();
}
} // namespace

void buildViewMenu(QMenuBar *bar, MainForm &f)
{
    f.mnuView = bar->addMenu(QStringLiteral("&View"));
    f.mnuView->setObjectName("mnuView");
    f.mnuSortFolders = f.mnuView->addMenu(QStringLiteral("Sort &Folders By"));
    f.mnuSortFolders->setObjectName("mnuSortFolders");
    addSortItems(f.mnuSortFolders, "mnuSortFolders", f.mnuSortFoldersName, f.mnuSortFoldersSize, f.mnuSortFoldersModified);
    f.mnuSortFiles = f.mnuView->addMenu(QStringLiteral("Sort F&iles By"));
    f.mnuSortFiles->setObjectName("mnuSortFiles");
    addSortItems(f.mnuSortFiles, "mnuSortFiles", f.mnuSortFilesName, f.mnuSortFilesSize, f.mnuSortFilesModified);
    f.mnuView->addSeparator();
    f.mnuSizeBars = f.mnuView->addAction(QStringLiteral("Size &Bars"));
    f.mnuSizeBars->setObjectName("mnuSizeBars");
    f.mnuSizeBars->setCheckable(true);
    f.mnuCounts = f.mnuView->addAction(QStringLiteral("Show &Counts"));
    f.mnuCounts->setObjectName("mnuCounts");
    f.mnuCounts->setCheckable(true);
    f.mnuDiskUsage = f.mnuView->addAction(QStringLiteral("Disk &Usage"));
    f.mnuDiskUsage->setObjectName("mnuDiskUsage");
    f.mnuDiskUsage->setCheckable(true);
    f.mnuChangesOnly = f.mnuView->addAction(QStringLiteral("Show C&hanges Only"));
    f.mnuChangesOnly->setObjectName("mnuChangesOnly");
    f.mnuChangesOnly->setCheckable(true);
    f.mnuChangesOnly->setEnabled(false); // until a scan is compared
    f.mnuView->addSeparator();
    f.mnuOneFileSystem = f.mnuView->addAction(QStringLiteral("Stay On &One File System"));
    f.mnuOneFileSystem->setObjectName("mnuOneFileSystem");
    f.mnuOneFileSystem->setCheckable(true);
    f.mnuExclude = f.mnuView->addAction(QStringLiteral("E&xclude..."));
    f.mnuExclude->setObjectName("mnuExclude");
    f.mnuView->addSeparator();
    f.mnuFind = f.mnuView->addAction(QStringLiteral("Fin&d in Lists"));
    f.mnuFind->setObjectName("mnuFind");
}

void settleViewChoices()
{
    std::unique_lock wait(counting);
    settled.wait_for(wait, std::chrono::seconds(3), [] { return pending == 0; });
}

ViewChoicesRead readViewChoicesAside(const QString &file)
{
    AbandonableCall<ViewChoicesRead> read([file] {
        ViewChoicesRead r;
        r.choices = readViewChoices(file, &r.problem);
        return r;
    });
    if (read.answeredWithin(2000))
        return read.take();
    return {{}, QStringLiteral("listwright: ignoring the settings file %1: %2").arg(file, CallWait::givenUpDescription())};
}

ViewChoices shownViewChoices(const MainForm &f)
{
    return {f.lstFolders->sortBy(), f.lstBigFileList->sortBy(), f.mnuSizeBars->isChecked(), f.mnuCounts->isChecked(),
            f.mnuDiskUsage->isChecked(), f.mnuOneFileSystem->isChecked(), f.Exclusions};
}

void showViewChoices(MainForm &f, const ViewChoices &choices)
{
    sortItem(f.mnuSortFoldersName, f.mnuSortFoldersSize, f.mnuSortFoldersModified, choices.folders)->setChecked(true);
    sortItem(f.mnuSortFilesName, f.mnuSortFilesSize, f.mnuSortFilesModified, choices.files)->setChecked(true);
    f.mnuSizeBars->setChecked(choices.sizeBars);
    f.mnuCounts->setChecked(choices.counts);
    f.mnuDiskUsage->setChecked(choices.diskUsage);
    f.lstFolders->setSortBy(choices.folders);
    f.lstBigFileList->setSortBy(choices.files);
    f.lstFolders->setSizeBars(choices.sizeBars);
    f.lstBigFileList->setSizeBars(choices.sizeBars);
    f.mnuOneFileSystem->setChecked(choices.oneFileSystem);
    f.Exclusions = choices.exclusions;
}

void rememberViewChoices(const MainForm &f)
{
    remember(f);
}

void mnuSortFolders_Click(MainForm &f, SortBy by)
{
    sortItem(f.mnuSortFoldersName, f.mnuSortFoldersSize, f.mnuSortFoldersModified, by)->setChecked(true);
    f.lstFolders->setSortBy(by);
    remember(f);
    if (by == SortBy::Size && !isChecked(f.chkFolderSize))
        f.chkFolderSize->setChecked(true); // its handler counts the sizes
}

void mnuSortFiles_Click(MainForm &f, SortBy by)
{
    sortItem(f.mnuSortFilesName, f.mnuSortFilesSize, f.mnuSortFilesModified, by)->setChecked(true);
    f.lstBigFileList->setSortBy(by);
    remember(f);
    if (by == SortBy::Size && !isChecked(f.chkSize))
        f.chkSize->setChecked(true); // its handler rebuilds the list with sizes
    else if (by == SortBy::Modified && !isChecked(f.chkModified))
        f.chkModified->setChecked(true);
}

void mnuSizeBars_Click(MainForm &f)
{
    f.lstFolders->setSizeBars(f.mnuSizeBars->isChecked());
    f.lstBigFileList->setSizeBars(f.mnuSizeBars->isChecked());
    remember(f);
}

namespace {
// Counts and disk usage change what the sizes say: the folder is scanned again, as the
// Recursive box does.
void rescanForSizes(MainForm &f, ScanSession &session)
{
    remember(f);
    if (isChecked(f.chkRecursive))
        recursiveRefresh(f, session);
    else
        refresh(f, session, ScanSession::FolderList | ScanSession::FileList);
}
} // namespace

void mnuCounts_Click(MainForm &f, ScanSession &session)
{
    rescanForSizes(f, session);
}

void mnuDiskUsage_Click(MainForm &f, ScanSession &session)
{
    rescanForSizes(f, session);
}
