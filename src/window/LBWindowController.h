#pragma once

// The controller of a document's window. The document makes one and owns it; the
// controller owns its window (made on first use), both mode controllers, the drawer's
// inner split and the button bar's pop-ups. Its operations are spread over files of their
// own, one a concern:
//   LBWindowController.cpp               life cycle, window set-up, forwards, window events
//   LBWindowController+Modes.cpp         the mode switch, its commands and the mode's state
//   LBWindowController+Zoom.cpp          the zoom slider, its presets and the zoom pop-ups
//   LBWindowController+Drawers.cpp       button bar, split views, drawer pane, layers view
//   LBWindowController+LabelShapes.cpp   outlines of the labels of a per-label layout
//   LBWindowController+Decorations.cpp   what is drawn under and over a face's graphics
//   LBWindowController+Layouts.cpp       applying a chosen layout or template
//   LBWindowController+PageSetup.cpp     page set-up and paper sizes
//   LBWindowController+Merge.cpp         records, printing and export (its MergeServices)
//
// Modes: 0 while the window loads, then preview (1, run by the preview controller) or
// design (2, run by the design controller). Each mode controller comes from the factory
// installed from above (PreviewModeController, DesignModeController) on the first entry
// into its mode and lives as long as the window controller. Without a preview factory
// the window opens in design mode and cannot switch to preview; without a design factory
// design mode shows an empty design area. Every switch saves the old mode's state with
// the zoom slider's value, resets the zoom to 100 % and then restores the new mode's
// state, or zooms to fit once after a layout was applied or a file opened.
//
// Process-wide: currentWindowController(), the controller whose window is key.
//
// Drawing coordinates are the page's: points, y growing downwards, the origin at the
// page's top-left corner. Frames of views are Qt's (y downwards).

#include "canvas/CanvasHost.h"
#include "document/DocumentWindowController.h"
#include "layouts/LayoutSheetHost.h"
#include "platform/core/NotificationCenter.h"
#include "platform/drawing/BezierPath.h"
#include "platform/ui/ToolbarDelegate.h"
#include "window/MergeServices.h"

#include <QByteArray>
#include <QColor>
#include <QPointF>
#include <QPointer>
#include <QRect>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QVariantList>
#include <QVariantMap>

#include <QPointer>

#include <functional>
#include <memory>
#include <optional>

class DesignModeController;
class LayersPane;
class LBEditController;
class LBCompImageButton;
class LBDocument;
class LBLayoutSheetController;
class LBGraphicView;
class LBPageView;
class LBSliderView;
class LBSplitView;
class LBTextArea;
class PreviewModeController;
class QAction;
class QIcon;
class QLabel;
class QLineEdit;
class QPushButton;
class QVariantAnimation;
class QWidget;

namespace platform {
class Image;
class Toolbar;
class KXControlBar;
class KXPopUpImageButton;
class Slider;
} // namespace platform

class LBWindowController : public DocumentWindowController,
                           public CanvasHost,
                           public platform::ToolbarDelegate,
                           public LayoutSheetHost
{
    Q_OBJECT
public:
    // The window's name.
    inline static const QString WindowName = QStringLiteral("MainWindowL");
    // Heights of the button bar along the window's bottom edge and of the strip it keeps.
    static constexpr int ControlBarHeight = 23;

    // Observes the canvases' selection changes and tells the application shell that a
    // document window was opened.
    explicit LBWindowController(QObject* parent = nullptr);
    // Leaves design mode as a closing window, then lets the mode controllers go.
    ~LBWindowController() override;

    // The controller whose window is key; nullptr when none is (or it closed).
    static LBWindowController* currentWindowController();

    // ==== Life cycle (LBWindowController.cpp) ===========================================
    // Redraws the graphic where design mode shows it; only while drawing for the screen.
    void invalidateGraphic(LBGraphic* graphic) override;
    // design: the design controller's canvases lay out again; otherwise the preview's
    // sheets redraw.
    void refreshWindow() override;
    // The current mode's controller takes the zoom again and lays out again.
    void refreshWindow2();
    // Deselects every graphic (design) or closes the per-label editor (preview).
    void deselectAll() override;
    void letGoOfGraphics() override;
    void commitEditing() override;
    // A picture of the design (the design controller's); a null image without one.
    QImage previewImageFromGraphicView();
    // Forwards to the design controller.
    void importCorbeil(const QString& path, qint64 currentIndex, qint64 numFiles);
    // The document's size, or the shared print settings' paper without a document.
    QSizeF documentSize() const;
    bool layerAtIndexIsVisible(qint64 index) const;
    bool layerAtIndexWillPrint(qint64 index) const;
    // Scales the image to fit both bounds, keeping its proportions (unchanged when it fits).
    static QSizeF scaleImage(const QSizeF& size, double toMaxWidth, double maxHeight);
    static void scaleImage(platform::Image& image, double toMaxWidth, double maxHeight);
    // Shift went down or up: design mode's browsers show detail thumbnails while it is
    // down (told on every event with Shift down, once when it goes up).
    void processFlagsChanged(Qt::KeyboardModifiers modifiers);
    bool showingDetailThumbnails() const { return _showingDetailThumbnails; }

    // 1.0 (100 %) until the window zooms.
    double zoomFactor() const override { return _zoomFactor; }
    void setZoomFactor(double zoomFactor) { _zoomFactor = zoomFactor; }
    bool bezierMode() const override { return _bezierMode; }
    // Turning it off ends the selected canvas's curve drawing.
    void setBezierMode(bool bezierMode) override;
    qint64 mode() const override { return _mode; }

    void shouldAddQuarnLabelControls(bool add) override { _addQuarnLabelControls = add; }
    bool addsQuarnLabelControls() const { return _addQuarnLabelControls; }

    // The canvas selected in design mode; not owned, nullptr while there is none.
    LBGraphicView* selectedGraphicView() const { return _selectedGraphicView; }
    void setSelectedGraphicView(LBGraphicView* view) { _selectedGraphicView = view; }

    // The mode controllers, nullptr before their mode was first entered.
    PreviewModeController* createController() const { return _createController.get(); }
    DesignModeController* editController() const { return _editController.get(); }
    LayersPane* layersController() const { return _layersController.get(); }

    // Parts of the window (nullptr before it loads).
    QWidget* previewView() const { return _previewView; }
    QWidget* designView() const { return _designView; }
    LBSplitView* previewSplitView() const { return _previewSplitView; }
    LBSplitView* designSplitView() const { return _designSplitView; }
    LBSplitView* drawerSplitView() const { return _drawerSplitView; }
    QWidget* drawerSuperview() const { return _drawerSuperview; }
    QWidget* drawerTopView() const { return _drawerTopView; }
    QWidget* drawerBottomView() const { return _drawerBottomView; }
    platform::KXControlBar* controlBar() const { return _controlBar; }
    LBSliderView* sliderView() const { return _sliderView; }
    platform::Slider* zoomSlider() const { return _zoomSlider; }
    QLabel* pageCountText() const { return _pageCountText; }
    QPushButton* drawerButton() const { return _drawerButton; }
    QPushButton* layersButton() const { return _layersButton; }
    // The two halves of the design/preview switch; the toolbar places them.
    LBCompImageButton* designButton() const { return _designButton; }
    LBCompImageButton* previewButton() const { return _previewButton; }
    QLabel* addressBookButtonText() const { return _addressBookButtonText; }
    QLabel* selectedPeopleCount() const { return _selectedPeopleCount; }

    // ==== Modes (LBWindowController+Modes.cpp) ==========================================
    // Switches to mode `mode` (1 preview, 2 design); `closingWindow` only leaves the
    // current mode (the window is going).
    void setMode(qint64 mode, bool closingWindow);
    // Turns undo registration on and enters design mode unless the window is in it.
    virtual void switchToDesignMode(QObject* sender);
    // Turns undo registration off and enters preview mode unless the window is in it;
    // nothing without a preview factory.
    virtual void switchToViewMode(QObject* sender);
    // Whether the switch to preview can be used (a preview factory is installed).
    bool canSwitchToViewMode() const;
    // Rebuilds the current mode's display of the document and gives its pages the
    // colour of the document's current face (as the screen shows it).
    void setupForDocument() override;
    // The current mode's controller keeps its state with the zoom slider's value, and
    // restores it.
    void saveState() override;
    void restoreState() override;
    // Whether the next mode entry zooms to fit instead of restoring the mode's state.
    bool zoomToFitOnModeChange() const { return _zoomToFitOnModeChange; }
    void setZoomToFitOnModeChange(bool zoom) { _zoomToFitOnModeChange = zoom; }
    bool firstTimeInEditView() const { return _firstTimeInEditView; }
    bool textIsLocked() const { return _textIsLocked; }
    // Opens the layout chooser (LBWindowController+LayoutSheet.cpp): for a new document,
    // 0.25 s after its window loads. Drops any chooser and opens a new one as a sheet on the
    // window: with the window controller itself as sender (a new document), at its first
    // step; otherwise to change the layout, restored from the document's project
    // description, the selection cleared and the document marked as changed.
    virtual void openLayoutSheet(QObject* sender);

    // ==== Zoom (LBWindowController+Zoom.cpp) ============================================
    // The zoom factor of slider value s: 252 / ((12 - s)^2 + (12 - s)^3); 6.0 is 100 %.
    static double zoomFactorForSliderValue(double s);
    // The slider values of the fifteen presets (index 0-14, 23 % to 2100 %); 0.0 for any
    // other index.
    static double presetZoomFactorForIndex(qint64 index);
    // The slider's range.
    static constexpr double MinZoomSliderValue = 2.0;
    static constexpr double MaxZoomSliderValue = 10.0;
    // The slider moved: values strictly between 5.7 and 6.3 snap to 100 %; the zoom is
    // set and passed to the current mode's controller.
    void zoomAction();
    void zoomIn(QObject* sender);
    void zoomOut(QObject* sender);
    void zoomToActualSize(QObject* sender);
    // Zooms in so that the first page with a 20-point margin fills the visible area at
    // the largest 0.1 step of the slider that fits; a page that does not fit at 100 %
    // leaves the zoom alone.
    virtual void zoomToFit();
    // A layout just applied: from 100 %, zoomed in as far as its page fits.
    void zoomToFitNewLayout();
    // The slider value zoomToFit() chooses for a page (at 100 %) in a visible area;
    // nullopt when the zoom stays.
    static std::optional<double> zoomToFitSliderValue(const QSizeF& pageAtActualSize,
                                                      const QSizeF& visibleSize);
    // Slider values are kept within 2.0-10.0; setting one applies it as the slider does.
    double zoomSliderValue() const override;
    void setZoomSliderValue(double value) override;
    // The button bar's pop-ups, made on first use.
    platform::KXPopUpImageButton* zoomPopupButton();
    platform::KXPopUpImageButton* dpiPopupButton();
    // Shows a zoom that is no preset as the pop-up's last item.
    void setZoomPercent(qint64 percent);

    // ==== Button bar, split views and drawers (LBWindowController+Drawers.cpp) =========
    void openDesignDrawer(bool open);
    bool designDrawerIsOpen() const { return _designDrawerIsOpen; }
    double drawerWidth() const { return _drawerWidth; }
    // The drawer pane takes the width "Graphics Drawer Width".
    void updateDrawerWidth();
    void drawerButtonAction(QObject* sender);
    void updateDrawerButton();
    // Opens the drawer at the kit browser (after a kit import).
    void openiCorbeilsDrawer();
    // Opens or closes the layers view; with a sender, animated for 0.25 s.
    void layersButtonAction(QObject* sender);
    // The layers view's height when it opens in a drawer split of that height: the stored
    // height when above 1, else 150; at most the split's height less 250; at least 1.
    static qint64 layersViewOpeningHeight(qint64 storedHeight, double drawerSplitHeight);
    void addLayersView();
    bool layersViewIsAnimating() const;
    void repositionLayersButton();
    void updateButtonBarPosition();
    void updateDescriptionText() override;
    void updateDescriptionTextFields();
    QString cardStockDescriptionStr() const { return _cardStockDescriptionStr; }
    void updateAddressBookButtonTitleWidth();
    void updateSelectedPeopleCountPosition();
    // Shortens the field's text, two characters at a time replaced by one ellipsis, until
    // it is narrower than the field less 5 points (or shorter than 2 characters).
    static void truncateStringInField(QLabel* field);
    // The same rule on a text measured by `width`.
    static QString truncatedString(const QString& text, double fieldWidth,
                                   const std::function<double(const QString&)>& width);
    void moveGraphicsToActualPosition() override;
    void moveGraphicsToDisplayPosition() override;
    // The contact columns' widths from the settings in a preview split of that width:
    // each at least 10; when together wider than the split less 200, the wider (the
    // people column on a tie) becomes 200.
    static QPair<double, double> columnWidthsForSplitWidth(double storedWidth1, double storedWidth2,
                                                           double splitWidth);
    // The window's least size: the contact columns and 594 points of preview beside them
    // while they show (not wider than the window), else 594; 480 high.
    static QSize minimumWindowSize(bool columnsShow, double columnsRight, double windowWidth);
    bool columnsAreShowing() const { return _showColumns; }
    // The contact columns' panes (the merge puts its tables in them).
    QWidget* groupColumn() const { return _groupColumn; }
    QWidget* peopleColumn() const { return _peopleColumn; }
    // Puts the preview beside the contact columns / directly into the window, recording
    // the columns' widths; sets whether the columns show.
    void showColumns();
    void hideColumns();
    // The toolbar's search item sits first exactly while the columns are needed.
    void setSearchItemShown(bool shown);

    // Interface widths the Parts fix.
    static constexpr double DrawerMinWidth = 215;
    static constexpr double PreviewMinWidth = 594;

    // Rebuilds the display for a document and gives the layers view the document.
    void setDocument(platform::Document* document) override;

    // --- CanvasHost ---
    LBDocument* document() const override;
    LBDocument* currentDocument() const { return document(); }
    // In design mode, the design controller's text mode.
    bool textMode() const override;
    bool isEnvelope() const override;
    QWidget* window() const override { return DocumentWindowController::window(); }
    // Opens design mode's background image sheet.
    void backgroundImageSheetAction(QObject* sender) override;
    // Forwards to the design controller.
    void customizeCounterField(const QVariantMap& rolloverEntry, LBTextArea* inTextObject) override;

    // ==== Commands and menu validation (LBWindowController+Commands.cpp) =================
    // The window answers its commands by selector (responderChain(), tryToPerform()):
    // those of the design only do nothing outside design mode; the canvas's own commands
    // go on to the design controller's selected canvas, the design's to the design
    // controller; a command for a mode controller not made yet does nothing.

    // The design controller as its class; nullptr before design mode was entered (or
    // with another kind of controller).
    LBEditController* designController() const;
    // The canvas the commands go to: the design controller's selected canvas.
    LBGraphicView* commandCanvas() const;
    // The design canvas stands for itself in the chain.
    platform::Responder* responderForWidget(QWidget* widget) const override;
    // Enabled, retitled and marked by the window's rules, in their order.
    bool validateMenuItem(QAction* item) override;
    // Inverts the text lock of the preview (preview mode only), explaining or asking in
    // a sheet: with a sender, unlocking shows an explanation (unless suppressed); locking
    // asks first while "Show Lock Info Sheet" is on. A nil sender never shows a sheet.
    void lockTextAction(QObject* sender);
    // The ends of the two sheets: 1 the default button, 0 the alternate, -1 the other.
    void unlockInfoSheetDidEnd(qint64 returnCode);
    void lockInfoSheetDidEnd(qint64 returnCode);
    // The hint on how to insert art from the drawer, unless "DisableInsertMenuAlert".
    void openInsertMenuAlert();
    void insertMenuAlertDidEnd(bool suppress);
    // Return codes of the old-style sheets.
    enum SheetReturnCode : qint64 {
        SheetDefaultReturn = 1,
        SheetAlternateReturn = 0,
        SheetOtherReturn = -1
    };

    // ==== Toolbar (LBWindowController+Toolbar.cpp) ======================================
    inline static const QString EditModeToolbarID = QStringLiteral("LBEditModeToolbarID2");
    inline static const QString ViewModeToolbarID = QStringLiteral("LBViewModeToolbarID");
    // Makes the search field (once).
    void setupToolbars();
    void showDesignModeToolbar();
    void showPreviewModeToolbar();
    // The mode switch's toolbar step: the mode's toolbar installed and shown, or the
    // present one hidden when the mode's "...ToolbarIsHidden" default is on.
    void updateToolbarForMode(qint64 mode);
    // The window's toolbar; nullptr before one was installed.
    platform::Toolbar* toolbar() const { return _toolbar; }
    // How many preview toolbars were made in this process.
    static qint64 previewToolbarSerial();
    QStringList toolbarAllowedItemIdentifiers(const platform::Toolbar* toolbar) const override;
    QStringList toolbarDefaultItemIdentifiers(const platform::Toolbar* toolbar) const override;
    // The item factory: a new item owned by the caller (the toolbar once inserted).
    QAction* toolbarItemForItemIdentifier(const platform::Toolbar* toolbar,
                                          const QString& identifier, bool willBeInserted) override;
    // Whether the item is enabled; may retitle it and change its picture.
    bool validateToolbarItem(QAction* item) override;
    void toggleToolbar(QObject* sender);
    void customizeToolbar(QObject* sender);
    QLineEdit* searchField() const;
    QAction* lockTextToolbarItem() const;
    QAction* searchFieldToolbarItem() const;
    // A toolbar picture of the application's, crisp at twice the size; kept on the item
    // under the property "imageName" by setToolbarItemImage().
    static QIcon toolbarIcon(const QString& imageName);
    static void setToolbarItemImage(QAction* item, const QString& imageName);
    static QString toolbarItemImageName(const QAction* item);

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
                        qint64 projectType) override;
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

    // Whether the design being applied is one of the program's own: its chooser says.
    virtual bool isSmartTemplate() const;
    // What applying a layout asks of the merge support and the preview mode, answered as
    // a window without them: no contact columns or label controls, no address text box.
    // The application's help window of smart templates, unless the user turned it off.
    virtual void showSmartTemplateHelp();
    // The contact columns show in preview when the design has contact fields (the merge
    // services decide; without them, never).
    virtual void showOrHideColumnsAsNecessary(qint64 mode);
    // The preview's control bar built again for a new layout.
    virtual void addQuarnLabelControls();
    virtual std::shared_ptr<LBTextArea> textObjForPreformattedFieldStr(const QString& fieldStr);
    // Walks the design's text for merge fields and sets the found-field flags; without
    // merge support it finds none.
    virtual void scanGraphicsForContactFields();
    bool foundDeliveryAddress() const { return _foundDeliveryAddress; }
    bool foundReturnAddress() const { return _foundReturnAddress; }
    bool foundOtherContactField() const { return _foundOtherContactField; }
    bool foundActivityField() const { return _foundActivityField; }
    // Sets the document's label repeat count and rebuilds the display.
    virtual void setLabelRepeatCount(qint64 count);

    // ==== The layout chooser (LBWindowController+LayoutSheet.cpp) =========================
    // The open chooser; nullptr when none.
    LBLayoutSheetController* layoutSheetController() const;
    // Takes the chooser out of the open choosers and lets it go once the current event is
    // handled.
    void removeLayoutSheetController() override;

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
    // The merge-field formats and blocks of the canvas's field menus, from the merge.
    QString dateStringForDate(const QDateTime& date, qint64 formatIndex) const override;
    QString timeStringForDate(const QDateTime& date, qint64 formatIndex) const override;
    QString phoneFormatStringAtIndex(qint64 index) const override;
    std::optional<platform::AttributedString>
    preformattedAddressStringForFieldStr(const QString& fieldStr, bool isMyField) override;

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
    bool _foundReturnAddress = false;
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

    // --- Window set-up and events (LBWindowController.cpp) ---
    void windowDidLoad() override;
    void windowDidBecomeKey() override;
    void windowDidBecomeMain() override;
    void windowDidResignMain() override;
    void windowWillClose() override;
    void windowDidMove() override;
    void flagsChanged(Qt::KeyboardModifiers modifiers) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void buildWindowContent();
    // Lays the content out for the content view's size: the mode's content above the
    // button bar, the button bar along the bottom edge.
    void layOutContent();
    // The frame the mode's content takes in the content view.
    QRect modeContentFrame() const;
    void graphicSelectionChanged(const platform::Notification& notification);
    // Whether any text box of the design holds per-label edited text.
    bool designHasEditedText() const;

    // --- Modes (LBWindowController+Modes.cpp) ---
    // The component pictures of a half of the design/preview switch (DesignMode or
    // PreviewMode), shown as the mode the window is in or not.
    static QString switchImageString(qint64 half, bool selected);
    void setSwitchImages(qint64 leaving, qint64 entering);
    void enterPreviewMode();
    void enterDesignMode();
    void buildDrawerSplit();
    QWidget* previewContent() const;
    // Zooms to fit once, or restores the mode's state.
    void zoomToFitOrRestore();

    // --- Zoom (LBWindowController+Zoom.cpp) ---
    // Sets the zoom factor from the slider and passes it to the current mode's controller.
    void applyZoomSliderValue();
    void setSliderValue(double value);
    LBPageView* currentPageView() const;

    // --- Split views (LBWindowController+Drawers.cpp) ---
    void setLayersHeight(double height, bool animated);
    void previewSplitViewResized(const QSize& oldSize);
    void previewSplitViewDidResizeSubviews();
    // The window keeps room for the columns (while they show) and the sheets beside them.
    void updateMinimumWindowSize();
    void designSplitViewResized();
    void drawerSplitViewResized(const QSize& oldSize);
    void drawerSplitViewDidResizeSubviews();
    // The design split view's frame in its container: the container's size, widened by
    // the drawer pane while the drawer is closed.
    void layOutDesignSplitView();

    double _zoomFactor = 1.0;
    // The slider's value while the window has not loaded.
    double _zoomSliderValue = ActualSizeZoomSliderValue;
    bool _zoomToFitOnModeChange = false;
    bool _bezierMode = false;
    qint64 _mode = NoMode;
    bool _addQuarnLabelControls = false;
    LBGraphicView* _selectedGraphicView = nullptr;

    std::unique_ptr<PreviewModeController> _createController;
    std::unique_ptr<DesignModeController> _editController;
    std::unique_ptr<LayersPane> _layersController;

    bool _textIsLocked = true;
    QString _cardStockDescriptionStr = QStringLiteral("");
    bool _designDrawerIsOpen = true;
    bool _firstTimeInEditView = true;
    bool _showExportResolutionAlert = true;
    bool _showColumns = false;
    bool _columnWidthsInitialized = false;
    bool _windowIsLoaded = false;
    bool _showingDetailThumbnails = false;
    bool _saveLayersViewHeight = false;
    double _drawerWidth = 0;
    double _groupViewWidth = 0;
    double _personViewWidth = 0;

    // The window's parts, owned by the window (the drawer split by its pane).
    QWidget* _contentView = nullptr;
    platform::KXControlBar* _controlBar = nullptr;
    LBSplitView* _previewSplitView = nullptr;
    QWidget* _groupColumn = nullptr;
    QWidget* _peopleColumn = nullptr;
    QWidget* _previewView = nullptr;
    QLabel* _addressBookButtonText = nullptr;
    QLabel* _selectedPeopleCount = nullptr;
    QWidget* _designContainer = nullptr;
    LBSplitView* _designSplitView = nullptr;
    QWidget* _designView = nullptr;
    QWidget* _drawerSuperview = nullptr;
    LBSplitView* _drawerSplitView = nullptr;
    QWidget* _drawerTopView = nullptr;
    QWidget* _drawerBottomView = nullptr;
    LBSliderView* _sliderView = nullptr;
    platform::Slider* _zoomSlider = nullptr;
    QLabel* _pageCountText = nullptr;
    QPushButton* _drawerButton = nullptr;
    QPushButton* _layersButton = nullptr;
    LBCompImageButton* _designButton = nullptr;
    LBCompImageButton* _previewButton = nullptr;
    platform::KXPopUpImageButton* _zoomPopupButton = nullptr;
    platform::KXPopUpImageButton* _dpiPopupButton = nullptr;
    QVariantAnimation* _layersAnimation = nullptr;
    platform::ObserverToken _selectionObserver;
    // Commands (LBWindowController+Commands.cpp, +Toolbar.cpp).
    void registerCommands();
    void forwardToCanvas(const QString& selector, QObject* sender);
    // Sends a toolbar item's command to the first responder of the chain that answers it.
    void performToolbarAction(QAction* item);
    // Who runs a toolbar item's command: this controller when it has it, else the first
    // responder of the chain that answers it; nullptr when none does.
    platform::Responder* toolbarTarget(const QString& selector) const;
    // Brings the toolbar up to date after a command of the menus or the toolbar.
    void actionPerformed(QAction* action) override;
    // The layers pane, the layers view opened for it in design mode; nullptr without one.
    LayersPane* openLayersPane();
    void proceedWithTextLock();
    platform::Toolbar* _toolbar = nullptr;
    // Its toolbar item owns it: gone with the item when the toolbar lets that go.
    QPointer<QLineEdit> _searchField;
    QPointer<QAction> _searchFieldToolbarItem;
    QPointer<QAction> _lockTextToolbarItem;
    // The switches the toolbars show, following the window's mode.
    struct SwitchCopy
    {
        QPointer<LBCompImageButton> design;
        QPointer<LBCompImageButton> preview;
    };
    QList<SwitchCopy> _switchCopies;
    // The mode the switches show: set before the entered mode's toolbar (and its switch) is
    // made, while _mode still holds the mode left.
    qint64 _switchMode = NoMode;
    QLineEdit* makeSearchField();
    QWidget* makeSwitchView();
    void updateSwitchCopies(qint64 mode);
    // The open chooser (a child of this controller until it is let go).
    QPointer<QObject> _layoutSheetController;
    // The underlay and the overlay as last drawn on screen (shared pointers: the type is
    // complete only where they are drawn).
    std::shared_ptr<ScreenPicture> _underlayPicture;
    std::shared_ptr<ScreenPicture> _overlayPicture;
    std::unique_ptr<MergeServices> _mergeServices;
};
