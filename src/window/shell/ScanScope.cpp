// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/shell/ScanScope.h"

#include "core/listing/Exclusions.h"
#include "core/listing/FileListElement.h"
#include "core/shared/FsError.h"
#include "core/shared/MessageBoxes.h"
#include "window/scan/ScanSession.h"
#include "window/shared/MainForm.h"
#include "window/shell/Refresh.h"
#include "window/shell/ViewMenu.h"

#include <QAction>
#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QVBoxLayout>

namespace {
void useScope(MainForm &f, ScanSession &session, std::shared_ptr<const NameFilter> exclude)
{
    session.options.scope = {f.mnuOneFileSystem->isChecked(), exclude};
    f.fileFileList->setExclusions(std::move(exclude));
}

// The folder scanned again with the new scope, as the Recursive box rescans it.
void rescan(MainForm &f, ScanSession &session)
{
    if (isChecked(f.chkRecursive))
        recursiveRefresh(f, session);
    else
        refresh(f, session, ScanSession::FolderList | ScanSession::FileList);
}
} // namespace

void useScanScope(MainForm &f, ScanSession &session)
{
    std::shared_ptr<const NameFilter> exclude;
    try {
        exclude = exclusionFilter(f.Exclusions);
    } catch (const std::exception &) {
        f.Exclusions.clear(); // the settings reader takes none such; nothing is left out
    }
    useScope(f, session, std::move(exclude));
}

std::optional<QString> askExclusions(QWidget *parent, const QString &current)
{
    QDialog dialog(parent);
    dialog.setObjectName("dlgExclude");
    dialog.setWindowTitle(QStringLiteral("Listwright - Exclude"));
    auto *layout = new QVBoxLayout(&dialog);
    auto *label = new QLabel(QStringLiteral("&Leave out the names that match (several patterns separated by \";\"):"));
    auto *text = new QLineEdit(current);
    text->setObjectName("txtExclude");
    text->setMinimumWidth(text->fontMetrics().horizontalAdvance(QLatin1Char('x')) * 50);
    label->setBuddy(text);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(label);
    layout->addWidget(text);
    layout->addWidget(buttons);
    dialog.setFixedSize(dialog.sizeHint());
    text->selectAll();
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return text->text();
}

void mnuOneFileSystem_Click(MainForm &f, ScanSession &session)
{
    session.options.scope.oneFileSystem = f.mnuOneFileSystem->isChecked();
    rememberViewChoices(f);
    rescan(f, session);
}

void mnuExclude_Click(MainForm &f, ScanSession &session)
{
    const std::optional<QString> typed = askExclusions(f.window, f.Exclusions);
    if (!typed || *typed == f.Exclusions)
        return;
    std::shared_ptr<const NameFilter> exclude;
    try {
        exclude = exclusionFilter(*typed);
    } catch (const std::exception &e) {
        f.boxes->show(errorDescription(e), QStringLiteral("Listwright - Error in Exclude"));
        return;
    }
    f.Exclusions = *typed;
    rememberViewChoices(f);
    useScope(f, session, std::move(exclude));
    rescan(f, session);
}
