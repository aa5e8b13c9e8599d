// The main window's load, the option check boxes with the recursive listing, and stopping a
// size scan with Esc or the stop command.
#include "listing/DriveList.h"
#include "scan/DirFolderView.h"
#include "scan/ScanCancellation.h"
#include "scan/ScanPump.h"
#include "shared/MainForm.h"
#include "support/TempTree.h"
#include "support/WindowFixture.h"

#include <QCheckBox>
#include <QAbstractItemView>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

class ScanOptionsTest : public QObject {
    Q_OBJECT
private slots:
    void init() { ScanPump::intervalMs = 0; }
    void cleanup() { ScanPump::intervalMs = 15; }
    void loadLeavesTheStartingState();
    void loadFailureIsReported();
    void recursiveListing();
    void columnOptionsAndAutoUpdate();
    void escStopsSizeScan();
    void escStopsRecursiveRefresh();
    void stopWithoutScanAndOtherKeys();
    void folderTreeOpensOnEnterOnly();
};

static QString str(const QByteArray &b) { return QString::fromUtf8(b); }

namespace {
void makeTree(const TempTree &t)
{
    t.mkdir("S/A/sub");
    t.mkdir("S/B");
    t.file("S/A/a1", 1536);
    t.file("S/A/MSCREATE.DIR", 10);
    t.file("S/A/sub/deep", 5);
    t.file("S/B/mscreate.dir", 20);
    t.file("S/own.txt", 100);
}

// Presses a key on the focused element from inside the next event pump.
void pressKeyInsideScan(WindowFixture &w, int key, bool *pressed)
{
    w.window->show();
    w.window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w.window.get()));
    w.f().lstFolders->setFocus();
    QTimer::singleShot(0, [key, pressed] {
        *pressed = true;
        QTest::keyClick(QApplication::focusWidget(), Qt::Key(key));
    });
}
}

void ScanOptionsTest::loadLeavesTheStartingState()
{
    TempTree t;
    makeTree(t);
    WindowFixture w(t.at("S"));
    MainForm &f = w.f();
    QCOMPARE(QList<QVariant>({f.cboPrinterFontSize->count(), f.cboPrinterFontSize->itemText(26),
                              f.cboPrinterFontSize->currentText(), f.PrinterFontSize}),
             QList<QVariant>({27, " 30", " 10", 10}));
    QCOMPARE(QList<QVariant>({f.cboIndent->count(), f.cboIndent->itemText(3), f.cboIndent->currentText(), f.Indentation}),
             QList<QVariant>({4, "25 Characters", "Indentation", 0}));
    QCOMPARE(QStringList({f.cboFileTypes->currentText(), f.txtTitle->text(), f.txtMyFilePath->text()}),
             QStringList({"*.*", "LISTWRIGHT", str(t.at("S"))}));
    QCOMPARE(w.folderLines(), QStringList({str(t.at("S/A")), str(t.at("S/B"))}));
    QCOMPARE(w.fileLines().size(), 1);
    QCOMPARE(f.CurrentDrive, f.drvDrive->currentText());
    QCOMPARE(f.cboPrinter->view()->minimumWidth(), 300); // opened lists only; the boxes keep their width
    QCOMPARE(f.cboPrinterFonts->view()->minimumWidth(), 200);
    QVERIFY(!isChecked(f.chkFolderSize) && !isChecked(f.chkRecursive));
    QVERIFY(isChecked(f.chkSize) && isChecked(f.chkModified) && isChecked(f.chkPrintDir) && isChecked(f.chkAutoUpdate));
    QVERIFY(w.boxes.boxes.isEmpty());

    const QColor darkBlue(0, 0, 192);
    const auto labels = f.window->findChildren<QLabel *>();
    QCOMPARE(labels.size(), 14);
    for (QLabel *l : labels)
        QCOMPARE(l->palette().color(QPalette::WindowText), darkBlue);
    for (QCheckBox *c : f.window->findChildren<QCheckBox *>())
        QCOMPARE(c->palette().color(QPalette::WindowText), darkBlue);
    QCOMPARE(f.txtTitle->palette().color(QPalette::Text), darkBlue);
    QCOMPARE(f.txtMyFilePath->palette().color(QPalette::Text), QColor(Qt::black));
    QVERIFY(f.cmdExit->palette().color(QPalette::ButtonText) != darkBlue);
}

void ScanOptionsTest::loadFailureIsReported()
{
    TempTree t;
    WindowFixture w(t.path(), false);
    const bool loaded = w.window->load([](int step) {
        if (step == 6)
            throw std::runtime_error("Out of memory");
    });
    QVERIFY(!loaded);
    QCOMPARE(w.boxes.titles(), QStringList({"Listwright - Error loading program"}));
    QCOMPARE(w.boxes.boxes[0].text, QStringLiteral("Out of memory"));
    QCOMPARE(w.f().txtTitle->text(), QString()); // later steps did not run
}

void ScanOptionsTest::recursiveListing()
{
    qputenv("TZ", "UTC");
    TempTree t;
    makeTree(t);
    WindowFixture w(t.at("S"));
    MainForm &f = w.f();
    f.chkModified->setChecked(false);
    f.chkRecursive->setChecked(true);

    QVERIFY(isChecked(f.chkRecursive) && isChecked(f.chkFolderSize));
    QCOMPARE(w.folderLines().size(), 2);
    QVERIFY(w.folderLines()[0].endsWith(QStringLiteral("1.51 KB")));
    QVERIFY(w.folderLines()[1].endsWith(QStringLiteral("20    B ")));
    const QString s = str(t.at("S")) + '/';
    // Walk order: each subfolder tree depth first, files of a folder in name order;
    // "MSCREATE.DIR" is counted but listed only in another letter case.
    QCOMPARE(w.fileLines(), QStringList({s + "A/a1 1.50 KB", s + "A/sub/deep 5    B ", s + "B/mscreate.dir 20    B ",
                                         s + "own.txt  100    B "}));
    QCOMPARE(f.FolderTotalBytes, 1536 + 10 + 5 + 20 + 100);
    QCOMPARE(f.txtParentFolder->text(), s + "*.*  1.63 KB");

    // Another folder while recursive: nothing of the previous folder stays.
    w.open(t.at("S/A"));
    QCOMPARE(w.fileLines(), QStringList({s + "A/sub/deep 5    B ", s + "A/a1" + QString(14, ' ') + "1.50 KB", s + "A/MSCREATE.DIR   10    B "}));

    // Unchecking lists the folder alone again.
    f.chkRecursive->setChecked(false);
    QCOMPARE(w.fileLines(), QStringList({"a1" + QString(14, ' ') + "1.50 KB", "MSCREATE.DIR   10    B "}));
    QVERIFY(isChecked(f.chkFolderSize));
    QVERIFY(w.boxes.boxes.isEmpty());
}

void ScanOptionsTest::columnOptionsAndAutoUpdate()
{
    TempTree t;
    makeTree(t);
    WindowFixture w(t.at("S"));
    MainForm &f = w.f();
    f.window->setWindowTitle(QStringLiteral("untouched"));
    f.chkSize->setChecked(false);
    f.chkModified->setChecked(false);
    QCOMPARE(w.fileLines(), QStringList({"own.txt"}));
    f.chkSize->setChecked(true);
    QCOMPARE(w.fileLines(), QStringList({"own.txt  100    B "}));
    QCOMPARE(f.window->windowTitle(), QStringLiteral("untouched")); // no folder scan ran

    f.txtMyFilePath->setText(QStringLiteral("elsewhere"));
    f.chkAutoUpdate->setChecked(false);
    QCOMPARE(f.txtMyFilePath->text(), str(t.at("S")));
    f.txtMyFilePath->setText(QStringLiteral("elsewhere"));
    w.open(t.at("S/A"));
    QCOMPARE(f.txtMyFilePath->text(), QStringLiteral("elsewhere")); // no longer follows
    f.chkAutoUpdate->setChecked(true);
    QCOMPARE(f.txtMyFilePath->text(), str(t.at("S/A")));
}

void ScanOptionsTest::escStopsSizeScan()
{
    TempTree t;
    t.wide("W", 6, 30);
    WindowFixture w(t.at("W"));
    bool pressed = false;
    pressKeyInsideScan(w, Qt::Key_Escape, &pressed);
    w.f().chkFolderSize->setChecked(true);
    QVERIFY(pressed);
    QCOMPARE(w.boxes.titles(), QStringList({"Listwright - STOP SIZE SCAN"}));
    QCOMPARE(w.boxes.boxes[0].text, QStringLiteral("Size Scan has been stopped."));
    QVERIFY(!isChecked(w.f().chkFolderSize));
    QCOMPARE(w.folderLines().last(), str(t.at("W/d5"))); // all six, bare paths
    QCOMPARE(w.f().txtParentFolder->text(), str(t.at("W")) + "/*.*");
    QCOMPARE(w.f().window->windowTitle(), QStringLiteral("Listwright"));
    QCOMPARE(w.f().window->cursor().shape(), Qt::ArrowCursor);
    QVERIFY(!w.f().StopScan);
}

void ScanOptionsTest::escStopsRecursiveRefresh()
{
    TempTree t;
    t.wide("W", 4, 30);
    WindowFixture w(t.at("W"));
    w.f().chkModified->setChecked(false);
    bool pressed = false;
    pressKeyInsideScan(w, Qt::Key_Escape, &pressed);
    w.f().chkRecursive->setChecked(true);
    QVERIFY(pressed);
    QCOMPARE(w.boxes.titles(), QStringList({"Listwright - STOP SIZE SCAN"}));
    // The recursive scan ended early; the refresh then switched sizes on again and ran a
    // complete folder scan with sizes.
    QVERIFY(isChecked(w.f().chkFolderSize));
    QCOMPARE(w.folderLines().size(), 4);
    QVERIFY(w.folderLines()[3].endsWith(QStringLiteral("30    B ")));
    QVERIFY(w.fileLines().size() < 4 * 30);
    QCOMPARE(w.f().window->windowTitle(), QStringLiteral("Listwright"));
}

void ScanOptionsTest::stopWithoutScanAndOtherKeys()
{
    TempTree t;
    makeTree(t);
    WindowFixture w(t.at("S"));
    w.window->show();
    QVERIFY(QTest::qWaitForWindowActive(w.window.get()));
    w.f().lstFolders->setFocus();
    for (auto mods : {Qt::NoModifier, Qt::ShiftModifier, Qt::ControlModifier, Qt::AltModifier}) {
        QTest::keyClick(w.f().lstFolders, Qt::Key_Q, mods);
        QTest::keyClick(w.f().lstFolders, Qt::Key_F5, mods);
    }
    QVERIFY(w.boxes.boxes.isEmpty());
    // Esc with no scan running: the box, the list without sizes, and the request is dropped.
    w.f().chkFolderSize->setChecked(true);
    QTest::keyClick(w.f().lstFolders, Qt::Key_Escape, Qt::ShiftModifier);
    QCOMPARE(w.boxes.titles(), QStringList({"Listwright - STOP SIZE SCAN"}));
    QVERIFY(!isChecked(w.f().chkFolderSize));
    QCOMPARE(w.folderLines()[0], str(t.at("S/A")));
    // So the next size scan runs to its end.
    w.f().chkFolderSize->setChecked(true);
    QVERIFY(w.folderLines()[1].endsWith(QStringLiteral("20    B ")));
    QCOMPARE(w.f().window->windowTitle(), QStringLiteral("Listwright"));
}

void ScanOptionsTest::folderTreeOpensOnEnterOnly()
{
    TempTree t;
    makeTree(t);
    WindowFixture w(t.at("S"));
    w.window->show();
    QVERIFY(QTest::qWaitForWindowActive(w.window.get()));
    w.f().dirFolder->setFocus();
    QTest::keyClick(w.f().dirFolder, Qt::Key_Down); // onto A: highlighted only
    QCOMPARE(w.f().CurrentFolderPath, str(t.at("S")) + '/');
    QTest::keyClick(w.f().dirFolder, Qt::Key_Return);
    QCOMPARE(w.f().CurrentFolderPath, str(t.at("S/A")) + '/');
    QCOMPARE(w.folderLines(), QStringList({str(t.at("S/A/sub"))}));
}

QTEST_MAIN(ScanOptionsTest)
#include "tst_scanoptions.moc"
