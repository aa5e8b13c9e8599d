// SPDX-License-Identifier: GPL-3.0-or-later
#include "listing/DriveList.h"

#include <QDir>
#include <QFileInfo>
#include <QStorageInfo>

namespace {
bool isRealFileSystem(const QStorageInfo &v)
{
    const QByteArray device = v.device();
    const QByteArray type = v.fileSystemType();
    if (v.rootPath() == QLatin1String("/"))
        return true;
    if (device.startsWith("/dev/")) {
        // Read-only package images are not drives, nor is a file mounted over another (as
        // containers do with /etc/hosts). Only local volumes are looked at here: a look at
        // an unreachable network share could block.
        return !type.startsWith("squashfs") && QFileInfo(v.rootPath()).isDir();
    }
    static const QList<QByteArray> network = {"nfs", "nfs4", "cifs", "smb3", "smbfs", "sshfs",
                                              "fuse.sshfs", "9p", "fuse.rclone", "davfs"};
    return network.contains(type);
}
}

DriveList::DriveList(QWidget *parent) : QComboBox(parent)
{
    setDrives(mountedDrives());
    setDrive(driveOf(QDir::currentPath()));
}

QStringList DriveList::mountedDrives()
{
    QStringList result;
    for (const QStorageInfo &v : QStorageInfo::mountedVolumes())
        if (isRealFileSystem(v) && !result.contains(v.rootPath()))
            result.append(v.rootPath());
    result.sort();
    if (!result.contains(QStringLiteral("/")))
        result.prepend(QStringLiteral("/"));
    return result;
}

QString DriveList::driveOf(const QString &folder)
{
    // The deepest listed mount point that holds the folder.
    QString best = QStringLiteral("/");
    for (const QString &m : mountedDrives()) {
        const QString prefix = m.endsWith(QLatin1Char('/')) ? m : m + QLatin1Char('/');
        if ((folder == m || folder.startsWith(prefix)) && m.size() > best.size())
            best = m;
    }
    return best;
}

void DriveList::setDrives(const QStringList &mountPoints)
{
    const QSignalBlocker block(this);
    const QString current = currentText();
    clear();
    addItems(mountPoints);
    const int i = findText(current, Qt::MatchExactly);
    setCurrentIndex(i >= 0 ? i : 0);
}

void DriveList::setDrive(const QString &mountPoint)
{
    int i = findText(mountPoint, Qt::MatchExactly);
    if (i < 0) {
        addItem(mountPoint);
        i = count() - 1;
    }
    setCurrentIndex(i);
}
