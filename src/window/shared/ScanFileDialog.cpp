// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/shared/ScanFileDialog.h"

#include "window/shared/MainForm.h"

#include <QFileDialog>
#include <QMainWindow>

QString askScanFile(MainForm &f, const QString &caption, bool forSaving)
{
    if (f.scanFileDialog)
        return f.scanFileDialog(caption, forSaving);
    const QString filter = QStringLiteral("Scans (*.json *.json.gz *.gz);;All files (*)");
    if (forSaving)
        return QFileDialog::getSaveFileName(f.window, caption, QString(), filter);
    return QFileDialog::getOpenFileName(f.window, caption, QString(), filter);
}
