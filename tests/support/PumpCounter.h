// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QTimer>

// Counts the passes of the event loop while it lives: a timer of no interval fires once in
// each, so once at every event pump of a scan.
class PumpCounter {
public:
    PumpCounter()
    {
        QObject::connect(&timer_, &QTimer::timeout, [this] { ++pumps_; });
        timer_.start(0);
    }
    long long pumps() const { return pumps_; }

private:
    QTimer timer_;
    long long pumps_ = 0;
};
