// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/output/QtPrinterService.h"

#include "core/shared/Text.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QPrinterInfo>

namespace {
// The margin kept inside the printable area on every side.
constexpr qreal MarginMm = 12.7;

// The family that the system's fixed-pitch font resolves to, so that it names a real font
// of the font list rather than an alias such as "monospace".
QFont fixedPitchFont()
{
    return QFont(QFontInfo(QFontDatabase::systemFont(QFontDatabase::FixedFont)).family());
}
}

QtPrinterService::QtPrinterService() = default;

QtPrinterService::~QtPrinterService()
{
    // A document left open (its print command failed half-way) still goes to the printer.
    if (painter_ && painter_->isActive())
        painter_->end();
}

void QtPrinterService::startUp()
{
    if (started_)
        return;
    started_ = true;
    current_ = QPrinterInfo::defaultPrinterName();
    font_ = fixedPitchFont();
}

QStringList QtPrinterService::printers()
{
    startUp();
    enumerated_.clear();
    for (const QPrinterInfo &p : QPrinterInfo::availablePrinters())
        enumerated_ << p.printerName();
    return enumerated_;
}

void QtPrinterService::makeCurrent(int i)
{
    startUp();
    if (enumerated_.isEmpty())
        printers();
    if (i < 0 || i >= enumerated_.size())
        throw PrinterError(QStringLiteral("There is no printer number %1.").arg(i));
    // The list may be older than the system's: the printer must still be installed.
    const QString name = enumerated_.at(i);
    if (QPrinterInfo::printerInfo(name).isNull())
        throw PrinterError(QStringLiteral("The printer \"%1\" is no longer installed.").arg(name));
    current_ = name;
    font_ = fixedPitchFont();
}

QString QtPrinterService::deviceName()
{
    startUp();
    return current_;
}

QStringList QtPrinterService::fonts()
{
    startUp();
    return QFontDatabase::families();
}

QString QtPrinterService::fontName()
{
    startUp();
    return font_.family();
}

void QtPrinterService::setFontSize(int points)
{
    startUp();
    font_.setPointSize(points);
}

void QtPrinterService::replaceFont(const QString &name)
{
    startUp();
    font_ = QFont(name);
}

void QtPrinterService::setEmphasis(bool on)
{
    startUp();
    font_.setBold(on);
}

void QtPrinterService::openDocument()
{
    if (current_.isEmpty())
        throw PrinterError(QStringLiteral("No printer is installed."));
    const QPrinterInfo info = QPrinterInfo::printerInfo(current_);
    if (info.isNull())
        throw PrinterError(QStringLiteral("The printer \"%1\" is no longer installed.").arg(current_));
    auto printer = std::make_unique<QPrinter>(info, QPrinter::HighResolution);
    if (!printer->isValid())
        throw PrinterError(QStringLiteral("The printer \"%1\" cannot be used.").arg(current_));
    printer->setDocName(QStringLiteral("Listwright"));
    // The printer's own paper, and half an inch more than the margins it cannot print on.
    printer->setPageSize(info.defaultPageSize());
    QPageLayout layout = printer->pageLayout();
    layout.setUnits(QPageLayout::Millimeter);
    layout.setMargins(layout.minimumMargins() + QMarginsF(MarginMm, MarginMm, MarginMm, MarginMm));
    if (!printer->setPageLayout(layout))
        throw PrinterError(QStringLiteral("The page margins of \"%1\" cannot be set.").arg(current_));
    auto painter = std::make_unique<QPainter>();
    if (!painter->begin(printer.get()))
        throw PrinterError(QStringLiteral("Printing on \"%1\" could not start.").arg(current_));
    printer_ = std::move(printer);
    painter_ = std::move(painter);
    y_ = 0;
}

bool QtPrinterService::fits(const QString &text, int indent)
{
    startUp();
    if (!painter_)
        openDocument();
    const QFontMetricsF metrics(font_, printer_.get());
    return metrics.horizontalAdvance(blanks(indent) + text) <= printer_->width();
}

void QtPrinterService::printLine(const QString &text, int indent)
{
    startUp();
    if (!painter_)
        openDocument();
    painter_->setFont(font_);
    const QFontMetricsF metrics(font_, printer_.get());
    const qreal height = metrics.lineSpacing();
    // A line that does not fit below the last one starts a new page; on an empty page it is
    // printed as it is.
    if (y_ > 0 && y_ + height > printer_->height()) {
        if (!printer_->newPage())
            throw PrinterError(QStringLiteral("The printer \"%1\" could not start a new page.").arg(current_));
        y_ = 0;
    }
    const QString line = blanks(indent) + text;
    if (!line.isEmpty())
        painter_->drawText(QPointF(0, y_ + metrics.ascent()), line);
    y_ += height;
}

void QtPrinterService::endDocument()
{
    startUp();
    if (!painter_)
        return;
    const bool sent = painter_->end();
    const QString name = current_;
    painter_.reset();
    printer_.reset();
    if (!sent)
        throw PrinterError(QStringLiteral("The document could not be sent to the printer \"%1\".").arg(name));
}
