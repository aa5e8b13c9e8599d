#pragma once
#include <QString>

struct MainForm;

void cboIndent_Click(MainForm &f);
void cboIndent_Change(MainForm &f);
