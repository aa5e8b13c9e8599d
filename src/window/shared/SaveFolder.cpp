// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/shared/SaveFolder.h"

#include "window/shared/MainForm.h"
#include "core/shared/Text.h"

#include <QFile>
#include <QLineEdit>

void showSaveFolder(MainForm &f, const QByteArray &folder)
{
    f.SaveFolder = folder;
    f.SaveFolderText = displayName(folder);
    f.txtMyFilePath->setText(f.SaveFolderText);
}

QByteArray saveFolder(const MainForm &f)
{
    const QString text = f.txtMyFilePath->text();
    return text == f.SaveFolderText ? f.SaveFolder : QFile::encodeName(text);
}
