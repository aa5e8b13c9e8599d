// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/shell/FindBar.h"

#include "window/shared/MainForm.h"
#include "window/shared/TextList.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QVariant>

namespace {
// A heading label takes the size of its caption, as it did at the start.
void showHeading(QLabel *heading, const QString &caption, const TextList *list)
{
    const QString text = list->filtering()
        ? caption.trimmed() + QStringLiteral(" %1 of %2").arg(list->shownCount()).arg(list->count())
        : caption;
    if (heading->text() == text)
        return;
    heading->setText(text);
    const QSize hint = heading->sizeHint();
    heading->resize(hint);
    heading->setProperty("designRect", QRect(heading->property("designRect").toRect().topLeft(), hint));
}
} // namespace

void mnuFind_Click(MainForm &f)
{
    f.fraFind->show();
    f.txtFind->setFocus(Qt::ShortcutFocusReason);
    f.txtFind->selectAll();
}

void txtFind_Change(MainForm &f)
{
    f.lstFolders->setFind(f.txtFind->text());
    f.lstBigFileList->setFind(f.txtFind->text());
}

void cmdCloseFind_Click(MainForm &f)
{
    const bool hadFocus = f.fraFind->isAncestorOf(QApplication::focusWidget());
    f.txtFind->clear(); // every line again
    f.fraFind->hide();
    if (hadFocus)
        f.lstBigFileList->setFocus(Qt::OtherFocusReason);
}

void showFoundCounts(MainForm &f)
{
    showHeading(f.lblFolderSize, QStringLiteral("Folders: "), f.lstFolders);
    showHeading(f.lblFileList, QStringLiteral("Files:"), f.lstBigFileList);
}
