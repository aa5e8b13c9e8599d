// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "scan/engine/ScanListener.h"
#include "scan/ScanSession.h"

#include <QElapsedTimer>

struct MainForm;

// The window's side of a size scan: its pump shows the scan's progress in the status bar and
// processes the window's pending events, after which the scan learns from the session whether
// it may go on; a folder or file it cannot read is shown in the scan's two boxes. While it
// lives, its request's size scan is the one a stop request reaches. When the scan ends, for
// whatever reason, the status bar is emptied.
class ScanPump : public ScanListener {
public:
    ScanPump(MainForm &f, ScanSession &session, const ScanSession::Request &request);
    ~ScanPump() override;

    ScanEnd problem(const QString &description, const QString &entryName) override;
    ScanEnd fileProblem(const QString &description, const QString &name, const QString &folder) override;

    // Keeps `pool` known to the session while the answer lives, so that whatever ends this
    // scan's request cancels its workers at once.
    ScanSession::Workers watch(ParallelCount &pool) { return {session_, request_, pool}; }

protected:
    ScanEnd pump() override;

private:
    void showProgress();

    MainForm &f_;
    ScanSession &session_;
    const ScanSession::Request &request_;
    ScanSession::SizeScan sizeScan_;
    QElapsedTimer progressShown_;
};
