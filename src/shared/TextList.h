// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "shared/TextLines.h"

#include <QAbstractListModel>
#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QListView>
#include <QStringList>
#include <QStringView>
#include <initializer_list>

// The lines of a list view. Rows added in one go reach the view together, when events are
// next processed, so that adding 400,000 lines does not update the view 400,000 times.
class TextListModel : public QAbstractListModel {
    Q_OBJECT
public:
    using QAbstractListModel::QAbstractListModel;
    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;

    void append(const QString &line);
    // Every line of `more`, sharing its bytes.
    void append(const TextLines &more);
    void clear();
    void reserve(qsizetype more) { lines_.reserve(more); }
    const TextLines &lines() const { return lines_; }

private:
    void showAddedRows();

    TextLines lines_;
    qsizetype shown_ = 0;      // rows the view knows of
    bool showQueued_ = false;
};

class TextList : public QListView {
    Q_OBJECT
public:
    explicit TextList(QWidget *parent = nullptr);

    void clear() { model_->clear(); }
    void addItem(const QString &line) { model_->append(line); }
    void addItems(const TextLines &lines) { model_->append(lines); }
    // Room for `more` lines about to be added one by one.
    void reserve(qsizetype more) { model_->reserve(more); }
    qsizetype count() const { return model_->lines().size(); }
    QString item(qsizetype i) const { return model_->lines().at(i); }
    // Every line as text: a copy, for small lists; `textLines()` reads a large one.
    QStringList lines() const { return model_->lines().toStringList(); }
    const TextLines &textLines() const { return model_->lines(); }

private:
    TextListModel *model_;
};
