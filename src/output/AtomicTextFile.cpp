// SPDX-License-Identifier: GPL-3.0-or-later
#include "output/AtomicTextFile.h"

#include "shared/FsError.h"
#include "shared/Text.h"

#include <QRandomGenerator>
#include <QThreadPool>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
[[noreturn]] void fail(int err)
{
    throw FsError::fromErrno(err);
}

// A descriptor closed when it goes out of scope on a failure path; the success paths close it
// themselves and look at the result.
class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    Descriptor(const Descriptor &) = delete;
    Descriptor &operator=(const Descriptor &) = delete;
    int get() const { return fd_; }
    // Closes now; a failed close is a failed save (a delayed write error shows up here).
    void close()
    {
        const int fd = fd_;
        fd_ = -1;
        if (::close(fd) != 0 && errno != EINTR) // after EINTR the descriptor is gone all the same
            fail(errno);
    }

private:
    int fd_;
};

// The older file that a save replaces, held across the rename so that the kernel frees its
// blocks when a pool thread lets go of it, not while the window waits. Freeing a big file
// costs milliseconds a megabyte on a disk that is trimmed as it frees. O_PATH neither reads
// the file nor opens a device or pipe that happens to have the name; O_NOFOLLOW holds a link
// itself, not what it points to.
class OlderFile {
public:
    OlderFile(int folder, const QByteArray &name)
        : fd_(::openat(folder, name.constData(), O_PATH | O_NOFOLLOW | O_CLOEXEC))
    {
    }
    ~OlderFile()
    {
        if (fd_ < 0)
            return;
        // The pool's own hand-over is invisible to a thread checker; this pair orders the
        // open above before the close on the pool thread in a way it can see.
        handOver.fetch_add(1, std::memory_order_release);
        QThreadPool::globalInstance()->start([fd = fd_] {
            handOver.load(std::memory_order_acquire);
            ::close(fd);
        });
    }
    OlderFile(const OlderFile &) = delete;
    OlderFile &operator=(const OlderFile &) = delete;

private:
    static inline std::atomic<unsigned> handOver{0};
    int fd_;
};

// Every byte, or the system's reason why not: a write may be cut short or interrupted.
void writeAll(int fd, QByteArrayView bytes)
{
    while (!bytes.isEmpty()) {
        const ssize_t written = ::write(fd, bytes.data(), size_t(bytes.size()));
        if (written < 0 && errno == EINTR)
            continue;
        if (written < 0)
            fail(errno);
        if (written == 0) // no progress and no reason: the device takes no more
            fail(ENOSPC);
        bytes = bytes.sliced(written);
    }
}

// The disk starts on what is written while the rest is made; the sync at the end then waits
// for less. A write-back error found here is a failed save.
void startWriteBack(int fd)
{
    if (::sync_file_range(fd, 0, 0, SYNC_FILE_RANGE_WRITE) != 0 && errno != EINVAL && errno != ESPIPE
        && errno != ENOSYS && errno != EINTR)
        fail(errno);
}

qint64 byteLength(const TextLines &lines)
{
    qint64 length = 0;
    for (qsizetype i = 0; i < lines.size(); ++i)
        length += lines.utf8(i).size() + 2;
    return length;
}

// The lines go out in large blocks, each line followed by CR LF.
void writeLines(int fd, const TextLines &lines)
{
    constexpr qsizetype BlockSize = 1 << 20;
    QByteArray block(BlockSize, Qt::Uninitialized);
    qsizetype used = 0;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QByteArrayView line = lines.utf8(i);
        if (used + line.size() + 2 > BlockSize) {
            writeAll(fd, QByteArrayView(block.constData(), used));
            used = 0;
            startWriteBack(fd);
            if (line.size() + 2 > BlockSize) { // a line longer than a block goes out on its own
                writeAll(fd, line);
                writeAll(fd, "\r\n");
                continue;
            }
        }
        std::memcpy(block.data() + used, line.data(), size_t(line.size()));
        std::memcpy(block.data() + used + line.size(), "\r\n", 2);
        used += line.size() + 2;
    }
    writeAll(fd, QByteArrayView(block.constData(), used));
}

void syncData(int fd)
{
    while (::fdatasync(fd) != 0)
        if (errno != EINTR)
            fail(errno);
}

// A new file in `folder` under a name nobody can guess, so that nothing can be put in its way.
// Returns the descriptor, or -1 with errno set.
int createTemporary(int folder, QByteArray &name)
{
    static constexpr char Letters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = QByteArrayLiteral(".listwright-save-");
        for (int i = 0; i < 16; ++i)
            name += Letters[QRandomGenerator::system()->bounded(int(sizeof Letters - 1))];
        const int fd = ::openat(folder, name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    errno = EEXIST;
    return -1;
}

// A save given up on (its folder did not answer in time) leaves the older file alone.
void checkGoingOn(const SaveProgress *progress)
{
    if (progress && progress->givenUp)
        throw FsError(QStringLiteral("The save was given up"), ECANCELED);
}

FsError linkRefused(const QByteArray &name)
{
    return FsError(QStringLiteral("\"%1\" is a link, and the folder takes no new file in its place: "
                                  "a save never writes through a link.")
                       .arg(displayName(name)));
}

// The older file, written in place: the new length is reserved before its first byte is
// overwritten. `refusal` is the reason the folder took no new file, reported where the older
// entry is no plain file.
void writeInPlace(int folder, const QByteArray &name, const struct stat &older, int refusal, const TextLines &lines,
                  SaveProgress *progress)
{
    if (!S_ISREG(older.st_mode) && !S_ISLNK(older.st_mode))
        fail(refusal);
    // O_NOFOLLOW: a link is refused, whatever it points to. O_NONBLOCK: a pipe put there meanwhile is refused below instead of waiting for a reader.
    Descriptor file(::openat(folder, name.constData(), O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    if (file.get() < 0 && errno == ELOOP)
        throw linkRefused(name);
    if (file.get() < 0)
        fail(errno);
    struct stat st{};
    if (::fstat(file.get(), &st) != 0)
        fail(errno);
    if (!S_ISREG(st.st_mode))
        fail(refusal);

    const qint64 length = byteLength(lines);
    int reserved;
    while ((reserved = ::fallocate(file.get(), 0, 0, length)) != 0 && errno == EINTR) {
    }
    if (reserved != 0 && errno != EOPNOTSUPP) // a file system that cannot reserve is written all the same
        fail(errno);
    checkGoingOn(progress);
    if (progress)
        progress->begun = true;
    writeLines(file.get(), lines);
    if (::ftruncate(file.get(), length) != 0)
        fail(errno);
    syncData(file.get());
    file.close();
}
} // namespace

void writeTextFileAtomically(const QByteArray &folder, const QByteArray &name, const TextLines &lines,
                             SaveProgress *progress)
{
    Descriptor dir(::open(folder.isEmpty() ? "." : folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.get() < 0)
        fail(errno);

    // An older file that this user may not overwrite is refused with the system's own words, as
    // opening it for writing would be. For a link the link itself is asked about (it is replaced,
    // not written), never what it points to.
    struct stat older{};
    const bool exists = ::fstatat(dir.get(), name.constData(), &older, AT_SYMLINK_NOFOLLOW) == 0;
    if (!exists && errno != ENOENT)
        fail(errno);
    if (exists && ::faccessat(dir.get(), name.constData(), W_OK, AT_EACCESS | AT_SYMLINK_NOFOLLOW) != 0)
        fail(errno);

    checkGoingOn(progress);
    QByteArray temporaryName;
    Descriptor temporary(createTemporary(dir.get(), temporaryName));
    if (temporary.get() < 0) {
        const int refusal = errno;
        // Where no new file can be made beside it, a writable file is written in place.
        if (exists && (refusal == EACCES || refusal == EPERM))
            return writeInPlace(dir.get(), name, older, refusal, lines, progress);
        fail(refusal);
    }
    if (progress)
        progress->begun = true;
    try {
        if (exists && S_ISREG(older.st_mode) && ::fchmod(temporary.get(), older.st_mode & 0777) != 0)
            fail(errno);
        writeLines(temporary.get(), lines);
        syncData(temporary.get());
        temporary.close();
        checkGoingOn(progress);
        const OlderFile held(dir.get(), name);
        if (::renameat(dir.get(), temporaryName.constData(), dir.get(), name.constData()) != 0)
            fail(errno);
    } catch (...) {
        ::unlinkat(dir.get(), temporaryName.constData(), 0);
        throw;
    }
}
