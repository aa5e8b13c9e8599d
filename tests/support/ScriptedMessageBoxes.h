// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "core/shared/MessageBoxes.h"

#include <QList>
#include <QStringList>
#include <functional>

// A message-box double: records every box and answers from a script, so no test ever
// blocks on a modal box. Unscripted boxes answer OK, or Yes for a Yes/No box.
class ScriptedMessageBoxes : public MessageBoxes {
public:
    struct Box { QString text, title; Buttons buttons; };

    Answer ask(const QString &text, const QString &title, Buttons buttons) override
    {
        boxes.append({text, title, buttons});
        if (whileOpen)
            whileOpen();
        if (buttons == Buttons::Ok)
            return Answer::Ok;
        return answers.isEmpty() ? Answer::Yes : answers.takeFirst();
    }

    QList<Box> boxes;
    QList<Answer> answers;             // taken in order for Yes/No boxes
    std::function<void()> whileOpen;   // what the user does while a box is open

    QStringList titles() const
    {
        QStringList t;
        for (const Box &b : boxes)
            t.append(b.title);
        return t;
    }
    void clear() { boxes.clear(); }
};
