// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/shared/SelectEntry.h"

#include <QComboBox>

void selectEntry(MainForm &f, QComboBox *box, int index, void (*handler)(MainForm &))
{
    box->setCurrentIndex(index);
    handler(f);
}
