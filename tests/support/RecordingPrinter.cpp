#include "support/RecordingPrinter.h"

#include <algorithm>

QStringList RecordingPrinter::printers()
{
    enumerated.clear();
    for (const Printer &p : installed)
        enumerated << p.name;
    return enumerated;
}

// Printers may have been removed from `installed` since they were enumerated: the number
// names a printer of that list, looked up by name.
void RecordingPrinter::makeCurrent(int i)
{
    const QString name = enumerated.value(i);
    const auto at = std::find_if(installed.cbegin(), installed.cend(), [&](const Printer &p) { return p.name == name; });
    if (name.isEmpty() || at == installed.cend())
        throw PrinterError(QStringLiteral("The printer \"%1\" is no longer installed.").arg(name));
    current = int(at - installed.cbegin());
    font = QStringLiteral("DejaVu Sans Mono");
}

void RecordingPrinter::printLine(const QString &text, int indent)
{
    lines << QStringLiteral("%1%2 >%3|%4").arg(size).arg(emphasis ? "B" : "").arg(indent).arg(text);
}
