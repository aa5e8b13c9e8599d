// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/shell/FolderLineMenu.h"

#include "window/scan/DirFolderView.h"
#include "window/shared/MainForm.h"
#include "window/shared/TextList.h"
#include "window/shared/WebOpener.h"

#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QMenu>
#include <QMimeData>

QUrl folderUrl(const QByteArray &path)
{
    return QUrl::fromEncoded("file://" + path.toPercentEncoding("/"));
}

void lstFolders_LineMenu(MainForm &f, qsizetype row, const QPoint &at)
{
    const QByteArray path = row >= 0 ? f.lstFolders->pathAt(row) : QByteArray();
    if (path.isEmpty())
        return;
    // The menu is about this folder, whatever the list does while it is open.
    f.MenuFolderPath = path;
    f.mnuFolderLine->popup(at);
}

void mnuOpenFolder_Click(MainForm &f)
{
    // The desktop opens it; nothing here waits for the folder.
    f.opener->open(folderUrl(f.MenuFolderPath));
}

void mnuCopyPath_Click(MainForm &f)
{
    // Text holds every path that is UTF-8 exactly as it is; the folder's URL, which a file
    // manager pastes, holds any path exactly.
    auto *data = new QMimeData;
    data->setUrls({folderUrl(f.MenuFolderPath)});
    data->setText(QFile::decodeName(f.MenuFolderPath));
    QGuiApplication::clipboard()->setMimeData(data);
}

void mnuListFolder_Click(MainForm &f)
{
    f.dirFolder->openFolder(f.MenuFolderPath);
}
