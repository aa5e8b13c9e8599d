#include "output/AtomicTextFile.h"

#include "shared/FsError.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QThreadPool>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {
// The older file that a save replaces, held across the rename so that the kernel frees its
// blocks when a pool thread lets go of it, not while the window waits. Freeing a big file
// costs milliseconds a megabyte on a disk that is trimmed as it frees. O_PATH neither reads
// the file nor opens a device or pipe that happens to have the name.
class OlderFile {
public:
    explicit OlderFile(const QString &path)
        : fd_(::open(QFile::encodeName(path).constData(), O_PATH | O_CLOEXEC))
    {
    }
    ~OlderFile()
    {
        if (fd_ >= 0)
            QThreadPool::globalInstance()->start([fd = fd_] { ::close(fd); });
    }
    OlderFile(const OlderFile &) = delete;
    OlderFile &operator=(const OlderFile &) = delete;

private:
    int fd_;
};
} // namespace

void writeTextFileAtomically(const QString &path, const TextLines &lines)
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
    QByteArray block(BlockSize, Qt::Uninitialized);
    qsizetype used = 0;
    bool ok = true;
    for (qsizetype i = 0; ok && i < lines.size(); ++i) {
        const QByteArrayView line = lines.utf8(i);
        if (used + line.size() + 2 > BlockSize) {
            ok = writeAll(QByteArrayView(block.constData(), used));
            used = 0;
            // The disk starts on what is written while the rest is made; the sync before the
            // rename then waits for less.
            if (ok && file.flush())
                ::sync_file_range(file.handle(), 0, 0, SYNC_FILE_RANGE_WRITE);
            if (line.size() + 2 > BlockSize) { // a line longer than a block goes out on its own
                ok = ok && writeAll(line) && writeAll("\r\n");
                continue;
            }
        }
        std::memcpy(block.data() + used, line.data(), size_t(line.size()));
        std::memcpy(block.data() + used + line.size(), "\r\n", 2);
        used += line.size() + 2;
    }
    if (ok && used > 0)
        writeAll(QByteArrayView(block.constData(), used));

    const OlderFile older(path);
    if (!file.commit())
        throw FsError(file.errorString());
}
