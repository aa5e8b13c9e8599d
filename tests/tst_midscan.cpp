// SPDX-License-Identifier: GPL-3.0-or-later
// Whatever the user does while a scan runs, the window ends as a fresh window that made the same
// choices one after the other: each action is injected at an early, a middle and a late event
// pump of a folder size scan and of the recursive refresh, and the lists, totals, parent folder
// line, boxes, caption and pointer are compared with a fresh window's. Some of them again with
// every file-system call of the window passing the events while it waits, as on a share that
// answers slowly.
#include "core/output/ScanFileWriter.h"
#include "core/scan/CallWait.h"
#include "core/scan/QuietRead.h"
#include "core/scan/tree/ScanTreeSink.h"
#include "core/shared/QuietWork.h"
#include "window/listing/DriveList.h"
#include "window/scan/DirFolderView.h"
#include "window/shared/MainForm.h"
#include "window/shell/ViewMenu.h"
#include "support/PumpCounter.h"
#include "support/TempTree.h"
#include "support/WindowFixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QMainWindow>
#include <QPushButton>
#include <QScopeGuard>
#include <QSet>
#include <QtTest>
#include <memory>

namespace {
// Everything the user sees of the listing, and what save and print read, as one list of texts.
QStringList stateOf(WindowFixture &w, const QStringList &fileLines)
{
    MainForm &f = w.f();
    QStringList s = w.folderLines() + QStringList{"--"} + fileLines;
    s << f.txtParentFolder->text() << QString::number(f.FolderTotalBytes) << QString::number(f.FileListTotalBytes)
      << f.FileListTotalText << f.CurrentFolderPath << f.txtMyFilePath->text() << f.window->windowTitle()
      << QString::number(f.window->cursor().shape());
    for (QCheckBox *box : {f.chkFolderSize, f.chkRecursive, f.chkSize, f.chkModified, f.chkAutoUpdate, f.chkPrintDir})
        s << box->objectName() + (box->isChecked() ? "=1" : "=0");
    return s;
}

// Five subfolders of six files (two of them one more, bigger), the folder's own files, and a second folder (also a second
// "drive") to go to.
void makeTree(const TempTree &t)
{
    t.wide("S", 5, 6);
    t.mkdir("O/P");
    t.file("S/own.txt", 300);
    t.file("S/own.dat", 5000);
    t.file("S/d1/big", 4000); // an order by size that is not name order
    t.file("S/d3/big", 900);
    t.file("O/P/p.txt", 42);
    // A scan of O beside them, to open or compare with.
    QuietRead listener;
    ScanTree scanned;
    buildScanTree(t.at("O"), listener, scanned);
    QFile out(QString::fromUtf8(t.at("O.json")));
    QVERIFY(out.open(QIODevice::WriteOnly));
    writeScanTree(scanned, [&out](QByteArrayView block) { out.write(block.data(), block.size()); });
}

// With no workers the subfolders are counted on the window thread, with a pump at every entry:
// the same pumps in every run. With workers there is a pump at least after every subfolder.
std::unique_ptr<WindowFixture> newWindow(const TempTree &t, int workers = 0)
{
    auto w = std::make_unique<WindowFixture>(t.at("S"));
    showViewChoices(w->f(), {}); // whatever an earlier window remembered
    w->window->scans().options = ScanOptions{0, workers};
    {
        const QSignalBlocker quiet(w->f().drvDrive);
        w->f().drvDrive->setDrives({QString::fromUtf8(t.at("S")), QString::fromUtf8(t.at("O"))});
    }
    w->window->show();
    w->window->activateWindow();
    if (!QTest::qWaitForWindowActive(w->window.get()))
        qWarning("the window did not become active");
    return w;
}

// The scan that runs, started the way the user starts it.
enum class Scan { FolderSizes, Recursive };
void startScan(WindowFixture &w, Scan scan)
{
    (scan == Scan::FolderSizes ? w.f().chkFolderSize : w.f().chkRecursive)->setChecked(true);
}

// One user action. Run in the middle of a scan it answers what the same choice is for a window
// where nothing runs, to be replayed there once the scan has ended.
using Replay = std::function<void(WindowFixture &)>;
using Action = std::function<Replay(WindowFixture &, const TempTree &)>;

Action toggle(QCheckBox *MainForm::*box)
{
    return [box](WindowFixture &w, const TempTree &) -> Replay {
        const bool value = !(w.f().*box)->isChecked();
        (w.f().*box)->setChecked(value);
        return [box, value](WindowFixture &fresh) { (fresh.f().*box)->setChecked(value); };
    };
}

Action same(const std::function<void(WindowFixture &, const TempTree &)> &act)
{
    return [act](WindowFixture &w, const TempTree &t) -> Replay {
        act(w, t);
        return [act, &t](WindowFixture &fresh) { act(fresh, t); };
    };
}

// A change on disk: the fresh window is made after it, so it needs no replay.
Action onDisk(const std::function<void(const TempTree &)> &change)
{
    return [change](WindowFixture &, const TempTree &t) -> Replay {
        change(t);
        return [](WindowFixture &) {};
    };
}

} // namespace

class MidScanTest : public QObject {
    Q_OBJECT
private slots:
    void actionDuringScan_data();
    void actionDuringScan();
};

void MidScanTest::actionDuringScan_data()
{
    QTest::addColumn<int>("scan");
    QTest::addColumn<int>("workers");
    QTest::addColumn<QString>("action");
    QTest::addColumn<int>("point"); // 0 early, 1 middle, 2 late, 3 right after the last subfolder
    QTest::addColumn<bool>("slowCalls");
    const QStringList actions = {"chkFolderSize", "chkRecursive", "chkSize", "chkModified", "chkAutoUpdate",
                                 "chkPrintDir", "change sort", "pattern", "drive", "other folder", "same folder", "Esc",
                                 "Save", "Print", "Exit", "subfolder removed", "subfolder added",
                                 "start folder removed", "open scan", "compare scan"};
    for (int workers : {0, 2})
        for (int scan : {int(Scan::FolderSizes), int(Scan::Recursive)}) {
            const char *scanName = scan ? "recursive" : "folder sizes";
            const char *counted = workers ? ", two workers" : "";
            for (const QString &action : actions)
                for (int point : {0, 1, 2})
                    QTest::addRow("%s%s, %s, %s", scanName, counted, qPrintable(action),
                                  point == 0 ? "early" : point == 1 ? "middle" : "late")
                        << scan << workers << action << point << false;
            // Right after the last subfolder, when nothing is read any more but the own files.
            QTest::addRow("%s%s, start folder removed, after the subfolders", scanName, counted)
                << scan << workers << QStringLiteral("start folder removed") << 3 << false;
        }
    // A user action then often comes while the window waits for the file system: it is held, and
    // carried out when that wait is over, never inside another.
    for (int scan : {int(Scan::FolderSizes), int(Scan::Recursive)})
        for (const char *action : {"chkFolderSize", "chkRecursive", "chkSize", "pattern", "drive", "other folder",
                                   "same folder", "subfolder added"})
            for (int point : {0, 2})
                QTest::addRow("%s, %s, %s, slow calls", scan ? "recursive" : "folder sizes", action,
                              point == 0 ? "early" : "late")
                    << scan << 0 << QString::fromLatin1(action) << point << true;
}

void MidScanTest::actionDuringScan()
{
    QFETCH(int, scan);
    QFETCH(int, workers);
    QFETCH(QString, action);
    QFETCH(int, point);
    QFETCH(bool, slowCalls);
    // Every wait passes the events, or (however loaded the machine) none does: the pumps come
    // at the same points of the scan in every run, so "late" is late in each.
    CallWait::setAtOnceMs(slowCalls ? 0 : 60000);
    const auto restore = qScopeGuard([] { CallWait::setAtOnceMs(10); });
    const QHash<QString, Action> actions = {
        {"chkFolderSize", toggle(&MainForm::chkFolderSize)},
        {"chkRecursive", toggle(&MainForm::chkRecursive)},
        {"chkSize", toggle(&MainForm::chkSize)},
        {"chkModified", toggle(&MainForm::chkModified)},
        {"chkAutoUpdate", toggle(&MainForm::chkAutoUpdate)},
        {"chkPrintDir", toggle(&MainForm::chkPrintDir)},
        {"change sort", same([](WindowFixture &w, const TempTree &) { w.f().mnuSortFoldersSize->trigger(), w.f().mnuSortFilesSize->trigger(); })},
        {"pattern", same([](WindowFixture &w, const TempTree &) { // every keystroke runs the handler
             w.f().cboFileTypes->lineEdit()->selectAll();
             QTest::keyClicks(w.f().cboFileTypes->lineEdit(), QStringLiteral("*.txt"));
         })},
        {"drive", same([](WindowFixture &w, const TempTree &) { w.f().drvDrive->setCurrentIndex(1); })},
        {"other folder", same([](WindowFixture &w, const TempTree &t) { // held during a wait, as a choice in the tree is
             const QByteArray other = t.at("O");
             QuietWork::handle(w.f().dirFolder, [&w, other] { w.open(other); });
         })},
        {"same folder", same([](WindowFixture &w, const TempTree &) { QTest::keyClick(w.f().dirFolder, Qt::Key_Return); })},
        {"Esc", same([](WindowFixture &w, const TempTree &) { QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape); })},
        {"Save", same([](WindowFixture &w, const TempTree &) { w.f().cmdSaveToFile->click(); })},
        {"Print", same([](WindowFixture &w, const TempTree &) { w.f().cmdPrint->click(); })},
        {"Exit", same([point](WindowFixture &w, const TempTree &) { // the button, File > Exit, the title bar
             point == 0 ? w.f().cmdExit->click() : point == 1 ? w.f().mnuExit->trigger() : void(w.f().window->close());
         })},
        {"open scan", same([](WindowFixture &w, const TempTree &t) {
             w.f().scanFileDialog = [file = QString::fromUtf8(t.at("O.json"))](const QString &, bool) { return file; };
             w.f().mnuOpenScan->trigger();
         })},
        {"compare scan", same([](WindowFixture &w, const TempTree &t) { // the folder is scanned anew, then compared
             w.f().scanFileDialog = [file = QString::fromUtf8(t.at("O.json"))](const QString &, bool) { return file; };
             w.f().mnuCompareScan->trigger();
         })},
        {"subfolder removed", onDisk([](const TempTree &t) { QVERIFY(QDir(QString::fromUtf8(t.at("S/d2"))).removeRecursively()); })},
        {"start folder removed", onDisk([](const TempTree &t) { QVERIFY(QDir(QString::fromUtf8(t.at("S"))).removeRecursively()); })},
        {"subfolder added", onDisk([](const TempTree &t) { t.mkdir("S/BB/new"); t.file("S/BB/new/n.txt", 777); })},
    };

    // On the window thread: how many pumps the scan makes when nothing interrupts it.
    static QHash<int, long long> pumpsOf;
    const int kind = scan + (slowCalls ? 2 : 0);
    if (!workers && !pumpsOf.contains(kind)) {
        TempTree quiet;
        makeTree(quiet);
        auto w = newWindow(quiet);
        PumpCounter counter;
        startScan(*w, Scan(scan));
        pumpsOf[kind] = counter.pumps();
    }
    const long long pumps = pumpsOf.value(kind);
    QVERIFY(workers || pumps > 10);
    // The waits' passes are not quite the same from run to run (quiet work passes the events
    // by the clock), so late is four fifths of the way: a run faster than the quiet one has
    // fewer pumps, and the very last may never come.
    const long long at = point == 0 ? 1 : point == 1 ? pumps / 2 : pumps * 4 / 5;
    // With workers, the pumps come as the trees do: the action comes at the first pump, or at the
    // first after the second, the fourth or the last of the five subfolders was shown (one caption
    // dot each). Right after the last subfolder is found so in every run: a count of pumps would
    // take in the passes of the work after the scan, which go by the clock, and land there.
    const int shown = point == 0 ? 0 : point == 1 ? 2 : point == 2 ? 4 : 5;
    const bool byDots = workers || point == 3;
    const auto dots = [](const QString &caption) {
        qsizetype n = 0;
        while (n < caption.size() && caption[caption.size() - 1 - n] == QLatin1Char('.'))
            ++n;
        return n;
    };

    // The action, from inside the scan's event pump number `at`.
    TempTree t;
    makeTree(t);
    auto w = newWindow(t, workers);
    w->f().lstFolders->setFocus();
    Replay replay;
    QStringList afterAction;
    long long pumped = 0;
    QTimer inject; // fires once at every pump, as PumpCounter does
    QObject::connect(&inject, &QTimer::timeout, [&] {
        const bool due = byDots ? dots(w->f().window->windowTitle()) >= shown : ++pumped >= at;
        if (!replay && due) {
            replay = actions[action](*w, t);
            afterAction = w->folderLines();
        }
    });
    inject.start(0);
    startScan(*w, Scan(scan));
    inject.stop();
    QVERIFY2(replay, "the action ran inside the scan");
    QCoreApplication::processEvents(); // what the scan's last wait held

    // A folder removed while it is read is reported once, by its own path: never a box for each
    // of its files, nor again when the changed folder is read afresh. On the window's thread the
    // removal falls between two entries of the walk. Workers may meet the folder half removed
    // and report what they found gone at that moment (a file, a subfolder): still each path
    // once, all of them inside the removed folder.
    const QString gone = QString::fromUtf8(t.at(action == "subfolder removed" ? "S/d2" : "S"));
    if (action.endsWith("removed") && !w->boxes.boxes.isEmpty()) {
        const QList<ScriptedMessageBoxes::Box> &boxes = w->boxes.boxes;
        QVERIFY2(workers ? boxes.size() % 2 == 0 : boxes.size() == 2, qPrintable(w->boxes.titles().join(u'|')));
        QSet<QString> named;
        for (qsizetype i = 0; i + 1 < boxes.size(); i += 2) {
            QCOMPARE(boxes[i].title, QStringLiteral("Listwright Error"));
            QCOMPARE(boxes[i + 1].title, QStringLiteral("Problem Found?"));
            QCOMPARE(boxes[i].text, QStringLiteral("Error Description: No such file or directory"));
            // A file is named with the folder that held it.
            QString path = boxes[i + 1].text.section(QStringLiteral(" is: "), -1);
            if (!path.startsWith(u'/'))
                path = boxes[i + 1].text.section(QStringLiteral(" is: "), 1, 1).section(QStringLiteral(" Current File"), 0, 0) + u'/' + path;
            QVERIFY2(path == gone || path.startsWith(gone + '/'), qPrintable(boxes[i + 1].text));
            QVERIFY2(!named.contains(path), qPrintable(path));
            named.insert(path);
        }
    }
    // Gone before it was read (reported, so that the short total is never silent), or after.
    // Workers may be reading it at any point.
    if (action == "subfolder removed" && point != 1 && !workers)
        QCOMPARE(w->boxes.boxes.size(), point == 0 ? 2 : 0);
    if (action == "start folder removed") { // the folder's report last, and the window is idle
        QVERIFY(!w->boxes.boxes.isEmpty());
        QVERIFY2(w->boxes.boxes.last().text.endsWith(" is: " + gone), qPrintable(w->boxes.boxes.last().text));
        QCOMPARE(w->f().window->windowTitle(), QStringLiteral("Listwright"));
        QCOMPARE(w->f().window->cursor().shape(), Qt::ArrowCursor);
        return;
    }
    if (action == "Exit") { // the scan ended with the window, touching nothing more
        QVERIFY(w->window->scans().closing() && !w->window->isVisible());
        QCOMPARE(w->folderLines(), afterAction);
        return;
    }

    // The same choices made one after the other in a fresh window.
    auto fresh = newWindow(t);
    startScan(*fresh, Scan(scan));
    if (action == "Esc") {
        QCOMPARE(w->boxes.titles().first(), QStringLiteral("Listwright - STOP SIZE SCAN"));
        if (Scan(scan) == Scan::Recursive) {
            // Stopped in the recursive file scan (the folder list then takes over its sizes
            // and never pumps): its lines so far stay, the folder list is counted again with
            // sizes, and the folder's own files follow.
            const QStringList got = w->fileLines(), want = fresh->fileLines();
            const qsizetype own = 2, kept = got.size() - own;
            QVERIFY(kept <= want.size() - own);
            QCOMPARE(got.mid(kept), want.mid(want.size() - own));
            QCOMPARE(got.first(kept), want.first(kept));
            QCOMPARE(stateOf(*w, {}), stateOf(*fresh, {}));
            return;
        }
        // Stopped in a folder size scan: the folders are listed without sizes.
        fresh->f().chkFolderSize->setChecked(false);
    } else {
        replay(*fresh);
    }
    QCOMPARE(stateOf(*w, w->fileLines()), stateOf(*fresh, fresh->fileLines()));
    QCOMPARE(w->f().window->windowTitle(), QStringLiteral("Listwright"));
}

QTEST_MAIN(MidScanTest)
#include "tst_midscan.moc"
