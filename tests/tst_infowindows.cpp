// The About window and the help windows: their texts show whole and readable inside the window,
// and the About window's own texts. Opening them from the main window, their captions and the
// home-page link are tested with the window commands.
#include "info/AboutWindow.h"
#include "info/HelpTexts.h"
#include "info/HelpWindow.h"
#include "support/WindowFixture.h"

#include <QLabel>
#include <QScreen>
#include <QtTest>

class InfoWindowsTest : public QObject {
    Q_OBJECT
private slots:
    void infoWindows()
    {
        RecordingOpener opener;
        AboutWindow about(opener);
        HelpWindow print(helpPrintPage()), save(helpSavePage());
        // Each label inside its window, its text whole: wrapped within its box, or on one line as wide as the box.
        for (QWidget *window : {(QWidget *)&about, (QWidget *)&print, (QWidget *)&save}) {
            window->show();
            QVERIFY(QTest::qWaitForWindowExposed(window));
            for (QLabel *l : window->findChildren<QLabel *>()) {
                const bool whole = l->wordWrap() ? l->heightForWidth(l->width()) <= l->height()
                                                 : l->fontMetrics().horizontalAdvance(l->text()) <= l->width();
                QVERIFY2(whole && window->rect().contains(l->geometry()), qPrintable(l->objectName()));
            }
        }

        QCOMPARE(about.size(), QSize(305, 303));
        QVERIFY((about.frameGeometry().center() - about.screen()->geometry().center()).manhattanLength() <= 2);
        QStringList texts; // each readable on the black background
        for (QLabel *l : {about.lblTitle, about.lblVersion, about.lblWrittenBy, about.lblComments, about.lblUrlTop, about.lblUrlBottom})
            texts << l->text() + (l->palette().color(QPalette::WindowText) == about.palette().color(QPalette::Window) ? " UNREADABLE" : "");
        QCOMPARE(texts.join(u'|'), QStringLiteral("LISTWRIGHT|Version 2.0 Nov. 1998|Written By: The Listwright authors|"
                                                  "Please feel free to email me with any comments, bugs or suggestions.|"
                                                  "If you like this program please visit Listwright's home on the web.|"
                                                  "Here you will find the most current version."));
        QCOMPARE(about.lblUrl->palette().color(QPalette::WindowText), QColor(0, 0, 255));
    }
};

QTEST_MAIN(InfoWindowsTest)
#include "tst_infowindows.moc"
