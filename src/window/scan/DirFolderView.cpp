// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/scan/DirFolderView.h"

#include "core/scan/CallWait.h"
#include "core/scan/engine/FolderReader.h"
#include "core/shared/QuietWork.h"
#include "core/shared/FsError.h"
#include "core/shared/Text.h"

#include <QKeyEvent>
#include <QStyle>
#include <algorithm>

namespace {
constexpr int PathRole = Qt::UserRole + 1;
constexpr int ScanFolderRole = Qt::UserRole + 2; // a folder of the scan shown

// What setPath reads of a folder, on a worker.
struct Read {
    DirectoryList list;
    FolderFiles files;
    FolderScanStart start;
};

Read readFolder(const QByteArray &path)
{
    Read r;
    r.list.setPath(path, nullptr, &r.files);
    r.start = folderScanStart(r.list);
    return r;
}

// The read started by readAhead, until a setPath takes it or passes it by.
struct ReadAhead {
    QByteArray path;
    AbandonableCall<Read> call;
};
std::optional<ReadAhead> &readAheadOf()
{
    static std::optional<ReadAhead> ahead;
    return ahead;
}
}

void DirFolderView::readAhead(const QByteArray &path)
{
    const QByteArray p = normalFolderPath(path);
    readAheadOf().emplace(ReadAhead{p, AbandonableCall<Read>([p] { return readFolder(p); })});
}

DirFolderView::DirFolderView(QWidget *parent) : QListWidget(parent)
{
    setUniformItemSizes(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    connect(this, &QListWidget::itemDoubleClicked, this, &DirFolderView::openItem);
}

QString DirFolderView::pathText() const
{
    return displayName(list_.path());
}

void DirFolderView::setPath(const QByteArray &path)
{
    const QByteArray before = list_.path();
    const bool leavesScan = showsScan();
    files_.reset();
    {
        // The read goes to a worker, as the folder may be on a share that never answers; no
        // handler runs until it has answered or been given up (see CallWait).
        const QByteArray p = normalFolderPath(path);
        std::optional<ReadAhead> ahead = std::exchange(readAheadOf(), std::nullopt);
        Read read = ahead && ahead->path == p ? CallWait::await(p, ahead->call)
                                              : CallWait::run<Read>(p, [p] { return readFolder(p); });
        list_ = std::move(read.list);
        files_ = std::move(read.files);
        scanStart_ = std::move(read.start);
    }
    // The file list takes them right after this, or never: they are not kept beside its own.
    QMetaObject::invokeMethod(this, [this] { files_.reset(); }, Qt::QueuedConnection);
    scan_.reset();
    rebuildItems();
    if (list_.path() != before || leavesScan)
        emit changed();
}

void DirFolderView::showScan(std::shared_ptr<const ScanTree> tree, ScanTree::Index folder)
{
    scan_ = std::move(tree);
    scanFolder_ = folder;
    rebuildScanItems();
}

void DirFolderView::rebuildScanItems()
{
    clear();
    const QIcon openIcon = style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closedIcon = style()->standardIcon(QStyle::SP_DirClosedIcon);
    const QIcon linkIcon = style()->standardIcon(QStyle::SP_DirLinkIcon);
    const ScanTree &tree = *scan_;
    auto addItem = [this](const QIcon &icon, const QString &text, ScanTree::Index folder, int indent) {
        auto *item = new QListWidgetItem(icon, blanks(indent * 2) + text);
        item->setData(ScanFolderRole, qulonglong(folder));
        QListWidget::addItem(item);
        return item;
    };
    // The top, under the path it was scanned at, and the folders down to the one shown.
    std::vector<ScanTree::Index> down;
    for (ScanTree::Index i = scanFolder_; i != ScanTree::None; i = tree.at(i).folder)
        down.insert(down.begin(), i);
    QListWidgetItem *current = nullptr;
    int level = 0;
    for (const ScanTree::Index i : down) {
        const QByteArray name = i == 0 ? tree.path(0) : tree.name(i).toByteArray();
        current = addItem(openIcon, displayName(name), i, level++);
    }
    std::vector<ScanTree::Index> folders;
    for (ScanTree::Index i = ScanTree::first(scanFolder_); i < tree.end(scanFolder_); i = tree.next(i))
        if (tree.at(i).listedAsFolder())
            folders.push_back(i);
    std::stable_sort(folders.begin(), folders.end(),
                     [&tree](ScanTree::Index a, ScanTree::Index b) { return nameLess(tree.name(a), tree.name(b)); });
    for (const ScanTree::Index i : folders)
        addItem(tree.at(i).linksToFolder() ? linkIcon : closedIcon, displayName(tree.name(i).toByteArray()), i, level);
    setCurrentItem(current);
}

void DirFolderView::openScanFolder(ScanTree::Index folder)
{
    if (!scan_ || folder >= scan_->size())
        return;
    if (!scan_->at(folder).walked()) {
        emit openFailed(displayName(scan_->path(folder)), QStringLiteral("The scan did not read this folder"));
        return;
    }
    const bool differs = folder != scanFolder_;
    scanFolder_ = folder;
    rebuildScanItems();
    if (differs)
        emit changed();
}

void DirFolderView::rebuildItems()
{
    clear();
    const QIcon openIcon = style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closedIcon = style()->standardIcon(QStyle::SP_DirClosedIcon);
    const QIcon linkIcon = style()->standardIcon(QStyle::SP_DirLinkIcon);

    // The path from the root down to the current folder, each level one step further in.
    const QByteArray &p = list_.path();
    QList<QByteArray> parts = p.split('/');
    parts.removeAll(QByteArray());
    QByteArray sofar = "/";
    int level = 0;
    auto addItem = [this](const QIcon &icon, const QString &text, const QByteArray &path, int indent) {
        // Its path is set before it joins the list: a change to an item in the list looks the
        // item up among all the others, which would make a big folder's list quadratic.
        auto *item = new QListWidgetItem(icon, blanks(indent * 2) + text);
        item->setData(PathRole, path);
        QListWidget::addItem(item);
        return item;
    };
    QListWidgetItem *current = addItem(openIcon, QStringLiteral("/"), sofar, level);
    for (const QByteArray &part : parts) {
        sofar = joinPath(sofar, part);
        current = addItem(openIcon, displayName(part), sofar, ++level);
    }
    for (const ScanSubfolder &sub : scanStart_.subfolders)
        addItem(sub.isLink ? linkIcon : closedIcon, displayName(sub.path.mid(sub.path.lastIndexOf('/') + 1)), sub.path,
                level + 1);
    setCurrentItem(current);
}

bool DirFolderView::stale() const
{
    const QByteArray p = list_.path();
    const struct timespec stamp = list_.stamp();
    return CallWait::run<bool>(p, [p, stamp] { return !sameStamp(folderStamp(p), stamp); });
}

void DirFolderView::openItem(QListWidgetItem *item)
{
    if (!item)
        return;
    if (scan_) {
        const auto folder = ScanTree::Index(item->data(ScanFolderRole).toULongLong());
        if (QuietWork::running())
            QuietWork::handle(this, [this, folder] { openScanFolder(folder); });
        else
            openScanFolder(folder);
        return;
    }
    openFolder(item->data(PathRole).toByteArray());
}

void DirFolderView::openFolder(const QByteArray &path)
{
    // While the window waits for the file system, the choice overtakes that wait and is
    // carried out once the wait has unwound.
    if (QuietWork::running()) {
        QuietWork::handle(this, [this, path] { open(path); });
        return;
    }
    open(path);
}

void DirFolderView::open(const QByteArray &path)
{
    try {
        setPath(path);
    } catch (const FsError &e) {
        emit openFailed(displayName(path), e.description());
    }
}

void DirFolderView::keyPressEvent(QKeyEvent *event)
{
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && event->modifiers() == Qt::NoModifier) {
        openItem(currentItem());
        return;
    }
    QListWidget::keyPressEvent(event);
}
