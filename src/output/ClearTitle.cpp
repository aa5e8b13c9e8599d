// SPDX-License-Identifier: GPL-3.0-or-later
#include "output/ClearTitle.h"

#include "shared/MainForm.h"

#include <QLineEdit>

void cmdClearTitle_Click(MainForm &f)
{
    f.txtTitle->setText(QString());
}
