// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/HangMount.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QTest>
#include <QThread>

namespace {
bool mounted(const QString &mountPoint)
{
    QFile table(QStringLiteral("/proc/self/mountinfo"));
    return table.open(QIODevice::ReadOnly) && table.readAll().contains(' ' + QFile::encodeName(mountPoint) + ' ');
}

void writeControl(const QString &file, const QStringList &prefixes)
{
    // A new file each time: the file system sees it by its changed modification time or inode.
    QSaveFile out(file);
    if (out.open(QIODevice::WriteOnly)) {
        out.write(prefixes.join(u'\n').toUtf8() + '\n');
        out.commit();
    }
}
}

HangMount::HangMount(const QString &source, const QStringList &extraArguments, int watchdogSeconds)
    : mountPoint_(dir_.filePath(QStringLiteral("mnt"))), control_(dir_.filePath(QStringLiteral("control")))
{
    const QString script = QFINDTESTDATA("../../scripts/hangfs.py");
    if (!QFile::exists(QStringLiteral("/dev/fuse"))) {
        skip_ = QStringLiteral("no /dev/fuse: FUSE is not available here");
        return;
    }
    if (script.isEmpty() || !QFile::exists(QStringLiteral("/usr/bin/python3"))) {
        skip_ = QStringLiteral("scripts/hangfs.py or /usr/bin/python3 not found");
        return;
    }
    QDir().mkpath(mountPoint_);
    writeControl(control_, {});
    process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process_.start(QStringLiteral("/usr/bin/python3"),
                   QStringList{script, source, mountPoint_, QStringLiteral("--control"), control_} + extraArguments);
    const QDeadlineTimer deadline(10000);
    while (!mounted(mountPoint_) && !deadline.hasExpired() && process_.state() != QProcess::NotRunning)
        QThread::msleep(20);
    if (!mounted(mountPoint_)) {
        skip_ = QStringLiteral("hangfs.py did not mount (is python3-fusepy installed? run scripts/setup.sh test)");
        return;
    }
    watchdog_ = std::thread([this, watchdogSeconds] {
        std::unique_lock lock(mutex_);
        if (!ended_.wait_for(lock, std::chrono::seconds(watchdogSeconds), [this] { return ending_; })) {
            fired_ = true;
            writeControl(control_, {});
        }
    });
}

HangMount::~HangMount()
{
    if (watchdog_.joinable()) {
        {
            const std::lock_guard lock(mutex_);
            ending_ = true;
        }
        ended_.notify_all();
        watchdog_.join();
    }
    writeControl(control_, {});
    if (process_.state() != QProcess::NotRunning) {
        QProcess::execute(QStringLiteral("fusermount"), {QStringLiteral("-u"), QStringLiteral("-z"), mountPoint_});
        if (!process_.waitForFinished(5000)) {
            process_.kill();
            process_.waitForFinished(5000);
        }
    }
}

void HangMount::hang(const QStringList &prefixes)
{
    writeControl(control_, prefixes);
}
