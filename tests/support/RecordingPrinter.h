#pragma once
#include "output/PrinterService.h"
#include "shared/Text.h"

#include <QList>
#include <QStringList>

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

    QStringList printers() override;
    void makeCurrent(int i) override;
    QString deviceName() override { return hasCurrent() ? installed[current].name : QString(); }
    QStringList fonts() override { return hasCurrent() ? installed[current].fonts : QStringList(); }
    QString fontName() override { return font; }
    void setFontSize(int points) override { size = points; }
    void replaceFont(const QString &name) override { font = name; }
    void setEmphasis(bool on) override { emphasis = on; }
    bool fits(const QString &text, int indent) override { return indent + charCount(text) <= columns; }
    void printLine(const QString &text, int indent) override;
    void endDocument() override { documents.append(lines); lines.clear(); }

private:
    bool hasCurrent() const { return current >= 0 && current < installed.size(); }
};
