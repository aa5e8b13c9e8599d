// Printing through a real CUPS server: the document CUPS spools is the PDF the program drew.
// scripts/cups-start.sh starts the server and its PDF queues.

#include "output/PrintListing.h"
#include "output/PrinterFonts.h"
#include "output/PrinterList.h"
#include "output/QtPrinterService.h"
#include "scan/DirFolderView.h"
#include "shared/TextList.h"
#include "shared/WebOpener.h"
#include "shell/MainWindow.h"
#include "support/ScriptedMessageBoxes.h"
#include "support/TempTree.h"

#include <QCheckBox>
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
    QSet<int> ids;
    const QRegularExpression id(QStringLiteral("^%1-(\\d+)\\s").arg(QRegularExpression::escape(queue)),
                                QRegularExpression::MultilineOption);
    for (auto it = id.globalMatch(run(QStringLiteral("lpstat"), {"-W", "all", "-o", queue})); it.hasNext();)
        ids.insert(it.next().captured(1).toInt());
    return ids;
}

// The lines of a page range's text, without empty ones and trailing blanks.
QStringList pdfText(const QString &file, int firstPage = 1, int lastPage = 0)
{
    QStringList args{"-layout", "-f", QString::number(firstPage)};
    if (lastPage > 0)
        args << "-l" << QString::number(lastPage);
    QStringList lines;
    for (const QString &l : run(QStringLiteral("pdftotext"), args << file << "-").split(QLatin1Char('\n'))) {
        if (!l.trimmed().isEmpty())
            lines << l.trimmed();
    }
    return lines;
}

} // namespace

class TestCupsPrint : public QObject {
    Q_OBJECT
private slots:
    void printsThroughCups();
};

void TestCupsPrint::printsThroughCups()
{
    if (!run(QStringLiteral("lpstat"), {"-r"}).contains(QStringLiteral("is running"))) {
        if (qgetenv("CI") == "true")
            QFAIL("No CUPS server is running: scripts/cups-start.sh should have started one.");
        QSKIP("No CUPS server is running (scripts/cups-start.sh starts one).");
    }
    ScriptedMessageBoxes boxes;
    QtPrinterService printer;
    DesktopWebOpener opener;
    MainWindow w(boxes, printer, opener);
    MainForm &f = w.form();
    const auto pick = [](QComboBox *box, const QString &text) {
        const int i = box->findText(text);
        QVERIFY2(i >= 0, qPrintable(text + QStringLiteral(" is not listed")));
        box->setCurrentIndex(i);
        emit box->activated(i);
    };
    fillFontSizeEntries(f.cboPrinterFontSize);
    CheckPrinters(f);
    QVERIFY(boxes.boxes.isEmpty());

    // The server's default is selected; print on another of its queues, in Liberation Mono.
    const QString defaultQueue = run(QStringLiteral("lpstat"), {"-d"}).section(QLatin1Char(':'), 1).trimmed();
    QCOMPARE(f.cboPrinter->currentText(), defaultQueue);
    QVERIFY2(f.cboPrinter->count() >= 2, "the tests need at least two print queues");
    const QString queue = f.cboPrinter->itemText(f.cboPrinter->currentIndex() == 0 ? 1 : 0);
    pick(f.cboPrinter, queue);
    pick(f.cboPrinterFonts, QStringLiteral("Liberation Mono"));
    pick(f.cboPrinterFontSize, QStringLiteral(" 12"));
    f.Indentation = 4;

    // A listing longer than a page.
    TempTree tree;
    tree.mkdir("docs");
    const QString folder = QString::fromUtf8(tree.path());
    f.chkSize->setChecked(false);
    f.chkFolderSize->setChecked(false);
    f.dirFolder->setPath(tree.path());
    f.chkPrintDir->setChecked(true);
    f.CurrentFolderPath = folder + QLatin1Char('/');
    f.txtTitle->setText(QStringLiteral("LISTWRIGHT"));
    f.txtParentFolder->setText(folder + QStringLiteral("/*.*"));
    f.lstFolders->clear();
    f.lstFolders->addItem(QStringLiteral("docs line"));
    f.lstBigFileList->clear();
    QStringList expected{"LISTWRIGHT", folder + "/*.*", "Folders:", "docs line", "Files:"};
    for (int i = 1; i <= 120; ++i) {
        f.lstBigFileList->addItem(QStringLiteral("file%1.txt").arg(i, 3, 10, QLatin1Char('0')));
        expected << f.CurrentFolderPath + f.lstBigFileList->lines().last();
    }

    const QSet<int> before = jobs(queue);
    f.cmdPrint->click();
    QCOMPARE(boxes.titles(), QStringList{QStringLiteral("Listwright - Print")});
    QVERIFY(boxes.boxes[0].text.contains(QStringLiteral("\rOn: ") + queue + QLatin1Char('\r')));

    // The job reached the queue; its document holds the lines in order, the title once, on
    // the first of several pages, in the chosen font and its bold.
    const QSet<int> added = jobs(queue) - before;
    QCOMPARE(added.size(), 1);
    const QString file = QStringLiteral("/var/spool/cups/d%1-001").arg(*added.begin(), 5, 10, QLatin1Char('0'));
    QVERIFY2(QFile::exists(file), qPrintable(file + QStringLiteral(" is not kept (PreserveJobFiles)")));
    QCOMPARE(pdfText(file), expected);
    QVERIFY(pdfText(file, 1, 1).contains(QStringLiteral("LISTWRIGHT")));
    const QStringList second = pdfText(file, 2, 2);
    QVERIFY2(!second.isEmpty(), "the listing fits on one page");
    QVERIFY(second.first().startsWith(folder + QStringLiteral("/file")));
    const QString fonts = run(QStringLiteral("pdffonts"), {file});
    QVERIFY2(fonts.contains(QStringLiteral("LiberationMono-Bold")) && fonts.contains(QRegularExpression("LiberationMono\\s")),
             qPrintable(fonts));
}

QTEST_MAIN(TestCupsPrint)
#include "tst_cupsprint.moc"
