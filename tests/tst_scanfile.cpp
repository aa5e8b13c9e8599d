// SPDX-License-Identifier: GPL-3.0-or-later
// Scans kept as files: a scan tree written in the ncdu export format and read back, the files
// of ncdu and gdu read, and bad files refused with the place where reading stopped.
#include "core/listing/TreeListing.h"
#include "core/output/ListingExport.h"
#include "core/output/NcduExport.h"
#include "core/output/ScanFileWriter.h"
#include "core/scan/engine/ScanListener.h"
#include "core/scan/tree/ScanFileReader.h"
#include "core/scan/tree/ScanTreeSink.h"
#include "support/AsNobody.h"
#include "support/TempTree.h"

#include <QtTest>
#include <sys/stat.h>
#include <zlib.h>

namespace {
class QuietListener : public ScanListener {
public:
    QuietListener() : ScanListener(ScanOptions{1000, 2}) {}
    ScanEnd problem(const QString &, const QString &) override { return ScanEnd::Completed; }

protected:
    ScanEnd pump() override { return ScanEnd::Completed; }
};

// Everything a tree holds, one line an entry.
QStringList dump(const ScanTree &tree)
{
    QStringList lines;
    for (ScanTree::Index i = 0; i < tree.size(); ++i) {
        const ScanTree::Entry &e = tree.at(i);
        const ScanTree::Totals t = tree.totals(i);
        const ScanTree::Identity *id = tree.identity(i);
        lines << QString::fromLatin1(tree.path(i).toPercentEncoding("/"))
                     + QStringLiteral(" kind %1 problem %2 flags %3 length %4 allocated %5 time %6 end %7 totals %8/%9/%10 id %11")
                           .arg(int(e.kind)).arg(int(e.problem)).arg(e.flags).arg(e.length).arg(tree.allocated(i)).arg(e.modified)
                     .arg(tree.end(i)).arg(t.bytes).arg(t.allocated).arg(t.files)
                     .arg(id ? QStringLiteral("%1:%2:%3").arg(id->device).arg(id->inode).arg(id->links) : QString());
    }
    return lines;
}

// `text` in gzip's format, not compressed: its bytes follow a header of 15 bytes.
QByteArray gzipStored(const QByteArray &text)
{
    z_stream z{};
    QByteArray out(text.size() + 100, 0);
    deflateInit2(&z, 0, Z_DEFLATED, 16 + MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
    z.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(text.data()));
    z.avail_in = uInt(text.size());
    z.next_out = reinterpret_cast<Bytef *>(out.data());
    z.avail_out = uInt(out.size());
    deflate(&z, Z_FINISH);
    out.truncate(out.size() - qsizetype(z.avail_out));
    deflateEnd(&z);
    return out;
}

QByteArray written(const ScanTree &tree, ScanTree::Index from = 0)
{
    QByteArray text;
    writeScanTree(tree, [&](QByteArrayView piece) { text += piece; }, from);
    return text;
}

QByteArray exportOf(const QByteArray &folder)
{
    QByteArray text;
    ncduExport(folder, [](const QString &, const QString &) {}, [&](QByteArrayView piece) { text += piece; });
    return text;
}

QByteArray withoutTime(const QByteArray &text)
{
    return text.mid(text.indexOf('\n')); // the first line ends with the time
}

ScanFileResult readText(const QByteArray &text, ScanTree &tree, const ScanFileProgress &keepGoing = {})
{
    QBuffer buffer;
    buffer.setData(text);
    buffer.open(QIODevice::ReadOnly);
    return readScanFile(buffer, QStringLiteral("in.json"), tree, keepGoing);
}

// Runs `program` and answers its standard output; fails the test when it does not end well.
QByteArray output(const QString &program, const QStringList &args)
{
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        qWarning("%s failed: %s", qPrintable(program), p.readAllStandardError().constData());
    return p.readAllStandardOutput();
}

// The bytes below `path` as du counts them, less the folders' own.
int64_t duBytesOfFiles(const QByteArray &path)
{
    int64_t folders = 0;
    QDirIterator it(QFile::decodeName(path), QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    for (QByteArray dir = path; !dir.isEmpty(); dir = it.hasNext() ? QFile::encodeName(it.next()) : QByteArray()) {
        struct stat st;
        if (::lstat(dir.constData(), &st) == 0 && S_ISDIR(st.st_mode))
            folders += st.st_size;
    }
    const QByteArray du = output(QStringLiteral("du"), {"-sb", "--apparent-size", QFile::decodeName(path)});
    return du.split('\t').first().toLongLong() - folders;
}
} // namespace

class ScanFileTest : public QObject {
    Q_OBJECT
private slots:
    void roundTrip();
    void peersFiles();
    void readsWhatTheFormatAllows();
    void badFiles_data();
    void badFiles();
    void stopsWhenAsked();
};

void ScanFileTest::roundTrip()
{
    // A tree walked, written from the tree, read back: the same tree, and the same bytes as the
    // export of the walk. An unreadable folder only for an ordinary user; a folder whose text
    // fills more than one block, and one below it.
    if (ranAsNobody("roundTrip"))
        return;
    TempTree t;
    for (const char *folder : {"S/a/deep", "S/shut", "S/many/below"})
        t.mkdir(folder);
    for (int i = 0; i < 1500; ++i) // empty, so that the totals below stay as they are
        t.file("S/many/a file of a longer name, number " + QByteArray::number(i), 0);
    t.file("S/many/below/empty", 0);
    t.file("S/a/f1", 100, QDateTime::fromSecsSinceEpoch(1700000000));
    t.file("S/a/deep/x", 300);
    t.file("S/shut/hidden", 5);
    t.file("S/\xff\xfe", 7);
    t.file("S/qu\"o\\te\x01", 3);
    t.file("S/empty", 0);
    t.hardLink("S/a/f1", "S/twice");
    t.symlink("a/f1", "S/link");
    QVERIFY(::chmod(t.at("S/shut").constData(), 0) == 0);
    const auto reopen = qScopeGuard([&] { ::chmod(t.at("S/shut").constData(), 0755); });
    QuietListener listener;
    ScanTree built;
    buildScanTree(t.at("S"), listener, built);
    const QByteArray text = written(built);
    QCOMPARE(withoutTime(text), withoutTime(exportOf(t.at("S"))));
    QVERIFY(text.contains("\"qu\\\"o\\\\te\\u0001\"") && text.contains("\"\xff\xfe\""));

    ScanTree read;
    const ScanFileResult r = readText(text, read);
    QVERIFY2(r.ok(), qPrintable(r.message));
    QCOMPARE(dump(read), dump(built));
    QCOMPARE(read.totals(0).bytes, 100 + 300 + 7 + 3 + 0 + 4 + (::geteuid() == 0 ? 5 : 0)); // f1 once, the link "a/f1"
    QCOMPARE(withoutTime(written(read)), withoutTime(text)); // each written at its own second
    // Each folder walked below the top, written from the tree read back, as its own export is
    // written: named by its path, on its device, its subfolders before its files.
    for (ScanTree::Index i = 1; i < read.size(); ++i)
        if (read.at(i).walked())
            QCOMPARE(withoutTime(written(read, i)), withoutTime(exportOf(read.path(i))));
}

void ScanFileTest::peersFiles()
{
    // ncdu's and gdu's files of a tree hold its bytes as du counts them, gzip'd too. gdu marks
    // only the later names of a file of several names: it sees none here.
    const QString ncdu = QStandardPaths::findExecutable("ncdu"), gdu = QStandardPaths::findExecutable("gdu");
    if (ncdu.isEmpty() || gdu.isEmpty() || QStandardPaths::findExecutable("gzip").isEmpty())
        QSKIP("ncdu, gdu or gzip is not installed");
    TempTree t;
    t.mkdir("S/a/deep");
    t.mkdir("S/b");
    t.file("S/a/f1", 100);
    t.file("S/a/deep/x", 3000);
    t.file("S/\xff name", 7);
    t.file("S/empty", 0);
    t.symlink("a/f1", "S/link");
    QTemporaryDir out;
    const QString gduFile = out.filePath("gdu.json"), ncduFile = out.filePath("ncdu.json");
    output(gdu, {"-n", "-o", gduFile, QFile::decodeName(t.at("S"))});
    const int64_t plain = duBytesOfFiles(t.at("S"));
    t.hardLink("S/a/f1", "S/b/twice");
    output(ncdu, {"-o", ncduFile, QFile::decodeName(t.at("S"))});
    QFile gz(ncduFile + ".gz");
    QVERIFY(gz.open(QIODevice::WriteOnly));
    gz.write(output(QStringLiteral("gzip"), {"-c", ncduFile}));
    gz.close();
    for (const auto &[file, bytes] : {std::pair{gduFile, plain}, {ncduFile, duBytesOfFiles(t.at("S"))}, {gz.fileName(), plain}}) {
        ScanTree tree;
        const ScanFileResult r = readScanFile(file, tree);
        QVERIFY2(r.ok(), qPrintable(r.message));
        QCOMPARE(tree.name(0), t.at("S"));
        QCOMPARE(tree.totals(0).bytes, bytes);
        QCOMPARE(tree.totals(0).files, 5); // f1 once
    }
}

void ScanFileTest::readsWhatTheFormatAllows()
{
    // Raw bytes and escapes in names, sizes left out, values of any shape that are not known,
    // a device that holds below its folder, entries not walked, further names counted once,
    // and values after the top folder.
    const QByteArray text = "[1,0,{\"progname\":\"x\",\"extra\":[1,{\"a\":[null,true]}]},\n"
                            "[{\"name\":\"/top\",\"dev\":5,\"asize\":4096,\"dsize\":700},\n"
                            " {\"name\":\"\xff\\u00e9\\ud83d\\ude00\\\\\",\"asize\":10,\"dsize\":1000,\"mode\":1,\"odd\":{\"k\":-1.5e3}},\n"
                            " {\"name\":\"p\",\"notreg\":true,\"dsize\":512},\n"
                            " {\"name\":\"gone\",\"read_error\":true},\n"
                            " {\"name\":\"skipped\",\"excluded\":\"pattern\"},\n"
                            " [{\"name\":\"proc\",\"excluded\":\"kernfs\"}],\n"
                            " [{\"name\":\"far\",\"dev\":7,\"excluded\":\"othfs\"}],\n"
                            " [{\"name\":\"shut\",\"read_error\":true}],\n"
                            " [{\"name\":\"mnt\",\"dev\":6},\n"
                            "  {\"name\":\"h1\",\"asize\":3,\"dsize\":3298534883328,\"ino\":9,\"hlnkc\":true,\"nlink\":2},\n"
                            "  [{\"name\":\"d\"}]],\n"
                            " {\"name\":\"h2\",\"asize\":3,\"ino\":9,\"hlnkc\":true},\n"
                            " {\"name\":\"h3\",\"asize\":3,\"ino\":9,\"hlnkc\":true,\"dev\":6,\"mtime\":-2}\n"
                            "], {\"later\":1}]\n";
    ScanTree tree;
    const ScanFileResult r = readText(text, tree);
    QVERIFY2(r.ok(), qPrintable(r.message));
    const QStringList expected = {
        "/top kind 0 problem 0 flags 1 length 4096 allocated 700 time %1 end 13 totals 16/3298534884840/4 id 5:0:1",
        "/top/%FF%C3%A9%F0%9F%98%80%5C kind 1 problem 0 flags 2 length 10 allocated 1000 time %1 end 2 totals 0/0/0 id ",
        "/top/p kind 2 problem 0 flags 2 length 0 allocated 512 time %1 end 3 totals 0/0/0 id ",
        "/top/gone kind 2 problem 3 flags 0 length 0 allocated 0 time 0 end 4 totals 0/0/0 id ",
        "/top/skipped kind 0 problem 0 flags 64 length 0 allocated 0 time %1 end 5 totals 0/0/0 id ",
        "/top/proc kind 0 problem 0 flags 4 length 0 allocated 0 time %1 end 6 totals 0/0/0 id ",
        "/top/far kind 0 problem 0 flags 144 length 0 allocated 0 time %1 end 7 totals 0/0/0 id 7:0:1",
        "/top/shut kind 0 problem 1 flags 0 length 0 allocated 0 time %1 end 8 totals 0/0/0 id ",
        "/top/mnt kind 0 problem 0 flags 17 length 0 allocated 0 time %1 end 11 totals 3/3298534883328/1 id 6:0:1",
        "/top/mnt/h1 kind 1 problem 0 flags 2 length 3 allocated 3298534883328 time %1 end 10 totals 0/0/0 id 6:9:2",
        "/top/mnt/d kind 0 problem 0 flags 1 length 0 allocated 0 time %1 end 11 totals 0/0/0 id ",
        "/top/h2 kind 1 problem 0 flags 2 length 3 allocated 0 time %1 end 12 totals 0/0/0 id 5:9:2",
        "/top/h3 kind 1 problem 0 flags 0 length 3 allocated 0 time -2 end 13 totals 0/0/0 id 6:9:2",
    };
    QCOMPARE(dump(tree), expected.join('\n').arg(INT64_MIN).split('\n'));

    // A file the format gives no time lists with none: no date in its line, none in the CSV,
    // and it comes last by date.
    ListingChoices choices;
    choices.fileSizes = choices.dates = true;
    const auto quiet = [](const QString &, const QString &) {};
    const ListingSnapshot s = listTree(tree, 0, choices, quiet);
    QCOMPARE(s.fileLines.at(1), QStringLiteral("h2      3    B ") + QString(12, QLatin1Char(' ')));
    QCOMPARE(s.fileLines.keys()[1].modified, INT64_MIN);
    // A name the scan passed over is no line: it counts among the names excluded. It, and a
    // folder on another file system the scan did not go into, are written back as they came.
    QVERIFY(s.parentFolderLine.endsWith(u"  1 excluded"));
    QCOMPARE(s.folderLines.size(), 4); // far, mnt, proc, shut
    QVERIFY(!s.folderLines.toStringList().join(u'|').contains(u"skipped"));
    QVERIFY(written(tree).contains(",{\"name\":\"skipped\",\"excluded\":\"pattern\"}"));
    QVERIFY(written(tree).contains(",[{\"name\":\"far\",\"dev\":7,\"excluded\":\"othfs\"}]"));
    // Room on the disk that is no whole number of blocks, or more than 2 TiB of them, is kept.
    for (const char *dsize : {"700", "1000", "512", "3298534883328"})
        QVERIFY2(QString::fromUtf8(written(tree)).contains(QRegularExpression(QStringLiteral("\"dsize\":%1[,}]").arg(dsize))), dsize);
    QVERIFY(csvListing(listTree(tree, 0, csvChoices(choices), quiet, csvLines())).toStringList().contains(u"/top/h2,file,3,"));
}

void ScanFileTest::badFiles_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("what");
    const QByteArray head = "[1,2,{\"progname\":\"x\"},\n[{\"name\":\"/t\"},\n";
    QTest::newRow("empty") << QByteArray() << "the file ends too soon (line 1, column 1)";
    QTest::newRow("cut short") << head + "{\"name\":\"a\",\"asi" << "the file ends too soon (line 3, column 17)";
    QTest::newRow("folder left open") << head + "{\"name\":\"a\"}]" << "the file ends too soon (line 3, column 14)";
    QTest::newRow("other format") << QByteArray("name,size\r\n") << "not a scan in the ncdu export format (line 1, column 1)";
    QTest::newRow("other JSON") << QByteArray("[1,2,3]") << "not a scan in the ncdu export format (line 1, column 6)";
    QTest::newRow("version") << QByteArray(" [2,0,{}]") << "not version 1 of the ncdu export format (line 1, column 3)";
    QTest::newRow("escape") << head + " {\"name\":\"a\\q\"}]]" << "an invalid escape (line 3, column 12)";
    QTest::newRow("half pair") << head + "{\"name\":\"a\\ud800x\"}]]" << "an invalid escape (line 3, column 11)";
    QTest::newRow("control") << head + "{\"name\":\"a\tb\"}]]" << "a control character in a string (line 3, column 11)";
    QTest::newRow("not UTF-8 outside") << head + "{\"name\":\"a\"}\xff]]" << "expected \",\" or \"]\", found byte 0xff (line 3, column 13)";
    QTest::newRow("twice") << head + "{\"name\":\"a\"},\n[{\"name\":\"a\"}]\n]]" << "two entries named \"a\" in one folder (line 5, column 1)";
    QTest::newRow("negative") << head + "{\"name\":\"a\",\"dsize\":-1}]]" << "a negative size (line 3, column 21)";
    QTest::newRow("too big") << head + "{\"name\":\"a\",\"asize\":9223372036854775808}]]" << "a number out of range (line 3, column 21)";
    QTest::newRow("ino") << head + "{\"name\":\"a\",\"ino\":18446744073709551616}]]" << "a number out of range (line 3, column 19)";
    // (blanks after the end, so that the number is read as one with more text after it)
    QTest::newRow("leading zero") << head + "{\"name\":\"a\",\"asize\":0123}]]" + QByteArray(32, ' ')
                                  << "expected \",\" or \"}\", found \"1\" (line 3, column 22)";
    QTest::newRow("fraction") << head + "{\"name\":\"a\",\"mtime\":1.5}]]" << "a number out of range (line 3, column 21)";
    QTest::newRow("long name") << head + "{\"name\":\"" + QByteArray(256, 'n') + "\"}]]" << "a name longer than 255 bytes (line 3, column 9)";
    QTest::newRow("empty name") << head + "{\"name\":\"\"}]]" << "an empty name (line 3, column 9)";
    QTest::newRow("slash") << head + "{\"name\":\"a/b\"}]]" << "a name holding \"/\" (line 3, column 9)";
    QTest::newRow("NUL") << head + "{\"name\":\"a\\u0000\"}]]" << "a name holding a NUL byte (line 3, column 9)";
    QTest::newRow("no name") << head + "{\"asize\":1}]]" << "an entry without a name (line 3, column 11)";
    QTest::newRow("flag") << head + "{\"name\":\"a\",\"notreg\":1}]]" << "expected true or false, found \"1\" (line 3, column 22)";
    QTest::newRow("after") << head + "{\"name\":\"a\"}]]\n\nx" << "text after the end of the scan (line 5, column 1)";
    QByteArray deep = head + "{\"name\":\"f\"}";
    for (int i = 1; i < 10000; ++i)
        deep += ",[{\"name\":\"d\"}";
    QTest::newRow("deep") << deep + "\n,[{\"name\":\"d\"}" << "folders nested deeper than 10000 (line 4, column 2)";
    QTest::newRow("zlib") << qCompress(head) << "not a scan in the ncdu export format (line 1, column 1)";
    // gzip's own, stored as it is, cut short five bytes into the third line
    QTest::newRow("gzip cut short") << gzipStored(head + "{\"name\":\"a\"}]]").left(10 + 5 + 44)
                                    << "the compressed file ends too soon (line 3, column 6)";
}

void ScanFileTest::badFiles()
{
    QFETCH(QByteArray, text);
    QFETCH(QString, what);
    // One line that says where, and the tree held before is left as it was.
    ScanTree tree;
    QVERIFY(readText("[1,2,{},[{\"name\":\"/before\"}]]", tree).ok());
    const QStringList before = dump(tree);
    const ScanFileResult r = readText(text, tree);
    QCOMPARE(r.outcome, ScanFileResult::Outcome::Failed);
    QCOMPARE(r.message, "Cannot read the scan \"in.json\": " + what + '.');
    QCOMPARE(dump(tree), before);
}

void ScanFileTest::stopsWhenAsked()
{
    // Asked every few thousand entries, with the bytes read so far; a stop is no failure and
    // leaves the tree as it was. A file that cannot be opened says why.
    QByteArray text = "[1,2,{},[{\"name\":\"/t\"}";
    for (int i = 0; i < 10000; ++i)
        text += ",{\"name\":\"f" + QByteArray::number(i) + "\",\"asize\":1}";
    text += "]]";
    ScanTree tree;
    QList<int64_t> asked;
    QCOMPARE(readText(text, tree, [&](int64_t bytes) { asked << bytes; return true; }).outcome, ScanFileResult::Outcome::Read);
    QCOMPARE(asked.size(), 2);
    QVERIFY(asked[0] > 0 && asked[1] >= asked[0] && asked[1] <= text.size());
    QCOMPARE(tree.totals(0).files, 10000);
    const ScanFileResult stopped = readText("[1,2,{},[{\"name\":\"/u\"}" + text.mid(22), tree, [](int64_t) { return false; });
    QCOMPARE(stopped.outcome, ScanFileResult::Outcome::Cancelled);
    QVERIFY(stopped.message.isEmpty());
    QCOMPARE(tree.name(0), "/t");
    QCOMPARE(readScanFile(QStringLiteral("/nonexistent/scan.json"), tree).message,
             "Cannot read the scan \"/nonexistent/scan.json\": No such file or directory.");
}

QTEST_GUILESS_MAIN(ScanFileTest)
#include "tst_scanfile.moc"
