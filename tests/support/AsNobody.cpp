// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/AsNobody.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTest>
#include <sys/stat.h>
#include <unistd.h>

AsNobody::AsNobody()
{
    const auto copy = [this](const QString &file) {
        const QString to = dir_.filePath(QFileInfo(file).fileName());
        return QFile::copy(file, to) ? to : (qFatal("cannot copy %s for nobody", qPrintable(file)), QString());
    };
    if (!dir_.isValid() || ::chmod(QFile::encodeName(dir_.path()).constData(), 0755) != 0)
        qFatal("no folder for nobody's copies");
    testProgram_ = copy(QCoreApplication::applicationFilePath());
    if (const QString program = qEnvironmentVariable("LISTWRIGHT_PROGRAM"); !program.isEmpty())
        program_ = copy(program); // lists without a window: the window's program stays
}

int AsNobody::run(const QString &function) const
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("LISTWRIGHT_PROGRAM", program_);
    p.setProcessEnvironment(env);
    p.setProcessChannelMode(QProcess::ForwardedChannels);
    p.start("setpriv", {"--reuid=nobody", "--regid=nogroup", "--clear-groups", testProgram_, function});
    return p.waitForFinished(-1) && p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}

bool ranAsNobody(const char *function)
{
    if (::geteuid() != 0)
        return false;
    QTest::qVerify(AsNobody().run(function) == 0, "run as nobody", function, __FILE__, __LINE__);
    return true;
}
