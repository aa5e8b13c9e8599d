// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QObject>
#include <QSize>

class QWidget;

// Resizer1: scales the positions and sizes of a container's elements with its size, fonts
// unchanged; at the design size every element stands at its design rectangle.
class Resizer : public QObject {
    Q_OBJECT
public:
    Resizer(QWidget *container, QSize designSize);
    void apply();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *container_;
    QSize designSize_;
};
