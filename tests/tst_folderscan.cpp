// SPDX-License-Identifier: GPL-3.0-or-later
// The folder scans through the real window (what they count is tested without one, in
// tst_scanengine): its lines, totals and parent folder line, its boxes for a problem, names
// that would break a line, the recursive listing's columns, and the stop command's keys.
#include "core/scan/CallWait.h"
#include "core/scan/tree/ScanTree.h"
#include "window/scan/DirFolderView.h"
#include "window/scan/ScanSteps.h"
#include "window/shared/MainForm.h"
#include "window/shared/QtMessageBoxes.h"
#include "support/TempTree.h"
#include "support/WindowFixture.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QMainWindow>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QtTest>

class FolderScanTest : public QObject {
    Q_OBJECT
private slots:
    void linesTotalsAndParentLine();
    void namesThatBreakOrReorderALine();
    void goneFolderIsReportedOnce();
    void closeDuringBoxes();
    void recursiveListingAndColumns();
    void stopWithoutScanAndOtherKeys();
};

static QString str(const QByteArray &b) { return QString::fromUtf8(b); }

void FolderScanTest::linesTotalsAndParentLine()
{
    // The window shows the scan's lines and keeps its totals: the heading is the sum of the
    // lines, the parent folder line's size adds the folder's own files, hidden ones too.
    TempTree t;
    t.mkdir("S/A");
    t.mkdir("S/huge");
    t.file("S/A/one", 1536);
    t.file("S/huge/b", 10'000'000'000LL);
    t.file("S/.own-hidden", 24);
    WindowFixture w(t.path());
    w.open(t.at("S"));
    w.f().chkFolderSize->setChecked(true);
    const QString huge = str(t.at("S/huge"));
    QCOMPARE(w.folderLines(), QStringList({str(t.at("S/A")).leftJustified(huge.size() + 4) + "1.50 KB", huge + "  9.31 GB"}));
    QCOMPARE(w.f().FolderLinesBytes, 10'000'001'536LL);
    QCOMPARE(w.f().FolderTotalBytes, 10'000'001'560LL);
    QCOMPARE(w.f().txtParentFolder->text(), str(t.at("S")) + "/*.*  9.31 GB");
    // The sizes are those of the scan tree the count kept, which holds the folder's files too.
    const std::shared_ptr<const ScanTree> tree = w.f().ScannedTree;
    QVERIFY(tree);
    QCOMPARE(tree->path(0), t.at("S"));
    QCOMPARE(tree->totals(tree->find("huge")).bytes, 10'000'000'000LL);
    QCOMPARE(tree->totals(0).bytes, w.f().FolderTotalBytes);
    // So does the recursive refresh, whose file lines are rows of its tree, and the folder list
    // that takes its sizes over keeps it.
    w.f().chkRecursive->setChecked(true);
    QVERIFY(w.f().ScannedTree && w.f().ScannedTree != tree && w.f().ScannedTree->totals(0).bytes == w.f().FolderTotalBytes);
    QCOMPARE(w.f().lstBigFileList->lines().mid(0, 2), QStringList({str(t.at("S/A/one")) + " 1.50 KB", str(t.at("S/huge/b")) + " 9.31 GB"}));
    w.f().chkRecursive->setChecked(false);

    // Switching sizes off forgets the total; the root keeps its single "/".
    w.f().chkFolderSize->setChecked(false);
    QCOMPARE(w.folderLines(), QStringList({str(t.at("S/A")), huge}));
    QCOMPARE(w.f().txtParentFolder->text(), str(t.at("S")) + "/*.*");
    QVERIFY(!w.f().ScannedTree); // nor is a scan tree kept that no list shows
    w.open("/");
    QCOMPARE(w.f().txtParentFolder->text(), QStringLiteral("/*.*"));
    QVERIFY(w.boxes.boxes.isEmpty());

    // The caption grows by a dot per subfolder and starts again at 100 characters.
    QCOMPARE(advancedCaption(ScanningCaption.leftJustified(99, u'.')).size(), 100);
    QCOMPARE(advancedCaption(ScanningCaption.leftJustified(100, u'.')), QStringLiteral("Listwright - Scanning ."));
    // Many steps at once (a pump after many small trees) end where as many single steps do.
    for (const int64_t steps : {int64_t(1), int64_t(54), int64_t(55), int64_t(56), int64_t(133), int64_t(20000)}) {
        QString one = ScanningCaption;
        for (int64_t k = 0; k < steps; ++k)
            one = advancedCaption(one);
        QCOMPARE(advancedCaption(ScanningCaption, steps), one);
    }
}

void FolderScanTest::namesThatBreakOrReorderALine()
{
    // Names with a next line (U+0085), a line separator, a right-to-left override, an isolate and
    // an Arabic letter mark: every place that shows or writes them shows "?" instead, and the
    // files are still counted through their real names.
    TempTree t;
    t.mkdir("S/bi\xe2\x80\xae" "da"); // U+202E
    t.file("S/bi\xe2\x80\xae" "da/re\xe2\x80\xa8port.txt", 2048);  // U+2028
    t.file("S/report\xe2\x80\xae" "fdp.exe", 1024);
    t.file("S/n\xc2\x85l", 1);                      // U+0085
    t.file("S/is\xe2\x81\xa6o\xd8\x9c", 1);          // U+2066, U+061C
    WindowFixture w(t.at("S"));
    MainForm &f = w.f();
    f.chkRecursive->setChecked(true);
    const QString s = str(t.at("S")) + '/';
    QCOMPARE(w.folderLines(), QStringList({s + "bi?da    2.00 KB"}));
    QCOMPARE(w.fileLines().first(), s + "bi?da/re?port.txt 2.00 KB");
    QVERIFY(w.fileLines().filter(QRegularExpression("^" + QRegularExpression::escape(s) + "report\\?fdp\\.exe 1024    B ")).size() == 1);
    QCOMPARE(f.FolderTotalBytes, 2048 + 1024 + 2);

    // Printed and saved as they show.
    f.cmdPrint->click();
    QCOMPARE(w.printer.documents.size(), 1);
    QCOMPARE(w.printer.documents[0].filter("report?fdp.exe").size(), 1);
    f.cmdSaveToFile->click();
    QFile saved(QFile::decodeName(t.at("S/LISTWRIGHT.txt")));
    QVERIFY(saved.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(saved.readAll());
    QCOMPARE(text.count("report?fdp.exe"), 1);
    const QRegularExpression hidden("[\\x{0}-\\x{9}\\x{b}-\\x{c}\\x{e}-\\x{1f}\\x{7f}-\\x{9f}\\x{2028}\\x{2029}\\x{202a}-\\x{202e}"
                                    "\\x{2066}-\\x{2069}\\x{200e}\\x{200f}\\x{61c}]");
    QStringList shown = w.folderLines() + w.fileLines() + w.printer.documents[0];
    shown << f.txtParentFolder->text() << f.txtMyFilePath->text() << text;
    for (const ScriptedMessageBoxes::Box &box : w.boxes.boxes)
        shown << box.text;
    for (const QString &line : shown)
        QVERIFY2(!line.contains(hidden), qPrintable(line));
}

void FolderScanTest::goneFolderIsReportedOnce()
{
    // A file removed at the scan's first pump, before it was counted: its box names the folder
    // that held it.
    TempTree t;
    t.wide("S", 3, 4);
    WindowFixture w(t.at("S"));
    w.window->scans().options = ScanOptions{0, 0};
    QTimer::singleShot(0, [&] { ::unlink(t.at("S/d0/f3").constData()); });
    w.f().chkFolderSize->setChecked(true);
    QCOMPARE(w.boxes.titles(), QStringList({"Listwright Error", "Problem Found?"}));
    QCOMPARE(w.boxes.boxes[1].text, "Current Folder Path  is: " + str(t.at("S/d0")) + " Current File is: f3");
    // The current folder was removed; then folder sizes are switched on again: one report
    // naming it, no box for each subfolder or file the window still shows, and the window idle.
    w.f().chkFolderSize->setChecked(false);
    w.boxes.clear();
    QVERIFY(QDir(str(t.at("S"))).removeRecursively());
    w.f().chkFolderSize->setChecked(true);
    QCOMPARE(w.boxes.titles(), QStringList({"Listwright Error", "Problem Found?"}));
    QVERIFY(w.boxes.boxes[1].text.endsWith(" is: " + str(t.at("S"))));
    QCOMPARE(w.f().window->windowTitle(), QStringLiteral("Listwright"));

    // A folder emptied while it is counted (rm -rf takes the names first) and gone by the time
    // the boxes come to the files it lost: the first file's box, then the folder's, once.
    TempTree u;
    u.wide("S", 2, 12);
    WindowFixture v(u.at("S"));
    v.window->scans().options = ScanOptions{0, 0};
    QTimer::singleShot(0, [&] {
        for (int i = 4; i < 12; ++i)
            ::unlink(u.at("S/d0/f" + QByteArray::number(i)).constData());
    });
    v.boxes.whileOpen = [&] { QDir(str(u.at("S/d0"))).removeRecursively(); };
    v.f().chkFolderSize->setChecked(true);
    QCOMPARE(v.boxes.titles(), QStringList({"Listwright Error", "Problem Found?", "Listwright Error", "Problem Found?"}));
    QVERIFY2(v.boxes.boxes[1].text.endsWith(str(u.at("S/d0")) + " Current File is: f10"), qPrintable(v.boxes.boxes[1].text));
    QVERIFY2(v.boxes.boxes[3].text.endsWith(" Current File is: " + str(u.at("S/d0"))), qPrintable(v.boxes.boxes[3].text));
}

void FolderScanTest::closeDuringBoxes()
{
    // The window manager's close of the window while one of a run of boxes is open (the real
    // boxes, which keep input to themselves): the program ends at once, from that box.
    TempTree t;
    t.wide("S", 2, 8);
    QtMessageBoxes boxes;
    RecordingPrinter printer;
    RecordingOpener opener;
    MainWindow w(boxes, printer, opener, t.at("S"));
    boxes.setParent(&w);
    QVERIFY(w.load());
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    w.scans().options = ScanOptions{0, 0};
    QList<QPointer<QMessageBox>> seen;
    qsizetype boxesWhenEnded = -1;
    CallWait::hooks.endProgram = [&] { boxesWhenEnded = seen.size(); };
    QTimer::singleShot(0, [&] {
        for (int i = 2; i < 8; ++i)
            ::unlink(t.at("S/d0/f" + QByteArray::number(i)).constData());
    });
    QElapsedTimer open;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        for (QWidget *top : QApplication::topLevelWidgets()) {
            auto *box = qobject_cast<QMessageBox *>(top);
            if (!box || !box->isVisible())
                continue;
            if (!seen.contains(box)) {
                seen.append(box), open.start();
                if (seen.size() == 1)
                    w.windowHandle()->close(); // as the window manager's close button does
            } else if (open.elapsed() > 300) {
                box->accept();
            }
        }
    });
    watch.start(20);
    w.form().chkFolderSize->setChecked(true);
    watch.stop();
    CallWait::hooks.endProgram = {};
    // Ended from the first box (the real program ends there: nothing after it runs).
    QCOMPARE(boxesWhenEnded, 1);
}

void FolderScanTest::recursiveListingAndColumns()
{
    TempTree t;
    t.mkdir("S/A/sub");
    t.mkdir("S/B");
    t.file("S/A/a1", 1536);
    t.file("S/A/MSCREATE.DIR", 10);
    t.file("S/A/sub/deep", 5);
    t.file("S/B/mscreate.dir", 20);
    t.file("S/own.txt", 100);
    WindowFixture w(t.at("S"));
    MainForm &f = w.f();
    f.chkModified->setChecked(false);
    f.chkRecursive->setChecked(true);

    // Folder sizes come on with it. Walk order: each subfolder tree depth first, files of a
    // folder in name order; "MSCREATE.DIR" is counted but listed only in another letter case.
    QVERIFY(isChecked(f.chkFolderSize));
    QVERIFY(w.folderLines()[0].endsWith(QStringLiteral("1.51 KB")) && w.folderLines()[1].endsWith("20    B "));
    const QString s = str(t.at("S")) + '/';
    QCOMPARE(w.fileLines(), QStringList({s + "A/a1 1.50 KB", s + "A/sub/deep 5    B ", s + "B/mscreate.dir 20    B ",
                                         s + "own.txt  100    B "}));
    QCOMPARE(f.txtParentFolder->text(), s + "*.*  1.63 KB");

    // Another folder while recursive: nothing of the previous folder stays.
    w.open(t.at("S/A"));
    QCOMPARE(w.fileLines(), QStringList({s + "A/sub/deep 5    B ", s + "A/a1" + QString(14, ' ') + "1.50 KB",
                                         s + "A/MSCREATE.DIR   10    B "}));
    // Unchecking lists the folder alone again; the columns follow their boxes without a
    // folder scan.
    f.chkRecursive->setChecked(false);
    f.window->setWindowTitle(QStringLiteral("untouched"));
    f.chkSize->setChecked(false);
    QCOMPARE(w.fileLines(), QStringList({"a1", "MSCREATE.DIR"}));
    QCOMPARE(f.window->windowTitle(), QStringLiteral("untouched"));

    // The save path follows the folder only while chkAutoUpdate is checked; toggling it copies.
    f.txtMyFilePath->setText(QStringLiteral("elsewhere"));
    f.chkAutoUpdate->setChecked(false);
    QCOMPARE(f.txtMyFilePath->text(), str(t.at("S/A")));
    f.txtMyFilePath->setText(QStringLiteral("elsewhere"));
    w.open(t.at("S"));
    QCOMPARE(f.txtMyFilePath->text(), QStringLiteral("elsewhere"));
    QVERIFY(w.boxes.boxes.isEmpty());
}

void FolderScanTest::stopWithoutScanAndOtherKeys()
{
    TempTree t;
    t.mkdir("S/A");
    t.file("S/A/x", 20);
    WindowFixture w(t.at("S"));
    w.window->show();
    QVERIFY(QTest::qWaitForWindowActive(w.window.get()));
    QWidget *list = w.f().lstFolders;
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Q, Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
    QVERIFY(w.boxes.boxes.isEmpty());
    // Esc with no scan running: the box, the list without sizes, and the request is dropped,
    // so the next size scan runs to its end.
    w.f().chkFolderSize->setChecked(true);
    QTest::keyClick(list, Qt::Key_Escape, Qt::ShiftModifier);
    QCOMPARE(w.boxes.titles(), QStringList({"Listwright - STOP SIZE SCAN"}));
    QCOMPARE(w.folderLines(), QStringList({str(t.at("S/A"))}));
    QVERIFY(!isChecked(w.f().chkFolderSize));
    w.f().chkFolderSize->setChecked(true);
    QVERIFY(w.folderLines()[0].endsWith(QStringLiteral("20    B ")));

    // The folder tree: moving only highlights, Enter opens.
    w.f().dirFolder->setFocus();
    QTest::keyClick(w.f().dirFolder, Qt::Key_Down);
    QCOMPARE(w.f().CurrentFolderPath, str(t.at("S")) + '/');
    QTest::keyClick(w.f().dirFolder, Qt::Key_Return);
    QCOMPARE(w.f().CurrentFolderPath, str(t.at("S/A")) + '/');
}

QTEST_MAIN(FolderScanTest)
#include "tst_folderscan.moc"
