// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/shared/QuietWork.h"

#include <QCoreApplication>
#include <QPointer>
#include <algorithm>
#include <utility>
#include <vector>

namespace {
struct Held {
    QPointer<QObject> context;
    std::function<void()> handler;
};

// Quiet work runs on the window thread only; the depth counts nested work.
int depth = 0;
std::vector<Held> held;
}

QuietWork::QuietWork()
{
    ++depth;
}

QuietWork::~QuietWork()
{
    if (--depth > 0)
        return;
    // In the order they were due, from the event loop: never inside the caller of the work.
    // Quiet work that has begun by the time one comes up (a wait for the file system, whose
    // passes deliver queued calls too) holds it again: it never runs inside that work.
    std::vector<Held> due;
    due.swap(held);
    for (Held &h : due)
        if (QObject *context = h.context.data())
            QMetaObject::invokeMethod(
                context, [context, handler = std::move(h.handler)] { handle(context, handler); }, Qt::QueuedConnection);
}

bool QuietWork::running()
{
    return depth > 0;
}

void QuietWork::handle(QObject *context, std::function<void()> handler)
{
    if (depth == 0) {
        handler();
        return;
    }
    held.push_back({context, std::move(handler)});
}

size_t QuietWork::heldCount()
{
    return held.size();
}

int QuietWork::msUntilPass()
{
    if (!running() || !sincePass_.isValid())
        return everyMs;
    return int(std::max<qint64>(0, everyMs - sincePass_.elapsed()));
}

void QuietWork::processEvents()
{
    // Paints, the window manager's messages and queued calls; key presses and mouse clicks
    // wait for the event loop.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    sincePass_.start();
}
