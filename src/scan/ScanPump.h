#pragma once
#include "scan/ScanListener.h"
#include "scan/ScanSession.h"

struct MainForm;

// The window's side of a size scan: its pump processes the window's pending events, after
// which the scan learns from the session whether it may go on; a folder or file it cannot
// read is shown in the scan's two boxes. While it lives, its request's size scan is the one a
// stop request reaches.
class ScanPump : public ScanListener {
public:
    ScanPump(MainForm &f, ScanSession &session, const ScanSession::Request &request);

    ScanEnd problem(const QString &description, const QString &entryName) override;

    // Event pumps of every size scan so far (tests count them instead of timing them).
    static inline long long pumps = 0;

protected:
    ScanEnd pump() override;

private:
    MainForm &f_;
    ScanSession &session_;
    const ScanSession::Request &request_;
    ScanSession::SizeScan sizeScan_;
};
