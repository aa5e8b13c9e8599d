// SPDX-License-Identifier: GPL-3.0-or-later
// The find bar over the lists and a folder line's menu, on the real main window: what the lists,
// their headings and the saved listing show, and that the menu's folder is the real one.
#include "core/output/SavedListing.h"
#include "window/output/TakeListingSnapshot.h"
#include "window/shell/FolderLineMenu.h"
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

        // List This Folder goes there as the folder tree does.
        f.mnuListFolder->trigger();
        QTRY_COMPARE(f.dirFolder->path(), tree.at("odd\xff\n"));
        QTRY_COMPARE(w.fileLines().size(), 1);
        QVERIFY(w.fileLines()[0].startsWith("inside"));
    }
};

QTEST_MAIN(FindAndMenuTest)
#include "tst_findandmenu.moc"
