// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/scan/engine/FolderReader.h"

#include "core/scan/engine/ScanListener.h"
#include "core/shared/FsError.h"
#include "core/shared/Text.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sched.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>
#include <utility>

FolderHandle::~FolderHandle()
{
    if (fd_ >= 0)
        ::close(fd_);
}

FolderHandle &FolderHandle::operator=(FolderHandle &&other) noexcept
{
    if (this != &other) {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = other.fd_;
        readFrom_ = other.readFrom_;
        other.fd_ = -1;
    }
    return *this;
}

bool FolderHandle::rewindForRead() const
{
    if (readFrom_ && ::lseek(fd_, 0, SEEK_SET) < 0)
        return false;
    readFrom_ = true;
    return true;
}

FolderHandle FolderHandle::open(const QByteArray &path)
{
    const int fd = ::open(path.isEmpty() ? "." : path.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        throw FsError::fromErrno(errno);
    return FolderHandle(fd);
}

FolderHandle FolderHandle::openChild(const FolderHandle &parent, const char *name)
{
    const int fd = ::openat(parent.fd_, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        throw FsError::fromErrno(errno);
    return FolderHandle(fd);
}

void FileNames::clear()
{
    buffer_.resize(0); // keeps its room for the next folder
    entries_.clear();
    statuses_.clear();
}

void FileNames::add(const char *name, size_t length)
{
    const qsizetype at = buffer_.size();
    entries_.push_back({uint32_t(at), uint32_t(length)});
    buffer_.resize(at + qsizetype(length) + 1); // grows as append does, with less to check
    std::memcpy(buffer_.data() + at, name, length + 1); // with its terminating NUL
}

void FileNames::add(const char *name, size_t length, const struct stat &status)
{
    add(name, length);
    entries_.back().status = uint32_t(statuses_.size());
    statuses_.push_back(status);
}

void FileNames::sort(ScanListener *listener)
{
    if (entries_.size() < 2) // in order, and packed: most small folders
        return;
    std::vector<Keyed> &keyed = keyed_;
    keyed.resize(entries_.size());
    // Written field by field in place: a Keyed made aside and copied in is stored in small
    // parts and read back whole, which stalls the processor on every name.
    for (size_t i = 0; i < entries_.size(); ++i) {
        const Entry &e = entries_[i];
        nameHeadWithin(QByteArrayView(buffer_), e.offset, e.length, keyed[i].head);
        keyed[i].entry = e;
    }
    const auto less = [this](const Keyed &a, const Keyed &b) {
        if (const int order = headOrder(a.head, b.head))
            return order < 0;
        return nameLess(QByteArrayView(buffer_.constData() + a.entry.offset, a.entry.length),
                        QByteArrayView(buffer_.constData() + b.entry.offset, b.entry.length));
    };
    // Pieces of a few milliseconds each, merged pairwise; the order is the one std::sort
    // gives, as no two names of a folder are equal. The pieces' names lie close together in
    // memory, so this is also quicker than one sort of a big folder, listener or not.
    constexpr size_t Piece = 8192;
    const size_t n = keyed.size();
    const auto at = [&keyed](size_t i) { return keyed.begin() + std::ptrdiff_t(i); };
    for (size_t i = 0; i < n; i += Piece) {
        std::sort(at(i), at(std::min(n, i + Piece)), less);
        if (n > Piece)
            tickOrInterrupt(listener);
    }
    for (size_t width = Piece; width < n; width *= 2) {
        for (size_t i = 0; i + width < n; i += 2 * width) {
            std::inplace_merge(at(i), at(i + width), at(std::min(n, i + 2 * width)), less);
            tickOrInterrupt(listener);
        }
    }
    for (size_t i = 0; i < n; ++i)
        entries_[i] = keyed[i].entry;
    if (keyed.capacity() > 4096) // a big folder's room is not held on to
        std::vector<Keyed>().swap(keyed);
    packInOrder();
}

void FileNames::packInOrder()
{
    // Packing holds the names twice for a moment: past a few megabytes (300,000 names of 255
    // bytes make 77 MB) that costs more than reading them out of order does.
    // Names within a page lie close enough together in any order.
    constexpr qsizetype MostPacked = 16 << 20, LeastPacked = 4096;
    if (buffer_.size() > MostPacked || buffer_.size() <= LeastPacked)
        return;
    QByteArray packed(buffer_.size(), Qt::Uninitialized);
    size_t at = 0;
    for (Entry &e : entries_) {
        std::memcpy(packed.data() + at, buffer_.constData() + e.offset, e.length + 1);
        e.offset = uint32_t(at);
        at += e.length + 1;
    }
    buffer_.swap(packed);
}

namespace {
bool isDotOrDotDot(const char *n)
{
    return n[0] == '.' && (n[1] == 0 || (n[1] == '.' && n[2] == 0));
}
}

void readFolder(const FolderHandle &folder, std::vector<SubfolderEntry> *folders, FileNames *files,
                ScanListener *listener)
{
    if (folders)
        folders->clear();
    if (files)
        files->clear();
    const auto take = [&](const char *n, unsigned char type) {
        if (isDotOrDotDot(n))
            return;
        bool isFolder = false;
        bool isLink = false;
        struct stat known;
        bool isKnown = false;
        if (type == DT_UNKNOWN) {
            isKnown = ::fstatat(folder.fd(), n, &known, AT_SYMLINK_NOFOLLOW) == 0;
            if (isKnown)
                type = S_ISDIR(known.st_mode) ? DT_DIR : S_ISLNK(known.st_mode) ? DT_LNK : DT_REG;
        }
        if (type == DT_DIR) {
            isFolder = true;
        } else if (type == DT_LNK && folders) {
            struct stat st;
            if (::fstatat(folder.fd(), n, &st, 0) == 0 && S_ISDIR(st.st_mode)) {
                isFolder = true;
                isLink = true;
            }
        } else if (type == DT_LNK) {
            // Only the files are wanted: a link to a folder is still not a file.
            struct stat st;
            isFolder = ::fstatat(folder.fd(), n, &st, 0) == 0 && S_ISDIR(st.st_mode);
        }
        if (isFolder) {
            if (folders)
                folders->push_back({QByteArray(n), isLink});
        } else if (files) {
            isKnown ? files->add(n, std::strlen(n), known) : files->add(n, std::strlen(n));
        }
    };
    // The entries come from the kernel in blocks, through our own descriptor from its first
    // entry on: no directory stream (a duplicate descriptor and its checks) for every folder.
    if (!folder.rewindForRead())
        throw FsError::fromErrno(errno);
    alignas(dirent64) char block[32 * 1024];
    unsigned seen = 0;
    bool sized = files == nullptr;
    for (;;) {
        const ssize_t got = ::getdents64(folder.fd(), block, sizeof block);
        if (got < 0)
            throw FsError::fromErrno(errno);
        if (got == 0)
            break;
        // A big folder's names take about as many bytes as its entries do on disk: room for
        // them at once spares the copies of a growing buffer. Asked only of a folder whose
        // first block came full, so that the many small ones cost no call for it.
        if (!std::exchange(sized, true) && size_t(got) > sizeof block / 2) {
            struct stat st;
            if (::fstat(folder.fd(), &st) == 0 && st.st_size > (1 << 20))
                files->reserveBytes(qsizetype(std::min<off_t>(st.st_size, off_t(256) << 20)));
        }
        for (ssize_t at = 0; at < got;) {
            const auto *e = reinterpret_cast<const dirent64 *>(block + at);
            at += e->d_reclen;
            if ((++seen & 1023) == 0)
                tickOrInterrupt(listener);
            take(e->d_name, e->d_type);
        }
    }
    if (folders)
        std::sort(folders->begin(), folders->end(),
                  [](const SubfolderEntry &a, const SubfolderEntry &b) { return nameLess(a.name, b.name); });
    if (files)
        files->sort(listener);
}

struct timespec folderStamp(const QByteArray &path)
{
    struct stat st;
    if (::stat(path.constData(), &st) != 0)
        return {};
    return st.st_mtim;
}

bool isSystemViewFolder(const FolderHandle &folder)
{
    return isSystemViewFolder(folder.fd());
}

bool isSystemViewFolder(int fd)
{
    struct statfs fs;
    if (::fstatfs(fd, &fs) != 0)
        return false;
    switch (static_cast<unsigned long>(fs.f_type)) {
    case 0x9fa0:     // proc
    case 0x62656572: // sysfs
    case 0x1cd1:     // devpts
    case 0x27e0eb:   // cgroup
    case 0x63677270: // cgroup2
    case 0x64626720: // debugfs
    case 0x74726163: // tracefs
    case 0x73636673: // securityfs
    case 0xcafe4a11: // bpf
    case 0x6165676c: // pstore
    case 0xde5e81e4: // efivarfs
    case 0x62656570: // configfs
    case 0x65735543: // fusectl
    case 0x42494e4d: // binfmt_misc
        return true;
    default:
        return false;
    }
}

int statEntryAt(const FolderHandle &folder, const char *name, struct stat &st)
{
    return statEntryAt(folder.fd(), name, st);
}

int statEntryAt(int from, const char *name, struct stat &st)
{
    return ::fstatat(from, name, &st, AT_SYMLINK_NOFOLLOW) == 0 ? 0 : errno;
}

namespace {
thread_local bool currentFolderOwn = false;
}

void ownCurrentFolder()
{
    if (!currentFolderOwn)
        currentFolderOwn = ::unshare(CLONE_FS) == 0;
}

int lookUpFrom(int fd, size_t lookups)
{
    constexpr size_t FewLookups = 16;
    return currentFolderOwn && lookups >= FewLookups && ::fchdir(fd) == 0 ? AT_FDCWD : fd;
}

struct stat statEntry(const FolderHandle &folder, const char *name)
{
    struct stat st;
    if (const int err = statEntryAt(folder, name, st))
        throw FsError::fromErrno(err);
    return st;
}

bool folderGone(const FolderHandle &folder)
{
    struct stat st;
    return ::fstat(folder.fd(), &st) == 0 && st.st_nlink == 0;
}

bool folderSearchable(const FolderHandle &folder)
{
    // Looking up "." in a folder asks for the same right as looking up any of its names.
    struct stat st;
    return ::fstatat(folder.fd(), ".", &st, 0) == 0 || errno != EACCES;
}

QByteArray joinPath(const QByteArray &folder, const QByteArray &name)
{
    if (folder.endsWith('/'))
        return folder + name;
    return folder + '/' + name;
}
