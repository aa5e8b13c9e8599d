// The print command, the printer list and the printer fonts, over the recording printer.

#include "output/PrintConfirmation.h"
#include "output/PrintedListing.h"
#include "shared/TextList.h"
#include "support/TempTree.h"
#include "support/WindowFixture.h"

#include <QAbstractItemView>
#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace {
using Printer = RecordingPrinter::Printer;
using Answer = MessageBoxes::Answer;
const QStringList courierFonts{"Arial", "Courier", "Courier New"};

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

QStringList entries(const QComboBox *box)
{
    QStringList out;
    for (int i = 0; i < box->count(); ++i)
        out << box->itemText(i);
    return out;
}

void pick(QComboBox *box, int index)
{
    box->setCurrentIndex(index);
    emit box->activated(index);
}

// A main window loaded in `tree` as the program loads it, over the `installed` printers.
struct Window : WindowFixture {
    Window(const TempTree &tree, const QList<Printer> &installed, int current = 0) : WindowFixture(tree.path(), false)
    {
        printer.installed = installed;
        printer.current = current;
        window->load();
    }
    const ScriptedMessageBoxes::Box &box() const { return boxes.boxes.last(); }
};
} // namespace

class TestPrinting : public QObject {
    Q_OBJECT
private slots:
    void confirmationAndPage();
    void printCommand();
    void printersAndFonts();
};

void TestPrinting::confirmationAndPage()
{
    PrintConfirmationFacts facts{12, true, 3, "Office", "Courier New", 10, 5};
    QCOMPARE(printConfirmation(facts),
             "Print: 12 items and 3 folders\rOn: Office\rPrinter Font: Courier New  10\rIndentation:  5");
    facts.includeFolders = false;
    facts.indentation = 0;
    QCOMPARE(printConfirmation(facts), "Print: 12 items\rOn: Office\rPrinter Font: Courier New  10");

    ListingSnapshot s{.title = "LISTWRIGHT", .parentFolderLine = "/data/*.*  3.00 KB",
                      .folderLines = {"/data/a  1.00 KB", "/data/b  1.00 KB"}, .fileLines = {"x.txt  1.00 KB"},
                      .includeFolders = true, .folderSizes = true, .fileSizes = true, .currentFolderPath = "/data/",
                      .folderTotalBytes = 3072, .fileListTotalBytes = 1024, .fileListTotalText = "1.00 KB", .indentation = 5};
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
    s.includeFolders = s.fileSizes = false;
    s.title.clear();
    QCOMPARE(page(s, 10),
             (QStringList{"20B >0|/data/*.*  3.00 KB", "10 >0|", "10 >0|", "10B >5|Files:", "10 >5|x.txt  1.00 KB"}));

    // Recursive: an extra empty indented line before the heading, entries as they are.
    s.includeFolders = s.recursive = true;
    s.folderSizes = false;
    s.fileLines = {"/data/a/y.txt"};
    const QStringList recursive = page(s, 10);
    QCOMPARE(recursive.at(3), "10B >5|Folders: ");
    QCOMPARE(recursive.mid(6), (QStringList{"10 >0|", "10B >5|", "10B >5|Complete File List", "10 >5|/data/a/y.txt"}));

    // No files: no file heading, the page ends with the empty line.
    s.fileLines.clear();
    QCOMPARE(page(s, 10).last(), "10 >0|");
}

void TestPrinting::printCommand()
{
    TempTree tree;
    tree.mkdir("sub");
    tree.file("a.txt", 10);
    tree.file("b.txt", 2000);
    Window win(tree, {{"Office", courierFonts}});
    MainForm &f = win.f();
    f.Indentation = 3;

    // No prints nothing.
    win.boxes.answers = {Answer::No};
    f.cmdPrint->click();
    QCOMPARE(win.box().title, "Listwright - Print");
    QCOMPARE(win.box().buttons, MessageBoxes::Buttons::YesNo);
    QCOMPARE(win.box().text, "Print: 2 items and 1 folders\rOn: Office\rPrinter Font: Courier  10\rIndentation:  3");
    QCOMPARE(f.Answer, int(Answer::No));
    QVERIFY(win.printer.documents.isEmpty() && win.printer.lines.isEmpty());

    // Yes prints the window's listing as one ended document, the files behind the folder path.
    f.mnuPrint->trigger();
    QStringList expected{"20B >0|LISTWRIGHT", "20B >0|" + f.txtParentFolder->text(), "10 >0|", "10 >0|", "10B >3|Folders: ",
                         "10 >3|" + win.folderLines().value(0), "10 >0|", "10B >3|Files: " + f.FileListTotalText};
    for (const QString &line : win.fileLines())
        expected << "10 >3|" + f.CurrentFolderPath + line;
    QCOMPARE(shown(win.printer.documents.value(0)), expected);

    // A failure shows its box and leaves the document open, not ended.
    win.printer.failWith = "The printer is out of paper.";
    f.cmdPrint->click();
    QCOMPARE(win.box().title, "Listwright - Error Printing");
    QCOMPARE(win.box().text, "The printer is out of paper.");
    QCOMPARE(win.printer.documents.size(), 1); // only the document printed above was ended
    win.printer.failWith.clear();

    // Yes in a folder with neither files nor subfolders sends nothing.
    win.open(tree.at("sub"));
    const qsizetype calls = win.printer.calls.size();
    f.cmdPrint->click();
    QCOMPARE(f.Answer, int(Answer::Yes));
    QCOMPARE(win.printer.calls.size(), calls);
}

void TestPrinting::printersAndFonts()
{
    TempTree tree;
    {
        // One printer, without any Courier: nothing preselected, the printer keeps its own font.
        Window one(tree, {{"Only", {"Arial"}}});
        QCOMPARE(entries(one.f().cboPrinter), QStringList{"Only"});
        QCOMPARE(one.f().cboPrinter->currentIndex(), 0);
        QCOMPARE(one.f().cboPrinterFonts->currentIndex(), -1);
        QCOMPARE(one.printer.fontName(), "DejaVu Sans Mono");
    }

    // The default third of three, in enumeration order. Each pick makes that printer current
    // and rebuilds its fonts, preselecting the first exact Courier in the printer's own order.
    Window win(tree, {{"First", courierFonts}, {"Second", {"Courier New", "Courier"}}, {"Third", {"courier new", "Arial"}}},
               2);
    const QStringList preselected{"Courier", "Courier New", ""};
    MainForm &f = win.f();
    QCOMPARE(entries(f.cboPrinter), (QStringList{"First", "Second", "Third"}));
    QCOMPARE(f.cboPrinter->currentIndex(), 2);
    pick(f.cboPrinterFonts, 1); // the user's choice, discarded when the printer changes
    QCOMPARE(win.printer.fontName(), "Arial");
    for (int i : {1, 2, 0}) {
        pick(f.cboPrinter, i);
        const QString font = preselected[i].isEmpty() ? QStringLiteral("DejaVu Sans Mono") : preselected[i];
        QCOMPARE(entries(f.cboPrinterFonts), win.printer.installed[i].fonts);
        QCOMPARE(f.cboPrinterFonts->currentText(), preselected[i]);
        QCOMPARE(win.printer.fontName(), font);
        win.boxes.answers = {Answer::No};
        f.cmdPrint->click();
        QCOMPARE(win.box().text,
                 "Print: 0 items and 0 folders\rOn: " + win.printer.installed[i].name + "\rPrinter Font: " + font + "  10");
    }

    // A printer removed since the list was filled: its box, and the list shows the current one.
    win.printer.installed.removeAt(1);
    pick(f.cboPrinter, 1);
    QCOMPARE(win.box().title, "Listwright - Error Selecting Printer");
    QVERIFY(win.box().text.contains("\"Second\""));
    QCOMPARE(win.printer.deviceName(), "First");
    QCOMPARE(f.cboPrinter->currentIndex(), 0);

    win.printer.fontsFailWith = "The printer does not answer.";
    pick(f.cboPrinter, 2);
    QCOMPARE(win.box().title, "Listwright - Error in Checking Printer Fonts");
    QCOMPARE(win.box().text, "The printer does not answer.");

    pick(f.cboPrinterFontSize, 26); // " 30"
    QCOMPARE(f.PrinterFontSize, 30);

    // The opened lists are 300 and 200 pixels wide, wider than the closed boxes.
    win.window->show();
    for (auto [box, width] : {std::pair{f.cboPrinter, 300}, {f.cboPrinterFonts, 200}}) {
        box->showPopup();
        QVERIFY(box->width() < width && box->view()->width() >= width);
        box->hidePopup();
    }

    Window none(tree, {});
    QCOMPARE(none.boxes.titles(), QStringList{"Listwright - Error in Check Printer"});
    QCOMPARE(none.box().text, "No printer is installed.");
    QVERIFY(none.f().cboPrinter->count() == 0 && none.f().cboPrinterFonts->count() == 0);
}

QTEST_MAIN(TestPrinting)
#include "tst_printing.moc"
