// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/scan/ScanErrorReport.h"

#include "window/scan/DirFolderView.h"
#include "window/shared/MainForm.h"
#include "core/shared/MessageBoxes.h"

void reportScanError(MainForm &f, const QString &description, const QString &entryName, const QString &folder)
{
    f.boxes->show(QStringLiteral("Error Description: ") + description, QStringLiteral("Listwright Error"));
    f.boxes->show(QStringLiteral("Current Folder Path  is: ") + (folder.isEmpty() ? f.dirFolder->pathText() : folder)
                      + QStringLiteral(" Current File is: ") + entryName,
                  QStringLiteral("Problem Found?"));
}
