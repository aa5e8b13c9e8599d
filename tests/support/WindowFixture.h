// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "window/scan/DirFolderView.h"
#include "window/shell/MainWindow.h"
#include "support/RecordingPrinter.h"
#include "support/TempConfig.h"
#include "support/ScriptedMessageBoxes.h"
#include "window/shared/TextList.h"
#include "window/shared/WebOpener.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QUrl>
#include <QTest>
#include <memory>
#include <unistd.h>

class RecordingOpener : public WebOpener {
public:
    void open(const QUrl &url) override { opened.append(url); }
    QList<QUrl> opened;
};

// A real main window with test doubles for the boxes, the printers and the web opener,
// started in `folder` and loaded as the program loads it.
class WindowFixture {
public:
    explicit WindowFixture(const QByteArray &folder, bool load = true) : previousFolder_(QDir::currentPath())
    {
        QTEST_ASSERT(::chdir(folder.constData()) == 0); // its bytes: a name need not be UTF-8
        window = std::make_unique<MainWindow>(boxes, printer, opener);
        if (load)
            window->load();
    }
    ~WindowFixture()
    {
        window.reset();
        QDir::setCurrent(previousFolder_);
    }

    MainForm &f() { return window->form(); }
    // Opens a folder as the user does in the folder tree.
    void open(const QByteArray &folder) { f().dirFolder->setPath(folder); }
    QStringList folderLines() { return f().lstFolders->lines(); }
    QStringList fileLines() { return f().lstBigFileList->lines(); }

    ScriptedMessageBoxes boxes;
    RecordingPrinter printer;
    RecordingOpener opener;
    std::unique_ptr<MainWindow> window;

private:
    QString previousFolder_;
};
