// The sheet renderer's set-up and drawing: the sheet, its cells, and the graphics of a cell.

#include "merge/LBRenderingView.h"

#include "canvas/LBGraphicView.h"
#include "document/DimensionInfo.h"
#include "document/LayerWalk.h"
#include "graphics/LBTextArea.h"
#include "layouts/LBPageView.h"
#include "platform/core/DateFormatter.h"
#include "platform/core/Strings.h"
#include "platform/core/UndoManager.h"
#include "platform/core/UserDefaults.h"
#include "platform/drawing/GraphicsContext.h"
#include "platform/drawing/Image.h"
#include "shapes/LBBarcodeImage.h"
#include "shapes/LBImage.h"
#include "window/LBWindowController.h"

#include <QDateTime>
#include <QFont>
#include <QFontMetricsF>
#include <QPaintEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QScopeGuard>

#include <algorithm>
#include <cmath>

namespace {

platform::UserDefaults& defaults()
{
    return platform::UserDefaults::standardUserDefaults();
}

bool calibrationPageFlag = false;

// Whether every graphic of the page is drawn inside area (a cell and its bleed, in the
// cell's coordinates) whatever the record: text boxes that keep their bounds and cut
// their own text at them, and graphics without a picture. Pictures, barcodes, print
// images, curved text, text that grows or casts a shadow of its own and labels with text
// of their own may reach out, and then the cell clips.
bool designStaysInside(const LBDocument::Page& page, const QRectF& area)
{
    for (const LBDocument::Layer& layer : page) {
        for (const LBGraphicPtr& g : layer) {
            if (!area.contains(g->shadowDrawingBoundsWithHandles(false))
                || g->specialImageType() != 0 || g->shouldCreateHiResImageWhenPrinting()
                || g->isShapeWithText() || g->imageOfType(0))
                return false;
            if (!g->isTextBox())
                continue;
            const auto* text = dynamic_cast<const LBTextArea*>(g.get());
            // (A label's own edited text may bring attributes the box's text has not.)
            if (!text || text->isCurved() || text->textResizeMask() != 0
                || (text->editedTextArray() && !text->editedTextArray()->isEmpty()))
                return false;
            bool shadow = false;
            if (const auto& contents = text->contents()) {
                const platform::AttributedString& string = contents->attributedString();
                string.enumerateAttribute(platform::ShadowAttributeName,
                                          platform::Range(0, string.length()),
                                          [&](const QVariant& value, const platform::Range&,
                                              bool& stop) {
                                              if (value.isValid()) {
                                                  shadow = true;
                                                  stop = true;
                                              }
                                          });
            }
            if (shadow)
                return false;
        }
    }
    return true;
}

// The bleed of "Bleed Size": 1, 2 and 3 give 3, 6 and 10 points; anything else none.
double bleedForSize(qint64 size)
{
    switch (size) {
    case 1: return 3.0;
    case 2: return 6.0;
    case 3: return 10.0;
    default: return 0.0;
    }
}

// Today's date in the full style without time; the formatter is made once.
QString todaysFullDate()
{
    static const platform::DateFormatter formatter(platform::DateFormatter::FullStyle,
                                                   platform::DateFormatter::NoStyle);
    return formatter.stringFromDate(QDateTime::currentDateTime());
}

// The cells, counted from 1, of a line of `count` cells `size` long placed every `step`
// from `origin`, that cross [from, to]: first > last when none does. Cells that do not
// advance (a step of 0 or less) all count.
std::pair<qint64, qint64> cellsCrossing(double origin, double step, double size, qint64 count,
                                        double from, double to)
{
    if (count < 1)
        return {1, 0};
    // Cell k (from 0) spans [origin + k step, origin + k step + size]: it crosses when
    // low <= k <= high.
    const double low = std::floor((from - size - origin) / step) + 1.0;
    const double high = std::ceil((to - origin) / step) - 1.0;
    if (!(step > 0.0) || !std::isfinite(low) || !std::isfinite(high))
        return {1, count};
    if (high < 0.0 || low > double(count - 1))
        return {1, 0};
    return {qint64(std::max(low, 0.0)) + 1, qint64(std::min(high, double(count - 1))) + 1};
}

} // namespace

bool LBRenderingView::printingCalibrationPage()
{
    return calibrationPageFlag;
}

void LBRenderingView::setPrintingCalibrationPage(bool printing)
{
    calibrationPageFlag = printing;
}

LBRenderingView::LBRenderingView(const QRectF& frame, const Pages& graphics, QWidget* parent)
    : QWidget(parent), _graphics(graphics), _origGraphics(graphics), _frameSize(frame.size())
{
    setGeometry(frame.toAlignedRect());
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFIMType(1);
    _liveResizeObserver = platform::NotificationCenter::defaultCenter().addObserver(
        LBPageViewToggleLiveResize, nullptr, [this](const platform::Notification& n) {
            // Only a renderer shown in a page view follows its live resizes.
            if (parentWidget() && n.object) {
                toggleLiveResize(*n.objectAs<const bool>());
                // An opaque view is not drawn again with the page view under it: the
                // cells it left out while the size changed are drawn now.
                if (!_inLiveResize)
                    update();
            }
        });
}

LBRenderingView::~LBRenderingView()
{
    if (LBDocument* doc = _printingDocument) {
        _printingDocument = nullptr;
        doc->printingComplete();
    }
}

void LBRenderingView::setPrintingDocument(LBDocument* document)
{
    _printingDocument = document;
    _plainMerges.clear();
}

LBDocument* LBRenderingView::document() const
{
    return _contactServer ? _contactServer->document() : nullptr;
}

void LBRenderingView::setContactServer(DocumentWindowController* server)
{
    _contactServer = dynamic_cast<LBWindowController*>(server);
    _pageNum = -1;
    _contactIndex = -1;
    if (const LBDocument* doc = document())
        _dimensionType = doc->dimensionType();
    while (_graphics.size() > _origGraphics.size())
        _graphics.removeLast();
}

void LBRenderingView::updateLabelSettings()
{
    const LBDocument* doc = document();
    if (!doc)
        return;
    _dimensionType = doc->dimensionType();
    if (_dimensionType == 1) {
        const QVariantMap& info = doc->dimensionInfo();
        _labelWidth = DimensionInfo::real(info, DimensionInfo::labelWidth);
        _labelHeight = DimensionInfo::real(info, DimensionInfo::labelHeight);
        _labelRows = std::max<qint64>(1, DimensionInfo::integer(info, DimensionInfo::numRows));
        _labelColumns =
            std::max<qint64>(1, DimensionInfo::integer(info, DimensionInfo::numColumns));
        _topMargin = DimensionInfo::real(info, DimensionInfo::topMargin);
        _leftMargin = DimensionInfo::real(info, DimensionInfo::leftMargin);
        _hLabelSpace = DimensionInfo::real(info, DimensionInfo::hLabelSpace);
        _vLabelSpace = DimensionInfo::real(info, DimensionInfo::vLabelSpace);
        _startLabel = DimensionInfo::integer(info, DimensionInfo::startLabel);
        _drawByRows = DimensionInfo::integer(info, DimensionInfo::labelDirection)
                      != DimensionInfo::ColumnByColumn;
        if (_FIMBarcode)
            _FIMBarcode->setBoundsNoOtherChanges(QRectF(_labelWidth - 180.0, 0.0, 36.0, 45.0));
    }
    _okToDraw = true;
}

void LBRenderingView::setZeroMargins()
{
    _topMargin = 0.0;
    _leftMargin = 0.0;
}

qint64 LBRenderingView::numSelectedPeople() const
{
    return _contactServer ? std::max<qint64>(0, _contactServer->numSelectedPeople()) : 1;
}

qint64 LBRenderingView::labelRepeatCount() const
{
    return _contactServer ? std::max<qint64>(1, _contactServer->labelRepeatCount()) : 1;
}

qint64 LBRenderingView::numberOfPages()
{
    if (_dimensionType != 1 || printingCalibrationPage())
        return 1;
    const qint64 cells = std::max<qint64>(1, _labelRows * _labelColumns);
    const qint64 labels = labelRepeatCount() * numSelectedPeople() + _startLabel - 1;
    return std::max<qint64>(1, (labels + cells - 1) / cells);
}

void LBRenderingView::moveGraphicsBy(const QPointF& delta)
{
    const auto move = [&delta](const LBGraphicPtr& g) {
        if (g)
            g->setBoundsNoOtherChanges(g->bounds().translated(delta));
    };
    for (const LBDocument::Page& page : _graphics)
        for (const LBDocument::Layer& layer : page)
            for (const LBGraphicPtr& g : layer)
                move(g);
    for (const QList<LBGraphicPtr>* list :
         {&_hiResImageArray, &_barcodeImageArray, &_postnetBarcodeArray, &_envelopeBarcodeArray})
        for (const LBGraphicPtr& g : *list)
            move(g);
    move(_postnetBarcode);
    move(_FIMBarcode);
}

bool LBRenderingView::shouldDrawBackgroundImageForPage(qint64 page) const
{
    const LBDocument* doc = _printingDocument ? _printingDocument : document();
    if (!doc)
        return false;
    if (doc->hasBackgroundPlaceholder(page))
        return doc->drawBackgroundPlaceholder(page) && doc->printBackgroundPlaceholder(page);
    return doc->backgroundImage(page) && doc->drawBackgroundImage(page)
           && doc->printBackgroundImage(page);
}

void LBRenderingView::rotateView()
{
    _rotateView = true;
    _frameSize.transpose();
    resize(_frameSize.toSize());
}

void LBRenderingView::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform
                           | QPainter::TextAntialiasing);
    platform::GraphicsContext context(&painter, true);
    platform::GraphicsContext::Scope scope(context);
    // Zoomed, the frame is larger or smaller than the bounds, which are drawn scaled into it.
    const QSizeF b = bounds().size();
    if (b.width() > 0 && b.height() > 0 && QSizeF(size()) != b) {
        const QTransform scale = QTransform::fromScale(width() / b.width(), height() / b.height());
        painter.setTransform(scale, true);
        drawRect(scale.inverted().mapRect(QRectF(event->rect())));
        return;
    }
    drawRect(event->rect());
}

void LBRenderingView::removeMultiplierArrays()
{
    for (const LBDocument::Page& page : std::as_const(_origGraphics)) {
        for (const LBDocument::Layer& layer : page) {
            for (const LBGraphicPtr& g : layer) {
                if (auto* text = dynamic_cast<LBTextArea*>(g.get()))
                    text->removeMultipliers();
            }
        }
    }
    _cachedTextAdjustments = true;
    _buildMultiplierArrays = false;
}

void LBRenderingView::cacheTextMultipliersForContactIndex(qint64 first, qint64 last)
{
    if (!_contactServer || _origGraphics.isEmpty() || first < 0)
        return;
    const qint64 repeat = labelRepeatCount();
    const qint64 keptIndex = _contactIndex;
    const qint64 keptCounter = _counter;
    const QString keptUID = _contactUID;
    const bool keptCached = _cachedTextAdjustments;
    _cachedTextAdjustments = true;
    _buildMultiplierArrays = true;
    for (qint64 r = first; r <= last; ++r) {
        bool contactSet = false;
        for (const LBDocument::Layer& layer : std::as_const(_origGraphics.first())) {
            for (const LBGraphicPtr& g : layer) {
                auto* text = dynamic_cast<LBTextArea*>(g.get());
                if (!text || text->textResizeMask() == 0 || text->shrinkMultipliers().contains(r))
                    continue;
                if (!contactSet) {
                    _contactIndex = r;
                    _counter = r * repeat;
                    _contactUID = _contactServer->contactUIDForIndex(r, _contactUID);
                    contactSet = true;
                }
                textObjectForDrawing(g);
            }
        }
    }
    _buildMultiplierArrays = false;
    _cachedTextAdjustments = keptCached;
    _contactIndex = keptIndex;
    _counter = keptCounter;
    _contactUID = keptUID;
}

// ==== The sheet ==========================================================================

void LBRenderingView::drawRect(const QRectF& dirtyRectIn)
{
    platform::GraphicsContext* context = platform::GraphicsContext::current();
    if (!context || !context->painter())
        return;
    QPainter& painter = *context->painter();
    context->saveGraphicsState();
    const auto restore = qScopeGuard([context] { context->restoreGraphicsState(); });
    // The light path's plans hold for this sheet only, or for all the sheets of a print
    // job: nothing changes the design or the records while a job draws its sheets.
    const bool keepsPlans = printing();
    if (!keepsPlans)
        _plainMerges.clear();
    _drawingSheet = true;
    const auto sheetDone = qScopeGuard([this, keepsPlans] {
        _drawingSheet = false;
        if (!keepsPlans)
            _plainMerges.clear();
    });

    QRectF dirtyRect = dirtyRectIn;
    QRectF sheet = bounds();
    if (_rotateView) {
        painter.rotate(90.0);
        painter.translate(0.0, -bounds().width());
        sheet = QRectF(0.0, 0.0, bounds().height(), bounds().width());
        dirtyRect = sheet;
    }
    if (!_drawingEnabled || _pageNum == -1 || !_okToDraw)
        return;

    LBDocument* doc = _printingDocument ? _printingDocument : document();
    platform::UndoManager* undo = document() ? document()->undoManager() : nullptr;
    const bool undoWasOn = undo && undo->isUndoRegistrationEnabled();
    if (undoWasOn)
        undo->disableUndoRegistration();
    const auto undoBack = qScopeGuard([undo, undoWasOn] {
        if (undoWasOn)
            undo->enableUndoRegistration();
    });

    painter.fillRect(dirtyRect, Qt::white);
    if (_drawAuxiliaryInfo != 0)
        drawAuxiliaryInformation(sheet, dirtyRect);

    const bool printGrid = doc && doc->printGrid();
    const bool gridBelow = printGrid && defaults().boolForKey(QStringLiteral("Show Grid Below"));
    const bool gridAbove = printGrid && defaults().boolForKey(QStringLiteral("Show Grid"));

    if (printingCalibrationPage())
        printCalibrationMarksForRect(QRectF(_leftMargin, _topMargin, _labelWidth, _labelHeight));
    else if (_dimensionType == 1)
        drawCells(dirtyRect, doc, gridBelow);

    if (gridAbove)
        drawGrid(doc, dirtyRect);
}

void LBRenderingView::drawGrid(LBDocument* doc, const QRectF& dirtyRect)
{
    const QRectF sheet = _rotateView ? QRectF(0, 0, bounds().height(), bounds().width()) : bounds();
    QColor grey = QColor::fromRgbF(0.8f, 0.8f, 0.8f, 1.0f);
    LBDrawGrid(doc->guideSpacing(), grey, true, sheet.intersected(dirtyRect), doc->gridSpacing(),
               sheet.topLeft(), 1.0);
}

void LBRenderingView::drawAuxiliaryInformation(const QRectF& sheet, const QRectF& dirtyRect)
{
    const double height = sheet.height();
    // The baseline 3 points under the last row (at most 51 points above the sheet's foot),
    // yet low enough that the letters, which rise above it, stay off the labels (rows'
    // gaps counted) where the margin under them is narrow.
    const double labelsBottom = _topMargin + double(_labelRows) * _labelHeight
                                + double(std::max<qint64>(_labelRows - 1, 0)) * _vLabelSpace;
    const double footBaseline =
        height - std::min(height - _topMargin - double(_labelRows) * _labelHeight - 3.0, 51.0);
    // The 9-point letters reach less than 36 points from their baseline either way: a
    // repaint clear of that band (the top of a sheet in view, say) needs neither the line's
    // font nor its text.
    constexpr double reach = 36.0;
    const double highest = std::max(footBaseline, labelsBottom + 3.0) - reach;
    const double lowest = std::max(footBaseline, labelsBottom + 3.0 + reach) + reach;
    if (dirtyRect.bottom() < highest || dirtyRect.top() > lowest)
        return;
    QPainter& painter = *platform::GraphicsContext::current()->painter();
    QFont font(platform::LocalizedString(QStringLiteral("Helvetica-Bold"), QStringLiteral("Misc")));
    font.setBold(true);
    // 9 points: set in pixels, which are points on every page drawing surface, so the line
    // keeps its size on a printer or in a PDF rather than growing with the resolution.
    font.setPixelSize(9);
    font.setHintingPreference(QFont::PreferNoHinting);
    const QFontMetricsF metrics(font);
    painter.save();
    painter.setFont(font);
    painter.setPen(QColor::fromRgbF(0.5f, 0.5f, 0.5f));
    const double baseline = std::max(footBaseline, labelsBottom + 3.0 + metrics.ascent());
    if (_drawAuxiliaryInfo & 2) {
        const QString date = todaysFullDate();
        const double right = sheet.width() - std::max(_leftMargin, 43.0);
        painter.drawText(QPointF(right - metrics.horizontalAdvance(date), baseline), date);
    }
    if (_drawAuxiliaryInfo & 1) {
        const QString number = QStringLiteral("- %1 -").arg(_pageNum + 1);
        painter.drawText(
            QPointF((sheet.width() - metrics.horizontalAdvance(number)) / 2.0, baseline), number);
    }
    painter.restore();
}

void LBRenderingView::drawCells(const QRectF& dirtyRect, LBDocument* doc, bool gridBelow)
{
    platform::GraphicsContext& context = *platform::GraphicsContext::current();
    QPainter& painter = *context.painter();
    const bool onScreen = context.isDrawingToScreen();
    const QRectF sheet = _rotateView ? QRectF(0, 0, bounds().height(), bounds().width()) : bounds();
    const qint64 page = std::max<qint64>(_pageNum, 0);
    const qint64 cells = _labelRows * _labelColumns;
    const qint64 people = numSelectedPeople();
    const qint64 repeat = labelRepeatCount();
    const qint64 filledCount = repeat * people;
    const bool cropMarks = defaults().boolForKey(QStringLiteral("Draw Crop Marks"));
    const double bleed = bleedForSize(defaults().integerForKey(QStringLiteral("Bleed Size")));
    const bool cropToLabels = printing() && defaults().boolForKey(QStringLiteral("Crop To Labels"));
    const qint64 multipageType = doc ? doc->multipageType() : 0;
    const bool decorations = _drawLabelOutlines && multipageType == 0;
    QPainterPath marks;
    // A cell with nothing but a design that stays inside it keeps no drawing state and no
    // clip of its own: a printed sheet then writes neither for every label.
    const bool backgroundInCell =
        doc
        && ((doc->drawBackgroundColor(0) && doc->printBackgroundColor(0))
            || (doc->hasBackgroundPlaceholder(0) && doc->drawBackgroundPlaceholder(0)
                && doc->printBackgroundPlaceholder(0)));
    const bool bareCells =
        !backgroundInCell && !cropToLabels && !decorations && !gridBelow && !_inLiveResize
        && !_postnetBarcode && !_FIMBarcode && !_graphics.isEmpty()
        && !shouldDrawBackgroundImageForPage(0)
        && designStaysInside(_graphics.at(0), QRectF(-bleed, -bleed, _labelWidth + 2 * bleed,
                                                      _labelHeight + 2 * bleed));

    if (_preparesPrintImages && printing())
        prepareRecords(recordsOfPage(page).first, recordsOfPage(page).second);
    // A design of nothing but text boxes the light path draws is drawn in each cell by
    // moving those boxes' copies to the cell (a label that needs the general path after all
    // moves the painter for its box alone).
    const bool movesGraphics = bareCells && !_rotateView && drawsAllAsPlainText(_graphics.at(0));

    // Only the cells reaching into the dirty area, with their bleed and crop marks (25
    // points out), are visited, in the fill order: a sheet may have a great many cells,
    // and when zoomed in most are out of view.
    const double reach = std::max(bleed, 25.0);
    const QRectF wanted = dirtyRect.adjusted(-reach, -reach, reach, reach);
    const auto [firstRow, lastRow] =
        cellsCrossing(sheet.y() + _topMargin, _labelHeight + _vLabelSpace, _labelHeight, _labelRows,
                      wanted.top(), wanted.bottom());
    const auto [firstColumn, lastColumn] =
        cellsCrossing(sheet.x() + _leftMargin, _labelWidth + _hLabelSpace, _labelWidth,
                      _labelColumns, wanted.left(), wanted.right());
    const auto drawCell = [&](qint64 row, qint64 column) {
        const qint64 i = page * cells
                         + (_drawByRows ? (row - 1) * _labelColumns + column - 1
                                        : (column - 1) * _labelRows + row - 1);
        const double x =
            sheet.x() + _leftMargin + double(column - 1) * (_labelWidth + _hLabelSpace);
        const double y = sheet.y() + _topMargin + double(row - 1) * (_labelHeight + _vLabelSpace);
        const qint64 label = i + 1;
        const QRectF cell(x, y, _labelWidth, _labelHeight);
        bool filled = label >= _startLabel && label - _startLabel < filledCount;
        if (onScreen && people == 0 && i == 0)
            filled = true;
        if (filled && _contactServer) {
            _counter = label - _startLabel;
            _contactIndex = _counter / repeat;
            _contactUID = _contactServer->contactUIDForIndex(_contactIndex, _contactUID);
            if (people == 0)
                _contactIndex = -1;

            if (cropMarks) {
                const auto line = [&marks](double x1, double y1, double x2, double y2) {
                    marks.moveTo(x1, y1);
                    marks.lineTo(x2, y2);
                };
                const double top = y + 0.5;
                const double bottom = y + _labelHeight - 0.5;
                const double left = x + 0.5;
                const double right = x + _labelWidth - 0.5;
                if (column == 1) {
                    line(x - 25.0, top, x - 5.0, top);
                    line(x - 25.0, bottom, x - 5.0, bottom);
                }
                if (column == _labelColumns) {
                    line(x + _labelWidth + 5.0, top, x + _labelWidth + 25.0, top);
                    line(x + _labelWidth + 5.0, bottom, x + _labelWidth + 25.0, bottom);
                }
                if (row == 1) {
                    line(left, y - 25.0, left, y - 5.0);
                    line(right, y - 25.0, right, y - 5.0);
                }
                if (row == _labelRows) {
                    line(left, y + _labelHeight + 5.0, left, y + _labelHeight + 25.0);
                    line(right, y + _labelHeight + 5.0, right, y + _labelHeight + 25.0);
                }
            }

            const QRectF grown = cell.adjusted(-bleed, -bleed, bleed, bleed);
            if (movesGraphics) {
                // The painter keeps its transform: a printed page then writes no new one,
                // with the pen that goes with it, for every label.
                _cellOffset = cell.topLeft() - sheet.topLeft();
                _movesGraphicsToCells = true;
                renderGraphicsInRect(dirtyRect.translated(-_cellOffset), 0);
                _movesGraphicsToCells = false;
                _cellOffset = QPointF();
                return;
            }
            if (bareCells) {
                const QTransform kept = painter.worldTransform();
                const QPointF offset = cell.topLeft() - sheet.topLeft();
                painter.translate(offset);
                renderGraphicsInRect(dirtyRect.translated(-offset), 0);
                painter.setWorldTransform(kept);
                return;
            }
            context.saveGraphicsState();
            bool restored = false;
            painter.setClipRect(grown, Qt::IntersectClip);
            if (doc
                && ((doc->drawBackgroundColor(0) && doc->printBackgroundColor(0))
                    || (doc->hasBackgroundPlaceholder(0) && doc->drawBackgroundPlaceholder(0)
                        && doc->printBackgroundPlaceholder(0))))
                _contactServer->drawBackgroundColorForPage(0, grown, true);
            if (!printing()) {
                if (decorations)
                    _contactServer->drawUnderlay(dirtyRect, sheet, true);
            } else if (cropToLabels) {
                if (const std::optional<platform::BezierPath> path =
                        _contactServer->discLabelsPathForViewBounds(sheet))
                    painter.setClipPath(path->toPainterPath(), Qt::IntersectClip);
            }
            if (_inLiveResize && cells > 1) {
                context.restoreGraphicsState();
            } else {
                if (shouldDrawBackgroundImageForPage(0))
                    _contactServer->drawBackgroundImageForPage(0, dirtyRect, sheet);
                if (gridBelow && doc)
                    drawGrid(doc, dirtyRect);
                // The cell's own state goes back with the cell's unless the overlay, drawn
                // in sheet coordinates, follows: a printed sheet then writes no state
                // change of its own for each label.
                const QPointF offset = cell.topLeft() - sheet.topLeft();
                if (decorations)
                    context.saveGraphicsState();
                painter.translate(offset);
                renderGraphicsInRect(dirtyRect.translated(-offset), 0);
                if (decorations)
                    context.restoreGraphicsState();
                if (cropToLabels) {
                    context.restoreGraphicsState();
                    restored = true;
                }
                if (decorations)
                    _contactServer->drawOverlay(dirtyRect, sheet, printing());
                if (!restored)
                    context.restoreGraphicsState();
            }
        }
        if (onScreen && decorations) {
            QColor grey = QColor::fromRgbF(0.8f, 0.8f, 0.8f, 0.7f);
            painter.save();
            painter.setBrush(Qt::NoBrush);
            painter.setPen(QPen(grey, 0.0));
            painter.drawRect(cell);
            painter.restore();
        }
    };
    if (_drawByRows) {
        for (qint64 row = firstRow; row <= lastRow; ++row)
            for (qint64 column = firstColumn; column <= lastColumn; ++column)
                drawCell(row, column);
    } else {
        for (qint64 column = firstColumn; column <= lastColumn; ++column)
            for (qint64 row = firstRow; row <= lastRow; ++row)
                drawCell(row, column);
    }
    if (!marks.isEmpty()) {
        painter.save();
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(Qt::black, 0.2));
        painter.drawPath(marks);
        painter.restore();
    }
}

// ==== The graphics of a cell =============================================================

bool LBRenderingView::textMayGrowInto(const LBGraphic& g, const QRectF& r) const
{
    if (!g.isTextBox() && !g.isShapeWithText())
        return false;
    const auto* text = dynamic_cast<const LBTextArea*>(&g);
    if (!text)
        return false;
    const quint64 mask = text->textResizeMask();
    const QRectF b = g.drawingBounds();
    const bool overlapsVertically = r.top() < b.bottom() && r.bottom() > b.top();
    const bool overlapsHorizontally = r.left() < b.right() && r.right() > b.left();
    if ((mask & LBTextArea::ResizeLeftSide) && r.right() <= b.left() && overlapsVertically)
        return true;
    if ((mask & LBTextArea::ResizeRightSide) && r.left() >= b.right() && overlapsVertically)
        return true;
    if ((mask & LBTextArea::ResizeTopSide) && r.bottom() <= b.top() && overlapsHorizontally)
        return true;
    if ((mask & LBTextArea::ResizeBottomSide) && r.top() >= b.bottom() && overlapsHorizontally)
        return true;
    return false;
}

void LBRenderingView::renderGraphicsInRect(const QRectF& rect, qint64 forOriginalPage)
{
    if (_graphics.isEmpty() || forOriginalPage < 0 || forOriginalPage >= _graphics.size())
        return;
    const platform::GraphicsContext* context = platform::GraphicsContext::current();
    const bool onScreen = context && context->isDrawingToScreen();
    const LBDocument* doc = document();
    _regularBarcodeIndex = 0;
    _postnetBarcodeIndex = 0;
    LBWalkLayersForDrawing(
        _graphics.at(forOriginalPage),
        [&](qint64 l) {
            return !doc
                   || (doc->layerAtIndexIsVisible(l, forOriginalPage)
                       && (onScreen || doc->layerAtIndexWillPrint(l, forOriginalPage)));
        },
        [&](const LBGraphicPtr& g) {
            if (rect.width() != 0.0 && !_rotateView
                && !g->shadowDrawingBoundsWithHandles(false).intersects(rect)
                && !textMayGrowInto(*g, rect))
                return;
            drawWithPostnet(g);
        });
    // The envelope's own POSTNET barcode and the FIM mark.
    const auto meets = [&](const LBGraphic& g) {
        return _rotateView || rect.width() == 0.0 || g.drawingBounds().intersects(rect);
    };
    if (_postnetBarcode && _postnetBarcodeLocation == 3 && meets(*_postnetBarcode)) {
        if (printing()) {
            if (LBGraphicPtr barcode = barcodeImageFromGraphic(*_postnetBarcode, 3))
                barcode->drawInView(nullptr, false);
        } else {
            drawGraphic(_postnetBarcode);
        }
    }
    if (_FIMBarcode && meets(*_FIMBarcode))
        _FIMBarcode->drawInView(nullptr, false);
}

void LBRenderingView::drawWithPostnet(const LBGraphicPtr& g)
{
    platform::GraphicsContext& context = *platform::GraphicsContext::current();
    if (printing())
        g->setReflectionImage(nullptr);
    bool withBarcode = false;
    const double shift = verticalBarcodeShiftForGraphic(*g, &withBarcode);
    auto* box = dynamic_cast<LBTextArea*>(g.get());
    if (withBarcode && box) {
        _postnetBarcode->setAddressBookFieldIndex(
            std::max<qint64>(0, box->addressIndexForContactUID(_contactUID, nullptr)));
        double width = 0.0;
        if (box->textBlockHorizontalAlignment() != 0) {
            const LBGraphicPtr print =
                printing() ? barcodeImageFromGraphic(*_postnetBarcode, 2) : LBGraphicPtr();
            width = print ? print->bounds().width() : _postnetBarcode->bounds().width();
            if (printing())
                _postnetBarcodeIndex = std::max<qint64>(0, _postnetBarcodeIndex - 1);
        }
        box->setPostnetBarcodeWidth(width);
    }
    // A text box drawn as one puts back whatever it changes of the drawing state: unmoved,
    // it needs no saved state of its own (a printed sheet saved and restored it for every
    // label).
    const bool ownState =
        shift != 0.0 || !box || (printing() && g->shouldCreateHiResImageWhenPrinting());
    if (ownState)
        context.saveGraphicsState();
    if (shift != 0.0)
        context.painter()->translate(0.0, shift);
    const LBGraphicPtr drawn = drawGraphic(g);
    if (ownState)
        context.restoreGraphicsState();
    if (withBarcode && box && drawn) {
        const QRectF d = drawn->bounds().translated(0.0, shift);
        const QSizeF delta = box->blockAlignmentDelta();
        const double height = _postnetBarcode->bounds().height();
        const double bx = d.x() + delta.width() + 5.0;
        const double by = _postnetBarcodeLocation == 1
                              ? d.y() + delta.height() - height - 5.0
                              : d.y() + delta.height() + box->recipientTextHeight() + height;
        const QRectF old = _postnetBarcode->bounds();
        _postnetBarcode->setBoundsNoOtherChanges(QRectF(QPointF(bx, by), old.size()));
        context.saveGraphicsState();
        drawGraphic(_postnetBarcode);
        context.restoreGraphicsState();
    }
    if (printing())
        g->setReflectionImage(nullptr);
}

LBGraphicPtr LBRenderingView::drawGraphic(const LBGraphicPtr& g)
{
    // Printed, a graphic with a print image draws that; one whose image is missing draws
    // itself as on screen.
    LBGraphicPtr drawn =
        printing() && g->shouldCreateHiResImageWhenPrinting() ? hiResImageFromGraphic(*g) : nullptr;
    if (drawn) {
    } else if (g->isTextBox() || g->isShapeWithText()) {
        drawn = plainTextObjectForDrawing(g);
        if (!drawn && _movesGraphicsToCells) {
            // Drawn where the cell is, as a cell that moves the painter draws it.
            QPainter& painter = *platform::GraphicsContext::current()->painter();
            const QTransform kept = painter.worldTransform();
            painter.translate(_cellOffset);
            drawn = textObjectForDrawing(g);
            if (drawn)
                drawn->drawInView(nullptr, false);
            painter.setWorldTransform(kept);
            return drawn;
        }
        if (!drawn)
            drawn = textObjectForDrawing(g);
    } else if (const qint64 special = g->specialImageType(); special >= 1 && special <= 4) {
        drawn = substituteImageForGraphic(g);
    } else if (special == LBImage::BarcodePicture) {
        drawn = printing() ? barcodeImageFromGraphic(*g, g == _postnetBarcode ? 2 : 1)
                           : substituteImageForGraphic(g);
    } else {
        drawn = g;
    }
    if (drawn)
        drawn->drawInView(nullptr, false);
    return drawn;
}

LBGraphicPtr LBRenderingView::substituteImageForGraphic(const LBGraphicPtr& g)
{
    MergeServices* services = _contactServer ? _contactServer->mergeServices() : nullptr;
    const platform::ImagePtr picture =
        services ? services->substituteImageForGraphic(*g, _contactIndex) : nullptr;
    if (g->specialImageType() == LBImage::BarcodePicture) {
        // A barcode of the record: its picture at its own size where the barcode stands (a
        // plain picture graphic: nothing to encode again); without one, as designed.
        if (!picture)
            return g;
        auto image = std::make_shared<LBImage>();
        image->setImage(picture, 0);
        image->setBoundsNoOtherChanges(QRectF(g->bounds().topLeft(), picture->size()));
        return image;
    }
    LBGraphicPtr copy = g->copy();
    if (!picture) {
        copy->setImage(nullptr, 0);
        return copy;
    }
    const QSizeF size = picture->size();
    const QRectF b = copy->bounds();
    QSizeF fitted;
    if (size.width() > size.height()) {
        const double w = std::min(size.width(), b.width());
        fitted = QSizeF(w, w * size.height() / size.width());
    } else if (size.height() > 0.0) {
        const double h = std::min(size.height(), b.height());
        fitted = QSizeF(h * size.width() / size.height(), h);
    }
    copy->setImage(picture, 0);
    copy->setBoundsNoOtherChanges(QRectF(b.topLeft(), fitted));
    return copy;
}
