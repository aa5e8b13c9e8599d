#pragma once
#include "shared/MessageBoxes.h"

#include <QList>
#include <QString>
#include <functional>

// A message-box double: records every box and answers from a script, so no test ever
// blocks on a modal box. Unscripted boxes answer OK, or Yes for a Yes/No box.
class ScriptedMessageBoxes : public MessageBoxes {
public:
    struct Box { QString text, title; Buttons buttons; };

    Answer show(const QString &text, const QString &title, Buttons buttons) override;

    QList<Box> boxes;
    QList<Answer> answers;             // taken in order for Yes/No boxes
    std::function<void(const Box &)> onShow; // runs while the box is "open"

    QStringList titles() const;
    void clear() { boxes.clear(); }
};
