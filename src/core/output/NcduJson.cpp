// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/output/NcduJson.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstring>
#include <ctime>
#include <string>
#include <utility>

namespace {
const char Hex[] = "0123456789ABCDEF";

// Whether a byte goes into JSON string text as it is: anything but a quote, a backslash or a
// control below 0x20; bytes of names that are not UTF-8 too, as ncdu writes them.
constexpr auto Plain = [] {
    std::array<bool, 256> plain{};
    for (int c = 0x20; c < 0x100; ++c)
        plain[size_t(c)] = c != '"' && c != '\\';
    return plain;
}();

bool plainJson(QByteArrayView name)
{
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
                std::string_view after = {}, JsonPiece::LastTime *last = nullptr)
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
    p = putNumber(p, ",\"dsize\":", qulonglong(std::max<int64_t>(e.allocated, 0)));
    if (withDevice)
        p = putNumber(p, ",\"dev\":", qulonglong(e.device));
    if (e.kind != FoundEntry::Kind::Folder && e.links > 1) {
        p = putNumber(p, ",\"ino\":", qulonglong(e.inode));
        p = put(p, ",\"hlnkc\":true");
        p = putNumber(p, ",\"nlink\":", qulonglong(e.links));
    }
    if (e.kind == FoundEntry::Kind::Other)
        p = put(p, ",\"notreg\":true");
    if (e.modified >= 0 && !last) {
        p = putNumber(p, ",\"mtime\":", qulonglong(e.modified));
    } else if (e.modified >= 0) {
        if (last->seconds != e.modified) {
            last->seconds = e.modified;
            last->length = size_t(std::to_chars(last->text, last->text + 20, qulonglong(e.modified)).ptr - last->text);
        }
        p = put(p, ",\"mtime\":");
        std::memcpy(p, last->text, last->length);
        p += last->length;
    }
    for (const char c : after)
        *p++ = c;
    out.append(text, size_t(p - text));
}
} // namespace

void appendJsonName(std::string &out, QByteArrayView name)
{
    out += '"';
    for (qsizetype i = 0; i < name.size();) {
        qsizetype end = i;
        while (end < name.size() && Plain[static_cast<unsigned char>(name[end])])
            ++end;
        out.append(name.data() + i, size_t(end - i));
        if (end == name.size())
            break;
        const auto c = static_cast<unsigned char>(name[end]);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += char(c);
        } else {
            out += "\\u00";
            out += Hex[c >> 4];
            out += Hex[c & 15];
        }
        i = end + 1;
    }
    out += '"';
}

QByteArray ncduHeader()
{
    return "[1,2,{\"progname\":\"listwright\",\"progver\":\"2.0.0\",\"timestamp\":"
           + QByteArray::number(qint64(std::time(nullptr))) + "},\r\n";
}

void JsonPiece::enterFolder(const FoundEntry &folder)
{
    close();
    endEntry();
    appendInfo(text, folder, folder.otherDevice, ",[");
    open_ = true;
    ++depth;
}

void JsonPiece::folderProblem(FoundEntry::Problem)
{
    if (open_)
        text += ",\"read_error\":true";
}

void JsonPiece::leaveFolder()
{
    close();
    text += "]\r\n";
    --depth;
    endEntry();
}

void JsonPiece::entry(const FoundEntry &e)
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
        appendInfo(text, e, false, ",", "}\r\n", &lastTime_);
    } else {
        // A folder not walked: unreadable, a view of the kernel's, met before, or one that
        // took a file's name meanwhile.
        appendInfo(text, e, e.otherDevice, ",[",
                   e.problem != FoundEntry::Problem::None             ? ",\"read_error\":true}]\r\n"
                   : e.notWalked == FoundEntry::NotWalked::KernelView ? ",\"excluded\":\"kernfs\"}]\r\n"
                                                                      : "}]\r\n");
    }
    endEntry();
}

void JsonPiece::close()
{
    if (std::exchange(open_, false))
        text += "}\r\n";
}

void JsonPiece::clear()
{
    full.clear();
    text.clear();
    depth = 0;
    open_ = false;
}

bool JsonPiece::reset()
{
    constexpr size_t MostKept = 4096; // a worker keeps hundreds of spare pieces
    if (!full.empty() || text.capacity() > MostKept)
        return false;
    clear();
    return true;
}

void JsonPiece::endEntry()
{
    // Called after whole entries only: the info object of a folder just entered stays in the
    // block being filled, where a problem found in it and its closing brace still go.
    if (text.size() < BlockBytes)
        return;
    full.push_back(std::move(text));
    text = std::string();
    text.reserve(BlockBytes + 4096); // the entry that fills it goes beyond it
}

JsonWriter::JsonWriter(const std::function<void(QByteArrayView)> &write, QByteArray header)
    : write_(write), header_(std::move(header))
{
    block_.reserve(BlockBytes);
}

void JsonWriter::take(EntrySink &piece)
{
    auto &json = static_cast<JsonPiece &>(piece);
    json.close();
    if (!json.full.empty()) {
        flush();
        for (const std::string &block : json.full)
            write_(QByteArrayView(block.data(), qsizetype(block.size())));
    }
    put(json.text);
    depth_ += json.depth;
}

void JsonWriter::leaveFolder()
{
    put("]\r\n");
    --depth_;
}

void JsonWriter::leaveAll()
{
    for (; depth_ > 0; --depth_)
        put("]\r\n");
}

void JsonWriter::enterFolder(const FoundEntry &top)
{
    putTop(top, "}\r\n");
    ++depth_;
}

void JsonWriter::entry(const FoundEntry &top)
{
    putTop(top, top.notWalked == FoundEntry::NotWalked::KernelView ? ",\"excluded\":\"kernfs\"}]\r\n"
                                                                  : ",\"read_error\":true}]\r\n");
}

void JsonWriter::put(std::string_view text)
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

void JsonWriter::flush()
{
    if (!block_.empty())
        write_(QByteArrayView(block_.data(), qsizetype(block_.size())));
    block_.clear();
}

void JsonWriter::finish()
{
    leaveAll();
    put("]\r\n");
    flush();
}

void JsonWriter::putTop(const FoundEntry &top, std::string_view after)
{
    block_.append(header_.constData(), size_t(header_.size()));
    appendInfo(block_, top, true, "[", after);
}
