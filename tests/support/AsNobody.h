// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QCoreApplication>
#include <QProcess>
#include <QtTest>
#include <unistd.h>

// Root reads everything, shut folders too: as root, runs the test function again as an
// unprivileged user, checks that it passed there, and answers true.
inline bool ranAsNobody(const char *function)
{
    if (::geteuid() != 0)
        return false;
    const int status = QProcess::execute("setpriv", {"--reuid=nobody", "--regid=nogroup", "--clear-groups",
                                                     QCoreApplication::applicationFilePath(), function});
    QTest::qVerify(status == 0, "status == 0", function, __FILE__, __LINE__); // fails the caller
    return true;
}
