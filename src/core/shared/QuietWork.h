// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QElapsedTimer>
#include <QObject>
#include <functional>

// Long work that no handler of the program may interrupt, such as rebuilding the complete file
// list, during which the windows still repaint and answer the window manager: keepAlive(),
// called often, processes the pending events with user input left waiting whenever everyMs
// have passed. While any such work runs, the program's handlers do not: one that is due (a
// queued call, a timer, the window manager's close) is held, and runs from the event loop
// once the outermost work has ended.
class QuietWork {
public:
    QuietWork();
    ~QuietWork();
    QuietWork(const QuietWork &) = delete;
    QuietWork &operator=(const QuietWork &) = delete;

    // Cheap enough for every line of a list: looks at the clock, and only when everyMs have
    // passed since quiet work last processed the events (in this piece of work or in one
    // before it: pieces that follow one another count as one stretch), processes them.
    void keepAlive()
    {
        if (!sincePass_.isValid() || sincePass_.elapsed() >= everyMs)
            processEvents();
    }

    // Whether quiet work is running (in this thread).
    static bool running();
    // Runs `handler` now, or, while quiet work is running, once it has ended, as a queued call
    // on `context` (dropped if `context` is gone by then).
    static void handle(QObject *context, std::function<void()> handler);
    // How many handlers are held now: one more means the user asked for something.
    static size_t heldCount();

    // Milliseconds between two passes of the events: half of the longest pause the window may
    // take (25 ms), as a pass itself takes time.
    static constexpr int everyMs = 12;
    // While quiet work runs: how long until its next pass is due (0: overdue). Otherwise
    // everyMs, as a handler starts right after a pass.
    static int msUntilPass();

private:
    static void processEvents();

    static inline QElapsedTimer sincePass_; // the window thread's only
};
