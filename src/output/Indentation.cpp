// SPDX-License-Identifier: GPL-3.0-or-later
#include "output/Indentation.h"

#include "shared/MainForm.h"
#include "shared/MessageBoxes.h"

#include <QComboBox>
#include <QRegularExpression>
#include <QSignalBlocker>
#include <cmath>

namespace {

const QString IndentationLabel = QStringLiteral("Indentation");

// Text with every blank, tab and line feed dropped.
QString withoutSpacing(const QString &text)
{
    QString s;
    s.reserve(text.size());
    for (QChar c : text)
        if (c != u' ' && c != u'\t' && c != u'\n')
            s.append(c);
    return s;
}

// The value of the longest leading run of digits of `base` (8 or 16) in `digits`.
double leadingWholeNumber(QStringView digits, int base)
{
    double value = 0;
    for (QChar c : digits) {
        const int d = c.isDigit() && c.unicode() < 128 ? c.unicode() - '0'
                      : (c.toLower() >= u'a' && c.toLower() <= u'f') ? c.toLower().unicode() - 'a' + 10
                                                                     : base;
        if (d >= base)
            break;
        value = value * base + d;
    }
    return value;
}

// Rounds to the nearest whole number, halves to the even neighbour.
double roundHalfEven(double v)
{
    const double down = std::floor(v);
    const double fraction = v - down;
    if (fraction > 0.5)
        return down + 1;
    if (fraction < 0.5)
        return down;
    return std::fmod(down, 2.0) == 0 ? down : down + 1;
}

} // namespace

const QStringList &indentEntries()
{
    static const QStringList entries{QStringLiteral("5 Characters"), QStringLiteral("10 Characters"),
                                     QStringLiteral("15 Characters"), QStringLiteral("25 Characters")};
    return entries;
}

int indentEntryValue(int entry)
{
    static constexpr int values[] = {5, 10, 15, 25};
    return values[entry];
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

double leadingNumber(const QString &text)
{
    const QString s = withoutSpacing(text);
    if (s.startsWith(u'&') && s.size() > 1) {
        const QChar form = s.at(1).toUpper();
        if (form == u'H')
            return leadingWholeNumber(QStringView(s).mid(2), 16);
        if (form == u'O')
            return leadingWholeNumber(QStringView(s).mid(2), 8);
        return 0;
    }
    static const QRegularExpression number(
        QStringLiteral("^[+-]?(?:[0-9]+\\.?[0-9]*|\\.[0-9]+)(?:[eE][+-]?[0-9]+)?"));
    const QRegularExpressionMatch m = number.match(s);
    return m.hasMatch() ? m.captured().toDouble() : 0.0;
}

std::optional<int> typedIndentation(const QString &text)
{
    if (text.isEmpty())
        return std::nullopt;
    const double v = leadingNumber(text);
    if (!(v > 0 && v < 80))
        return std::nullopt;
    return int(roundHalfEven(v));
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
