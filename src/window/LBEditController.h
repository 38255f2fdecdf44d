#pragma once

// The controller of a document window's design mode: it builds the design area (a scroll
// view with two rulers over the page view, with the editing canvas on it), owns the
// canvases and knows which one receives commands, keeps the inspector palettes in step
// with the selection and with in-place text editing, opens and closes the design drawer,
// keeps the design defaults that new shapes and lines get, inserts new graphics, lays the
// page and canvases out for the paper size and zoom, and runs the grid, move and
// background sheets. Its operations are spread over files of their own:
//   LBEditController.cpp            life cycle, selection, inspector hand-off, drawer, state
//   LBEditController+Insertion.cpp  design defaults, learning them, creating and inserting
//   LBEditController+View.cpp       page and canvas geometry, zoom, pop-ups, grid, sheets
//
// The window controller makes one on its first entry into design mode (through the
// factory installed at start-up) and owns it. Geometry is in points, y downwards.
//
// Main thread only. The inspector palettes are refreshed once per turn of the event loop
// after any number of selection changes.

#include "window/DesignModeController.h"

#include "platform/core/NotificationCenter.h"

#include <QColor>
#include <QHash>
#include <QList>
#include <QMargins>
#include <QObject>
#include <QPointer>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QVariantMap>

#include <functional>
#include <memory>
#include <vector>

class InspectorPalette;
class LBDocument;
class LBGraphic;
class LBGraphicView;
class LBPageView;
class LBRulerView;
class LBTextArea;
class QCheckBox;
class QComboBox;
class QDialog;
class QEvent;
class QGroupBox;
class QLabel;
class QLineEdit;
class QSlider;
class QTimer;
class QWidget;

namespace platform {
class AttributedString;
class ScrollView;
class TextView;
} // namespace platform

using LBGraphicPtr = std::shared_ptr<LBGraphic>;

// The design drawer as the design controller drives it (the drawer's own classes
// implement it and install their factory at start-up). Without a factory the drawer
// pane opens empty.
class DesignDrawer
{
public:
    using Factory = std::function<std::unique_ptr<DesignDrawer>()>;
    virtual ~DesignDrawer() = default;

    // The drawer's view; owned by the drawer.
    virtual QWidget* view() = 0;
    virtual void setEditController(class LBEditController* controller) = 0;
    // 0 shapes, 2 photos, 3 kits, 4 text library, 5 favourites, 6 fields.
    virtual void setMode(qint64 mode) = 0;
    virtual void importCorbeil(const QString& path, qint64 currentIndex, qint64 numFiles) = 0;
    virtual void setShiftKeyDown(bool down) = 0;
    virtual void setOutlineHeightFromPreferences() = 0;
    virtual void removeDarkLine() = 0;
    // Shows the kit browser's pictures of that placeholder type.
    virtual void selectCorbeilImageType(const QString& type) = 0;
    virtual void setZoomFactor(double zoomFactor) { (void)zoomFactor; }

    static void setFactory(Factory factory);
    static bool hasFactory();
    static std::unique_ptr<DesignDrawer> make();
};

// The counter sheet (its own classes implement it and install their factory); without
// one a counter field's click opens nothing.
class CounterSheet
{
public:
    using Factory = std::function<std::unique_ptr<CounterSheet>()>;
    virtual ~CounterSheet() = default;
    virtual void customizeCounterField(const QVariantMap& rolloverEntry, LBTextArea* inTextObject,
                                       QWidget* parentWindow) = 0;

    static void setFactory(Factory factory);
    static bool hasFactory();
    static std::unique_ptr<CounterSheet> make();
};

class LBEditController : public QObject, public DesignModeController
{
    Q_OBJECT
public:
    // Builds the design area and sets the defaults; the canvas is the first of the list.
    explicit LBEditController(QObject* parent = nullptr);
    ~LBEditController() override;

    // ==== Life cycle and state (LBEditController.cpp) ===================================
    void setWindowController(LBWindowController* controller) override;
    LBWindowController* windowController() const { return _windowController; }
    LBDocument* document() const;
    void showPageInView(QWidget* view, const QRectF& viewFrame) override;
    void hidePage(bool closing) override;
    // The design area's frame as the last hidePage() found it.
    QRectF hiddenFrame() const { return _hiddenFrame; }
    void saveState(double zoomSliderValue) override;
    void restoreState() override;
    // NO leaves text mode; YES ends in-place editing on the selected canvas.
    void resetAllControls(bool closing);

    // The design area and its parts.
    QWidget* mainView() const;
    platform::ScrollView* scrollView() const { return _scrollView; }
    LBPageView* pageView() const override { return _pageView; }
    LBRulerView* horizontalRuler() const;
    LBRulerView* verticalRuler() const;

    // ==== Canvases and selection ========================================================
    QList<LBGraphicView*> graphicViews() const override;
    LBGraphicView* graphicView() const { return _graphicView; }
    LBGraphicView* selectedGraphicView() const;
    // Undoable ("Select Page"); nothing for the canvas already selected.
    void selectGraphicView(LBGraphicView* view);
    void mouseDownInGraphicView(const platform::Notification& notification);
    void deselectAll() override;
    QList<LBGraphicPtr> selectedGraphics(bool includeLocked) const;
    platform::TextView* editorView() const;
    void invalidateGraphic(LBGraphic* graphic) override;
    bool textMode() const override { return _textMode; }
    void setTextMode(bool textMode);
    void endEditingAndSelect();

    // Commands handed to the selected canvas.
    void bringForward(QObject* sender);
    void sendBackward(QObject* sender);
    void bringToFront(QObject* sender);
    void sendToBack(QObject* sender);
    void makeNaturalSize(QObject* sender);
    void distributeEvenly(QObject* sender);
    void destructiveDownsample();
    // Zooms to actual size, then gives the layout to the document.
    void setDimensionInfo(const QVariantMap& layout);
    QImage previewImageFromGraphicView() override;
    QString documentDescriptionStr() const override;
    // The card-stock line of a card-stock name and label type (the words translated).
    static QString documentDescription(const QString& cardStockName, qint64 labelType);
    void customizeCounterField(const QVariantMap& rolloverEntry, LBTextArea* inTextObject) override;

    // ==== Inspector hand-off ============================================================
    void graphicSelectionChanged(const platform::Notification& notification);
    // Refreshes every inspector once when the selection changed since the last time;
    // `window` nullptr (no notification) or this design's window.
    void windowDidUpdate(const QWidget* window = nullptr);
    bool needsUpdate() const { return _needsUpdate; }
    void updateHUD(const platform::Notification& notification);
    // A selected graphic of this design changed (by any palette, menu or key): every
    // inspector's pane is reloaded once, on the next turn of the event loop, so no palette
    // goes on showing the values another one replaced.
    void selectedGraphicChanged(const platform::Notification& notification);
    void hideHUD();
    void showHUD();
    // nullptr: only turns text mode on.
    void startEditingText(const platform::Notification* notification);
    void stopEditingText(const platform::Notification& notification);
    void stopEditingTextDuringDrag(const platform::Notification& notification);
    void updateTextControlsForSelection();
    void centerInspectorWindow() override;
    void updateUtilityWindowsForSelection();
    // The palette hidden by an LBHideHUD, waiting for the next LBShowHUD (one slot for
    // the whole program).
    static InspectorPalette* hiddenInspector();

    // ==== Design drawer =================================================================
    void openDrawer(bool open, bool updatePrefs, bool toggleLayersView) override;
    bool drawerIsOpen() const override { return _drawerIsOpen; }
    DesignDrawer* drawerController() const { return _drawerController.get(); }
    void setDrawerMode(qint64 mode) override;
    void importCorbeil(const QString& path, qint64 currentIndex, qint64 numFiles) override;
    void placeholderDoubleClicked(const QString& placeholderType);
    void setShiftKeyDown(bool down) override;
    // The text library's controller, given the zoom too; not owned.
    void setTextDrawerController(QObject* controller, std::function<void(double)> setZoom);

    // ==== Design defaults and inserting (LBEditController+Insertion.cpp) ================
    struct Defaults
    {
        double lineStrokeWidth = 1.0;
        QColor lineStrokeColor = Qt::black;
        qint64 shapeFillType = 0;
        double shapeStrokeWidth = 1.0;
        QColor shapeStrokeColor = Qt::black;
        QColor shapeFillColor = Qt::black;
        QColor shapeFillColor1 = Qt::white;
        bool shapeStrokeOn = true;
    };
    const Defaults& defaults() const { return _defaults; }
    Defaults& defaults() { return _defaults; }
    // The remembered size of a shape class ("LBRoundedRect1" is the alternate rounded
    // rectangle); (0, 0) for a class with none.
    QSizeF rememberedSize(const QString& className) const;
    void setRememberedSize(const QString& className, const QSizeF& size);
    // Learns the defaults from the one unlocked selected graphic.
    void learnDefaultsFromGraphic(const LBGraphic& graphic);
    // A new graphic of the named class with the defaults and its remembered size, not on
    // a page; nullptr for a name that is no graphic class.
    LBGraphicPtr createShapeOfClass(const QString& className, qint64 alternateShape);
    void applyDefaultShapeSettingsToGraphic(LBGraphic& graphic) const;
    void insertGraphic(const LBGraphicPtr& graphic, bool originatedInShapesMatrix);
    void insertGraphics(const QList<LBGraphicPtr>& graphics, bool originatedInShapesMatrix);
    // Fills the one selected placeholder with the picture, or makes a new image of natural
    // size placed on the visible page.
    void insertImageAtPath(const QString& path);
    // When exactly one unlocked graphic is selected and it is a placeholder (of type
    // "Photo" when photoOnly), fills it with the picture at the centre of the visible page
    // area and answers true; otherwise changes nothing.
    bool fillSelectedPlaceholderWithImagePath(const QString& path, bool photoOnly);
    // Tag 1 plain text, 2 curved text.
    void createTextBoxAction(qint64 tag);
    // A new text box of that text (tag as above), in the middle of the visible page, being
    // edited with its text selected.
    void insertTextBox(const platform::AttributedString& text, qint64 tag = 1);
    // The new text box's bounds for the size its text needs.
    static QSizeF newTextBoxSize(const QSizeF& required, qint64 tag, bool autoResize);
    void insertNewTextBox(const std::shared_ptr<LBTextArea>& textBox);
    // fromMenu NO also sets the scaling to fill (3). False, with a beep, when the
    // graphic has nothing to use.
    bool useSelectedImageAsBackgroundAction(bool fromMenu);

    // ==== View, zoom, grid and sheets (LBEditController+View.cpp) =======================
    QSizeF paperSize() const;
    void updateView() override;
    void updateViewForPaperSize(const QSizeF& paperSize);
    void scrollerFrameChanged() override;
    void scrollerFrameChangedForPaperSize(const QSizeF& paperSize);
    void setZoomFactor(double zoomFactor) override;
    double zoomFactor() const;
    QRectF topPageRect() const;
    // Item 0-13 of the zoom pop-up; -1 none.
    void zoomPopupAction(qint64 index);
    static double zoomSliderValueForPopupIndex(qint64 index);
    void updateDpiPopup();
    void updateDPIPopupButtonImage();
    void dpiPopupAction(qint64 index);
    void changeDisplayUnits();
    static double pointsPerUnit(qint64 unitsType);
    static QString unitName(qint64 unitsType);
    void hideGrid();
    void toggleGridAbove();
    void toggleGridBelow();
    void snapToGrid(QObject* sender);
    bool snapToGrid() const;
    qint64 showsGrid() const;
    bool rulersAreVisible() const;
    void drawAlignmentGuides();
    void toggleRulers();
    // Shows or hides the faces' layout of a folded document ("LBHideFaceLayout").
    void toggleFaceLayout();
    void redrawGraphicViews();

    // The three sheets, window-modal on the design window (shown, not waited for).
    void gridSettingsAction();
    // Tag 1 OK, 0 Cancel; the unit pop-up has its own.
    bool gridSettingsButtonAction(qint64 tag);
    void gridSettingsUnitsChanged(qint64 unitsType);
    void moveGraphicsAction();
    void moveGraphicsButtonAction(qint64 tag);
    void backgroundImageSheetAction();
    // Tag 1 close, 2 remove the picture.
    void backgroundImageSettingsButton(qint64 tag);
    void backgroundImageScalingChanged(qint64 scaling);
    // The slider's fraction (0 opaque, 1 gone); the page keeps 1 minus it, the fraction
    // of the picture drawn.
    void backgroundImageTransparencyChanged(double transparency);
    // The scaling pop-up's items, by the page's scaling code: both sheets of the
    // background picture (this one and the layers view's) offer these.
    static QStringList backgroundImageScalingTitles();

    QDialog* gridSettingsSheet() const;
    QLineEdit* gridSpacingField() const { return _gridSpacingField; }
    QLineEdit* guideSpacingField() const { return _guideSpacingField; }
    QComboBox* gridSpacingUnitsPopup() const { return _gridSpacingUnitsPopup; }
    QCheckBox* printGridCheckbox() const { return _printGridCheckbox; }
    QDialog* moveGraphicsSheet() const;
    QLineEdit* moveGraphicsDeltaXField() const { return _moveGraphicsDeltaXField; }
    QLineEdit* moveGraphicsDeltaYField() const { return _moveGraphicsDeltaYField; }
    QLabel* moveGraphicsXUnitsText() const { return _moveGraphicsXUnitsText; }
    QDialog* backgroundImageSheet() const;
    QComboBox* backgroundImageScalingPopup() const { return _backgroundImageScalingPopup; }
    QSlider* backgroundImageTransparencySlider() const
    {
        return _backgroundImageTransparencySlider;
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildDesignArea();
    void setRememberedSizesToStartValues();
    // The shape defaults with that stroke width (no zoom, no size).
    void applyShapeSettings(LBGraphic& graphic, double strokeWidth) const;
    void connectPopups();
    void updateViewFromNotification(const platform::Notification& notification);
    void observe();
    void buildGridSettingsSheet();
    void buildMoveGraphicsSheet();
    // A move sheet field's distance in the sheet's unit: 0 for an empty field.
    static double moveGraphicsDistance(const QLineEdit* field);
    void buildBackgroundImageSheet();
    QWidget* designWindow() const;
    // Every inspector: the shared one, then the standalone ones.
    static QList<InspectorPalette*> everyInspector();
    void refreshInspectors();
    bool isOurs(const LBGraphicView* view) const;
    bool isOurDocument(const LBDocument* document) const;
    void storeDrawerWidth();
    void storeDrawerIsClosed(bool closed);
    QSize pageViewSizeForPaperSize(const QSizeF& paper) const;
    double ruleAllowanceVertical() const;
    double ruleAllowanceHorizontal() const;

    LBGraphicView* _graphicView = nullptr;
    LBPageView* _pageView = nullptr;
    QPointer<QWidget> _mainView;
    platform::ScrollView* _scrollView = nullptr;

    QPointer<QDialog> _backgroundImageSheet;
    QComboBox* _backgroundImageScalingPopup = nullptr;
    QSlider* _backgroundImageTransparencySlider = nullptr;
    QPointer<QDialog> _moveGraphicsSheet;
    QLabel* _moveGraphicsXUnitsText = nullptr;
    QLabel* _moveGraphicsYUnitsText = nullptr;
    QLineEdit* _moveGraphicsDeltaXField = nullptr;
    QLineEdit* _moveGraphicsDeltaYField = nullptr;
    QPointer<QDialog> _gridSettingsSheet;
    QGroupBox* _gridSettingsBox = nullptr;
    QString _gridSettingsBoxFormat;
    QLineEdit* _gridSpacingField = nullptr;
    QLineEdit* _guideSpacingField = nullptr;
    QComboBox* _gridSpacingUnitsPopup = nullptr;
    QCheckBox* _printGridCheckbox = nullptr;
    qint64 _gridUnitsType = 0;

    std::unique_ptr<DesignDrawer> _drawerController;
    bool _drawerViewAdded = false;
    std::unique_ptr<CounterSheet> _counterController;
    QPointer<QObject> _textDrawerController;
    std::function<void(double)> _textDrawerSetZoom;

    Defaults _defaults;
    QHash<QString, QSizeF> _rememberedSizes;

    double _savedZoomSliderVal = 6.0;
    QPointer<LBGraphicView> _savedSelectedGraphicView;
    QList<std::weak_ptr<LBGraphic>> _savedGraphicSelection;
    QPointer<QWidget> _savedFirstResponder;
    QRectF _savedVisibleRect{0, 0, -1.0, 0};
    QRectF _hiddenFrame;
    QMargins _containerMargins;

    LBWindowController* _windowController = nullptr;
    bool _observesDocument = false;
    QList<LBGraphicView*> _graphicViews;
    QPointer<LBGraphicView> _selectedGraphicView;
    bool _needsUpdate = false;
    bool _textMode = false;
    bool _drawerIsOpen = false;
    QTimer* _updateTimer = nullptr;
    QTimer* _paneReloadTimer = nullptr;
    const void* _observedTextEditor = nullptr;

    std::vector<platform::ObserverToken> _observers;
    platform::ObserverToken _textSelectionObserver;
    platform::ObserverToken _redrawObserver;
    QMetaObject::Connection _undoConnection; // the undo manager's changes: the palette follows
    QMetaObject::Connection _zoomPopupConnection;
    QMetaObject::Connection _dpiPopupConnection;
};
