// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "window/output/PrinterService.h"
#include "core/shared/Text.h"

#include <QList>
#include <QStringList>
#include <algorithm>

// A printing-service double: scripted printers and fonts, and a record of every printed line.
class RecordingPrinter : public PrinterService {
public:
    struct Printer { QString name; QStringList fonts; };

    QList<Printer> installed{{QStringLiteral("PDF"), {QStringLiteral("DejaVu Sans Mono"), QStringLiteral("Courier New")}}};
    int current = 0;        // index into installed, -1 for none
    QStringList enumerated; // the last printers() answer, which makeCurrent's number refers to
    QString font = QStringLiteral("DejaVu Sans Mono");
    int size = 10;
    bool emphasis = false;
    QStringList lines; // printed since the last endDocument, as "<size>[B] ><indent>|<text>", B for emphasis
    QList<QStringList> documents;
    int columns; // characters that fit a line of the page

    explicit RecordingPrinter(int columns = 1000) : columns(columns) {}

    QStringList printers() override
    {
        enumerated.clear();
        for (const Printer &p : installed)
            enumerated << p.name;
        return enumerated;
    }
    // Printers may have been removed from `installed` since they were enumerated: the number
    // names a printer of that list, looked up by name.
    void makeCurrent(int i) override
    {
        const QString name = enumerated.value(i);
        const auto at = std::find_if(installed.cbegin(), installed.cend(), [&](const Printer &p) { return p.name == name; });
        if (name.isEmpty() || at == installed.cend())
            throw PrinterError(QStringLiteral("The printer \"%1\" is no longer installed.").arg(name));
        current = int(at - installed.cbegin());
        font = QStringLiteral("DejaVu Sans Mono");
    }
    QString deviceName() override { return hasCurrent() ? installed[current].name : QString(); }
    QStringList fonts() override { return hasCurrent() ? installed[current].fonts : QStringList(); }
    QString fontName() override { return font; }
    void setFontSize(int points) override { size = points; }
    void replaceFont(const QString &name) override { font = name; }
    void setEmphasis(bool on) override { emphasis = on; }
    bool fits(const QString &text, int indent) override { return indent + charCount(text) <= columns; }
    void printLine(const QString &text, int indent) override
    {
        lines << QStringLiteral("%1%2 >%3|%4").arg(size).arg(emphasis ? "B" : "").arg(indent).arg(text);
    }
    void endDocument() override { documents.append(lines); lines.clear(); }

private:
    bool hasCurrent() const { return current >= 0 && current < installed.size(); }
};
