// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "core/scan/engine/AbandonableCall.h"

#include <QByteArray>
#include <QString>
#include <atomic>
#include <functional>
#include <memory>

// The window's wait for a file-system call that may never answer (a folder on a stale network
// share): the call runs on a thread of its own while the window thread processes its events,
// as it does while it waits for a counted tree. A call that answers at once costs no event
// pass. While the wait lasts no handler of the program runs (see QuietWork). For its first
// 300 ms key presses and clicks wait, as they do for any quiet work; after that a handler
// that comes due (another folder, drive or option chosen, Esc) gives the call up, and runs
// once the wait has unwound. The window's close ends the program from the wait. After two seconds the status bar names the folder
// waited on. A call given up on is abandoned, never joined; its answer is dropped.
namespace CallWait {

// What the window does for a wait; the window thread's only.
struct Hooks {
    std::function<void(const QString &)> status;      // a line for the status bar; empty clears it
    std::function<void()> endProgram;                 // the window closed during a wait or a box: ends at once
    std::function<bool(const QString &folder)> endDuringSave; // whether to end with a save unfinished
};
inline Hooks hooks;

// The description of the error a call given up on ends with.
QString givenUpDescription();

// Waits for `answeredWithin` (see AbandonableCall) on `folder`'s behalf; throws FsError when
// the call is given up. `savePart`, when given, tells whether a save has written part of its
// file: closing then asks before the program ends.
void wait(const QByteArray &folder, const std::function<bool(int ms)> &answeredWithin,
          const std::atomic<bool> *savePart = nullptr);

// Waits for a call started earlier and answers what it answers, or throws what it throws.
template <typename T>
T await(const QByteArray &folder, AbandonableCall<T> &pending, const std::atomic<bool> *savePart = nullptr)
{
    wait(folder, [&pending](int ms) { return pending.answeredWithin(ms); }, savePart);
    return pending.take();
}

// Runs `call` on a worker and answers what it answers, or throws what it throws.
template <typename T>
T run(const QByteArray &folder, std::function<T()> call, std::shared_ptr<const std::atomic<bool>> savePart = {})
{
    AbandonableCall<T> pending(std::move(call));
    return await(folder, pending, savePart.get());
}

// While it lives, a wait also gives up after `ms` (where no user is there yet to do it: the
// window's first folder, read before the window is shown).
class Patience {
public:
    explicit Patience(int ms);
    ~Patience();
    Patience(const Patience &) = delete;
    Patience &operator=(const Patience &) = delete;

private:
    int previous_;
};

// How long a wait takes an answer to cost no event pass: 10 ms. With 0, every wait passes the
// events, as each does on a share that answers slowly.
void setAtOnceMs(int ms);

// Whether a wait may be given up now (it is past its quiet start); the window is closing: the
// wait gives up, and the program ends from it.
bool active();
void close();

}
