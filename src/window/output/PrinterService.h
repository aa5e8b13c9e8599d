// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>
#include <QStringList>
#include <stdexcept>

// Everything the program asks of the printing service: the installed printers, one current
// printer with one current font, and line-by-line output that makes its own pages.
// Failures are thrown as PrinterError with the service's own description.
class PrinterService {
public:
    virtual ~PrinterService() = default;

    // Device names of the installed printers, each once, in the service's fixed order.
    virtual QStringList printers() = 0;
    // Makes printer number i of the last printers() list current; its font becomes the system's
    // fixed-pitch family. A printer removed since that list was made is refused, by name.
    virtual void makeCurrent(int i) = 0;
    // Device name of the current printer (the system's default at start; empty when none).
    virtual QString deviceName() = 0;

    // The current printer's font families, in its own order.
    virtual QStringList fonts() = 0;
    // The current font's name, and its size in whole points.
    virtual QString fontName() = 0;
    virtual void setFontSize(int points) = 0;
    // Replaces the font by a new one with only its name set.
    virtual void replaceFont(const QString &name) = 0;
    // Heading emphasis (bold) on or off for the lines printed after it.
    virtual void setEmphasis(bool on) = 0;

    // Whether a text after so many blanks fits the width of the page in the current font;
    // asking may open the document, as printing a line does. A service without a page width
    // takes every line whole.
    virtual bool fits(const QString & /*text*/, int /*indent*/) { return true; }
    // Prints a line at the left margin, or after `indent` blanks of the current font; a line
    // that no longer fits on the page starts a new page. The first line opens the document.
    virtual void printLine(const QString &text, int indent = 0) = 0;
    // Sends every line since the last end as one document.
    virtual void endDocument() = 0;
};

class PrinterError : public std::runtime_error {
public:
    explicit PrinterError(const QString &description) : std::runtime_error(description.toStdString()) {}
};
