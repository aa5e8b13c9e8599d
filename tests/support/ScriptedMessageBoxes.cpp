#include "support/ScriptedMessageBoxes.h"

MessageBoxes::Answer ScriptedMessageBoxes::show(const QString &text, const QString &title, Buttons buttons)
{
    boxes.append({text, title, buttons});
    if (onShow)
        onShow(boxes.last());
    if (buttons == Buttons::Ok)
        return Answer::Ok;
    return answers.isEmpty() ? Answer::Yes : answers.takeFirst();
}

QStringList ScriptedMessageBoxes::titles() const
{
    QStringList t;
    for (const Box &b : boxes)
        t.append(b.title);
    return t;
}
