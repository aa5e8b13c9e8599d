// SPDX-License-Identifier: GPL-3.0-or-later
#include "output/ListingExport.h"

#include "listing/FileFacts.h"
#include "listing/FileListElement.h"
#include "scan/engine/FolderReader.h"
#include "scan/engine/SeenFiles.h"
#include "shared/FsError.h"
#include "shared/Text.h"

#include <QDateTime>
#include <QTimeZone>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <sched.h>
#include <sys/stat.h>
#include <unistd.h>
#include <array>
#include <charconv>
#include <condition_variable>
#include <functional>
#include <iterator>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

namespace {
// The length of the UTF-8 sequence at `s` (of `n` bytes) and its code point, or 0 when the
// bytes there are not UTF-8 (a stray byte, a short, overlong or surrogate sequence).
int utf8Sequence(const unsigned char *s, qsizetype n, char32_t &c)
{
    const unsigned char b = s[0];
    int len;
    if (b < 0x80) {
        c = b;
        return 1;
    }
    if (b >= 0xC2 && b <= 0xDF) {
        len = 2;
        c = b & 0x1F;
    } else if (b >= 0xE0 && b <= 0xEF) {
        len = 3;
        c = b & 0x0F;
    } else if (b >= 0xF0 && b <= 0xF4) {
        len = 4;
        c = b & 0x07;
    } else
        return 0;
    if (n < len)
        return 0;
    for (int i = 1; i < len; ++i) {
        if ((s[i] & 0xC0) != 0x80)
            return 0;
        c = (c << 6) | (s[i] & 0x3F);
    }
    static constexpr char32_t least[] = {0, 0, 0x80, 0x800, 0x10000};
    if (c < least[len] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
        return 0;
    return len;
}

bool breaks(char32_t c)
{
    return c < 0x10000 && breaksOrReordersLine(char16_t(c));
}

const char Hex[] = "0123456789ABCDEF";

// A CSV field: quoted when it holds a quote, a comma or a line end, quotes doubled.
QByteArray csvField(const QByteArray &text)
{
    if (!text.contains('"') && !text.contains(',') && !text.contains('\n') && !text.contains('\r'))
        return text;
    QByteArray quoted = text;
    quoted.replace("\"", "\"\"");
    return '"' + quoted + '"';
}

QByteArray isoTime(qint64 seconds)
{
    return QDateTime::fromSecsSinceEpoch(seconds, QTimeZone::systemTimeZone()).toString(Qt::ISODate).toLatin1();
}

QString csvRow(const QByteArray &path, const char *kind, int64_t bytes, const QByteArray &time)
{
    return QString::fromUtf8(csvField(escapedPath(path)) + ',' + kind + ',' + QByteArray::number(qlonglong(bytes)) + ','
                             + time);
}

QByteArray modifiedOf(const QByteArray &path)
{
    struct stat st;
    return ::lstat(path.constData(), &st) == 0 ? isoTime(st.st_mtim.tv_sec) : QByteArray();
}
} // namespace

QByteArray escapedPath(QByteArrayView native)
{
    QByteArray out;
    out.reserve(native.size());
    const auto *s = reinterpret_cast<const unsigned char *>(native.data());
    for (qsizetype i = 0; i < native.size();) {
        char32_t c = 0;
        const int len = utf8Sequence(s + i, native.size() - i, c);
        if (len == 1 && c == '\\') {
            out += "\\\\";
        } else if (len > 0 && !breaks(c)) {
            out.append(native.data() + i, len);
        } else {
            for (int k = 0; k < std::max(len, 1); ++k) {
                const unsigned char b = s[i + k];
                out += "\\x";
                out += Hex[b >> 4];
                out += Hex[b & 15];
            }
        }
        i += std::max(len, 1);
    }
    return out;
}

ListingChoices csvChoices(ListingChoices choices)
{
    choices.folderSizes = choices.fileSizes = choices.dates = true;
    return choices;
}

ListingLines csvLines()
{
    ListingLines lines;
    lines.folder = [](const QByteArray &path, const QString &, std::optional<int64_t> bytes, int) {
        return csvRow(path, "folder", bytes.value_or(0), modifiedOf(path));
    };
    lines.recursiveFile = [](TextLines &to, const QByteArray &dir, const char *name, LineKey key) {
        to.append(csvRow(joinPath(dir, name), "file", key.bytes, isoTime(key.modified)), key);
    };
    lines.files = [](const QByteArray &folder, const FileListElement &files, const QString &,
                     const std::function<void(const QString &)> &addLine, const ListingProblem &problem) {
        FolderFileFacts facts(folder);
        SeenFiles seen;
        int64_t total = 0;
        constexpr int Slice = 16384;
        for (int i = 0; i < files.count(); ++i) {
            if (i % Slice == 0)
                facts.lookUp(i, std::min(Slice, files.count() - i), [&files](int k) { return files.nativeName(k); });
            const QByteArray path = folder + files.nativeName(i);
            try {
                const FileFacts f = facts.read(i, files.nativeName(i));
                if (seen.firstSight(f.device, f.inode, f.links, f.length))
                    total += f.length;
                addLine(csvRow(path, "file", f.length, f.modified.toString(Qt::ISODate).toLatin1()));
            } catch (const std::exception &e) {
                problem(errorDescription(e), displayName(path));
                addLine(csvRow(path, "file", 0, {}));
            }
        }
        return total;
    };
    return lines;
}

TextLines csvListing(const ListingSnapshot &s)
{
    TextLines out;
    out.append(QStringLiteral("path,kind,size,modified"));
    if (s.includeFolders)
        out.append(s.folderLines);
    out.append(s.fileLines);
    return out;
}

namespace {
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

// The JSON text of a part of the tree, and the problems met in it, in walk order. The text
// is kept in blocks of whole lines, each made once with room for it, so that a big tree's text
// is never moved as it grows.
struct TreeText {
    static constexpr size_t BlockBytes = 1 << 16;

    TreeText() { startBlock(); }
    std::string &text() { return blocks.back(); }
    // After a whole line: a full block is left as it is (and told to `blockFull`, if set).
    void endLine()
    {
        if (blocks.back().size() >= BlockBytes) {
            startBlock();
            if (blockFull)
                blockFull(*this);
        }
    }

    // The full blocks, taken out in order: all but the last, which is being filled.
    std::vector<std::string> takeFullBlocks()
    {
        std::vector<std::string> full(std::make_move_iterator(blocks.begin()), std::make_move_iterator(blocks.end() - 1));
        blocks.erase(blocks.begin(), blocks.end() - 1);
        return full;
    }

    std::vector<std::string> blocks;
    std::function<void(TreeText &)> blockFull;
    std::vector<std::pair<QString, QString>> problems; // description, path

private:
    void startBlock()
    {
        blocks.emplace_back();
        blocks.back().reserve(BlockBytes + 8192); // a line of a long name escaped fits too
    }
};

// Whether a folder lies on a file system of the kernel's own (proc, sysfs, ...), which the
// walks of the program leave out; asked where the walk enters another device.
bool kernelView(const QByteArray &path)
{
    try {
        return isSystemViewFolder(FolderHandle::open(path));
    } catch (const std::exception &) {
        return false;
    }
}

bool dotOrDotDot(const char *name)
{
    return name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0));
}

// The entries of an open folder, read from the kernel a block at a time through the folder's
// own descriptor: no directory stream (a check of the descriptor and two more calls to the
// kernel) for every folder of the tree. It owns the descriptor.
class FolderEntries {
public:
    explicit FolderEntries(int fd) : fd_(fd), block_(new char[BlockBytes]) {}
    ~FolderEntries()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    FolderEntries(FolderEntries &&other) noexcept
        : fd_(std::exchange(other.fd_, -1)), block_(std::move(other.block_)), got_(other.got_), at_(other.at_)
    {
    }
    FolderEntries(const FolderEntries &) = delete;
    FolderEntries &operator=(const FolderEntries &) = delete;
    FolderEntries &operator=(FolderEntries &&) = delete;

    int fd() const { return fd_; }
    // The next entry but "." and "..", or null at the end; errno is then 0, or why the read failed.
    const dirent64 *next()
    {
        for (;;) {
            if (at_ >= got_) {
                got_ = ::getdents64(fd_, block_.get(), BlockBytes);
                at_ = 0;
                if (got_ <= 0) {
                    errno = got_ < 0 ? errno : 0;
                    got_ = 0;
                    return nullptr;
                }
            }
            const auto *e = reinterpret_cast<const dirent64 *>(block_.get() + at_);
            at_ += e->d_reclen;
            if (!dotOrDotDot(e->d_name))
                return e;
        }
    }

private:
    static constexpr size_t BlockBytes = 32 * 1024;
    int fd_;
    std::unique_ptr<char[]> block_;
    ssize_t got_ = 0, at_ = 0;
};

// An entry's status as lstat gives it, and for a folder its open descriptor (or -1 and why it
// could not be opened). A folder the read calls a folder is opened first and its status taken
// from the descriptor: one lookup of its name instead of two. False, with errno set, when the
// entry cannot be looked at.
bool statAndOpen(int dirFd, const dirent64 &e, struct stat &st, int &fd, int &openError)
{
    constexpr int Flags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;
    fd = -1;
    openError = 0;
    if (e.d_type == DT_DIR) {
        fd = ::openat(dirFd, e.d_name, Flags);
        if (fd >= 0 && ::fstat(fd, &st) == 0)
            return true;
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }
    // Anything else, or a folder that could not be opened (or is one no longer): by its name.
    if (::fstatat(dirFd, e.d_name, &st, AT_SYMLINK_NOFOLLOW) != 0)
        return false;
    if (S_ISDIR(st.st_mode)) {
        fd = ::openat(dirFd, e.d_name, Flags);
        openError = fd < 0 ? errno : 0;
    }
    return true;
}

// Appends a folder (the open `fd`, taken over, or -1 and why it could not be opened) and everything below it: one open folder a
// level, each read as the walk goes down, so that only the depth of the tree is held open.
// Entries that vanish meanwhile are passed over; a folder that cannot be read is marked.
void exportFolder(int fd, int openError, const struct stat &st, QByteArrayView name, const QByteArray &path,
                  bool withDevice, TreeText &out)
{
    struct Level {
        FolderEntries entries;
        dev_t device;
        QByteArray path;
    };
    std::vector<Level> stack;
    const auto enter = [&](int dirFd, int openError, const struct stat &dirSt, QByteArrayView dirName,
                           QByteArray dirPath, bool device) {
        out.text() += '[';
        appendInfo(out.text(), dirName, dirSt, device);
        if (dirFd < 0) {
            out.text() += ",\"read_error\":true}]";
            out.problems.emplace_back(FsError::fromErrno(openError).description(), displayName(dirPath));
            return;
        }
        FolderEntries entries(dirFd);
        if (device && kernelView(dirPath)) { // views of the running system hold no data: not walked
            out.text() += ",\"excluded\":\"kernfs\"}]";
            return;
        }
        out.text() += '}';
        stack.push_back({std::move(entries), dirSt.st_dev, std::move(dirPath)});
    };
    enter(fd, openError, st, name, path, withDevice);
    while (!stack.empty()) {
        const dirent64 *e = stack.back().entries.next();
        if (!e) {
            if (errno != 0)
                out.problems.emplace_back(FsError::fromErrno(errno).description(), displayName(stack.back().path));
            stack.pop_back();
            out.text() += "]\r\n";
            out.endLine();
            continue;
        }
        const char *entry = e->d_name;
        struct stat est;
        int child, childError;
        if (!statAndOpen(stack.back().entries.fd(), *e, est, child, childError)) {
            const int err = errno;
            if (err == ENOENT)
                continue;
            out.problems.emplace_back(FsError::fromErrno(err).description(), displayName(joinPath(stack.back().path, entry)));
            out.text() += ",{\"name\":";
            appendJsonName(out.text(), entry);
            out.text() += ",\"read_error\":true}\r\n";
            out.endLine();
            continue;
        }
        if (S_ISDIR(est.st_mode)) {
            out.text() += ',';
            const bool otherDevice = est.st_dev != stack.back().device;
            enter(child, childError, est, entry, joinPath(stack.back().path, entry), otherDevice);
            out.text() += "\r\n";
        } else {
            appendInfo(out.text(), entry, est, false, ",", "}\r\n");
        }
        out.endLine();
    }
}
} // namespace

void ncduExport(const QByteArray &folder, const ListingProblem &problem, const std::function<void(QByteArrayView)> &write)
{
    const QByteArray top = normalFolderPath(folder);
    const int fd = ::open(top.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    struct stat st;
    if (fd < 0 || ::fstat(fd, &st) != 0) {
        const int err = errno;
        if (fd >= 0)
            ::close(fd);
        throw FsError(FsError::fromErrno(err).description());
    }
    FolderEntries topEntries(fd);
    const auto bytes = [](const std::string &text) { return QByteArrayView(text.data(), qsizetype(text.size())); };
    const auto writeAll = [&](const TreeText &tree) {
        for (const std::string &block : tree.blocks)
            if (!block.empty())
                write(bytes(block));
    };
    TreeText head;
    head.text() = "[1,2,{\"progname\":\"listwright\",\"progver\":\"2.0.0\",\"timestamp\":"
                + std::to_string(std::time(nullptr)) + "},\r\n";
    // The folder's own entries here; its subfolders' trees are exported on workers, a tree
    // each, and written in the order the folder listed them, a few trees ahead at most.
    std::vector<std::pair<QByteArray, struct stat>> subfolders;
    head.text() += '[';
    appendInfo(head.text(), top, st, true);
    if (kernelView(top)) {
        head.text() += ",\"excluded\":\"kernfs\"}]]\r\n";
        writeAll(head);
        return;
    }
    head.text() += "}\r\n";
    while (const dirent64 *e = topEntries.next()) {
        struct stat est;
        const bool known = ::fstatat(fd, e->d_name, &est, AT_SYMLINK_NOFOLLOW) == 0;
        const int err = known ? 0 : errno;
        if (err == ENOENT) // gone meanwhile
            continue;
        if (known && S_ISDIR(est.st_mode)) {
            subfolders.emplace_back(e->d_name, est);
            continue;
        }
        head.text() += ',';
        if (known) {
            appendInfo(head.text(), e->d_name, est, false);
        } else {
            head.problems.emplace_back(FsError::fromErrno(err).description(), displayName(joinPath(top, e->d_name)));
            head.text() += "{\"name\":";
            appendJsonName(head.text(), e->d_name);
            head.text() += ",\"read_error\":true";
        }
        head.text() += "}\r\n";
        head.endLine();
        // A big folder's own entries go out as their blocks fill, not held to its end.
        for (const std::string &block : head.takeFullBlocks())
            write(bytes(block));
    }
    if (errno != 0)
        head.problems.emplace_back(FsError::fromErrno(errno).description(), displayName(top));
    for (const auto &[description, path] : head.problems)
        problem(description, path);
    writeAll(head);

    const unsigned workers = std::max(1u, std::thread::hardware_concurrency());
    const size_t ahead = 2 * workers;
    constexpr size_t HandOver = 4;
    std::mutex mutex;
    std::condition_variable taken, done;
    std::map<size_t, TreeText> finished;
    std::vector<std::string> flowing; // full blocks of tree `written`, handed over before its end
    size_t next = 0, written = 0;
    bool stopped = false; // the writing failed: the workers end
    {
        std::vector<std::jthread> pool;
        for (unsigned w = 0; w < std::min<size_t>(workers, subfolders.size()); ++w)
            pool.emplace_back([&] {
                // A table of descriptors of its own: the kernel then takes a descriptor without
                // counting a reference to it at every call, as it must for a table threads share.
                // What the worker opens, it closes; the top folder's is copied in.
                ::unshare(CLONE_FILES);
                for (;;) {
                    size_t i;
                    {
                        std::unique_lock lock(mutex);
                        taken.wait(lock, [&] { return stopped || next >= subfolders.size() || next < written + ahead; });
                        if (stopped || next >= subfolders.size())
                            return;
                        i = next++;
                    }
                    const auto &[name, est] = subfolders[i];
                    TreeText tree;
                    // Whose turn it is to be written hands its full blocks over as they fill,
                    // so that a huge folder's text is not held whole.
                    tree.blockFull = [&, i](TreeText &t) {
                        const std::lock_guard lock(mutex);
                        if (i != written)
                            return;
                        for (std::string &block : t.takeFullBlocks())
                            flowing.push_back(std::move(block));
                        if (flowing.size() >= HandOver) // the writer wakes for several at once
                            done.notify_all();
                    };
                    tree.text() += ',';
                    const int child = ::openat(fd, name.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
                    exportFolder(child, errno, est, name, joinPath(top, name), est.st_dev != st.st_dev, tree);
                    tree.blockFull = nullptr;
                    std::lock_guard lock(mutex);
                    finished.emplace(i, std::move(tree));
                    done.notify_all();
                }
            });
        for (size_t i = 0; i < subfolders.size(); ++i) {
            try {
                // Tree i's blocks as its worker hands them over, then the rest of it.
                for (std::optional<TreeText> tree; !tree;) {
                    std::vector<std::string> early;
                    {
                        std::unique_lock lock(mutex);
                        done.wait(lock, [&] { return finished.contains(i) || !flowing.empty(); });
                        early.swap(flowing);
                        if (const auto f = finished.find(i); f != finished.end()) {
                            tree.emplace(std::move(f->second));
                            finished.erase(f);
                            written = i + 1;
                            taken.notify_all();
                        }
                    }
                    for (const std::string &block : early)
                        write(bytes(block));
                    if (tree) {
                        for (const auto &[description, path] : tree->problems)
                            problem(description, path);
                        writeAll(*tree);
                    }
                }
            } catch (...) {
                std::lock_guard lock(mutex);
                stopped = true;
                taken.notify_all();
                throw;
            }
        }
    }
    write("]]\r\n");
}
