// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>

class QWidget;

// Every message box of the program goes through this service: a text, a title, the OK
// button or the Yes and No buttons, and no icon. A carriage return in the text is a line break.
class MessageBoxes {
public:
    enum class Buttons { Ok, YesNo };
    enum class Answer { Ok, Yes, No };

    virtual ~MessageBoxes() = default;
    virtual Answer show(const QString &text, const QString &title, Buttons buttons = Buttons::Ok) = 0;
};

// The real boxes, modal to `parent`.
class QtMessageBoxes : public MessageBoxes {
public:
    explicit QtMessageBoxes(QWidget *parent = nullptr) : parent_(parent) {}
    void setParent(QWidget *parent) { parent_ = parent; }
    Answer show(const QString &text, const QString &title, Buttons buttons) override;

private:
    QWidget *parent_;
};
