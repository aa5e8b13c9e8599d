// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "core/scan/engine/DirectoryList.h"
#include "core/scan/engine/FolderScan.h"
#include "core/scan/tree/ScanTree.h"

#include <QListWidget>
#include <memory>
#include <optional>
#include <utility>

// The visible folder list: the current path as an indented tree of open folders, followed
// by the current folder's subfolders one level deeper. Enter or a double-click opens the
// folder under the cursor; moving the current item only highlights it.
class DirFolderView : public QListWidget {
    Q_OBJECT
public:
    explicit DirFolderView(QWidget *parent = nullptr);

    // Points the list at a folder; raises changed() when the path differs from the one shown.
    // Throws FsError for an unusable path, and the list then stays as it was.
    void setPath(const QByteArray &path);
    // Starts reading `path` now, on a worker, for the first setPath of any view to the same
    // folder to take: the start folder is read while the splash shows.
    static void readAhead(const QByteArray &path);
    const QByteArray &path() const { return list_.path(); }
    QString pathText() const;

    // The current folder's subfolders.
    int count() const { return list_.count(); }
    // The folder and its subfolders as a scan of them starts (made with the read).
    const FolderScanStart &scanStart() const { return scanStart_; }
    QByteArray entry(int i) const { return list_.entry(i); }
    bool isLink(int i) const { return list_.isLink(i); }
    int64_t modified(int i) const { return list_.modified(i); }
    // When the current folder's entries last changed before they were read; whether they
    // changed on disk since.
    const struct timespec &stamp() const { return list_.stamp(); }
    bool stale() const;

    // The files the last setPath met in the folder, for the file list; they are given once,
    // and dropped when events are next processed if nobody took them.
    std::optional<FolderFiles> takeFiles() { return std::exchange(files_, std::nullopt); }

    // Opens a folder as Enter or a double-click on its item does.
    void openFolder(const QByteArray &path);

    // Shows folder `folder` of a scan in place of the file system's folders: the scan's top
    // path, the folders down to `folder`, then the folders in it. Opening one of them shows it
    // the same way and raises changed(); the file system is not touched. A folder the scan did
    // not read cannot be opened. setPath goes back to the file system, with a change.
    void showScan(std::shared_ptr<const ScanTree> tree, ScanTree::Index folder);
    bool showsScan() const { return bool(scan_); }
    ScanTree::Index scanFolder() const { return scanFolder_; }

signals:
    void changed();
    // The user tried to open a folder that cannot be read.
    void openFailed(const QString &folder, const QString &description);

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void openItem(QListWidgetItem *item);
    void open(const QByteArray &path);
    void rebuildItems();
    void rebuildScanItems();
    void openScanFolder(ScanTree::Index folder);

    DirectoryList list_;
    FolderScanStart scanStart_;
    std::optional<FolderFiles> files_;
    std::shared_ptr<const ScanTree> scan_; // while a scan is shown
    ScanTree::Index scanFolder_ = 0;
};
