// The main window's arrangement at the design size and after resizing, its captions, menus and
// focus order, and the splash window's hand-over, under the offscreen platform.
#include "shared/Geometry.h"
#include "shell/Splash.h"
#include "support/WindowFixture.h"

#include <QtTest>
#include <QtWidgets>

namespace {
int captionWidth(const QWidget *w, const QString &caption)
{
    return w->fontMetrics().horizontalAdvance(QString(caption).remove(QLatin1Char('&')));
}

QRect checkBoxPart(const QCheckBox *c, QStyle::SubElement part)
{
    QStyleOptionButton option;
    option.initFrom(c);
    option.text = c->text();
    return c->style()->subElementRect(part, &option, c);
}

// Every element inside the client area, and no two overlapping (a check box without caption shows only its box).
void checkArrangement(const QWidget *client)
{
    const auto covered = [](const QWidget *w) {
        const auto *c = qobject_cast<const QCheckBox *>(w);
        return c && c->text().isEmpty() ? checkBoxPart(c, QStyle::SE_CheckBoxIndicator).translated(c->pos()) : w->geometry();
    };
    const QList<QWidget *> all = client->findChildren<QWidget *>(Qt::FindDirectChildrenOnly);
    QCOMPARE(all.size(), 36);
    for (QWidget *w : all) {
        QVERIFY2(client->rect().contains(w->geometry()), qPrintable(w->objectName()));
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
        checkArrangement(client);
        // A few anchors: the big list, the right-most button, the lowest box and the status bar.
        const QRect bigList = twipsRect(2400, 2640, 7095, 2535);
        QCOMPARE(f.lstBigFileList->geometry(), bigList);
        QCOMPARE(f.cmdClearTitle->geometry(), twipsRect(8280, 240, 1215, 375));
        QCOMPARE(f.txtMyFilePath->geometry(), twipsRect(2400, 6480, 5535, 285));
        QCOMPARE(QRect(client->mapFrom(f.window, f.StatusBar1->pos()), f.StatusBar1->size()), twipsRect(0, 6780, 9600, 255));

        // Positions and sizes scale with each side of the client area, and come back at the design size.
        for (const auto &[sx, sy] : {std::pair(1.25, 1.5), std::pair(0.75, 0.8), std::pair(1.0, 1.0)}) {
            const QSize size(qRound(640 * sx), qRound(452 * sy));
            f.window->resize(f.window->size() + size - client->size()); // menu bar and status bar stay
            QTRY_COMPARE(client->size(), size);
            checkArrangement(client);
            const QRect r = f.lstBigFileList->geometry();
            QVERIFY2(qAbs(r.left() - bigList.left() * sx) <= 1 && qAbs(r.top() - bigList.top() * sy) <= 1
                         && qAbs(r.width() - bigList.width() * sx) <= 1 && qAbs(r.height() - bigList.height() * sy) <= 1,
                     qPrintable(QStringLiteral("%1 %2 %3 %4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height())));
        }
        QCOMPARE(f.lstBigFileList->geometry(), bigList);

        // Captions show whole, in the window's own spelling.
        QStringList captions;
        for (QWidget *w : client->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
            const QString text = w->property("text").toString();
            const auto *c = qobject_cast<QCheckBox *>(w);
            const int room = c ? checkBoxPart(c, QStyle::SE_CheckBoxContents).width() : w->width() - (qobject_cast<QPushButton *>(w) ? 8 : 0);
            QVERIFY2(text.isEmpty() || captionWidth(w, text) <= room, qPrintable(w->objectName()));
            if (!text.isEmpty())
                captions << text;
        }
        QCOMPARE(captions.join(u'|'), QStringLiteral(
            "Drive:|Page Title:|&Clear Title|Folder:|Folders: |Size:|Recursive:|Files:|Size:|Modified:|File Types:|"
            "Include Folders|Printer:|Printer Fonts:|Font Size:|&Print Files List|&Exit|&Save To File|"
            "File Path for Save To File:|AutoUpdate"));
        QCOMPARE(f.cboFileTypes->currentText() + f.cboIndent->currentText(), "*.*Indentation");

        // The lists align columns by character counts; typed text is never completed behind the user's back.
        for (QWidget *w : {(QWidget *)f.txtParentFolder, (QWidget *)f.lstFolders, (QWidget *)f.lstBigFileList})
            QVERIFY2(QFontInfo(w->font()).fixedPitch(), qPrintable(QFontInfo(w->font()).family()));
        QVERIFY(!f.cboFileTypes->completer() && !f.cboIndent->completer());
        for (const char *name : {"fileFileList", "dirInvisFolder"}) // nothing of them could ever show
            QVERIFY2(!f.window->findChild<QWidget *>(QLatin1String(name)), name);

        QStringList items;
        for (QAction *top : f.window->menuBar()->actions())
            for (QAction *a : top->menu()->actions())
                items << top->text() + ' ' + (a->isSeparator() ? QStringLiteral("-") : a->text() + ' ' + a->shortcut().toString());
        QCOMPARE(items.join(u'|'), QStringLiteral("&File &Print |&File &Save To File |&File -|&File &Stop Scanning |&File -|"
                                                  "&File E&xit |&Window &Reset to Default Size F2|&Help &Printing |"
                                                  "&Help &Save To File |&Help -|&Help &About "));
        QStringList order;
        for (int i = 0; i < 23; ++i) {
            QWidget *w = QApplication::focusWidget(); // an editable combo's text field counts as the combo
            order << (qobject_cast<QComboBox *>(w->parentWidget()) ? w->parentWidget() : w)->objectName();
            QTest::keyClick(w, Qt::Key_Tab);
        }
        QCOMPARE(order.join(u' '), QStringLiteral("drvDrive dirFolder cboFileTypes cmdExit cmdPrint chkPrintDir cboPrinter "
                                                  "txtTitle cmdClearTitle cboIndent cmdSaveToFile txtMyFilePath chkAutoUpdate "
                                                  "lstBigFileList chkSize chkModified lstFolders txtParentFolder "
                                                  "cboPrinterFonts chkFolderSize cboPrinterFontSize chkRecursive drvDrive"));
    }

    void splashHandsOverOnce()
    {
        // The main window's load may show a box, whose modal loop outlasts the splash's interval.
        int handOvers = 0;
        QWidget mainWindow;
        QPointer<SplashWindow> splash = new SplashWindow([&] {
            ++handOvers;
            QEventLoop box;
            QTimer::singleShot(1700, &box, &QEventLoop::quit);
            box.exec();
            mainWindow.show();
        });
        splash->timeSplash.stop(); // held while its captions are looked at
        splash->show();
        QVERIFY(QTest::qWaitForWindowExposed(splash));
        for (QLabel *label : splash->findChildren<QLabel *>()) { // each caption shows whole and inside the frame
            const bool whole = label->wordWrap() ? label->heightForWidth(label->width()) <= label->height()
                                                 : captionWidth(label, label->text()) <= label->width();
            QVERIFY2(whole && label->parentWidget()->rect().contains(label->geometry()), qPrintable(label->objectName()));
        }
        QCOMPARE(splash->lblVersion->text() + '|' + splash->lblDescription->text(),
                 "Version 2.0.0|A program designed to let you print or save to a file a list of folders and their sizes.");
        splash->timeSplash.start();
        QTRY_VERIFY_WITH_TIMEOUT(splash.isNull(), 10000);
        QVERIFY(handOvers == 1 && mainWindow.isVisible());
    }
};

QTEST_MAIN(TestMainLayout)
#include "tst_mainlayout.moc"
