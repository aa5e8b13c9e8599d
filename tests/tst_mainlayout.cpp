// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's arrangement at the design size and after resizing, its captions, menus and
// focus order, and the splash window's hand-over, under the offscreen platform.
#include "window/shared/Geometry.h"
#include "window/shell/Splash.h"
#include "support/WindowFixture.h"

#include <QtTest>
#include <QtWidgets>

namespace {
QRect checkBoxPart(const QCheckBox *c, QStyle::SubElement part)
{
    QStyleOptionButton option;
    option.initFrom(c);
    option.text = c->text();
    return c->style()->subElementRect(part, &option, c);
}

// Every element inside the client area and no two overlapping (a check box without caption shows only its box);
// at the design size every caption (without its access-key "&") shows whole.
void checkArrangement(const QWidget *client)
{
    const auto covered = [](const QWidget *w) {
        const auto *c = qobject_cast<const QCheckBox *>(w);
        return c && c->text().isEmpty() ? checkBoxPart(c, QStyle::SE_CheckBoxIndicator).translated(c->pos()) : w->geometry();
    };
    const QList<QWidget *> all = client->findChildren<QWidget *>(Qt::FindDirectChildrenOnly);
    QCOMPARE(all.size(), 37);
    for (QWidget *w : all) {
        const auto *c = qobject_cast<QCheckBox *>(w);
        const int room = c ? checkBoxPart(c, QStyle::SE_CheckBoxContents).width() : w->width() - (qobject_cast<QPushButton *>(w) ? 8 : 0);
        const int width = w->fontMetrics().horizontalAdvance(w->property("text").toString().remove(u'&'));
        QVERIFY2(client->rect().contains(w->geometry()) && (client->size() != QSize(640, 452) || width == 0 || width <= room), qPrintable(w->objectName()));
        for (QWidget *other : all)
            QVERIFY2(w == other || !covered(w).intersects(covered(other)), qPrintable(w->objectName() + " over " + other->objectName()));
    }
}
} // namespace

class TestMainLayout : public QObject {
    Q_OBJECT
private slots:
    void mainWindow()
    {
        WindowFixture fixture(QFile::encodeName(QDir::currentPath()), false);
        MainForm &f = fixture.f();
        QWidget *client = f.window->centralWidget();
        f.window->show();
        QVERIFY(QTest::qWaitForWindowActive(f.window));
        QCOMPARE(client->size(), QSize(640, 452));
        const QRect bigList = twipsRect(2400, 2640, 7095, 2535);

        // Positions and sizes scale with each side of the client area, and come back exactly at the design size.
        for (const auto &[sx, sy] : {std::pair(1.0, 1.0), std::pair(1.25, 1.5), std::pair(0.75, 0.8), std::pair(1.0, 1.0)}) {
            const QSize size(qRound(640 * sx), qRound(452 * sy));
            f.window->resize(f.window->size() + size - client->size()); // menu bar and status bar stay
            QTRY_COMPARE(client->size(), size);
            checkArrangement(client);
            const QRectF want(bigList.left() * sx, bigList.top() * sy, bigList.width() * sx, bigList.height() * sy), got(f.lstBigFileList->geometry());
            QVERIFY(got.adjusted(-1, -1, 1, 1).contains(want) && want.adjusted(-1, -1, 1, 1).contains(got)); // each edge within a pixel
        }
        QCOMPARE(f.lstBigFileList->geometry(), bigList);

        // The captions, in the window's own spelling.
        QStringList captions;
        for (QWidget *w : client->findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
            if (const QString text = w->property("text").toString(); !text.isEmpty())
                captions << text;
        QCOMPARE(captions.join(u'|'), QStringLiteral("Drive:|Page Title:|&Clear Title|Folder:|Folders: |Size:|Recursive:|Files:|Size:|Modified:|"
            "File Types:|Include Folders|Printer:|Printer Fonts:|Font Size:|&Print Files List|&Exit|&Save To File|File Path for Save To File:|AutoUpdate"));
        QCOMPARE(f.cboFileTypes->currentText() + f.cboIndent->currentText(), "*.*Indentation");

        // The lists align columns by character counts; typed text is never completed behind the user's back.
        const auto fixed = [](const QWidget *w) { return QFontInfo(w->font()).fixedPitch(); };
        QVERIFY(fixed(f.txtParentFolder) && fixed(f.lstFolders) && fixed(f.lstBigFileList) && !f.cboFileTypes->completer() && !f.cboIndent->completer());

        QStringList items;
        for (QAction *top : f.window->menuBar()->actions())
            for (QAction *a : top->menu()->actions()) {
                items << top->text() + ' ' + (a->isSeparator() ? QStringLiteral("-") : a->text() + ' ' + a->shortcut().toString());
                for (QAction *sub : a->menu() ? a->menu()->actions() : QList<QAction *>())
                    items << QString(sub->isChecked() ? "* " : "  ") + sub->text();
            }
        QCOMPARE(items.join(u'|'), QStringLiteral("&File &Print Ctrl+P|&File &Save To File Ctrl+S|&File -|&File &Open Scan... Ctrl+O|&File Save Sc&an As... |"
                                                  "&File &Compare With Scan... |&File -|&File &Stop Scanning |&File -|&File E&xit Ctrl+Q|"
                                                  "&Window &Reset to Default Size F2|&View Sort &Folders By |* &Name|  &Size|  &Modified|"
                                                  "&View Sort F&iles By |* &Name|  &Size|  &Modified|&View -|&View Size &Bars |&View Show &Counts |&View Disk &Usage |&View Show C&hanges Only |&View -|"
                                                  "&View Stay On &One File System |&View E&xclude... |&View -|&View Fin&d in Lists Ctrl+F|"
                                                  "&Help &Printing F1|&Help &Save To File |&Help -|&Help &About "));
        QStringList order;
        for (QWidget *w = QApplication::focusWidget(); order.size() < 23; QTest::keyClick(w, Qt::Key_Tab), w = QApplication::focusWidget())
            order << (qobject_cast<QComboBox *>(w->parentWidget()) ? w->parentWidget() : w)->objectName(); // a combo's text field is the combo
        QCOMPARE(order.join(u' '), QStringLiteral("drvDrive dirFolder cboFileTypes cmdExit cmdPrint chkPrintDir cboPrinter txtTitle "
                                                  "cmdClearTitle cboIndent cmdSaveToFile txtMyFilePath chkAutoUpdate lstBigFileList chkSize "
                                                  "chkModified lstFolders txtParentFolder cboPrinterFonts chkFolderSize cboPrinterFontSize chkRecursive drvDrive"));
    }

    void splashHandsOverOnce()
    {
        // The main window's load may show a box, whose modal loop outlasts the splash's interval.
        int handOvers = 0;
        QWidget mainWindow;
        QPointer<SplashWindow> splash = new SplashWindow([&] { ++handOvers; QTest::qWait(1700); mainWindow.show(); });
        splash->show();
        QCOMPARE(splash->lblVersion->text() + '|' + splash->lblPlatform->text() + '|' + splash->lblDescription->text(),
                 "Version 2.0.0|Linux|A program designed to let you print or save to a file a list of folders and their sizes.");
        QTRY_VERIFY_WITH_TIMEOUT(splash.isNull(), 10000);
        QVERIFY(handOvers == 1 && mainWindow.isVisible());
    }
};

QTEST_MAIN(TestMainLayout)
#include "tst_mainlayout.moc"
