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
    // Shows the box and answers what the user chose.
    Answer show(const QString &text, const QString &title, Buttons buttons = Buttons::Ok)
    {
        ++open_;
        const struct Closed {
            ~Closed() { --open_; }
        } closed;
        return ask(text, title, buttons);
    }
    // Whether a box is open now (the window thread's): closing the window then ends the
    // program at once, as one box may follow another.
    static bool showing() { return open_ > 0; }

protected:
    virtual Answer ask(const QString &text, const QString &title, Buttons buttons) = 0;

private:
    static inline int open_ = 0;
};
