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
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <charconv>
#include <condition_variable>
#include <functional>
#include <iterator>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
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

void appendNumber(std::string &out, std::string_view key, unsigned long long n)
{
    char digits[24];
    const auto [end, ec] = std::to_chars(digits, digits + sizeof digits, n);
    out.append(key).append(digits, size_t(end - digits));
}

// An entry's info object, without its closing brace.
void appendInfo(std::string &out, QByteArrayView name, const struct stat &st, bool withDevice)
{
    out += "{\"name\":";
    appendJsonName(out, name);
    appendNumber(out, ",\"asize\":", qulonglong(std::max<off_t>(st.st_size, 0)));
    appendNumber(out, ",\"dsize\":", qulonglong(st.st_blocks) * 512);
    if (withDevice)
        appendNumber(out, ",\"dev\":", qulonglong(st.st_dev));
    appendNumber(out, ",\"ino\":", qulonglong(st.st_ino));
    if (!S_ISDIR(st.st_mode) && st.st_nlink > 1) {
        out += ",\"hlnkc\":true";
        appendNumber(out, ",\"nlink\":", qulonglong(st.st_nlink));
    }
    if (!S_ISDIR(st.st_mode) && !S_ISREG(st.st_mode))
        out += ",\"notreg\":true";
    if (st.st_mtim.tv_sec >= 0)
        appendNumber(out, ",\"mtime\":", qulonglong(st.st_mtim.tv_sec));
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

// Appends a folder (the open `fd`, taken over, or -1 and why it could not be opened) and everything below it: one open folder a
// level, each read as the walk goes down, so that only the depth of the tree is held open.
// Entries that vanish meanwhile are passed over; a folder that cannot be read is marked.
void exportFolder(int fd, int openError, const struct stat &st, QByteArrayView name, const QByteArray &path,
                  bool withDevice, TreeText &out)
{
    struct Level {
        DIR *dir;
        dev_t device;
        QByteArray path;
    };
    std::vector<Level> stack;
    const auto enter = [&](int dirFd, int openError, const struct stat &dirSt, QByteArrayView dirName,
                           QByteArray dirPath, bool device) {
        out.text() += '[';
        appendInfo(out.text(), dirName, dirSt, device);
        DIR *dir = dirFd >= 0 ? ::fdopendir(dirFd) : nullptr;
        if (!dir) {
            const int err = dirFd >= 0 ? errno : openError;
            if (dirFd >= 0)
                ::close(dirFd);
            out.text() += ",\"read_error\":true}]";
            out.problems.emplace_back(FsError::fromErrno(err).description(), displayName(dirPath));
            return;
        }
        if (device && kernelView(dirPath)) { // views of the running system hold no data: not walked
            ::closedir(dir);
            out.text() += ",\"excluded\":\"kernfs\"}]";
            return;
        }
        out.text() += '}';
        stack.push_back({dir, dirSt.st_dev, std::move(dirPath)});
    };
    enter(fd, openError, st, name, path, withDevice);
    while (!stack.empty()) {
        errno = 0;
        const dirent *e = ::readdir(stack.back().dir);
        if (!e) {
            if (errno != 0)
                out.problems.emplace_back(FsError::fromErrno(errno).description(), displayName(stack.back().path));
            ::closedir(stack.back().dir);
            stack.pop_back();
            out.text() += "]\r\n";
            out.endLine();
            continue;
        }
        const char *entry = e->d_name;
        if (dotOrDotDot(entry))
            continue;
        const int dirFd = ::dirfd(stack.back().dir);
        struct stat est;
        if (::fstatat(dirFd, entry, &est, AT_SYMLINK_NOFOLLOW) != 0) {
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
        out.text() += ',';
        if (S_ISDIR(est.st_mode)) {
            const int child = ::openat(dirFd, entry, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
            const int openError = errno;
            const bool otherDevice = est.st_dev != stack.back().device;
            enter(child, openError, est, entry, joinPath(stack.back().path, entry), otherDevice);
        } else {
            appendInfo(out.text(), entry, est, false);
            out.text() += '}';
        }
        out.text() += "\r\n";
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
    const int topFd = ::dup(fd);
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
    {
        head.text() += '[';
        appendInfo(head.text(), top, st, true);
        if (kernelView(top)) {
            ::close(fd);
            ::close(topFd);
            head.text() += ",\"excluded\":\"kernfs\"}]]\r\n";
            writeAll(head);
            return;
        }
        head.text() += "}\r\n";
        const std::unique_ptr<DIR, int (*)(DIR *)> dir(::fdopendir(fd), &::closedir);
        if (!dir) {
            const int err = errno;
            ::close(fd);
            ::close(topFd);
            throw FsError(FsError::fromErrno(err).description());
        }
        for (;;) {
            errno = 0;
            const dirent *e = ::readdir(dir.get());
            if (!e) {
                if (errno != 0)
                    head.problems.emplace_back(FsError::fromErrno(errno).description(), displayName(top));
                break;
            }
            if (dotOrDotDot(e->d_name))
                continue;
            struct stat est;
            if (::fstatat(::dirfd(dir.get()), e->d_name, &est, AT_SYMLINK_NOFOLLOW) != 0) {
                if (errno != ENOENT)
                    head.problems.emplace_back(FsError::fromErrno(errno).description(), displayName(joinPath(top, e->d_name)));
                continue;
            }
            if (S_ISDIR(est.st_mode)) {
                subfolders.emplace_back(e->d_name, est);
                continue;
            }
            head.text() += ',';
            appendInfo(head.text(), e->d_name, est, false);
            head.text() += "}\r\n";
            head.endLine();
            // A big folder's own entries go out as their blocks fill, not held to its end.
            try {
                for (const std::string &block : head.takeFullBlocks())
                    write(bytes(block));
            } catch (...) {
                ::close(topFd);
                throw;
            }
        }
    }
    for (const auto &[description, path] : head.problems)
        problem(description, path);
    writeAll(head);

    const unsigned workers = std::max(1u, std::thread::hardware_concurrency());
    const size_t ahead = 2 * workers;
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
                        done.notify_all();
                    };
                    tree.text() += ',';
                    const int child = ::openat(topFd, name.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
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
                for (bool complete = false; !complete;) {
                    std::vector<std::string> early;
                    TreeText tree;
                    {
                        std::unique_lock lock(mutex);
                        done.wait(lock, [&] { return finished.contains(i) || !flowing.empty(); });
                        early.swap(flowing);
                        if (finished.contains(i)) {
                            tree = std::move(finished[i]);
                            finished.erase(i);
                            written = i + 1;
                            taken.notify_all();
                            complete = true;
                        }
                    }
                    for (const std::string &block : early)
                        write(bytes(block));
                    for (const auto &[description, path] : tree.problems)
                        problem(description, path);
                    if (complete)
                        writeAll(tree);
                }
            } catch (...) {
                std::lock_guard lock(mutex);
                stopped = true;
                taken.notify_all();
                ::close(topFd);
                throw;
            }
        }
    }
    ::close(topFd);
    write("]]\r\n");
}
