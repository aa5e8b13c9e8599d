// SPDX-License-Identifier: GPL-3.0-or-later
// Reset to Default Size and the information windows on the real main window, and the texts of
// the information windows and the splash: whole and readable inside their windows, the About
// window's own words.
#include "window/info/AboutWindow.h"
#include "window/info/HelpTexts.h"
#include "window/info/HelpWindow.h"
#include "window/shell/Splash.h"
#include "window/shell/WindowCommands.h"
#include "support/TempTree.h"
#include "support/WindowFixture.h"

#include <QtTest>
#include <QtWidgets>

class WindowCommandsTest : public QObject {
    Q_OBJECT
private slots:
    void resetAndInfoWindows()
    {
        TempTree tree;
        WindowFixture w(tree.path(), false);
        MainForm &f = w.f();
        f.window->show();
        QVERIFY(QTest::qWaitForWindowActive(f.window));

        // Reset (F2): a moved and resized window gets the default outer size (648 x 515) centred on the screen;
        // a maximised or minimised one stays as it is, and later goes back to its own normal place.
        const QRect screen = QGuiApplication::primaryScreen()->geometry(), centred((screen.width() - 648) / 2, (screen.height() - 515) / 2, 648, 515);
        const QRect normal(50, 60, 420, 300); // where the window goes back to when it is made normal again
        for (Qt::WindowState state : {Qt::WindowNoState, Qt::WindowMaximized, Qt::WindowMinimized}) {
            f.window->setGeometry(normal);
            f.window->setWindowState(state);
            state == Qt::WindowNoState ? QTest::keyClick(f.txtTitle, Qt::Key_F2) : mnuWindowReset_Click(f);
            QCOMPARE(f.window->windowState(), Qt::WindowStates(state));
            QCOMPARE(f.window->frameGeometry(), state == Qt::WindowNoState ? centred : f.window->frameGeometry());
            f.window->showNormal();
            QTRY_VERIFY(state == Qt::WindowNoState || f.window->geometry() == normal);
        }

        // Each information window opens modal and fresh, and Enter closes it; the About window's link
        // hands the home page over at every click, and the window stays open.
        const struct { QAction *action; const char *title; } windows[] = {
            {f.mnuAbout, "About"}, {f.mnuHelpPrint, "Help - Printing"}, {f.mnuHelpSaveToFile, "Help - Save To File"}, {f.mnuAbout, "About"}};
        for (const auto &[action, title] : windows) {
            QTimer::singleShot(0, [&] {
                QPointer<QWidget> modal = QApplication::activeModalWidget();
                const auto closeAnyway = qScopeGuard([&] { if (modal) modal->close(); });
                QVERIFY(modal && QTest::qWaitFor([&] { return QApplication::activeWindow() == modal; }));
                QCOMPARE(modal->windowTitle(), QLatin1String(title));
                if (auto *about = qobject_cast<AboutWindow *>(modal)) {
                    QCOMPARE(about->lblUrl->text(), QLatin1String(HomePage));
                    QTest::mouseClick(about->lblUrl, Qt::LeftButton);
                    QVERIFY(about->isVisible());
                    about->lblUrl->setText(QStringLiteral("changed"));
                }
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
                QVERIFY2(!modal || !modal->isVisible(), title); // else closed anyway, so that the test goes on
            });
            action->trigger();
            QTRY_COMPARE(QApplication::activeWindow(), f.window); // the keyboard back where it was
        }
        QCOMPARE(w.opener.opened, QList<QUrl>(2, QUrl(HomePage)));
    }

    void infoWindowTexts()
    {
        RecordingOpener opener;
        AboutWindow about(opener);
        HelpWindow print(helpPrintPage()), save(helpSavePage());
        SplashWindow splash([] {});
        splash.timeSplash.stop();
        // Each label inside its window, its text whole: wrapped within its box, or on one line as wide as the box.
        for (QWidget *window : {(QWidget *)&about, (QWidget *)&print, (QWidget *)&save, (QWidget *)&splash}) {
            window->show();
            QVERIFY(QTest::qWaitForWindowExposed(window));
            for (QLabel *l : window->findChildren<QLabel *>()) {
                const bool whole = l->wordWrap() ? l->heightForWidth(l->width()) <= l->height()
                                                 : l->fontMetrics().horizontalAdvance(l->text()) <= l->width();
                QVERIFY2(whole && l->parentWidget()->rect().contains(l->geometry()), qPrintable(l->objectName()));
            }
        }

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

QTEST_MAIN(WindowCommandsTest)
#include "tst_windowcommands.moc"
