#include "output/AtomicTextFile.h"

#include "shared/FsError.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

void writeTextFileAtomically(const QString &path, const TextLines &lines)
{
    // An older file that this user may not overwrite is refused with the system's own words,
    // as opening it for writing would be.
    if (QFileInfo::exists(path)
        && ::faccessat(AT_FDCWD, QFile::encodeName(path).constData(), W_OK, AT_EACCESS) != 0)
        throw FsError::fromErrno(errno);

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw FsError(file.errorString());

    // The lines go out in large blocks. A block that only partly fits (a full disk) is written
    // on until a write fails with the system's reason; after a failed write the file refuses
    // further writes and commit() discards it.
    auto writeAll = [&file](QByteArrayView bytes) {
        while (!bytes.isEmpty()) {
            const qint64 written = file.write(bytes.data(), bytes.size());
            if (written <= 0) {
                if (written == 0)
                    file.cancelWriting();
                return false;
            }
            bytes = bytes.sliced(written);
        }
        return true;
    };
    constexpr qsizetype BlockSize = 1 << 20;
    QByteArray block;
    block.reserve(BlockSize);
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QByteArrayView line = lines.utf8(i);
        block.append(line.data(), line.size()).append("\r\n", 2);
        if (block.size() >= BlockSize || i + 1 == lines.size()) {
            if (!writeAll(block))
                break;
            block.resize(0);
        }
    }

    if (!file.commit())
        throw FsError(file.errorString());
}
