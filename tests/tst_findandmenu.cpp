// SPDX-License-Identifier: GPL-3.0-or-later
// The find bar over the lists, a folder line's menu and the View menu's scan scope, on the real
// main window: what the lists, their headings and the saved listing show, that the menu's folder
// is the real one, and that a scope choice rescans and is remembered.
#include "core/output/SavedListing.h"
#include "window/output/TakeListingSnapshot.h"
#include "window/shell/FolderLineMenu.h"
#include "window/shell/ViewMenu.h"
#include "support/TempTree.h"
#include "support/WindowFixture.h"

#include <QtTest>
#include <QtWidgets>

class FindAndMenuTest : public QObject {
    Q_OBJECT
private slots:
    void findBar()
    {
        TempTree tree;
        for (const char *folder : {"Abc", "bcd", "kb"})
            tree.mkdir(folder);
        tree.file("Abc/x", 2000);
        tree.file("kb/y", 3000);
        for (const char *file : {"ABC.txt", "b.dat", "zz"})
            tree.file(file, 1500);
        WindowFixture w(tree.path());
        MainForm &f = w.f();
        f.chkFolderSize->setChecked(true);
        f.window->show();
        QVERIFY(QTest::qWaitForWindowActive(f.window));

        // Ctrl+F opens the bar with the focus in it; a text finds names only, not the size columns ("KB", "B").
        QTest::keyClick(f.lstBigFileList, Qt::Key_F, Qt::ControlModifier);
        QVERIFY(f.fraFind->isVisible() && f.txtFind->hasFocus());
        for (const auto &[text, counts] : {std::pair("Kb", "Folders: 1 of 3|Files: 0 of 3"), std::pair("bC", "Folders: 2 of 3|Files: 1 of 3")}) {
            f.txtFind->selectAll();
            QTest::keyClicks(f.txtFind, text);
            QTRY_COMPARE(f.lblFolderSize->text() + '|' + f.lblFileList->text(), counts);
        }
        const QString top = QFile::decodeName(tree.path());
        QCOMPARE(w.folderLines().join('|').simplified(), top + "/Abc 1.95 KB|" + top + "/bcd 0 B");

        // The saved listing is what shows, and says so; its folder heading is the sum of the lines shown.
        const QStringList saved = savedListingLines(takeListingSnapshot(f)).toStringList();
        QVERIFY2(saved[1].endsWith(" (filtered: \"bC\")") &&  saved[3] == "Folders: 1.95 KB" && saved.size() == 9
                     && saved[8].startsWith(top + "/ABC.txt") && saved[7] == "Files:", qPrintable(saved.join('\n')));

        // Lines that come while it is open are found as they come.
        f.chkFolderSize->setChecked(false);
        QTRY_COMPARE(f.lblFolderSize->text() + '|' + w.folderLines().join('|'), "Folders: 2 of 3|" + top + "/Abc|" + top + "/bcd");

        // Esc in the bar closes it and shows every line.
        QTest::keyClick(f.txtFind, Qt::Key_Escape);
        QVERIFY(!f.fraFind->isVisible() && f.txtFind->text().isEmpty());
        QCOMPARE(f.lblFolderSize->text() + '|' + f.lblFileList->text(), "Folders: |Files:");
        QCOMPARE(w.folderLines().size() + w.fileLines().size(), 6);
    }

    void folderLineMenu()
    {
        TempTree tree;
        tree.mkdir("plain");
        tree.mkdir("odd\xff\n");
        tree.file("odd\xff\n/inside", 1);
        WindowFixture w(tree.path());
        MainForm &f = w.f();
        f.window->show();
        QVERIFY(QTest::qWaitForWindowActive(f.window));
        QTRY_COMPARE(f.lstFolders->shownCount(), 2);

        // Shift+F10 on the current line opens its menu, about the folder's own bytes.
        f.lstFolders->setFocus();
        f.lstFolders->setCurrentIndex(f.lstFolders->model()->index(0, 0));
        QTest::keyClick(f.lstFolders, Qt::Key_F10, Qt::ShiftModifier);
        QTRY_VERIFY(f.mnuFolderLine->isVisible());
        QCOMPARE(f.MenuFolderPath, tree.at("odd\xff\n"));
        QTest::keyClick(f.mnuFolderLine, Qt::Key_O);
        QCOMPARE(w.opener.opened.size(), 1);
        QVERIFY(w.opener.opened[0].isLocalFile());
        QCOMPARE(w.opener.opened[0].toEncoded(), "file://" + tree.path() + "/odd%FF%0A");

        f.mnuCopyPath->trigger();
        QCOMPARE(QGuiApplication::clipboard()->text(), QFile::decodeName(tree.at("odd\xff\n")));
        QCOMPARE(QGuiApplication::clipboard()->mimeData()->urls(), QList<QUrl>{w.opener.opened[0]}); // every byte

        // List This Folder goes there as the folder tree does.
        f.mnuListFolder->trigger();
        QTRY_COMPARE(f.dirFolder->path(), tree.at("odd\xff\n"));
        QTRY_COMPARE(w.fileLines().size(), 1);
        QVERIFY(w.fileLines()[0].startsWith("inside"));
    }

    void scanScope()
    {
        TempTree tree;
        tree.mkdir("Abc");
        tree.file("Abc/x", 2000);
        tree.file("Abc/old.tmp", 500);
        tree.file("own.TMP", 300);
        tree.file("keep.txt", 1500);
        WindowFixture w(tree.path());
        MainForm &f = w.f();
        f.chkFolderSize->setChecked(true);
        f.window->show();
        QVERIFY(QTest::qWaitForWindowActive(f.window));
        // View > Exclude... asks in a small dialog: what it holds, then keys typed and Enter or Esc.
        const auto exclude = [&](const QString &typed, Qt::Key key) -> QString {
            QString shown;
            QTimer::singleShot(0, [&] {
                QWidget *dialog = QApplication::activeModalWidget();
                QVERIFY(dialog && dialog->windowTitle() == "Listwright - Exclude");
                auto *text = dialog->findChild<QLineEdit *>("txtExclude");
                shown = text->text();
                QTest::keyClicks(text, typed);
                QTest::keyClick(text, key);
            });
            f.mnuExclude->trigger();
            return QApplication::activeModalWidget() ? QStringLiteral("(still open)") : shown;
        };
        QCOMPARE(exclude("*.tmp", Qt::Key_Return), QString());
        const QString top = QFile::decodeName(tree.path());
        QTRY_COMPARE(f.txtParentFolder->text(), top + "/*.*  3.42 KB  2 excluded");
        QCOMPARE(w.folderLines().join('|').simplified(), top + "/Abc 1.95 KB");
        QCOMPARE(w.fileLines().size(), 1);
        // Esc keeps them; a pattern the file pattern refuses is told and changes nothing.
        QCOMPARE(exclude("x", Qt::Key_Escape), "*.tmp");
        QCOMPARE(exclude("/b", Qt::Key_Enter), "*.tmp");
        QCOMPARE(w.boxes.titles(), QStringList{"Listwright - Error in Exclude"});
        QVERIFY(w.boxes.boxes[0].text.startsWith("Invalid file pattern: \"/b\""));
        QCOMPARE(f.Exclusions, "*.tmp");
        // Stay On One File System rescans: a file come meanwhile is counted.
        tree.file("Abc/new", 48);
        f.mnuOneFileSystem->trigger();
        QTRY_COMPARE(w.folderLines().join('|').simplified(), top + "/Abc 2.00 KB");
        // Both are remembered with the View choices, and the next window scans with them.
        const ViewChoices kept{.oneFileSystem = true, .exclusions = "*.tmp"};
        QString problem;
        QTRY_VERIFY(readViewChoices(viewSettingsFile(), &problem) == kept);
        WindowFixture next(tree.path());
        QVERIFY(shownViewChoices(next.f()) == kept);
        next.f().chkFolderSize->setChecked(true);
        QTRY_COMPARE(next.f().txtParentFolder->text(), top + "/*.*  3.46 KB  2 excluded");
        f.mnuOneFileSystem->trigger();
        const ViewChoices off{.exclusions = "*.tmp"};
        QTRY_VERIFY(readViewChoices(viewSettingsFile(), &problem) == off);
    }
};

QTEST_MAIN(FindAndMenuTest)
#include "tst_findandmenu.moc"
