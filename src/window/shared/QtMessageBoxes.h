// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "core/shared/MessageBoxes.h"

#include <functional>

class QEvent;
class QObject;
class QWidget;

// The real boxes. While one is open the other windows take no input, as under a modal box,
// but the window manager's close still reaches them (a modal box would swallow it), and so
// does what `passes` lets through: the way out of the program.
class QtMessageBoxes : public MessageBoxes {
public:
    explicit QtMessageBoxes(QWidget *parent = nullptr) : parent_(parent) {}
    void setParent(QWidget *parent) { parent_ = parent; }

    static inline std::function<bool(QObject *watched, QEvent *event)> passes;

protected:
    Answer ask(const QString &text, const QString &title, Buttons buttons) override;

private:
    QWidget *parent_;
};
