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
    lines.recursiveFile = [](const QByteArray &dir, const char *name, int64_t length) {
        const QByteArray path = joinPath(dir, name);
        return csvRow(path, "file", length, modifiedOf(path));
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
void appendJsonName(QByteArray &out, QByteArrayView name)
{
    out += '"';
    const auto *s = reinterpret_cast<const unsigned char *>(name.data());
    for (qsizetype i = 0; i < name.size();) {
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
            out.append(name.data() + i, len);
        i += len;
    }
    out += '"';
}

void appendInfo(QByteArray &out, QByteArrayView name, const struct stat &st, bool withDevice)
{
    out += "{\"name\":";
    appendJsonName(out, name);
    out += ",\"asize\":" + QByteArray::number(qlonglong(st.st_size));
    out += ",\"dsize\":" + QByteArray::number(qlonglong(st.st_blocks) * 512);
    if (withDevice)
        out += ",\"dev\":" + QByteArray::number(qulonglong(st.st_dev));
    out += ",\"ino\":" + QByteArray::number(qulonglong(st.st_ino));
    if (!S_ISDIR(st.st_mode) && st.st_nlink > 1)
        out += ",\"hlnkc\":true,\"nlink\":" + QByteArray::number(qulonglong(st.st_nlink));
    if (!S_ISDIR(st.st_mode) && !S_ISREG(st.st_mode))
        out += ",\"notreg\":true";
    out += ",\"mtime\":" + QByteArray::number(qlonglong(st.st_mtim.tv_sec));
}

struct Level {
    DIR *dir;
    dev_t device;
    QByteArray path;
};
} // namespace

void ncduExport(const QByteArray &folder, const ListingProblem &problem, const std::function<void(QByteArrayView)> &line)
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
    QByteArray out = "[1,2,{\"progname\":\"listwright\",\"progver\":\"2.0.0\",\"timestamp\":"
                     + QByteArray::number(qlonglong(std::time(nullptr))) + "},";
    line(out);
    out.clear();

    // One open folder a level, each read as the walk goes down, so the cost in memory is the
    // depth of the tree, not its size.
    std::vector<Level> stack;
    const auto enter = [&](int dirFd, const struct stat &dirSt, QByteArrayView name, QByteArray path, bool withDevice) {
        out += '[';
        appendInfo(out, name, dirSt, withDevice);
        DIR *dir = dirFd >= 0 ? ::fdopendir(dirFd) : nullptr;
        if (!dir) {
            const int err = dirFd >= 0 ? errno : -dirFd;
            if (dirFd >= 0)
                ::close(dirFd);
            out += ",\"read_error\":true}]";
            problem(FsError::fromErrno(err).description(), displayName(path));
            return;
        }
        out += '}';
        stack.push_back({dir, dirSt.st_dev, std::move(path)});
    };
    enter(fd, st, top, top, true);
    line(out);
    while (!stack.empty()) {
        Level &level = stack.back();
        errno = 0;
        const dirent *e = ::readdir(level.dir);
        if (!e) {
            const int err = errno;
            ::closedir(level.dir);
            if (err != 0) {
                problem(FsError::fromErrno(err).description(), displayName(level.path));
                // ncdu marks such a folder by its info; here its place in the tree is kept,
                // its entries read so far included.
            }
            stack.pop_back();
            line("]");
            continue;
        }
        const char *name = e->d_name;
        if (name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0)))
            continue;
        const int dirFd = ::dirfd(level.dir);
        out.clear();
        out += ',';
        struct stat est;
        if (::fstatat(dirFd, name, &est, AT_SYMLINK_NOFOLLOW) != 0) {
            const int err = errno;
            if (err == ENOENT) // gone since it was listed
                continue;
            problem(FsError::fromErrno(err).description(), displayName(joinPath(level.path, name)));
            out += "{\"name\":";
            appendJsonName(out, name);
            out += ",\"read_error\":true}";
            line(out);
            continue;
        }
        if (S_ISDIR(est.st_mode)) {
            int child = ::openat(dirFd, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
            if (child < 0)
                child = -errno;
            const bool otherDevice = est.st_dev != level.device;
            enter(child, est, name, joinPath(level.path, name), otherDevice);
        } else {
            appendInfo(out, name, est, false);
            out += '}';
        }
        line(out);
    }
    line("]");
}
