// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/output/SaveCloseQuestion.h"

#include "core/scan/CallWait.h"
#include "core/shared/MessageBoxes.h"
#include "window/shared/MainForm.h"

#include <utility>

SaveCloseQuestion::SaveCloseQuestion(MainForm &f, const QString &title)
    : previous_(std::exchange(CallWait::hooks.endDuringSave, [&f, title](const QString &folder) {
          return f.boxes->show(QStringLiteral("The file in ") + folder
                                   + QStringLiteral(" is still being saved.\rEnd anyway? The older file stays as it was."),
                               title, MessageBoxes::Buttons::YesNo)
              == MessageBoxes::Answer::Yes;
      }))
{
}

SaveCloseQuestion::~SaveCloseQuestion()
{
    CallWait::hooks.endDuringSave = std::move(previous_);
}
