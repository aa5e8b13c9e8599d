#include "listing/FileTypes.h"

#include "listing/CompleteFileList.h"
#include "listing/FileListElement.h"
#include "scan/ParentFolder.h"
#include "scan/FolderListScan.h"
#include "scan/ScanOptions.h"
#include "shared/FsError.h"
#include "shared/MainForm.h"
#include "shared/MessageBoxes.h"

#include <QCheckBox>
#include <QComboBox>

namespace {
void applyFileTypes(MainForm &f, const QString &errorTitle)
{
    try {
        f.fileFileList->setPattern(f.cboFileTypes->currentText());
        // The new pattern overtakes a size scan that is pumping events underneath.
        ++f.scanGeneration;
        // With the recursive listing on, the recursive lines are written afresh first, so
        // the folder's own files are never listed twice.
        if (isChecked(f.chkRecursive) && recursiveRefresh(f) == ScanEnd::Abandoned)
            return;
        fileFileList_PathChange(f);
        RefreshParentFolder(f);
        // A folder size scan that was running underneath has given way: scan again, so the
        // folder list is complete and the summary carries the whole total.
        if (f.runningSizeScan != 0 && !isChecked(f.chkRecursive))
            FolderListScan(f);
    } catch (const std::exception &e) {
        f.boxes->show(errorDescription(e), errorTitle);
    }
}
}

void cboFileTypes_Change(MainForm &f)
{
    applyFileTypes(f, QStringLiteral("Listwright - Error in File Types Entry"));
}

void cboFileTypes_Click(MainForm &f)
{
    applyFileTypes(f, QStringLiteral("Listwright - Error in Choosing File Types"));
}
