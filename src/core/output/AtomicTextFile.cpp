// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/output/AtomicTextFile.h"

#include "core/output/BlockGather.h"
#include "core/shared/FsError.h"
#include "core/shared/Text.h"

#include <QRandomGenerator>
#include <QThreadPool>
#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <functional>
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
        length += lines.utf8View(i).size() + 2;
    return length;
}

// Bytes on their way into a file, in blocks of 1 MiB; the disk is started on each, the last one
// too (the sync that follows waits for it all the same).
BlockGather blockWriter(int fd)
{
    return BlockGather(1 << 20, [fd](QByteArrayView block) {
        writeAll(fd, block);
        startWriteBack(fd);
    });
}

// The lines, each followed by CR LF.
void writeLines(int fd, const TextLines &lines)
{
    BlockGather out = blockWriter(fd);
    for (qsizetype i = 0; i < lines.size(); ++i) {
        out.put(lines.utf8View(i));
        out.put("\r\n");
    }
    out.flush();
}

void syncData(int fd)
{
    while (::fdatasync(fd) != 0)
        if (errno != EINTR)
            fail(errno);
}

// Tries `make` with names nobody can guess until one is free. Returns what `make` returns: -1
// with errno set on a failure, or when no name was free.
int underNewName(QByteArray &name, const std::function<int(const char *name)> &make)
{
    static constexpr char Letters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = QByteArrayLiteral(".listwright-save-");
        for (int i = 0; i < 16; ++i)
            name += Letters[QRandomGenerator::system()->bounded(int(sizeof Letters - 1))];
        const int result = make(name.constData());
        if (result >= 0 || errno != EEXIST)
            return result;
    }
    errno = EEXIST;
    return -1;
}

QByteArray descriptorPath(int fd)
{
    return "/proc/self/fd/" + QByteArray::number(fd);
}

// A new file in `folder` for the text. Where the file system can, it has no name until it is
// complete (`name` stays empty), so that a save cut short, by a kill or a crash too, leaves
// nothing behind; elsewhere it has a name nobody can guess, so that nothing can be put in its
// way. Returns the descriptor, or -1 with errno set.
int createTemporary(int folder, QByteArray &name)
{
    name.clear();
    const int unnamed = ::openat(folder, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
    if (unnamed >= 0 && ::access(descriptorPath(unnamed).constData(), F_OK) == 0) // it can be named later
        return unnamed;
    if (unnamed >= 0)
        ::close(unnamed);
    return underNewName(name, [folder](const char *n) {
        return ::openat(folder, n, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    });
}

// The complete file, made without a name, gets one nobody can guess, to be renamed from.
void nameTemporary(int folder, int fd, QByteArray &name)
{
    const QByteArray self = descriptorPath(fd);
    if (underNewName(name, [&](const char *n) { return ::linkat(AT_FDCWD, self.constData(), folder, n, AT_SYMLINK_FOLLOW); })
        != 0) {
        const int err = errno;
        name.clear();
        fail(err);
    }
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
// entry is no plain file. `write` writes the `length` bytes of the new text.
void writeInPlace(int folder, const QByteArray &name, const struct stat &older, int refusal, qint64 length,
                  const std::function<void(int fd)> &write, SaveProgress *progress)
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

    int reserved;
    while ((reserved = ::fallocate(file.get(), 0, 0, length)) != 0 && errno == EINTR) {
    }
    if (reserved != 0 && errno != EOPNOTSUPP) // a file system that cannot reserve is written all the same
        fail(errno);
    checkGoingOn(progress);
    if (progress)
        progress->begun = true;
    write(file.get());
    if (::ftruncate(file.get(), length) != 0)
        fail(errno);
    syncData(file.get());
    file.close();
}

// The save itself: `write` writes the text into the new file; `inPlace` writes it over the older
// one where the folder takes no new file (with the folder, the older file's status and why).
void save(const QByteArray &folder, const QByteArray &name, const std::function<void(int fd)> &write,
          const std::function<void(int folder, const struct stat &older, int refusal)> &inPlace, SaveProgress *progress)
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
    // A device, a pipe or a socket of that name is neither written into nor replaced (a
    // superuser's save onto /dev/null would remove the device).
    if (exists && !S_ISREG(older.st_mode) && !S_ISLNK(older.st_mode) && !S_ISDIR(older.st_mode))
        throw FsError(QStringLiteral("\"%1\" is a device, a pipe or a socket, not a file: a save never takes its place.")
                          .arg(displayName(name)));
    if (exists && ::faccessat(dir.get(), name.constData(), W_OK, AT_EACCESS | AT_SYMLINK_NOFOLLOW) != 0)
        fail(errno);

    checkGoingOn(progress);
    QByteArray temporaryName;
    Descriptor temporary(createTemporary(dir.get(), temporaryName));
    if (temporary.get() < 0) {
        const int refusal = errno;
        // Where no new file can be made beside it, a writable file is written in place.
        if (exists && (refusal == EACCES || refusal == EPERM))
            return inPlace(dir.get(), older, refusal);
        fail(refusal);
    }
    if (progress)
        progress->begun = true;
    try {
        if (exists && S_ISREG(older.st_mode) && ::fchmod(temporary.get(), older.st_mode & 0777) != 0)
            fail(errno);
        write(temporary.get());
        syncData(temporary.get());
        if (temporaryName.isEmpty())
            nameTemporary(dir.get(), temporary.get(), temporaryName);
        temporary.close();
        checkGoingOn(progress);
        const OlderFile held(dir.get(), name);
        if (::renameat(dir.get(), temporaryName.constData(), dir.get(), name.constData()) != 0)
            fail(errno);
    } catch (...) {
        if (!temporaryName.isEmpty())
            ::unlinkat(dir.get(), temporaryName.constData(), 0);
        throw;
    }
}
} // namespace

SavedFile savedFile(const QByteArray &path)
{
    const qsizetype cut = path.lastIndexOf('/');
    SavedFile file{cut < 0 ? QByteArray(".") : cut == 0 ? QByteArray("/") : path.left(cut), path.mid(cut + 1)};
    if (file.name.isEmpty() || file.name == "." || file.name == "..")
        throw FsError::fromErrno(EISDIR);
    return file;
}

void writeTextFileAtomically(const QByteArray &folder, const QByteArray &name, const TextLines &lines,
                             SaveProgress *progress)
{
    const auto write = [&](int fd) { writeLines(fd, lines); };
    save(folder, name, write, [&](int dir, const struct stat &older, int refusal) {
        writeInPlace(dir, name, older, refusal, byteLength(lines), write, progress);
    }, progress);
}

void writeFileAtomically(const QByteArray &folder, const QByteArray &name,
                         const std::function<void(const TextSink &)> &produce, SaveProgress *progress)
{
    save(folder, name, [&](int fd) {
        BlockGather out = blockWriter(fd);
        produce([&](QByteArrayView bytes) { out.put(bytes); });
        out.flush();
    }, [&](int dir, const struct stat &older, int refusal) {
        QByteArray text; // the length is reserved first: the whole text is made before
        produce([&](QByteArrayView bytes) { text.append(bytes); });
        writeInPlace(dir, name, older, refusal, text.size(), [&](int fd) { writeAll(fd, text); }, progress);
    }, progress);
}
