// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/shared/QtMessageBoxes.h"

#include <QApplication>
#include <QEventLoop>
#include <QMessageBox>
#include <QPointer>

namespace {
// Keeps input away from every window but the box's while it lives.
class InputToBoxOnly : public QObject {
public:
    explicit InputToBoxOnly(QWidget *box) : box_(box) { qApp->installEventFilter(this); }
    ~InputToBoxOnly() override { qApp->removeEventFilter(this); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::Wheel:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
        case QEvent::ContextMenu:
        case QEvent::TouchBegin:
        case QEvent::TouchUpdate:
        case QEvent::TouchEnd:
        case QEvent::TabletPress:
        case QEvent::TabletRelease:
        case QEvent::Drop:
            break;
        default:
            return false;
        }
        auto *w = qobject_cast<QWidget *>(watched);
        if (!w || !box_ || w->window() == box_ || (QtMessageBoxes::passes && QtMessageBoxes::passes(watched, event)))
            return false;
        // Taken as a modal box takes it: nothing of the other window runs, no shortcut either.
        if (event->type() == QEvent::ShortcutOverride)
            event->accept();
        return true;
    }

private:
    QPointer<QWidget> box_;
};
}

MessageBoxes::Answer QtMessageBoxes::ask(const QString &text, const QString &title, Buttons buttons)
{
    QString shown = text;
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    QMessageBox box(QMessageBox::NoIcon, title, shown,
                    buttons == Buttons::Ok ? QMessageBox::Ok : (QMessageBox::Yes | QMessageBox::No),
                    parent_);
    box.setTextFormat(Qt::PlainText);
    // Not modal to the toolkit, which would drop the window manager's close of the window
    // behind it; kept modal here instead.
    box.setWindowModality(Qt::NonModal);
    const InputToBoxOnly modal(&box);
    QEventLoop loop;
    int r = QMessageBox::NoButton;
    QObject::connect(&box, &QDialog::finished, &loop, [&](int result) {
        r = result;
        loop.quit();
    });
    box.show();
    box.raise();
    box.activateWindow();
    loop.exec(QEventLoop::DialogExec);
    if (buttons == Buttons::Ok)
        return Answer::Ok;
    return r == QMessageBox::Yes ? Answer::Yes : Answer::No;
}
