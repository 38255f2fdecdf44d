#pragma once

// The sheet renderer: one whole sheet (a page of a label layout, or of a letter, envelope
// or disc layout) with every label cell filled for its record. Preview shows it on
// screen; printing and export draw it into a printer, a PDF writer or an image through the
// current graphics context (drawRect()), the same code for every output, with no window.
//
// The design's graphics are the document's own objects: a cell is drawn through a
// translation of the painter to its origin, never by moving the graphics, so nothing is
// left displaced and graphics without merge fields draw from what they keep cached.
// Per-cell copies are made only for text that differs by record (textObjectForDrawing()),
// pictures that differ by record, and print-resolution images; those of the page being
// drawn are made for it and dropped after it.
//
// The view is flipped (y grows downwards) and opaque; geometry is in points. Its contact
// server is the window controller (not owned): records, fields, layer flags and the page
// decorations come from it.

#include "document/LBDocument.h"
#include "document/SheetRenderer.h"
#include "platform/core/NotificationCenter.h"

#include <QHash>
#include <QPointF>
#include <QRectF>
#include <QString>
#include <QWidget>

#include <memory>
#include <optional>

class LBBarcodeImage;
class LBImage;
class LBMergeServices;
class LBTextArea;
class LBWindowController;

namespace platform {
class AttributedString;
class GraphicsContext;
struct Range;
} // namespace platform

class LBRenderingView : public QWidget, public SheetRenderer
{
    Q_OBJECT
public:
    using Pages = LBDocument::Pages;

    // The frame's size is the sheet's; the pages are the design's (pages of layers of
    // graphics), shared, not copied. Page -1 (nothing drawn), no record, a label sheet,
    // cells by rows, drawing on; the FIM mark "FIM-A" made.
    LBRenderingView(const QRectF& frame, const Pages& graphics, QWidget* parent = nullptr);
    ~LBRenderingView() override;

    // --- SheetRenderer ---
    // Stores the server (a DocumentWindowController that is no LBWindowController counts
    // as none), resets the page and record and takes the document's layout kind.
    void setContactServer(DocumentWindowController* server) override;
    // Reads the label sheet from the document's layout (sizes single precision, counts
    // whole); rows, columns and the repeat count are taken as at least 1.
    void updateLabelSettings() override;
    void setPrintingDocument(LBDocument* document) override;
    void setPostnetBarcodeLocation(qint64 location) override;
    void setFIMType(qint64 type) override;
    void setDrawAuxiliaryInfo(qint64 bits) override { _drawAuxiliaryInfo = bits; }
    void setDrawLabelOutlines(bool draw) override { _drawLabelOutlines = draw; }
    void setZeroMargins() override;
    void setPageNum(qint64 page) override { _pageNum = page; }
    void rotateView() override;
    void preloadHiResImages() override;
    qint64 numberOfPages() override;
    QRectF bounds() const override { return QRectF(QPointF(), _frameSize); }
    void drawRect(const QRectF& dirtyRect) override;

    // --- Printing hooks (platform::PrintableView) ---
    // Takes the printer's offset from "Printer Calibration Array"; pages 1 ... numberOfPages().
    bool knowsPageRange(const QString& printerName, qint64* first, qint64* count) override;
    // Makes page k current; the bounds moved by the printer's offset.
    QRectF rectForPage(qint64 page) override;
    void drawPage(const QRectF& rect) override;
    // Drops the print images and barcodes made for the page.
    void endPage() override;

    // --- State ---
    LBWindowController* contactServer() const { return _contactServer; }
    LBDocument* printingDocument() const { return _printingDocument; }
    qint64 pageNum() const { return _pageNum; }
    qint64 contactIndex() const { return _contactIndex; }
    qint64 counter() const { return _counter; }
    const QString& contactUID() const { return _contactUID; }
    bool drawLabelOutlines() const { return _drawLabelOutlines; }
    void setDrawingEnabled(bool enabled) { _drawingEnabled = enabled; }
    bool drawingEnabled() const { return _drawingEnabled; }
    bool isRotated() const { return _rotateView; }
    // While the page view's size changes (LBPageViewToggleLiveResize), a sheet of several
    // cells draws no cell contents.
    void toggleLiveResize(bool inLiveResize) { _inLiveResize = inLiveResize; }
    bool inLiveResize() const { return _inLiveResize; }
    QPointF printerCalibrationAdjustment() const { return _printerCalibrationAdjustment; }
    void setPrinterCalibrationAdjustment(const QPointF& p) { _printerCalibrationAdjustment = p; }
    double labelWidth() const { return _labelWidth; }
    double labelHeight() const { return _labelHeight; }
    double topMargin() const { return _topMargin; }
    double leftMargin() const { return _leftMargin; }
    qint64 startLabel() const { return _startLabel; }
    bool drawByRows() const { return _drawByRows; }
    // The records of the merge and how many labels each takes (at least 1).
    qint64 numSelectedPeople() const;
    qint64 labelRepeatCount() const;

    // Moves every graphic of every page and layer, the print images, the pre-rendered
    // barcodes, the POSTNET barcode and the FIM mark by the offset.
    void moveGraphicsBy(const QPointF& delta);
    // Whether face p's background placeholder, else its background image, is drawn and
    // printed.
    bool shouldDrawBackgroundImageForPage(qint64 page) const;

    // Draws the graphics of face p for the current cell, in cell coordinates: culled to
    // r (unless r has no width or the view is turned) except text that may grow into r.
    void renderGraphicsInRect(const QRectF& rect, qint64 forOriginalPage);
    // Draws one graphic for the current cell; returns what was drawn (a copy, a print
    // image, or g itself), nullptr when nothing was.
    LBGraphicPtr drawGraphic(const LBGraphicPtr& g);
    // A copy of the picture graphic whose picture is the current record's (or none),
    // fitted into its bounds from the top-left corner, keeping its aspect.
    LBGraphicPtr substituteImageForGraphic(const LBGraphicPtr& g);
    // --- Merged text of a cell (LBRenderingView+MergedText.cpp) ---
    // The text graphic to draw for the current cell: g itself when its text resolves to
    // what it was, else a copy (sharing g's text and pictures until changed) with every
    // merge field replaced by the record's value, bracket groups and repeat blocks
    // resolved, lines emptied by fields removed ("Auto Delete Blank Lines") and each
    // changed line fitted by g's text-resize mask.
    static void shrinkToHeight(LBTextArea& box);
    LBGraphicPtr textObjectForDrawing(const LBGraphicPtr& g);
    // Replaces the merge-field runs of the text for the current record, in place; true
    // when a run was replaced or removed. Nothing without a record (contactIndex -1).
    bool processTextFields(platform::AttributedString& text, const LBTextArea& g);
    // The text's paragraphs, each with its line terminator; none for empty text.
    static QList<platform::AttributedString>
    breakStringIntoLines(const platform::AttributedString& text);
    static platform::AttributedString
    joinLinesIntoString(const QList<platform::AttributedString>& lines);
    // While a sheet is drawn, a text box whose text is one set of attributes (apart from its
    // field marks) and whose fields all give plain text is drawn through one copy of it
    // made for the sheet, given each label's merged text, rather than through a fresh copy
    // from textObjectForDrawing(): the same text, without editing attributed text or
    // copying the box for every label. On by default; off, every label takes the general
    // path (what the light one is checked against).
    void setReusesTextCopies(bool reuse);
    bool reusesTextCopies() const { return _reusesTextCopies; }
    // The range of the first merge-field run whose field has that property name; (0, 0)
    // when none.
    platform::Range findFieldWithName(const QString& propertyName,
                                      const platform::AttributedString* text);
    // The record, label and contact of the cell being drawn (the cell loop sets them).
    void setContactIndex(qint64 index) { _contactIndex = index; }
    void setCounter(qint64 counter) { _counter = counter; }
    void setContactUID(const QString& uid) { _contactUID = uid; }
    // The fitting-factor cache: while building, each drawn record's factors are kept on
    // the text area; while cached (not building), a kept record's factors are applied in
    // one step each instead of measuring. Printing always measures.
    bool cachedTextAdjustments() const { return _cachedTextAdjustments; }
    void setCachedTextAdjustments(bool cached) { _cachedTextAdjustments = cached; }
    bool buildMultiplierArrays() const { return _buildMultiplierArrays; }
    void setBuildMultiplierArrays(bool build) { _buildMultiplierArrays = build; }
    // Empties the factors kept on the design's text areas and turns the cache on: each
    // record's factors are kept the first time it is drawn.
    void removeMultiplierArrays();
    // Measures and keeps the factors of records first ... last that have none yet.
    void cacheTextMultipliersForContactIndex(qint64 first, qint64 last);

    // --- POSTNET, FIM, print images, calibration marks ---
    LBBarcodeImage* postnetBarcode() const { return _postnetBarcode.get(); }
    LBImage* FIMBarcode() const { return _FIMBarcode.get(); }
    qint64 postnetBarcodeLocation() const { return _postnetBarcodeLocation; }
    // The vertical shift of a delivery address carrying a POSTNET barcode (location 1 or
    // 2): *drawBarcode tells whether the barcode goes with it.
    double verticalBarcodeShiftForGraphic(const LBGraphic& g, bool* drawBarcode) const;
    // Appends one print image of g (drawn at "Print Quality"), made from `source`, for the
    // current record.
    void createHiResImageFromGraphic(const LBGraphicPtr& g, const LBGraphicPtr& source);
    // The print image of g for the current record, nullptr when none.
    LBGraphicPtr hiResImageFromGraphic(const LBGraphic& g) const;
    // The pre-rendered barcode of g for the current record (1 regular, 2 POSTNET,
    // 3 envelope), at g's x; nullptr when none.
    LBGraphicPtr barcodeImageFromGraphic(const LBGraphic& g, qint64 barcodeArrayType);
    const QList<LBGraphicPtr>& hiResImageArray() const { return _hiResImageArray; }
    const QList<LBGraphicPtr>& barcodeImageArray() const { return _barcodeImageArray; }
    // Makes the print images and per-record barcodes of records first ... last (after
    // dropping those there were).
    void prepareRecords(qint64 first, qint64 last);
    // "HCalibration.tif" centred on r's right edge, "VCalibration.tif" on its bottom edge.
    void printCalibrationMarksForRect(const QRectF& rect);

    // Process-wide: set by the window while a calibration page prints.
    static bool printingCalibrationPage();
    static void setPrintingCalibrationPage(bool printing);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    struct CellLoop;
    bool printing() const { return _printingDocument != nullptr; }
    LBDocument* document() const;
    void drawAuxiliaryInformation(const QRectF& sheet, const QRectF& dirtyRect);
    void drawGrid(LBDocument* doc, const QRectF& dirtyRect);
    void drawCells(const QRectF& dirtyRect, LBDocument* doc, bool gridBelow);
    // The records of page k: first and last (-1, -1 when none).
    std::pair<qint64, qint64> recordsOfPage(qint64 page);
    bool textMayGrowInto(const LBGraphic& g, const QRectF& rect) const;
    void drawWithPostnet(const LBGraphicPtr& g);
    LBMergeServices* mergeServices() const;
    struct FitState;
    struct PlainMerge;
    // The text to draw for the current cell by the light path (see setReusesTextCopies()),
    // nullptr when the general path must draw it.
    LBGraphicPtr plainTextObjectForDrawing(const LBGraphicPtr& g);
    // The light path's plan of a box, made when first asked for in a sheet; nullptr when
    // the box takes the general path.
    const PlainMerge* plainMergeFor(const LBGraphicPtr& g);
    // Whether every graphic of the page is a box the light path draws, with no fill, stroke
    // or shadow of its own (and there is one).
    bool drawsAllAsPlainText(const LBDocument::Page& page);
    std::optional<QString> plainMergedString(const PlainMerge& plan);
    // The value of a field that gives text, for the current cell.
    QString stringForField(LBMergeServices& services, const QVariantMap& field,
                           const QVariantMap& fieldAttribute, qint64 kind, qint64 record);
    void fitLine(platform::AttributedString& line, LBTextArea& copy, quint64 mask, FitState& state);

    Pages _graphics;
    Pages _origGraphics;
    QList<LBGraphicPtr> _hiResImageArray;
    QList<LBGraphicPtr> _barcodeImageArray;
    QList<LBGraphicPtr> _postnetBarcodeArray;
    QList<LBGraphicPtr> _envelopeBarcodeArray;
    LBDocument* _printingDocument = nullptr;
    LBWindowController* _contactServer = nullptr;
    QSizeF _frameSize;
    qint64 _pageNum = -1;
    qint64 _contactIndex = -1;
    qint64 _dimensionType = 1;
    double _labelWidth = 0.0;
    double _labelHeight = 0.0;
    qint64 _labelRows = 1;
    qint64 _labelColumns = 1;
    double _topMargin = 0.0;
    double _leftMargin = 0.0;
    double _hLabelSpace = 0.0;
    double _vLabelSpace = 0.0;
    qint64 _startLabel = 1;
    bool _drawByRows = true;
    qint64 _counter = 0;
    bool _inLiveResize = false;
    QPointF _printerCalibrationAdjustment;
    std::shared_ptr<LBBarcodeImage> _postnetBarcode;
    std::shared_ptr<LBImage> _FIMBarcode;
    qint64 _postnetBarcodeLocation = 0;
    qint64 _regularBarcodesPerPage = 0;
    qint64 _postnetBarcodesPerPage = 0;
    QString _contactUID;
    qint64 _regularBarcodeIndex = 0;
    qint64 _postnetBarcodeIndex = 0;
    qint64 _drawAuxiliaryInfo = 0;
    bool _okToDraw = false;
    bool _drawLabelOutlines = false;
    bool _drawingEnabled = true;
    bool _rotateView = false;
    bool _cachedTextAdjustments = false;
    bool _buildMultiplierArrays = false;
    // Print images are made per page: whether preloadHiResImages() asked for them, and the
    // records they are made for now.
    bool _preparesPrintImages = false;
    std::pair<qint64, qint64> _preparedRecords{-1, -1};
    platform::ObserverToken _liveResizeObserver;
    // The light path's plans by design graphic, made for the sheet being drawn (drawRect())
    // and dropped after it, or kept for the print job (dropped when it starts and ends):
    // the design cannot change while a sheet, or a job's sheets, are drawn.
    bool _reusesTextCopies = true;
    bool _drawingSheet = false;
    QHash<const LBGraphic*, std::shared_ptr<PlainMerge>> _plainMerges;
    // Where the cell being drawn lies when its graphics are moved to it rather than the
    // painter (see drawCells()); none otherwise.
    QPointF _cellOffset;
    bool _movesGraphicsToCells = false;
};
