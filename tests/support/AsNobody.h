// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>
#include <QTemporaryDir>

// What the superuser may do and an ordinary user may not is tested again as "nobody". The
// project may live where nobody cannot reach (a clone in /root, whose mode is 700 on a new
// Debian machine), so this test program and the program it starts are copied into a
// temporary folder open to all, and run from there.
class AsNobody {
public:
    AsNobody();
    // The copy of this test program.
    QString testProgram() const { return testProgram_; }
    // Runs the copy's test function as nobody, with LISTWRIGHT_PROGRAM naming the copy of the
    // program, its output on this one's; answers its exit status (-1 when it crashed).
    int run(const QString &function) const;

private:
    QTemporaryDir dir_;
    QString testProgram_, program_;
};

// Root reads and writes everything: as root, runs the test function again as nobody, checks
// that it passed there (a failure fails the caller), and answers true; otherwise false.
bool ranAsNobody(const char *function);
