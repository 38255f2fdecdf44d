#pragma once

// The inspector palette: a dark floating panel that edits the graphics selected on the
// design canvas, one pane at a time. Which panes are offered depends on the kind of the
// selection, and the pane last chosen for each kind is remembered.
//
// Modes: 0 the smart palette, shown and following the selection; 1 the smart palette,
// hidden until asked for; 2 a standalone palette, pinned to one pane and left where the
// user put it.
//
// Panes come from one table (paneTable()): a tag, its title key in "HUD Tools", a view
// factory, an update and an action, a fixed size and hooks. Each pane fills its row in a
// file of its own; a tag not filled yet is offered with an empty pane.
//
// What every pane action follows (applyToSelection() does it for the common case):
//   - `_ignoreUpdates` is on while several graphics change and off before the last, so
//     the refresh after the last change reloads the pane once;
//   - text boxes and shapes with text end in-place editing first;
//   - each graphic changes through its own undoable setters; the step is named from
//     "UndoStrings" on the canvas's undo manager;
//   - a text field commits 0.5 s after the last key (`_textChangeInvokedByTimer` on) or at
//     once on Return.

#include "graphics/InspectorPalette.h"
#include "graphics/LBGraphic.h"
#include "platform/core/NotificationCenter.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QRectF>
#include <QSize>
#include <QString>

#include <functional>
#include <optional>
#include <vector>

class HUDContentView;
class HUDPopUpButton;
class HUDStepper;
class HUDTextPopUpButton;
class HUDWindow;
class LBGraphicView;
class LBImageButton;
class QAction;
class QKeyEvent;
class QKeySequence;
class QLineEdit;
class QMenu;
class QPropertyAnimation;
class QTimer;
class QWidget;

namespace platform {
class TextView;
class UndoManager;
} // namespace platform

// Posted by a double click on the palette's background (object: its content view).
inline const QString LBCollapseInspectorNotification =
    QStringLiteral("LBCollapseInspectorNotification");

class HUDWindowController : public QObject, public InspectorPalette
{
    Q_OBJECT
public:
    enum InspectorMode : qint64 { SmartShown = 0, SmartHidden = 1, Standalone = 2 };

    // The selection kinds.
    enum GraphicKind : qint64 {
        NoKind = 0,
        ImageKind = 1,
        TextBoxKind = 2,
        LineKind = 3,
        BarcodeKind = 4,
        MixedKind = 7,
        ShapesKind = 8,
        ShapeKind = 9,
        ModifiedShapeKind = 10,
        PolygonOrGearKind = 11, // only while the kind is computed
        StarPolygonKind = 12,   // only while the kind is computed
        ShapeWithTextKind = 16
    };

    // Pane tags; 0 nothing shown yet, 1 the collapsed button.
    enum ToolsTag : int {
        NoTools = 0,
        CollapsedTools = 1,
        SizeTools = 2,
        RotateFlipTools = 4,
        TransparencyTools = 5,
        ShadowTools = 6,
        ReflectionTools = 7,
        ImageMaskTools = 8,
        ImageAdjustTools = 9,
        ImageEffectsTools = 10,
        FontTools = 11,
        ShapeColorTools = 12,
        LineColorTools = 13,
        BarcodeTools = 15,
        ArrangeTools = 16,
        TypographyTools = 17,
        ContactFieldTools = 18,
        ModifiedShapeTools = 19,
        CropTools = 20,
        GroupTools = 21,
        PlaceholderTools = 22,
        CurvedTextTools = 23,
        FontPreviewTools = 24,
        ShapeWithTextTools = 25,
        TextGradientTools = 27
    };

    // One row of the pane table. Pane files fill factory, update, action and hooks.
    struct Pane
    {
        int tag = 0;
        QString titleKey; // in "HUD Tools"; empty for the modifier pane (titled per shape)
        std::function<QWidget*(HUDWindowController&)> factory;
        std::function<void(HUDWindowController&)> update;
        std::function<void(HUDWindowController&, QObject* sender)> action;
        QSize fixedSize;                                               // invalid: the view's own
        std::function<void(HUDWindowController&)> selectionWillChange; // before a change
        std::function<void(HUDWindowController&)> paneLeft;            // switched away from
    };
    // The table, by tag (2 to 27). Pane files register their rows before a palette is
    // made; a registered row replaces the frame's empty one.
    static const QList<Pane>& paneTable();
    static void registerPane(const Pane& pane);
    static const Pane* paneForTag(int tag);
    // The rows of the pane files, registered once, by the first palette made.
    static void registerPaneFiles();
    static void registerTextGradientTools();
    static void registerImageAdjustTools();
    static void registerImageEffectsTools();
    static void registerCropPane();
    static void registerGroupPane();
    static void registerPlaceholderPane();
    static void registerCurvedTextPane();

    explicit HUDWindowController(qint64 mode, QObject* parent = nullptr);
    ~HUDWindowController() override;

    // Frame changes animate unless turned off (tests).
    static void setAnimationsEnabled(bool enabled);

    // --- Made and driven by the application ---
    qint64 inspectorMode() const { return _inspectorMode; }
    void setInspectorMode(qint64 mode);
    // The application's Inspector menu, filled on every rebuild; not owned.
    void setToolsMenu(QMenu* menu);
    QMenu* toolsMenu() const;
    // Standalone palettes: shows the pane, disables the controls (but the close button),
    // moves the window's top-left corner to the screen point and shows it.
    void setStandaloneToolTag(int tag, const QPointF& windowOrigin);
    int toolTag() const { return _currToolsTag; }
    qint64 selectedToolsTag() const override { return _currToolsTag; }
    // The pane pop-up, the pull-down and the Inspector menu choose a pane by tag.
    void toolsPopupAction(int tag);
    void collapseButtonAction(bool animate = true);
    void forceOpen();
    // The double click on the background: brings the kind's pane back or collapses.
    void processDoubleClickInView();

    // --- InspectorPalette ---
    QWidget* window() const override;
    CanvasView* selectedGraphicView() const override;
    void setSelectedGraphicView(CanvasView* view) override;
    void updateFromGraphicView(CanvasView* view) override;
    void updateRotateFlipTools() override;
    void forceSelectGroupTools(bool force) override { _forceSelectGroupTools = force; }
    void forceSelectModifiedShapeTools(bool force) override
    {
        _forceSelectModifiedShapeTools = force;
    }
    void forceSelectMaskTools(bool force) override { _forceSelectMaskTools = force; }
    // Shows the Crop pane while the canvas crops (Crop pane file).
    void forceSelectCropTools(bool force, bool showConstrainTools) override;
    QMenu* contextualMenuForView(CanvasView* view) override;
    void centerWindowUnderSelectedGraphics() override;
    void setFreezeWindow(bool freeze) override { _freezeWindow = freeze; }
    void resetAndHide() override;

    // --- Selection and menus ---
    // The kind of the graphics, and whether the Transparency and Shadow panes may be
    // offered (no barcode among them).
    static qint64 graphicKind(const QList<LBGraphicPtr>& graphics,
                              bool* allowsTransparency = nullptr);
    void rebuildToolMenus();
    void updateSelectedTools() override;
    void selectToolsWithTag(int tag);
    qint64 selectedGraphicType() const { return _selectedGraphicType; }
    bool selectedGraphicIsCrop() const { return _selectedGraphicIsCrop; }
    const QList<LBGraphicPtr>& selectedGraphics() const { return _selectedGraphics; }
    LBGraphicView* graphicView() const;
    // The pane pop-up's titles and tags, and the title shown.
    QStringList toolTitles() const;
    QList<int> toolTags() const;
    HUDTextPopUpButton* toolsPopup() const { return _toolsPopup; }
    QMenu* toolsPulldownMenu() const { return _toolsPulldownMenu; }
    QWidget* currentTools() const { return _currTools; }
    HUDContentView* contentView() const { return _mainView; }
    LBImageButton* closeButton() const { return _closeHUDButton; }
    // The remembered pane of a kind (text boxes and shapes: by the crop flag).
    int preferredTagForKind(qint64 kind, bool crop) const;
    // The key sequence of a pane item's title (suffix removed), empty for none.
    static QKeySequence keyEquivalentForTitle(const QString& title);

    // --- Placement ---
    // Keeps the panel under the selection and on the screen (screen coordinates, Qt's
    // top-left origin); unchanged without a canvas.
    QRectF constrainedWindowRect(const QRectF& rect) const;
    // The rule itself over rectangles with y pointing up: `selection` S (none when nothing
    // is selected), the canvas's scroll view V, the screen's visible frame F.
    static QRectF constrainedWindowRect(QRectF rect, const std::optional<QRectF>& selection,
                                        const QRectF& scrollView, const QRectF& visibleFrame,
                                        double gap);
    static void enableControlsInView(QWidget* view, bool enable, QWidget* except = nullptr);

    // --- Text views edited in place (the font panes apply to them) ---
    void addTextView(platform::TextView* view) override;
    void clearTextViews() override;
    QList<platform::TextView*> textViews() const;
    // Reload the font, font preview or typography pane while it is shown.
    void updateFontTools() override;
    void updateFontPreviewTools() override;
    void updateTypographyTools() override;

    // --- The pane contract ---
    platform::UndoManager* undoManager() const;
    // Runs `change` on each selected graphic under the contract above and names the step
    // with the "UndoStrings" key.
    void applyToSelection(const std::function<void(LBGraphic&)>& change, const QString& undoKey);
    // The steps applyToSelection() is made of, for actions that need their own loop.
    void beginPaneAction();
    void willChangeLastGraphic() { _ignoreUpdates = false; }
    void endInPlaceEditing();
    void nameUndoStep(const QString& undoKey);
    bool ignoreUpdates() const { return _ignoreUpdates; }
    void setIgnoreUpdates(bool ignore) { _ignoreUpdates = ignore; }
    // A field that commits while the user types: 0.5 s after the last key with
    // textChangeInvokedByTimer() on, at once on Return.
    void watchTextField(QLineEdit* field, const std::function<void()>& commit);
    bool textChangeInvokedByTimer() const { return _textChangeInvokedByTimer; }
    // Applies a pending typing commit now (before the selection changes).
    void flushPendingTextCommit();
    // A press-drag-release on the control (slider, dial, stepper) is one undo step.
    void groupDragOfControl(QWidget* control);
    // A pane that changes its own height while shown: the window becomes that height plus
    // the title bar's, its top edge kept (and kept under the selection unless standalone).
    void setWindowHeightForPane(int paneHeight, bool animate);
    static QString stripTrailingZerosFromString(const QString& string);

    // --- Dimensions and rotation panes ---
    void updateSizeTools();
    void sizeToolsAction(QObject* sender);
    void rotateFlipToolsAction(QObject* sender);
    // A value in the display unit of "Units Type" (0 inches, 1 centimetres, else points)
    // in points.
    static double convertValueToPixels(double value);
    // The text of a length in points in the display unit: inches and centimetres with at
    // most two decimals, trailing zeros dropped, points whole; with the unit's suffix
    // ("1.25 in", "57 pt").
    static QString lengthText(double points);
    // A dial angle (whole degrees) snapped to the nearest quarter turn within 10 degrees.
    static double snappedRotationAngle(double angle);
    void stopAdjustingPerspectiveIfNecessary();
    bool adjustingPerspective() const { return _adjustingPerspective; }

    // --- Colour panes ---
    enum FillKind : qint64 {
        NoFillKind = 0,
        SolidFillKind = 1,
        SoftFillKind = 2,
        LinearGradientFillKind = 3,
        RadialGradientFillKind = 4
    };
    enum ShapeToolsType : qint64 {
        PlainShapeTools = 1,
        SoftFillShapeTools = 2,
        ImageTintShapeTools = 3,
        GradientShapeTools = 4
    };
    void updateShapeColorTools();
    void shapeColorToolsAction(QObject* sender);
    void updateLineColorTools();
    void lineColorToolsAction(QObject* sender);
    static qint64 fillKindForGraphic(const LBGraphic& graphic);
    // The dash style (0-10) whose pattern matches exactly, else 0 (solid).
    static qint64 strokeStyleForPattern(const LBGraphic::DashPattern& pattern, qint64 count);
    // The style's lengths and count; solid (count 0) for 0 and for any style outside 0-10.
    static void valuesForStrokeStyle(qint64 style, LBGraphic::DashPattern* pattern, qint64* count);
    static void setImagesForStrokeStylePopup(HUDPopUpButton* popUp, bool hasNoneItem);
    // A stroke width stepped once up or down from `width` (1 point at or above 1 point,
    // else a quarter); the caller refuses results outside (0, 1000).
    static double steppedStrokeWidth(double width, bool up);
    // A stroke width as the panes show it ("0.75 pt").
    static QString strokeWidthText(double width);
    void setWindowHeightForShapeToolsType(qint64 type, bool animate);
    void updateSoftFillAngleText(double angle);
    // The text of a dial angle: above 359 less 360; "0º" unless strictly between 0 and 360.
    static QString angleText(double angle);
    void updateImageTintControlsForGraphic(const LBGraphic& graphic);
    // Both colours equal in RGB; false when either is invalid.
    static bool color(const QColor& color, const QColor& isEqualTo);

    // --- Transparency, shadow and reflection panes ---
    void updateTransparencyTools();
    void transparencyToolsAction(QObject* sender);
    void updateShadowTools();
    void shadowToolsAction(QObject* sender);
    void updateShadowAngleText(double angle);
    void updateReflectionTools();
    void reflectionToolsAction(QObject* sender);

    // Asks the application to show help (it sets the handler).
    void showHelp();
    static void setHelpHandler(const std::function<void()>& handler);
    // Called for a change of the selection about to happen.
    void graphicSelectionWillChange();
    // Some panes keep this (the font preview reloads its text).
    bool reloadFontPreviewString() const { return _reloadFontPreviewString; }
    void setReloadFontPreviewString(bool reload) { _reloadFontPreviewString = reload; }
    bool removeEffectWhenSwitching() const { return _removeEffectWhenSwitching; }
    void setRemoveEffectWhenSwitching(bool remove) { _removeEffectWhenSwitching = remove; }

    // --- Keys typed while the palette is key ---
    // Keys act on the canvas as if typed there; Return finishes a crop the Crop pane was
    // forced for and is ignored otherwise.
    void keyDown(QKeyEvent* event);
    void insertNewline();
    // The pane's text fields keep the keys typed into them (the frame calls it for each
    // pane it makes).
    void watchKeysOfTextFields(QWidget* pane);

    // The pane view of a tag, made on first use.
    QWidget* toolsView(int tag) { return paneView(tag); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // A row of the pane table from the pane's view factory, update and action.
    static Pane paneRow(int tag, const std::function<QWidget*(HUDWindowController&)>& factory,
                        void (HUDWindowController::*update)(),
                        void (HUDWindowController::*action)(QObject*));
    static void registerDimensionsPane();
    static void registerRotationPane();
    static void registerShapeColorPane();
    static void registerLineColorPane();
    static void registerTransparencyPanes();
    // The stroke width field or stepper of a colour pane applied to the selection ("Set
    // Stroke Width"); false when the stepper asked for no change.
    bool applyStrokeWidth(bool fromStepper, QLineEdit* field, HUDStepper* stepper);
    // The pane's view of a tag (made on first use) as its outlets.
    template <typename Outlets>
    Outlets* paneOutlets(int tag);
    friend class HUDCropTools;
    void loadWindow();
    void textTimerFired();
    QWidget* paneView(int tag);
    void setWindowFrame(const QRectF& frame, bool animate);
    QRectF windowFrame() const;
    void orderFront();
    void orderOut();
    bool isWindowVisible() const;
    void setToolsMenuNoSelection();
    void clearToolsMenu();
    void rememberTagForKind(int tag);
    QString titleForTag(int tag, const QString& suffix) const;
    void dispatchMenuChoice(QAction* item);
    bool anyForceFlag() const;
    std::optional<QRectF> selectionScreenRect() const;

    qint64 _inspectorMode = SmartShown;
    QPointer<QObject> _selectedGraphicViewObject; // the canvas, weak
    LBGraphicView* _selectedGraphicView = nullptr;
    QList<LBGraphicPtr> _selectedGraphics;
    qint64 _selectedGraphicType = NoKind;
    bool _selectedGraphicIsCrop = false;
    QWidget* _currTools = nullptr;
    int _currToolsTag = NoTools;
    // The smart palette folds to its button shortly after it is made, unless it was
    // folded or showed a pane meanwhile (made when a canvas first asks, the user may
    // already have opened a pane).
    bool _startFoldPending = true;

    int _preferredImageToolsTag = SizeTools;
    int _preferredTextToolsTag = FontTools;
    int _preferredTextCropToolsTag = FontTools;
    int _preferredShapeWithTextToolsTag = FontTools;
    int _preferredShapeToolsTag = ShapeColorTools;
    int _preferredShapeCropToolsTag = SizeTools;
    int _preferredLineToolsTag = LineColorTools;
    int _preferredBarcodeToolsTag = SizeTools;
    int _preferredMixedToolsTag = SizeTools;

    bool _forceSelectModifiedShapeTools = false;
    bool _forceSelectCropTools = false;
    bool _forceSelectMaskTools = false;
    bool _forceSelectGroupTools = false;

    QPointer<QMenu> _toolsMenu;
    HUDWindow* _window = nullptr;
    QPointer<QPropertyAnimation> _frameAnimation; // the frame's move under way, if any
    HUDTextPopUpButton* _toolsPopup = nullptr;
    HUDTextPopUpButton* _toolsPulldown = nullptr;
    QMenu* _toolsPulldownMenu = nullptr;
    HUDContentView* _mainView = nullptr;
    QWidget* _titleBarView = nullptr;
    QWidget* _collapsedView = nullptr;
    LBImageButton* _closeHUDButton = nullptr;
    QList<QPair<int, QWidget*>> _paneViews;

    bool _freezeWindow = false;
    bool _ignoreUpdates = false;
    QTimer* _textFieldTimer = nullptr;
    std::function<void()> _pendingTextCommit;
    QPointer<QLineEdit> _pendingTextField; // the field the waiting edit was typed in
    bool _textChangeInvokedByTimer = false;
    std::optional<QList<QPointer<platform::TextView>>> _textViewArray; // made on first use
    int _selectedFontFamilyIndex = -1;
    int _selectedFontFaceIndex = -1;
    bool _reloadFontPreviewString = false;
    bool _removeEffectWhenSwitching = false;
    bool _showConstrainTools = false;
    int _preForceToolsTag = NoTools; // the pane shown before a crop forced the Crop pane
    const QEvent* _textFieldKeyEvent = nullptr; // a key a pane's text field had first
    int _menuKey = 0; // a key that ran a menu item; its release stays away from the canvas

    // Dimensions and rotation panes.
    QStringList _origFieldStr = QStringList(4); // x, y, width, height as last shown
    double _origFloatValue = 0.0;
    bool _adjustingPerspective = false;
    bool _effectWasAdded = false;
    bool _temporaryGroup = false;
    bool _performedGroupRotationCheck = false;
    QList<LBGraphicPtr> _temporaryGroupOrder; // the members' stacking before grouping
    bool _endpointImagesLoaded = false;

    std::vector<platform::ObserverToken> _observers;
};

template <typename Outlets>
Outlets* HUDWindowController::paneOutlets(int tag)
{
    return dynamic_cast<Outlets*>(paneView(tag));
}
