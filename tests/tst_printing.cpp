// SPDX-License-Identifier: GPL-3.0-or-later
// The print command, the printer list and the printer fonts, over the recording printer.

#include "window/output/PrintedListing.h"
#include "support/TempTree.h"
#include "support/WindowFixture.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QTest>

namespace {
// The lines printed `columns` characters wide, as the recording printer writes them down.
QStringList page(const QList<PrintStep> &steps, int columns = 1000)
{
    RecordingPrinter p(columns);
    printSteps(steps, p);
    return p.lines;
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
} // namespace

class TestPrinting : public QObject {
    Q_OBJECT
private slots:
    void printing();
};

void TestPrinting::printing()
{
    ListingSnapshot s{.title = "LISTWRIGHT", .parentFolderLine = "/data/*.*  3.00 KB",
                      .folderLines = {"/data/a  1.00 KB", "/data/b  1.00 KB"}, .fileLines = {"x.txt  1.00 KB"},
                      .includeFolders = true, .folderSizes = true, .fileSizes = true, .currentFolderPath = "/data/",
                      .folderLinesBytes = 2048, .fileListTotalText = "1.00 KB", .indentation = 5};
    QCOMPARE(page(s, 10), (QStringList{"20B >0|LISTWRIGHT", "20B >0|/data/*.*  3.00 KB", "10 >0|", "10 >0|",
                                         "10B >5|Folders: 2.00 KB", "10 >5|/data/a  1.00 KB", "10 >5|/data/b  1.00 KB",
                                         "10 >0|", "10B >5|Files: 1.00 KB", "10 >5|/data/x.txt  1.00 KB"}));

    for (auto [size, title] : {std::pair{4, 14}, {19, 29}, {20, 20}, {30, 30}})
        QVERIFY(page(s, size).first().startsWith(QStringLiteral("%1B >0|").arg(title)));

    // Without folders, no folder section; an empty title leaves the parent line first.
    s.includeFolders = s.fileSizes = false;
    s.title.clear();
    QCOMPARE(page(s, 10), (QStringList{"20B >0|/data/*.*  3.00 KB", "10 >0|", "10 >0|", "10B >5|Files:", "10 >5|x.txt  1.00 KB"}));

    // Recursive: an extra empty indented line before the heading, entries as they are.
    s.includeFolders = s.recursive = true;
    QCOMPARE(page(s, 10).mid(6), (QStringList{"10 >0|", "10B >5|", "10B >5|Complete File List", "10 >5|x.txt  1.00 KB"}));

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

    // The default third of three. Each pick makes that printer current and rebuilds its fonts,
    // preselecting the first exact Courier in the printer's own order, else showing the font in
    // use, added when the printer lacks it; the print prompt names what (folders with Include
    // Folders only), where and in which font.
    TempTree tree;
    tree.mkdir("sub");
    tree.file("a.txt", 10);
    WindowFixture w(tree.path(), false);
    w.printer.installed = {{"First", {"Arial", "Courier", "Courier New"}}, {"Second", {"Courier New", "Courier"}},
                             {"Third", {"courier new", "Arial"}}};
    w.printer.current = 2;
    w.window->load();
    MainForm &f = w.f();
    QCOMPARE(entries(f.cboPrinter) << f.cboPrinter->currentText(), (QStringList{"First", "Second", "Third", "Third"}));
    f.Indentation = 5;
    w.boxes.answers = QList<MessageBoxes::Answer>(3, MessageBoxes::Answer::No);
    for (auto [i, preselected] : {std::pair{1, "Courier New"}, {2, "DejaVu Sans Mono"}, {0, "Courier"}}) {
        f.chkPrintDir->setChecked(i != 0);
        pick(f.cboPrinter, i);
        QCOMPARE(entries(f.cboPrinterFonts), w.printer.installed[i].fonts + QStringList(i == 2 ? 1 : 0, preselected));
        QCOMPARE(f.cboPrinterFonts->currentText(), preselected);
        f.cmdPrint->click();
        QCOMPARE(w.boxes.boxes.last().text, QStringLiteral("Print: 1 items%1\rOn: %2\rPrinter Font: %3  10\rIndentation:  5")
                 .arg(i ? " and 1 folders" : "", w.printer.installed[i].name, preselected));
    }

    // A printer removed since the list was filled is named in a box; the list goes back to the current one.
    w.printer.installed.removeAt(1);
    pick(f.cboPrinter, 1);
    QCOMPARE(w.boxes.boxes.last().title, "Listwright - Error Selecting Printer");
    QVERIFY(w.boxes.boxes.last().text.contains("\"Second\""));
    QCOMPARE(f.cboPrinter->currentText(), "First");

    // After No nothing was printed; Yes (from the menu) prints one document.
    f.mnuPrint->trigger();
    QVERIFY(w.printer.lines.isEmpty() && w.printer.documents.size() == 1);

    // Without printers a box says so; Yes in a folder with neither files nor subfolders sends nothing.
    WindowFixture none(tree.at("sub"), false);
    none.printer.installed.clear();
    none.window->load();
    QCOMPARE(none.boxes.titles(), QStringList{"Listwright - Error in Check Printer"});
    none.f().cmdPrint->click();
    QVERIFY(none.printer.lines.isEmpty() && none.printer.documents.isEmpty());
}

QTEST_MAIN(TestPrinting)
#include "tst_printing.moc"
