#include "output/AtomicTextFile.h"

#include "shared/FsError.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

void writeTextFileAtomically(const QString &path, const QStringList &lines)
{
    // An older file that this user may not overwrite is refused with the system's own words,
    // as opening it for writing would be.
    if (QFileInfo::exists(path)
        && ::faccessat(AT_FDCWD, QFile::encodeName(path).constData(), W_OK, AT_EACCESS) != 0)
        throw FsError::fromErrno(errno);

    // Where no temporary file can be made beside it, a writable file is written in place.
    QSaveFile file(path);
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly))
        throw FsError(file.errorString());

    for (const QString &line : lines) {
        // After a failed write the file refuses further writes and commit() discards it.
        if (file.write(line.toUtf8()) < 0 || file.write("\r\n", 2) < 0)
            break;
    }

    if (!file.commit())
        throw FsError(file.errorString());
}
