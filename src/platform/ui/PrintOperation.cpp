#include "platform/ui/PrintOperation.h"

#include "platform/drawing/GraphicsContext.h"
#include "platform/ui/Printers.h"

#include <QFileInfo>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>

#include <algorithm>

namespace platform {

namespace {

PrintOperation::PanelHandler& panelHandler()
{
    static PrintOperation::PanelHandler handler;
    return handler;
}

} // namespace

PrintOperation::PrintOperation(PrintableView& view, const PrintInfo& printInfo)
    : _view(view), _printInfo(printInfo)
{}

PrintOperation::~PrintOperation() = default;

void PrintOperation::setPanelHandler(PanelHandler handler)
{
    panelHandler() = std::move(handler);
}

bool PrintOperation::setUpPrinter(QPrinter& printer)
{
    if (_printInfo.jobDisposition() == PrintInfo::Save) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(_printInfo.jobSavingPath());
    } else if (!_printInfo.printerName().isEmpty()) {
        printer.setPrinterName(_printInfo.printerName());
    }
    if (_printInfo.resolution() > 0)
        printer.setResolution(_printInfo.resolution());
    printer.setFullPage(true);
    // A standard paper goes by the name Qt gives it: the print panel finds the paper among
    // its own by the whole page size, name included, and puts its default paper in place
    // of one it does not find (an envelope came out on Letter). The settings' name, the
    // printer's key for the paper, stays on papers of no standard size.
    const QSizeF paper = _printInfo.paperSize();
    QPageSize size(paper, QPageSize::Point, QString(), QPageSize::FuzzyMatch);
    if (size.id() == QPageSize::Custom)
        size = QPageSize(paper, QPageSize::Point, _printInfo.paperName(), QPageSize::FuzzyMatch);
    const QPageLayout layout(size,
                             _printInfo.orientation() == PrintInfo::Landscape
                                 ? QPageLayout::Landscape
                                 : QPageLayout::Portrait,
                             QMarginsF(0, 0, 0, 0), QPageLayout::Point);
    return printer.setPageLayout(layout);
}

PrintOperation::Result PrintOperation::run()
{
    PrintInfo::waitForDefaultPrinterQuery();
    QPrinter printer(QPrinter::HighResolution);
    setUpPrinter(printer);

    if (_showsPrintPanel) {
        bool accepted = false;
        if (panelHandler()) {
            accepted = panelHandler()(printer);
        } else {
            QPrintDialog dialog(&printer, _window);
            dialog.setWindowModality(_window ? Qt::WindowModal : Qt::ApplicationModal);
            accepted = dialog.exec() == QDialog::Accepted;
        }
        if (!accepted)
            return Result::Cancelled;
        if (printer.outputFormat() == QPrinter::NativeFormat)
            _printInfo.setPrinterName(printer.printerName());
        _printInfo.setOrientation(printer.pageLayout().orientation() == QPageLayout::Landscape
                                      ? PrintInfo::Landscape
                                      : PrintInfo::Portrait);
    }

    qint64 first = 1;
    qint64 count = 0;
    // A job saved as a file still names the printer it was set up for (calibration).
    const QString printerName = printer.outputFormat() == QPrinter::PdfFormat
                                    ? _printInfo.printerName()
                                    : printer.printerName();
    if (!_view.knowsPageRange(printerName, &first, &count) || count < 1) {
        _errorString = QStringLiteral("nothing to print");
        return Result::Failed;
    }
    qint64 last = first + count - 1;
    if (printer.printRange() == QPrinter::PageRange && printer.fromPage() > 0) {
        first = std::max<qint64>(first, printer.fromPage());
        last = std::min<qint64>(last, printer.toPage() > 0 ? printer.toPage() : last);
    }

    QPainter painter;
    if (!painter.begin(&printer)) {
        if (printer.outputFormat() == QPrinter::NativeFormat)
            _errorString = QStringLiteral("cannot print to %1").arg(printer.printerName());
        else if (!printer.outputFileName().isEmpty())
            _errorString = QStringLiteral("cannot write %1").arg(printer.outputFileName());
        else // without any printer Qt's printer is a PDF writer with no file to write
            _errorString = QStringLiteral("No printer is set up. Add one in the system's printer "
                                          "settings, or export the sheets as a PDF.");
        return Result::Failed;
    }
    // One unit a point, whatever the printer's resolution.
    const double scale = printer.resolution() / 72.0;
    for (qint64 page = first; page <= last; ++page) {
        if (page > first && !printer.newPage()) {
            _errorString = QStringLiteral("the printer refused a page");
            painter.end();
            return Result::Failed;
        }
        const QRectF rect = _view.rectForPage(page);
        painter.save();
        painter.scale(scale, scale);
        painter.translate(-rect.topLeft());
        {
            GraphicsContext context(&painter, false);
            context.setBaseTransform(painter.transform());
            GraphicsContext::Scope scope(context);
            _view.drawPage(rect);
        }
        painter.restore();
        _view.endPage();
    }
    if (!painter.end()) {
        _errorString = QStringLiteral("the job could not be finished");
        return Result::Failed;
    }
    return Result::Printed;
}

} // namespace platform
