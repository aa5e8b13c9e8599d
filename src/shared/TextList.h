#pragma once
#include <QAbstractListModel>
#include <QListView>
#include <QStringList>

// Plain text lines in insertion order, shown in a list view with uniform rows so that a
// list of 100,000 lines stays quick.
class TextListModel : public QAbstractListModel {
    Q_OBJECT
public:
    using QAbstractListModel::QAbstractListModel;
    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;

    void append(const QString &line);
    void clear();
    const QStringList &lines() const { return lines_; }

private:
    QStringList lines_;
};

class TextList : public QListView {
    Q_OBJECT
public:
    explicit TextList(QWidget *parent = nullptr);

    void clear() { model_->clear(); }
    void addItem(const QString &line) { model_->append(line); }
    qsizetype count() const { return model_->lines().size(); }
    QString item(qsizetype i) const { return model_->lines().at(i); }
    const QStringList &lines() const { return model_->lines(); }

private:
    TextListModel *model_;
};
