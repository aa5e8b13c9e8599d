#pragma once
#include <QString>

class MessageBoxes;
struct MainForm;

// Whether the page title can serve as a file name; when it cannot, the user has been told why.
bool CheckSaveToFileName(const QString &title, MessageBoxes &boxes);

void cmdClearTitle_Click(MainForm &f);
