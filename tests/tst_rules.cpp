// SPDX-License-Identifier: GPL-3.0-or-later
// The rules the lists and the output rely on, as tables: the file list's lines, size text, the
// names' order, the page title check, and the indentation as it is picked or typed.
#include "core/listing/FileListElement.h"
#include "core/listing/FileListLines.h"
#include "core/listing/ModifiedText.h"
#include "core/output/Indentation.h"
#include "window/output/IndentationBox.h"
#include "core/output/TitleCheck.h"
#include "core/scan/ByteConverter.h"
#include "core/scan/FolderLine.h"
#include "core/scan/tree/FolderRowMaker.h"
#include "core/scan/tree/ScanTreeSink.h"
#include "core/shared/LineFilter.h"
#include "core/shared/LineOrder.h"
#include "core/shared/Text.h"
#include "window/shell/ViewSettings.h"
#include "support/TempTree.h"
#include "support/WindowFixture.h"

#include <QComboBox>
#include <QLineEdit>
#include <QLocale>
#include <QtTest>
#include <numeric>

class RulesTest : public QObject {
    Q_OBJECT
private slots:
    // Timestamps are shown in one fixed zone, and numbers in one fixed form.
    void initTestCase()
    {
        qputenv("TZ", "UTC");
        tzset();
        QLocale::setDefault(QLocale::c());
    }
    void fileListLines()
    {
        // The complete file list's worked example, in every column combination and with the
        // recursive listing's folder path before each name; the total counts each file once.
        TempTree tree;
        const auto utc = [](int y, int mo, int d, int h, int mi, int s) {
            return QDateTime(QDate(y, mo, d), QTime(h, mi, s), Qt::UTC);
        };
        tree.file("a.txt", 500, utc(1998, 12, 15, 15, 4, 5));
        tree.file("readme.doc", 2048, utc(1998, 11, 5, 10, 20, 30));
        tree.file("setup.exe", 1536000, utc(1998, 10, 1, 0, 0, 0));
        FileListElement files;
        files.setPath(tree.path());
        const QString prefix = QString::fromUtf8(tree.path()) + '/';
        const QStringList dates{"a.txt       12/15/98  3:04:05 PM", "readme.doc  11/05/98 10:20:30 AM", "setup.exe   10/01/98 "};
        const struct { bool size, modified, recursive; QStringList lines; } rows[] = {
            {true, true, false, {"a.txt       500    B    12/15/98  3:04:05 PM", "readme.doc    2.00 KB   11/05/98 10:20:30 AM",
                                 "setup.exe     1.46 MB   10/01/98 "}},
            {true, false, false, {"a.txt       500    B ", "readme.doc    2.00 KB", "setup.exe     1.46 MB"}},
            {false, true, false, dates},
            {false, false, false, {"a.txt", "readme.doc", "setup.exe"}},
            {false, true, true, dates},
        };
        for (const auto &row : rows) {
            QStringList expected;
            for (const QString &line : row.lines)
                expected.append((row.recursive ? prefix : QString()) + line);
            TextLines lines;
            const ShownSize total = ::fileListLines(tree.path() + '/', files, {row.size, row.modified, false},
                                                    row.recursive ? prefix : QString(), lines,
                                                    [](const QString &description, const QString &) { QFAIL(qPrintable(description)); },
                                                    [] {}, {});
            QCOMPARE(lines.toStringList(), expected);
            QCOMPARE(total.bytes, row.size ? 500 + 2048 + 1536000 : 0);
        }
        // Months 1 to 9 fill the same 9-character date field, so their lines stay aligned.
        QCOMPARE(FileModifiedText(utc(1998, 1, 5, 12, 0, 1)), QStringLiteral(" 01/05/98 12:00:01 PM"));
    }
    void sizeText()
    {
        const std::pair<double, const char *> rows[] = {
            {0, "0    B "}, {1023, "1023    B "}, {1024, "1024    B "}, {-1, "-1    B "}, {1025, "1.00 KB"},
            {1536, "1.50 KB"}, {1048575, "1024.00 KB"}, {1048576, "1.00 MB"}, {1073741823, "1024.00 MB"},
            {1073741824, "1.00 GB"}, {3221225472.0, "3.00 GB"}, {1099511627776.0, "1024.00 GB"}, // above 2^32
            {1152, "1.13 KB"}, // 1.125 rounds half away from zero on its decimal text
        };
        for (const auto &[bytes, text] : rows)
            QCOMPARE(ByteConverter(bytes), QLatin1String(text));
    }
    void displayText()
    {
        // Every character that breaks a line or reorders what it shows becomes "?"; its neighbours
        // in the tables of Unicode stay as they are.
        const char16_t hidden[] = {0x0, 0x0a, 0x1f, 0x7f, 0x80, 0x85, 0x9f, 0x2028, 0x2029, 0x202a, 0x202e,
                                   0x2066, 0x2069, 0x200e, 0x200f, 0x061c};
        const char16_t kept[] = {0x20, 0x7e, 0xa0, 0x2027, 0x202f, 0x2065, 0x206a, 0x200d, 0x2010, 0x061b, 0x061d, 0xe9};
        // (In the second word of eight bytes, as in the first of a long path.)
        const auto between = [](char16_t c) { return QStringLiteral("abcdefghij") + QChar(c) + QStringLiteral("klmno"); };
        for (char16_t c : hidden)
            QCOMPARE(displayName(between(c).toUtf8()), QStringLiteral("abcdefghij?klmno"));
        for (const char *shortName : {"a\x7f", "a\x1f"}) // (after the last word of eight)
            QCOMPARE(displayName(shortName), QStringLiteral("a?"));
        for (char16_t c : kept)
            QCOMPARE(displayName(between(c).toUtf8()), between(c));
        // A name's width in characters as it shows, plain ASCII or not.
        for (const QByteArray &name : {QByteArray("plain ~name"), QByteArray("tab\there"), QByteArray("del\x7f"),
                                       QByteArray("caf\xc3\xa9"), QByteArray("smile\xf0\x9f\x98\x80"), QByteArray("bad\xe9!")})
            QCOMPARE(displayWidth(name), charCount(displayName(name)));
        QCOMPARE(displayWidth("smile\xf0\x9f\x98\x80"), 6);
    }
    void nameOrder()
    {
        // Case-insensitive, ties by exact bytes; letters beyond ASCII fold too, and a prefix comes first.
        // Long names differ beyond the bytes compared eight at a time, next to 'A' and 'Z'. Where
        // the heads of two names decide, they decide the same.
        const QByteArrayList sorted{"A", "a", "ab", "abcdefgh", "ABCDEFGH@", "abcdefgh[", "abcdefgh`", "ABCDEFGHa",
                                    "abcdefghA", "abcdefghijklmnop", "abcdefghijklmnopQ", "ABCDEFGHIJKLMNOPr",
                                    "abcdefghz", "abcdefgh{", "abcdefgh\xc3\xa4", "abcdefgh\xc3\x84x", "ab\xc3\xa4",
                                    "AB\xc3\x84x", "B", "b.txt", "b_", "Z", "\xc3\x84pfel", "\xc3\xa4pfel", "\xc3\xa4Pfel2", "\xc3\x84Q",
                                    "\xc3\xa9t\xc3\xa9", "\xc3\x89T\xc3\x89x"};
        for (qsizetype i = 0; i < sorted.size(); ++i) {
            for (qsizetype j = 0; j < sorted.size(); ++j) {
                QVERIFY2(nameLess(sorted[i], sorted[j]) == (i < j), sorted[i] + " / " + sorted[j]);
                const int heads = headOrder(nameHead(sorted[i]), nameHead(sorted[j]));
                QVERIFY2(heads == 0 || (heads < 0) == (i < j), sorted[i] + " / " + sorted[j]);
            }
        }
        // A head taken in place among other names, with bytes beyond ASCII after it or at the
        // end of the names, is the name's own.
        for (const QByteArray &name : sorted) {
            for (const QByteArray &after : {QByteArray("\xc3\xa4ZZZZZZZZZZZZZZZZZZ"), QByteArray()}) {
                const QByteArray names = "x" + name + after;
                NameHead head;
                nameHeadWithin(names, 1, name.size(), head);
                QVERIFY2(head == nameHead(name), name);
            }
        }
    }

    void lineOrders()
    {
        // Lines of few sizes and dates, added in name order, the size order chosen a quarter of the
        // way, the others after: each order is the stable sort of the keys, largest or newest first.
        LineOrder order;
        std::vector<LineKey> keys;
        for (int i = 0; i < 5000; ++i) {
            if (i == 1234)
                order.setSortBy(SortBy::Size);
            order.add(keys.emplace_back(LineKey{i % 7 == 0 ? -1 : (i * 7919) % 97, (i * 31) % 13}));
        }
        for (SortBy by : {SortBy::Size, SortBy::Modified, SortBy::Name}) {
            if (by != order.sortBy())
                order.setSortBy(by);
            std::vector<qsizetype> want(keys.size());
            std::iota(want.begin(), want.end(), 0);
            std::stable_sort(want.begin(), want.end(), [&](qsizetype a, qsizetype b) {
                return by == SortBy::Size ? keys[a].bytes > keys[b].bytes : by == SortBy::Modified && keys[a].modified > keys[b].modified;
            });
            for (qsizetype row = 0; row < order.size(); ++row)
                QCOMPARE(order.line(row), want[row]);
        }
    }
    void findInLines()
    {
        // A name holds the text case-insensitively, letters beyond ASCII too; the folders above it and
        // its columns do not count. Texts whose prefixes repeat are found wherever they start.
        TextLines made;
        appendRecursiveFileLine(made, "/top/KB dir", "Report.TXT", {1500, 0});
        appendRecursiveFileLine(made, "/top/\xff", "\xc3\x84pfel", {10, 0});
        QCOMPARE(lineName(made.utf8(0), made.keys()[0].nameEnd), "Report.TXT");
        QCOMPARE(lineName(made.utf8(1), made.keys()[1].nameEnd), "\xc3\x84pfel");
        QCOMPARE(made.shownName(0, made.keys()[0].nameEnd) + '|' + made.shownName(1, made.keys()[1].nameEnd),
                 "Report.TXT|\xc3\x84pfel");
        // Lines of text among lines made when read each end where they end.
        TextLines mixed;
        mixed.append(QStringLiteral("first"));
        appendRecursiveFileLine(mixed, "/top", "a", {1, 0});
        mixed.append(QStringLiteral("second"));
        appendRecursiveFileLine(mixed, "/top", "b", {2, 0});
        QCOMPARE(mixed.toStringList(), QStringList({"first", "/top/a 1    B ", "second", "/top/b 2    B "}));
        // Folder lines as rows of the tree their sizes were counted into, over several makers: each
        // as its text made now from the row's totals, which are what the walk counted for it (a file
        // of two names counts in the first folder that holds it; a link to a folder its own length; a
        // tree that put nothing into the tree nothing); its name the last folder of its path; a new
        // width, counts or disk usage choice starts a new maker.
        auto tree = std::make_shared<ScanTree>();
        ScanTreeBuilder builder(*tree);
        const auto met = [](const QByteArray &name, FoundEntry::Kind kind, int64_t length, ino_t inode) {
            FoundEntry e;
            e.name = name;
            e.kind = kind;
            e.length = length;
            e.allocated = (length + 4095) / 4096 * 4096;
            e.inode = inode;
            e.links = inode == 7 ? 2 : 1;
            return e;
        };
        builder.enterFolder(met("/top", FoundEntry::Kind::Folder, 0, 1));
        std::shared_ptr<FolderRowMaker> maker;
        TextLines folders;
        QStringList want;
        for (int i = 0; i < 300; ++i) {
            const int width = i < 250 ? 12 : 20;
            const bool counts = i > 280, diskUsage = i >= 290;
            const QString path = QStringLiteral("/top/\u00c4%1").arg(i);
            const QByteArray name = path.mid(5).toUtf8();
            if (i % 5 == 0) { // a link to a folder
                FoundEntry link = met(name, FoundEntry::Kind::Other, 7 + i, 100 + i);
                link.linksToFolder = true;
                builder.entry(link);
            } else if (i % 7 != 0) { // (else gone before its walk: nothing)
                builder.enterFolder(met(name, FoundEntry::Kind::Folder, 0, 100 + i));
                builder.entry(met("a", FoundEntry::Kind::File, i * 1000LL, 1000 + i));
                builder.entry(met("twice", FoundEntry::Kind::File, 1, 7));
                builder.leaveFolder();
            }
            const ShownSize counted = shownSize(builder.takeCounted(), diskUsage);
            maker = FolderRowMaker::next(std::move(maker), tree, width, counts, diskUsage);
            const qsizetype line = maker->add(path, builder.lastTop());
            folders.appendMade(maker, line);
            QCOMPARE(maker->size(line).bytes, counted.bytes);
            QCOMPARE(maker->size(line).files, counted.files);
            want << folderLine(path, counted, width, counts);
            QCOMPARE(folders.shownName(i, -1), QStringLiteral("\u00c4%1").arg(i).toUtf8());
        }
        QVERIFY(want[1].endsWith(u"1001    B ") && want[2].endsWith(u"1.95 KB") && want[5].endsWith(u"12    B ")
                && want[7].endsWith(u"0    B ") && want[290].endsWith(u"4.00 KB  1 file"));
        QCOMPARE(folders.toStringList(), want);
        QCOMPARE(lineName("plain name", -1), "plain name");
        const std::pair<const char *, const char *> found[] = {{"rEpOrT.t", "Report.TXT"}, {"\xc3\xa4PF", "\xc3\x84pfel"},
                                                               {"aab", "aaab"}, {"abab", "abaabab"}, {"", "x"}};
        for (const auto &[text, name] : found)
            QVERIFY2(NameFind(QString::fromUtf8(text)).foundIn(name), text);
        for (const char *text : {"KB", "top", "1.46", "abc", "Report.TXTx"})
            QVERIFY2(!NameFind(QString::fromUtf8(text)).foundIn(lineName(made.utf8(0), made.keys()[0].nameEnd)), text);

        // The rows of a filtered list are those of the list whose names hold the text, in the order
        // shown, as lines come, the order changes and the text grows, changes or goes.
        TextLines lines;
        LineOrder order;
        LineFilter filter;
        QRandomGenerator random(11);
        const auto check = [&] {
            std::vector<qsizetype> want;
            order.forEachLine([&](qsizetype line) {
                const QString name = QString::fromUtf8(lineName(lines.utf8(line), order.key(line).nameEnd));
                if (filter.active() && name.contains(filter.find().text(), Qt::CaseInsensitive))
                    want.push_back(line);
            });
            QCOMPARE(filter.size(), qsizetype(want.size()));
            for (size_t row = 0; row < want.size(); ++row)
                QCOMPARE(filter.line(qsizetype(row)), want[row]);
        };
        const char *steps[] = {"a", "+", "ab", "s", "+", "B", "+", "m", "aba", "", "+", "n", "b", "+"};
        for (const char *step : steps) {
            if (*step == '+') {
                for (int i = 0; i < 300; ++i) {
                    QString name;
                    for (int c = random.bounded(1, 8); c > 0; --c)
                        name += QChar(u"abAB/ "[random.bounded(6)]);
                    const QString columns = QStringLiteral(" ab %1").arg(i);
                    lines.append(name + columns);
                    order.add({random.bounded(50), random.bounded(50), int32_t(name.size())});
                }
                filter.update(lines, order);
            } else if (*step == 's' || *step == 'm' || *step == 'n') {
                order.setSortBy(*step == 's' ? SortBy::Size : *step == 'm' ? SortBy::Modified : SortBy::Name);
                filter.update(lines, order);
            } else {
                filter.setFind(QString::fromLatin1(step), lines, order);
            }
            check();
        }
    }
    void viewSettings()
    {
        // Kept and read back; a file that cannot be read or written, or that this program did
        // not write, gives the defaults and one line.
        QTemporaryDir dir;
        const QString file = dir.filePath("Listwright/Listwright.conf");
        const ViewChoices kept{SortBy::Size, SortBy::Modified, true};
        QString problem;
        QVERIFY(readViewChoices(file, &problem) == ViewChoices() && writeViewChoices(file, kept, &problem));
        QVERIFY(readViewChoices(file, &problem) == kept && problem.isEmpty());
        // The scope's choices come back as typed; off, they leave the file as it always was.
        QFile written(file);
        QVERIFY(written.open(QIODevice::ReadOnly));
        const QByteArray plain = written.readAll();
        QVERIFY(!plain.contains("Exclu") && !plain.contains("OneFile"));
        const ViewChoices scoped{.oneFileSystem = true, .exclusions = " *.o, x;#y=\"z\" "};
        QVERIFY(writeViewChoices(file, scoped, &problem) && readViewChoices(file, &problem) == scoped && problem.isEmpty());
        // A file another program or a broken disk left: a wrong value, a broken heading, text
        // with NUL bytes, random bytes.
        QByteArray random(300, '\0');
        QRandomGenerator(7).fillRange(reinterpret_cast<quint32 *>(random.data()), random.size() / 4);
        const QByteArray withNul("[View]\nSortFoldersBy=Size\0\0\nSizeBars=true\n", 42);
        for (const QByteArray &corrupt : {QByteArray("[View]\nSortFoldersBy=Biggest\n"), QByteArray("[View\nSortFoldersBy=Size\n"), withNul, random,
                                          QByteArray("[View]\nExclude=a/b\n"), QByteArray("[View]\nExclude=a, b\n")}) {
            QFile f(file);
            QVERIFY(f.open(QIODevice::WriteOnly) && f.write(corrupt) == corrupt.size());
            f.close();
            problem.clear();
            QVERIFY(readViewChoices(file, &problem) == ViewChoices());
            QCOMPARE(problem, "listwright: ignoring the settings file " + file + ": it is not a settings file of this program");
        }
        problem.clear(); // the next choices replace such a file whole
        QVERIFY(writeViewChoices(file, kept, &problem) && readViewChoices(file, &problem) == kept && problem.isEmpty());
        QVERIFY(QFile::remove(file) && QDir().mkpath(file)); // a folder in the file's place
        QVERIFY(readViewChoices(file, &problem) == ViewChoices() && problem.endsWith("it cannot be read"));
        QVERIFY(!writeViewChoices(file, kept, &problem) && problem == "listwright: cannot keep the View choices in " + file);
    }
    void titles()
    {
        // The title, and the character the box names ("size" for the wrong size, empty when it passes).
        const QString folder = QString::fromUtf8("\xF0\x9F\x93\x81"); // one character to a person, two UTF-16 units
        const std::pair<QString, QString> rows[] = {
            {"", "size"}, {QString(255, u'a'), ""}, {QString(250, u'a') + "a/b\\c:", "size"}, {folder.repeated(255), ""},
            {"a/b\\c", "/"}, {"say \"hi\"", "\""}, {"   ", ""}, {"x<y", "<"}, {"a|b>c", "|"}};
        for (const auto &[title, refused] : rows) {
            ScriptedMessageBoxes boxes;
            QCOMPARE(CheckSaveToFileName(title, boxes), refused.isEmpty());
            QCOMPARE(boxes.boxes.size(), refused.isEmpty() ? 0 : 1);
            if (refused == "size")
                QCOMPARE(boxes.boxes[0].title + '|' + boxes.boxes[0].text,
                         "Listwright - Invalid Name|Page Title is the wrong size.\rMust be > 0 and < 256 characters");
            else if (!refused.isEmpty())
                QCOMPARE(boxes.boxes[0].title + '|' + boxes.boxes[0].text, "Listwright - Invalid Character|The " + refused
                             + " character is not allowed in a filename.\rPlease remove this character from Page Title");
        }
    }

    void pickingAndTyping()
    {
        WindowFixture w(".", false);
        MainForm &f = w.f();
        QComboBox *box = f.cboIndent;
        fillIndentEntries(box);
        // Each step picks an entry ('p'), types over the text ('t'), types on ('k') or sets the text ('s'),
        // then gives the value stored and whether the text was refused. Every step that stores 0 follows
        // one that stored more, so that the change shows.
        const struct { char how; const char *text; int value; bool refused; } steps[] = {
            {'p', "3", 25, false}, {'s', "0", 0, true}, {'t', "8", 8, false}, {'k', "0", 0, true}, // the text is now "80"
            {'s', "7 spaces", 7, false}, {'s', "Indentation", 7, false}, {'s', "", 0, true}, {'s', "&H1F", 31, false},
            {'s', "-3", 0, true}, {'s', "79.5", 80, false}, {'s', "0.4", 0, false}, {'s', "1 2", 12, false},
            {'s', "2.5", 2, false}, {'s', "abc", 0, true}};
        for (const auto &[how, text, value, refused] : steps) {
            if (how == 'p') {
                box->setCurrentIndex(QByteArray(text).toInt());
                emit box->activated(box->currentIndex());
            } else if (how == 's') {
                box->setEditText(QString::fromUtf8(text));
            } else {
                if (how == 't')
                    box->lineEdit()->selectAll();
                QTest::keyClicks(box->lineEdit(), QString::fromUtf8(text));
            }
            QCOMPARE(f.Indentation, value);
            QCOMPARE(w.boxes.titles(), refused ? QStringList{"Invalid Indentation"} : QStringList());
            if (refused)
                QCOMPARE(box->currentText() + '|' + w.boxes.boxes[0].text, "Indentation|Indent must be a number and < 80");
            w.boxes.clear();
        }
    }
};

QTEST_MAIN(RulesTest)
#include "tst_rules.moc"
