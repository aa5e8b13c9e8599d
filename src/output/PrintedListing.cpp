#include "output/PrintedListing.h"

#include "output/PrinterService.h"

int titleSize(int printerFontSize)
{
    return printerFontSize < 20 ? printerFontSize + 10 : printerFontSize;
}

namespace {
// The steps of the printed page, one at a time, so that a long listing is printed without
// first turning every line into a step.
template <typename Emit>
void forEachStep(const ListingSnapshot &s, int printerFontSize, Emit &&put)
{
    const int indent = s.indentation;

    // The title block: the title (when there is one) and the parent folder line.
    put(PrintStep::size(titleSize(printerFontSize)));
    put(PrintStep::emphasis(true));
    if (!s.title.isEmpty())
        put(PrintStep::line(s.title));
    put(PrintStep::line(s.parentFolderLine));
    put(PrintStep::emphasis(false));
    put(PrintStep::size(printerFontSize));
    put(PrintStep::line({}));

    // The folder section, with "Include Folders".
    if (s.includeFolders) {
        put(PrintStep::line({}));
        put(PrintStep::emphasis(true));
        put(PrintStep::line(folderHeading(s), indent));
        put(PrintStep::emphasis(false));
        for (qsizetype i = 0; i < s.folderLines.size(); ++i)
            put(PrintStep::line(s.folderLines.at(i), indent));
    }

    // The file section; its heading only above files.
    put(PrintStep::line({}));
    put(PrintStep::emphasis(true));
    if (!s.fileLines.isEmpty()) {
        if (s.recursive) {
            put(PrintStep::line({}, indent));
            put(PrintStep::line(QStringLiteral("Complete File List"), indent));
        } else if (s.fileSizes) {
            put(PrintStep::line(QStringLiteral("Files: ") + s.fileListTotalText, indent));
        } else {
            put(PrintStep::line(QStringLiteral("Files:"), indent));
        }
    }
    put(PrintStep::emphasis(false));
    for (qsizetype i = 0; i < s.fileLines.size(); ++i)
        put(PrintStep::line(fileLineOut(s, s.fileLines.at(i)), indent));
}

void printStep(const PrintStep &step, PrinterService &printer)
{
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
} // namespace

QList<PrintStep> printedListing(const ListingSnapshot &s, int printerFontSize)
{
    QList<PrintStep> page;
    forEachStep(s, printerFontSize, [&page](PrintStep step) { page.append(std::move(step)); });
    return page;
}

void printListing(const ListingSnapshot &s, int printerFontSize, PrinterService &printer)
{
    forEachStep(s, printerFontSize, [&printer](const PrintStep &step) { printStep(step, printer); });
}

void printSteps(const QList<PrintStep> &steps, PrinterService &printer)
{
    for (const PrintStep &step : steps)
        printStep(step, printer);
}
