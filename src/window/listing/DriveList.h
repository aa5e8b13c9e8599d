// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QComboBox>
#include <QStringList>

// The drive list: the mounted volumes a person would call drives ("/" and the mount points
// of real file systems), each shown and returned as its mount point.
class DriveList : public QComboBox {
    Q_OBJECT
public:
    explicit DriveList(QWidget *parent = nullptr);

    // Replaces the listed drives (the machine's own at creation).
    void setDrives(const QStringList &mountPoints);

    // The selected drive; setting one that is already shown changes nothing.
    QString drive() const { return currentText(); }
    void setDrive(const QString &mountPoint);

    // A scan shown as a drive: one entry more, named `name` (its full name `tip` on hover) and
    // chosen without a change; an empty name takes that entry away.
    void showScanDrive(const QString &name, const QString &tip = {});
    // Whether the entry chosen is the scan's.
    bool scanChosen() const;

    // The machine's drives, and the drive that holds a folder.
    static QStringList mountedDrives();
    static QString driveOf(const QString &folder);
};

// The drives of a mount table in /proc/self/mountinfo's form: "/" and the mount points of real
// file systems (block devices but package images, network shares), sorted.
QStringList drivesFromMountTable(const QByteArray &mountInfo);
