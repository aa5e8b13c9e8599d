// SPDX-License-Identifier: GPL-3.0-or-later
// The indentation box of the window; the reading of its text is in Indentation.cpp.
#include "window/output/IndentationBox.h"

#include "core/output/Indentation.h"

#include "window/shared/MainForm.h"
#include "core/shared/MessageBoxes.h"

#include <QComboBox>
#include <QSignalBlocker>

namespace {
const QString IndentationLabel = QStringLiteral("Indentation");
}

void fillIndentEntries(QComboBox *box)
{
    // An editable box selects its first entry as soon as it has one, and clearing the selection
    // clears the text; the label text is put back afterwards.
    const QSignalBlocker quiet(box);
    box->addItems(indentEntries());
    box->setCurrentIndex(-1);
    box->setEditText(IndentationLabel);
}

void cboIndent_Click(MainForm &f)
{
    const QString t = f.cboIndent->currentText();

    // A preset entry stands for its value by its number, whatever its text says. The box keeps
    // its last selection while the user types, so an entry counts as selected when the text
    // is that entry's text.
    const int entry = f.cboIndent->findText(t, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (entry >= 0 && entry < indentEntries().size()) {
        f.Indentation = indentEntryValue(entry);
        return;
    }

    if (const std::optional<int> typed = typedIndentation(t)) {
        f.Indentation = *typed;
        return;
    }

    // The label text itself: nothing changes.
    if (t == IndentationLabel)
        return;

    // Not usable: back to the label (which runs this handler once more, without effect),
    // no indentation, and tell the user.
    f.cboIndent->setEditText(IndentationLabel);
    f.Indentation = 0;
    f.boxes->show(QStringLiteral("Indent must be a number and < 80"), QStringLiteral("Invalid Indentation"));
}

void cboIndent_Change(MainForm &f)
{
    cboIndent_Click(f);
}
