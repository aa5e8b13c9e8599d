#include "support/RecordingPrinter.h"

QStringList RecordingPrinter::printers()
{
    calls << QStringLiteral("printers");
    enumerated.clear();
    for (const Printer &p : installed)
        enumerated << p.name;
    return enumerated;
}

void RecordingPrinter::makeCurrent(int i)
{
    calls << QStringLiteral("makeCurrent %1").arg(i);
    if (i < 0 || i >= enumerated.size())
        throw PrinterError(QStringLiteral("There is no printer number %1.").arg(i));
    // Printers may have been removed from `installed` since they were enumerated.
    const QString name = enumerated.at(i);
    int found = i < installed.size() && installed[i].name == name ? i : -1;
    for (int k = 0; found < 0 && k < installed.size(); ++k)
        if (installed[k].name == name)
            found = k;
    if (found < 0)
        throw PrinterError(QStringLiteral("The printer \"%1\" is no longer installed.").arg(name));
    current = found;
    font = QStringLiteral("DejaVu Sans Mono");
}

QString RecordingPrinter::deviceName()
{
    return current >= 0 && current < installed.size() ? installed[current].name : QString();
}

QStringList RecordingPrinter::fonts()
{
    if (!fontsFailWith.isEmpty())
        throw PrinterError(fontsFailWith);
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
