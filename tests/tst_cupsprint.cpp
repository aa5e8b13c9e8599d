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
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>

namespace {
QString run(const QString &program, const QStringList &args)
{
    QProcess p;
    p.start(program, args);
    p.waitForFinished(60000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

// Ids of the jobs CUPS holds for `queue`, finished ones included.
QSet<int> jobs(const QString &queue)
{
    QSet<int> ids; // lines begin "<queue>-<id> "
    for (const QString &line : run("lpstat", {"-W", "all", "-o", queue}).split('\n', Qt::SkipEmptyParts))
        ids.insert(line.section(' ', 0, 0).section('-', -1).toInt());
    return ids;
}

// The document's non-empty text lines, trimmed; `pages` holds pdftotext's -f/-l options.
QStringList pdfText(const QString &file, QStringList pages = {})
{
    QStringList lines;
    for (const QString &line : run("pdftotext", pages << "-layout" << file << "-").split('\n'))
        if (!line.trimmed().isEmpty())
            lines << line.trimmed();
    return lines;
}

bool pick(QComboBox *box, const QString &text)
{
    const int i = box->findText(text);
    box->setCurrentIndex(i);
    emit box->activated(i);
    return i >= 0;
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
        if (qgetenv("CI") == "true")
            QFAIL("No CUPS server is running: scripts/cups-start.sh should have started one.");
        QSKIP("No CUPS server is running (scripts/cups-start.sh starts one).");
    }
    ScriptedMessageBoxes boxes;
    QtPrinterService printer;
    DesktopWebOpener opener;
    MainWindow w(boxes, printer, opener);
    MainForm &f = w.form();
    fillFontSizeEntries(f.cboPrinterFontSize);
    CheckPrinters(f);

    // The server's default is selected; print on another of its queues, in Liberation Mono 12.
    QCOMPARE(f.cboPrinter->currentText(), run("lpstat", {"-d"}).section(':', 1).trimmed());
    QVERIFY2(f.cboPrinter->count() >= 2, "the tests need at least two print queues");
    const QString queue = f.cboPrinter->itemText(f.cboPrinter->currentIndex() == 0 ? 1 : 0);
    QVERIFY(pick(f.cboPrinter, queue) && pick(f.cboPrinterFonts, "Liberation Mono") && pick(f.cboPrinterFontSize, " 12"));
    f.Indentation = 4;

    // A listing longer than a page, its files behind the folder path.
    f.CurrentFolderPath = "/data/listing/";
    f.txtTitle->setText("LISTWRIGHT");
    f.txtParentFolder->setText("/data/listing/*.*");
    f.lstFolders->addItem("docs line");
    QStringList expected{"LISTWRIGHT", "/data/listing/*.*", "Folders:", "docs line", "Files:"};
    for (int i = 1; i <= 120; ++i) {
        f.lstBigFileList->addItem(QStringLiteral("file%1.txt").arg(i, 3, 10, QLatin1Char('0')));
        expected << f.CurrentFolderPath + f.lstBigFileList->lines().last();
    }

    const QSet<int> before = jobs(queue);
    f.cmdPrint->click();
    QCOMPARE(boxes.titles(), QStringList{"Listwright - Print"});
    QVERIFY(boxes.boxes[0].text.contains("\rOn: " + queue + '\r'));

    // One new job; its document holds the lines in order (the title once, so on the first of
    // several pages only), in the chosen font and its bold.
    const QSet<int> added = jobs(queue) - before;
    QCOMPARE(added.size(), 1);
    const QString file = QStringLiteral("/var/spool/cups/d%1-001").arg(*added.begin(), 5, 10, QLatin1Char('0'));
    QVERIFY2(QFile::exists(file), qPrintable(file + " is not kept (PreserveJobFiles)"));
    QCOMPARE(pdfText(file), expected);
    QVERIFY2(!pdfText(file, {"-f", "2"}).isEmpty(), "the listing fits on one page");
    const QString fonts = run("pdffonts", {file});
    QVERIFY2(fonts.contains("LiberationMono-Bold") && fonts.contains(QRegularExpression("LiberationMono\\s")), qPrintable(fonts));
}

QTEST_MAIN(TestCupsPrint)
#include "tst_cupsprint.moc"
