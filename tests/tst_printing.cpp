// The print command, the printer list and the printer fonts, over the recording printer.

#include "output/PrintConfirmation.h"
#include "output/PrintedListing.h"
#include "shared/TextList.h"
#include "support/TempTree.h"
#include "support/WindowFixture.h"

#include <QAction>
#include <QComboBox>
#include <QPushButton>
#include <QTest>

namespace {
using Printer = RecordingPrinter::Printer;
using Answer = MessageBoxes::Answer;

// The lines printed `columns` characters wide, as "<size>[B] ><indent>|<text>", B for emphasis.
QStringList page(const QList<PrintStep> &steps, int columns = 1000)
{
    RecordingPrinter p;
    p.columns = columns;
    printSteps(steps, p);
    QStringList out;
    for (const auto &l : p.lines)
        out << QStringLiteral("%1%2 >%3|%4").arg(l.size).arg(l.emphasis ? "B" : "").arg(l.indent).arg(l.text);
    return out;
}
QStringList page(const ListingSnapshot &s, int size) { return page(printedListing(s, size)); }

QStringList entries(const QComboBox *box)
{
    QStringList out;
    for (int i = 0; i < box->count(); ++i)
        out << box->itemText(i);
    return out;
}

void pick(QComboBox *box, int index) { box->setCurrentIndex(index); emit box->activated(index); }

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

    for (auto [size, title] : {std::pair{4, 14}, {19, 29}, {20, 20}, {30, 30}})
        QVERIFY(page(s, size).first().startsWith(QStringLiteral("%1B >0|").arg(title)));

    // Without folders, no folder section; an empty title leaves the parent line first.
    s.includeFolders = s.fileSizes = false;
    s.title.clear();
    QCOMPARE(page(s, 10),
             (QStringList{"20B >0|/data/*.*  3.00 KB", "10 >0|", "10 >0|", "10B >5|Files:", "10 >5|x.txt  1.00 KB"}));

    // Recursive: an extra empty indented line before the heading, entries as they are.
    s.includeFolders = s.recursive = true;
    s.fileLines = {"/data/a/y.txt"};
    QCOMPARE(page(s, 10).mid(6), (QStringList{"10 >0|", "10B >5|", "10B >5|Complete File List", "10 >5|/data/a/y.txt"}));

    // No files: no file heading, the page ends with the empty line.
    s.fileLines.clear();
    QCOMPARE(page(s, 10).last(), "10 >0|");

    // On a page 12 characters wide a wider line goes on 4 blanks further in, cut before a word,
    // else after a "/", else where the page ends; every character is kept, an emoji is one, and
    // an indentation that leaves no room shrinks.
    QCOMPARE(page({PrintStep::line("a.txt   1.00 KB  12/15/98"), PrintStep::line("abcdefg hi/jklm"),
                   PrintStep::line("abcdefghijklmnopqrstuvwxyz", 3), PrintStep::line("x", 14), PrintStep::line("aaaaaaaaaaa😀zz")}, 12),
             (QStringList{"10 >0|a.txt   ", "10 >4|1.00 ", "10 >4|KB  12/", "10 >4|15/98", "10 >0|abcdefg ", "10 >4|hi/jklm",
                          "10 >3|abcdefghi", "10 >7|jklmn", "10 >7|opqrs", "10 >7|tuvwx", "10 >7|yz", "10 >11|x",
                          "10 >0|aaaaaaaaaaa😀", "10 >4|zz"}));
}

void TestPrinting::printCommand()
{
    TempTree tree;
    tree.mkdir("sub");
    tree.file("a.txt", 10);
    Window win(tree, {{"Office", {"Courier"}}});
    MainForm &f = win.f();

    win.boxes.answers = {Answer::No};
    f.cmdPrint->click();
    QVERIFY(win.printer.lines.isEmpty() && win.printer.documents.isEmpty());
    f.mnuPrint->trigger(); // answered Yes
    QCOMPARE(win.printer.documents.size(), 1);

    // Yes in a folder with neither files nor subfolders sends nothing.
    win.open(tree.at("sub"));
    f.cmdPrint->click();
    QCOMPARE(f.Answer, int(Answer::Yes));
    QVERIFY(win.printer.lines.isEmpty() && win.printer.documents.size() == 1);
}

void TestPrinting::printersAndFonts()
{
    TempTree tree;
    // The default third of three. Each pick makes that printer current and rebuilds its fonts,
    // preselecting the first exact Courier in the printer's own order.
    Window win(tree, {{"First", {"Arial", "Courier", "Courier New"}}, {"Second", {"Courier New", "Courier"}},
                      {"Third", {"courier new", "Arial"}}}, 2);
    MainForm &f = win.f();
    QCOMPARE(entries(f.cboPrinter), (QStringList{"First", "Second", "Third"}));
    QCOMPARE(f.cboPrinter->currentIndex(), 2);
    pick(f.cboPrinterFonts, 1); // the user's choice, discarded when the printer changes
    const QStringList preselected{"Courier", "Courier New", ""};
    for (int i : {1, 2, 0}) {
        pick(f.cboPrinter, i);
        QCOMPARE(entries(f.cboPrinterFonts), win.printer.installed[i].fonts);
        QCOMPARE(f.cboPrinterFonts->currentText(), preselected[i]);
        const QString font = preselected[i].isEmpty() ? QStringLiteral("DejaVu Sans Mono") : preselected[i];
        win.boxes.answers = {Answer::No};
        f.cmdPrint->click();
        QCOMPARE(win.box().text,
                 "Print: 0 items and 0 folders\rOn: " + win.printer.installed[i].name + "\rPrinter Font: " + font + "  10");
    }

    // A printer removed since the list was filled is named in a box; the current one stays.
    win.printer.installed.removeAt(1);
    pick(f.cboPrinter, 1);
    QCOMPARE(win.box().title, "Listwright - Error Selecting Printer");
    QVERIFY(win.box().text.contains("\"Second\""));
    QCOMPARE(win.printer.deviceName(), "First");

    Window none(tree, {});
    QCOMPARE(none.boxes.titles(), QStringList{"Listwright - Error in Check Printer"});
    QVERIFY(none.f().cboPrinter->count() == 0 && none.f().cboPrinterFonts->count() == 0);
}

QTEST_MAIN(TestPrinting)
#include "tst_printing.moc"
