// SPDX-License-Identifier: GPL-3.0-or-later
#include "scan/ParentFolder.h"

#include "scan/ByteConverter.h"
#include "shared/FsError.h"
#include "shared/MainForm.h"
#include "shared/MessageBoxes.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>

void RefreshParentFolder(MainForm &f)
{
    try {
        QString text = f.CurrentFolderPath + f.cboFileTypes->currentText();
        if (isChecked(f.chkFolderSize))
            text += QStringLiteral("  ") + ByteConverter(double(f.FolderTotalBytes));
        f.txtParentFolder->setText(text);
    } catch (const std::exception &e) {
        f.boxes->show(errorDescription(e), QStringLiteral("Listwright - Error in Refresh Parent Folder"));
    }
}
