// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QDialog>

struct HelpPage;
class QPushButton;

// frmHelpPrint and frmHelpSave: fixed paragraphs of help and a Close button. Each opening
// creates the window anew; closing it ends its modal run.
class HelpWindow : public QDialog {
    Q_OBJECT
public:
    explicit HelpWindow(const HelpPage &page, QWidget *parent = nullptr);

    QPushButton *cmdClose = nullptr;

private:
    void cmdClose_Click();
};
