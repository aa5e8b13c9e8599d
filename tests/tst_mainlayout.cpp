// The main window's elements, menus and focus order as built, and the splash window, under
// the offscreen platform. Also leaves a picture of each window in the build folder.
#include "VersionInfo.h"
#include "listing/FileListElement.h"
#include "scan/DirFolderView.h"
#include "shared/Geometry.h"
#include "shared/TextList.h"
#include "shared/WebOpener.h"
#include "shell/MainLayout.h"
#include "shell/MainWindow.h"
#include "shell/Splash.h"
#include "support/RecordingPrinter.h"
#include "support/ScriptedMessageBoxes.h"
#include "support/TempTree.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QEventLoop>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QPushButton>
#include <QStatusBar>
#include <QScreen>
#include <QStyle>
#include <QStyleOptionButton>
#include <QtTest>
#include <unistd.h>

namespace {

class NoWeb : public WebOpener {
public:
    void open(const QUrl &) override {}
};

struct Element {
    const char *name;
    const char *kind; // class name the element must be
    const char *text; // caption or text at design
    QRect twips;      // left, top, width, height
    bool autoSize;    // auto-size labels take their caption's size
};

const Element Elements[] = {
    {"lblDrive", "QLabel", "Drive:", {120, 0, 465, 210}, true},
    {"drvDrive", "DriveList", nullptr, {120, 240, 3015, 315}, false},
    {"lblTitle", "QLabel", "Page Title:", {3240, 0, 855, 210}, true},
    {"txtTitle", "QLineEdit", "", {3240, 240, 4815, 405}, false},
    {"cmdClearTitle", "QPushButton", "&Clear Title", {8280, 240, 1215, 375}, false},
    {"lblFolder", "QLabel", "Folder:", {120, 720, 570, 210}, true},
    {"lblFolderSize", "QLabel", "Folders: ", {2400, 720, 720, 210}, true},
    {"lblFSize", "QLabel", "Size:", {4560, 742, 390, 210}, true},
    {"chkFolderSize", "QCheckBox", "", {5040, 720, 255, 255}, false},
    {"lblRecursive", "QLabel", "Recursive:", {5880, 742, 870, 210}, true},
    {"chkRecursive", "QCheckBox", "", {6840, 720, 255, 255}, false},
    {"dirFolder", "DirFolderView", nullptr, {120, 960, 2175, 3915}, false},
    {"txtParentFolder", "QLineEdit", "", {2400, 960, 7095, 330}, false},
    {"lstFolders", "TextList", nullptr, {2400, 1320, 7095, 960}, false},
    {"lblFileList", "QLabel", "Files:", {2400, 2400, 435, 210}, true},
    {"lblSize", "QLabel", "Size:", {4560, 2400, 390, 210}, true},
    {"chkSize", "QCheckBox", "", {5040, 2400, 255, 195}, false},
    {"lblModified", "QLabel", "Modified:", {5760, 2400, 765, 210}, true},
    {"chkModified", "QCheckBox", "", {6600, 2400, 255, 195}, false},
    {"lstBigFileList", "TextList", nullptr, {2400, 2640, 7095, 2535}, false},
    {"lblFileTypes", "QLabel", "File Types:", {120, 5040, 885, 210}, true},
    {"cboFileTypes", "QComboBox", "*.*", {120, 5280, 1815, 315}, false},
    {"chkPrintDir", "QCheckBox", "Include Folders", {2520, 5400, 1575, 255}, false},
    {"lblPrinter", "QLabel", "Printer:", {4320, 5520, 615, 210}, true},
    {"lblPrinterFonts", "QLabel", "Printer Fonts:", {6600, 5520, 1125, 210}, true},
    {"lblPrinterFontSize", "QLabel", "Font Size:", {8160, 5520, 795, 210}, true},
    {"cmdPrint", "QPushButton", "&Print Files List", {120, 5760, 2055, 375}, false},
    {"cboIndent", "QComboBox", "Indentation", {2520, 5760, 1455, 315}, false},
    {"cboPrinter", "QComboBox", nullptr, {4320, 5760, 2175, 315}, false},
    {"cboPrinterFonts", "QComboBox", nullptr, {6600, 5760, 1455, 315}, false},
    {"cboPrinterFontSize", "QComboBox", nullptr, {8160, 5760, 1095, 315}, false},
    {"cmdExit", "QPushButton", "&Exit", {120, 6240, 615, 375}, false},
    {"cmdSaveToFile", "QPushButton", "&Save To File", {840, 6240, 1335, 375}, false},
    {"lblFile", "QLabel", "File Path for Save To File:", {2400, 6240, 2040, 210}, true},
    {"chkAutoUpdate", "QCheckBox", "AutoUpdate", {8160, 6360, 1335, 375}, false},
    {"txtMyFilePath", "QLineEdit", "", {2400, 6480, 5535, 285}, false},
};

QString textOf(const QWidget *w)
{
    if (auto *l = qobject_cast<const QLabel *>(w))
        return l->text();
    if (auto *b = qobject_cast<const QAbstractButton *>(w))
        return b->text();
    if (auto *e = qobject_cast<const QLineEdit *>(w))
        return e->text();
    if (auto *c = qobject_cast<const QComboBox *>(w))
        return c->currentText();
    return {};
}

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

QRect checkBoxIndicator(const QCheckBox *c)
{
    return checkBoxPart(c, QStyle::SE_CheckBoxIndicator);
}

// What an element shows: a check box without caption shows only its box.
QRect shownRect(QWidget *w)
{
    auto *c = qobject_cast<QCheckBox *>(w);
    if (!c || !c->text().isEmpty())
        return w->geometry();
    return checkBoxIndicator(c).translated(c->pos());
}

// The height a text box or combo box has for its line of text.
int textRoom(const QWidget *w)
{
    if (auto *c = qobject_cast<const QComboBox *>(w)) {
        QStyleOptionComboBox option;
        option.initFrom(c);
        option.editable = c->isEditable();
        option.frame = c->hasFrame();
        return c->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, c).height();
    }
    auto *e = qobject_cast<const QLineEdit *>(w);
    QStyleOptionFrame option;
    option.initFrom(e);
    option.lineWidth = e->hasFrame() ? e->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, e) : 0;
    return e->style()->subElementRect(QStyle::SE_LineEditContents, &option, e).height();
}

void savePicture(QWidget *w, const char *file)
{
    const QString dir = qEnvironmentVariable("LISTWRIGHT_TEST_BINARY_DIR", QDir::currentPath());
    QVERIFY(w->grab().save(dir + QLatin1Char('/') + QLatin1String(file)));
}

} // namespace

class TestMainLayout : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup() { window.reset(); }
    void elementsAtDesign();
    void elementsShowWhatTheyHold();
    void menusAndShortcuts();
    void focusOrder();
    void hiddenListsNeverShow();
    void folderTreeOpensOnEnterOnly();
    void splashTextsAndPicture();
    void splashHandsOverOnce();

private:
    ScriptedMessageBoxes boxes;
    RecordingPrinter printer;
    NoWeb web;
    std::unique_ptr<MainWindow> window;
    MainForm *f = nullptr;
    QWidget *client = nullptr;
};

void TestMainLayout::init()
{
    window = std::make_unique<MainWindow>(boxes, printer, web);
    f = &window->form();
    client = window->centralWidget();
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
}

void TestMainLayout::elementsAtDesign()
{
    QCOMPARE(window->windowTitle(), QStringLiteral("Listwright "));
    QCOMPARE(client->width(), DesignClientWidth);
    QCOMPARE(client->height() + f->StatusBar1->height(), DesignClientHeight);
    QCOMPARE(client->palette().color(QPalette::Window), QColor(192, 192, 192));
    QVERIFY(!window->windowIcon().isNull());

    QList<QWidget *> elements;
    for (const Element &e : Elements) {
        auto *w = client->findChild<QWidget *>(QLatin1String(e.name));
        QVERIFY2(w, e.name);
        elements.append(w);
        QVERIFY2(w->inherits(e.kind), e.name);
        QVERIFY2(w->isVisible(), e.name);
        if (e.text)
            QCOMPARE(textOf(w), QString::fromUtf8(e.text));
        const QRect design = twipsRect(e.twips.x(), e.twips.y(), e.twips.width(), e.twips.height());
        if (e.autoSize) {
            QCOMPARE(w->pos(), design.topLeft());
            QCOMPARE(w->size(), w->sizeHint());
            QVERIFY2(qAbs(w->width() - design.width()) <= 6, e.name); // Arial's metrics
        } else {
            QCOMPARE(w->geometry(), design);
        }
    }
    // The window opens centred, and its elements follow its size and come back to the design.
    const QPoint centre = window->screen()->availableGeometry().center();
    QVERIFY((window->frameGeometry().center() - centre).manhattanLength() <= 8); // frame unknown before showing
    const QSize chrome = window->size() - client->size();
    window->resize(QSize(DesignClientWidth * 3 / 2, client->height() * 3 / 2) + chrome);
    QTRY_COMPARE(client->width(), DesignClientWidth * 3 / 2);
    for (QWidget *w : elements) {
        const QRect d = designRect(w), r = w->geometry();
        const QRect scaled(QPoint(d.left() * 3 / 2, d.top() * 3 / 2), QPoint(d.right() * 3 / 2, d.bottom() * 3 / 2));
        QVERIFY2(qAbs(r.left() - scaled.left()) + qAbs(r.top() - scaled.top()) + qAbs(r.right() - scaled.right())
                         + qAbs(r.bottom() - scaled.bottom()) <= 4,
                 qPrintable(w->objectName()));
    }
    window->resize(QSize(DesignClientWidth, DesignClientHeight - f->StatusBar1->height()) + chrome);
    QTRY_COMPARE(client->width(), DesignClientWidth);
    for (QWidget *w : elements)
        QCOMPARE(w->geometry(), designRect(w));

    // Nothing else shows in the client area, and no two elements overlap.
    for (QWidget *w : client->findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
        QVERIFY2(elements.contains(w) || !w->isVisible(), qPrintable(w->objectName()));
    for (qsizetype i = 0; i < elements.size(); ++i)
        for (qsizetype j = i + 1; j < elements.size(); ++j)
            QVERIFY2(!shownRect(elements[i]).intersects(shownRect(elements[j])),
                     qPrintable(elements[i]->objectName() + QLatin1String(" / ") + elements[j]->objectName()));

    // The status bar spans the bottom edge below every element.
    const QRect bar(client->mapFrom(window.get(), f->StatusBar1->pos()), f->StatusBar1->size());
    QCOMPARE(bar, twipsRect(0, 6780, 9600, 255));
    for (QWidget *w : elements)
        QVERIFY(w->geometry().bottom() < bar.top());

    // Initial states.
    QVERIFY(!f->chkFolderSize->isChecked() && !f->chkRecursive->isChecked());
    QVERIFY(f->chkSize->isChecked() && f->chkModified->isChecked());
    QVERIFY(f->chkPrintDir->isChecked() && f->chkAutoUpdate->isChecked());
    QStringList types;
    for (int i = 0; i < f->cboFileTypes->count(); ++i)
        types.append(f->cboFileTypes->itemText(i));
    QCOMPARE(types, QStringList({"*.*", "*.exe", "*.mp3", "*.wav"}));
    QVERIFY(f->cboFileTypes->isEditable() && f->cboIndent->isEditable());
    QVERIFY(!f->cboFileTypes->completer() && !f->cboIndent->completer());
    QVERIFY(!f->cboPrinter->isEditable() && !f->cboPrinterFonts->isEditable() && !f->cboPrinterFontSize->isEditable());
}

void TestMainLayout::elementsShowWhatTheyHold()
{
    // A picture with the lists and boxes holding typical lines.
    f->txtTitle->setText(QStringLiteral("LISTWRIGHT"));
    f->txtMyFilePath->setText(QStringLiteral("/home/user/documents/"));
    f->txtParentFolder->setText(QStringLiteral("/home/user/documents/*.*  12.34 MB"));
    f->lstFolders->addItem(QStringLiteral("/home/user/documents/letters/        1.50 MB"));
    f->lstFolders->addItem(QStringLiteral("/home/user/documents/photographs/  850.00 KB"));
    f->lstBigFileList->addItem(QStringLiteral("notes.txt      1.13 KB   03/02/2024 10:15:00"));
    f->lstBigFileList->addItem(QStringLiteral("report.pdf   417.00 KB   11/12/2023 16:42:08"));
    f->cboIndent->addItem(QStringLiteral("5 Characters"));
    f->cboIndent->setEditText(QStringLiteral("Indentation"));
    f->cboPrinter->addItem(QStringLiteral("PDF"));
    f->cboPrinterFonts->addItem(QStringLiteral("Courier New"));
    f->cboPrinterFontSize->addItem(QStringLiteral(" 10"));
    savePicture(window.get(), "mainwindow.png");

    // Fonts: bold Arial captions, the page title's large bold face in dark blue, and a
    // fixed-pitch face wherever columns are aligned by character counts.
    for (QLabel *l : client->findChildren<QLabel *>()) {
        QVERIFY(l->font().bold());
        QCOMPARE(l->font().pointSizeF(), 8.25);
    }
    QCOMPARE(f->txtTitle->font().pointSizeF(), 14.25);
    QVERIFY(f->txtTitle->font().bold());
    QCOMPARE(f->txtTitle->palette().color(QPalette::Text), QColor(0, 0, 192));
    for (QWidget *w : {(QWidget *)f->txtParentFolder, (QWidget *)f->lstFolders, (QWidget *)f->lstBigFileList}) {
        QVERIFY2(QFontInfo(w->font()).fixedPitch(), qPrintable(QFontInfo(w->font()).family()));
        QCOMPARE(w->font().pointSizeF(), 9.0);
    }

    // Every caption shows whole, and every text box and combo box is tall enough for its font.
    for (QPushButton *b : client->findChildren<QPushButton *>())
        QVERIFY2(captionWidth(b, b->text()) + 8 <= b->width(), qPrintable(b->objectName()));
    for (QCheckBox *c : client->findChildren<QCheckBox *>()) {
        QVERIFY2(c->rect().contains(checkBoxIndicator(c)), qPrintable(c->objectName()));
        QVERIFY2(c->text().isEmpty() || captionWidth(c, c->text()) <= checkBoxPart(c, QStyle::SE_CheckBoxContents).width(),
                 qPrintable(c->objectName()));
    }
    for (QWidget *w : client->findChildren<QWidget *>()) {
        if (qobject_cast<QComboBox *>(w) || (qobject_cast<QLineEdit *>(w) && !qobject_cast<QComboBox *>(w->parent())))
            QVERIFY2(w->fontMetrics().height() <= textRoom(w), qPrintable(w->objectName()));
    }

}

void TestMainLayout::menusAndShortcuts()
{
    const QList<QAction *> top = window->menuBar()->actions();
    QStringList titles;
    for (QAction *a : top)
        titles.append(a->text());
    QCOMPARE(titles, QStringList({"&File", "&Window", "&Help"}));
    QCOMPARE(top[0]->menu(), f->mnuFile);
    QCOMPARE(top[1]->menu(), f->mnuWindow);
    QCOMPARE(top[2]->menu(), f->mnuHelp);

    auto items = [](QMenu *menu) {
        QStringList list;
        for (QAction *a : menu->actions()) {
            if (!a->isEnabled() || !a->isVisible() || a->isCheckable())
                list.append(QStringLiteral("(off)"));
            list.append(a->objectName() + QLatin1Char('=') + (a->isSeparator() ? QStringLiteral("-") : a->text()));
        }
        return list;
    };
    QCOMPARE(items(f->mnuFile), QStringList({"mnuPrint=&Print", "mnuSave=&Save To File", "mnuSep1=-",
                                             "mnuStopScan=&Stop Scanning", "mnuSep=-", "mnuExit=E&xit"}));
    QCOMPARE(items(f->mnuWindow), QStringList({"mnuWindowReset=&Reset to Default Size"}));
    QCOMPARE(items(f->mnuHelp), QStringList({"mnuHelpPrint=&Printing", "mnuHelpSaveToFile=&Save To File",
                                             "mnuSep2=-", "mnuAbout=&About"}));
    for (QAction *a : f->mnuFile->actions() + f->mnuHelp->actions())
        QVERIFY(a->shortcut().isEmpty());

    // F2 resets the size from anywhere in the window, also from a text box or a list.
    QCOMPARE(f->mnuWindowReset->shortcut(), QKeySequence(Qt::Key_F2));
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    QSignalSpy resets(f->mnuWindowReset, &QAction::triggered);
    for (QWidget *w : {(QWidget *)f->txtTitle, (QWidget *)f->lstBigFileList, (QWidget *)f->dirFolder}) {
        w->setFocus();
        QTest::keyClick(w, Qt::Key_F2);
    }
    QCOMPARE(resets.count(), 3);

    // Alt plus a button's access key presses it.
    QSignalSpy clears(f->cmdClearTitle, &QPushButton::clicked);
    QTest::keyClick(f->txtTitle, Qt::Key_C, Qt::AltModifier);
    QTRY_COMPARE(clears.count(), 1);
}

void TestMainLayout::focusOrder()
{
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    auto focused = [] {
        QWidget *w = QApplication::focusWidget();
        if (w && qobject_cast<QComboBox *>(w->parentWidget()))
            w = w->parentWidget(); // an editable combo's text field is the combo
        return w ? w->objectName() : QString();
    };
    QCOMPARE(focused(), QStringLiteral("drvDrive"));
    QStringList order{focused()};
    for (int i = 0; i < 22; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        order.append(focused());
    }
    QCOMPARE(order, QStringList({"drvDrive", "dirFolder", "cboFileTypes", "cmdExit", "cmdPrint", "chkPrintDir",
                                 "cboPrinter", "txtTitle", "cmdClearTitle", "cboIndent", "cmdSaveToFile",
                                 "txtMyFilePath", "chkAutoUpdate", "lstBigFileList", "chkSize", "chkModified",
                                 "lstFolders", "txtParentFolder", "cboPrinterFonts", "chkFolderSize",
                                 "cboPrinterFontSize", "chkRecursive", "drvDrive"}));
}

void TestMainLayout::hiddenListsNeverShow()
{
    // The file list is a plain object and the walker's folder list a plain member: neither
    // has anything that could show, and no widget stands in for them.
    QVERIFY(f->fileFileList);
    QVERIFY(!f->fileFileList->isWidgetType());
    QVERIFY(!window->findChild<QWidget *>(QStringLiteral("fileFileList")));
    QVERIFY(!window->findChild<QWidget *>(QStringLiteral("dirInvisFolder")));
    QVERIFY(!window->findChild<QObject *>(QStringLiteral("Resizer1"))->isWidgetType());
}

void TestMainLayout::folderTreeOpensOnEnterOnly()
{
    TempTree tree;
    tree.mkdir("S/A");
    tree.mkdir("S/b");
    DirFolderView *dir = f->dirFolder;
    dir->setPath(tree.at("S"));
    QSignalSpy changes(dir, &DirFolderView::changed);
    QSignalSpy failures(dir, &DirFolderView::openFailed);

    // The path from the root as an indented tree, then the subfolders one step further in.
    const int levels = int(tree.at("S").count('/')) + 1;
    QCOMPARE(dir->QListWidget::count(), levels + 2);
    QCOMPARE(dir->currentRow(), levels - 1);
    QCOMPARE(dir->item(levels)->text().trimmed(), QStringLiteral("A"));
    auto indent = [dir](int row) { return dir->item(row)->text().indexOf(QRegularExpression(QStringLiteral("\\S"))); };
    QCOMPARE(indent(levels - 1), indent(levels - 2) + 2);
    QCOMPARE(indent(levels), indent(levels - 1) + 2);

    // Moving through the list only highlights; Enter opens the folder under the cursor.
    window->activateWindow();
    dir->setFocus();
    QTest::keyClick(dir, Qt::Key_Down);
    QTest::keyClick(dir, Qt::Key_Down);
    QCOMPARE(changes.count(), 0);
    QTest::keyClick(dir, Qt::Key_Return);
    QCOMPARE(changes.count(), 1);
    QCOMPARE(dir->path(), tree.at("S/b"));

    // A folder that cannot be opened is reported, and the list stays where it was.
    dir->setPath(tree.at("S"));
    QCOMPARE(::rmdir(tree.at("S/A").constData()), 0);
    dir->setCurrentRow(levels);
    QTest::keyClick(dir, Qt::Key_Return);
    QCOMPARE(failures.count(), 1);
    QCOMPARE(dir->path(), tree.at("S"));
}

void TestMainLayout::splashTextsAndPicture()
{
    QCOMPARE(versionText(2, 10, 3), QStringLiteral("Version 2.10.3"));

    auto *splash = new SplashWindow([] {});
    splash->timeSplash.stop(); // this test only looks at it
    splash->show();
    QVERIFY(QTest::qWaitForWindowExposed(splash));
    QCOMPARE(splash->windowTitle(), QString());
    QCOMPARE(splash->size(), QSize(492, 283));
    QCOMPARE(splash->lblVersion->text(), QStringLiteral("Version 2.0.0"));
    QCOMPARE(splash->lblProductName->text(), QStringLiteral("Listwright"));
    QCOMPARE(splash->lblDescription->text(),
             QStringLiteral("A program designed to let you print or save to a file a list of folders and their sizes."));
    QCOMPARE(splash->lblPlatform->text(), QStringLiteral("Win95/Win98/WinNT"));
    QCOMPARE(splash->lblCompany->text(), QString::fromUtf8(VersionInfo::CompanyName));
    QCOMPARE(splash->lblCopyright->text(), QString::fromUtf8(VersionInfo::Copyright));
    QVERIFY(!splash->imgLogo->pixmap().isNull());

    // Every text shows whole and inside the frame.
    const QWidget *frame = splash->lblVersion->parentWidget();
    for (QLabel *l : {splash->lblProductName, splash->lblPlatform, splash->lblVersion, splash->lblCompany,
                      splash->lblCopyright}) {
        QVERIFY2(captionWidth(l, l->text()) <= l->width(), qPrintable(l->objectName()));
        QVERIFY2(frame->rect().contains(l->geometry()), qPrintable(l->objectName()));
    }
    QVERIFY(splash->lblDescription->heightForWidth(splash->lblDescription->width())
            <= splash->lblDescription->height());
    savePicture(splash, "splash.png");
    delete splash;
}

void TestMainLayout::splashHandsOverOnce()
{
    // The main window's load may show a box, whose modal loop outlasts the splash's interval.
    int handOvers = 0;
    bool splashShownDuringLoad = false;
    QWidget mainWindow;
    QPointer<SplashWindow> splash = new SplashWindow([&] {
        ++handOvers;
        splashShownDuringLoad = splash && splash->isVisible();
        QEventLoop box;
        QTimer::singleShot(1700, &box, &QEventLoop::quit);
        box.exec();
        mainWindow.show();
    });
    splash->show();
    QVERIFY(QTest::qWaitForWindowExposed(splash));
    QVERIFY(splash->isVisible());
    QTest::keyClick(splash, Qt::Key_Escape); // the splash cannot be closed before it hands over
    QVERIFY(splash->isVisible());
    QTRY_VERIFY_WITH_TIMEOUT(splash.isNull(), 10000);
    QCOMPARE(handOvers, 1);
    QVERIFY(splashShownDuringLoad);
    QVERIFY(mainWindow.isVisible());
}

QTEST_MAIN(TestMainLayout)
#include "tst_mainlayout.moc"
