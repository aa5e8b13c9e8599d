// Printing through a real CUPS server (scripts/cups-start.sh starts it and its PDF queues): the
// document CUPS spools is the PDF the program drew, read back with pdftotext and pdffonts.

#include "output/PrinterFonts.h"
#include "output/PrinterList.h"
#include "output/QtPrinterService.h"
#include "shared/TextList.h"
#include "shared/WebOpener.h"
#include "shell/MainWindow.h"
#include "support/ScriptedMessageBoxes.h"

#include <QComboBox>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTest>

namespace {
QString run(const QString &program, const QStringList &args)
{
    QProcess p;
    p.start(program, args);
    p.waitForFinished(60000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

// Ids of the jobs CUPS holds for `queue`, finished ones included; lines begin "<queue>-<id> ".
QSet<int> jobs(const QString &queue)
{
    QSet<int> ids;
    for (const QString &line : run("lpstat", {"-W", "all", "-o", queue}).split('\n', Qt::SkipEmptyParts))
        ids.insert(line.section(' ', 0, 0).section('-', -1).toInt());
    return ids;
}
} // namespace

class TestCupsPrint : public QObject {
    Q_OBJECT
private slots:
    void printsThroughCups();
};

void TestCupsPrint::printsThroughCups()
{
    if (!run("lpstat", {"-r"}).contains("is running")) {
        QVERIFY2(qgetenv("CI") != "true", "No CUPS server is running: scripts/cups-start.sh should have started one.");
        QSKIP("No CUPS server is running (scripts/cups-start.sh starts one).");
    }
    ScriptedMessageBoxes boxes;
    QtPrinterService printer;
    DesktopWebOpener opener;
    MainWindow w(boxes, printer, opener);
    MainForm &f = w.form();
    CheckPrinters(f);
    f.cboPrinterFonts->setCurrentIndex(f.cboPrinterFonts->findText("Liberation Mono"));
    cboPrinterFonts_Click(f);
    f.PrinterFontSize = 12;

    // A listing longer than a page, its files behind the folder path.
    f.CurrentFolderPath = "/data/listing/";
    f.txtTitle->setText("LISTWRIGHT");
    f.txtParentFolder->setText("/data/listing/*.*");
    f.lstFolders->addItem("docs line");
    QStringList expected{"LISTWRIGHT", "/data/listing/*.*", "Folders:", "docs line", "Files:"};
    for (int i = 1; i <= 120; ++i) {
        f.lstBigFileList->addItem(QStringLiteral("file%1.txt").arg(i));
        expected << f.CurrentFolderPath + f.lstBigFileList->lines().last();
    }

    // One new job, whose document holds the lines in order (the title once, on the first of
    // several pages only) in the chosen font.
    const QString queue = f.cboPrinter->currentText();
    const QSet<int> before = jobs(queue);
    f.cmdPrint->click();
    const QSet<int> added = jobs(queue) - before;
    QCOMPARE(added.size(), 1);
    const QString file = QStringLiteral("/var/spool/cups/d%1-001").arg(*added.begin(), 5, 10, QLatin1Char('0'));
    const QString text = run("pdftotext", {"-layout", file, "-"});
    QVERIFY2(text.count('\f') > 1, "the listing fits on one page"); // a form feed ends each page
    QCOMPARE(text.simplified(), expected.join(' '));
    QVERIFY(run("pdffonts", {file}).contains("LiberationMono"));
}

QTEST_MAIN(TestCupsPrint)
#include "tst_cupsprint.moc"
