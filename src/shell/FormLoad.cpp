#include "shell/FormLoad.h"

#include "shared/MainForm.h"

void Form_Load(MainForm &) {}
void ChangeLabelFontColors(QWidget *, MessageBoxes &) {}
