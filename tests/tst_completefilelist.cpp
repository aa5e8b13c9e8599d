// SPDX-License-Identifier: GPL-3.0-or-later
// The complete file list rebuilt over real folders in a real main window: the worked example in every
// column combination, a file that vanishes while the list is built, links, and folders beyond small limits.
#include "window/listing/CompleteFileList.h"
#include "core/listing/FileListElement.h"
#include "window/scan/DirFolderView.h"
#include "core/shared/FsError.h"
#include "core/shared/QuietWork.h"
#include "support/TempTree.h"
#include "support/WindowFixture.h"

#include <QCheckBox>
#include <QtTest>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
QDateTime utc(int y, int mo, int d, int h, int mi, int s) { return QDateTime(QDate(y, mo, d), QTime(h, mi, s), Qt::UTC); }

// The file list rebuilt with these columns (the option boxes set without running their click handlers).
QStringList listed(MainForm &f, bool size, bool modified, bool recursive = false)
{
    const QSignalBlocker a(f.chkSize), b(f.chkModified), c(f.chkRecursive);
    f.chkSize->setChecked(size);
    f.chkModified->setChecked(modified);
    f.chkRecursive->setChecked(recursive);
    fileFileList_PathChange(f);
    return f.lstBigFileList->lines();
}
}

class TestCompleteFileList : public QObject {
    Q_OBJECT
private slots:
    // Timestamps are written and shown in one fixed zone, and numbers in one fixed form.
    void initTestCase() { qputenv("TZ", "UTC"); tzset(); QLocale::setDefault(QLocale::c()); }

    void completeFileList()
    {
        TempTree tree;
        tree.file("a.txt", 500, utc(1998, 12, 15, 15, 4, 5));
        tree.file("readme.doc", 2048, utc(1998, 11, 5, 10, 20, 30));
        tree.file("setup.exe", 1536000, utc(1998, 10, 1, 0, 0, 0));
        WindowFixture w(tree.path(), false); // its file list starts in the tree
        MainForm &f = w.f();
        // The lines are those the file list makes (its column combinations are tested without a
        // window); a recursive refresh adds its lines to those there are, each with the folder path.
        const QStringList shown{"a.txt       500    B    12/15/98  3:04:05 PM", "readme.doc    2.00 KB   11/05/98 10:20:30 AM",
                                "setup.exe     1.46 MB   10/01/98 "};
        QCOMPARE(listed(f, true, true), shown);
        const QStringList before = w.fileLines();
        QStringList recursive = before;
        for (const QString &line : {"a.txt       12/15/98  3:04:05 PM", "readme.doc  11/05/98 10:20:30 AM", "setup.exe   10/01/98 "})
            recursive.append(QFile::decodeName(tree.path()) + '/' + line);
        QCOMPARE(listed(f, false, true, true), recursive);

        // A file removed after listing: its box for the length and for the time, and its line at 0 bytes.
        QCOMPARE(::unlink(tree.at("setup.exe").constData()), 0);
        QCOMPARE(listed(f, true, true).last(), QStringLiteral("setup.exe     0    B             "));
        QCOMPARE(w.boxes.titles(), QStringList(2, QStringLiteral("Listwright - Error in File Path Change")));

        // A folder removed after listing: one box for it, not one for each file and column.
        tree.mkdir("gone");
        for (const char *name : {"gone/1", "gone/2", "gone/3"})
            tree.file(name, 5);
        f.fileFileList->setPath(tree.at("gone"));
        QVERIFY(QDir(QFile::decodeName(tree.at("gone"))).removeRecursively());
        QCOMPARE(listed(f, true, true).size(), 3);
        QCOMPARE(w.boxes.titles(), QStringList(3, QStringLiteral("Listwright - Error in File Path Change")));
        QVERIFY(w.boxes.boxes.last().text.endsWith("\rCurrent file: " + QFile::decodeName(tree.at("gone/"))));
        f.fileFileList->setPath(tree.path());

        // A folder that cannot be read leaves the file list on the folder it held.
        QVERIFY_THROWS_EXCEPTION(FsError, f.fileFileList->setPath(tree.at("missing")));
        QCOMPARE(f.fileFileList->path(), tree.path());

        // Links have their own length (their target text's), whether the target is there or not, and no box.
        // A file of two names shows its length on both lines and counts once in the total.
        // No small ceilings: 40,000 files of 0 to 2 bytes (plain calls: a test macro per file would dominate
        // the run), a 3 GB sparse file and a name that is not UTF-8, all listed and counted; and since the
        // vanished file, no box at all.
        tree.mkdir("big");
        bool made = true;
        for (int i = 0; i < 40000; ++i) {
            const int fd = ::open(tree.at("big/f" + QByteArray::number(i).rightJustified(5, '0')).constData(), O_WRONLY | O_CREAT, 0644);
            made = made && fd >= 0 && ::ftruncate(fd, i % 3) == 0 && ::close(fd) == 0;
        }
        QVERIFY(made);
        tree.file("big/big.img", 3LL << 30);
        tree.hardLink("big/big.img", "big/big2.img");
        tree.file("big/bad\xff.txt", 10);
        tree.symlink("../a.txt", "big/to-a");
        tree.symlink("no-such-file", "big/dangling");
        f.fileFileList->setPath(tree.at("big"));
        const QStringList lines = listed(f, true, false);
        QCOMPARE(lines.size(), 40005);
        QCOMPARE(lines.mid(0, 3), QStringList({QString::fromUtf8("bad\xEF\xBF\xBD.txt   10    B "), "big.img     3.00 GB",
                                                "big2.img    3.00 GB"}));
        QCOMPARE(f.FileListTotalBytes, (int64_t(3) << 30) + 10 + 8 + 12 + 39999);
        QCOMPARE(w.boxes.boxes.size(), 3);

        // The lines are made from the names when read: lines kept (as a save keeps them) still
        // read their own folder's names once the list has moved on to another folder.
        const TextLines kept = f.lstBigFileList->textLines();
        f.fileFileList->setPath(tree.path());
        QCOMPARE(listed(f, true, false).size(), 2);
        QCOMPARE(kept.toStringList(), lines);
    }

    // While the list is rebuilt the window processes its events, but no handler runs inside:
    // one that comes due (here a queued click on "Modified") waits until the list is whole.
    void noHandlerInsideTheRebuild()
    {
        TempTree tree;
        for (int i = 0; i < 30; ++i)
            tree.file("file" + QByteArray::number(i), i);
        WindowFixture w(tree.path());
        MainForm &f = w.f();
        const QStringList withDates = listed(f, true, true), withoutDates = listed(f, true, false);
        listed(f, true, true);
        // The last pass of events is longer ago than a pass interval: the first line passes them.
        QThread::msleep(QuietWork::everyMs + 5);
        bool queuedRanInside = false;
        QMetaObject::invokeMethod(
            w.window.get(),
            [&] {
                queuedRanInside = QuietWork::running();
                f.chkModified->click();
            },
            Qt::QueuedConnection);
        fileFileList_PathChange(f);
        QVERIFY(queuedRanInside);
        QVERIFY(!f.chkModified->isChecked());
        QCOMPARE(w.fileLines(), withDates); // whole, and with the options it began with
        QCoreApplication::processEvents();   // the held handler runs now
        QCOMPARE(w.fileLines(), withoutDates);
        QVERIFY(w.boxes.boxes.isEmpty());
    }

    // The load builds the list once when nothing changed after the file types built it; it is
    // built again after a change of the folder's entries, the options or the pattern, or a box.
    void loadBuildsTheListOnce()
    {
        TempTree tree;
        tree.file("a.txt", 1);
        tree.file("b.txt", 2);
        WindowFixture w(tree.path());
        MainForm &f = w.f();
        QVERIFY(fileListUpToDate(f));
        const QStringList loaded = w.fileLines();
        fileFileList_PathChange(f);
        QCOMPARE(w.fileLines(), loaded);
        QVERIFY(fileListUpToDate(f));
        {
            const QSignalBlocker quiet(f.chkSize);
            f.chkSize->setChecked(!f.chkSize->isChecked());
            QVERIFY(!fileListUpToDate(f));
            f.chkSize->setChecked(!f.chkSize->isChecked());
            QVERIFY(fileListUpToDate(f));
        }
        f.fileFileList->setPattern(QStringLiteral("a*"));
        QCOMPARE(f.fileFileList->count(), 1);
        QVERIFY(!fileListUpToDate(f));
        f.fileFileList->setPattern(QStringLiteral("*.*"));
        fileFileList_PathChange(f);
        // A new entry, with the folder's time set apart from the read's, whatever the clock.
        tree.file("c.txt", 3);
        const struct timespec times[2] = {{0, UTIME_OMIT}, {1000000000, 0}};
        QCOMPARE(::utimensat(AT_FDCWD, tree.path().constData(), times, 0), 0);
        QVERIFY(!fileListUpToDate(f));
        f.fileFileList->setPattern(QStringLiteral("c*")); // read again: the entries changed
        QCOMPARE(f.fileFileList->count(), 1);
        f.fileFileList->setPattern(QStringLiteral("*.*"));
        QCOMPARE(f.fileFileList->count(), 3);
        f.fileFileList->reread();
        fileFileList_PathChange(f);
        QVERIFY(fileListUpToDate(f));
        // A file that vanished after its name was read, the folder's time as it was: its boxes
        // come again with every build.
        listed(f, true, false);
        QVERIFY(w.boxes.boxes.isEmpty());
        QCOMPARE(::unlink(tree.at("b.txt").constData()), 0);
        const struct timespec same[2] = {{0, UTIME_OMIT}, f.fileFileList->stamp()};
        QCOMPARE(::utimensat(AT_FDCWD, tree.path().constData(), same, 0), 0);
        listed(f, true, false);
        QCOMPARE(w.boxes.boxes.size(), 1);
        QVERIFY(!fileListUpToDate(f));

        // The folder tree reads a folder once for itself and the file list: the files it met
        // are the file list's to take, once, and are not kept past the next pass of events.
        f.dirFolder->setPath(tree.path());
        const std::optional<FolderFiles> met = f.dirFolder->takeFiles();
        QVERIFY(met && met->path == tree.path());
        QCOMPARE(met->names.size(), size_t(2));
        QCOMPARE(met->names.name(1), "c.txt");
        QVERIFY(!f.dirFolder->takeFiles());
        f.dirFolder->setPath(tree.path());
        QCoreApplication::processEvents();
        QVERIFY(!f.dirFolder->takeFiles());
    }
};

QTEST_MAIN(TestCompleteFileList)
#include "tst_completefilelist.moc"
