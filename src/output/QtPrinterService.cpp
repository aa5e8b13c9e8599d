#include "output/QtPrinterService.h"

QtPrinterService::QtPrinterService() = default;
QtPrinterService::~QtPrinterService() = default;
QStringList QtPrinterService::printers() { return {}; }
void QtPrinterService::makeCurrent(int) {}
QString QtPrinterService::deviceName() { return {}; }
QStringList QtPrinterService::fonts() { return {}; }
QString QtPrinterService::fontName() { return {}; }
void QtPrinterService::setFontSize(int) {}
void QtPrinterService::replaceFont(const QString &) {}
void QtPrinterService::setEmphasis(bool) {}
void QtPrinterService::printLine(const QString &, int) {}
void QtPrinterService::endDocument() {}
