// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>

// Every message box of the program goes through this service: a text, a title, the OK
// button or the Yes and No buttons, and no icon. A carriage return in the text is a line break.
class MessageBoxes {
public:
    enum class Buttons { Ok, YesNo };
    enum class Answer { Ok, Yes, No };

    virtual ~MessageBoxes() = default;
    virtual Answer show(const QString &text, const QString &title, Buttons buttons = Buttons::Ok) = 0;
};
