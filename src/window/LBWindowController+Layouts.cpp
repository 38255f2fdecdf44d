// Applying a layout to the document: a template read with the chosen layout merged into
// it, or a layout alone, with the label kind, page size, orientation and print settings
// that go with it, the optional address boxes, and the quarter turn of a layout.

#include "window/LBWindowController.h"

#include "document/DimensionInfo.h"
#include "document/LBDocument.h"
#include "graphics/LBTextArea.h"
#include "platform/core/Error.h"
#include "platform/core/Strings.h"
#include "platform/core/UndoManager.h"
#include "platform/core/UserDefaults.h"
#include "platform/text/TextStorage.h"
#include "platform/ui/Alert.h"
#include "platform/ui/PrintInfo.h"
#include "window/ApplicationServices.h"
#include "window/PreviewModeController.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>

#include <algorithm>
#include <utility>

namespace {

using Info = DimensionInfo;

// The kinds whose labels stand upright on a landscape page.
bool isVerticalKind(qint64 labelType)
{
    switch (labelType) {
    case 2:
    case 4:
    case 6:
    case 8:
    case 10:
    case 12:
    case 14:
    case 18: return true;
    default: return false;
    }
}

bool isLabelPrinterMaker(const QString& maker)
{
    return maker == QLatin1String("DYMO") || maker == QLatin1String("Seiko")
           || maker == QLatin1String("Brother");
}

void setOrientation(LBDocument& doc, platform::PrintInfo::Orientation orientation)
{
    platform::PrintInfo info = doc.printInfo();
    info.setOrientation(orientation);
    doc.ourSetPrintInfo(info);
}

} // namespace

// ==== Templates ==========================================================================

qint64 LBWindowController::chooseLayout(const QString& path,
                                        const std::optional<QVariantMap>& layoutDict,
                                        bool createUntitledFile,
                                        const QPointF& offsetGraphicsByDelta, qint64 projectType)
{
    Q_UNUSED(projectType);
    LBDocument* doc = document();
    if (!doc)
        return 0;
    const QFileInfo file(QDir::cleanPath(path));
    const QString type = LBDocument::documentTypeStringForExtension(file.suffix());
    platform::Error error;
    if (!doc->revertToSavedFromFile(file.filePath(), type, &error)) {
        // A template that cannot be read changes nothing; the user learns which and why.
        platform::Alert alert;
        alert.messageText = platform::LocalizedString(
                                QStringLiteral("The document \u201c%1\u201d could not be opened."),
                                QStringLiteral("DialogStrings"))
                                .arg(file.fileName());
        alert.informativeText = error.description;
        alert.beginSheetModalForWindow(doc->appropriateWindowForDocModalOperations());
        return 0;
    }

    qint64 labelType = 0;
    bool showHelp = false;
    if (createUntitledFile) {
        if (layoutDict) {
            QVariantMap current = doc->dimensionInfo();
            QVariantMap chosen = *layoutDict;
            labelType = Info::integer(current, Info::labelType);
            // Letterhead templates of these numbers are horizontal whatever they say.
            static const QStringList horizontalLetterheads = {"#011", "#012", "#013", "#014",
                                                              "#015"};
            const QString name = file.completeBaseName();
            if (labelType == 8
                && std::any_of(horizontalLetterheads.begin(), horizontalLetterheads.end(),
                               [&](const QString& end) { return name.endsWith(end); }))
                labelType = 7;
            chosen.insert(Info::labelType, labelType);
            setPageSizeAndOrientationForLayout(
                *layoutDict, chosen, labelType, labelType == 5 || labelType == 6,
                labelType == 7 || labelType == 8, labelType == 17 || labelType == 18,
                labelType == 6, true);
            current.insert(chosen);
            doc->setDimensionInfo(current);
        }
        initializePageSetup(false);
        doc->forceSaveTemporaryFile();
        doc->setFileName(QString());
        if (!platform::UserDefaults::standardUserDefaults().boolForKey(
                QStringLiteral("DisableSmartTemplateHelp")))
            showHelp = isSmartTemplate();
        if (!offsetGraphicsByDelta.isNull())
            this->offsetGraphicsByDelta(offsetGraphicsByDelta);
    }

    doc->setFileType(type);
    removeLayoutSheetController();
    scanGraphicsForContactFields();
    showOrHideColumnsAsNecessary(mode());
    const QVariantMap& layout = doc->dimensionInfo();
    if (!_foundDeliveryAddress && !_foundOtherContactField && !_foundActivityField
        && Info::integer(layout, Info::labelType) < 5)
        setLabelRepeatCount(Info::integer(layout, Info::numRows)
                            * Info::integer(layout, Info::numColumns));
    if (mode() == PreviewMode)
        addQuarnLabelControls();
    zoomToFitNewLayout();
    _zoomToFitOnModeChange = true;
    doc->undoManager()->removeAllActions();
    if (showHelp)
        showSmartTemplateHelp();
    return labelType;
}

void LBWindowController::addQuarnLabelControls()
{
    if (_createController)
        _createController->addQuarnLabelControls(_previewView);
}

void LBWindowController::showSmartTemplateHelp()
{
    if (platform::UserDefaults::standardUserDefaults().boolForKey(
            QStringLiteral("DisableSmartTemplateHelp")))
        return;
    if (ApplicationServices* services = ApplicationServices::shared())
        services->showSmartTemplateHelp();
}

// ==== Blank layouts ======================================================================

void LBWindowController::chooseBlankLayout(const QVariantMap& layoutDict, bool includesLabelType,
                                           qint64 projectType, bool isVertical, bool isNewDocument,
                                           bool addDeliveryAddress, bool addReturnAddress)
{
    Q_UNUSED(projectType);
    LBDocument* doc = document();
    if (!doc)
        return;
    QVariantMap current = doc->dimensionInfo();
    const QVariantMap& layout = layoutDict;

    // A gap the new layout does not have must not survive from the old one when the new
    // layout gaps the other way.
    const bool newAcross = Info::real(layout, Info::hLabelSpace) != 0;
    const bool newDown = Info::real(layout, Info::vLabelSpace) != 0;
    const bool oldAcross = Info::real(current, Info::hLabelSpace) != 0;
    const bool oldDown = Info::real(current, Info::vLabelSpace) != 0;
    if (newAcross && !newDown && oldDown && !oldAcross)
        current.insert(Info::vLabelSpace, 0.0);
    else if (newDown && !newAcross && oldAcross && !oldDown)
        current.insert(Info::hLabelSpace, 0.0);
    current.insert(layout);

    const bool labelPrinter = isLabelPrinterMaker(Info::text(current, Info::paperManufacturer));
    qint64 labelType = 0;
    bool envelope = false; // an envelope's page set-up (label-printer rolls too)
    bool isEnvelopeFile = false;
    bool letterhead = false;
    bool disc = false;
    bool swapPage = false;
    if (!includesLabelType) {
        const qint64 v = isVertical ? 1 : 0;
        const QString category = Info::text(layout, Info::category);
        if (category == QLatin1String("Envelopes") || labelPrinter) {
            labelType = 5 + v;
            envelope = true;
            isEnvelopeFile = category == QLatin1String("Envelopes");
        } else if (category == QLatin1String("Letterhead")) {
            labelType = 7 + v;
            letterhead = true;
        } else if (category == QLatin1String("Disc Labels")) {
            labelType = 17 + v;
            disc = true;
        } else if (Info::real(current, Info::cornerRadius) != 0) {
            labelType = isVertical ? 4 : 3;
        } else if (Info::real(current, Info::outerDiameter) != 0
                   || Info::real(current, Info::innerDiameter) != 0) {
            labelType = 5 + v;
        } else {
            labelType = 1 + v;
        }
        swapPage = (envelope || letterhead || disc) && isVertical;
    } else {
        labelType = std::max<qint64>(Info::integer(current, Info::labelType), 0);
        if (labelType == 0)
            labelType = 1;
        envelope = isEnvelopeFile = labelType == 5 || labelType == 6;
        letterhead = labelType == 7 || labelType == 8;
        disc = labelType == 17 || labelType == 18;
        if (!Info::hasRoundedCorners(labelType))
            current.insert(Info::cornerRadius, 0.0);
    }
    current.insert(Info::labelType, labelType);
    setPageSizeAndOrientationForLayout(layout, current, labelType, envelope || labelPrinter,
                                       letterhead, disc, swapPage, !includesLabelType);
    doc->setDimensionInfo(current);

    if (isNewDocument && (addDeliveryAddress || addReturnAddress)) {
        const QString table = QStringLiteral("PreformattedAddressFields");
        const double labelWidth = Info::real(current, Info::labelWidth);
        const double labelHeight = Info::real(current, Info::labelHeight);
        // A merged address is often longer than the block that stands for it in design (a
        // company, a second street line, a country): the box makes the font of such an
        // address smaller until it fits, rather than cut its name off.
        const auto insertBox = [&](const QString& key, const auto& place, qint64 alignment) {
            const std::shared_ptr<LBTextArea> box =
                textObjForPreformattedFieldStr(platform::LocalizedString(key, table));
            if (!box)
                return;
            QSizeF text = box->contents() ? box->contents()->attributedString().size() : QSizeF();
            // The box lays its lines out with a margin at both ends that the bare text's
            // size leaves out: a fifth more is not room enough for a short block, whose
            // longest line would break (mid-word when it is one word). The width given is at
            // least what the box needs to hold every line whole.
            const double whole = box->requiredSize(LBTextArea::maxSize().width()).width();
            if (text.width() * 1.2 < whole)
                text.setWidth(whole / 1.2);
            box->setBoundsNoOtherChanges(place(text));
            box->setTextBlockHorizontalAlignment(alignment);
            box->setTextBlockVerticalAlignment(alignment);
            box->setTextResizeMask(LBTextArea::ReduceFont);
            doc->insertGraphic(box, 0, doc->selectedLayerIndex());
        };
        const double inset = addReturnAddress ? 4.0 : 10.0;
        insertBox(
            addReturnAddress && !isEnvelopeFile ? QStringLiteral("MyName")
                                                : QStringLiteral("Name+Company"),
            [&](const QSizeF& text) {
                // Centred on the label, as wide as the label less its inset (on a label
                // as high, too; on an envelope half again as high as the block, clear of
                // the return address): the merged addresses are longer than the field
                // names the block shows in design, and a box a fifth wider than those
                // broke real streets and cities mid-word and cut their first and last
                // lines off.
                const QSizeF size(labelWidth - inset, isEnvelopeFile ? std::min(labelHeight - inset,
                                                                                text.height() * 1.5)
                                                                     : labelHeight - inset);
                return QRectF(
                    QPointF((labelWidth - size.width()) / 2, (labelHeight - size.height()) / 2),
                    size);
            },
            1);
        if (isEnvelopeFile && addReturnAddress) {
            insertBox(
                QStringLiteral("MyName"),
                [&](const QSizeF& text) {
                    // The return address in the top-left corner, from there down and to the
                    // right. The block's two lines in design stand for the user's name and
                    // an address of up to four more; a box a fifth larger than those two
                    // broke the street and city, and, its text centred on the box, pushed
                    // the name above the envelope's top edge.
                    return QRectF(15, 15,
                                  std::max(text.width() * 1.2, std::min(200.0, labelWidth - 30)),
                                  std::min(labelHeight - 30, text.height() * 2.5));
                },
                0);
        }
    }

    initializePageSetup(false);
    removeLayoutSheetController();
    const QVariantMap& applied = doc->dimensionInfo();
    if (addReturnAddress && Info::integer(applied, Info::labelType) < 5)
        setLabelRepeatCount(Info::integer(applied, Info::numRows)
                            * Info::integer(applied, Info::numColumns));
    // Entering design mode fits the page; a window already there fits it now.
    const bool wasInDesign = mode() == DesignMode;
    _zoomToFitOnModeChange = true;
    switchToDesignMode(this);
    if (wasInDesign)
        zoomToFitNewLayout();
    doc->setFileType(isEnvelopeFile ? LBDocument::EnvelopeDocumentType
                     : letterhead   ? LBDocument::PageDocumentType
                                    : LBDocument::LabelDocumentType);
    doc->undoManager()->removeAllActions();
}

// ==== Page size, orientation and the quarter turn ========================================

void LBWindowController::setPageSizeAndOrientationForLayout(
    const QVariantMap& layout, QVariantMap& newDimensionInfo, qint64 cardType, bool isEnvelope,
    bool isLetterhead, bool isDiscLabel, bool swapPageDimensions, bool swapVerticalDimensions)
{
    LBDocument* doc = document();
    QVariantMap& info = newDimensionInfo;
    const auto oneItem = [&] {
        info.insert(Info::numRows, qint64(1));
        info.insert(Info::numColumns, qint64(1));
        for (const QString& key : {Info::leftMargin, Info::topMargin, Info::hLabelSpace,
                                   Info::vLabelSpace, Info::cornerRadius})
            info.insert(key, 0.0);
    };

    double shortSide = 0, longSide = 0;
    if (isEnvelope || isLetterhead) {
        // The page is the item.
        oneItem();
        double width = Info::real(info, Info::labelWidth);
        double height = Info::real(info, Info::labelHeight);
        if (swapPageDimensions)
            std::swap(width, height);
        info.insert(Info::pageWidth, width);
        info.insert(Info::pageHeight, height);
    } else if (isDiscLabel) {
        // One disc sheet the size of the layout's paper.
        oneItem();
        QSizeF paper = pixelDimensionsForPaper(layout);
        if (swapPageDimensions)
            paper.transpose();
        info.insert(Info::pageWidth, paper.width());
        info.insert(Info::labelWidth, paper.width());
        info.insert(Info::pageHeight, paper.height());
        info.insert(Info::labelHeight, paper.height());
        info.insert(Info::rotateLabels,
                    swapPageDimensions ? QStringLiteral("YES") : QStringLiteral("NO"));
    } else {
        const QSizeF paper = pixelDimensionsForPaper(layout);
        shortSide = std::min(paper.width(), paper.height());
        longSide = std::max(paper.width(), paper.height());
    }

    using Orientation = platform::PrintInfo::Orientation;
    if (isVerticalKind(cardType)) {
        if (!isEnvelope) {
            if (doc)
                setOrientation(*doc, Orientation::Landscape);
            if (!isLetterhead && !isDiscLabel) {
                info.insert(Info::pageWidth, longSide);
                info.insert(Info::pageHeight, shortSide);
            }
        } else if (doc) {
            setOrientation(*doc, Orientation::Portrait);
        }
        if (swapVerticalDimensions && !isDiscLabel)
            swapDimensionsInDict(info, true);
    } else if (isEnvelope) {
        if (doc)
            setOrientation(*doc, Orientation::Landscape);
    } else {
        if (doc)
            setOrientation(*doc, Orientation::Portrait);
        if (!isDiscLabel && !isLetterhead) {
            info.insert(Info::pageWidth, shortSide);
            info.insert(Info::pageHeight, longSide);
        }
    }
}

void LBWindowController::swapDimensionsInDict(QVariantMap& dict, bool toLandscapeOrientation)
{
    const double w = Info::real(dict, Info::labelWidth);
    const double h = Info::real(dict, Info::labelHeight);
    const qint64 rows = Info::integer(dict, Info::numRows);
    const qint64 columns = Info::integer(dict, Info::numColumns);
    const double top = Info::real(dict, Info::topMargin);
    const double left = Info::real(dict, Info::leftMargin);
    const double across = Info::real(dict, Info::hLabelSpace);
    const double down = Info::real(dict, Info::vLabelSpace);
    const double pageHeight = Info::real(dict, Info::pageHeight);

    dict.insert(Info::labelWidth, h);
    dict.insert(Info::labelHeight, w);
    dict.insert(Info::numRows, columns);
    dict.insert(Info::numColumns, rows);
    dict.insert(Info::hLabelSpace, down);
    dict.insert(Info::vLabelSpace, across);
    if (rows != 0 && columns != 0) {
        // What lies below the turned labels is the old margin on the other side.
        if (toLandscapeOrientation) {
            dict.insert(Info::topMargin,
                        pageHeight - w * double(columns) - double(columns - 1) * across - left);
            dict.insert(Info::leftMargin, top);
        } else {
            dict.insert(Info::topMargin, left);
            dict.insert(Info::leftMargin,
                        pageHeight - h * double(rows) - double(rows - 1) * down - top);
        }
    } else {
        dict.insert(Info::topMargin, left);
        dict.insert(Info::leftMargin, top);
    }
}

void LBWindowController::offsetGraphicsByDelta(const QPointF& delta)
{
    LBDocument* doc = document();
    if (!doc)
        return;
    for (LBDocument::Page& page : doc->documentGraphics()) {
        for (LBDocument::Layer& layer : page) {
            for (const LBGraphicPtr& graphic : std::as_const(layer))
                graphic->setBoundsNoOtherChanges(graphic->bounds().translated(delta));
        }
    }
}

// ==== What the window answers without chooser, views or merge support ====================

void LBWindowController::setLabelRepeatCount(qint64 count)
{
    if (LBDocument* doc = document())
        doc->setLabelRepeatCount(count);
    setupForDocument();
}
