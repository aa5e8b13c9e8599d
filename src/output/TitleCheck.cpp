#include "output/TitleCheck.h"

#include "shared/MainForm.h"

bool CheckSaveToFileName(const QString &, MessageBoxes &) { return true; }
void cmdClearTitle_Click(MainForm &) {}
