// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "core/listing/ListingSnapshot.h"

#include <QList>
#include <QString>
#include <functional>

class PrinterService;

// One step of a printed listing: a font size, the heading emphasis switched on or off, or a
// line, plain (indent 0) or indented by `indent` characters.
struct PrintStep {
    enum class Kind { Size, Emphasis, Line };
    Kind kind;
    int value = 0;  // Size: points; Emphasis: 1 on, 0 off; Line: the indentation
    QString text;   // Line only

    static PrintStep size(int points) { return {Kind::Size, points, {}}; }
    static PrintStep emphasis(bool on) { return {Kind::Emphasis, on ? 1 : 0, {}}; }
    static PrintStep line(const QString &text, int indent = 0) { return {Kind::Line, indent, text}; }
    bool operator==(const PrintStep &) const = default;
};

// The title block is printed larger than the body: 10 points more below 20 points.
int titleSize(int printerFontSize);

// The printed page of a listing, in order: the title block at the title size and emphasised,
// the folder section with "Include Folders", and the file section; the service makes the
// pages. The document is not ended here.
QList<PrintStep> printedListing(const ListingSnapshot &s, int printerFontSize);

// A line as it goes on paper: its text after `indent` blanks.
struct PaperLine {
    QString text;
    int indent = 0;
    bool operator==(const PaperLine &) const = default;
};

// Continuation lines start this many blanks further in than the line they continue.
constexpr int ContinuationIndent = 4;

// Whether a text after so many blanks fits the width of the page.
using FitsPage = std::function<bool(const QString &text, int indent)>;

// A line printed after `indent` blanks, as the lines that fit the page: a line that fits stays
// as it is; a wider one is cut before a word, else after a "/", in the second half of what
// fits, else where the page ends, and goes on ContinuationIndent blanks further in.
// Every character is kept, in order; blanks where a line is cut stay at that line's end. Each
// line holds at least one character, and an indentation that leaves no room for one shrinks.
QList<PaperLine> wrappedLine(const QString &text, int indent, const FitsPage &fits);

// Sends the steps to the printer's current document, each line wrapped to the page.
void printSteps(const QList<PrintStep> &steps, PrinterService &printer);

// Prints the page of printedListing() on the printer's current document, step by step, without
// holding all of its lines at once.
void printListing(const ListingSnapshot &s, int printerFontSize, PrinterService &printer);
