// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/output/NcduExport.h"

#include "core/scan/engine/DirectoryList.h"
#include "core/scan/engine/FolderReader.h"
#include "core/shared/FsError.h"
#include "core/shared/Text.h"

#include <cerrno>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <algorithm>
#include <array>
#include <atomic>
#include <charconv>
#include <condition_variable>
#include <deque>
#include <exception>
#include <functional>
#include <iterator>
#include <list>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

namespace {
const char Hex[] = "0123456789ABCDEF";

// JSON string text of a name: UTF-8, with quotes, backslashes and controls escaped and
// U+FFFD for each byte that is not UTF-8.
void appendJsonName(std::string &out, QByteArrayView name)
{
    out += '"';
    const auto *s = reinterpret_cast<const unsigned char *>(name.data());
    const auto plain = [](unsigned char c) { return c >= 0x20 && c < 0x7F && c != '"' && c != '\\'; };
    for (qsizetype i = 0; i < name.size();) {
        if (plain(s[i])) { // the common case: a run of them at once
            qsizetype end = i + 1;
            while (end < name.size() && plain(s[end]))
                ++end;
            out.append(name.data() + i, size_t(end - i));
            i = end;
            continue;
        }
        char32_t c = 0;
        const int len = utf8Sequence(s + i, name.size() - i, c);
        if (len == 0) {
            out += "\xEF\xBF\xBD";
            ++i;
            continue;
        }
        if (c == '"' || c == '\\') {
            out += '\\';
            out += char(c);
        } else if (c < 0x20 || c == 0x7F) {
            out += "\\u00";
            out += Hex[c >> 4];
            out += Hex[c & 15];
        } else
            out.append(name.data() + i, size_t(len));
        i += len;
    }
    out += '"';
}

// Whether a name goes into JSON text as it is: printable ASCII without a quote or a backslash.
bool plainJson(QByteArrayView name)
{
    static constexpr auto Plain = [] {
        std::array<bool, 256> plain{};
        for (int c = 0x20; c < 0x7F; ++c)
            plain[size_t(c)] = c != '"' && c != '\\';
        return plain;
    }();
    bool plain = true;
    for (const char c : name)
        plain &= Plain[static_cast<unsigned char>(c)];
    return plain;
}

// Text written at `to`, its end returned: a literal, or a key and a number.
template <size_t N>
char *put(char *to, const char (&text)[N])
{
    std::memcpy(to, text, N - 1);
    return to + N - 1;
}

template <size_t N>
char *putNumber(char *to, const char (&key)[N], unsigned long long n)
{
    to = put(to, key);
    return std::to_chars(to, to + 20, n).ptr;
}

// An entry's info object, without its closing brace, between `before` and `after` (a few
// characters each). It is made in one piece, its name too when it needs no escape, as nearly
// every name does.
void appendInfo(std::string &out, QByteArrayView name, const struct stat &st, bool withDevice,
                std::string_view before = {}, std::string_view after = {})
{
    constexpr qsizetype ShortName = 255;
    char text[ShortName + 256]; // the name, its quotes, every key with 20 digits, and the rest
    char *p = text;
    for (const char c : before)
        *p++ = c;
    p = put(p, "{\"name\":");
    if (name.size() <= ShortName && plainJson(name)) {
        *p++ = '"';
        std::memcpy(p, name.data(), size_t(name.size()));
        p += name.size();
        *p++ = '"';
    } else {
        out.append(text, size_t(p - text));
        appendJsonName(out, name);
        p = text;
    }
    p = putNumber(p, ",\"asize\":", qulonglong(std::max<off_t>(st.st_size, 0)));
    p = putNumber(p, ",\"dsize\":", qulonglong(st.st_blocks) * 512);
    if (withDevice)
        p = putNumber(p, ",\"dev\":", qulonglong(st.st_dev));
    p = putNumber(p, ",\"ino\":", qulonglong(st.st_ino));
    if (!S_ISDIR(st.st_mode) && st.st_nlink > 1) {
        p = put(p, ",\"hlnkc\":true");
        p = putNumber(p, ",\"nlink\":", qulonglong(st.st_nlink));
    }
    if (!S_ISDIR(st.st_mode) && !S_ISREG(st.st_mode))
        p = put(p, ",\"notreg\":true");
    if (st.st_mtim.tv_sec >= 0)
        p = putNumber(p, ",\"mtime\":", qulonglong(st.st_mtim.tv_sec));
    for (const char c : after)
        *p++ = c;
    out.append(text, size_t(p - text));
}

bool dotOrDotDot(const char *name)
{
    return name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0));
}

// An open descriptor, closed with its owner.
class Descriptor {
public:
    explicit Descriptor(int fd = -1) : fd_(fd) {}
    ~Descriptor()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    Descriptor(Descriptor &&other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    Descriptor &operator=(Descriptor &&other) noexcept
    {
        std::swap(fd_, other.fd_);
        return *this;
    }
    int get() const { return fd_; }

private:
    int fd_;
};

// A stretch of the export's text, in the order of the file: its full blocks as they are handed
// over, then at its end the rest, with the problems met in it.
struct Piece {
    std::vector<std::string> blocks;
    std::vector<std::pair<QString, QString>> problems; // description, path
    bool done = false;
};
using Pieces = std::list<Piece>;

// A subfolder as a folder's read met it, to walk after the folder's files; with its status
// where the read had to take it (not every file system tells what an entry is).
struct Subfolder {
    QByteArray name;
    std::shared_ptr<const struct stat> status;
};

// A subfolder met in a walk, as it was found: its status as lstat gives it (or why it could
// not be looked at) and, if it is still a folder, its descriptor (or why it could not be opened).
struct Found {
    Descriptor fd;
    int openError = 0, statError = 0;
    struct stat st{};
};

// A name the read called a folder is opened first and its status taken from the descriptor:
// one lookup of its name instead of two.
Found find(int dirFd, const Subfolder &sub)
{
    constexpr int Flags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;
    Found f;
    if (sub.status) {
        f.st = *sub.status;
    } else {
        f.fd = Descriptor(::openat(dirFd, sub.name.constData(), Flags));
        if (f.fd.get() >= 0 && ::fstat(f.fd.get(), &f.st) == 0)
            return f;
        f.fd = Descriptor();
        // One that could not be opened (or is a folder no longer): by its name.
        if ((f.statError = statEntryAt(dirFd, sub.name.constData(), f.st)) != 0)
            return f;
    }
    if (S_ISDIR(f.st.st_mode)) {
        f.fd = Descriptor(::openat(dirFd, sub.name.constData(), Flags));
        f.openError = f.fd.get() < 0 ? errno : 0;
    }
    return f;
}

// Work for a worker, with the piece its text goes to: the top folder; subfolders of a folder to
// walk one after another; or a part of a big folder's read, whose files it looks up (the
// entries as the kernel gave them). With the folder's own descriptor, path and device.
struct FolderTask {
    Descriptor fd;
    QByteArray path;
    dev_t device = 0;
    Pieces::iterator piece;
    std::vector<Subfolder> subfolders;
    std::vector<char> entries;
    bool top = false;
    struct stat topStatus{};
};

// What the workers of one export share. One worker starts on the top folder; a worker that
// has nothing to do waits, and a worker walking a tree then hands it a subfolder or a part of
// a big folder's files, whose text takes its place in the order of the file as a piece of
// its own. The text is written by the workers themselves, by one at a time: the one that makes
// the piece whose turn it is complete, or gives it blocks, writes what is ready, unless another
// writes already, who then writes that too. No thread of its own takes a processor from them.
struct ExportWork {
    ExportWork(const ListingProblem &problem, const std::function<void(QByteArrayView)> &write)
        : problem(problem), write(write)
    {
    }
    const ListingProblem &problem;
    const std::function<void(QByteArrayView)> &write;
    std::mutex mutex;
    std::condition_variable work;
    Pieces pieces; // not yet written, in order
    std::deque<FolderTask> handed;
    std::atomic<int> idle{0};
    int busy = 0;
    bool writing = false;       // a worker writes
    bool stopped = false;       // the writing failed: the workers end
    std::exception_ptr failure; // why

    // Writes the text and problems ready in order, `lock` held on the way in and out and let go
    // meanwhile; a failure stops the workers, and is kept for the caller.
    void writeReady(std::unique_lock<std::mutex> &lock)
    {
        if (writing || stopped)
            return;
        writing = true;
        while (!pieces.empty() && (!pieces.front().blocks.empty() || pieces.front().done)) {
            Piece &front = pieces.front();
            std::vector<std::string> blocks;
            std::vector<std::pair<QString, QString>> problems;
            blocks.swap(front.blocks);
            if (front.done) {
                problems.swap(front.problems);
                pieces.pop_front();
            }
            lock.unlock();
            try {
                for (const std::string &b : blocks)
                    write(QByteArrayView(b.data(), qsizetype(b.size())));
                for (const auto &[description, path] : problems)
                    problem(description, path);
            } catch (...) {
                lock.lock();
                failure = std::current_exception();
                stopped = true;
                writing = false;
                work.notify_all();
                return;
            }
            lock.lock();
        }
        writing = false;
    }
};

// Ends a walk when the writing has failed.
struct WalkStopped {};

// One worker's walks. Each folder is read whole before the walk goes down, its files written
// as they are read and its subfolders walked after them in the order read, so that only the
// depth of the tree is held open, and the subfolders that remain are known at every level: a
// worker waiting for work is handed the next one of the highest level that has any, whose text
// comes soon after what this walk writes. Entries that vanish meanwhile are passed over; a
// folder that cannot be read is marked.
class FolderWalk {
public:
    explicit FolderWalk(ExportWork &work) : work_(work) { startBlock(); }

    // Walks a task. A walk that is stopped (the writing failed) is left where it is.
    void run(FolderTask &task)
    {
        piece_ = task.piece;
        stack_.clear();
        handed_.clear();
        problems_.clear();
        block_.clear();
        if (!task.entries.empty()) {
            const int dirFd = lookUpFrom(task.fd.get());
            for (size_t at = 0; at < task.entries.size();) {
                const auto &e = *reinterpret_cast<const dirent64 *>(task.entries.data() + at);
                at += e.d_reclen;
                if (e.d_type != DT_DIR && !dotOrDotDot(e.d_name))
                    lookUp(dirFd, task.path, e, nullptr);
            }
            finishPiece();
            return;
        }
        if (task.top) {
            const QByteArray name = task.path;
            enter(std::move(task.fd), 0, task.topStatus, name, std::move(task.path), true, "[");
        } else { // subfolders handed over: walked as a part of their folder, whose line is not ours
            stack_.push_back({std::move(task.fd), task.device, std::move(task.path), std::move(task.subfolders)});
            stack_.back().partial = true;
        }
        while (!stack_.empty()) {
            Level &level = stack_.back();
            if (level.next == level.subfolders.size()) {
                if (!level.partial) {
                    text() += "]\r\n";
                    endLine();
                }
                stack_.pop_back();
                continue;
            }
            if (level.next < level.handed) { // the first of some handed over
                level.next = handed_.front().end;
                reachHanded();
                continue;
            }
            const Subfolder &sub = level.subfolders[level.next++];
            offerWork();
            place(find(level.fd.get(), sub), sub.name, joinPath(level.path, sub.name), level.device);
        }
        finishPiece();
    }

private:
    struct Level {
        Descriptor fd;
        dev_t device;
        QByteArray path;
        std::vector<Subfolder> subfolders;
        size_t next = 0;   // the next to walk
        size_t handed = 0; // those from `next` up to here are handed to other workers
        bool partial = false;
    };
    // Subfolders handed over and not yet reached: the depth of their folder in the walk, where
    // they end among its subfolders, their piece and the piece this walk goes on in after it.
    struct Handed {
        size_t depth, end;
        Pieces::iterator piece, after;
    };

    std::string &text() { return block_; }
    void startBlock() { block_.reserve(BlockBytes + 8192); } // a line of a long name escaped fits too

    // After a whole line: a full block goes to the piece.
    void endLine()
    {
        if (block_.size() < BlockBytes)
            return;
        std::unique_lock lock(work_.mutex);
        if (work_.stopped)
            throw WalkStopped();
        piece_->blocks.push_back(std::move(block_));
        block_ = std::string();
        // Written several blocks at once, when the piece is the one whose turn it is.
        if (piece_ == work_.pieces.begin() && piece_->blocks.size() >= HandOver)
            work_.writeReady(lock);
        lock.unlock();
        startBlock();
    }

    // The piece is complete: its text and problems go to it, and are written if it is its turn.
    // A short rest is copied, so that a small tree held until its turn takes only its text.
    void finishPiece()
    {
        std::string rest = block_.size() < BlockBytes / 4 ? std::string(block_) : std::move(block_);
        std::unique_lock lock(work_.mutex);
        if (!rest.empty())
            piece_->blocks.push_back(std::move(rest));
        for (auto &p : problems_)
            piece_->problems.push_back(std::move(p));
        problems_.clear();
        piece_->done = true;
        if (piece_ == work_.pieces.begin())
            work_.writeReady(lock);
        lock.unlock();
        block_.clear();
        startBlock();
    }

    void unreadable(const QByteArray &path, QByteArrayView name, int err)
    {
        problems_.emplace_back(FsError::fromErrno(err).description(), displayName(path));
        text() += ",{\"name\":";
        appendJsonName(text(), name);
        text() += ",\"read_error\":true}\r\n";
        endLine();
    }

    // Writes what a subfolder turned out to be: a folder (entered), something else that took its
    // name meanwhile, or a name that cannot be looked at. One that is gone is passed over.
    void place(Found &&f, QByteArrayView name, QByteArray path, dev_t parentDevice)
    {
        if (f.statError != 0) {
            if (f.statError != ENOENT)
                unreadable(path, name, f.statError);
        } else if (!S_ISDIR(f.st.st_mode)) {
            appendInfo(text(), name, f.st, false, ",", "}\r\n");
            endLine();
        } else {
            enter(std::move(f.fd), f.openError, f.st, name, std::move(path), f.st.st_dev != parentDevice);
        }
    }

    // Writes a folder's line and its files, and keeps its subfolders to walk next.
    void enter(Descriptor fd, int openError, const struct stat &st, QByteArrayView name, QByteArray path, bool otherDevice,
               std::string_view before = ",[")
    {
        appendInfo(text(), name, st, otherDevice, before);
        if (fd.get() < 0) {
            text() += ",\"read_error\":true}]\r\n";
            problems_.emplace_back(FsError::fromErrno(openError).description(), displayName(path));
            endLine();
            return;
        }
        if (otherDevice && isSystemViewFolder(fd.get())) { // views of the running system hold no data: not walked
            text() += ",\"excluded\":\"kernfs\"}]\r\n";
            endLine();
            return;
        }
        text() += "}\r\n";
        endLine();
        Level level{std::move(fd), st.st_dev, std::move(path), {}};
        const int dirFd = lookUpFrom(level.fd.get());
        entries_.resize(32 * 1024);
        unsigned seen = 0;
        for (;;) {
            const ssize_t got = ::getdents64(level.fd.get(), entries_.data(), entries_.size());
            if (got <= 0) {
                if (got < 0)
                    problems_.emplace_back(FsError::fromErrno(errno).description(), displayName(level.path));
                break;
            }
            for (ssize_t at = 0; at < got;) {
                const auto &e = *reinterpret_cast<const dirent64 *>(entries_.data() + at);
                at += e.d_reclen;
                if (dotOrDotDot(e.d_name))
                    continue;
                // A big folder's files take a while: a worker that waits is served.
                if ((++seen & 255) == 0) {
                    offerWork();
                    if (handFiles(level, e, size_t(got - (at - e.d_reclen))))
                        break;
                }
                if (e.d_type == DT_DIR)
                    level.subfolders.push_back({e.d_name, nullptr});
                else
                    lookUp(dirFd, level.path, e, &level.subfolders);
            }
        }
        stack_.push_back(std::move(level));
    }

    // Writes the line of a folder's entry that the read does not call a folder; one that turns
    // out to be a folder is kept in `subfolders`, or, in a part of a read handed over, written
    // as a folder not walked (it took a file's name meanwhile).
    void lookUp(int dirFd, const QByteArray &dirPath, const dirent64 &e, std::vector<Subfolder> *subfolders)
    {
        struct stat st;
        if (const int err = statEntryAt(dirFd, e.d_name, st)) {
            if (err != ENOENT) // gone meanwhile
                unreadable(joinPath(dirPath, e.d_name), e.d_name, err);
            return;
        }
        if (S_ISDIR(st.st_mode) && subfolders) {
            subfolders->push_back({e.d_name, std::make_shared<const struct stat>(st)});
            return;
        }
        appendInfo(text(), e.d_name, st, false, S_ISDIR(st.st_mode) ? ",[" : ",", S_ISDIR(st.st_mode) ? "}]\r\n" : "}\r\n");
        endLine();
    }

    // Whether a worker waits for work and none is handed yet: asked first without the lock, and
    // again with it.
    bool wanted() const { return work_.idle.load(std::memory_order_relaxed) > 0 && work_.handed.empty(); }

    // Hands the entries of a folder's read from `first` on (`bytes` of them) to a worker that
    // waits: their lines become a piece of their own, here in the order of the file, and this
    // walk goes on in a piece after it. The subfolders among them stay with this walk. Not for
    // a few, nor where the read does not tell what an entry is.
    bool handFiles(Level &level, const dirent64 &first, size_t bytes)
    {
        if (work_.idle.load(std::memory_order_relaxed) == 0)
            return false;
        const char *from = reinterpret_cast<const char *>(&first);
        size_t files = 0;
        for (size_t at = 0; at < bytes;) {
            const auto &e = *reinterpret_cast<const dirent64 *>(from + at);
            at += e.d_reclen;
            if (e.d_type == DT_UNKNOWN)
                return false;
            files += e.d_type != DT_DIR;
        }
        if (files < 64)
            return false;
        FolderTask task;
        task.fd = Descriptor(::fcntl(level.fd.get(), F_DUPFD_CLOEXEC, 0));
        if (task.fd.get() < 0)
            return false;
        task.path = level.path;
        task.entries.assign(from, from + bytes);
        Pieces::iterator after;
        {
            const std::lock_guard lock(work_.mutex);
            if (!wanted())
                return false;
            task.piece = work_.pieces.emplace(std::next(piece_));
            after = work_.pieces.emplace(std::next(task.piece));
            work_.handed.push_back(std::move(task));
            work_.work.notify_one();
        }
        finishPiece(); // what was written so far
        piece_ = after;
        for (size_t at = 0; at < bytes;) {
            const auto &e = *reinterpret_cast<const dirent64 *>(from + at);
            at += e.d_reclen;
            if (e.d_type == DT_DIR && !dotOrDotDot(e.d_name))
                level.subfolders.push_back({e.d_name, nullptr});
        }
        return true;
    }

    // Hands half of the subfolders not yet walked nor handed of the highest level that has any,
    // the next ones, to a worker that waits (it hands some back in turn when another waits).
    void offerWork()
    {
        if (work_.idle.load(std::memory_order_relaxed) == 0)
            return;
        size_t depth = 0;
        while (depth < stack_.size()
               && std::max(stack_[depth].next, stack_[depth].handed) >= stack_[depth].subfolders.size())
            ++depth;
        if (depth == stack_.size())
            return;
        Level &level = stack_[depth];
        const size_t first = std::max(level.next, level.handed);
        const size_t end = first + std::max<size_t>(1, (level.subfolders.size() - first) / 2);
        FolderTask task;
        task.fd = Descriptor(::fcntl(level.fd.get(), F_DUPFD_CLOEXEC, 0));
        if (task.fd.get() < 0)
            return;
        const std::lock_guard lock(work_.mutex);
        if (!wanted())
            return;
        task.path = level.path;
        task.device = level.device;
        task.subfolders.assign(level.subfolders.begin() + qsizetype(first), level.subfolders.begin() + qsizetype(end));
        // The walk reaches them after what it handed before from this level and before what it
        // handed from the levels above: their piece, and then the piece to go on in, go there.
        auto before = handed_.begin();
        while (before != handed_.end() && before->depth >= depth)
            ++before;
        const Pieces::iterator at = before != handed_.end() ? before->piece
                                    : handed_.empty()       ? std::next(piece_)
                                                            : std::next(handed_.back().after);
        task.piece = work_.pieces.emplace(at);
        handed_.insert(before, {depth, end, task.piece, work_.pieces.emplace(at)});
        level.handed = end;
        work_.handed.push_back(std::move(task));
        work_.work.notify_one();
    }

    // The walk has come to a subfolder it handed over, the first of those it has not reached:
    // the text so far ends its piece, and the walk goes on in the piece after the handed one.
    void reachHanded()
    {
        finishPiece();
        piece_ = handed_.front().after;
        handed_.pop_front();
    }

    static constexpr size_t BlockBytes = 1 << 16;
    static constexpr size_t HandOver = 4;
    ExportWork &work_;
    Pieces::iterator piece_; // the piece written
    std::string block_;
    std::vector<std::pair<QString, QString>> problems_;
    std::vector<Level> stack_;
    std::deque<Handed> handed_; // in the order the walk reaches them
    std::vector<char> entries_;
};

void exportWorker(ExportWork &work)
{
    ownCurrentFolder(); // a folder's files are looked up from the folder
    FolderWalk walk(work);
    for (;;) {
        FolderTask task;
        {
            std::unique_lock lock(work.mutex);
            const auto ready = [&] { return work.stopped || !work.handed.empty() || work.busy == 0; };
            if (!ready()) {
                work.idle.fetch_add(1, std::memory_order_relaxed);
                work.work.wait(lock, ready);
                work.idle.fetch_sub(1, std::memory_order_relaxed);
            }
            if (work.stopped)
                return;
            if (work.handed.empty()) { // and no worker walks that could hand out more: the end
                work.work.notify_all();
                return;
            }
            task = std::move(work.handed.front());
            work.handed.pop_front();
            ++work.busy;
        }
        try {
            walk.run(task);
        } catch (const WalkStopped &) {
        }
        const std::lock_guard lock(work.mutex);
        if (--work.busy == 0) // what waits for the others to hand out work may end
            work.work.notify_all();
    }
}
} // namespace

void ncduExport(const QByteArray &folder, const ListingProblem &problem, const std::function<void(QByteArrayView)> &write,
                unsigned workers)
{
    FolderTask top;
    top.top = true;
    top.path = normalFolderPath(folder);
    top.fd = Descriptor(::open(top.path.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (top.fd.get() < 0 || ::fstat(top.fd.get(), &top.topStatus) != 0)
        throw FsError(FsError::fromErrno(errno).description());
    write("[1,2,{\"progname\":\"listwright\",\"progver\":\"2.0.0\",\"timestamp\":" + QByteArray::number(qint64(std::time(nullptr)))
          + "},\r\n");
    if (workers == 0)
        workers = std::max(1u, std::thread::hardware_concurrency());
    ExportWork work(problem, write);
    top.piece = work.pieces.emplace(work.pieces.end());
    work.handed.push_back(std::move(top));
    {
        std::vector<std::jthread> pool;
        for (unsigned w = 0; w < workers; ++w)
            pool.emplace_back([&work] { exportWorker(work); });
    }
    if (work.failure)
        std::rethrow_exception(work.failure);
    write("]\r\n");
}
