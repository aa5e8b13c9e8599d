// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QAbstractListModel>
#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QListView>
#include <QStringList>
#include <QStringView>
#include <initializer_list>

// Lines of text held compactly: their UTF-8 bytes one after another in large blocks, and where
// each line starts, about 8 bytes a line beyond its text. A copy shares the blocks, so taking
// one costs next to nothing; neither side sees the lines the other adds later.
class TextLines {
public:
    TextLines() = default;
    TextLines(const QStringList &lines); // NOLINT(google-explicit-constructor): a list is lines
    TextLines(std::initializer_list<QString> lines);

    qsizetype size() const { return starts_.size(); }
    qsizetype count() const { return size(); }
    bool isEmpty() const { return starts_.isEmpty(); }
    // Line i as UTF-8 bytes, valid until this object changes.
    QByteArrayView utf8(qsizetype i) const;
    QString at(qsizetype i) const { return QString::fromUtf8(utf8(i)); }
    QStringList toStringList() const;

    void append(QStringView line);
    // One line made of UTF-8 pieces, one after another.
    void append(std::initializer_list<QByteArrayView> pieces);
    // Every line of `more`, sharing its bytes.
    void append(const TextLines &more);
    void clear();

private:
    char *startLine(qsizetype maxBytes);
    void endLine(qsizetype unused);

    struct Start {
        quint32 block;
        quint32 offset;
    };
    QList<QByteArray> blocks_;
    QList<Start> starts_;
};

// The lines of a list view. Rows added in one go reach the view together, when events are
// next processed, so that adding 400,000 lines does not update the view 400,000 times.
class TextListModel : public QAbstractListModel {
    Q_OBJECT
public:
    using QAbstractListModel::QAbstractListModel;
    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;

    void append(const QString &line);
    void clear();
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
    qsizetype count() const { return model_->lines().size(); }
    QString item(qsizetype i) const { return model_->lines().at(i); }
    // Every line as text: a copy, for small lists; `textLines()` reads a large one.
    QStringList lines() const { return model_->lines().toStringList(); }
    const TextLines &textLines() const { return model_->lines(); }

private:
    TextListModel *model_;
};
