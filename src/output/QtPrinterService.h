#pragma once
#include "output/PrinterService.h"

// The printing service over Qt PrintSupport and CUPS.
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
    void printLine(const QString &text, int indent) override;
    void endDocument() override;
};
