// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/AsNobody.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <sys/stat.h>

namespace {
QString copyInto(const QTemporaryDir &dir, const QString &file)
{
    const QString copy = dir.filePath(QFileInfo(file).fileName());
    if (!QFile::copy(file, copy))
        qFatal("cannot copy %s for nobody", qPrintable(file));
    return copy;
}
} // namespace

AsNobody::AsNobody()
{
    if (!dir_.isValid() || ::chmod(QFile::encodeName(dir_.path()).constData(), 0755) != 0)
        qFatal("no folder for nobody's copies");
    testProgram_ = copyInto(dir_, QCoreApplication::applicationFilePath());
    if (const QString program = qEnvironmentVariable("LISTWRIGHT_PROGRAM"); !program.isEmpty())
        program_ = copyInto(dir_, program); // lists without a window: the window's program stays
}

int AsNobody::run(const QString &function) const
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    if (!program_.isEmpty())
        env.insert("LISTWRIGHT_PROGRAM", program_);
    p.setProcessEnvironment(env);
    p.setProcessChannelMode(QProcess::ForwardedChannels);
    p.start("setpriv", {"--reuid=nobody", "--regid=nogroup", "--clear-groups", testProgram_, function});
    if (!p.waitForFinished(-1) || p.exitStatus() != QProcess::NormalExit)
        return -1;
    return p.exitCode();
}
