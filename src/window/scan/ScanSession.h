// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "core/scan/engine/ScanEnd.h"
#include "core/scan/engine/ScanOptions.h"

#include <cstdint>
#include <vector>

class ParallelCount;

// The one owner of the scans' state: which request is the newest, what it still has to do,
// which size scan is pumping events (the one a stop request reaches), and whether the window
// is closing. Every handler that scans asks it first; a scan asks it after every event pump
// whether it may go on.
//
// A request is one handler's plan: some of the three kinds of work below, done in a fixed
// order. A newer request overtakes the running one: the overtaken one touches nothing more,
// and the newer one takes on the work it left undone, so no list stays half built.
class ScanSession {
public:
    enum Work : unsigned {
        RecursiveLines = 1, // the recursive file lines below the folder's subfolders
        FolderList = 2,     // the folder list, with sizes when they are switched on
        FileList = 4,       // the complete file list's rebuild
    };

    struct Request {
        uint64_t id = 0;
        unsigned work = 0; // what is still to do
    };

    // Starts a request that overtakes the running one and takes on its undone work.
    Request begin(unsigned work);
    // A step of `r` is done: a request that overtakes it later need not do it again.
    void done(Request &r, Work step);
    // `r` ended, completed or stopped; nothing of it is left to take on.
    void finish(const Request &r);

    // After an event pump or a message box: whether `r` goes on (Completed), ends at the
    // user's stop request (Stopped), or was overtaken or the window is closing (Abandoned).
    ScanEnd verdict(const Request &r);

    // The stop command: reaches the size scan pumping events now, and settles its request's
    // work, so the list the stop command builds does not redo it. With no size scan running
    // the request is dropped; it never reaches a later scan.
    void requestStop();

    // How this window's scans count, and the least milliseconds between two progress lines
    // in the status bar (at most ten a second).
    ScanOptions options;
    int progressIntervalMs = 100;

    // Closing the main window: every scan ends at its next pump.
    void shutDown()
    {
        closing_ = true;
        cancelWorkers(UINT64_MAX);
    }
    bool closing() const { return closing_; }

    // Marks `r` as the request whose size scan pumps events while the object lives.
    class SizeScan {
    public:
        SizeScan(ScanSession &s, const Request &r);
        ~SizeScan();
        SizeScan(const SizeScan &) = delete;
        SizeScan &operator=(const SizeScan &) = delete;

    private:
        ScanSession &s_;
        uint64_t id_;
        uint64_t previous_;
    };

    // Worker threads counting for `r` while the object lives: cancelled the moment `r` is
    // overtaken or stopped or the window closes, not only when the scan next asks.
    class Workers {
    public:
        Workers(ScanSession &s, const Request &r, ParallelCount &pool);
        ~Workers();
        Workers(const Workers &) = delete;
        Workers &operator=(const Workers &) = delete;

    private:
        ScanSession &s_;
        ParallelCount &pool_;
    };

private:
    // Cancels the workers of every request older than `newest`, or of request `only`.
    void cancelWorkers(uint64_t newest, uint64_t only = 0);

    struct Counting {
        uint64_t request;
        ParallelCount *pool;
    };
    std::vector<Counting> workers_;
    uint64_t newest_ = 0;
    bool running_ = false;  // the newest request has not ended
    unsigned undone_ = 0;   // the newest request's work still to do
    uint64_t sizeScan_ = 0; // the request whose size scan pumps events now
    uint64_t stopFor_ = 0;  // the request a stop was made for
    bool closing_ = false;
};
