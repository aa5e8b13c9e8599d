// The main window's elements, menus and focus order as built, and the splash window's hand-over,
// under the offscreen platform. Leaves a picture of each window in the build folder.
#include "shared/Geometry.h"
#include "shell/Splash.h"
#include "support/WindowFixture.h"

#include <QtTest>
#include <QtWidgets>

namespace {

// Name, kind, caption or text at design (if it has one), and design rectangle in twips.
struct Element { const char *name, *kind, *text; QRect twips; };

const Element Elements[] = {
    {"lblDrive", "QLabel", "Drive:", {120, 0, 465, 210}},
    {"drvDrive", "DriveList", nullptr, {120, 240, 3015, 315}},
    {"lblTitle", "QLabel", "Page Title:", {3240, 0, 855, 210}},
    {"txtTitle", "QLineEdit", "", {3240, 240, 4815, 405}},
    {"cmdClearTitle", "QPushButton", "&Clear Title", {8280, 240, 1215, 375}},
    {"lblFolder", "QLabel", "Folder:", {120, 720, 570, 210}},
    {"lblFolderSize", "QLabel", "Folders: ", {2400, 720, 720, 210}},
    {"lblFSize", "QLabel", "Size:", {4560, 742, 390, 210}},
    {"chkFolderSize", "QCheckBox", "", {5040, 720, 255, 255}},
    {"lblRecursive", "QLabel", "Recursive:", {5880, 742, 870, 210}},
    {"chkRecursive", "QCheckBox", "", {6840, 720, 255, 255}},
    {"dirFolder", "DirFolderView", nullptr, {120, 960, 2175, 3915}},
    {"txtParentFolder", "QLineEdit", "", {2400, 960, 7095, 330}},
    {"lstFolders", "TextList", nullptr, {2400, 1320, 7095, 960}},
    {"lblFileList", "QLabel", "Files:", {2400, 2400, 435, 210}},
    {"lblSize", "QLabel", "Size:", {4560, 2400, 390, 210}},
    {"chkSize", "QCheckBox", "", {5040, 2400, 255, 195}},
    {"lblModified", "QLabel", "Modified:", {5760, 2400, 765, 210}},
    {"chkModified", "QCheckBox", "", {6600, 2400, 255, 195}},
    {"lstBigFileList", "TextList", nullptr, {2400, 2640, 7095, 2535}},
    {"lblFileTypes", "QLabel", "File Types:", {120, 5040, 885, 210}},
    {"cboFileTypes", "QComboBox", "*.*", {120, 5280, 1815, 315}},
    {"chkPrintDir", "QCheckBox", "Include Folders", {2520, 5400, 1575, 255}},
    {"lblPrinter", "QLabel", "Printer:", {4320, 5520, 615, 210}},
    {"lblPrinterFonts", "QLabel", "Printer Fonts:", {6600, 5520, 1125, 210}},
    {"lblPrinterFontSize", "QLabel", "Font Size:", {8160, 5520, 795, 210}},
    {"cmdPrint", "QPushButton", "&Print Files List", {120, 5760, 2055, 375}},
    {"cboIndent", "QComboBox", "Indentation", {2520, 5760, 1455, 315}},
    {"cboPrinter", "QComboBox", nullptr, {4320, 5760, 2175, 315}},
    {"cboPrinterFonts", "QComboBox", nullptr, {6600, 5760, 1455, 315}},
    {"cboPrinterFontSize", "QComboBox", nullptr, {8160, 5760, 1095, 315}},
    {"cmdExit", "QPushButton", "&Exit", {120, 6240, 615, 375}},
    {"cmdSaveToFile", "QPushButton", "&Save To File", {840, 6240, 1335, 375}},
    {"lblFile", "QLabel", "File Path for Save To File:", {2400, 6240, 2040, 210}},
    {"chkAutoUpdate", "QCheckBox", "AutoUpdate", {8160, 6360, 1335, 375}},
    {"txtMyFilePath", "QLineEdit", "", {2400, 6480, 5535, 285}},
};

// The width a caption needs on the screen, without its access-key marker.
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

void savePicture(QWidget *w, const char *file)
{
    const QString dir = qEnvironmentVariable("LISTWRIGHT_TEST_BINARY_DIR", QDir::currentPath());
    QVERIFY(w->grab().save(dir + QLatin1Char('/') + QLatin1String(file)));
}

} // namespace

class TestMainLayout : public QObject {
    Q_OBJECT
    std::unique_ptr<WindowFixture> fixture;
    MainWindow *window = nullptr;
    MainForm *f = nullptr;
    QWidget *client = nullptr;

private slots:
    void init()
    {
        fixture = std::make_unique<WindowFixture>(QFile::encodeName(QDir::currentPath()), false);
        window = fixture->window.get();
        f = &window->form();
        client = window->centralWidget();
        window->show();
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window));
    }
    void cleanup() { fixture.reset(); }

    void elementsAtDesign()
    {
        for (const Element &e : Elements) {
            auto *w = client->findChild<QWidget *>(QLatin1String(e.name));
            QVERIFY2(w && w->inherits(e.kind) && w->isVisible(), e.name);
            if (e.text)
                QCOMPARE(w->property(qobject_cast<QComboBox *>(w) ? "currentText" : "text").toString(),
                         QString::fromUtf8(e.text));
            const QRect design = twipsRect(e.twips.x(), e.twips.y(), e.twips.width(), e.twips.height());
            if (!w->inherits("QLabel"))
                QCOMPARE(w->geometry(), design);
            else // labels take their caption's size; Arial's metrics differ a little from the design's font
                QVERIFY2(w->pos() == design.topLeft() && w->size() == w->sizeHint()
                             && qAbs(w->width() - design.width()) <= 6, e.name);
        }
        QCOMPARE(QRect(client->mapFrom(window, f->StatusBar1->pos()), f->StatusBar1->size()),
                 twipsRect(0, 6780, 9600, 255));
        for (QComboBox *c : {f->cboFileTypes, f->cboIndent}) // typed text is never completed behind the user's back
            QVERIFY(!c->completer());

        // The file list, the walker's folder list and the resizer have nothing that could show.
        for (const char *name : {"fileFileList", "dirInvisFolder", "Resizer1"})
            QVERIFY2(!window->findChild<QWidget *>(QLatin1String(name)), name);
    }

    void fontsCaptionsAndPicture()
    {
        f->txtParentFolder->setText(QStringLiteral("/home/user/documents/*.*  12.34 MB"));
        f->lstFolders->addItem(QStringLiteral("/home/user/documents/letters/        1.50 MB"));
        f->lstBigFileList->addItem(QStringLiteral("notes.txt      1.13 KB   03/02/2024 10:15:00"));
        savePicture(window, "mainwindow.png");

        // Columns are aligned by character counts, so the lists need a fixed-pitch face ("Fixedsys").
        for (QWidget *w : {(QWidget *)f->txtParentFolder, (QWidget *)f->lstFolders, (QWidget *)f->lstBigFileList})
            QVERIFY2(QFontInfo(w->font()).fixedPitch(), qPrintable(QFontInfo(w->font()).family()));

        // Every caption shows whole.
        for (QPushButton *b : client->findChildren<QPushButton *>())
            QVERIFY2(captionWidth(b, b->text()) + 8 <= b->width(), qPrintable(b->objectName()));
        for (QCheckBox *c : client->findChildren<QCheckBox *>()) {
            QVERIFY2(c->rect().contains(checkBoxPart(c, QStyle::SE_CheckBoxIndicator)), qPrintable(c->objectName()));
            const int room = checkBoxPart(c, QStyle::SE_CheckBoxContents).width();
            QVERIFY2(c->text().isEmpty() || captionWidth(c, c->text()) <= room, qPrintable(c->objectName()));
        }
    }

    void menusFocusOrderAndF2()
    {
        QStringList items;
        for (QAction *top : window->menuBar()->actions()) {
            items.append(top->text() + QLatin1Char(':'));
            for (QAction *a : top->menu()->actions())
                items.append(a->objectName() + QLatin1Char('=') + (a->isSeparator() ? QStringLiteral("-") : a->text()));
        }
        QCOMPARE(items, QStringList({"&File:", "mnuPrint=&Print", "mnuSave=&Save To File", "mnuSep1=-",
                                     "mnuStopScan=&Stop Scanning", "mnuSep=-", "mnuExit=E&xit",
                                     "&Window:", "mnuWindowReset=&Reset to Default Size",
                                     "&Help:", "mnuHelpPrint=&Printing", "mnuHelpSaveToFile=&Save To File",
                                     "mnuSep2=-", "mnuAbout=&About"}));
        QCOMPARE(f->mnuWindowReset->shortcut(), QKeySequence(Qt::Key_F2));

        QStringList order;
        for (int i = 0; i < 23; ++i) {
            QWidget *w = QApplication::focusWidget();
            // An editable combo's text field counts as the combo.
            order.append((qobject_cast<QComboBox *>(w->parentWidget()) ? w->parentWidget() : w)->objectName());
            QTest::keyClick(w, Qt::Key_Tab);
        }
        QCOMPARE(order, QStringList({"drvDrive", "dirFolder", "cboFileTypes", "cmdExit", "cmdPrint", "chkPrintDir",
                                     "cboPrinter", "txtTitle", "cmdClearTitle", "cboIndent", "cmdSaveToFile",
                                     "txtMyFilePath", "chkAutoUpdate", "lstBigFileList", "chkSize", "chkModified",
                                     "lstFolders", "txtParentFolder", "cboPrinterFonts", "chkFolderSize",
                                     "cboPrinterFontSize", "chkRecursive", "drvDrive"}));
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
        QCOMPARE(QStringList({splash->lblProductName->text(), splash->lblVersion->text(), splash->lblPlatform->text(),
                              splash->lblDescription->text()}),
                 QStringList({"Listwright", "Version 2.0.0", "Win95/Win98/WinNT",
                              "A program designed to let you print or save to a file a list of folders and their sizes."}));
        savePicture(splash, "splash.png");

        splash->timeSplash.start();
        QTRY_VERIFY_WITH_TIMEOUT(splash.isNull(), 10000);
        QVERIFY(handOvers == 1 && mainWindow.isVisible());
    }
};

QTEST_MAIN(TestMainLayout)
#include "tst_mainlayout.moc"
