#include "support/RecordingPrinter.h"

QStringList RecordingPrinter::printers()
{
    calls << QStringLiteral("printers");
    enumerated.clear();
    for (const Printer &p : installed)
        enumerated << p.name;
    return enumerated;
}

// Printers may have been removed from `installed` since they were enumerated: the number
// names a printer of that list, looked up by name.
void RecordingPrinter::makeCurrent(int i)
{
    calls << QStringLiteral("makeCurrent %1").arg(i);
    if (i < 0 || i >= enumerated.size())
        throw PrinterError(QStringLiteral("There is no printer number %1.").arg(i));
    int found = i < installed.size() && installed[i].name == enumerated[i] ? i : -1;
    for (int k = 0; found < 0 && k < installed.size(); ++k)
        found = installed[k].name == enumerated[i] ? k : -1;
    if (found < 0)
        throw PrinterError(QStringLiteral("The printer \"%1\" is no longer installed.").arg(enumerated[i]));
    current = found;
    font = QStringLiteral("DejaVu Sans Mono");
}

QStringList RecordingPrinter::fonts()
{
    if (!fontsFailWith.isEmpty())
        throw PrinterError(fontsFailWith);
    return hasCurrent() ? installed[current].fonts : QStringList();
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
