// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/output/NcduExport.h"

#include "core/scan/engine/DirectoryList.h"
#include "core/scan/engine/EntrySink.h"
#include "core/scan/engine/ScanListener.h"
#include "core/scan/engine/WholeWalk.h"
#include "core/shared/Text.h"

#include <cerrno>
#include <cstring>
#include <ctime>
#include <sys/stat.h>
#include <algorithm>
#include <array>
#include <charconv>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
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
void appendInfo(std::string &out, const FoundEntry &e, bool withDevice, std::string_view before = {},
                std::string_view after = {})
{
    constexpr qsizetype ShortName = 255;
    char text[ShortName + 256]; // the name, its quotes, every key with 20 digits, and the rest
    char *p = text;
    for (const char c : before)
        *p++ = c;
    p = put(p, "{\"name\":");
    if (e.name.size() <= ShortName && plainJson(e.name)) {
        *p++ = '"';
        std::memcpy(p, e.name.data(), size_t(e.name.size()));
        p += e.name.size();
        *p++ = '"';
    } else {
        out.append(text, size_t(p - text));
        appendJsonName(out, e.name);
        p = text;
    }
    p = putNumber(p, ",\"asize\":", qulonglong(std::max<int64_t>(e.length, 0)));
    p = putNumber(p, ",\"dsize\":", qulonglong(e.allocated));
    if (withDevice)
        p = putNumber(p, ",\"dev\":", qulonglong(e.device));
    p = putNumber(p, ",\"ino\":", qulonglong(e.inode));
    if (e.kind != FoundEntry::Kind::Folder && e.links > 1) {
        p = put(p, ",\"hlnkc\":true");
        p = putNumber(p, ",\"nlink\":", qulonglong(e.links));
    }
    if (e.kind == FoundEntry::Kind::Other)
        p = put(p, ",\"notreg\":true");
    if (e.modified >= 0)
        p = putNumber(p, ",\"mtime\":", qulonglong(e.modified));
    for (const char c : after)
        *p++ = c;
    out.append(text, size_t(p - text));
}

// The text of one piece of the walk, as the walk tells it. A folder's info object is left
// open until something follows it, so that a folder found unsearchable is marked itself.
class JsonPiece : public EntrySink {
public:
    std::string text;
    int depth = 0; // folders entered less those left

    void enterFolder(const FoundEntry &folder) override
    {
        close();
        appendInfo(text, folder, folder.otherDevice, ",[");
        open_ = true;
        ++depth;
    }
    void folderProblem(FoundEntry::Problem) override
    {
        if (open_)
            text += ",\"read_error\":true";
    }
    void leaveFolder() override
    {
        close();
        text += "]\r\n";
        --depth;
    }
    void entry(const FoundEntry &e) override
    {
        close();
        if (e.excluded) {
            text += ",{\"name\":";
            appendJsonName(text, e.name);
            text += ",\"excluded\":\"pattern\"}\r\n";
        } else if (e.notWalked == FoundEntry::NotWalked::OtherFileSystem) {
            // As ncdu -x marks it: its name and device, nothing counted.
            text += ",[{\"name\":";
            appendJsonName(text, e.name);
            text += ",\"dev\":";
            text += std::to_string(qulonglong(e.device));
            text += ",\"excluded\":\"othfs\"}]\r\n";
        } else if (e.problem == FoundEntry::Problem::NotLookedAt) {
            text += ",{\"name\":";
            appendJsonName(text, e.name);
            text += ",\"read_error\":true}\r\n";
        } else if (e.kind != FoundEntry::Kind::Folder) {
            appendInfo(text, e, false, ",", "}\r\n");
        } else {
            // A folder not walked: unreadable, a view of the kernel's, met before, or one that
            // took a file's name meanwhile.
            appendInfo(text, e, e.otherDevice, ",[",
                       e.problem != FoundEntry::Problem::None                ? ",\"read_error\":true}]\r\n"
                       : e.notWalked == FoundEntry::NotWalked::KernelView      ? ",\"excluded\":\"kernfs\"}]\r\n"
                                                                                : "}]\r\n");
        }
    }
    // Ends the info object of the folder entered last, when nothing followed it.
    void close()
    {
        if (std::exchange(open_, false))
            text += "}\r\n";
    }

private:
    bool open_ = false;
};

// Writes the pieces in walk order, gathered into blocks.
// Writes the export in walk order, gathered into blocks: the top folder as the walk tells it
// (with the file's header before it, so that a folder that cannot be opened leaves nothing
// written), then the pieces.
class JsonWriter : public PieceTaker, public EntrySink {
public:
    JsonWriter(const std::function<void(QByteArrayView)> &write, QByteArray header) : write_(write), header_(std::move(header))
    {
        block_.reserve(BlockBytes);
    }

    void take(EntrySink &piece) override
    {
        auto &json = static_cast<JsonPiece &>(piece);
        json.close();
        put(json.text);
        depth_ += json.depth;
    }
    void leaveFolder() override
    {
        put("]\r\n");
        --depth_;
    }
    // Leaves the folders a walk that ended early left open.
    void leaveAll()
    {
        for (; depth_ > 0; --depth_)
            put("]\r\n");
    }

    // The top folder, walked or not.
    void enterFolder(const FoundEntry &top) override
    {
        putTop(top, "}\r\n");
        ++depth_;
    }
    void entry(const FoundEntry &top) override
    {
        putTop(top, top.notWalked == FoundEntry::NotWalked::KernelView ? ",\"excluded\":\"kernfs\"}]\r\n"
                                                                      : ",\"read_error\":true}]\r\n");
    }
    void folderProblem(FoundEntry::Problem) override {}

    void put(std::string_view text)
    {
        if (text.size() >= BlockBytes) { // a big piece goes as it is, not copied first
            flush();
            write_(QByteArrayView(text.data(), qsizetype(text.size())));
            return;
        }
        block_ += text;
        if (block_.size() >= BlockBytes)
            flush();
    }
    void flush()
    {
        if (!block_.empty())
            write_(QByteArrayView(block_.data(), qsizetype(block_.size())));
        block_.clear();
    }

private:
    void putTop(const FoundEntry &top, std::string_view after)
    {
        block_.append(header_.constData(), size_t(header_.size()));
        appendInfo(block_, top, true, "[", after);
    }

    static constexpr size_t BlockBytes = 1 << 16;
    const std::function<void(QByteArrayView)> &write_;
    QByteArray header_;
    std::string block_;
    int depth_ = 0;
};

// Tells every problem on, and goes on; an entry gone meanwhile is passed over.
class ExportListener : public ScanListener {
public:
    ExportListener(const ListingProblem &problem, unsigned workers, WalkScope scope)
        : ScanListener(ScanOptions{1000, workers == 0 ? -1 : int(workers), std::move(scope)}), problem_(problem)
    {
    }
    ScanEnd problem(const QString &description, const QString &entryName) override
    {
        problem_(description, entryName);
        return ScanEnd::Completed;
    }
    ScanEnd fileProblem(const QString &description, const QString &name, const QString &folder) override
    {
        return problem(description, folder.endsWith(u'/') ? folder + name : folder + u'/' + name);
    }
    ScanEnd vanished(const QString &, const QByteArray &, const QByteArray &) override { return ScanEnd::Completed; }

protected:
    ScanEnd pump() override { return ScanEnd::Completed; }

private:
    const ListingProblem &problem_;
};
} // namespace

void ncduExport(const QByteArray &folder, const ListingProblem &problem, const std::function<void(QByteArrayView)> &write,
                unsigned workers, const WalkScope &scope)
{
    JsonWriter out(write, "[1,2,{\"progname\":\"listwright\",\"progver\":\"2.0.0\",\"timestamp\":"
                              + QByteArray::number(qint64(std::time(nullptr))) + "},\r\n");
    ExportListener listener(problem, workers, scope);
    walkWhole(normalFolderPath(folder), listener, [] { return std::make_unique<JsonPiece>(); }, out, out);
    out.leaveAll();
    out.put("]\r\n");
    out.flush();
}
