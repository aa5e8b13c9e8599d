// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/scan/ScanSession.h"

#include "core/scan/engine/ParallelCount.h"

#include <algorithm>

ScanSession::Request ScanSession::begin(unsigned work)
{
    Request r;
    r.id = ++newest_;
    cancelWorkers(r.id);
    r.work = work | (running_ ? undone_ : 0u);
    running_ = true;
    undone_ = r.work;
    return r;
}

void ScanSession::done(Request &r, Work step)
{
    r.work &= ~unsigned(step);
    if (r.id == newest_)
        undone_ &= ~unsigned(step);
}

void ScanSession::finish(const Request &r)
{
    if (r.id == newest_) {
        running_ = false;
        undone_ = 0;
    }
    if (stopFor_ == r.id)
        stopFor_ = 0;
}

ScanEnd ScanSession::verdict(const Request &r)
{
    if (stopFor_ != 0 && stopFor_ == r.id) {
        stopFor_ = 0;
        return ScanEnd::Stopped;
    }
    if (closing_ || r.id != newest_)
        return ScanEnd::Abandoned;
    return ScanEnd::Completed;
}

void ScanSession::requestStop()
{
    if (sizeScan_ == 0)
        return;
    stopFor_ = sizeScan_;
    cancelWorkers(0, stopFor_);
    if (stopFor_ == newest_) {
        running_ = false;
        undone_ = 0;
    }
}

ScanSession::SizeScan::SizeScan(ScanSession &s, const Request &r) : s_(s), id_(r.id), previous_(s.sizeScan_)
{
    s_.sizeScan_ = id_;
}

ScanSession::SizeScan::~SizeScan()
{
    s_.sizeScan_ = previous_;
    // A stop made for this scan ends with it.
    if (s_.stopFor_ == id_)
        s_.stopFor_ = 0;
}

void ScanSession::cancelWorkers(uint64_t newest, uint64_t only)
{
    for (const Counting &c : workers_)
        if (c.request < newest || c.request == only)
            c.pool->cancel();
}

ScanSession::Workers::Workers(ScanSession &s, const Request &r, ParallelCount &pool) : s_(s), pool_(pool)
{
    s_.workers_.push_back({r.id, &pool});
}

ScanSession::Workers::~Workers()
{
    std::erase_if(s_.workers_, [this](const Counting &c) { return c.pool == &pool_; });
}
