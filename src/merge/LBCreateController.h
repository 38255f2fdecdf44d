#pragma once

// The controller of a document window's preview mode: every sheet of the document merged
// with the window's records (selected contacts or imported text records), one sheet
// renderer per sheet stacked top to bottom on a page view inside a scroll view, with the
// label-sheet control bar at the foot of the preview. It handles clicks on the sheets (a
// per-label text editor while text is unlocked, the live-address menu on address boxes
// while it is locked), zoom, and keeps the scroll position and zoom while the window is
// in design mode. Its operations are spread over files of their own:
//   LBCreateController.cpp              life cycle, rebuilding, geometry, zoom, clicks,
//                                       the per-label editor, state, warning bar
//   LBCreateController+ControlBar.cpp   the control bar (repeat count, start label,
//                                       options) and live addresses
//
// The window controller makes one on its first entry into preview mode (through the
// factory installed at start-up), owns it and reports to it; the controller asks the
// window controller for the document, the records and the zoom.
//
// Geometry: the page view's coordinates are its widget pixels, y downwards; sheets and
// graphics are in points (1 point = 1 pixel at 100 %). Clicks arrive from the page view
// with y upwards ("MouseLocation") and are turned over once on arrival.
//
// Main thread only. The start fields apply 0.5 s after the last keystroke; the sheet under
// a click redraws 0.05 s after it.

#include "controls/LBBlankPopUpButtonCell.h"
#include "layouts/PagePreviewController.h"
#include "platform/core/NotificationCenter.h"
#include "platform/text/AttributedString.h"
#include "platform/text/TextStorage.h"
#include "window/PreviewModeController.h"

#include <QList>
#include <QMargins>
#include <QObject>
#include <QPointF>
#include <QPointer>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QVariantMap>

#include <memory>
#include <optional>
#include <utility>
#include <vector>

class LBDocument;
class LBGraphic;
class LBRenderingView;
class LBTextArea;
class LBTextEditorView;
class QAction;
class QCheckBox;
class QComboBox;
class QDialog;
class QEvent;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;
class QToolButton;
class QWidget;

namespace platform {
class KXControlBar;
class ScrollView;
} // namespace platform

class LBCreateController : public QObject,
                           public PreviewModeController,
                           public PagePreviewController,
                           public PopUpMenuOwner
{
    Q_OBJECT
public:
    // The gap between sheets and the page view's margin around them, in points.
    static constexpr double SheetGap = 7.0;
    static constexpr double PageViewMargin = 14.0;
    // Slider value of 100 %.
    static constexpr double ActualSizeSliderValue = 6.0;
    // Delay of the start fields after the last keystroke, and of the redraw after a click.
    static constexpr int TextFieldDelayMilliseconds = 500;
    static constexpr int ClickRedrawDelayMilliseconds = 50;

    // Builds the views ("CreateL") and observes what the preview follows.
    explicit LBCreateController(QObject* parent = nullptr);
    ~LBCreateController() override;

    // ==== Preview mode as the window drives it ==========================================
    // Stores the window controller (not owned), selects the repeat count and takes the
    // window's zoom pop-up.
    void setWindowController(LBWindowController* controller) override;
    LBWindowController* windowController() const { return _windowController; }
    // Adds the main view to the container with that frame and builds the control bar.
    void showPageInView(QWidget* view, const QRectF& viewFrame) override;
    // Closes the editor, takes the main view, the button bar and the warning bar out of
    // the window (they are kept) and returns the main view's frame (empty without one).
    QRectF hidePage() override;
    void saveState(double zoomSliderValue) override;
    // The zoom slider and focus kept, and the scroll position when one was kept.
    void restoreState() override;
    // Rebuilds the sheets (six steps); with discardExisting, from new renderers.
    void updateViewWithNewRenderingView(bool discardExisting) override;
    // "1 page" or "%d pages".
    void updatePageCountText(QLabel* field) override;
    LBPageView* pageView() const override { return _pageView; }
    void setZoomFactor(double zoomFactor) override;
    // Sizes the page view for the sheets at the zoom (also on every resize of the main
    // view) and moves an open editor with sheet 0.
    void scrollerFrameChanged() override;
    // Redraws the sheets in the visible part of the page view.
    void refreshRenderingView() override;
    // Writes an open editor's text back into its text box and removes the editor.
    void closeTextEditor() override;

    // ==== Drawing (the page view's hook) ================================================
    // Called from the page view's paint: places the visible sheets; a rebuild it needs
    // runs after the paint event.
    void drawGraphicsInRect(const QRectF& updateRect) override;
    // Enables, places and redraws the renderers of the sheets that meet the rectangle
    // (page-view coordinates); rebuilds when the rectangle reaches past the renderers.
    void renderGraphicsInRect(const QRectF& rect);
    // How many times a sheet was asked to redraw since the controller was made.
    qint64 sheetRedisplayCount() const { return _sheetRedisplayCount; }

    // ==== Layout and sheets =============================================================
    // Reads the dimension type, rows, columns and start label, and fills the start fields.
    void updateLabelSettings();
    // Sheets to show: 1 unless the layout is a label sheet.
    qint64 numberOfPages() const;
    // The document's paper size; without a document, the shared print settings' paper.
    QSizeF paperSize() const;
    // The page view's renderers, in child order.
    QList<LBRenderingView*> renderingViews() const;
    // Sheet k's rectangle in the page view.
    QRectF sheetRect(qint64 sheet) const;
    // The page view's size for the sheets at the zoom (see scrollerFrameChanged()).
    QSizeF pageViewSizeForZoom(double zoomFactor) const;

    // ==== Zoom ==========================================================================
    // The zoom pop-up's item: items 0-13 set the window's zoom slider; -1 sets 2.0; the
    // others nothing.
    void zoomPopupAction(qint64 index);

    // ==== Clicks and the per-label editor ===============================================
    // A click on the page view ("MouseLocation", y upwards).
    void mouseDownInPageView(const platform::Notification& notification);
    // The same for a point in page-view coordinates (y downwards).
    void clickAtPoint(const QPointF& point);
    // "EditedTextSaved" from the text box being edited: opens the editor on its text.
    void loadTextEditor(const platform::Notification& notification);
    LBTextEditorView* textEditor() const;
    QRectF textEditorBounds() const { return _textEditorBounds; }
    QPointF textEditorOffset() const { return _textEditorOffset; }
    qint64 editedTextArrayIndex() const { return _editedTextArrayIndex; }
    std::shared_ptr<LBGraphic> textEditorTargetGraphic() const
    {
        return _textEditorTargetGraphic.lock();
    }

    // ==== Contact-list warning bar ======================================================
    // Shows the warning bar under the button bar when no contact columns show beside the
    // preview.
    void showContactListWarningBarIfNecessary(QWidget* container);
    void contactListHelpAction();
    void dismissContactListHelpPanel();
    QWidget* statusBar() const { return _statusBar; }
    // The help sheet, built the first time it is asked for.
    QDialog* contactListHelpPanel();

    // ==== Notifications and timers ======================================================
    // The own card changed: a rebuild while the window shows the preview.
    void mePersonChanged();
    // A start field changed: its action runs 0.5 s after the last change.
    void controlTextDidChange(QLineEdit* field);
    void textTimerFired();
    bool textFieldTimerPending() const;

    // ==== Views and state ===============================================================
    QWidget* mainView() const { return _mainView; }
    platform::ScrollView* scrollView() const { return _scrollView; }
    platform::KXControlBar* buttonBar() const { return _buttonBar; }
    qint64 dimensionType() const { return _dimensionType; }
    qint64 labelRows() const { return _labelRows; }
    qint64 labelColumns() const { return _labelColumns; }
    qint64 startLabel() const { return _startLabel; }
    bool drawLabelOutlinesInRenderingView() const { return _drawLabelOutlinesInRenderingView; }
    double savedZoomSliderVal() const { return _savedZoomSliderVal; }
    QRectF savedVisibleRect() const { return _savedVisibleRect; }
    LBDocument* document() const;
    double zoomFactor() const;

    // ==== Label-sheet control bar and live addresses (LBCreateController+ControlBar.cpp)
    // Controls type T: the layout's "labelType", or 99/98/97 for the roll label printers
    // named by its "paperManufacturer".
    static qint64 controlsType(const QVariantMap& layout);
    struct ControlFlags
    {
        bool sheet = false;
        bool envelope = false;
        bool page = false;
        bool disc = false;
        bool delivery = false;
        bool address = false;
    };
    // The flags of T; delivery and address from the window's design (false without one).
    static ControlFlags controlFlagsForType(qint64 controlsType, bool foundDeliveryAddress,
                                            bool foundReturnAddress);
    ControlFlags controlFlags() const;
    // The number of the label at row and column (1-based) in the fill order of direction
    // (2 column by column, else row by row).
    static qint64 startLabelForCell(qint64 row, qint64 column, qint64 rows, qint64 columns,
                                    qint64 direction);

    // Builds the sections of the bar in code (part of building the views).
    void buildControlBarSections();
    void buildNumLabelsPanel();
    // Lays the bar out in the container for the layout.
    void addQuarnLabelControls(QWidget* container) override;
    // Selects (and applies) the repeat-count item of the window's repeat count.
    void setupRepeatPopupButton();
    QComboBox* repeatCountPopup() const { return _repeatCountPopup; }
    // Shows count n as its own item ("%d times") after the item of 5, selected.
    void insertNumLabelsInRepeatPopup(qint64 n);
    // Applies the selected repeat-count item.
    void numLabelsAction(QComboBox* sender);
    // The other-count sheet's buttons: tag 1 applies the typed count, others cancel.
    void numLabelsPanelAction(qint64 buttonTag);
    // Applies the start row and column fields (clamped).
    void startLabelAction(QObject* sender);
    // Applies the options item.
    void optionsAction(QAction* item);
    void liveAddressAction(QCheckBox* checkbox);
    void showLiveAddressIcons(bool show) override;
    void setLiveAddressCheckboxEnabled(bool enabled) override;
    // Opens the address menu at the point of the page view (y downwards).
    void displayAddressMenuAtPoint(const QPointF& point);
    // The address menu's item (0 "Primary Address" ... 4 "Work Address").
    void addressMenuAction(qint64 index);
    void removeTextPopupButton() override;

    QWidget* controlsContainer() const { return _controlsContainer; }
    QWidget* numCopiesView() const { return _numCopiesView; }
    QWidget* startLabelView() const { return _startLabelView; }
    QWidget* optionsView() const { return _optionsView; }
    QWidget* liveAddressView() const { return _liveAddressView; }
    QLineEdit* startRowField() const { return _startRowField; }
    QLineEdit* startColumnField() const { return _startColumnField; }
    QToolButton* optionsPopup() const { return _optionsPopup; }
    QCheckBox* liveAddressCheckbox() const { return _liveAddressCheckbox; }
    // The other-count sheet and its field, built the first time either is asked for.
    QDialog* numLabelsPanel();
    QLineEdit* numLabelsPanelField();
    QPushButton* addressMenuButton() const { return _addressMenuButton; }
    const std::optional<QString>& contactUIDForAddressMenu() const
    {
        return _contactUIDForAddressMenu;
    }
    std::shared_ptr<LBGraphic> textBoxForAddressMenu() const
    {
        return _textBoxForAddressMenu.lock();
    }
    // ==== End of the control bar ========================================================

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildViews();
    void buildContactListHelpPanel();
    void observe();
    // Keeps the main view at its distances from the container's edges, the bars at its
    // foot.
    void layOutInContainer(QWidget* container);
    // With redisplayAll false (after a paint), only sheets that were moved, renumbered or
    // enabled redraw.
    void renderGraphicsInRect(const QRectF& rect, bool redisplayAll);
    // The first and last sheet (from 0) that meet the rectangle of the page view; the
    // first is negative above sheet 0, the last at most the last sheet.
    struct SheetRange
    {
        qint64 first = 0;
        qint64 last = 0;
    };
    SheetRange sheetsInRect(const QRectF& rect) const;
    // Measures the text fitting of the records of those sheets ahead of drawing them.
    void prefillTextMultipliers(qint64 firstSheet, qint64 lastSheet);
    void beginEditing(const std::shared_ptr<LBTextArea>& box, const QRectF& rectInPageView,
                      qint64 labelIndex);
    // Sheet 0's rectangle in the page view, and the sheet pitch at the zoom.
    QRectF firstSheetRect() const;
    double sheetPitch() const;
    QVariantMap layout() const;
    void placeEditor();

    // --- Views ("CreateL", built in code) ---
    QWidget* _mainView = nullptr;
    platform::ScrollView* _scrollView = nullptr;
    LBPageView* _pageView = nullptr;
    platform::KXControlBar* _buttonBar = nullptr;
    QWidget* _statusBar = nullptr;
    QDialog* _contactListHelpPanel = nullptr;
    // Views this controller owns while they are out of the window.
    std::vector<QPointer<QWidget>> _topLevelNibObjects;

    // --- State ---
    LBWindowController* _windowController = nullptr;
    QPointer<LBTextEditorView> _textEditor;
    QPointF _textEditorOffset;
    QRectF _textEditorBounds;
    qint64 _editedTextArrayIndex = -1;
    // The editor's typing: the document shows it is edited from the first change.
    platform::TextStorage::Observation _textEditorTyping;
    std::weak_ptr<LBGraphic> _textEditorTargetGraphic;
    qint64 _dimensionType = 1;
    qint64 _labelRows = 1;
    qint64 _labelColumns = 1;
    qint64 _startLabel = 1;
    bool _drawLabelOutlinesInRenderingView = true;
    double _savedZoomSliderVal = ActualSizeSliderValue;
    QPointer<QWidget> _savedFirstResponder;
    QRectF _savedVisibleRect{0.0, 0.0, -1.0, 0.0};
    QTimer* _textFieldTimer = nullptr;
    QPointer<QLineEdit> _textFieldTimerField;
    QMargins _containerMargins;
    QRectF _pendingDrawRect;
    bool _drawQueued = false;
    qint64 _sheetRedisplayCount = 0;
    QMetaObject::Connection _zoomPopupConnection;
    platform::ObserverToken _editedTextObserver;
    std::vector<platform::ObserverToken> _observers;

    // --- Control bar and live addresses ---
    QComboBox* _repeatCountPopup = nullptr;
    QDialog* _numLabelsPanel = nullptr;
    QLineEdit* _numLabelsPanelField = nullptr;
    QWidget* _controlsContainer = nullptr;
    QWidget* _numCopiesView = nullptr;
    QWidget* _startLabelView = nullptr;
    QWidget* _optionsView = nullptr;
    QWidget* _liveAddressView = nullptr;
    QLineEdit* _startRowField = nullptr;
    QLineEdit* _startColumnField = nullptr;
    QToolButton* _optionsPopup = nullptr;
    QCheckBox* _liveAddressCheckbox = nullptr;
    QPushButton* _addressMenuButton = nullptr;
    std::optional<QString> _contactUIDForAddressMenu;
    std::weak_ptr<LBGraphic> _textBoxForAddressMenu;
    // The options pull-down's items for the flags, marked as the document says.
    void rebuildOptionItems(const ControlFlags& flags);
    // The other-count sheet, on the window.
    void beginNumLabelsPanel();
    // The start fields' row and column, each within the sheet.
    std::pair<qint64, qint64> clampedStartCell() const;
    // --- End of the control bar's fields ---
};
