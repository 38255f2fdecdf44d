#pragma once

// The controller of a document's window. This is its seed: it keeps the state the
// document and the canvas read (zoom, point-by-point curve drawing, the mode, the selected
// canvas) and, having no window or views of its own yet, has nothing to redraw or rebuild
// but the selected canvas. Its operations grow on it in files of their own, one a concern:
//   LBWindowController+LabelShapes.cpp   outlines of the labels of a per-label layout
//   LBWindowController+Decorations.cpp   what is drawn under and over a face's graphics
//   LBWindowController+Layouts.cpp       applying a chosen layout or template
//   LBWindowController+PageSetup.cpp     page set-up and paper sizes
//   LBWindowController+Merge.cpp         records, printing and export (its MergeServices)
//
// Drawing coordinates are the page's: points, y growing downwards, the origin at the
// page's top-left corner.

#include "canvas/CanvasHost.h"
#include "document/DocumentWindowController.h"
#include "platform/drawing/BezierPath.h"
#include "window/MergeServices.h"

#include <QByteArray>
#include <QColor>
#include <QPointF>
#include <QRect>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QVariantList>
#include <QVariantMap>

#include <functional>
#include <memory>
#include <optional>

class LBDocument;
class LBGraphicView;
class LBTextArea;

class LBWindowController : public DocumentWindowController, public CanvasHost
{
    Q_OBJECT
public:
    explicit LBWindowController(QObject* parent = nullptr);
    ~LBWindowController() override;

    // In design mode the selected canvas redraws the graphic, unless drawing goes
    // elsewhere than the screen (an image, a print); otherwise nothing is shown to redraw.
    void invalidateGraphic(LBGraphic* graphic) override;
    // Nothing is rebuilt yet.
    void setupForDocument() override;
    void refreshWindow() override;

    // 1.0 (100 %) until the window zooms.
    double zoomFactor() const override { return _zoomFactor; }
    bool bezierMode() const override { return _bezierMode; }
    // Turning it off ends the selected canvas's curve drawing.
    void setBezierMode(bool bezierMode) override;
    // The slider's value is stored, and with no views there is nothing to zoom yet.
    double zoomSliderValue() const override { return _zoomSliderValue; }
    void setZoomSliderValue(double value) override { _zoomSliderValue = value; }
    // The state kept is the slider's value; the views add theirs.
    void saveState() override { _savedZoomSliderValue = _zoomSliderValue; }
    void restoreState() override { _zoomSliderValue = _savedZoomSliderValue; }
    // Preview mode until the window switches to design mode.
    qint64 mode() const override { return _mode; }

    void shouldAddQuarnLabelControls(bool add) override { _addQuarnLabelControls = add; }
    bool addsQuarnLabelControls() const { return _addQuarnLabelControls; }

    // Switches the window to design mode unless it is there. (Preview mode, which turns
    // undo registration off, comes with the window; the seed leaves registration as it is.)
    virtual void switchToDesignMode(QObject* sender);
    // Zooms so that the first page fits the visible area; no views yet: nothing.
    virtual void zoomToFit() {}
    // Deselects every graphic of the views; no views yet: nothing.
    void deselectAll() override {}

    // The canvas selected in design mode; not owned, nullptr while there is none.
    LBGraphicView* selectedGraphicView() const { return _selectedGraphicView; }
    void setSelectedGraphicView(LBGraphicView* view) { _selectedGraphicView = view; }

    // --- CanvasHost ---
    LBDocument* document() const override;
    // Text mode belongs to design mode's controller, which the seed does not have.
    bool textMode() const override { return false; }
    bool isEnvelope() const override;
    QWidget* window() const override { return DocumentWindowController::window(); }
    // The sheets come with the window; the seed has none to open.
    void backgroundImageSheetAction(QObject* sender) override;
    void customizeCounterField(const QVariantMap& rolloverEntry, LBTextArea* inTextObject) override;

    // ==== Label shapes (LBWindowController+LabelShapes.cpp) =============================
    // A label entry (one dictionary of the layout's `labels`) places, sizes and names the
    // shape of one label of a layout whose labels are not a plain grid: discs, case
    // inserts, booklets, covers. Every value is read in single precision, numbers and
    // texts alike.

    // One of the four lengths of a label entry: "x" or "leftMargin", "y" or "topMargin",
    // "width" or "labelWidth", "height" or "labelHeight" (either name asks for both, the
    // short one first). The first present wins, even at 0; neither, or any other key,
    // gives 0.
    static double dimensionForKey(const QString& key, const QVariantMap& fromDictionary);
    // The rectangle with quarter-circle corners of radius r (0 gives the plain
    // rectangle), running like a rectangle path; line width 0.
    static platform::BezierPath roundedRectWithRect(const QRectF& rect, double cornerRadius);
    // Every label face of the document's layout in one path to fill with the non-zero
    // rule (a disc's hole is a hole), each entry placed from the bounds grown by half a
    // screen pixel on every side. No layout, or a layout without `labels`: none. An empty
    // `labels` gives an empty path.
    std::optional<platform::BezierPath> discLabelsPathForViewBounds(const QRectF& bounds) const;

    // ==== Applying a layout (LBWindowController+Layouts.cpp) =============================
    // The layout chooser calls the two apply operations; a change of paper orientation
    // calls chooseBlankLayout() with the document's own layout. Both leave the document
    // with an empty undo history: a change of layout cannot be undone.

    // Applies a template: the document is read from the template's package (its pages,
    // graphics and layout). As itself (not untitled) it then names that file. Untitled,
    // the chosen layout (when given) is merged into the template's under the template's
    // label kind, with page size and orientation fitted and the print settings set up;
    // the document is copied to its AutoRecover file, becomes untitled and, with a delta,
    // its graphics move by it. Either way the document takes the template's file type,
    // the chooser goes, a design without contact fields shows on every label of a sheet,
    // and the window zooms to fit.
    // Returns the label kind applied; 0 when no layout was merged or the template could
    // not be read (the document is then left as it was).
    qint64 chooseLayout(const QString& path, const std::optional<QVariantMap>& layoutDict,
                        bool createUntitledFile, const QPointF& offsetGraphicsByDelta,
                        qint64 projectType);
    // Applies a layout to the document's own design: its gaps cleaned up and its entries
    // merged into the document's layout, the label kind derived from its category and
    // shape (or kept, includesLabelType), page size, orientation and print settings
    // fitted; a new document gets the address boxes asked for. Then design mode.
    void chooseBlankLayout(const QVariantMap& layoutDict, bool includesLabelType,
                           qint64 projectType, bool isVertical, bool isNewDocument,
                           bool addDeliveryAddress, bool addReturnAddress) override;
    // Fits the new layout's page size and the print orientation to the label kind:
    // envelopes and letterhead are one item the size of the page, a disc one item the
    // size of the layout's paper (turned with swapPageDimensions, which also turns its
    // labels); vertical kinds print landscape (an envelope portrait) with the page's long
    // side across and, with swapVerticalDimensions, their labels turned a quarter.
    void setPageSizeAndOrientationForLayout(const QVariantMap& layout,
                                            QVariantMap& newDimensionInfo, qint64 cardType,
                                            bool isEnvelope, bool isLetterhead, bool isDiscLabel,
                                            bool swapPageDimensions, bool swapVerticalDimensions);
    // A quarter turn of the labels: sizes, rows and columns and gaps swap; with rows and
    // columns, the top margin becomes what lies below the labels turned to landscape
    // (the left margin when turned back) and the other margin the old top (left) margin;
    // without, the margins swap. The page size stays.
    void swapDimensionsInDict(QVariantMap& dict, bool toLandscapeOrientation) override;
    // Moves every graphic of every page by the delta, outside undo.
    void offsetGraphicsByDelta(const QPointF& delta);
    // Set once a layout is applied: the next change of mode zooms to fit.
    bool zoomToFitOnModeChange() const { return _zoomToFitOnModeChange; }
    void setZoomToFitOnModeChange(bool zoom) { _zoomToFitOnModeChange = zoom; }

    // What applying a layout asks of the chooser, the merge support and the preview mode,
    // answered as a window without them: no chooser sheet to remove, no smart template,
    // no help to show, no contact columns or label controls, no address text box.
    virtual void removeLayoutSheetController() {}
    virtual bool isSmartTemplate() const { return false; }
    virtual void showSmartTemplateHelp() {}
    virtual void showOrHideColumnsAsNecessary(qint64 mode) { Q_UNUSED(mode); }
    virtual void addQuarnLabelControls() {}
    virtual std::shared_ptr<LBTextArea> textObjForPreformattedFieldStr(const QString& fieldStr);
    // Walks the design's text for merge fields and sets the found-field flags; without
    // merge support it finds none.
    virtual void scanGraphicsForContactFields();
    bool foundDeliveryAddress() const { return _foundDeliveryAddress; }
    bool foundOtherContactField() const { return _foundOtherContactField; }
    bool foundActivityField() const { return _foundActivityField; }
    // Sets the document's label repeat count and rebuilds the display.
    virtual void setLabelRepeatCount(qint64 count);

    // ==== Page set-up and paper sizes (LBWindowController+PageSetup.cpp) ================
    // The size in points of a paper named as the print settings and the catalogue name
    // papers ("Letter", "A4", ...), or of a name "<width>x<height><unit>" with the unit
    // "cm", "mm" or "in" ("210x297mm"); (0, 0) for any other name.
    static QSizeF pixelDimensionsForPaperName(const QString& name);
    // The sheet size in points of a layout: its page size, else the size of its paper's
    // name, else its label size (a label printer's roll). Lengths may be numbers or texts
    // with a unit; a label size that is neither sounds the beep and gives (0, 0).
    static QSizeF pixelDimensionsForPaper(const QVariantMap& layout);
    // Fits the document's print settings (paper, orientation, printer) to its layout:
    // after a layout is applied (NO) and right before an envelope is printed from the
    // envelope feed sheet (YES), when a feed without automatic alignment puts the
    // envelope on a Letter or A4 sheet.
    void initializePageSetup(bool forEnvelopeFeed);

    // ==== Merge, printing and export (LBWindowController+Merge.cpp) =====================
    // The window's merge services (made on first use; nullptr without the merge layer).
    MergeServices* mergeServices();
    qint64 numSelectedPeople();
    qint64 labelRepeatCount() const;
    QString contactUIDForIndex(qint64 index, const QString& currentUID);
    void openEnvelopeFeedSheet() override;
    void printOpDidRun() override;
    bool checkRecordsForOutput() override;

    // ==== Page decorations (LBWindowController+Decorations.cpp) =========================
    // Everything drawn under and over a face's graphics that is not a graphic, into the
    // current graphics context: the canvas asks for screen appearance, the sheet renderer
    // for screen or print. The graphics state is as found afterwards. Nothing is drawn
    // without a document or a current context. Faces: 0 the first, any other the second;
    // the forms without a face draw the current one (the document's page index).

    // Fills the rectangle with the face's colour, replacing the pixels: its background
    // colour when shown (on screen) or printed (usePrintSettings), else its placeholder's
    // colour when it has a placeholder that is shown or printed, else white.
    void drawBackgroundColorForPage(qint64 page, const QRectF& inRect,
                                    bool usePrintSettings) override;
    void drawBackgroundColorInRect(const QRectF& rect, bool usePrintSettings);
    // Draws the face's background picture clipped to the rectangle, placed in the bounds
    // by the face's scaling (0 natural size centred, 1 tiled, 2 stretched, 3 filling and
    // centred, any other nothing) at the face's transparency; then the caption of its
    // background placeholder, if it has one.
    void drawBackgroundImageForPage(qint64 page, const QRectF& inRect,
                                    const QRectF& viewBounds) override;
    void drawBackgroundImageInRect(const QRectF& rect, const QRectF& viewBounds);
    // The caption of the face's background placeholder in the bounds.
    void drawPlaceholderTextForPage(qint64 page, const QRectF& inViewBounds);
    void drawPlaceholderTextInViewBounds(const QRectF& bounds);
    // Fills the label faces of a per-label layout (discLabelsPathForViewBounds) in the
    // current face's colour over a soft shadow 2 points below; nothing without `labels`.
    void drawUnderlay(const QRectF& rect, const QRectF& viewBounds, bool usePrintSettings) override;
    // On screen: shades what lies outside the label faces and outlines them, with disc
    // safe circles, fold lines and fold guides; a layout of one label gets its corners,
    // hole or the outside of its disc shaded and, for an envelope in design mode with the
    // selected canvas showing them, the postal regions. Printing: only the dotted outlines
    // of a per-label layout, and only while "Draw Label Outlines" is on.
    void drawOverlay(const QRectF& rect, const QRectF& viewBounds, bool printing) override;

    // Where the caption of a background placeholder goes.
    struct PlaceholderCaptionLayout
    {
        Qt::Alignment alignment = Qt::AlignHCenter;
        bool vertical = false;
        QRectF box; // the bounds, turned a quarter about their centre when vertical
        double fontSize = 0;
        double margin = 0; // left and right, and from the top or bottom edge
        QSizeF textSize;   // the text's size at that font size
        QRectF textRect;   // drawn here, turned by -90 degrees about the centre if vertical
    };
    // The text's size in points at a font size of the caption font.
    using CaptionMeasure = std::function<QSizeF(const QString& text, double fontSize)>;
    // The largest of the sizes 16, 14, 12, 10 and 8 at which the text is narrower than the
    // box less its margins (6, or 3 at size 8), else 8; placed in the 3 by 3 grid of the
    // position code (0 middle centre, 1-2 top and bottom centre, 3-4 middle left and
    // right, 5-6 top left and right, 7-8 bottom left and right, any other middle centre).
    // Without a measure the caption font measures.
    static PlaceholderCaptionLayout placeholderCaptionLayout(const QString& text, qint64 position,
                                                             bool vertical, const QRectF& bounds,
                                                             const CaptionMeasure& measure = {});

protected:
    // The flags scanGraphicsForContactFields() sets.
    bool _foundDeliveryAddress = false;
    bool _foundOtherContactField = false;
    bool _foundActivityField = false;

    // The kinds of outline a label entry's `labelTypeDescription` names.
    enum class LabelShape {
        Rectangle,         // any other name, or none; rounded with the entry's `cornerRadius`
        Disc,              // a circle with its centre hole
        LightScribe,       // a disc; the overlay draws its rings at fixed sizes
        SlimCaseInsert,    // a notched rectangle, proportional to the entry's width
        TrayInsertInside,  // a stepped rectangle of fixed steps
        TrayInsertOutside, // the same, mirrored left to right
    };
    // A disc's outline: its circle and its centre hole.
    struct DiscFace
    {
        QRectF circle;
        QRectF hole;
    };

    static LabelShape labelShapeForEntry(const QVariantMap& entry);
    // The layout's `labels` when it has a list there.
    static std::optional<QVariantList> labelEntries(const QVariantMap& layout);
    // Whether the layout turns its labels a quarter: `rotateLabels` is the text "YES".
    static bool rotatesLabels(const QVariantMap& layout);
    // Whether the first entry's position is its disc's centre (a "CD Tray" maker).
    static bool centresFirstDisc(const QVariantMap& layout);
    // The entry's rectangle in the bounds: turned, the distance from the top becomes the
    // distance from the left, the one from the left is measured up from the bottom edge,
    // and the sides swap.
    static QRectF entryRect(const QVariantMap& entry, const QRectF& bounds, bool rotated);
    // The disc of diameter D at (x, y) of the unturned sheet with a centred hole of d.
    static DiscFace discFace(double x, double y, double D, double d, const QRectF& bounds,
                             bool rotated);
    // A disc entry's face: its `outerDiameter`, else the larger of its width and height;
    // with `centred`, x and y name the centre.
    static DiscFace discFaceForEntry(const QVariantMap& entry, bool centred, const QRectF& bounds,
                                     bool rotated);
    // The closed outline of an insert (SlimCaseInsert, TrayInsertInside or
    // TrayInsertOutside) placed by the entry in the bounds.
    static platform::BezierPath insertOutline(LabelShape shape, const QVariantMap& entry,
                                              const QRectF& bounds, bool rotated);
    // A rectangular entry's outline: rounded when the entry has a `cornerRadius` at all.
    static platform::BezierPath rectangleOutline(const QVariantMap& entry, const QRectF& bounds,
                                                 bool rotated);

private:
    struct ScreenPicture;
    // On screen, draws what `draw` draws into the current context as the device pixels of
    // `area`, kept in `kept` and drawn again (the part `area` asks for) while `key`
    // (everything the drawing shows, as bytes) stays the same and the kept area holds the
    // one asked for. The canvas redraws its page far more often than the layout, the
    // face's colour, the zoom or the visible part of the page change.
    void drawThroughScreenPicture(std::shared_ptr<ScreenPicture>& kept, const QByteArray& key,
                                  const QRect& area, const std::function<void()>& draw);

    // The colour of the face by the colour rule; white when none is chosen.
    QColor faceColor(qint64 page, bool usePrintSettings) const;
    // The single-label part of the overlay (a layout without `labels`), on screen.
    void drawSingleLabelOverlay(const QVariantMap& layout, const QRectF& viewBounds);
    // The per-label part of the overlay.
    void drawLabelsOverlay(const QVariantMap& layout, const QVariantList& entries,
                           const QRectF& viewBounds, bool printing);

    double _zoomFactor = 1.0;
    double _zoomSliderValue = ActualSizeZoomSliderValue;
    double _savedZoomSliderValue = ActualSizeZoomSliderValue;
    bool _zoomToFitOnModeChange = false;
    bool _bezierMode = false;
    qint64 _mode = PreviewMode;
    bool _addQuarnLabelControls = false;
    LBGraphicView* _selectedGraphicView = nullptr;
    // The underlay and the overlay as last drawn on screen (shared pointers: the type is
    // complete only where they are drawn).
    std::shared_ptr<ScreenPicture> _underlayPicture;
    std::shared_ptr<ScreenPicture> _overlayPicture;
    std::unique_ptr<MergeServices> _mergeServices;
};
