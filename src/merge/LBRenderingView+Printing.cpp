// What a printed sheet needs beyond the screen's: the POSTNET barcode and FIM mark of
// envelopes, print-resolution images and per-record barcodes (made for the records of the
// page about to print, dropped after it), the calibration marks and the printer's offset.

#include "merge/LBRenderingView.h"

#include "graphics/LBProcessState.h"
#include "graphics/LBTextArea.h"
#include "platform/core/TextForms.h"
#include "platform/core/UserDefaults.h"
#include "platform/drawing/GraphicsContext.h"
#include "platform/drawing/Image.h"
#include "shapes/LBBarcodeImage.h"
#include "shapes/LBImage.h"
#include "window/LBWindowController.h"

#include <algorithm>

namespace {

// Print images are made per record for text with merge fields and contact pictures.
bool madePerRecord(const LBGraphic& g)
{
    if (g.specialImageType() == LBImage::ContactPicture)
        return true;
    const auto* text = dynamic_cast<const LBTextArea*>(&g);
    return text && (g.isTextBox() || g.isShapeWithText()) && text->containsFields();
}

// The drawn graphic as a picture graphic marked with its source and record.
std::shared_ptr<LBImage> markedImage(const LBGraphicPtr& drawn, const LBGraphicPtr& source,
                                     qint64 record)
{
    std::shared_ptr<LBImage> image = std::dynamic_pointer_cast<LBImage>(drawn);
    if (!image || drawn == source) {
        image = std::make_shared<LBImage>();
        if (const platform::ImagePtr picture = drawn->imageOfType(0)) {
            image->setImage(picture, 0);
            image->setBoundsNoOtherChanges(drawn->bounds());
        }
    }
    image->setSourceGraphicForHiResImage(source);
    image->setContactIndexForHiResImage(record);
    return image;
}

} // namespace

void LBRenderingView::setPostnetBarcodeLocation(qint64 location)
{
    _postnetBarcode.reset();
    _postnetBarcodeLocation = location;
    if (location < 1 || location > 3)
        return;
    _postnetBarcode = LBBarcodeImage::withBarcodeType(LBPOSTNETBarcode);
    _postnetBarcode->setBarcodeDataSource(LBBarcodeImage::ContactCodeField);
    const QSizeF size = _postnetBarcode->barcodeImageSize();
    const QPointF origin = location == 3
                               ? QPointF(_labelWidth - 270.0, _labelHeight - size.height() - 10.0)
                               : QPointF();
    _postnetBarcode->setBoundsNoOtherChanges(QRectF(origin, size));
}

void LBRenderingView::setFIMType(qint64 type)
{
    _FIMBarcode.reset();
    static const char* const names[] = {"FIM-A", "FIM-B", "FIM-C", "FIM-D"};
    if (type < 1 || type > 4)
        return;
    _FIMBarcode = std::make_shared<LBImage>();
    _FIMBarcode->setImage(platform::Image::imageNamed(QString::fromLatin1(names[type - 1])), 0);
    _FIMBarcode->setBoundsNoOtherChanges(QRectF(_labelWidth - 180.0, 0.0, 36.0, 45.0));
}

double LBRenderingView::verticalBarcodeShiftForGraphic(const LBGraphic& g, bool* drawBarcode) const
{
    *drawBarcode = false;
    const auto* box = dynamic_cast<const LBTextArea*>(&g);
    if (!_postnetBarcode || (_postnetBarcodeLocation != 1 && _postnetBarcodeLocation != 2) || !box
        || !g.isTextBox() || box->textBoxType() != LBTextArea::DeliveryAddressBox)
        return 0.0;
    *drawBarcode = true;
    const qint64 v = box->textBlockVerticalAlignment();
    const double height = _postnetBarcode->bounds().height();
    double shift = 0.0;
    if (_postnetBarcodeLocation == 1 && v != 2)
        shift = height + 7.0;
    else if (_postnetBarcodeLocation == 2 && v != 0)
        shift = -2.0 * height;
    return v == 1 ? shift / 2.0 : shift;
}

void LBRenderingView::preloadHiResImages()
{
    // Pictures without a print image are processed once for the job; print images and
    // per-record barcodes are made page by page.
    for (const LBDocument::Page& page : _graphics)
        for (const LBDocument::Layer& layer : page)
            for (const LBGraphicPtr& g : layer)
                if (!g->shouldCreateHiResImageWhenPrinting()
                    && g->specialImageType() != LBImage::BarcodePicture && g->imageOfType(0)) {
                    g->clearCachedImage();
                    g->transformedImage(true);
                }
    _preparesPrintImages = true;
    _preparedRecords = {-1, -1};
}

std::pair<qint64, qint64> LBRenderingView::recordsOfPage(qint64 page)
{
    const qint64 cells = _labelRows * _labelColumns;
    const qint64 repeat = labelRepeatCount();
    const qint64 filled = repeat * numSelectedPeople();
    const qint64 firstCounter = std::max<qint64>(0, page * cells + 1 - _startLabel);
    const qint64 lastCounter = std::min<qint64>(filled - 1, (page + 1) * cells - _startLabel);
    if (lastCounter < firstCounter)
        return {-1, -1};
    return {firstCounter / repeat, lastCounter / repeat};
}

void LBRenderingView::prepareRecords(qint64 first, qint64 last)
{
    if (_preparedRecords == std::pair(first, last))
        return;
    endPage();
    _preparedRecords = {first, last};
    if (first < 0 || !_contactServer)
        return;
    const qint64 keptIndex = _contactIndex;
    const QString keptUID = _contactUID;
    LBTextArea* deliveryBox = nullptr;
    for (const LBDocument::Page& page : _graphics) {
        for (const LBDocument::Layer& layer : page) {
            for (const LBGraphicPtr& g : layer) {
                if (g->specialImageType() == LBImage::BarcodePicture) {
                    ++_regularBarcodesPerPage;
                    for (qint64 r = first; r <= last; ++r) {
                        _contactIndex = r;
                        _contactUID = _contactServer->contactUIDForIndex(r, _contactUID);
                        _barcodeImageArray.append(markedImage(substituteImageForGraphic(g), g, r));
                    }
                } else if (g->shouldCreateHiResImageWhenPrinting()) {
                    const bool perRecord = madePerRecord(*g);
                    for (qint64 r = perRecord ? first : -1; r <= (perRecord ? last : -1); ++r) {
                        _contactIndex = r;
                        if (r >= 0)
                            _contactUID = _contactServer->contactUIDForIndex(r, _contactUID);
                        LBGraphicPtr drawn = g;
                        if (g->isTextBox() || g->isShapeWithText())
                            drawn = textObjectForDrawing(g);
                        else if (const qint64 t = g->specialImageType(); t >= 1 && t <= 4)
                            drawn = substituteImageForGraphic(g);
                        createHiResImageFromGraphic(drawn, g);
                    }
                }
                auto* box = dynamic_cast<LBTextArea*>(g.get());
                if (_postnetBarcode
                    && (_postnetBarcodeLocation == 1 || _postnetBarcodeLocation == 2) && box
                    && g->isTextBox() && box->textBoxType() == LBTextArea::DeliveryAddressBox) {
                    ++_postnetBarcodesPerPage;
                    deliveryBox = box;
                    for (qint64 r = first; r <= last; ++r) {
                        _contactIndex = r;
                        _contactUID = _contactServer->contactUIDForIndex(r, _contactUID);
                        _postnetBarcode->setAddressBookFieldIndex(std::max<qint64>(
                            0, box->addressIndexForContactUID(_contactUID, nullptr)));
                        _postnetBarcodeArray.append(markedImage(
                            substituteImageForGraphic(_postnetBarcode), _postnetBarcode, r));
                    }
                }
            }
        }
    }
    if (_postnetBarcode && _postnetBarcodeLocation == 3) {
        for (qint64 r = first; r <= last; ++r) {
            _contactIndex = r;
            _contactUID = _contactServer->contactUIDForIndex(r, _contactUID);
            if (deliveryBox)
                _postnetBarcode->setAddressBookFieldIndex(std::max<qint64>(
                    0, deliveryBox->addressIndexForContactUID(_contactUID, nullptr)));
            _envelopeBarcodeArray.append(
                markedImage(substituteImageForGraphic(_postnetBarcode), _postnetBarcode, r));
        }
    }
    _contactIndex = keptIndex;
    _contactUID = keptUID;
}

void LBRenderingView::createHiResImageFromGraphic(const LBGraphicPtr& g, const LBGraphicPtr& source)
{
    if (!g)
        return;
    // Made at the print resolution, which renderings take while a print job runs.
    const bool running = LBProcessState::isPrintJobRunning();
    LBProcessState::setPrintJobRunning(true);
    const platform::ImagePtr picture = LBGraphic::hiResImageFromGraphic(*g, true);
    LBProcessState::setPrintJobRunning(running);
    if (!picture)
        return;
    auto image = std::make_shared<LBImage>();
    image->setImage(picture, 0);
    // Placed at the graphic's drawing; sized in the picture's own points, which a print
    // image draws at 72 / the print resolution of.
    image->setBoundsNoOtherChanges(
        QRectF(g->shadowDrawingBoundsWithHandles(false).topLeft(), picture->size()));
    image->setScaledForPrinting(true);
    image->setSourceGraphicForHiResImage(source);
    image->setContactIndexForHiResImage(_contactIndex);
    _hiResImageArray.append(image);
}

LBGraphicPtr LBRenderingView::hiResImageFromGraphic(const LBGraphic& g) const
{
    const bool perRecord = madePerRecord(g);
    for (const LBGraphicPtr& entry : _hiResImageArray) {
        const auto* image = static_cast<const LBImage*>(entry.get());
        if (image->sourceGraphicForHiResImage().get() == &g
            && (!perRecord || image->contactIndexForHiResImage() == _contactIndex))
            return entry;
    }
    return nullptr;
}

LBGraphicPtr LBRenderingView::barcodeImageFromGraphic(const LBGraphic& g, qint64 barcodeArrayType)
{
    const QList<LBGraphicPtr>& list = barcodeArrayType == 3   ? _envelopeBarcodeArray
                                      : barcodeArrayType == 2 ? _postnetBarcodeArray
                                                              : _barcodeImageArray;
    qint64& index = barcodeArrayType == 2 ? _postnetBarcodeIndex : _regularBarcodeIndex;
    const qint64 perPage =
        barcodeArrayType == 2 ? _postnetBarcodesPerPage : _regularBarcodesPerPage;
    for (const LBGraphicPtr& entry : list) {
        const auto* image = static_cast<const LBImage*>(entry.get());
        if (image->contactIndexForHiResImage() != _contactIndex)
            continue;
        if (barcodeArrayType != 3 && image->sourceGraphicForHiResImage().get() != &g)
            continue;
        if (barcodeArrayType != 3 && perPage > 0)
            index = (index + 1) % perPage;
        const QRectF b = entry->bounds();
        entry->setBoundsNoOtherChanges(QRectF(QPointF(g.bounds().x(), b.y()), b.size()));
        return entry;
    }
    return nullptr;
}

void LBRenderingView::endPage()
{
    _hiResImageArray.clear();
    _barcodeImageArray.clear();
    _postnetBarcodeArray.clear();
    _envelopeBarcodeArray.clear();
    _regularBarcodesPerPage = 0;
    _postnetBarcodesPerPage = 0;
    _regularBarcodeIndex = 0;
    _postnetBarcodeIndex = 0;
    _preparedRecords = {-1, -1};
}

void LBRenderingView::printCalibrationMarksForRect(const QRectF& r)
{
    if (const platform::ImagePtr h =
            platform::Image::imageNamed(QStringLiteral("HCalibration.tif"))) {
        const QSizeF s = h->size();
        h->drawInRect(QRectF(
            QPointF(r.x() + r.width() - s.width() / 2.0, r.y() + (r.height() - s.height()) / 2.0),
            s));
    }
    if (const platform::ImagePtr v =
            platform::Image::imageNamed(QStringLiteral("VCalibration.tif"))) {
        const QSizeF s = v->size();
        v->drawInRect(QRectF(
            QPointF(r.x() + (r.width() - s.width()) / 2.0, r.y() + r.height() - s.height() / 2.0),
            s));
    }
}

bool LBRenderingView::knowsPageRange(const QString& printerName, qint64* first, qint64* count)
{
    const QVariantList entries = platform::UserDefaults::standardUserDefaults().arrayForKey(
        QStringLiteral("Printer Calibration Array"));
    for (const QVariant& entry : entries) {
        const QVariantMap map = entry.toMap();
        if (!printerName.isEmpty()
            && map.value(QStringLiteral("printerName")).toString() == printerName) {
            _printerCalibrationAdjustment = platform::pointFromString(
                map.value(QStringLiteral("printerAdjustment")).toString());
            break;
        }
    }
    *first = 1;
    *count = numberOfPages();
    return true;
}

QRectF LBRenderingView::rectForPage(qint64 page)
{
    _pageNum = page - 1;
    return bounds().translated(_printerCalibrationAdjustment);
}

void LBRenderingView::drawPage(const QRectF& rect)
{
    Q_UNUSED(rect);
    drawRect(bounds());
}
