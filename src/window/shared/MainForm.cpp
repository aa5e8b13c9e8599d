// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/shared/MainForm.h"

#include <QCheckBox>

bool isChecked(const QCheckBox *box)
{
    return box->checkState() != Qt::Unchecked;
}
