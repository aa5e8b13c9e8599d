// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "core/shared/Text.h"

#include <QByteArray>
#include <QByteArrayView>
#include <ctime>
#include <cstdint>
#include <sys/stat.h>
#include <vector>

// Low-level reading of folders through open folder descriptors: one read per folder gives
// its subfolders and its files, and file lengths are taken relative to the open folder.
// Names are native bytes; nothing here converts to display text.

class ScanListener;

class FolderHandle {
public:
    FolderHandle() = default;
    ~FolderHandle();
    FolderHandle(FolderHandle &&other) noexcept : fd_(other.fd_), readFrom_(other.readFrom_) { other.fd_ = -1; }
    FolderHandle &operator=(FolderHandle &&other) noexcept;
    FolderHandle(const FolderHandle &) = delete;
    FolderHandle &operator=(const FolderHandle &) = delete;

    // Opens a folder by path; a symbolic link as the last part is followed. Throws FsError.
    static FolderHandle open(const QByteArray &path);
    // Opens subfolder `name` of `parent` without following a symbolic link. Throws FsError.
    static FolderHandle openChild(const FolderHandle &parent, const char *name);

    int fd() const { return fd_; }
    bool isOpen() const { return fd_ >= 0; }
    // Puts the descriptor at the folder's first entry for a read (see readFolder): a call to
    // the kernel only once it has been read from. False, with errno set, when that fails.
    bool rewindForRead() const;

private:
    explicit FolderHandle(int fd) : fd_(fd) {}
    int fd_ = -1;
    mutable bool readFrom_ = false; // its position may be past the first entry
};

struct SubfolderEntry {
    QByteArray name;
    bool isLink = false; // a symbolic link to a folder: listed, never walked
};

// The non-folder names of one folder, kept in one buffer that is reused from folder to folder.
class FileNames {
public:
    void clear();
    // Room for `bytes` of names, about to come.
    void reserveBytes(qsizetype bytes) { buffer_.reserve(bytes); }
    void add(const char *name, size_t length);
    // A name whose status the read had to take, on a file system that does not tell what an
    // entry is: the count takes it from here instead of asking the file system again.
    void add(const char *name, size_t length, const struct stat &status);
    // The status taken of name i when it was read, if any.
    const struct stat *status(size_t i) const
    {
        return entries_[i].status == NoStatus ? nullptr : &statuses_[entries_[i].status];
    }
    // Sorts into the program's name order. A long list is sorted in pieces, with a tick of
    // the listener, if any, between them (see readFolder).
    void sort(ScanListener *listener = nullptr);
    size_t size() const { return entries_.size(); }
    const char *name(size_t i) const { return buffer_.constData() + entries_[i].offset; }
    QByteArrayView view(size_t i) const { return QByteArrayView(name(i), entries_[i].length); }
    // The bytes the names lie in: a copy keeps them where name() found them, as a list made
    // of them needs, whatever these names become.
    const QByteArray &buffer() const { return buffer_; }
    // Keeps only the names for which `keep` answers true, in their order.
    template <typename Keep>
    void filter(Keep &&keep)
    {
        std::erase_if(entries_, [&](const Entry &e) { return !keep(QByteArrayView(buffer_.constData() + e.offset, e.length)); });
    }

private:
    // Lays the names out in the buffer in their sorted order: the passes that follow a sort
    // (the pattern, the column width, the lines) then read memory front to back, which
    // keeps them linear in a folder of hundreds of thousands of names. Names of many megabytes
    // stay where they are, as a second copy would cost more than it saves; so do names within a
    // page, which lie close enough together in any order.
    void packInOrder();

    static constexpr uint32_t NoStatus = UINT32_MAX;
    struct Entry {
        uint32_t offset;
        uint32_t length;
        uint32_t status = NoStatus;
    };
    // The names one after another, each with its NUL. It grows in place where it can (a big
    // block is moved by the kernel's page tables, not copied), so that a folder of 300,000 long
    // names never holds its names twice while it is read.
    QByteArray buffer_;
    std::vector<Entry> entries_;
    std::vector<struct stat> statuses_;
    // Each name with its first bytes, which decide most comparisons of the sort without the
    // name itself (far off in a big folder): kept for the next folder's sort.
    struct Keyed {
        NameHead head;
        Entry entry;
        // Fills the record to 32 bytes, so that a sort moves it in two whole halves: the 28
        // bytes alone are moved in two halves that overlap, which stalls every move after a
        // move of the record beside it.
        uint32_t unused = 0;
    };
    static_assert(sizeof(Keyed) == 32);
    std::vector<Keyed> keyed_;
};

// Reads a folder once: its subfolders (links to folders included) and its other entries,
// both in the program's name order. "." and ".." are never returned. Either output may be
// null when the caller does not need it. Throws FsError. With a listener, a big folder is
// read and sorted with ticks in between, and ScanInterrupted ends the read when the scan must
// end.
void readFolder(const FolderHandle &folder, std::vector<SubfolderEntry> *folders, FileNames *files,
                ScanListener *listener = nullptr);

// When a folder's entries last changed (a name added, removed or renamed); zero for a folder
// that cannot be read.
struct timespec folderStamp(const QByteArray &path);
inline bool sameStamp(const struct timespec &a, const struct timespec &b)
{
    return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

// Whether an open folder lies on a file system of the kernel's own (proc, sysfs, cgroup, ...),
// whose "files" are views of the running system rather than data on a disk.
bool isSystemViewFolder(const FolderHandle &folder);
// The same for an open folder descriptor.
bool isSystemViewFolder(int fd);

// The status of the entry `name` of an open folder, as lstat gives it: a link is never
// followed, and has its own length. Throws FsError.
struct stat statEntry(const FolderHandle &folder, const char *name);
// The same without throwing, for any thread: 0, or the system's error number.
int statEntryAt(const FolderHandle &folder, const char *name, struct stat &st);
// The same from a descriptor (see lookUpFrom).
int statEntryAt(int from, const char *name, struct stat &st);

// Gives the calling thread a current folder of its own, not shared with the process's other
// threads, where the system allows it. For a thread that walks folders alone: a lookup from the
// current folder costs the kernel less than one from a descriptor, which threads share.
void ownCurrentFolder();
// What to look up `lookups` entries of the open folder `fd` from: AT_FDCWD once the current
// folder is that folder, where the thread has one of its own and may go there; or else `fd`
// itself. A few entries are looked up from `fd`: going there is a call of its own, which
// costs more than a few lookups save (a folder of many small subfolders has one file each).
int lookUpFrom(int fd, size_t lookups);

// Whether an open folder has been removed since it was opened (its last name is gone).
bool folderGone(const FolderHandle &folder);

// Whether the entries of an open folder can be examined: false for a folder that may be read
// but not searched, whose names are listed while none of them can be looked at.
bool folderSearchable(const FolderHandle &folder);

// Joins a folder path and a name with exactly one "/" between them.
QByteArray joinPath(const QByteArray &folder, const QByteArray &name);
