// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/scan/ParentFolder.h"

#include "core/listing/Exclusions.h"
#include "core/listing/FileListElement.h"
#include "core/scan/ByteConverter.h"
#include "core/shared/FsError.h"
#include "window/shared/MainForm.h"
#include "core/shared/MessageBoxes.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>

void RefreshParentFolder(MainForm &f)
{
    try {
        QString text = f.CurrentFolderPath + f.cboFileTypes->currentText();
        if (isChecked(f.chkFolderSize))
            text += QStringLiteral("  ") + ByteConverter(double(f.FolderTotalBytes));
        text += excludedNote(f.FolderPassedOver + f.fileFileList->passedOver());
        f.txtParentFolder->setText(text);
    } catch (const std::exception &e) {
        f.boxes->show(errorDescription(e), QStringLiteral("Listwright - Error in Refresh Parent Folder"));
    }
}
