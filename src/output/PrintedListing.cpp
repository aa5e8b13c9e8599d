#include "output/PrintedListing.h"

#include "output/PrinterService.h"

int titleSize(int printerFontSize)
{
    return printerFontSize < 20 ? printerFontSize + 10 : printerFontSize;
}

QList<PrintStep> printedListing(const ListingSnapshot &s, int printerFontSize)
{
    const int indent = s.indentation;
    QList<PrintStep> page;

    // The title block: the title (when there is one) and the parent folder line.
    page << PrintStep::size(titleSize(printerFontSize)) << PrintStep::emphasis(true);
    if (!s.title.isEmpty())
        page << PrintStep::line(s.title);
    page << PrintStep::line(s.parentFolderLine);
    page << PrintStep::emphasis(false) << PrintStep::size(printerFontSize) << PrintStep::line({});

    // The folder section, with "Include Folders".
    if (s.includeFolders) {
        page << PrintStep::line({}) << PrintStep::emphasis(true);
        page << PrintStep::line(folderHeading(s), indent);
        page << PrintStep::emphasis(false);
        for (const QString &entry : s.folderLines)
            page << PrintStep::line(entry, indent);
    }

    // The file section; its heading only above files.
    page << PrintStep::line({}) << PrintStep::emphasis(true);
    if (!s.fileLines.isEmpty()) {
        if (s.recursive)
            page << PrintStep::line({}, indent) << PrintStep::line(QStringLiteral("Complete File List"), indent);
        else if (s.fileSizes)
            page << PrintStep::line(QStringLiteral("Files: ") + s.fileListTotalText, indent);
        else
            page << PrintStep::line(QStringLiteral("Files:"), indent);
    }
    page << PrintStep::emphasis(false);
    for (const QString &entry : s.fileLines)
        page << PrintStep::line(fileLineOut(s, entry), indent);
    return page;
}

void printSteps(const QList<PrintStep> &steps, PrinterService &printer)
{
    for (const PrintStep &step : steps) {
        switch (step.kind) {
        case PrintStep::Kind::Size:
            printer.setFontSize(step.value);
            break;
        case PrintStep::Kind::Emphasis:
            printer.setEmphasis(step.value != 0);
            break;
        case PrintStep::Kind::Line:
            printer.printLine(step.text, step.value);
            break;
        }
    }
}
