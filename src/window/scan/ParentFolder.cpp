// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/scan/ParentFolder.h"

#include "core/listing/FileListElement.h"
#include "core/listing/ListingSnapshot.h"
#include "core/shared/FsError.h"
#include "window/shared/MainForm.h"
#include "core/shared/MessageBoxes.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>

void RefreshParentFolder(MainForm &f)
{
    if (f.OpenedScan)
        return; // a scan shown as a drive: the line was made with its lists

    try {
        const std::optional<ShownSize> total = isChecked(f.chkFolderSize)
                                                   ? std::optional(ShownSize{f.FolderTotalBytes, f.FolderTotalFiles})
                                                   : std::nullopt;
        f.txtParentFolder->setText(parentFolderText(f.CurrentFolderPath + f.cboFileTypes->currentText(), total,
                                                    f.mnuCounts && f.mnuCounts->isChecked(),
                                                    f.mnuDiskUsage && f.mnuDiskUsage->isChecked(),
                                                    f.FolderPassedOver + f.fileFileList->passedOver()));
    } catch (const std::exception &e) {
        f.boxes->show(errorDescription(e), QStringLiteral("Listwright - Error in Refresh Parent Folder"));
    }
}
