#include "support/RecordingPrinter.h"

QStringList RecordingPrinter::printers()
{
    calls << QStringLiteral("printers");
    QStringList names;
    for (const Printer &p : installed)
        names << p.name;
    return names;
}

void RecordingPrinter::makeCurrent(int i)
{
    calls << QStringLiteral("makeCurrent %1").arg(i);
    if (i < 0 || i >= installed.size())
        throw PrinterError(QStringLiteral("The printer is no longer installed."));
    current = i;
    font = QStringLiteral("DejaVu Sans Mono");
}

QString RecordingPrinter::deviceName()
{
    return current >= 0 && current < installed.size() ? installed[current].name : QString();
}

QStringList RecordingPrinter::fonts()
{
    return current >= 0 && current < installed.size() ? installed[current].fonts : QStringList();
}

QString RecordingPrinter::fontName()
{
    return font;
}

void RecordingPrinter::setFontSize(int points)
{
    calls << QStringLiteral("size %1").arg(points);
    size = points;
}

void RecordingPrinter::replaceFont(const QString &name)
{
    calls << QStringLiteral("font %1").arg(name);
    font = name;
}

void RecordingPrinter::setEmphasis(bool on)
{
    calls << QStringLiteral("emphasis %1").arg(on ? 1 : 0);
    emphasis = on;
}

void RecordingPrinter::printLine(const QString &text, int indent)
{
    if (!failWith.isEmpty())
        throw PrinterError(failWith);
    calls << QStringLiteral("line");
    lines.append({text, indent, font, size, emphasis});
}

void RecordingPrinter::endDocument()
{
    calls << QStringLiteral("end");
    documents.append(lines);
    lines.clear();
}
