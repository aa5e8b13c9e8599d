// SPDX-License-Identifier: GPL-3.0-or-later
// Printing through a real, private CUPS scheduler (scripts/cups-start.sh starts it and its PDF
// queues): the document it spools is the PDF the program drew, read back with pdftotext and pdffonts.

#include "window/output/PrinterFonts.h"
#include "window/output/PrinterList.h"
#include "window/output/QtPrinterService.h"
#include "window/shared/TextList.h"
#include "window/shared/WebOpener.h"
#include "window/shell/MainWindow.h"
#include "support/ScriptedMessageBoxes.h"
#include "support/TempConfig.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

namespace {
QString run(const QString &program, const QStringList &args)
{
    QProcess p;
    p.start(program, args);
    p.waitForFinished(60000);
    return QString::fromUtf8(p.readAllStandardOutput());
}
} // namespace

class TestCupsPrint : public QObject {
    Q_OBJECT
private slots:
    void printsThroughCups();
};

void TestCupsPrint::printsThroughCups()
{
    // Only the private scheduler of scripts/cups-start.sh, never the system's printers.
    const QString root = qEnvironmentVariable("CUPS_SERVERROOT");
    if (!QFile::exists(root + "/.listwright-cups")) {
        QVERIFY2(qgetenv("CI") != "true", "No private CUPS scheduler: scripts/test.sh should have started one.");
        QSKIP("No private CUPS scheduler (scripts/test.sh starts one with scripts/cups-start.sh).");
    }
    ScriptedMessageBoxes boxes;
    QtPrinterService printer;
    DesktopWebOpener opener;
    MainWindow w(boxes, printer, opener);
    MainForm &f = w.form();
    CheckPrinters(f);
    QCOMPARE(f.cboPrinter->currentText(), "Listwright-PDF");
    f.PrinterFontSize = 12;
    f.Indentation = 10;

    // A listing longer than a page whose lines are wider than it: a deep folder, at the title
    // size in the parent folder line, and in front of every file.
    f.CurrentFolderPath = "/data/listing/" + QStringLiteral("deeper/").repeated(10);
    f.txtTitle->setText("LISTWRIGHT");
    f.txtParentFolder->setText(f.CurrentFolderPath + "*.*  1.46 MB");
    f.lstFolders->addItem(f.CurrentFolderPath + "docs  2.00 KB");
    for (int i = 1; i <= 120; ++i)
        f.lstBigFileList->addItem(QStringLiteral("file%1.txt      1.00 KB   12/15/98  3:04:05 PM").arg(i));
    const QString everything = QString("LISTWRIGHT" + f.txtParentFolder->text() + "Folders:" + f.lstFolders->lines()[0] + "Files:"
                                       + f.CurrentFolderPath + f.lstBigFileList->lines().join(f.CurrentFolderPath)).remove(' ');

    // On A4 and on Letter paper, each printer's own: one new job, whose document holds every
    // character of every line in order (the title once, on the first of several pages only) in
    // the chosen font, all of it at least 12.7 mm (36 points) inside every edge. The scheduler
    // keeps every document it spooled as d<job id>-001.
    const auto spooled = [&] { return QDir(root + "/spool", "d*-001").entryList(); };
    for (const auto &[queue, paper] : {std::pair{"Listwright-PDF", QSizeF(595.28, 841.89)}, {"Listwright-Letter", {612, 792}}}) {
        f.cboPrinter->setCurrentIndex(f.cboPrinter->findText(queue));
        cboPrinter_Click(f);
        f.cboPrinterFonts->setCurrentIndex(f.cboPrinterFonts->findText("Liberation Mono"));
        cboPrinterFonts_Click(f);
        const QStringList before = spooled();
        f.cmdPrint->click();
        QCOMPARE(spooled().size(), before.size() + 1);
        const QString file = root + "/spool/" + spooled().last(); // the names sort by job id
        const QString text = run("pdftotext", {"-layout", file, "-"});
        QVERIFY2(text.count('\f') > 1, "the listing fits on one page"); // a form feed ends each page
        QCOMPARE(QString(text).remove(QRegularExpression("\\s")), everything);
        QVERIFY(run("pdffonts", {file}).contains("LiberationMono"));
        const QString boxes = run("pdftotext", {"-bbox", file, "-"});
        const QRegularExpression word(R"re(xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)")re");
        for (const auto &m : QRegularExpression(R"re(<page width="([\d.]+)" height="([\d.]+)")re").globalMatch(boxes))
            QCOMPARE(QSizeF(m.captured(1).toDouble(), m.captured(2).toDouble()).toSize(), paper.toSize());
        for (const auto &m : word.globalMatch(boxes)) { // every word, to 1/100 point
            const auto at = [&m](int i) { return m.captured(i).toDouble(); };
            QVERIFY2(std::min({at(1), at(2), paper.width() - at(3), paper.height() - at(4)}) > 35.99, qPrintable(m.captured(0)));
        }
    }
}

QTEST_MAIN(TestCupsPrint)
#include "tst_cupsprint.moc"
