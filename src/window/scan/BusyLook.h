// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

struct MainForm;
class ScanSession;

// The look of a running scan: the hourglass and the scanning caption from construction, the
// default pointer and the idle caption again on every way out (unless the window is closing).
class BusyLook {
public:
    BusyLook(MainForm &f, const ScanSession &session);
    ~BusyLook();
    BusyLook(const BusyLook &) = delete;
    BusyLook &operator=(const BusyLook &) = delete;

private:
    MainForm &f_;
    const ScanSession &session_;
};
