// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/scan/tree/ScanFileReader.h"

#include "core/scan/tree/JsonText.h"
#include "core/scan/tree/ScanText.h"
#include "core/scan/tree/ScanTreeSink.h"
#include "core/shared/FsError.h"
#include "core/shared/Text.h"

#include <QFile>
#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <cstring>
#include <new>
#include <stdexcept>
#include <string>
#include <string_view>
#include <unistd.h>
#include <vector>

namespace {
constexpr size_t MaxDepth = 10000;
constexpr size_t MaxName = 255;
constexpr int ProgressEvery = 4096; // entries

struct Cancelled {};

// One entry's info object, as read.
struct Info {
    std::string name;
    bool named = false;
    int64_t asize = 0, dsize = 0, mtime = INT64_MIN; // no time given: not known
    uint64_t dev = 0, ino = 0, nlink = 0;
    bool hasDev = false, hasIno = false, hlnkc = false, notreg = false, readError = false;
    enum class Excluded { No, KernelView, OtherDevice, Other } excluded = Excluded::No;
};

class ScanFileParser {
public:
    ScanFileParser(ScanText &text, ScanTree &tree, const ScanFileProgress &keepGoing)
        : text_(text), json_(text), tree_(tree), builder_(tree), keepGoing_(keepGoing)
    {
    }

    void read()
    {
        header();
        item(true);
        while (!open_.empty()) {
            const int c = json_.peek();
            if (c == ',') {
                json_.take();
                item(false);
            } else if (c == ']') {
                leave();
                json_.take();
            } else
                json_.failExpected("\",\" or \"]\"");
        }
        // Values a later version may add after the top folder, then the end.
        while (json_.peek() == ',') {
            json_.take();
            json_.skipValue(MaxDepth);
        }
        json_.expect(']', "\",\" or \"]\"");
        if (json_.peek() != -1)
            json_.failAtToken(QStringLiteral("text after the end of the scan"));
    }

private:
    // [1, minor version, {metadata}, and the top folder's "[" next.
    void header()
    {
        const auto notScan = [&] {
            if (json_.peek() == -1)
                json_.failExpected("");
            json_.failAtToken(QStringLiteral("not a scan in the ncdu export format"));
        };
        const auto isNumber = [](int c) { return c == '-' || (c >= '0' && c <= '9'); };
        if (json_.peek() != '[')
            notScan();
        json_.take();
        if (!isNumber(json_.peek()))
            notScan();
        const JsonText::Number major = json_.number();
        if (major.negative || !major.whole || major.magnitude != 1)
            json_.failAtToken(QStringLiteral("not version 1 of the ncdu export format"));
        for (const char want : {'0', '{', '['}) {
            if (json_.peek() != ',')
                notScan();
            json_.take();
            const int c = json_.peek();
            if (want == '0' ? !isNumber(c) : c != want)
                notScan();
            if (want == '0')
                json_.number();
            else if (want == '{')
                json_.skipValue(MaxDepth);
        }
    }

    // An entry at `,` or at the top: a folder in an array, or an info object alone.
    void item(bool top)
    {
        const bool array = json_.peek() == '[';
        if (array) {
            if (open_.size() >= MaxDepth)
                json_.failAtToken(QStringLiteral("folders nested deeper than %1").arg(MaxDepth));
            json_.take();
        }
        if (json_.peek() != '{')
            json_.failExpected(array ? "\"{\"" : "an entry");
        readInfo(top);
        FoundEntry e = found(array);
        if (!open_.empty())
            children_.push_back(tree_.size());
        if (!array)
            builder_.entry(e);
        else if ((info_.readError || info_.excluded != Info::Excluded::No) && json_.peek() == ']') {
            json_.take(); // a folder marked and empty: not walked
            if (info_.readError)
                e.problem = FoundEntry::Problem::NotRead;
            builder_.entry(e);
        } else {
            builder_.enterFolder(e);
            if (info_.readError)
                builder_.folderProblem(FoundEntry::Problem::NotRead);
            open_.push_back({e.device, children_.size()});
        }
        if (++entries_ % ProgressEvery == 0 && keepGoing_ && !keepGoing_(text_.fileBytesRead()))
            throw Cancelled{};
    }

    // At the "]" that ends the folder entered last.
    void leave()
    {
        // No two entries of one name: the folder's names, sorted, side by side. Each name is
        // looked up once, not at every comparison.
        const auto first = children_.begin() + std::ptrdiff_t(open_.back().children);
        names_.clear();
        for (auto i = first; i != children_.end(); ++i) {
            const QByteArrayView name = tree_.name(*i);
            names_.emplace_back(name.data(), size_t(name.size()));
        }
        std::sort(names_.begin(), names_.end());
        const auto twice = std::adjacent_find(names_.begin(), names_.end());
        if (twice != names_.end())
            json_.failAtToken(QStringLiteral("two entries named \"%1\" in one folder")
                                  .arg(displayName(QByteArrayView(twice->data(), qsizetype(twice->size())))));
        children_.erase(first, children_.end());
        open_.pop_back();
        builder_.leaveFolder();
    }

    void readInfo(bool top)
    {
        json_.take(); // {
        Info &i = info_;
        i.named = i.hasDev = i.hasIno = i.hlnkc = i.notreg = i.readError = false;
        i.asize = i.dsize = 0;
        i.mtime = INT64_MIN;
        i.nlink = 0;
        i.excluded = Info::Excluded::No;
        if (json_.peek() != '}')
            for (;;) {
                if (json_.peek() != '"')
                    json_.failExpected("a name in quotes");
                json_.string(key_, 16);
                json_.expect(':', "\":\"");
                field(top);
                const int c = json_.peek();
                if (c == '}')
                    break;
                if (c != ',')
                    json_.failExpected("\",\" or \"}\"");
                json_.take();
            }
        if (!i.named)
            json_.failAtToken(QStringLiteral("an entry without a name"));
        json_.take(); // }
    }

    // The keys a scan's info object may hold, told apart at the cost of one comparison (every
    // entry has several, a million entries several million).
    enum class Key { Name, Asize, Dsize, Ino, Dev, Nlink, Mtime, Hlnkc, Notreg, ReadError, Excluded, Other };
    static Key keyOf(const std::string &k)
    {
        const auto same = [&k]<size_t N>(const char(&word)[N]) { return std::memcmp(k.data(), word, N - 1) == 0; };
        switch (k.size()) {
        case 3: return same("ino") ? Key::Ino : same("dev") ? Key::Dev : Key::Other;
        case 4: return same("name") ? Key::Name : Key::Other;
        case 5:
            switch (k[0]) {
            case 'a': return same("asize") ? Key::Asize : Key::Other;
            case 'd': return same("dsize") ? Key::Dsize : Key::Other;
            case 'm': return same("mtime") ? Key::Mtime : Key::Other;
            case 'n': return same("nlink") ? Key::Nlink : Key::Other;
            case 'h': return same("hlnkc") ? Key::Hlnkc : Key::Other;
            }
            return Key::Other;
        case 6: return same("notreg") ? Key::Notreg : Key::Other;
        case 8: return same("excluded") ? Key::Excluded : Key::Other;
        case 10: return same("read_error") ? Key::ReadError : Key::Other;
        }
        return Key::Other;
    }

    void field(bool top)
    {
        Info &i = info_;
        const Key key = keyOf(key_);
        if (key == Key::Name) {
            if (json_.peek() != '"')
                json_.failExpected("a name in quotes");
            json_.string(i.name, MaxName);
            checkName(top);
            i.named = true;
        } else if (key == Key::Asize || key == Key::Dsize) {
            const JsonText::Number n = number();
            if (n.negative && n.magnitude != 0)
                json_.failAtToken(QStringLiteral("a negative size"));
            (key == Key::Asize ? i.asize : i.dsize) = int64_t(inRange(n, INT64_MAX));
        } else if (key == Key::Ino || key == Key::Dev) {
            const uint64_t v = inRange(number(), UINT64_MAX);
            (key == Key::Ino ? i.hasIno : i.hasDev) = true;
            (key == Key::Ino ? i.ino : i.dev) = v;
        } else if (key == Key::Nlink) {
            i.nlink = inRange(number(), UINT32_MAX);
        } else if (key == Key::Mtime) {
            const JsonText::Number n = number();
            const uint64_t m = inRange(n, n.negative ? uint64_t(INT64_MAX) + 1 : uint64_t(INT64_MAX));
            i.mtime = n.negative ? int64_t(0 - m) : int64_t(m);
        } else if (key == Key::Hlnkc || key == Key::Notreg || key == Key::ReadError) {
            (key == Key::Hlnkc ? i.hlnkc : key == Key::Notreg ? i.notreg : i.readError) = json_.boolean("true or false");
        } else if (key == Key::Excluded) {
            if (json_.peek() != '"')
                json_.failExpected("a reason in quotes");
            json_.string(scratch_, 16);
            i.excluded = scratch_ == "kernfs"                         ? Info::Excluded::KernelView
                         : scratch_ == "otherfs" || scratch_ == "othfs" ? Info::Excluded::OtherDevice
                                                                       : Info::Excluded::Other;
        } else {
            json_.skipValue(MaxDepth);
        }
    }

    JsonText::Number number()
    {
        const int c = json_.peek();
        if (c != '-' && (c < '0' || c > '9'))
            json_.failExpected("a number");
        return json_.number();
    }

    uint64_t inRange(const JsonText::Number &n, uint64_t most)
    {
        if (!n.whole || !n.fits || n.magnitude > most || (n.negative && n.magnitude != 0 && most != uint64_t(INT64_MAX) + 1))
            json_.failAtToken(QStringLiteral("a number out of range"));
        return n.magnitude;
    }

    void checkName(bool top)
    {
        const std::string &name = info_.name;
        if (name.empty())
            json_.failAtToken(QStringLiteral("an empty name"));
        if (name.size() > MaxName && !top)
            json_.failAtToken(QStringLiteral("a name longer than %1 bytes").arg(MaxName));
        if (name.find('\0') != std::string::npos)
            json_.failAtToken(QStringLiteral("a name holding a NUL byte"));
        if (!top && name.find('/') != std::string::npos)
            json_.failAtToken(QStringLiteral("a name holding \"/\""));
    }

    FoundEntry found(bool array) const
    {
        const Info &i = info_;
        const dev_t above = open_.empty() ? 0 : open_.back().device;
        FoundEntry e;
        e.name = QByteArrayView(i.name.data(), qsizetype(i.name.size()));
        e.device = i.hasDev ? dev_t(i.dev) : above;
        if (!array && i.readError && i.excluded == Info::Excluded::No) {
            e.problem = FoundEntry::Problem::NotLookedAt;
            return e;
        }
        e.kind = array || i.excluded != Info::Excluded::No ? FoundEntry::Kind::Folder
                 : i.notreg                                ? FoundEntry::Kind::Other
                                                           : FoundEntry::Kind::File;
        e.length = i.asize;
        e.allocated = i.dsize;
        e.modified = i.mtime;
        e.excluded = i.excluded == Info::Excluded::Other; // "pattern", or one this reader does not know
        e.links = 1;
        e.inode = ino_t(i.ino);
        if (e.kind == FoundEntry::Kind::Folder) {
            e.otherDevice = i.excluded == Info::Excluded::OtherDevice || (!open_.empty() && i.hasDev && e.device != above);
            if (i.excluded == Info::Excluded::KernelView)
                e.notWalked = FoundEntry::NotWalked::KernelView;
            if (i.excluded == Info::Excluded::OtherDevice)
                e.notWalked = FoundEntry::NotWalked::OtherFileSystem;
        } else if (i.hasIno && (i.hlnkc || i.nlink > 1)) {
            e.links = nlink_t(std::max<uint64_t>(i.nlink, 2));
        }
        return e;
    }

    struct Open {
        dev_t device;
        size_t children; // where its entries start in children_
    };
    ScanText &text_;
    JsonText json_;
    ScanTree &tree_;
    ScanTreeBuilder builder_;
    const ScanFileProgress &keepGoing_;
    std::vector<Open> open_;                // the folders entered and not yet left
    std::vector<ScanTree::Index> children_; // the entries of each of them, in turn
    std::vector<std::string_view> names_;   // the names of the folder left last
    Info info_;
    std::string key_, scratch_;
    int64_t entries_ = 0;
};

ScanFileResult failed(const QString &path, const ScanFileFault &fault)
{
    QString message = QStringLiteral("Cannot read the scan \"%1\": %2").arg(path, fault.what);
    if (fault.line > 0)
        message += QStringLiteral(" (line %1, column %2)").arg(fault.line).arg(fault.column);
    return {ScanFileResult::Outcome::Failed, message + u'.'};
}

ScanFileResult readFrom(ScanFileSource &source, const QString &path, ScanTree &tree, const ScanFileProgress &keepGoing)
{
    try {
        ScanTree fresh;
        ScanText text(source);
        ScanFileParser(text, fresh, keepGoing).read();
        tree = std::move(fresh);
        return {};
    } catch (const ScanFileFault &fault) {
        return failed(path, fault);
    } catch (const Cancelled &) {
        return {ScanFileResult::Outcome::Cancelled, {}};
    } catch (const std::bad_alloc &) {
        return failed(path, {QStringLiteral("not enough memory")});
    } catch (const std::length_error &) {
        return failed(path, {QStringLiteral("too many entries")});
    }
}
} // namespace

ScanFileResult readScanFile(const QString &path, ScanTree &tree, const ScanFileProgress &keepGoing)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return failed(path, {FsError::fromErrno(errno).description()});
    const auto source = ScanFileSource::ofFile(fd);
    const ScanFileResult result = readFrom(*source, path, tree, keepGoing);
    ::close(fd);
    return result;
}

ScanFileResult readScanFile(QIODevice &device, const QString &path, ScanTree &tree, const ScanFileProgress &keepGoing)
{
    return readFrom(*ScanFileSource::ofDevice(device), path, tree, keepGoing);
}
