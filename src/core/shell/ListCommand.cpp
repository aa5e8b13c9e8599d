// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/scan/FolderLine.h"
#include "core/shell/ListCommand.h"

#include "core/listing/Exclusions.h"
#include "core/listing/FilePattern.h"
#include "core/listing/FolderListing.h"
#include "core/listing/ScanCompare.h"
#include "core/listing/TreeListing.h"
#include "core/output/AtomicTextFile.h"
#include "core/output/BlockGather.h"
#include "core/output/ChangesJson.h"
#include "core/output/Indentation.h"
#include "core/output/ListingExport.h"
#include "core/output/NcduExport.h"
#include "core/output/SavedListing.h"
#include "core/output/ScanFileWriter.h"
#include "core/output/TitleCheck.h"
#include "core/scan/tree/ScanFileReader.h"
#include "core/shared/FsError.h"
#include "core/shared/MessageBoxes.h"
#include "core/shared/Text.h"

#include <QCoreApplication>
#include <QFile>
#include <cstring>
#include <future>
#include <malloc.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace {
const char Help[] =
    "Usage: listwright --list [options] FOLDER\n"
    "       listwright --list --from SCAN [options] [PATH]\n"
    "       listwright --list --compare OLD [options] FOLDER|NEW\n"
    "Writes the listing of FOLDER without a window and exits; no display is needed.\n"
    "\n"
    "  --from SCAN         list from a scan file (the ncdu export format: ours, ncdu's or\n"
    "                      gdu's, gzip too) instead of the folder itself: its top folder, or\n"
    "                      the folder PATH in it (below its top, or the full path it has)\n"
    "  --compare OLD       the listing of FOLDER, or of the scan file NEW, with each line\n"
    "                      that changed since the scan file OLD marked: new, gone (listed\n"
    "                      with its old size), or the change of its size (+1.50 MB); the\n"
    "                      parent folder line says what the total was; csv adds a change\n"
    "                      column (new, gone, or the change in bytes); json: the changes\n"
    "                      (below)\n"
    "  --changes-only      with --compare: only the lines that changed\n"
    "  --title TEXT        the listing's title (default LISTWRIGHT); 1 to 255 characters,\n"
    "                      none of \\ / : * ? \" < > |\n"
    "  --pattern P         the file pattern (default *.*); several are separated by ;\n"
    "  --folder-sizes      the total size below each subfolder\n"
    "  --recursive         every file below the folder, with its size (counts folder sizes too)\n"
    "  --no-file-sizes     no size column in the file list\n"
    "  --no-dates          no modification column in the file list\n"
    "  --no-folders        no folder section\n"
    "  --counts            each size of a folder or total also says how many files it counts\n"
    "  --disk-usage        every size is the room the files take on the disk (du -B1), not\n"
    "                      their lengths; with --compare, the changes too\n"
    "  --indent N          N blanks before every line (0 to 79)\n"
    "  -x, --one-file-system\n"
    "                      folders on another file system than FOLDER are listed with size 0\n"
    "                      and never gone into (json: marked \"excluded\":\"othfs\")\n"
    "  --exclude P         leave out the names that match P (the pattern's wildcards; several\n"
    "                      are separated by ;), at any depth: not listed, counted or gone\n"
    "                      into; may be given again (json: marked \"excluded\":\"pattern\")\n"
    "  -o FILE             write FILE (replaced whole, never through a link; not a device,\n"
    "                      a pipe or a socket, nor a link to anything but a file) instead of\n"
    "                      standard output; - or a path to standard output (/dev/stdout)\n"
    "                      writes standard output\n"
    "  --format F          txt (default): the file Save To File writes with the same choices;\n"
    "                      csv: one row per line of the listing: path, kind, size in bytes,\n"
    "                      modification time (ISO 8601); json: the whole tree below FOLDER in\n"
    "                      the ncdu export format, whatever the other options, for ncdu -f\n"
    "                      and gdu -f; with --from, the scan written again (no PATH); with\n"
    "                      --compare, the changes (below)\n"
    "\n"
    "In CSV paths, bytes that are not UTF-8 and characters that break or reorder a line are\n"
    "written \\xHH (each byte of them), and a backslash as \\\\.\n"
    "In JSON, names are written as their own bytes, as ncdu writes them, so that a name that\n"
    "is not UTF-8 reads back as it was.\n"
    "The JSON of --compare is one object: \"folder\" (the newer listing's), \"older\" (OLD as\n"
    "given), \"diskUsage\" (true with --disk-usage: every size is then allocated bytes),\n"
    "\"total\" {\"old\",\"new\"} (the folder's bytes in each), and \"lines\": one record a\n"
    "line of the listing, in its order, with \"section\" (folders, recursive or files),\n"
    "\"path\" (below the folder), \"kind\" (new, gone, grown, shrunk or unchanged),\n"
    "\"change\" (the signed change in bytes) and \"old\" and \"new\" (its sizes, where that\n"
    "scan knows them); folder sizes and file sizes are always counted, --changes-only leaves\n"
    "out the unchanged lines and --no-folders the folder lines.\n"
    "A folder or file that cannot be read is told on standard error, one line each, and the\n"
    "listing goes on without it.\n"
    "Exit status: 0 when all went well, 1 when something could not be read or written, 2 for\n"
    "a command line or title that cannot be used.\n";

// Takes what a box would show, for the one line the command writes instead.
class BoxText : public MessageBoxes {
public:
    Answer ask(const QString &boxText, const QString &, Buttons) override
    {
        text = boxText;
        return Answer::Ok;
    }
    QString text;
};

struct Command {
    ListingChoices choices;
    QByteArray folder;
    QByteArray output; // empty: standard output
    QByteArray format = "txt";
    QByteArray from;        // a scan file to list from
    QByteArray compareWith; // an older scan file to compare with
    bool changesOnly = false;
    bool help = false;
};

// Parses the options; answers what is wrong with them, or nothing.
QString parse(const QList<QByteArray> &args, Command &c)
{
    bool options = true;
    QList<QByteArray> folders;
    for (qsizetype i = 0; i < args.size(); ++i) {
        QByteArray arg = args[i];
        if (!options || !arg.startsWith('-') || arg == "-") {
            folders.append(arg);
            continue;
        }
        if (arg == "--") {
            options = false;
            continue;
        }
        // A word after a single dash is a long option, as on the window's command line.
        if (arg.size() > 2 && arg[1] != '-')
            arg.prepend('-');
        std::optional<QByteArray> inlineValue;
        if (const qsizetype eq = arg.indexOf('='); arg.startsWith("--") && eq > 0) {
            inlineValue = arg.mid(eq + 1);
            arg = arg.left(eq);
        }
        const auto value = [&]() -> std::optional<QByteArray> {
            if (inlineValue)
                return std::exchange(inlineValue, std::nullopt);
            if (i + 1 < args.size())
                return args[++i];
            return std::nullopt;
        };
        const auto flag = [&](bool &to, bool set) {
            to = set;
            return inlineValue ? QString::fromLocal8Bit(arg) + QStringLiteral(" takes no value") : QString();
        };
        QString wrong;
        if (arg == "--list")
            continue;
        else if (arg == "--help" || arg == "-h")
            wrong = flag(c.help, true);
        else if (arg == "--folder-sizes")
            wrong = flag(c.choices.folderSizes, true);
        else if (arg == "--recursive")
            wrong = flag(c.choices.recursive, true);
        else if (arg == "--no-file-sizes")
            wrong = flag(c.choices.fileSizes, false);
        else if (arg == "--no-dates")
            wrong = flag(c.choices.dates, false);
        else if (arg == "--no-folders")
            wrong = flag(c.choices.includeFolders, false);
        else if (arg == "--counts")
            wrong = flag(c.choices.counts, true);
        else if (arg == "--disk-usage")
            wrong = flag(c.choices.diskUsage, true);
        else if (arg == "--changes-only")
            wrong = flag(c.changesOnly, true);
        else if (arg == "-x" || arg == "--one-file-system")
            wrong = flag(c.choices.oneFileSystem, true);
        else if (arg == "--title" || arg == "--pattern" || arg == "--indent" || arg == "-o" || arg == "--format"
                 || arg == "--from" || arg == "--compare" || arg == "--exclude") {
            const std::optional<QByteArray> v = value();
            if (!v)
                return QString::fromLocal8Bit(arg) + QStringLiteral(" needs a value");
            if (arg == "--title")
                c.choices.title = QString::fromLocal8Bit(*v);
            else if (arg == "--pattern")
                c.choices.pattern = QString::fromLocal8Bit(*v);
            else if (arg == "--exclude")
                c.choices.exclude += (c.choices.exclude.isEmpty() ? QString() : QStringLiteral(";"))
                                     + QString::fromLocal8Bit(*v);
            else if (arg == "-o")
                c.output = *v;
            else if (arg == "--format")
                c.format = *v;
            else if (arg == "--from")
                c.from = *v;
            else if (arg == "--compare")
                c.compareWith = *v;
            else if (*v == "0")
                c.choices.indentation = 0;
            else if (const std::optional<int> n = typedIndentation(QString::fromLocal8Bit(*v)))
                c.choices.indentation = *n;
            else
                return QStringLiteral("Indent must be a number and < 80");
        } else
            wrong = QStringLiteral("unknown option ") + QString::fromLocal8Bit(arg);
        if (!wrong.isEmpty())
            return wrong;
    }
    if (c.help)
        return {};
    if (c.format != "txt" && c.format != "csv" && c.format != "json")
        return QStringLiteral("--format is txt, csv or json");
    if (c.output.isEmpty() && args.contains("-o"))
        return QStringLiteral("-o needs a file name");
    if ((args.contains("--from") && c.from.isEmpty()) || (args.contains("--compare") && c.compareWith.isEmpty()))
        return QStringLiteral("--from and --compare need a file name");
    if (!c.from.isEmpty() && !c.compareWith.isEmpty())
        return QStringLiteral("--from and --compare do not go together");
    if (c.changesOnly && c.compareWith.isEmpty())
        return QStringLiteral("--changes-only goes with --compare");
    if (!c.from.isEmpty()) {
        if (folders.size() > 1)
            return QStringLiteral("one PATH in the scan, please");
        if (c.format == "json" && !folders.isEmpty())
            return QStringLiteral("--format json writes the whole scan again: no PATH");
        c.folder = folders.value(0);
        return {};
    }
    if (folders.size() != 1)
        return QStringLiteral("one FOLDER, please");
    c.folder = folders.first();
    return {};
}

void writeLine(QIODevice &err, const QString &text)
{
    err.write("listwright: " + text.toUtf8() + '\n');
}

// Whether `-o path` means standard output: "-", or a path that leads to the very file, pipe or
// terminal that `outDescriptor` writes to (/dev/stdout, /proc/self/fd/1, /dev/fd/1, its path).
// Saving over such a path would put a file in the place of the link that leads there, and a
// superuser's "-o /dev/stdout" would leave every later program without one. Any other link
// there that does not lead to a regular file (a device, a pipe, a folder, nothing) is refused:
// a link to a regular file is replaced by the save, as ever, and never written through.
bool isStandardOutput(const QByteArray &path, int outDescriptor)
{
    if (path == "-")
        return true;
    struct stat target{}, out{};
    const bool leads = ::stat(path.constData(), &target) == 0;
    if (leads && outDescriptor >= 0 && ::fstat(outDescriptor, &out) == 0 && target.st_dev == out.st_dev
        && target.st_ino == out.st_ino)
        return true;
    struct stat entry{};
    if (::lstat(path.constData(), &entry) == 0 && S_ISLNK(entry.st_mode) && !(leads && S_ISREG(target.st_mode))) {
        const qsizetype cut = path.lastIndexOf('/');
        throw FsError(QStringLiteral("\"%1\" is a link that does not lead to a file: it is neither written through "
                                     "nor replaced.")
                          .arg(displayName(path.mid(cut + 1))));
    }
    return false;
}

// Writes `lines` as the saved file does: UTF-8, each ending in CR LF.
bool writeLines(QIODevice &out, const TextLines &lines)
{
    std::string chunk;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QByteArrayView line = lines.utf8View(i);
        chunk.append(line.data(), size_t(line.size())).append("\r\n");
        if (chunk.size() >= 1 << 16 || i + 1 == lines.size()) {
            if (out.write(chunk.data(), qint64(chunk.size())) != qint64(chunk.size()))
                return false;
            chunk.clear();
        }
    }
    return true;
}
// A scan file that cannot be used: its one line says why.
struct ScanFileError {
    QString message;
};

void readScan(const QByteArray &file, ScanTree &tree)
{
    const ScanFileResult read = readScanFile(QFile::decodeName(file), tree);
    if (!read.ok())
        throw ScanFileError{read.message};
}

// The folder of a scan at `path`: below its top, or the full path the scan has; its top for none.
ScanTree::Index folderInScan(const ScanTree &tree, const QByteArray &path, const QByteArray &file)
{
    const QByteArray top = tree.path(0);
    QByteArray below = path;
    if (path == top)
        below.clear();
    else if (path.startsWith(top.endsWith('/') ? top : top + '/'))
        below = path.mid(top.size() + (top.endsWith('/') ? 0 : 1));
    const ScanTree::Index at = tree.find(below);
    if (at == ScanTree::None)
        throw ScanFileError{QStringLiteral("no folder \"%1\" in the scan \"%2\"")
                                .arg(displayName(path), QFile::decodeName(file))};
    return at;
}

// A folder's scan made now within `scope` (its walk tells its problems), or a scan file's:
// answers whether it was a file.
bool scanOf(const QByteArray &folderOrFile, const WalkScope &scope, const ListingProblem &problem, ScanTree &tree)
{
    struct stat st;
    if (::stat(folderOrFile.constData(), &st) == 0 && S_ISDIR(st.st_mode)) {
        scanFolderInto(folderOrFile, problem, tree, scope);
        return false;
    }
    readScan(folderOrFile, tree);
    return true;
}
// The top folders of the older scan and of the newer one (the folder scanned now, or a scan
// file) listed with `choices`. What the newer scan could not read is told; what the older could
// not, was. The older scan is read on a thread of its own meanwhile: nearly all the time of a
// comparison goes into reading the two.
std::pair<ListedFolder, ListedFolder> comparedFolders(const Command &c, const ListingChoices &choices,
                                                      const WalkScope &scope, const ListingProblem &problem)
{
    const ListingProblem toldAlready = [](const QString &, const QString &) {};
    std::future<ListedFolder> before = std::async(std::launch::async, [&] {
        ScanTree older;
        readScan(c.compareWith, older);
        return listedFolder(older, 0, choices, toldAlready);
    });
    ScanTree newer;
    const bool newerFromFile = scanOf(c.folder, scope, problem, newer);
    ListedFolder after = listedFolder(newer, 0, choices, newerFromFile ? problem : toldAlready);
    return {before.get(), std::move(after)};
}
} // namespace

bool isListCommand(int argc, char *argv[])
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--") == 0)
            return false;
        if (std::strcmp(argv[i], "--list") == 0 || std::strcmp(argv[i], "-list") == 0)
            return true;
    }
    return false;
}

const char *listCommandHelp()
{
    return Help;
}

int runListCommand(int argc, char *argv[])
{
    // The listing runs once and ends: memory it frees is kept for what it makes next, not
    // handed back to the system and faulted in again page by page.
    ::mallopt(M_TRIM_THRESHOLD, 256 << 20);
    QCoreApplication app(argc, argv);
    QList<QByteArray> args;
    for (int i = 1; i < argc; ++i)
        args.append(argv[i]);
    // Through the descriptors, not the C library's streams: a stream keeps what does not fill its
    // buffer until the program ends, when a failure to write it goes untold.
    QFile out, err;
    if (!out.open(STDOUT_FILENO, QIODevice::WriteOnly | QIODevice::Unbuffered)
        || !err.open(STDERR_FILENO, QIODevice::WriteOnly | QIODevice::Unbuffered))
        return 1;
    return listCommand(args, out, err, STDOUT_FILENO);
}

int listCommand(const QList<QByteArray> &args, QIODevice &out, QIODevice &err, int outDescriptor)
{
    Command c;
    if (const QString wrong = parse(args, c); !wrong.isEmpty()) {
        writeLine(err, wrong + QStringLiteral(" (see listwright --list --help)"));
        return 2;
    }
    if (c.help) {
        if (out.write(Help) == qint64(std::strlen(Help)))
            return 0;
        writeLine(err, QStringLiteral("cannot write standard output: ") + out.errorString());
        return 1;
    }
    WalkScope scope{c.choices.oneFileSystem, nullptr};
    try {
        FilePattern check(c.choices.pattern);
        scope.exclude = exclusionFilter(c.choices.exclude);
    } catch (const std::exception &e) {
        writeLine(err, errorDescription(e));
        return 2;
    }
    BoxText box;
    if (!CheckSaveToFileName(c.choices.title, box)) {
        // The box's two lines as one: a problem is one line on standard error.
        writeLine(err, box.text.replace(u'\r', u' '));
        return 2;
    }

    bool problems = false;
    const ListingProblem problem = [&](const QString &description, const QString &path) {
        problems = true;
        writeLine(err, QStringLiteral("cannot read ") + path + QStringLiteral(": ") + description);
    };
    bool walking = false; // a failure meanwhile is the listing's, not a write's
    try {
        const SavedFile file = c.output.isEmpty() ? SavedFile{} : savedFile(c.output);
        const QByteArray &folder = file.folder, &name = file.name;
        if (!c.output.isEmpty() && isStandardOutput(c.output, outDescriptor))
            c.output.clear();
        if (c.format == "json" && !c.compareWith.isEmpty()) {
            // The changes, every line with its sizes.
            ListingChoices choices = c.choices;
            choices.folderSizes = choices.fileSizes = true;
            walking = true;
            const auto [before, after] = comparedFolders(c, choices, scope, problem);
            walking = false;
            const auto changesTo = [&, &before = before, &after = after](const TextSink &put) {
                writeChangesJson(before, after, c.compareWith, c.changesOnly, put);
            };
            if (!c.output.isEmpty()) {
                writeFileAtomically(folder, name, changesTo);
                return problems ? 1 : 0;
            }
            changesTo([&](QByteArrayView bytes) {
                if (out.write(bytes.data(), bytes.size()) != bytes.size())
                    throw FsError(out.errorString());
            });
            return problems ? 1 : 0;
        }
        if (c.format == "json") {
            // A scan file is read whole before anything is written, and written again as it was.
            std::unique_ptr<ScanTree> scan;
            if (!c.from.isEmpty()) {
                scan = std::make_unique<ScanTree>();
                readScan(c.from, *scan);
            }
            // Written as the walk goes: to standard output, small pieces gathered, or into the new
            // file, made before the walk starts.
            const auto exportTo = [&](const TextSink &put) {
                if (scan)
                    return writeScanTree(*scan, put);
                walking = true;
                ncduExport(
                    c.folder, problem,
                    [&](QByteArrayView piece) {
                        walking = false;
                        put(piece);
                        walking = true;
                    },
                    0, scope);
                walking = false;
            };
            if (!c.output.isEmpty()) {
                writeFileAtomically(folder, name, exportTo);
                return problems ? 1 : 0;
            }
            BlockGather gathered(1 << 16, [&](QByteArrayView bytes) {
                if (out.write(bytes.data(), bytes.size()) != bytes.size())
                    throw FsError(out.errorString());
            });
            exportTo([&](QByteArrayView piece) { gathered.put(piece); });
            gathered.flush();
            return problems ? 1 : 0;
        }
        const bool csv = c.format == "csv";
        const ListingChoices choices = csv ? csvChoices(c.choices) : c.choices;
        ListingLines made = csv ? csvLines(c.choices.diskUsage) : savedFileLines(c.choices);
        if (!csv)
            made.recursiveFile = recursiveListingText; // written once: made by the walk's workers
        const auto laidOut = [csv](const ListingSnapshot &s) { return csv ? csvListing(s) : savedListingLines(s); };
        walking = true;
        TextLines lines;
        if (!c.compareWith.isEmpty()) {
            const auto [before, after] = comparedFolders(c, choices, scope, problem);
            const ComparedListing compared = compareListings(
                before, after, made, c.changesOnly,
                csv ? [](const LineChange &change) { return u',' + QString::fromLatin1(changeField(change)); }
                    : std::function<QString(const LineChange &)>(changeMark));
            lines = csv ? csvListing(compared.snapshot, QStringLiteral(",change")) : laidOut(compared.snapshot);
        } else if (!c.from.isEmpty()) {
            ScanTree tree;
            readScan(c.from, tree);
            lines = laidOut(listTree(tree, folderInScan(tree, c.folder, c.from), choices, problem, made));
        } else {
            lines = laidOut(listFolder(c.folder, choices, problem, made));
        }
        walking = false;
        if (c.output.isEmpty()) {
            if (!writeLines(out, lines))
                throw FsError(out.errorString());
        } else {
            writeTextFileAtomically(folder, name, lines);
        }
    } catch (const ScanFileError &e) {
        writeLine(err, e.message);
        return 1;
    } catch (const std::exception &e) {
        const QString target = c.output.isEmpty() ? QStringLiteral("standard output") : QFile::decodeName(c.output);
        writeLine(err, (walking ? QStringLiteral("cannot list ") + QFile::decodeName(c.folder)
                                : QStringLiteral("cannot write ") + target)
                           + QStringLiteral(": ") + errorDescription(e));
        return 1;
    }
    return problems ? 1 : 0; // something could not be read
}
