#include "output/Indentation.h"

#include "shared/MainForm.h"

void cboIndent_Click(MainForm &) {}
void cboIndent_Change(MainForm &) {}
