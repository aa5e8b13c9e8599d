#pragma once
#include "output/PrinterService.h"

#include <QList>
#include <QStringList>

// A printing-service double: a scripted set of printers and fonts, and a record of every
// operation and printed line.
class RecordingPrinter : public PrinterService {
public:
    struct Printer {
        QString name;
        QStringList fonts;
    };
    struct Line {
        QString text;
        int indent;
        QString font;
        int size;
        bool emphasis;
    };

    QList<Printer> installed{{QStringLiteral("PDF"), {QStringLiteral("DejaVu Sans Mono"), QStringLiteral("Courier New")}}};
    int current = 0;           // index into installed, -1 for none
    QStringList enumerated;    // the names printers() last answered: what makeCurrent's number means
    QString font = QStringLiteral("DejaVu Sans Mono");
    int size = 10;
    bool emphasis = false;
    QList<Line> lines;         // printed since the last endDocument
    QList<QList<Line>> documents;
    QStringList calls;         // every operation, in order
    QString failWith;          // when set, printLine throws this
    QString fontsFailWith;     // when set, fonts() throws this

    QStringList printers() override;
    void makeCurrent(int i) override;
    QString deviceName() override;
    QStringList fonts() override;
    QString fontName() override;
    void setFontSize(int points) override;
    void replaceFont(const QString &name) override;
    void setEmphasis(bool on) override;
    void printLine(const QString &text, int indent) override;
    void endDocument() override;
};
