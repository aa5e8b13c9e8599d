// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/output/PrintedListing.h"

#include "core/shared/Text.h"
#include "window/output/PrinterService.h"

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
        put(PrintStep::line(displayName(s.title.toUtf8()))); // a title, too, is one line
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
        if (s.recursive)
            put(PrintStep::line({}, indent));
        put(PrintStep::line(fileHeading(s), indent));
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
    case PrintStep::Kind::Line: {
        const FitsPage fits = [&printer](const QString &text, int indent) { return printer.fits(text, indent); };
        for (const PaperLine &line : wrappedLine(step.text, step.value, fits))
            printer.printLine(line.text, line.indent);
        break;
    }
    }
}
} // namespace

QList<PrintStep> printedListing(const ListingSnapshot &s, int printerFontSize)
{
    QList<PrintStep> page;
    forEachStep(s, printerFontSize, [&page](PrintStep step) { page.append(std::move(step)); });
    return page;
}

QList<PaperLine> wrappedLine(const QString &text, int indent, const FitsPage &fits)
{
    QList<PaperLine> lines;
    QString rest = text;
    int in = indent;
    while (!rest.isEmpty() && !fits(rest, in)) {
        const qsizetype one = rest.size() > 1 && rest.at(0).isHighSurrogate() ? 2 : 1;
        const int wanted = in;
        while (in > 0 && !fits(rest.left(one), in))
            --in;
        if (in != wanted && fits(rest, in))
            break;
        // The longest start that fits: rest.left(lo) is taken, rest.left(hi) is too wide.
        qsizetype lo = one, hi = rest.size();
        while (hi - lo > 1) {
            const qsizetype mid = (lo + hi) / 2;
            (fits(rest.left(mid), in) ? lo : hi) = mid;
        }
        if (lo >= rest.size())
            break; // a single character wider than the page
        qsizetype cut = lo > one && rest.at(lo - 1).isHighSurrogate() ? lo - 1 : lo;
        // Rather before a word, else after a "/" of a path, in the second half of the piece.
        const auto breakAfter = [&](QChar c) {
            for (qsizetype j = cut; j > cut / 2; --j)
                if (rest.at(j - 1) == c && rest.at(j) != u' ')
                    return j;
            return qsizetype(0);
        };
        qsizetype word = breakAfter(u' ');
        if (word == 0)
            word = breakAfter(u'/');
        if (word > 0)
            cut = word;
        while (cut < rest.size() && rest.at(cut) == u' ')
            ++cut;
        lines.append({rest.left(cut), in});
        rest = rest.mid(cut);
        if (rest.isEmpty())
            return lines;
        in = indent + ContinuationIndent;
    }
    lines.append({rest, in});
    return lines;
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
