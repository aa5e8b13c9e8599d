// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

// A folder mirrored through scripts/hangfs.py, a FUSE file system whose calls below chosen
// paths hang until released, as those of a stale network share do. Teardown releases every
// call, unmounts lazily and ends the file system's process, so no test leaves a hung mount
// behind. A watchdog releases everything after `watchdogSeconds`, so that a window thread
// that waits on the mount (the fault these tests look for) fails the test instead of hanging it.
class HangMount {
public:
    explicit HangMount(const QString &source, const QStringList &extraArguments = {}, int watchdogSeconds = 60);
    ~HangMount();

    // Empty when mounted; otherwise why not, for QSKIP.
    const QString &skipReason() const { return skip_; }
    QString path() const { return mountPoint_; }

    // Calls on paths at or below these (relative to the mount's root, "/" for all) hang.
    void hang(const QStringList &prefixes);
    void release() { hang({}); }
    // Whether the watchdog had to release the mount.
    bool watchdogFired() const { return fired_; }

private:
    QTemporaryDir dir_;
    QString mountPoint_, control_, skip_;
    QProcess process_;
    std::mutex mutex_;
    std::condition_variable ended_;
    bool ending_ = false;
    std::atomic<bool> fired_{false};
    std::thread watchdog_;
};
