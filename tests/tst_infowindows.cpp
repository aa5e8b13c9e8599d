// The About window and the help windows: their texts show whole and readable inside the window,
// and the facts they state agree with the rest of the program. Opening them from the main window,
// and the home-page link, are tested with the window commands.
#include "info/AboutWindow.h"
#include "info/HelpTexts.h"
#include "info/HelpWindow.h"
#include "support/WindowFixture.h"

#include <QLabel>
#include <QScreen>
#include <QtTest>

namespace {
// Each label inside its window, its text whole: wrapped within its box, or on one line as wide as the box.
void checkLabelsWhole(QWidget *window)
{
    for (QLabel *l : window->findChildren<QLabel *>()) {
        const bool whole = l->wordWrap() ? l->heightForWidth(l->width()) <= l->height()
                                         : l->fontMetrics().horizontalAdvance(l->text()) <= l->width();
        QVERIFY2(whole && window->rect().contains(l->geometry()), qPrintable(l->objectName()));
    }
}
} // namespace

class InfoWindowsTest : public QObject {
    Q_OBJECT
private slots:
    void aboutWindow()
    {
        RecordingOpener opener;
        AboutWindow w(opener);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QCOMPARE(w.size(), QSize(305, 303));
        QVERIFY((w.frameGeometry().center() - w.screen()->geometry().center()).manhattanLength() <= 2);
        checkLabelsWhole(&w);
        QStringList texts;
        for (QLabel *l : {w.lblTitle, w.lblVersion, w.lblWrittenBy, w.lblComments, w.lblUrlTop, w.lblUrlBottom}) {
            texts << l->text();
            QVERIFY(l->palette().color(QPalette::WindowText) != w.palette().color(QPalette::Window)); // readable on black
        }
        QCOMPARE(texts.join(u'|'), QStringLiteral("LISTWRIGHT|Version 2.0 Nov. 1998|Written By: The Listwright authors|"
                                                  "Please feel free to email me with any comments, bugs or suggestions.|"
                                                  "If you like this program please visit Listwright's home on the web.|"
                                                  "Here you will find the most current version."));
        QCOMPARE(w.imgQuill->pixmap().size(), QSize(61, 100));
        QCOMPARE(w.lblUrl->palette().color(QPalette::WindowText), QColor(0, 0, 255));
    }

    void helpWindows()
    {
        // The limits the help states are those of the indentation box and the font-size list.
        const struct { const HelpPage &page; const char *caption; int paragraphs; QStringList facts; } windows[] = {
            {helpPrintPage(), "Help - Printing", 7, {"Indentation: Preselect or enter any number < 80 characters.",
                                                     "Printer Font Size: Choose from 4 to 30.", "Courier"}},
            {helpSavePage(), "Help - Save To File", 6, {"Indentation: Preselect or enter any number < 80 characters.",
                                                         "Page Title: Used as Title and File Name.", ".TXT file."}}};
        for (const auto &expected : windows) {
            HelpWindow w(expected.page);
            w.show();
            QVERIFY(QTest::qWaitForWindowExposed(&w));
            QCOMPARE(w.windowTitle(), QLatin1String(expected.caption));
            checkLabelsWhole(&w);
            QStringList paragraphs;
            for (const QLabel *paragraph : w.findChildren<QLabel *>())
                paragraphs << paragraph->text();
            QCOMPARE(paragraphs.size(), expected.paragraphs);
            for (const QString &fact : expected.facts)
                QVERIFY2(paragraphs.join(u' ').contains(fact), qPrintable(fact));
        }
    }
};

QTEST_MAIN(InfoWindowsTest)
#include "tst_infowindows.moc"
