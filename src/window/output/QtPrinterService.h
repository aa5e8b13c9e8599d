// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "window/output/PrinterService.h"

#include <QFont>
#include <QPainter>
#include <QPrinter>
#include <memory>

// The printing service over Qt PrintSupport and CUPS. The printers are CUPS's queues in
// their enumeration order, with the system's default current at start. A document is a Qt
// print job: opened by the first line, handed to CUPS when it is ended. It is laid out on the
// printer's own default paper, with margins of 12.7 mm inside the area the printer can print.
//
// Construction touches neither CUPS nor the font database: the default printer and its font
// are looked up at first use, so the service can be made before any window, also on a system
// without printers.
class QtPrinterService : public PrinterService {
public:
    QtPrinterService();
    ~QtPrinterService() override;

    QStringList printers() override;
    void makeCurrent(int i) override;
    QString deviceName() override;
    QStringList fonts() override;
    QString fontName() override;
    void setFontSize(int points) override;
    void replaceFont(const QString &name) override;
    void setEmphasis(bool on) override;
    bool fits(const QString &text, int indent) override;
    void printLine(const QString &text, int indent) override;
    void endDocument() override;

private:
    void startUp();
    void openDocument();

    bool started_ = false;
    QString current_;         // device name of the current printer; empty when none
    QStringList enumerated_;  // the names as last enumerated: what a printer number refers to
    QFont font_;
    // The open document, if any; the painter goes before the printer it paints on.
    std::unique_ptr<QPrinter> printer_;
    std::unique_ptr<QPainter> painter_;
    qreal y_ = 0;             // top of the next line on the page, in device pixels
};
