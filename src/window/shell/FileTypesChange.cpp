// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/shell/FileTypesChange.h"

#include "window/listing/CompleteFileList.h"
#include "core/listing/FileListElement.h"
#include "window/scan/ParentFolder.h"
#include "core/shared/FsError.h"
#include "window/shared/MainForm.h"
#include "core/shared/MessageBoxes.h"
#include "window/shell/Refresh.h"

#include <QCheckBox>
#include <QComboBox>

namespace {
void applyFileTypes(MainForm &f, ScanSession &session, const QString &errorTitle)
{
    try {
        f.fileFileList->setPattern(f.cboFileTypes->currentText());
        // With the recursive listing on, the recursive lines are written afresh first, so
        // the folder's own files are never listed twice.
        if (isChecked(f.chkRecursive)) {
            recursiveRefresh(f, session);
            return;
        }
        // A folder scan running underneath goes on: the pattern changes none of its lines,
        // and it writes the parent folder line with the new pattern when it ends.
        fileFileList_PathChange(f);
        RefreshParentFolder(f);
    } catch (const std::exception &e) {
        f.boxes->show(errorDescription(e), errorTitle);
    }
}
}

void cboFileTypes_Change(MainForm &f, ScanSession &session)
{
    applyFileTypes(f, session, QStringLiteral("Listwright - Error in File Types Entry"));
}

void cboFileTypes_Click(MainForm &f, ScanSession &session)
{
    applyFileTypes(f, session, QStringLiteral("Listwright - Error in Choosing File Types"));
}
