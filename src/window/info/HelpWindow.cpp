// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/info/HelpWindow.h"

#include "window/info/CentreOnScreen.h"
#include "window/info/HelpTexts.h"
#include "window/shared/Fonts.h"
#include "window/shared/Geometry.h"
#include "window/shared/ProgramIcon.h"

#include <QLabel>
#include <QPushButton>

HelpWindow::HelpWindow(const HelpPage &page, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint
                          | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QLatin1String(page.name));
    setWindowTitle(page.caption);
    setWindowIcon(programIcon());
    setFixedSize(twips(5130), twips(4005));

    // Every paragraph wraps inside its own fixed box; the boxes never grow with their text.
    const QFont text = designFont(QStringLiteral("MS Sans Serif"), 8.25);
    for (const HelpParagraph &p : page.paragraphs) {
        auto *lbl = new QLabel(p.text, this);
        lbl->setObjectName(QLatin1String(p.name));
        lbl->setFont(text);
        lbl->setTextFormat(Qt::PlainText);
        lbl->setWordWrap(true);
        lbl->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        lbl->setGeometry(twipsRect(p.left, p.top, p.width, p.height));
    }

    cmdClose = new QPushButton(QStringLiteral("Close"), this);
    cmdClose->setObjectName(QStringLiteral("cmdClose"));
    cmdClose->setFont(designFont(QStringLiteral("MS Sans Serif"), 8.25, true));
    cmdClose->setGeometry(twipsRect(2160, 3600, 735, 375));
    cmdClose->setDefault(true);
    cmdClose->setFocus();
    connect(cmdClose, &QPushButton::clicked, this, &HelpWindow::cmdClose_Click);

    centreOnScreen(this);
}

void HelpWindow::cmdClose_Click()
{
    close();
}
