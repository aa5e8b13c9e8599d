// SPDX-License-Identifier: GPL-3.0-or-later
#include "scan/ScanErrorReport.h"

#include "scan/DirFolderView.h"
#include "shared/MainForm.h"
#include "shared/MessageBoxes.h"

void reportScanError(MainForm &f, const QString &description, const QString &entryName)
{
    f.boxes->show(QStringLiteral("Error Description: ") + description, QStringLiteral("Listwright Error"));
    f.boxes->show(QStringLiteral("Current Folder Path  is: ") + f.dirFolder->pathText()
                      + QStringLiteral(" Current File is: ") + entryName,
                  QStringLiteral("Problem Found?"));
}
