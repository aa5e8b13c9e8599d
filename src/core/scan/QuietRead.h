// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "core/scan/engine/ScanListener.h"
#include "core/shared/QuietWork.h"

// A listener for reading and sorting a big folder's names outside a scan: the window keeps
// repainting meanwhile (see QuietWork), no handler runs, and the read always goes on.
class QuietRead : public ScanListener {
public:
    ScanEnd problem(const QString &, const QString &) override { return ScanEnd::Completed; }

protected:
    ScanEnd pump() override
    {
        quiet_.keepAlive();
        return ScanEnd::Completed;
    }

private:
    QuietWork quiet_;
};
