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

void printSteps(const QList<PrintStep> &steps, PrinterService &printer)
{
    const FitsPage fits = [&printer](const QString &text, int indent) { return printer.fits(text, indent); };
    for (const PrintStep &step : steps) {
        switch (step.kind) {
        case PrintStep::Kind::Size:
            printer.setFontSize(step.value);
            break;
        case PrintStep::Kind::Emphasis:
            printer.setEmphasis(step.value != 0);
            break;
        case PrintStep::Kind::Line:
            for (const PaperLine &line : wrappedLine(step.text, step.value, fits))
                printer.printLine(line.text, line.indent);
            break;
        }
    }
}
