// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "core/shared/LineFilter.h"
#include "core/shared/LineOrder.h"
#include "core/shared/TextLines.h"

#include <QAbstractListModel>
#include <QByteArray>
#include <QByteArrayView>
#include <QElapsedTimer>
#include <QList>
#include <QListView>
#include <QStringList>
#include <QStringView>
#include <initializer_list>

// The lines of a list view, in the order chosen (see LineOrder). Rows added in one go reach
// the view together, when events are next processed, so that adding 400,000 lines does not
// update the view 400,000 times. While a find is on, the rows are the lines whose names hold
// its text (see LineFilter), kept so as lines come.
class TextListModel : public QAbstractListModel {
    Q_OBJECT
public:
    // A row's share of the largest size in the list, 0 to 1, while size bars are on and the
    // row shows a size.
    static constexpr int BarRole = Qt::UserRole + 1;

    using QAbstractListModel::QAbstractListModel;
    int rowCount(const QModelIndex &parent = {}) const override;
    // A row's index without asking the rows and columns through virtual calls: the view asks
    // for every row each time it lays out, and it lays out at every event pass of a scan.
    QModelIndex index(int row, int column = 0, const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;

    // A line with its key, and the native path of what it stands for, if anything.
    void append(const QString &line, LineKey key = {}, const QByteArray &path = {});
    // The same for line i of `maker`, made when it is read.
    void append(const std::shared_ptr<const LineMaker> &maker, qsizetype i, LineKey key, const QByteArray &path);
    // Every line of `more`, sharing its bytes, with the keys it carries.
    void append(const TextLines &more);
    void clear();
    void reserve(qsizetype more) { lines_.reserve(more); }
    // Lines in name order.
    const TextLines &lines() const { return lines_; }
    // Line shown at `row`.
    qsizetype lineAt(qsizetype row) const { return filter_.active() ? filter_.line(row) : order_.line(row); }
    QByteArray pathOf(qsizetype line) const { return paths_.value(line); }
    // The rows the view shows, and the bytes their size texts show together.
    qsizetype shownCount() const { return rowCount(); }
    int64_t shownBytes() const;
    const QString &findText() const { return filter_.find().text(); }
    void setFind(const QString &text);
    SortBy sortBy() const { return order_.sortBy(); }
    void setSortBy(SortBy by);
    bool sizeBars() const { return bars_; }
    void setSizeBars(bool on);

signals:
    // The rows shown came, went or were found anew.
    void shownChanged();

private:
    void added(LineKey key);
    // The path of the line about to be added, if it has one.
    void keepPath(const QByteArray &path);
    void queueShow();
    void showAddedRows();
    void showFoundRows();

    TextLines lines_;
    LineOrder order_;
    QList<QByteArray> paths_; // by line, up to the last line added with one
    LineFilter filter_;
    qsizetype found_ = 0;      // rows the view knows of while a find is on
    int64_t largest_ = 0;      // the largest size of a line
    bool bars_ = false;
    qsizetype shown_ = 0;      // rows the view knows of
    bool showQueued_ = false;
    QElapsedTimer shownAt_;    // when rows were last shown
};

class TextList : public QListView {
    Q_OBJECT
public:
    explicit TextList(QWidget *parent = nullptr);

    void clear() { model_->clear(); }
    void addItem(const QString &line, LineKey key = {}, const QByteArray &path = {}) { model_->append(line, key, path); }
    void addItems(const TextLines &lines) { model_->append(lines); }
    void addMadeItem(const std::shared_ptr<const LineMaker> &maker, qsizetype i, LineKey key, const QByteArray &path)
    {
        model_->append(maker, i, key, path);
    }
    // Room for `more` lines about to be added one by one.
    void reserve(qsizetype more) { model_->reserve(more); }
    qsizetype count() const { return model_->lines().size(); }
    // Line i in the order shown.
    QString item(qsizetype i) const { return model_->lines().at(model_->lineAt(i)); }
    // Every line as text, in the order shown: a copy, for small lists; `textLines()` reads a
    // large one (sharing the list's text in name order, else a copy in the order shown).
    QStringList lines() const { return textLines().toStringList(); }
    TextLines textLines() const;

    // Shows only the lines whose names hold `text` (case-insensitively); an empty text shows
    // every line.
    void setFind(const QString &text) { model_->setFind(text); }
    bool filtering() const { return !model_->findText().isEmpty(); }
    const QString &findText() const { return model_->findText(); }
    qsizetype shownCount() const { return model_->shownCount(); }
    // The bytes the lines shown show together.
    int64_t shownBytes() const { return model_->shownBytes(); }
    // The native path of what the line at `row` stands for; empty when it stands for nothing.
    QByteArray pathAt(qsizetype row) const { return model_->pathOf(model_->lineAt(row)); }

    SortBy sortBy() const { return model_->sortBy(); }
    void setSortBy(SortBy by) { model_->setSortBy(by); }
    // Bars behind the lines that show a size, each as long as its share of the largest.
    bool sizeBars() const { return model_->sizeBars(); }
    void setSizeBars(bool on) { model_->setSizeBars(on); }

signals:
    void shownChanged();
    // The menu of the line at `row` (-1: of no line) was asked for, by a right click or from
    // the keyboard (the Menu key, Shift+F10), to open at `at` on the screen.
    void lineMenuRequested(qsizetype row, const QPoint &at);

protected:
    void contextMenuEvent(QContextMenuEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void requestMenuAtCurrent();

    TextListModel *model_;
};
