// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/shared/QtMessageBoxes.h"

#include <QMessageBox>

MessageBoxes::Answer QtMessageBoxes::show(const QString &text, const QString &title, Buttons buttons)
{
    QString shown = text;
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    QMessageBox box(QMessageBox::NoIcon, title, shown,
                    buttons == Buttons::Ok ? QMessageBox::Ok : (QMessageBox::Yes | QMessageBox::No),
                    parent_);
    box.setTextFormat(Qt::PlainText);
    const int r = box.exec();
    if (buttons == Buttons::Ok)
        return Answer::Ok;
    return r == QMessageBox::Yes ? Answer::Yes : Answer::No;
}
