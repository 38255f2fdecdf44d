// Page set-up: paper sizes from paper names and layouts, and the document's print settings
// fitted to its layout (paper, orientation and, for label printers, the printer).

#include "window/LBWindowController.h"

#include "document/DimensionInfo.h"
#include "document/LBDocument.h"
#include "layouts/LBLayoutSheetController.h"
#include "platform/core/TextForms.h"
#include "platform/core/UserDefaults.h"
#include "platform/ui/Beep.h"
#include "platform/ui/PrintInfo.h"
#include "platform/ui/Printers.h"

#include <QHash>
#include <QStringList>

#include <algorithm>
#include <array>
#include <optional>

namespace {

using Info = DimensionInfo;

// Label kinds, by the layout's labelType, that lie across the sheet.
bool isTurned(qint64 labelType)
{
    static constexpr std::array<qint64, 8> turned = {2, 4, 6, 7, 10, 12, 14, 17};
    return std::find(turned.begin(), turned.end(), labelType) != turned.end();
}

enum class SheetKind {
    LabelPrinter, // Seiko and Brother rolls: the printer is looked up
    DymoRoll,
    Envelope,
    Letterhead,
    Zebra,
    Plain, // label sheets and discs
};

SheetKind sheetKind(qint64 labelType, const QString& maker)
{
    const bool singleItem = labelType == 5 || labelType == 6;
    if (singleItem && (maker == QLatin1String("Seiko") || maker == QLatin1String("Brother")))
        return SheetKind::LabelPrinter;
    if (singleItem && maker == QLatin1String("DYMO"))
        return SheetKind::DymoRoll;
    if (singleItem)
        return SheetKind::Envelope;
    if (labelType == 7 || labelType == 8)
        return SheetKind::Letterhead;
    if (maker == QLatin1String("Zebra"))
        return SheetKind::Zebra;
    return SheetKind::Plain;
}

// The type prefixes of the label printers of a maker.
QStringList printerTypePrefixes(const QString& maker)
{
    if (maker == QLatin1String("Seiko"))
        return {QStringLiteral("SII")};
    return {QStringLiteral("QL"), QStringLiteral("PT")};
}

// Points cut to whole numbers, as paper lists are compared.
QSize wholePoints(const QSizeF& size)
{
    return QSize(int(size.width()), int(size.height()));
}

// Points the label printer and the paper of the printable size among its papers; false
// when no printer of the maker is there or none of its papers has that size.
bool choosePrinterPaper(platform::PrintInfo& printInfo, const QVariantMap& layout,
                        const QString& maker)
{
    const QStringList prefixes = printerTypePrefixes(maker);
    const QList<platform::Printers::Printer> printers = platform::Printers::printers();
    const auto printer = std::find_if(printers.begin(), printers.end(), [&](const auto& p) {
        return std::any_of(prefixes.begin(), prefixes.end(),
                           [&](const QString& prefix) { return p.type.startsWith(prefix); });
    });
    if (printer == printers.end())
        return false;
    printInfo.setPrinterName(printer->name);

    const double unit = Info::text(layout, Info::paperSize).startsWith(QLatin1String("Letter"))
                            ? LBLayoutSheetController::PointsPerInch
                            : LBLayoutSheetController::PointsPerMillimeter;
    const QSize target(int(Info::real(layout, Info::printableWidth) * unit),
                       int(Info::real(layout, Info::printableHeight) * unit));
    for (const QPageSize& paper : platform::Printers::paperSizes(printer->name)) {
        const QSize size = wholePoints(paper.size(QPageSize::Point));
        if (size == target || size.transposed() == target) {
            printInfo.setPaperName(paper.key());
            printInfo.setPaperSize(paper.size(QPageSize::Point));
            return true;
        }
    }
    return false;
}

} // namespace

QSizeF LBWindowController::pixelDimensionsForPaperName(const QString& name)
{
    return LBLayoutSheetController::pixelDimensionsForPaperName(name);
}

QSizeF LBWindowController::pixelDimensionsForPaper(const QVariantMap& layout)
{
    return LBLayoutSheetController::pixelDimensionsForPaper(layout);
}

void LBWindowController::initializePageSetup(bool forEnvelopeFeed)
{
    LBDocument* document = this->document();
    if (!document)
        return;
    const QVariantMap layout = document->dimensionInfo();
    const qint64 type = Info::integer(layout, Info::labelType);
    const QString maker = Info::text(layout, Info::paperManufacturer);
    const QSizeF label(Info::real(layout, Info::labelWidth), Info::real(layout, Info::labelHeight));
    // An envelope fed without automatic alignment lies on a whole sheet.
    const bool envelopeOnSheet = forEnvelopeFeed
                                 && !platform::UserDefaults::standardUserDefaults().boolForKey(
                                     QStringLiteral("Envelope Automatic Alignment"));

    QSizeF paper = pixelDimensionsForPaper(layout);
    if (envelopeOnSheet)
        paper = Info::text(layout, Info::paperSize).contains(QLatin1String("A4"))
                    ? QSizeF(595, 842)
                    : QSizeF(612, 792);
    const QSizeF portrait(std::min(paper.width(), paper.height()),
                          std::max(paper.width(), paper.height()));

    const SheetKind kind = sheetKind(type, maker);
    const bool turned = isTurned(type);
    QSizeF item;
    if (kind == SheetKind::LabelPrinter || kind == SheetKind::DymoRoll)
        item = label;
    else if (kind == SheetKind::Zebra)
        item = turned ? label.transposed() : label;
    else
        item = turned ? label : label.transposed();

    platform::PrintInfo printInfo = document->printInfo();
    switch (kind) {
    case SheetKind::Envelope: printInfo.setPaperBySize(envelopeOnSheet ? portrait : item); break;
    case SheetKind::Letterhead:
    case SheetKind::Plain: printInfo.setPaperBySize(portrait); break;
    case SheetKind::DymoRoll:
    case SheetKind::Zebra: printInfo.setPaperBySize(item); break;
    case SheetKind::LabelPrinter:
        if (!choosePrinterPaper(printInfo, layout, maker))
            printInfo.setPaperBySize(item);
        break;
    }

    bool turn = turned;
    if (kind == SheetKind::LabelPrinter)
        turn = (Info::text(layout, Info::orientation) == QLatin1String("Portrait")) != (type == 6);
    const bool special = kind == SheetKind::Envelope || kind == SheetKind::Letterhead
                         || kind == SheetKind::DymoRoll || kind == SheetKind::LabelPrinter
                         || type == 17 || type == 18;
    using Orientation = platform::PrintInfo::Orientation;
    if (special)
        printInfo.setOrientation(turn ? Orientation::Portrait : Orientation::Landscape);
    else if (kind == SheetKind::Zebra)
        printInfo.setOrientation(turn ? Orientation::Landscape : Orientation::Portrait);

    document->ourSetPrintInfo(printInfo);
}
