// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/output/ClearTitle.h"

#include "window/shared/MainForm.h"

#include <QLineEdit>

void cmdClearTitle_Click(MainForm &f)
{
    f.txtTitle->setText(QString());
}
