#pragma once
#include "output/ListingSnapshot.h"

#include <QList>
#include <QString>

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

// Sends the steps to the printer's current document.
void printSteps(const QList<PrintStep> &steps, PrinterService &printer);

// Prints the page of printedListing() on the printer's current document, step by step, without
// holding all of its lines at once.
void printListing(const ListingSnapshot &s, int printerFontSize, PrinterService &printer);
