// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>
#include <functional>

struct MainForm;

// While it lives, closing the window during a save that has written part of its file asks
// first, in a box with the save's own title (see CallWait::hooks.endDuringSave).
class SaveCloseQuestion {
public:
    SaveCloseQuestion(MainForm &f, const QString &title);
    ~SaveCloseQuestion();
    SaveCloseQuestion(const SaveCloseQuestion &) = delete;
    SaveCloseQuestion &operator=(const SaveCloseQuestion &) = delete;

private:
    std::function<bool(const QString &folder)> previous_;
};
