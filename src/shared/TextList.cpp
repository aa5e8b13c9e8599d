// SPDX-License-Identifier: GPL-3.0-or-later
#include "shared/TextList.h"

#include <malloc.h>

namespace {
// Lines from which a list counts as long when it is emptied.
constexpr qsizetype BigList = 100000;
}

int TextListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(shown_);
}

QVariant TextListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= shown_)
        return {};
    if (role == Qt::DisplayRole)
        return lines_.at(index.row());
    return {};
}

void TextListModel::append(const QString &line)
{
    lines_.append(line);
    if (!showQueued_) {
        showQueued_ = true;
        QMetaObject::invokeMethod(this, &TextListModel::showAddedRows, Qt::QueuedConnection);
    }
}

void TextListModel::append(const TextLines &more)
{
    if (more.isEmpty())
        return;
    // A few lines are copied: sharing them would keep a whole block alive for each few.
    if (more.size() < 4096) {
        for (qsizetype i = 0; i < more.size(); ++i)
            lines_.append({more.utf8(i)});
    } else {
        lines_.append(more);
    }
    if (!showQueued_) {
        showQueued_ = true;
        QMetaObject::invokeMethod(this, &TextListModel::showAddedRows, Qt::QueuedConnection);
    }
}

void TextListModel::showAddedRows()
{
    showQueued_ = false;
    if (lines_.size() <= shown_)
        return;
    beginInsertRows({}, int(shown_), int(lines_.size() - 1));
    shown_ = lines_.size();
    endInsertRows();
}

void TextListModel::clear()
{
    if (lines_.isEmpty())
        return;
    // A long list's text was spread over the heaps of the threads that made it; once it is
    // let go of, the memory goes back to the system rather than waiting in those heaps.
    const bool big = lines_.size() >= BigList;
    beginResetModel();
    lines_.clear();
    shown_ = 0;
    endResetModel();
    if (big)
        ::malloc_trim(0);
}

TextList::TextList(QWidget *parent) : QListView(parent), model_(new TextListModel(this))
{
    setModel(model_);
    setUniformItemSizes(true);
    // A list view lays out every row again whenever rows are added; during a scan, rows come
    // at every event pass. In batches, each pass lays out at most 10,000 rows, so a growing
    // listing costs each pass about the same, however long it already is.
    setLayoutMode(QListView::Batched);
    setBatchSize(10000);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setTextElideMode(Qt::ElideNone);
}
