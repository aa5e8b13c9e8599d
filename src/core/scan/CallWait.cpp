// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/scan/CallWait.h"

#include "core/shared/FsError.h"
#include "core/shared/QuietWork.h"
#include "core/shared/Text.h"

#include <QCoreApplication>
#include <algorithm>
#include <QElapsedTimer>
#include <cerrno>

namespace CallWait {
namespace {
// Window thread only.
int depth = 0;
bool abandonable = false; // the innermost wait is past its quiet start
bool closing = false;
int patienceMs = 0; // 0: no limit
int atOnceMs = 10;  // an answer within this costs no event pass

constexpr int PassMs = 8;        // between two passes of the events
constexpr int QuietMs = 300;     // before this, input waits and nothing gives the call up
constexpr int NameFolderMs = 2000;
}

QString givenUpDescription()
{
    return QStringLiteral("The file system did not answer");
}

Patience::Patience(int ms) : previous_(patienceMs)
{
    patienceMs = ms;
}

Patience::~Patience()
{
    patienceMs = previous_;
}

void setAtOnceMs(int ms)
{
    atOnceMs = ms;
}

bool active()
{
    return depth > 0 && abandonable;
}

void close()
{
    if (depth > 0)
        closing = true;
}

void wait(const QByteArray &folder, const std::function<bool(int ms)> &answeredWithin, const std::atomic<bool> *savePart)
{
    // Waited for without an event pass only as long as the quiet work around it may still go
    // without one.
    if (answeredWithin(std::min(atOnceMs, QuietWork::msUntilPass())))
        return;
    QuietWork quiet;
    const size_t heldBefore = QuietWork::heldCount();
    ++depth;
    const bool outer = abandonable;
    abandonable = false;
    QElapsedTimer since;
    since.start();
    qint64 saidAt = -1;
    const auto end = [&] {
        if (--depth == 0)
            closing = false; // a close held during a quick call is carried out as usual
        abandonable = outer;
        if (saidAt >= 0 && hooks.status)
            hooks.status(QString());
    };
    for (;;) {
        // A call that answers soon is waited for as quiet work always was: key presses and
        // clicks wait for it. One that takes longer may be given up.
        const bool patient = since.elapsed() < QuietMs;
        abandonable = !patient;
        QCoreApplication::processEvents(patient ? QEventLoop::ExcludeUserInputEvents : QEventLoop::AllEvents);
        if (answeredWithin(PassMs))
            break;
        const bool partWritten = savePart && savePart->load();
        if (closing && !patient) {
            closing = false;
            if (!partWritten || !hooks.endDuringSave || hooks.endDuringSave(displayName(folder))) {
                end();
                if (hooks.endProgram)
                    hooks.endProgram();
                throw FsError(givenUpDescription(), ETIMEDOUT);
            }
        }
        // A save that has written part of its file is waited for: its older file is at stake.
        const bool outOfPatience = patienceMs > 0 && since.elapsed() >= patienceMs;
        if ((outOfPatience || (!patient && QuietWork::heldCount() > heldBefore)) && !partWritten) {
            end();
            throw FsError(givenUpDescription(), ETIMEDOUT);
        }
        // Said again every second: the window keeps its scanning caption going meanwhile.
        const qint64 now = since.elapsed();
        if (hooks.status && now >= NameFolderMs && (saidAt < 0 || now - saidAt >= 1000)) {
            saidAt = now;
            hooks.status(QStringLiteral("Waiting for ") + displayName(folder) + QStringLiteral(" ..."));
        }
    }
    end();
}

}
