#include "shared/MainForm.h"

#include <QCheckBox>

bool isChecked(const QCheckBox *box)
{
    return box->checkState() != Qt::Unchecked;
}
