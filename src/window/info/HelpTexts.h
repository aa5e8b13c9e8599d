// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QList>
#include <QString>

// The fixed contents of a help window: its name, caption and paragraphs, each a word-wrapping
// box at its design place (twips).
struct HelpParagraph {
    const char *name;
    int left, top, width, height;
    QString text;
};

struct HelpPage {
    const char *name;
    QString caption;
    QList<HelpParagraph> paragraphs;
};

const HelpPage &helpPrintPage(); // frmHelpPrint
const HelpPage &helpSavePage();  // frmHelpSave
