// The About window and the two help windows: their texts, places and colours, and the
// home-page link. Opening and closing them from the main window is tested with the window
// commands.
#include "info/AboutWindow.h"
#include "info/HelpTexts.h"
#include "info/HelpWindow.h"
#include "shared/Geometry.h"
#include "support/WindowFixture.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QtTest>

class InfoWindowsTest : public QObject {
    Q_OBJECT
private slots:
    void aboutWindowShowsItsDesign();
    void aboutLinkOpensTheHomePage();
    void helpWindows();
};

namespace {

// Every element lies inside the window, and no label's text needs more room than its box.
void verifyEverythingFits(const QWidget &window)
{
    for (const QWidget *w : window.findChildren<QWidget *>()) {
        QVERIFY2(window.rect().contains(w->geometry()), qPrintable(w->objectName()));
        if (auto *lbl = qobject_cast<const QLabel *>(w); lbl && !lbl->text().isEmpty()) {
            if (lbl->wordWrap())
                QVERIFY2(lbl->heightForWidth(lbl->width()) <= lbl->height(), qPrintable(lbl->objectName()));
            else
                QVERIFY2(lbl->sizeHint().width() <= lbl->width(), qPrintable(lbl->objectName()));
        }
    }
}

QColor textColour(const QWidget *w) { return w->palette().color(QPalette::WindowText); }

} // namespace

void InfoWindowsTest::aboutWindowShowsItsDesign()
{
    RecordingOpener opener;
    AboutWindow w(opener);
    QCOMPARE(w.objectName(), QStringLiteral("frmAbout"));
    QVERIFY(w.windowFlags() & Qt::FramelessWindowHint);
    QCOMPARE(w.windowType(), Qt::Tool); // no task bar entry
    QCOMPARE(w.size(), QSize(305, 303));
    QCOMPARE(w.minimumSize(), w.maximumSize());
    QCOMPARE(w.palette().color(QPalette::Window), QColor(Qt::black));

    // The texts after the window's load.
    QCOMPARE(w.lblTitle->text(), QStringLiteral("LISTWRIGHT"));
    QCOMPARE(w.lblVersion->text(), QStringLiteral("Version 2.0 Nov. 1998"));
    QCOMPARE(w.lblWrittenBy->text(), QStringLiteral("Written By: The Listwright authors"));
    QCOMPARE(w.lblEmail->text(), QStringLiteral("listwright@example.org"));
    QCOMPARE(w.lblComments->text(),
             QStringLiteral("Please feel free to email me with any comments, bugs or suggestions."));
    QCOMPARE(w.lblUrlTop->text(), QStringLiteral("If you like this program please visit Listwright's home on the web."));
    QCOMPARE(w.lblUrl->text(), QStringLiteral("https://listwright.example.org/"));
    QCOMPARE(w.lblUrlBottom->text(), QStringLiteral("Here you will find the most current version."));
    QCOMPARE(w.cmdOK->text(), QStringLiteral("&OK"));
    QCOMPARE(w.imgQuill->toolTip(), QStringLiteral("The Listwright authors"));
    QCOMPARE(w.imgQuill->pixmap().size(), QSize(61, 100));

    // Boxes of fixed size at their design places; auto-size labels keep their left edge
    // (the centred version label its centre).
    const QList<std::pair<QWidget *, QRect>> boxes{
        {w.imgQuill, twipsRect(480, 1080, 975, 1560)},   {w.lblComments, twipsRect(1680, 1920, 2355, 615)},
        {w.lblUrlTop, twipsRect(360, 2760, 3915, 495)},  {w.lblUrl, twipsRect(360, 3240, 3915, 375)},
        {w.lblUrlBottom, twipsRect(360, 3600, 3915, 375)}, {w.cmdOK, twipsRect(1920, 4080, 735, 375)}};
    for (const auto &[element, box] : boxes)
        QCOMPARE(element->geometry(), box);
    QCOMPARE(w.lblTitle->pos(), QPoint(8, 8));
    QCOMPARE(w.lblWrittenBy->pos(), QPoint(135, 80));
    QCOMPARE(w.lblEmail->pos(), QPoint(152, 104));
    QCOMPARE(w.lblVersion->y(), 40);
    QVERIFY(qAbs(w.lblVersion->geometry().center().x() - twipsRect(300, 600, 3825, 435).center().x()) <= 1);
    for (QLabel *centred : {w.lblVersion, w.lblComments, w.lblUrlTop, w.lblUrl, w.lblUrlBottom})
        QVERIFY(centred->alignment() & Qt::AlignHCenter);
    verifyEverythingFits(w);

    // Colours: white and cyan on black, the link blue, the button light grey.
    QCOMPARE(textColour(w.lblTitle), QColor(Qt::white));
    QCOMPARE(textColour(w.lblVersion), QColor(Qt::white));
    for (QLabel *cyan : {w.lblWrittenBy, w.lblEmail, w.lblComments, w.lblUrlTop, w.lblUrlBottom})
        QCOMPARE(textColour(cyan), QColor(0, 255, 255));
    QCOMPARE(textColour(w.lblUrl), QColor(0, 0, 255));
    for (QLabel *lbl : w.findChildren<QLabel *>())
        QCOMPARE(lbl->palette().color(QPalette::Window), QColor(Qt::black));
    QCOMPARE(w.cmdOK->palette().color(QPalette::Button), QColor(192, 192, 192));

    // The link's own pointing hand, over the link only.
    QCOMPARE(w.lblUrl->cursor().shape(), Qt::BitmapCursor);
    QCOMPARE(w.lblUrl->cursor().pixmap().size(), QSize(32, 32));
    QCOMPARE(w.cursor().shape(), Qt::ArrowCursor);

    // Centred on the screen.
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QVERIFY((w.frameGeometry().center() - QGuiApplication::primaryScreen()->geometry().center()).manhattanLength() <= 2);
}

void InfoWindowsTest::aboutLinkOpensTheHomePage()
{
    RecordingOpener opener;
    AboutWindow w(opener);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QTest::mouseClick(w.lblUrl, Qt::LeftButton);
    QVERIFY(w.isVisible());
    QTest::mouseClick(w.lblUrl, Qt::LeftButton);
    QVERIFY(w.isVisible());
    QCOMPARE(opener.opened, QList<QUrl>({QUrl("https://listwright.example.org/"), QUrl("https://listwright.example.org/")}));
}

namespace {

struct Paragraph {
    const char *name;
    QRect box;
    const char *text;
};

void verifyHelpWindow(const HelpPage &page, const QString &name, const QString &caption,
                      const QList<Paragraph> &paragraphs)
{
    HelpWindow w(page);
    QCOMPARE(w.objectName(), name);
    QCOMPARE(w.windowTitle(), caption);
    QCOMPARE(w.size(), QSize(342, 267));
    QCOMPARE(w.minimumSize(), w.maximumSize());
    QVERIFY(!(w.windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
    QVERIFY(w.windowFlags() & Qt::WindowCloseButtonHint);
    QVERIFY(!w.windowIcon().isNull());

    const QList<QLabel *> labels = w.findChildren<QLabel *>();
    QCOMPARE(labels.size(), paragraphs.size());
    for (qsizetype i = 0; i < labels.size(); ++i) {
        QCOMPARE(labels[i]->objectName(), QLatin1String(paragraphs[i].name));
        QCOMPARE(labels[i]->text().toUtf8(), QByteArray(paragraphs[i].text));
        QCOMPARE(labels[i]->geometry(), paragraphs[i].box);
        QVERIFY(labels[i]->wordWrap());
        QVERIFY(!labels[i]->font().bold());
    }
    QCOMPARE(w.cmdClose->text(), QStringLiteral("Close"));
    QCOMPARE(w.cmdClose->geometry(), twipsRect(2160, 3600, 735, 375));
    QVERIFY(w.cmdClose->font().bold());
    verifyEverythingFits(w);

    // The close box closes it.
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QVERIFY(w.close());
    QVERIFY(!w.isVisible());
}

} // namespace

void InfoWindowsTest::helpWindows()
{
    verifyHelpWindow(
        helpPrintPage(), "frmHelpPrint", "Help - Printing",
        {{"lblHelpPrint", twipsRect(120, 120, 4815, 1095),
          "Printing is fairly straightforward. Listwright will list all printers on your system and set the choice "
          "to the current system default printer. Simply by choosing a different printer using the list sets the "
          "output to that printer. There are several variables within user control to determine what will be "
          "printed."},
         {"lblTitle", twipsRect(360, 1320, 4335, 255), "Page Title: Allows the user to set their own title for the page."},
         {"lblIncludeFolders", twipsRect(360, 1560, 4335, 255), "Include Folders: When checked will print folder names."},
         {"lblIndentation", twipsRect(360, 1800, 4335, 255), "Indentation: Preselect or enter any number < 80 characters."},
         {"lblPrinterFont", twipsRect(360, 2040, 4335, 495),
          "Printer Font: Shows available fonts. (If Courier is available font then the program changes the default "
          "to Courier)"},
         {"lblPrinterFontSize", twipsRect(360, 2520, 4335, 495),
          "Printer Font Size: Choose from 4 to 30. Note that for sizes < 8 Windows does not use TrueType Fonts. Size "
          "4 is readable."},
         {"lblNote", twipsRect(360, 3120, 4335, 495),
          "Note: Files will always be printed and the Title is only printed on the first page of output."}});
    if (QTest::currentTestFailed())
        return;
    verifyHelpWindow(
        helpSavePage(), "frmHelpSave", "Help - Save To File",
        {{"lblHelpSave", twipsRect(120, 120, 4815, 1095),
          "Saving to a File is fairly straightforward. Listwright uses Page Title as a File Name. The directory to "
          "where this will be saved is defaulted to the current directory Listwright is viewing. There are several "
          "variables within user control to determine what will be saved. The list will be saved as a .TXT file."},
         {"lblTitle", twipsRect(360, 1320, 4335, 255), "Page Title: Used as Title and File Name."},
         {"lblIncludeFolders", twipsRect(360, 1560, 4335, 255), "Include Folders: When checked will print folder names."},
         {"lblIndentation", twipsRect(360, 1800, 4335, 255), "Indentation: Preselect or enter any number < 80 characters."},
         {"lblAutoUpdate", twipsRect(360, 2040, 4335, 615),
          "AutoUpdate: When checked will update to the directory being viewed. Uncheck to drop the .TXT files in the "
          "same directory. "},
         {"lblNote", twipsRect(360, 3000, 4335, 495),
          "Note: Files will always be printed and the Title is only printed once at the top of the file."}});
}

QTEST_MAIN(InfoWindowsTest)
#include "tst_infowindows.moc"
