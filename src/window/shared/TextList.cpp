// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/shared/TextList.h"

#include "window/shared/SizeBarDelegate.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QTimer>
#include <algorithm>
#include <malloc.h>

namespace {
// Lines from which a list counts as long when it is emptied.
constexpr qsizetype BigList = 100000;
// The least time between two showings of added rows. The view lays out its rows again each
// time rows are added, which during a scan that adds rows at every event pass took more of
// the window's time than the scan's own work; twenty showings a second look as live.
constexpr int ShowIntervalMs = 50;
}

int TextListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(filter_.active() ? found_ : shown_);
}

QModelIndex TextListModel::index(int row, int column, const QModelIndex &parent) const
{
    return row >= 0 && column == 0 && !parent.isValid() && row < rowCount() ? createIndex(row, 0) : QModelIndex();
}

QVariant TextListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    if (role == Qt::DisplayRole)
        return lines_.at(lineAt(index.row()));
    if (role == BarRole && bars_ && largest_ > 0) {
        const int64_t bytes = order_.key(lineAt(index.row())).bytes;
        return bytes >= 0 ? QVariant(double(bytes) / double(largest_)) : QVariant();
    }
    return {};
}

void TextListModel::added(LineKey key)
{
    order_.add(key);
    largest_ = std::max(largest_, key.bytes);
}

void TextListModel::queueShow()
{
    if (!showQueued_) {
        showQueued_ = true;
        const qint64 wait = shownAt_.isValid() ? ShowIntervalMs - shownAt_.elapsed() : 0;
        if (wait > 0)
            QTimer::singleShot(int(wait), this, &TextListModel::showAddedRows);
        else
            QMetaObject::invokeMethod(this, &TextListModel::showAddedRows, Qt::QueuedConnection);
    }
}

void TextListModel::append(const QString &line, LineKey key, const QByteArray &path)
{
    keepPath(path);
    lines_.append(line);
    added(key);
    queueShow();
}

void TextListModel::append(const std::shared_ptr<const LineMaker> &maker, qsizetype i, LineKey key,
                           const QByteArray &path)
{
    keepPath(path);
    lines_.appendMade(maker, i);
    added(key);
    queueShow();
}

void TextListModel::keepPath(const QByteArray &path)
{
    if (!path.isEmpty()) {
        paths_.resize(lines_.size());
        paths_.append(path);
    }
}

void TextListModel::append(const TextLines &more)
{
    if (more.isEmpty())
        return;
    // A few lines are copied: sharing them would keep a whole block alive for each few. Lines
    // made when read share their maker, which holds no more than they need.
    if (more.size() < 4096) {
        for (qsizetype i = 0; i < more.size(); ++i)
            lines_.appendLineOf(more, i);
    } else {
        lines_.appendText(more); // the keys go to the order
    }
    const QList<LineKey> &keys = more.keys();
    for (qsizetype i = 0; i < more.size(); ++i)
        added(i < keys.size() ? keys[i] : LineKey{});
    queueShow();
}

void TextListModel::showAddedRows()
{
    showQueued_ = false;
    if (lines_.size() <= shown_)
        return;
    shownAt_.start();
    if (filter_.active()) {
        shown_ = lines_.size();
        showFoundRows();
        return;
    }
    beginInsertRows({}, int(shown_), int(lines_.size() - 1));
    shown_ = lines_.size();
    endInsertRows();
    // New lines took their places among the earlier ones, or a new largest size changed
    // every bar.
    if (order_.sortBy() != SortBy::Name || bars_)
        emit dataChanged(index(0), index(int(shown_ - 1)));
    emit shownChanged();
}

void TextListModel::showFoundRows()
{
    filter_.update(lines_, order_);
    if (filter_.size() > found_) {
        beginInsertRows({}, int(found_), int(filter_.size() - 1));
        found_ = filter_.size();
        endInsertRows();
        if (order_.sortBy() != SortBy::Name || bars_)
            emit dataChanged(index(0), index(int(found_ - 1)));
    }
    emit shownChanged();
}

void TextListModel::setFind(const QString &text)
{
    if (text == filter_.find().text())
        return;
    beginResetModel();
    filter_.setFind(text, lines_, order_);
    found_ = filter_.size();
    endResetModel();
    emit shownChanged();
}

int64_t TextListModel::shownBytes() const
{
    int64_t bytes = 0;
    for (qsizetype row = 0; row < rowCount(); ++row)
        bytes += std::max<int64_t>(0, order_.key(lineAt(row)).bytes);
    return bytes;
}

void TextListModel::setSortBy(SortBy by)
{
    if (by == order_.sortBy())
        return;
    if (filter_.active()) {
        beginResetModel();
        order_.setSortBy(by);
        filter_.update(lines_, order_);
        found_ = filter_.size();
        endResetModel();
        return;
    }
    emit layoutAboutToBeChanged();
    order_.setSortBy(by);
    emit layoutChanged();
}

void TextListModel::setSizeBars(bool on)
{
    if (on == bars_)
        return;
    bars_ = on;
    if (shown_ > 0)
        emit dataChanged(index(0), index(int(shown_ - 1)), {BarRole});
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
    order_.clear();
    paths_.clear();
    filter_.clear();
    found_ = 0;
    largest_ = 0;
    shown_ = 0;
    endResetModel();
    emit shownChanged();
    if (big)
        ::malloc_trim(0);
}

TextList::TextList(QWidget *parent) : QListView(parent), model_(new TextListModel(this))
{
    setModel(model_);
    setItemDelegate(new SizeBarDelegate(this));
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
    connect(model_, &TextListModel::shownChanged, this, &TextList::shownChanged);
}

TextLines TextList::textLines() const
{
    const TextLines &lines = model_->lines();
    if (model_->sortBy() == SortBy::Name && !filtering())
        return lines;
    const qsizetype rows = filtering() ? model_->shownCount() : lines.size();
    TextLines shown;
    shown.reserve(rows);
    for (qsizetype row = 0; row < rows; ++row)
        shown.append({lines.utf8(model_->lineAt(row))});
    return shown;
}

void TextList::requestMenuAtCurrent()
{
    const QModelIndex current = currentIndex();
    const QRect line = current.isValid() ? visualRect(current) : QRect();
    const QPoint at = line.isValid() && viewport()->rect().intersects(line) ? line.bottomLeft() : QPoint(0, 0);
    emit lineMenuRequested(current.isValid() ? current.row() : -1, viewport()->mapToGlobal(at));
}

void TextList::contextMenuEvent(QContextMenuEvent *event)
{
    if (event->reason() == QContextMenuEvent::Keyboard) {
        requestMenuAtCurrent();
        return;
    }
    const QModelIndex clicked = indexAt(event->pos());
    if (clicked.isValid())
        setCurrentIndex(clicked);
    emit lineMenuRequested(clicked.isValid() ? clicked.row() : -1, event->globalPos());
}

void TextList::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Menu || (event->key() == Qt::Key_F10 && event->modifiers() == Qt::ShiftModifier)) {
        requestMenuAtCurrent();
        return;
    }
    QListView::keyPressEvent(event);
}
