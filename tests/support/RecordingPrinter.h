#pragma once
#include "output/PrinterService.h"
#include "shared/Text.h"

#include <QList>
#include <QStringList>

// A printing-service double: scripted printers and fonts, and a record of every operation
// and printed line.
class RecordingPrinter : public PrinterService {
public:
    struct Printer { QString name; QStringList fonts; };
    struct Line { QString text; int indent; QString font; int size; bool emphasis; };

    QList<Printer> installed{{QStringLiteral("PDF"), {QStringLiteral("DejaVu Sans Mono"), QStringLiteral("Courier New")}}};
    int current = 0;        // index into installed, -1 for none
    QStringList enumerated; // the last printers() answer, which makeCurrent's number refers to
    QString font = QStringLiteral("DejaVu Sans Mono");
    int size = 10;
    bool emphasis = false;
    QList<Line> lines; // printed since the last endDocument
    QList<QList<Line>> documents;
    QStringList calls;     // every operation in order, the name and font queries aside
    QString failWith;      // when set, printLine throws it
    QString fontsFailWith; // when set, fonts() throws it
    int columns = 1000;    // characters that fit a line of the page

    QStringList printers() override;
    void makeCurrent(int i) override;
    QString deviceName() override { return hasCurrent() ? installed[current].name : QString(); }
    QStringList fonts() override;
    QString fontName() override { return font; }
    void setFontSize(int points) override { size = points; calls << QStringLiteral("size %1").arg(points); }
    void replaceFont(const QString &name) override { font = name; calls << QStringLiteral("font ") + name; }
    void setEmphasis(bool on) override { emphasis = on; calls << QStringLiteral("emphasis %1").arg(on ? 1 : 0); }
    bool fits(const QString &text, int indent) override { return indent + charCount(text) <= columns; }
    void printLine(const QString &text, int indent) override;
    void endDocument() override;

private:
    bool hasCurrent() const { return current >= 0 && current < installed.size(); }
};
