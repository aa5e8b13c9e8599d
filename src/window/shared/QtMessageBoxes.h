// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "core/shared/MessageBoxes.h"

class QWidget;

// The real boxes, modal to `parent`.
class QtMessageBoxes : public MessageBoxes {
public:
    explicit QtMessageBoxes(QWidget *parent = nullptr) : parent_(parent) {}
    void setParent(QWidget *parent) { parent_ = parent; }
    Answer show(const QString &text, const QString &title, Buttons buttons) override;

private:
    QWidget *parent_;
};
