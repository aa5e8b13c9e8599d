// The print command, the printer list and the printer fonts, over the recording printer.

#include "output/PrintConfirmation.h"
#include "output/PrintListing.h"
#include "output/PrintedListing.h"
#include "output/PrinterFonts.h"
#include "output/PrinterList.h"
#include "scan/DirFolderView.h"
#include "shared/TextList.h"
#include "shared/WebOpener.h"
#include "shell/MainWindow.h"
#include "support/RecordingPrinter.h"
#include "support/ScriptedMessageBoxes.h"
#include "support/TempTree.h"

#include <QAbstractItemView>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace {
using Printer = RecordingPrinter::Printer;

// A printed line as "<size>[B] ><indent>|<text>", B for heading emphasis.
QStringList shown(const QList<RecordingPrinter::Line> &lines)
{
    QStringList out;
    for (const auto &l : lines)
        out << QStringLiteral("%1%2 >%3|%4").arg(l.size).arg(l.emphasis ? "B" : "").arg(l.indent).arg(l.text);
    return out;
}

QStringList page(const ListingSnapshot &s, int size)
{
    RecordingPrinter p;
    printSteps(printedListing(s, size), p);
    return shown(p.lines);
}

ListingSnapshot example()
{
    ListingSnapshot s;
    s.title = QStringLiteral("LISTWRIGHT");
    s.parentFolderLine = QStringLiteral("/data/*.*  3.00 KB");
    s.folderLines = {QStringLiteral("/data/a  1.00 KB"), QStringLiteral("/data/b  1.00 KB")};
    s.fileLines = {QStringLiteral("x.txt  1.00 KB")};
    s.includeFolders = s.folderSizes = s.fileSizes = true;
    s.currentFolderPath = QStringLiteral("/data/");
    s.folderTotalBytes = 3072;
    s.fileListTotalBytes = 1024;
    s.fileListTotalText = QStringLiteral("1.00 KB");
    s.indentation = 5;
    return s;
}

// A main window over the recording printer, with its printer and size lists filled.
struct Window {
    explicit Window(const QList<Printer> &installed, int current = 0)
    {
        printer.installed = installed;
        printer.current = current;
        w = std::make_unique<MainWindow>(boxes, printer, opener);
        fillFontSizeEntries(f().cboPrinterFontSize);
        f().cboPrinterFontSize->setCurrentIndex(6);
        cboPrinterFontSize_Click(f());
        CheckPrinters(f());
    }
    MainForm &f() { return w->form(); }

    // The listing as the test sets it, in `folder` (whose subfolders the folder tree counts).
    void show(const QByteArray &folder, const QStringList &folders, const QStringList &files, bool includeFolders)
    {
        f().chkFolderSize->setChecked(false);
        f().chkSize->setChecked(false);
        f().dirFolder->setPath(folder);
        f().chkPrintDir->setChecked(includeFolders);
        f().CurrentFolderPath = QString::fromUtf8(folder) + QLatin1Char('/');
        f().txtTitle->setText(QStringLiteral("LISTWRIGHT"));
        f().txtParentFolder->setText(QStringLiteral("parent line"));
        f().lstFolders->clear();
        for (const QString &l : folders)
            f().lstFolders->addItem(l);
        f().lstBigFileList->clear();
        for (const QString &l : files)
            f().lstBigFileList->addItem(l);
    }
    void pick(QComboBox *box, int index)
    {
        box->setCurrentIndex(index);
        emit box->activated(index);
    }

    ScriptedMessageBoxes boxes;
    RecordingPrinter printer;
    DesktopWebOpener opener;
    std::unique_ptr<MainWindow> w;
};

const QStringList courierFonts{QStringLiteral("Arial"), QStringLiteral("Courier"), QStringLiteral("Courier New")};
} // namespace

class TestPrinting : public QObject {
    Q_OBJECT
private slots:
    void confirmation();
    void pageContent();
    void printCommand();
    void printerFonts();
    void printerList();
};

void TestPrinting::confirmation()
{
    PrintConfirmationFacts facts{12, true, 3, QStringLiteral("Office"), QStringLiteral("Courier New"), 10, 5};
    QCOMPARE(printConfirmation(facts),
             QStringLiteral("Print: 12 items and 3 folders\rOn: Office\rPrinter Font: Courier New  10\rIndentation:  5"));
    facts.includeFolders = false;
    facts.indentation = 0;
    QCOMPARE(printConfirmation(facts), QStringLiteral("Print: 12 items\rOn: Office\rPrinter Font: Courier New  10"));
}

void TestPrinting::pageContent()
{
    ListingSnapshot s = example();
    QCOMPARE(page(s, 10), (QStringList{"20B >0|LISTWRIGHT", "20B >0|/data/*.*  3.00 KB", "10 >0|", "10 >0|",
                                       "10B >5|Folders: 2.00 KB", "10 >5|/data/a  1.00 KB", "10 >5|/data/b  1.00 KB",
                                       "10 >0|", "10B >5|Files: 1.00 KB", "10 >5|/data/x.txt  1.00 KB"}));

    // Title sizes; the body keeps the chosen size.
    for (auto [size, title] : {std::pair{4, 14}, {19, 29}, {20, 20}, {30, 30}}) {
        const QStringList p = page(s, size);
        QVERIFY(p.first().startsWith(QStringLiteral("%1B >0|").arg(title)));
        QVERIFY(p.last().startsWith(QStringLiteral("%1 >5|").arg(size)));
    }

    // Without folders, no folder section: two empty lines, unprefixed files; empty title.
    s.includeFolders = false;
    s.fileSizes = false;
    s.title.clear();
    QCOMPARE(page(s, 10), (QStringList{"20B >0|/data/*.*  3.00 KB", "10 >0|", "10 >0|", "10B >5|Files:",
                                       "10 >5|x.txt  1.00 KB"}));

    // Recursive: an extra empty indented line before the heading, entries as they are.
    s.includeFolders = true;
    s.recursive = true;
    s.folderSizes = false;
    s.fileLines = {QStringLiteral("/data/a/y.txt")};
    QCOMPARE(page(s, 10).mid(6), (QStringList{"10 >0|", "10B >5|", "10B >5|Complete File List", "10 >5|/data/a/y.txt"}));
    QCOMPARE(page(s, 10).at(3), QStringLiteral("10B >5|Folders: "));

    // No files: no file heading, the page ends with the empty line.
    s.fileLines.clear();
    QCOMPARE(page(s, 10).last(), QStringLiteral("10 >0|"));
}

void TestPrinting::printCommand()
{
    TempTree tree;
    tree.mkdir("sub");
    tree.mkdir("empty");
    Window win({{QStringLiteral("Office"), courierFonts}});
    MainForm &f = win.f();
    win.show(tree.path(), {QStringLiteral("sub line")}, {QStringLiteral("a.txt"), QStringLiteral("b.txt")}, true);
    f.Indentation = 3;

    // No prints nothing.
    win.boxes.answers = {MessageBoxes::Answer::No};
    f.cmdPrint->click();
    QCOMPARE(win.boxes.boxes.last().title, QStringLiteral("Listwright - Print"));
    QCOMPARE(win.boxes.boxes.last().buttons, MessageBoxes::Buttons::YesNo);
    QCOMPARE(win.boxes.boxes.last().text,
             QStringLiteral("Print: 2 items and 2 folders\rOn: Office\rPrinter Font: Courier  10\rIndentation:  3"));
    QCOMPARE(f.Answer, int(MessageBoxes::Answer::No));
    QVERIFY(win.printer.lines.isEmpty() && win.printer.documents.isEmpty());

    // Yes prints one ended document, the file lines behind the folder path.
    f.mnuPrint->trigger();
    QCOMPARE(win.printer.documents.size(), 1);
    const QString folder = QString::fromUtf8(tree.path()) + QLatin1Char('/');
    QCOMPARE(shown(win.printer.documents[0]),
             (QStringList{"20B >0|LISTWRIGHT", "20B >0|parent line", "10 >0|", "10 >0|", "10B >3|Folders: ",
                          "10 >3|sub line", "10 >0|", "10B >3|Files:", "10 >3|" + folder + "a.txt",
                          "10 >3|" + folder + "b.txt"}));
    QCOMPARE(win.printer.lines.size(), 0);

    // Yes with neither files nor subfolders prints nothing.
    win.show(tree.at("empty"), {}, {}, true);
    f.cmdPrint->click();
    QCOMPARE(f.Answer, int(MessageBoxes::Answer::Yes));
    QCOMPARE(win.printer.documents.size(), 1);
    QVERIFY(win.printer.lines.isEmpty());

    // A failure shows its box and leaves the document open, not ended.
    win.show(tree.path(), {}, {QStringLiteral("a.txt")}, false);
    win.printer.failWith = QStringLiteral("The printer is out of paper.");
    f.cmdPrint->click();
    QCOMPARE(win.boxes.boxes.last().title, QStringLiteral("Listwright - Error Printing"));
    QCOMPARE(win.boxes.boxes.last().text, QStringLiteral("The printer is out of paper."));
    QCOMPARE(win.printer.documents.size(), 1);
}

void TestPrinting::printerFonts()
{
    // The first exact Courier, in the printer's own order.
    Window win({{QStringLiteral("A"), courierFonts},
                {QStringLiteral("B"), {QStringLiteral("Courier New"), QStringLiteral("Courier")}},
                {QStringLiteral("C"), {QStringLiteral("courier new"), QStringLiteral("Arial")}}});
    MainForm &f = win.f();
    QCOMPARE(f.cboPrinterFonts->count(), 3);
    QCOMPARE(f.cboPrinterFonts->currentText(), QStringLiteral("Courier"));
    QCOMPARE(win.printer.fontName(), QStringLiteral("Courier"));

    // The user's font choice; switching printers rebuilds the list and preselects again.
    win.pick(f.cboPrinterFonts, 0);
    QCOMPARE(win.printer.fontName(), QStringLiteral("Arial"));
    win.pick(f.cboPrinter, 1);
    QCOMPARE(f.cboPrinterFonts->currentText(), QStringLiteral("Courier New"));
    QCOMPARE(win.printer.fontName(), QStringLiteral("Courier New"));
    win.pick(f.cboPrinter, 0);
    QCOMPARE(win.printer.fontName(), QStringLiteral("Courier"));

    // Courier in other letter case is none: nothing selected, the printer's own font stays.
    win.pick(f.cboPrinter, 2);
    QCOMPARE(f.cboPrinterFonts->count(), 2);
    QCOMPARE(f.cboPrinterFonts->currentIndex(), -1);
    QCOMPARE(win.printer.fontName(), QStringLiteral("DejaVu Sans Mono"));
    win.boxes.answers = {MessageBoxes::Answer::No};
    f.cmdPrint->click();
    QVERIFY(win.boxes.boxes.last().text.endsWith(QStringLiteral("Printer Font: DejaVu Sans Mono  10")));

    // A failure to list the fonts has its box.
    win.printer.fontsFailWith = QStringLiteral("The printer does not answer.");
    win.pick(f.cboPrinter, 0);
    QCOMPARE(win.boxes.boxes.last().title, QStringLiteral("Listwright - Error in Checking Printer Fonts"));
    QCOMPARE(win.boxes.boxes.last().text, QStringLiteral("The printer does not answer."));

    // Sizes " 4" to " 30"; " 10" is entry 6.
    QCOMPARE(f.cboPrinterFontSize->count(), 27);
    QCOMPARE(f.cboPrinterFontSize->itemText(0), QStringLiteral(" 4"));
    QCOMPARE(f.PrinterFontSize, 10);
    win.pick(f.cboPrinterFontSize, 26);
    QCOMPARE(f.cboPrinterFontSize->currentText(), QStringLiteral(" 30"));
    QCOMPARE(f.PrinterFontSize, 30);
}

void TestPrinting::printerList()
{
    {
        Window one({{QStringLiteral("Only"), courierFonts}});
        QCOMPARE(one.f().cboPrinter->count(), 1);
        QCOMPARE(one.f().cboPrinter->currentText(), QStringLiteral("Only"));
        QCOMPARE(one.f().cboPrinterFonts->count(), 3);
        QVERIFY(one.boxes.boxes.isEmpty());
    }

    // The default third of three, in enumeration order.
    Window win({{QStringLiteral("First"), {QStringLiteral("Arial")}},
                {QStringLiteral("Second"), {QStringLiteral("Courier")}},
                {QStringLiteral("Third"), courierFonts}},
               2);
    MainForm &f = win.f();
    QCOMPARE(f.cboPrinter->count(), 3);
    QCOMPARE(f.cboPrinter->itemText(0), QStringLiteral("First"));
    QCOMPARE(f.cboPrinter->currentIndex(), 2);
    QCOMPARE(f.cboPrinterFonts->count(), 3);

    // Picking another makes it current, and the confirmation names it.
    win.pick(f.cboPrinter, 0);
    QCOMPARE(win.printer.deviceName(), QStringLiteral("First"));
    QCOMPARE(f.cboPrinterFonts->count(), 1);
    win.boxes.answers = {MessageBoxes::Answer::No};
    f.cmdPrint->click();
    QVERIFY(win.boxes.boxes.last().text.contains(QStringLiteral("\rOn: First\r")));

    // A printer removed since the list was filled: its box, and the list shows the current one.
    win.printer.installed.removeAt(1);
    win.pick(f.cboPrinter, 1);
    QCOMPARE(win.boxes.boxes.last().title, QStringLiteral("Listwright - Error Selecting Printer"));
    QVERIFY(win.boxes.boxes.last().text.contains(QStringLiteral("\"Second\"")));
    QCOMPARE(win.printer.deviceName(), QStringLiteral("First"));
    QCOMPARE(f.cboPrinter->currentIndex(), 0);

    // The opened lists are wider than the closed boxes.
    const int closed = f.cboPrinter->width();
    QVERIFY(SetDropdownWidth(f.cboPrinter, 300));
    win.w->show();
    f.cboPrinter->showPopup();
    QVERIFY(f.cboPrinter->view()->width() >= 300);
    f.cboPrinter->hidePopup();
    QCOMPARE(f.cboPrinter->width(), closed);

    // No printer installed: the box, and empty lists.
    Window none({});
    QCOMPARE(none.boxes.titles(), QStringList{QStringLiteral("Listwright - Error in Check Printer")});
    QCOMPARE(none.boxes.boxes[0].text, QStringLiteral("No printer is installed."));
    QCOMPARE(none.f().cboPrinter->count(), 0);
    QCOMPARE(none.f().cboPrinterFonts->count(), 0);
}

QTEST_MAIN(TestPrinting)
#include "tst_printing.moc"
