// The About window's texts, places and colours, and the help windows' captions and paragraphs.
// Opening them from the main window, and the home-page link, are tested with the window commands.
#include "info/AboutWindow.h"
#include "info/HelpTexts.h"
#include "info/HelpWindow.h"
#include "shared/Geometry.h"
#include "support/WindowFixture.h"

#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QtTest>

class InfoWindowsTest : public QObject {
    Q_OBJECT
private slots:
    void aboutWindow();
    void helpWindows();
};

void InfoWindowsTest::aboutWindow()
{
    RecordingOpener opener;
    AboutWindow w(opener);
    QCOMPARE(w.size(), QSize(305, 303));
    QCOMPARE(w.palette().color(QPalette::Window), QColor(Qt::black));

    // Texts after loading, places (an auto-size label at its corner, as large as its text) and
    // colours on black; the centred version label is placed by its centre below.
    const auto fitted = [](QLabel *lbl, int x, int y) { return QRect(QPoint(x, y), lbl->sizeHint()); };
    const QColor white(Qt::white), cyan(0, 255, 255);
    const struct { QLabel *label; const char *text; QRect place; QColor colour; } labels[] = {
        {w.lblTitle, "LISTWRIGHT", fitted(w.lblTitle, 8, 8), white},
        {w.lblVersion, "Version 2.0 Nov. 1998", {}, white},
        {w.lblWrittenBy, "Written By: The Listwright authors", fitted(w.lblWrittenBy, 135, 80), cyan},
        {w.lblEmail, "listwright@example.org", fitted(w.lblEmail, 152, 104), cyan},
        {w.lblComments, "Please feel free to email me with any comments, bugs or suggestions.",
         twipsRect(1680, 1920, 2355, 615), cyan},
        {w.lblUrlTop, "If you like this program please visit Listwright's home on the web.",
         twipsRect(360, 2760, 3915, 495), cyan},
        {w.lblUrl, "https://listwright.example.org/", twipsRect(360, 3240, 3915, 375), QColor(0, 0, 255)},
        {w.lblUrlBottom, "Here you will find the most current version.", twipsRect(360, 3600, 3915, 375), cyan}};
    for (const auto &[label, text, place, colour] : labels) {
        QCOMPARE(label->text(), QString::fromUtf8(text));
        if (place.isValid())
            QCOMPARE(label->geometry(), place);
        QCOMPARE(label->palette().color(QPalette::WindowText), colour);
        QCOMPARE(label->palette().color(QPalette::Window), QColor(Qt::black));
    }
    QCOMPARE(w.lblVersion->y(), 40);
    QVERIFY(qAbs(w.lblVersion->geometry().center().x() - twipsRect(300, 600, 3825, 435).center().x()) <= 1);
    QCOMPARE(w.imgQuill->geometry(), twipsRect(480, 1080, 975, 1560));
    QCOMPARE(w.imgQuill->pixmap().size(), QSize(61, 100));
    QCOMPARE(w.cmdOK->geometry(), twipsRect(1920, 4080, 735, 375));
    QCOMPARE(w.cmdOK->palette().color(QPalette::Button), QColor(192, 192, 192));

    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QVERIFY((w.frameGeometry().center() - QGuiApplication::primaryScreen()->geometry().center()).manhattanLength() <= 2);
}

void InfoWindowsTest::helpWindows()
{
    const struct { const HelpPage &page; const char *caption; QList<QByteArray> paragraphs; } windows[] = {
        {helpPrintPage(), "Help - Printing", {
           "Printing is fairly straightforward. Listwright will list all printers on your system and set the choice "
           "to the current system default printer. Simply by choosing a different printer using the list sets the "
           "output to that printer. There are several variables within user control to determine what will be "
           "printed.",
           "Page Title: Allows the user to set their own title for the page.",
           "Include Folders: When checked will print folder names.",
           "Indentation: Preselect or enter any number < 80 characters.",
           "Printer Font: Shows available fonts. (If Courier is available font then the program changes the default "
           "to Courier)",
           "Printer Font Size: Choose from 4 to 30. Note that for sizes < 8 Windows does not use TrueType Fonts. Size "
           "4 is readable.",
           "Note: Files will always be printed and the Title is only printed on the first page of output."}},
        {helpSavePage(), "Help - Save To File", {
           "Saving to a File is fairly straightforward. Listwright uses Page Title as a File Name. The directory to "
           "where this will be saved is defaulted to the current directory Listwright is viewing. There are several "
           "variables within user control to determine what will be saved. The list will be saved as a .TXT file.",
           "Page Title: Used as Title and File Name.",
           "Include Folders: When checked will print folder names.",
           "Indentation: Preselect or enter any number < 80 characters.",
           "AutoUpdate: When checked will update to the directory being viewed. Uncheck to drop the .TXT files in the "
           "same directory. ",
           "Note: Files will always be printed and the Title is only printed once at the top of the file."}}};
    for (const auto &expected : windows) {
        HelpWindow w(expected.page);
        QCOMPARE(w.windowTitle().toUtf8(), QByteArray(expected.caption));
        QList<QByteArray> texts;
        for (const QLabel *paragraph : w.findChildren<QLabel *>())
            texts.append(paragraph->text().toUtf8());
        QCOMPARE(texts, expected.paragraphs);
    }
}

QTEST_MAIN(InfoWindowsTest)
#include "tst_infowindows.moc"
