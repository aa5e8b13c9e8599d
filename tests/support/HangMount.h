// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSaveFile>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <condition_variable>
#include <thread>

// A folder mirrored through scripts/hangfs.py, a FUSE file system whose calls below chosen
// paths hang until released, as those of a stale network share do. Teardown releases every
// call, unmounts lazily and ends the file system's process, so no test leaves a hung mount
// behind. A watchdog releases everything after `watchdogSeconds`, so that a window thread
// waiting on the mount (the fault looked for) fails the test instead of hanging it.
class HangMount {
public:
    explicit HangMount(const QString &source, const QStringList &arguments = {}, int watchdogSeconds = 30)
    {
        // By the source folder's absolute path: a test found relative to its own source file
        // finds nothing where the build names sources relative to the build folder (Ninja).
        const QString script = QStringLiteral(LISTWRIGHT_SOURCE_DIR "/scripts/hangfs.py");
        if (!QFile::exists(QStringLiteral("/dev/fuse")) || !QFile::exists(script)) {
            skip = QStringLiteral("no /dev/fuse (or no scripts/hangfs.py): FUSE tests skipped");
            return;
        }
        QDir().mkpath(path);
        hang({});
        process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process_.start(QStringLiteral("/usr/bin/python3"), QStringList{script, source, path, "--control", control_} + arguments);
        for (QDeadlineTimer end(10000); !mounted() && !end.hasExpired() && process_.state() != QProcess::NotRunning;)
            QThread::msleep(20);
        if (!mounted()) {
            skip = QStringLiteral("hangfs.py did not mount (python3-fusepy missing? see scripts/setup.sh test)");
            return;
        }
        watchdog_ = std::thread([this, watchdogSeconds] {
            std::unique_lock lock(mutex_);
            if (!ended_.wait_for(lock, std::chrono::seconds(watchdogSeconds), [this] { return ending_; }))
                fired = true, hang({});
        });
    }
    ~HangMount()
    {
        if (watchdog_.joinable()) {
            {
                const std::lock_guard lock(mutex_);
                ending_ = true;
            }
            ended_.notify_all();
            watchdog_.join();
        }
        hang({});
        QProcess::execute(QStringLiteral("fusermount"), {"-u", "-z", path});
        if (process_.state() != QProcess::NotRunning && !process_.waitForFinished(5000))
            process_.kill(), process_.waitForFinished(5000);
    }

    // Calls on paths at or below these (relative to the mount's root, "/" for all) hang until
    // the list changes. A new file each time: hangfs.py sees its inode change.
    void hang(const QStringList &prefixes)
    {
        QSaveFile out(control_);
        if (out.open(QIODevice::WriteOnly) && out.write(prefixes.join(u'\n').toUtf8() + '\n') >= 0)
            out.commit();
    }

    QString skip;              // empty when mounted, else why not, for QSKIP
    std::atomic<bool> fired{}; // the watchdog had to release the mount

private:
    bool mounted() const
    {
        QFile table(QStringLiteral("/proc/self/mountinfo"));
        return table.open(QIODevice::ReadOnly) && table.readAll().contains(' ' + QFile::encodeName(path) + ' ');
    }

    QTemporaryDir dir_;
    QString control_ = dir_.filePath(QStringLiteral("control"));

public:
    const QString path = dir_.filePath(QStringLiteral("mnt"));

private:
    QProcess process_;
    std::mutex mutex_;
    std::condition_variable ended_;
    bool ending_ = false;
    std::thread watchdog_;
};
