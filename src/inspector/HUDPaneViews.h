#pragma once

// The views of the palette's picture panes, with the controls and the state each pane
// keeps: the Text Gradient pane (27), the Image pane (9) and the Effects pane (10). A pane
// view is made by its row's factory and lives as long as the palette; its update and
// action are the row's.

#include "inspector/HUDWindowController.h"

#include <QImage>
#include <QList>
#include <QString>
#include <QWidget>

#include <array>

class HUDCheckbox;
class HUDGradientControls;
class HUDImagePopUpButton;
class HUDLabel;
class HUDPopUpButton;
class HUDSlider;
class HUDTextField;
class LBGraphic;
class QAction;
class QFrame;
class QPushButton;

namespace platform {
class ColorWell;
}

// The row of a pane whose view does the work: made by the view's constructor, reloaded by
// its update(), its controls handled by its action().
template <typename View>
HUDWindowController::Pane paneOfView(int tag)
{
    HUDWindowController::Pane pane;
    pane.tag = tag;
    pane.factory = [](HUDWindowController& controller) { return new View(controller); };
    pane.update = [](HUDWindowController& controller) {
        if (auto* view = dynamic_cast<View*>(controller.currentTools()))
            view->update();
    };
    pane.action = [](HUDWindowController& controller, QObject* sender) {
        if (auto* view = dynamic_cast<View*>(controller.currentTools()))
            view->action(sender);
    };
    return pane;
}

class HUDTextGradientTools : public QWidget
{
public:
    explicit HUDTextGradientTools(HUDWindowController& controller);
    HUDGradientControls* controls() const { return _controls; }
    void update();
    void action(QObject* sender);

private:
    HUDGradientControls* _controls = nullptr;
};

// Brightness, contrast, hue, saturation, sharpness and exposure of the selected pictures
// (percent, 0 unchanged), each with a slider, a field and two one-step buttons; a button
// that puts all six back to 0 and a box that makes the picture a placeholder.
class HUDImageAdjustTools : public QWidget
{
public:
    explicit HUDImageAdjustTools(HUDWindowController& controller);

    enum Adjustment { Brightness, Contrast, Hue, Saturation, Sharpness, Exposure };
    static constexpr int AdjustmentCount = 6;
    // The tags of the step buttons: adjustment a steps down with 1000 (2a + 1), up with
    // 1000 (2a + 2).
    static int stepDownTag(int adjustment) { return 1000 * (2 * adjustment + 1); }
    static int stepUpTag(int adjustment) { return 1000 * (2 * adjustment + 2); }

    // updateImageAdjustTools, imageAdjustToolsAction:
    void update();
    void action(QObject* sender);

    std::array<HUDSlider*, AdjustmentCount> _sliders{};
    std::array<HUDTextField*, AdjustmentCount> _fields{};
    std::array<QPushButton*, AdjustmentCount> _stepDownButtons{};
    std::array<QPushButton*, AdjustmentCount> _stepUpButtons{};
    QPushButton* _originalImageButton = nullptr;
    HUDCheckbox* _imagePlaceholderCheckbox = nullptr;

private:
    void apply(int adjustment, double value, QObject* sender);
    HUDWindowController& _controller;
};

// Effects of the selected pictures: a pop-up of effect kinds (tag = kind, 0 none), up to
// six sliders with their labels and read-outs, a colour, the shape of a mask effect, and
// buttons to keep (add) or remove the effect shown. A kind chosen is put on at once to be
// tried; choosing another kind takes a tried effect off again unless it was kept.
class HUDImageEffectsTools : public QWidget
{
public:
    explicit HUDImageEffectsTools(HUDWindowController& controller);

    // --- Per-kind tables ---
    static QList<int> effectKinds(); // the pop-up's kinds, in order (0 first)
    static QString effectTitle(int kind);
    static int windowHeightForEffect(int kind); // 0: unchanged
    // The label texts of a kind, by row (empty: unchanged).
    static std::array<QString, 5> labelKeysForEffect(int kind);
    // Which of the six slider rows a kind shows.
    static std::array<bool, 6> slidersShownForEffect(int kind);
    static bool colorShownForEffect(int kind);
    static bool isMaskEffect(int kind) { return kind >= 33 && kind <= 35; }
    static bool hasEffectLocation(int kind);
    // Field 1's read-out of modifier 1.
    static qint64 field1Value(int kind, qint64 modifier1);
    // The (size, softness) a built-in mask shape starts with, by kind.
    static std::pair<qint64, qint64> maskDefaults(int kind, int shape);
    // The kind the pane shows for a graphic: its last effect's, the one before when the
    // last is the perspective effect, 0 without effects besides it.
    static int shownEffectKind(const LBGraphic& graphic);

    // --- The pane's operations ---
    void update();                // updateImageEffectsTools
    void action(QObject* sender); // imageEffectsToolsAction:
    void loadMasksForEffect(int kind);
    void setImageEffectsWindowHeightForEffect(int kind, bool animate);
    void updateImageEffectModifierNamesForEffect(int kind);
    void updateImageEffectControlsForGraphic(const LBGraphic& graphic);
    // The effect-location knobs of the selected graphics: shown for the kind selected
    // while the pane is shown (`paneShown`), hidden otherwise.
    void initializeEffectLocationInGraphic(bool paneShown);
    void applyNewSliderValue(int slider);
    // Menu items tagged 9999 are disabled.
    static bool validateMenuItem(const QAction* item);

    int selectedEffectKind() const;
    bool effectWasAdded() const { return _effectWasAdded; }

    HUDPopUpButton* _imageEffectPopup = nullptr;
    HUDImagePopUpButton* _imageEffectPopup0 = nullptr;
    QWidget* _imageEffectPopup0View = nullptr;
    std::array<HUDSlider*, 6> _imageEffectSliders{};
    std::array<QWidget*, 6> _imageEffectSliderViews{};
    std::array<HUDLabel*, 5> _imageEffectLabels{};
    std::array<HUDLabel*, 6> _imageEffectFields{};
    platform::ColorWell* _imageEffectColor = nullptr;
    QWidget* _imageEffectColorView = nullptr;
    QPushButton* _addEffectButton = nullptr;
    QPushButton* _removeEffectButton = nullptr;
    QFrame* _dividerLine = nullptr;
    QPushButton* _maskEffectLeftButton = nullptr;
    QPushButton* _maskEffectRightButton = nullptr;
    QPushButton* _maskEffectReverseButton = nullptr;
    QPushButton* _maskEffectRotateButton = nullptr;

private:
    void chooseMask(int tag);
    void moveMaskSelection(int step);
    void effectChosen(int kind);
    void layoutRows(int kind);

    HUDWindowController& _controller;
    bool _effectWasAdded = false;
    bool _masksLoaded = false;
};
