// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/listing/DriveList.h"

#include <QDir>
#include <QFile>
#include <QSignalBlocker>

namespace {
constexpr int ScanDriveRole = Qt::UserRole + 1;

// A field of the mount table, whose blanks, tabs, line breaks and backslashes are written as
// three octal digits after a backslash.
QByteArray unescaped(const QByteArray &field)
{
    QByteArray out;
    out.reserve(field.size());
    for (qsizetype i = 0; i < field.size(); ++i) {
        const auto octal = [&](qsizetype k) { return field[k] >= '0' && field[k] <= '7'; };
        if (field[i] == '\\' && i + 3 < field.size() && octal(i + 1) && octal(i + 2) && octal(i + 3)) {
            out += char(((field[i + 1] - '0') << 6) | ((field[i + 2] - '0') << 3) | (field[i + 3] - '0'));
            i += 3;
        } else {
            out += field[i];
        }
    }
    return out;
}

// Whether a mounted volume is one a person would call a drive, from the mount table alone: a
// volume is never asked anything here, as an unreachable network share would not answer.
bool isDrive(const QByteArray &mountPoint, const QByteArray &type, const QByteArray &source)
{
    if (mountPoint == "/")
        return true;
    // Files mounted over files (as containers do with /etc/hosts) and the system's own places.
    for (const char *system : {"/etc/", "/proc/", "/sys/", "/dev/", "/run/"})
        if ((mountPoint + '/').startsWith(system) && !mountPoint.startsWith("/run/media/"))
            return false;
    if (source.startsWith("/dev/"))
        return !type.startsWith("squashfs"); // read-only package images are not drives
    static const QList<QByteArray> network = {"nfs", "nfs4", "cifs", "smb3", "smbfs", "sshfs", "fuse.sshfs", "9p",
                                              "fuse.rclone", "davfs", "afs", "ceph", "glusterfs", "fuse.glusterfs"};
    // A share also shows in its source: //server/share or server:/export.
    const bool shareSource = source.startsWith("//") || (source.indexOf(":/") > 0 && !source.contains(' '));
    return network.contains(type) || shareSource;
}
}

QStringList drivesFromMountTable(const QByteArray &mountInfo)
{
    QStringList result;
    for (const QByteArray &line : mountInfo.split('\n')) {
        // id parent major:minor root mount-point options [optional fields...] - type source options
        const QList<QByteArray> fields = line.split(' ');
        const qsizetype dash = fields.indexOf("-");
        if (fields.size() < 5 || dash < 5 || dash + 2 >= fields.size())
            continue;
        const QString mountPoint = QFile::decodeName(unescaped(fields[4]));
        if (isDrive(unescaped(fields[4]), fields[dash + 1], unescaped(fields[dash + 2])) && !result.contains(mountPoint))
            result.append(mountPoint);
    }
    result.sort();
    if (!result.contains(QStringLiteral("/")))
        result.prepend(QStringLiteral("/"));
    return result;
}

DriveList::DriveList(QWidget *parent) : QComboBox(parent)
{
    setDrives(mountedDrives());
    setDrive(driveOf(QDir::currentPath()));
}

QStringList DriveList::mountedDrives()
{
    QFile table(QStringLiteral("/proc/self/mountinfo"));
    return drivesFromMountTable(table.open(QIODevice::ReadOnly) ? table.readAll() : QByteArray());
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

void DriveList::showScanDrive(const QString &name, const QString &tip)
{
    const QSignalBlocker block(this);
    for (int i = count() - 1; i >= 0; --i)
        if (itemData(i, ScanDriveRole).toBool())
            removeItem(i);
    if (name.isEmpty())
        return;
    addItem(name);
    setItemData(count() - 1, true, ScanDriveRole);
    setItemData(count() - 1, tip, Qt::ToolTipRole);
    setCurrentIndex(count() - 1);
}

bool DriveList::scanChosen() const
{
    return currentIndex() >= 0 && itemData(currentIndex(), ScanDriveRole).toBool();
}
