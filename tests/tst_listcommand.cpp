// SPDX-License-Identifier: GPL-3.0-or-later
// The listing without a window: no display needed, the command line's errors, problems on
// standard error, and the CSV and ncdu forms read back by other programs.

#include "support/AsNobody.h"
#include "support/TempTree.h"
#include "core/scan/ByteConverter.h"
#include "core/scan/FolderLine.h"

#include <QProcess>
#include <QStandardPaths>
#include <QtTest>
#include <sys/stat.h>
#include <unistd.h>

namespace {
struct Run {
    int status;
    QByteArray out, err;
};

// The program itself, with no display and the X11 platform forced: any GUI application fails.
Run run(const QStringList &args, const QByteArray &input = {}, const QString &program = qEnvironmentVariable("LISTWRIGHT_PROGRAM"),
        const QString &outFile = {}, const QString &timeZone = {})
{
    QProcess p;
    if (!outFile.isEmpty())
        p.setStandardOutputFile(outFile);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove("DISPLAY");
    env.remove("WAYLAND_DISPLAY");
    env.insert("QT_QPA_PLATFORM", "xcb");
    if (!timeZone.isEmpty())
        env.insert("TZ", timeZone);
    p.setProcessEnvironment(env);
    p.start(program, args);
    p.write(input);
    p.closeWriteChannel();
    p.waitForFinished(120000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, p.readAllStandardOutput(), p.readAllStandardError()};
}

// Names that a CSV or JSON writer gets wrong: a quote, a comma, a line feed, a byte that is not
// UTF-8 and a right-to-left override.
const QByteArrayList Awkward{"q\"uote", "com,ma", "line\nfeed", "bad\xFFutf8", "rtl\xE2\x80\xAEtxt.exe", "back\\x41"};
} // namespace

class ListCommandTest : public QObject {
    Q_OBJECT
private slots:
    void commandLine();
    void countsAndDiskUsage();
    void otherPrograms();
    void fromAndCompareScans();
    void scope();
};

void ListCommandTest::commandLine()
{
    if (ranAsNobody("commandLine")) // the superuser reads any folder
        return;
    TempTree tree;
    tree.mkdir("shut/deeper");
    tree.file("shut/empty", 0);
    tree.file("a.txt", 5);
    const QString folder = QFile::decodeName(tree.path());
    Run r = run({"--list", "--no-dates", "--title", "LIST\nWRIGHT\u202e", folder}); // a title is one line, too
    QCOMPARE(r.status, 0);
    QVERIFY(r.out.startsWith("LIST?WRIGHT?\r\n" + tree.path() + "/*.*\r\n") && r.err.isEmpty());
    r = run({"--list", "--recursive", folder}); // counts folder sizes, as the window's box does
    QVERIFY(r.out.startsWith("LISTWRIGHT\r\n" + tree.path() + "/*.*  5    B \r\n"));
    // The pattern picks the folder's own files; a recursive listing lists every file below.
    tree.file("b.log", 3);
    for (const bool recursive : {false, true}) {
        r = run({"--list", "--pattern", "*.TXT", recursive ? "--recursive" : "--no-dates", folder});
        QVERIFY2(r.status == 0 && r.out.contains("a.txt ") && !r.out.contains("b.log")
                     && r.out.contains(tree.at("shut/empty") + " 0    B \r\n") == recursive,
                 r.out.constData());
    }
    // Usage errors (-list is --list) and a title the window refuses: status 2 and one line (the
    // title's box text, its two lines joined); a file that cannot be written, or a folder that
    // cannot be read on the way: status 1, the listing goes on.
    const struct { QStringList args; int status; QByteArray err; } cases[] = {
        {{"-list", "--bogus", folder}, 2, "listwright: unknown option --bogus (see listwright --list --help)\n"},
        {{"--list", folder, folder}, 2, "listwright: one FOLDER, please (see listwright --list --help)\n"},
        {{"--list", "--indent", "80", folder}, 2, "listwright: Indent must be a number and < 80 (see listwright --list --help)\n"},
        {{"--list", "--title", "a/b", folder}, 2, "listwright: The / character is not allowed in a filename. Please remove this character from Page Title\n"},
        {{"--list", "--title", "", folder}, 2, "listwright: Page Title is the wrong size. Must be > 0 and < 256 characters\n"},
        {{"--list", "-o", folder + "/missing/x.txt", folder}, 1, "listwright: cannot write " + tree.at("missing/x.txt") + ": No such file or directory\n"},
        // A folder in the file's place stays, and no new file is left beside it. The export is
        // written into the new file as the walk goes: a walk that fails leaves no file; a pipe
        // in the file's place is neither written into nor replaced.
        {{"--list", "-o", folder + "/shut", folder}, 1, "listwright: cannot write " + tree.at("shut") + ": Is a directory\n"},
        {{"--list", "--format", "json", "-o", folder + "/x.json", folder + "/absent"}, 1,
         "listwright: cannot list " + tree.at("absent") + ": No such file or directory\n"},
        {{"--list", "--format", "json", "-o", folder + "/pipe", folder}, 1,
         "listwright: cannot write " + tree.at("pipe") + ": \"pipe\" is a device, a pipe or a socket, not a file: a save never takes its place.\n"},
    };
    QCOMPARE(::mkfifo(tree.at("pipe").constData(), 0644), 0);
    // Links in the file's place that lead to no regular file: refused, and left as they are.
    const std::pair<QByteArray, QByteArray> refused[] = {{"null", "/dev/null"}, {"tofifo", "pipe"}, {"nowhere", "absent"}, {"up", ".."}};
    for (const auto &[link, target] : refused)
        tree.symlink(target, link);
    const auto names = [&] { return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot); };
    const QStringList entries = names();
    for (const auto &c : cases) {
        r = run(c.args);
        QCOMPARE(r.status, c.status);
        QCOMPARE(r.err, c.err);
    }
    for (const auto &[link, target] : refused) {
        r = run({"--list", "-o", QFile::decodeName(tree.at(link)), folder});
        QCOMPARE(r.status, 1);
        QCOMPARE(r.err, "listwright: cannot write " + tree.at(link) + ": \"" + link
                            + "\" is a link that does not lead to a file: it is neither written through nor replaced.\n");
        QVERIFY(QFileInfo(QFile::decodeName(tree.at(link))).isSymLink());
    }
    struct stat pipe{};
    QVERIFY(::lstat(tree.at("pipe").constData(), &pipe) == 0 && S_ISFIFO(pipe.st_mode));
    QCOMPARE(names(), entries);
    // "-o -" and a path that leads to the program's own standard output (a pipe here) write it,
    // byte for byte, and the links stay; a link to a regular file is replaced by the new file.
    tree.symlink("/proc/self/fd/1", "self");
    tree.symlink("/dev/stdout", "stdout");
    const QByteArray plain = run({"--list", folder}).out;
    for (const QString &o : {QStringLiteral("-"), folder + "/self", folder + "/stdout"}) {
        r = run({"--list", "-o", o, folder});
        QVERIFY(r.status == 0 && r.err.isEmpty());
        QCOMPARE(r.out, plain);
    }
    QVERIFY(QFileInfo(folder + "/self").isSymLink() && QFileInfo(folder + "/stdout").isSymLink());
    tree.symlink("a.txt", "planted");
    QCOMPARE(run({"--list", "-o", folder + "/planted", folder}).status, 0);
    QVERIFY(!QFileInfo(folder + "/planted").isSymLink() && QFileInfo(folder + "/planted").isFile() && QFileInfo(folder + "/a.txt").size() == 5);
    for (const char *link : {"null", "tofifo", "nowhere", "up", "self", "stdout", "planted"})
        ::unlink(tree.at(link).constData());
    ::unlink(tree.at("pipe").constData());
    // A full disk behind standard output is told, however little there is to write.
    for (const QStringList &args : {QStringList{"--list", folder}, {"--list", "--format", "json", folder}, {"--list", "--help"}}) {
        r = run(args, {}, qEnvironmentVariable("LISTWRIGHT_PROGRAM"), "/dev/full");
        QCOMPARE(r.status, 1);
        QCOMPARE(r.err, "listwright: cannot write standard output: No space left on device\n");
    }
    // Into a folder that takes no new file, the export is written over the older file in place.
    tree.mkdir("kept");
    tree.file("kept/x.json", 1);
    QCOMPARE(::chmod(tree.at("kept").constData(), 0555), 0);
    QCOMPARE(run({"--list", "--format", "json", "-o", folder + "/kept/x.json", folder + "/shut"}).status, 0);
    QFile kept(tree.at("kept/x.json"));
    QVERIFY(kept.open(QIODevice::ReadOnly));
    const QRegularExpression timestamp("\"timestamp\":\\d+");
    QCOMPARE(QString::fromUtf8(kept.readAll()).remove(timestamp),
             QString::fromUtf8(run({"--list", "--format", "json", folder + "/shut"}).out).remove(timestamp));
    ::chmod(tree.at("kept").constData(), 0755);
    QCOMPARE(::chmod(tree.at("shut").constData(), 0), 0);
    r = run({"--list", "--folder-sizes", folder});
    ::chmod(tree.at("shut").constData(), 0755);
    QCOMPARE(r.status, 1);
    QCOMPARE(r.err, "listwright: cannot read " + tree.at("shut") + ": Permission denied\n");
    QVERIFY(r.out.contains(tree.at("shut") + "  ") && r.out.contains(tree.at("a.txt") + "  ")); // and the rest
    // The export marks what it cannot read and goes on: a folder that cannot be opened, or that
    // can be read but not searched (below the top folder or as its own), is marked itself, with
    // its own status, and nothing in it is listed.
    const struct { QByteArray shut; mode_t mode; QString top; QByteArray mark; } marks[] = {
        {"shut", 0000, folder, ",[{\"name\":\"shut\",\"asize\":4096,"},
        {"shut", 0644, folder, ",[{\"name\":\"shut\",\"asize\":4096,"},
        {"shut", 0644, folder + "/shut", "[{\"name\":\"" + tree.at("shut") + "\",\"asize\":4096,"},
    };
    for (const auto &m : marks) {
        QCOMPARE(::chmod(tree.at(m.shut).constData(), m.mode), 0);
        r = run({"--list", "--format", "json", m.top});
        ::chmod(tree.at(m.shut).constData(), 0755);
        QVERIFY(r.status == 1 && r.err == "listwright: cannot read " + tree.at(m.shut) + ": Permission denied\n");
        QVERIFY(QString::fromUtf8(r.out).contains(QRegularExpression(QRegularExpression::escape(m.mark) + "[^{}]*\"read_error\":true}")));
        QVERIFY(r.out.endsWith("]\r\n]\r\n") && !r.out.contains("\"empty\""));
    }
}

// --counts and --disk-usage against find over distinct inodes and du -sB1: a sparse file, a
// link, a file named in two folder trees and one named among the folder's own files and in a
// subfolder, each counted once, in the first line that holds it.
void ListCommandTest::countsAndDiskUsage()
{
    TempTree t;
    t.mkdir("F/A/sub");
    t.mkdir("F/B");
    t.file("F/A/data", 10000);
    t.file("F/A/sparse", 5 << 20);
    t.symlink("data", "F/A/link");
    t.file("F/B/b", 1);
    t.hardLink("F/A/data", "F/B/again"); // A's: B counts 1 file
    t.file("F/own", 3000);
    t.hardLink("F/own", "F/A/sub/own2"); // A's, not the folder's own
    t.file("F/t.txt", 7);
    const QString F = QFile::decodeName(t.at("F"));
    const auto sh = [](const QString &script) { return run({"-c", script}, {}, "/bin/sh").out.trimmed(); };
    const auto distinct = [&](const QString &where) {
        return sh("find " + where + " -mindepth 1 ! -type d -printf '%D %i\n' | sort -u | wc -l") + " files";
    };
    // du -sB1 less the folders' own blocks: the room the files below take.
    const auto du = [&](const QString &where) {
        return sh("echo $(( $(du -sB1 " + where + " | cut -f1) - ($(find " + where
                  + " -type d -printf '%b*512+' ; echo 0)) ))").toLongLong();
    };
    const auto blocks = [&](const QString &file) { return sh("echo $(( $(stat -c %b " + file + ") * 512 ))").toLongLong(); };
    QCOMPARE(distinct(F + "/A"), "4 files");
    const QStringList txt = QString::fromUtf8(run({"--list", "--folder-sizes", "--no-dates", "--counts", "--disk-usage", F}).out)
                                .split("\r\n");
    const QString size = ByteConverter(double(du(F + "/A") + blocks(F + "/B/b")));
    QCOMPARE(txt.mid(1, 6), QStringList({F + "/*.*  " + ByteConverter(double(du(F))) + "  " + distinct(F) + "  (disk usage)", "",
                                        "Folders (disk usage): " + size + "  5 files",
                                        folderLine(F + "/A", du(F + "/A"), F.size() + 3) + "  4 files",
                                        folderLine(F + "/B", blocks(F + "/B/b"), F.size() + 3) + "  1 file", ""}));
    QVERIFY2(txt[7].startsWith("Files (disk usage): ") && txt[7].endsWith(" KB  2 files"), qPrintable(txt[7]));
    // The size column: allocated bytes, in the CSV too, where the sparse file shows the difference.
    const QByteArray csv = run({"--list", "--recursive", "--disk-usage", "--format", "csv", F}).out;
    const qint64 sparse = blocks(F + "/A/sparse");
    QVERIFY2(csv.contains("/A,folder," + QByteArray::number(du(F + "/A")) + ",")
                 && csv.contains("/A/sparse,file," + QByteArray::number(sparse) + ",") && sparse < (5 << 20),
             csv.constData());
    QVERIFY(run({"--list", "--recursive", "--format", "csv", F}).out.contains("/A/sparse,file,5242880,"));
    // With names left out too: the total, its files, the names left out, then disk usage.
    const QString excluding = QString::fromUtf8(
        run({"--list", "--folder-sizes", "--counts", "--disk-usage", "--exclude", "t.txt", F}).out).split("\r\n")[1];
    QVERIFY2(excluding.contains(QRegularExpression(" KB  \\d+ files  1 excluded  \\(disk usage\\)$")), qPrintable(excluding));
    // Without sizes, counts add nothing; without either option, nothing changes.
    QCOMPARE(run({"--list", "--counts", "--no-file-sizes", F}).out, run({"--list", "--no-file-sizes", F}).out);
}

void ListCommandTest::otherPrograms()
{
    TempTree tree;
    tree.mkdir("sub");
    for (int i = 0; i < Awkward.size(); ++i)
        tree.file("sub/" + Awkward[i], i + 1);
    tree.mkdir("sub2");
    tree.hardLink("sub/com,ma", "sub2/twice"); // counted in sub's row only
    const QString folder = QFile::decodeName(tree.path());

    // CSV: every row read back by Python's csv module, each path unescaped to its bytes.
    const QString python = QStandardPaths::findExecutable("python3");
    if (python.isEmpty())
        QSKIP("python3 is not installed");
    Run r = run({"--list", "--recursive", "--format", "csv", folder});
    QVERIFY(r.status == 0 && !QString::fromUtf8(r.out).remove("\r\n").contains(QRegularExpression("[\\x00-\\x1f\\x{202e}]")));
    const char *readCsv = "import csv,sys,re\n"
                          "rows = list(csv.reader(sys.stdin.buffer.read().decode('utf-8').split('\\r\\n')[:-1]))\n"
                          "for p, kind, size, time in rows[1:]:\n"
                          "  raw = re.sub(rb'\\\\(\\\\|x..)', lambda m: b'\\\\' if m[1] == b'\\\\' else bytes.fromhex(m[1][1:].decode()), p.encode())\n"
                          "  print(raw.hex(), kind, size, time[:4])\n";
    Run csv = run({"-c", readCsv}, r.out, python);
    const QString year = QString::number(QDate::currentDate().year());
    QStringList expected{tree.at("sub").toHex() + " folder 21 " + year, tree.at("sub2").toHex() + " folder 0 " + year};
    for (int i = 0; i < Awkward.size(); ++i)
        expected << tree.at("sub/" + Awkward[i]).toHex() + " file " + QString::number(i + 1) + ' ' + year;
    expected << tree.at("sub2/twice").toHex() + " file 2 " + year;
    QStringList got = QString::fromUtf8(csv.out).split('\n', Qt::SkipEmptyParts);
    std::sort(expected.begin(), expected.end());
    std::sort(got.begin(), got.end());
    QCOMPARE(got, expected);
    // Times never go missing: in a zone the system does not know they are in UTC, as the C
    // library takes them, and every time says the offset it was given in.
    const qint64 mtime = QFileInfo(QFile::decodeName(tree.at("sub2/twice"))).lastModified().toSecsSinceEpoch();
    for (const auto &[zone, offset, suffix] : {std::tuple{"Nowhere/Zone", 0, "+00:00\r\n"}, {"XYZ-5:30", 19800, "+05:30\r\n"}, {"ABC+3", -10800, "-03:00\r\n"}}) {
        const QByteArray rows = run({"--list", "--recursive", "--format", "csv", folder}, {}, qEnvironmentVariable("LISTWRIGHT_PROGRAM"), {}, zone).out;
        QVERIFY(rows.contains("sub2/twice,file,2," + QDateTime::fromSecsSinceEpoch(mtime, QTimeZone(offset)).toString("yyyy-MM-ddTHH:mm:ss").toLatin1() + suffix));
        QCOMPARE(rows.count(suffix), rows.count("\r\n") - 1);
    }

    // JSON: valid as Python reads it, names as their own bytes (as ncdu writes them); ncdu re-exports the
    // same tree with du's apparent total; gdu reads it.
    const QString json = folder + "/../" + QFileInfo(folder).fileName() + ".json";
    const auto removeJson = qScopeGuard([&] { QFile::remove(json); }); // however the test ends
    QCOMPARE(run({"--list", "--format", "json", "-o", json, folder}).status, 0);
    QCOMPARE(run({"-c", "import json; json.load(open('" + json + "', encoding='utf-8', errors='surrogateescape'))"}, {}, python).status, 0);
    const QString ncdu = QStandardPaths::findExecutable("ncdu"), gdu = QStandardPaths::findExecutable("gdu");
    if (ncdu.isEmpty() || gdu.isEmpty())
        QSKIP("ncdu or gdu is not installed");
    const char *total = "import json,sys\nseen=set()\ndef t(n):\n if isinstance(n,list): return t(n[0])+sum(t(c) for c in n[1:])\n"
                        " if n.get('hlnkc'):\n  if n['ino'] in seen: return 0\n  seen.add(n['ino'])\n return n.get('asize',0)\n"
                        "d=json.loads(sys.stdin.buffer.read().decode('utf-8','surrogateescape'))\nprint(t(d[3]), len(str(d[3]).split('name'))-1)\n";
    const Run reexported = run({"-f", json, "-o", "-"}, {}, ncdu);
    const Run du = run({"-sb", "--apparent-size", folder}, {}, QStandardPaths::findExecutable("du"));
    const QByteArray tally = du.out.split('\t').first() + " " + QByteArray::number(Awkward.size() + 4) + "\n";
    QCOMPARE(run({"-c", total}, reexported.out, python).out, tally);
    QFile ours(json); // and the export itself, which ncdu might have mended
    QVERIFY(ours.open(QIODevice::ReadOnly));
    QCOMPARE(run({"-c", total}, ours.readAll(), python).out, tally);
    // A folder whose own entries and whose one subfolder each fill several blocks of the
    // export's text, the subfolder's written as they fill, and a folder below that one: it
    // tallies as du does.
    TempTree wide;
    wide.mkdir("many/deep");
    wide.file("many/deep/last", 3);
    for (int i = 0; i < 1200; ++i)
        wide.file("own" + QByteArray::number(i), 1), wide.file("many/f" + QByteArray::number(i), 2);
    const QString widePath = QFile::decodeName(wide.path());
    const Run wideDu = run({"-sb", "--apparent-size", widePath}, {}, QStandardPaths::findExecutable("du"));
    QCOMPARE(run({"-c", total}, run({"--list", "--format", "json", widePath}).out, python).out,
             wideDu.out.split('\t').first() + " 2404\n");
    // and, to a full disk, fails on the way as a write, not as a listing
    QCOMPARE(run({"--list", "--format", "json", widePath}, {}, qEnvironmentVariable("LISTWRIGHT_PROGRAM"), "/dev/full").err,
             "listwright: cannot write standard output: No space left on device\n");
    QCOMPARE(run({"-f", json, "-n", "-p"}, {}, gdu).status, 0);
}

void ListCommandTest::fromAndCompareScans()
{
    TempTree tree, scans;
    tree.mkdir("sub/deep");
    tree.file("sub/deep/f.txt", 2000);
    tree.file("sub/b.md", 300);
    tree.file("a.txt", 5);
    tree.hardLink("a.txt", "sub/a-too");
    const QString folder = QFile::decodeName(tree.path()), old = QFile::decodeName(scans.at("old.json"));
    QCOMPARE(run({"--list", "--format", "json", "-o", old, folder}).status, 0);
    // Listed from the scan, every byte is the folder's own listing.
    const QStringList choices[] = {{}, {"--recursive"}, {"--folder-sizes", "--no-dates", "--indent", "2"},
                                   {"--folder-sizes", "--counts", "--disk-usage"},
                                   {"--pattern", "*.md", "--recursive", "--format", "csv"}};
    for (const QStringList &choice : choices) {
        const Run fromFolder = run(QStringList{"--list"} + choice + QStringList{folder + "/sub"});
        for (const QString &in : {QStringLiteral("sub"), folder + "/sub"}) {
            const Run fromScan = run(QStringList{"--list", "--from", old} + choice + QStringList{in});
            QVERIFY2(fromScan.status == 0 && fromScan.err.isEmpty(), fromScan.err.constData());
            QCOMPARE(fromScan.out, fromFolder.out);
        }
    }
    // The folder now beside its scan: a line of the older scan only is listed with its old size.
    tree.file("sub/b.md", 3000);
    tree.file("new.txt", 1);
    QCOMPARE(::unlink(tree.at("a.txt").constData()), 0);
    Run r = run({"--list", "--compare", old, "--folder-sizes", "--no-dates", "--changes-only", folder});
    QCOMPARE(r.status, 0);
    QCOMPARE(r.out, "LISTWRIGHT\r\n" + tree.path() + "/*.*  4.89 KB  was 2.25 KB\r\n\r\nFolders: 4.89 KB\r\n"
                        + tree.at("sub") + "    4.89 KB  +2.64 KB\r\n\r\nFiles: 1    B \r\n" + tree.path()
                        + "/a.txt      5    B   gone\r\n" + tree.path() + "/new.txt    1    B   new\r\n");
    r = run({"--list", "--compare", old, "--format", "csv", "--recursive", folder});
    QVERIFY(r.out.startsWith("path,kind,size,modified,change\r\n"));
    QVERIFY(r.out.contains("/sub/b.md,file,3000,") && r.out.contains(",+2700\r\n") && r.out.contains("/a.txt,file,5,"));
    // JSON: a record for each line, in list order; names as their own bytes.
    tree.file("n\xfe.md", 7);
    r = run({"--list", "--compare", old, "--format", "json", "--recursive", "--changes-only", folder});
    QCOMPARE(r.status, 0);
    QCOMPARE(r.out, "{\"folder\":\"" + tree.path() + "\",\"older\":\"" + QFile::encodeName(old)
                        + "\",\"diskUsage\":false,\n\"total\":{\"old\":2305,\"new\":5013},\n\"lines\":["
                          "\n{\"section\":\"folders\",\"path\":\"sub\",\"kind\":\"grown\",\"change\":2700,\"old\":2305,\"new\":5005},"
                          "\n{\"section\":\"recursive\",\"path\":\"sub/b.md\",\"kind\":\"grown\",\"change\":2700,\"old\":300,\"new\":3000},"
                          "\n{\"section\":\"files\",\"path\":\"a.txt\",\"kind\":\"gone\",\"change\":-5,\"old\":5},"
                          "\n{\"section\":\"files\",\"path\":\"new.txt\",\"kind\":\"new\",\"change\":1,\"new\":1},"
                          "\n{\"section\":\"files\",\"path\":\"n\xfe.md\",\"kind\":\"new\",\"change\":7,\"new\":7}\n]}\n");
    // With disk usage, allocated bytes; sizes are counted without being asked for.
    const auto allocated = [&](const QByteArray &name) {
        struct stat st{};
        return ::stat(tree.at(name).constData(), &st) == 0 ? int64_t(st.st_blocks) * 512 : -1;
    };
    int64_t total = 0;
    for (const QByteArray name : {"sub/deep/f.txt", "sub/b.md", "sub/a-too", "new.txt", "n\xfe.md"})
        total += allocated(name);
    const QByteArray blocks = QByteArray::number(qlonglong(allocated("new.txt")));
    r = run({"--list", "--compare", old, "--format", "json", "--no-folders", "--disk-usage", folder});
    QVERIFY(r.out.contains("\"diskUsage\":true") && !r.out.contains("\"folders\"")
            && r.out.contains(",\"new\":" + QByteArray::number(qlonglong(total)) + "},")
            && r.out.contains("\"path\":\"new.txt\",\"kind\":\"new\",\"change\":" + blocks + ",\"new\":" + blocks + "}"));
    // A scan that cannot be read is one line; json is the folder's own walk.
    QFile bad(scans.at("bad.json"));
    QVERIFY(bad.open(QIODevice::WriteOnly) && bad.write("[1,2,{},") > 0);
    bad.close();
    r = run({"--list", "--from", QFile::decodeName(scans.at("bad.json"))});
    QVERIFY(r.status == 1 && r.out.isEmpty() && r.err.startsWith("listwright: ") && r.err.count('\n') == 1);
    // What the scan could not read is told as the folder's listing tells it (x by the folder's
    // total and by its size column), and listed as it lists it.
    QVERIFY(bad.open(QIODevice::WriteOnly) && bad.write("[1,2,{},[{\"name\":\"/gone/top\"},{\"name\":\"f\",\"asize\":3},"
                                                          "{\"name\":\"x\",\"read_error\":true},"
                                                          "[{\"name\":\"shut\",\"read_error\":true}]]]") > 0);
    bad.close();
    r = run({"--list", "--from", QFile::decodeName(scans.at("bad.json")), "--folder-sizes", "--no-dates"});
    QCOMPARE(r.err, "listwright: cannot read /gone/top/shut: The scan could not read it\n"
                    "listwright: cannot read /gone/top/x: The scan could not read it\n"
                    "listwright: cannot read /gone/top/x: The scan could not read it\n");
    QVERIFY(r.status == 1 && r.out.contains("\r\n/gone/top/shut    0    B \r\n") && r.out.contains("\r\n/gone/top/x    0    B \r\n"));
    QFile written(old);
    QVERIFY(written.open(QIODevice::ReadOnly));
    const QRegularExpression timestamp("\"timestamp\":\\d+");
    QCOMPARE(QString::fromUtf8(run({"--list", "--from", old, "--format", "json"}).out).remove(timestamp),
             QString::fromUtf8(written.readAll()).remove(timestamp));
    QCOMPARE(run({"--list", "--from", old, "--format", "json", "sub"}).status, 2);
}

// Exclusions and one file system: what is left out is neither listed nor counted nor gone into,
// at any depth, and the totals are du's and ncdu's with the same options.
void ListCommandTest::scope()
{
    const QString python = QStandardPaths::findExecutable("python3"), ncdu = QStandardPaths::findExecutable("ncdu"),
                  du = QStandardPaths::findExecutable("du");
    if (python.isEmpty() || ncdu.isEmpty())
        QSKIP("python3 or ncdu is not installed");
    // The bytes of every entry with a size in an export (folders' own included) and its names.
    const char *tally = "import json,sys\ndef t(n):\n if isinstance(n,list): return [sum(x) for x in zip(*map(t,n))]\n"
                        " return [n.get('asize',0),1]\nprint(*t(json.loads(sys.stdin.buffer.read())[3]))\n";
    const auto tallyOf = [&](const QByteArray &json) { return run({"-c", tally}, json, python).out; };
    TempTree tree;
    for (const QByteArray &folder : {"cache", "sub/cache", "sub/deep"})
        tree.mkdir(folder);
    const std::pair<QByteArray, int> files[] = {{"a.txt", 5},       {"own.log", 11}, {"cache/f", 100},        {"sub/b.txt", 3},
                                                {"sub/c.log", 13},  {"sub/cache/g", 200}, {"sub/deep/cache", 17}, {"sub/deep/d.txt", 2}};
    for (const auto &[name, size] : files)
        tree.file(name, size);
    const QString folder = QFile::decodeName(tree.path());
    const QStringList ours{"--exclude", "*.LOG", "--exclude=cache"}; // the file pattern's case rules
    // Left out at every depth, the folder's own and its subfolders' alike: "cache" a folder at
    // the top and below, a file deeper down; counted on the parent folder line.
    Run r = run(QStringList{"--list", "--folder-sizes", "--no-dates"} + ours + QStringList{folder});
    QCOMPARE(r.status, 0);
    QVERIFY2(r.out.startsWith("LISTWRIGHT\r\n" + tree.path() + "/*.*  10    B   5 excluded\r\n"), r.out.constData());
    QVERIFY(QString::fromUtf8(r.out).contains(QRegularExpression(QRegularExpression::escape(folder) + "/sub +5    B \r\n"))
            && !r.out.contains("cache") && !r.out.contains("own.log"));
    r = run(QStringList{"--list", "--recursive", "--no-dates"} + ours + QStringList{folder});
    QVERIFY(r.out.contains(tree.at("sub/deep/d.txt")) && !r.out.contains("cache") && !r.out.contains(".log")
            && r.out.contains("  10    B   5 excluded\r\n"));
    // Without sizes only the folder's own names are looked at; nothing left out says nothing,
    // and no exclusion lists byte for byte as before.
    QVERIFY(run(QStringList{"--list"} + ours + QStringList{folder}).out.contains("/*.*  2 excluded\r\n"));
    for (const QStringList &same : {QStringList{"--folder-sizes"}, QStringList{"--recursive", "--format", "csv"}})
        QCOMPARE(run(QStringList{"--list", "--exclude", "none*;"} + same + QStringList{folder}).out,
                 run(QStringList{"--list"} + same + QStringList{folder}).out);
    // The export marks them as ncdu does and goes into none; it tallies as ncdu's and du's.
    const QStringList theirs{"--exclude", "*.log", "--exclude", "cache"};
    r = run(QStringList{"--list", "--format", "json"} + ours + QStringList{folder});
    QCOMPARE(r.out.count("\"excluded\":\"pattern\""), 5);
    QVERIFY(r.out.contains(",{\"name\":\"cache\",\"excluded\":\"pattern\"}\r\n") && !r.out.contains("\"g\""));
    QCOMPARE(tallyOf(r.out), tallyOf(run(theirs + QStringList{"-o", "-", folder}, {}, ncdu).out));
    const Run duExcluded = run(QStringList{"-sb", "--apparent-size"} + QStringList{"--exclude=*.log", "--exclude=cache", folder}, {}, du);
    QCOMPARE(tallyOf(r.out).split(' ').first(), duExcluded.out.split('\t').first());
    // A pattern the file pattern refuses: its message, and nothing listed.
    r = run({"--list", "--exclude", "a/b", folder});
    QVERIFY(r.status == 2 && r.out.isEmpty());
    QCOMPARE(r.err, "listwright: Invalid file pattern: \"a/b\" holds a \"/\"; a pattern names files, not folders.\n");
    // A comparison walks the folder as the listing asks: nothing below an excluded name is gone
    // into, so a tree there too deep to walk says nothing.
    TempTree deep;
    QByteArray tooDeep = "S/skip";
    for (int i = 0; i < 101; ++i)
        tooDeep += "/d";
    deep.mkdir(tooDeep);
    const QString deepScan = QFile::decodeName(deep.at("old.json"));
    QCOMPARE(run({"--list", "--format", "json", "--exclude", "skip", "-o", deepScan, QFile::decodeName(deep.at("S"))}).status, 0);
    r = run({"--list", "--exclude", "skip", "--compare", deepScan, QFile::decodeName(deep.at("S"))});
    QVERIFY2(r.status == 0 && r.err.isEmpty(), r.err.constData());

    // One file system: two private mounts, at the top and below, in a mount namespace of their
    // own that ends with the shell (so they are always gone afterwards).
    const QString unshare = QStandardPaths::findExecutable("unshare");
    TempTree out;
    const QString script =
        "set -e; mount -t tmpfs none \"$1/cache\"; mount -t tmpfs none \"$1/sub/deep\"\n"
        "printf 1234567 > \"$1/cache/in\"; mkdir \"$1/cache/dir\"; printf 12 > \"$1/sub/deep/in\"\n"
        "p=$2; o=$3; shift 3\n"
        "\"$p\" --list -x --recursive --no-dates \"$@\" > \"$o/x.txt\"; \"$p\" --list --recursive --no-dates \"$@\" > \"$o/all.txt\"\n"
        "\"$p\" --list --one-file-system --format json \"$@\" > \"$o/x.json\"; ncdu -x -o - \"$@\" > \"$o/ncdu.json\"\n"
        "du -x -sb --apparent-size \"$@\" > \"$o/du.txt\"\n"
        "\"$p\" --list -x --folder-sizes --changes-only --compare \"$o/x.json\" \"$@\" > \"$o/same.txt\"\n"
        "\"$p\" --list --from \"$o/x.json\" --format json > \"$o/again.json\"\n"
        "\"$p\" --list --format json \"$@\" > \"$o/all.json\"\n"
        "\"$p\" --list -x --recursive --no-dates --from \"$o/all.json\" > \"$o/xfrom.txt\"\n";
    r = run({"-m", "--propagation", "private", "sh", "-c", script, "sh", folder, qEnvironmentVariable("LISTWRIGHT_PROGRAM"),
             QFile::decodeName(out.path()), folder},
            {}, unshare);
    if (unshare.isEmpty() || r.status != 0)
        QSKIP(qPrintable("no private mount: " + QString::fromLocal8Bit(r.err)));
    const auto read = [&](const QByteArray &name) {
        QFile f(QFile::decodeName(out.at(name)));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    };
    // The folder lines of the mounts stay, at 0 bytes; nothing in them is listed or counted.
    const QByteArray x = read("x.txt"), all = read("all.txt");
    QVERIFY2(QString::fromUtf8(x).contains(QRegularExpression(QRegularExpression::escape(folder) + "/cache +0    B \r\n"))
                 && QString::fromUtf8(x).contains(QRegularExpression(QRegularExpression::escape(folder) + "/sub +216    B \r\n"))
                 && !x.contains("/in"),
             x.constData());
    QVERIFY(all.contains(tree.at("cache/in")) && all.contains(tree.at("sub/deep/in"))); // they were there
    const QByteArray json = read("x.json");
    QVERIFY(json.contains(",[{\"name\":\"cache\",\"dev\":") && json.count("\"excluded\":\"othfs\"}]\r\n") == 2);
    QCOMPARE(tallyOf(json), tallyOf(read("ncdu.json")));
    QCOMPARE(tallyOf(json).split(' ').first(), read("du.txt").split('\t').first());
    // The folder compared with that scan on the same terms has not changed; the scan written
    // again from the file keeps both marks.
    QVERIFY2(read("same.txt").contains("\r\nFolders: 216    B \r\n\r\n"), read("same.txt").constData());
    QCOMPARE(read("again.json").count("\"excluded\":\"othfs\"}]\r\n"), 2);
    // A scan of everything, listed staying on one file system, lists as the walk that stayed.
    QCOMPARE(read("xfrom.txt"), x);
}

QTEST_GUILESS_MAIN(ListCommandTest)
#include "tst_listcommand.moc"
