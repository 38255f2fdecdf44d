#pragma once

// The inspector's panes for text and a few small ones that come with it: Font (tag 11),
// Font Preview (24), Typography (17), Arrange (16), mask scaling (8), Contact Fields (18),
// Text Position (25), Barcode (15) and the shape modifier (19). Each class is the view of
// one pane with its controls (named as the palette's outlets) and what the pane keeps
// between refreshes; the update and action of each pane are members of its view. The
// palette's pane table reaches them through registerTextPanes().
//
// The font and typography panes work on one of two targets: the text views being edited
// in place (the palette's textViews(), at each view's selection, or its typing attributes
// for an insertion point), or else the whole text of every selected graphic with text.

#include "platform/text/FontManager.h"

#include <QCheckBox>
#include <QColor>
#include <QFont>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <array>
#include <functional>
#include <optional>

class HUDCheckbox;
class HUDComboBox;
class HUDLabel;
class HUDPopUpButton;
class HUDRadioButton;
class HUDSlider;
class HUDStepper;
class HUDTextField;
class HUDWindowController;
class KXFontPreviewViewController;
class LBCompImageButton;
class LBTextArea;
class QComboBox;
class QPushButton;

namespace platform {
class ColorWell;
class TextStorage;
class TextView;
struct Range;
} // namespace platform

// Fills the palette's pane table with the panes above (before a palette is made).
void registerTextPanes();
// The selected graphics that have text (a text storage), in selection order.
QList<LBTextArea*> selectedGraphicsWithText(const HUDWindowController& controller);
// Runs body for each text view edited in place, with its text and selection.
void forEachEditedText(
    const HUDWindowController& controller,
    const std::function<void(platform::TextView& view, platform::TextStorage& text,
                             const platform::Range& selection)>& body);
// Gives a button of a row of joined buttons its pictures: place 0 first, 1 inner, 2 last;
// the highlighted ones when `on`.
void setSegmentImages(LBCompImageButton* button, int place, bool on);

// A check box that shows a mixed state and goes on when a mixed one is clicked.
class HUDMixedCheckbox : public QCheckBox
{
    Q_OBJECT
public:
    explicit HUDMixedCheckbox(const QString& title = QString(), QWidget* parent = nullptr);
    // 1 on, 0 off, -1 mixed.
    int state() const;
    void setState(int state);

protected:
    void nextCheckState() override;
};

// --- Font (tag 11) ---
class HUDFontTools : public QWidget
{
    Q_OBJECT
public:
    explicit HUDFontTools(HUDWindowController& controller);

    void updateFontTools();
    void updateTextAlignmentButtons();
    void fontToolsAction(QObject* sender);
    // The alignment code of the button.
    void textAlignmentAction(QObject* sender);
    // With the alert unless the user turned it off.
    void convertTextToOutlinesAction();
    void convertTextToOutlines();

    // The font common to the whole target, or none; family and face empty and size 0
    // where they differ; the colour of the first text read, and its selected string.
    static std::optional<QFont> selectedFontFamilyName(const HUDWindowController& controller,
                                                       QString* family, QString* faceName,
                                                       double* size, QColor* color,
                                                       QString* selectedString);
    // The alignment common to the target, -1 when it differs.
    qint64 targetAlignment() const;

    // --- The family and face boxes ---
    const QStringList& fontFamilyArray();
    // The members of the chosen family (built on demand; none while no family is chosen).
    const QList<platform::FontManager::Member>& fontFaceArray();
    int numberOfItemsInComboBox(QComboBox* box);
    QString comboBoxObjectValueForItemAtIndex(QComboBox* box, int index);
    // Picks the first entry starting with `string` (any case) and answers it, or answers
    // the string itself when none does.
    QString comboBoxCompletedString(QComboBox* box, const QString& string);
    void comboBoxSelectionDidChange(QComboBox* box);
    // Up (-1) and Down (1) move the box's entry; always handled.
    bool moveSelectionInBox(QComboBox* box, int direction);

    HUDComboBox* _textFontBox = nullptr;
    HUDComboBox* _textFaceBox = nullptr;
    HUDComboBox* _textSizeBox = nullptr;
    HUDStepper* _textSizeStepper = nullptr;
    platform::ColorWell* _textColorButton = nullptr;
    LBCompImageButton* _textLeftAlignmentButton = nullptr;
    LBCompImageButton* _textCenterAlignmentButton = nullptr;
    LBCompImageButton* _textRightAlignmentButton = nullptr;
    LBCompImageButton* _textFullAlignmentButton = nullptr;
    QPushButton* _fontPreviewButton = nullptr;
    QPushButton* _convertTextToOutlinesButton = nullptr;

    int _selectedFontFamilyIndex = -1;
    int _selectedFontFaceIndex = -1;
    bool _fontFamilyIsDirty = false;
    bool _fontFaceIsDirty = false;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void reloadFamilyBox();
    void reloadFaceBox();
    // Rebuilds the face list of the chosen family and shows the face (none when empty).
    void showFace(const QString& face);
    void selectEntry(QComboBox* box, int index);
    void applyFont(const QString& family, const QString& face, double size);
    void applyColor(const QColor& color);

    HUDWindowController& _controller;
    std::optional<QStringList> _fontFamilyArray;
    std::optional<QList<platform::FontManager::Member>> _fontFaceArray;
    QString _typedPrefix; // what the user typed before the completion was added
};

// --- Font Preview (tag 24) ---
class HUDFontPreviewTools : public QWidget
{
    Q_OBJECT
public:
    explicit HUDFontPreviewTools(HUDWindowController& controller);

    void updateFontPreviewTools();
    // The preview's selected font (or its size) changed.
    void previewChanged();
    KXFontPreviewViewController* fontPreviewController() const { return _fontPreviewController; }
    bool _ignoreFontChanges = false;

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void layoutPreview();

    HUDWindowController& _controller;
    KXFontPreviewViewController* _fontPreviewController = nullptr;
    QWidget* _resizeBox = nullptr;
};

// --- Typography (tag 17) ---
class HUDTypographyTools : public QWidget
{
    Q_OBJECT
public:
    explicit HUDTypographyTools(HUDWindowController& controller);

    void updateTypographyTools();
    void updatePerfectBalanceTools();
    void typographyToolsAction(QObject* sender);

    HUDStepper* _kernStepper = nullptr;
    double _kernStepperValue = 0.0;
    QPushButton* _defaultKernButton = nullptr;
    HUDTextField* _lineMultipleField = nullptr;
    HUDStepper* _lineMultipleStepper = nullptr;
    HUDTextField* _lineSpacingField = nullptr;
    HUDStepper* _lineSpacingStepper = nullptr;
    HUDTextField* _spaceAfterField = nullptr;
    HUDStepper* _spaceAfterStepper = nullptr;
    HUDTextField* _indent1Field = nullptr;
    HUDStepper* _indent1Stepper = nullptr;
    HUDTextField* _indent2Field = nullptr;
    HUDStepper* _indent2Stepper = nullptr;
    QPushButton* _lowerCaseButton = nullptr;
    QPushButton* _upperCaseButton = nullptr;
    QPushButton* _normalCaseButton = nullptr;
    LBCompImageButton* _balanceLeftButton = nullptr;
    LBCompImageButton* _balanceCenterButton = nullptr;
    LBCompImageButton* _balanceRightButton = nullptr;
    LBCompImageButton* _balanceTopButton = nullptr;
    LBCompImageButton* _balanceMiddleButton = nullptr;
    LBCompImageButton* _balanceBottomButton = nullptr;

    std::array<HUDTextField*, 5> fields() const;
    std::array<HUDStepper*, 5> steppers() const;

private:
    HUDWindowController& _controller;
};

// --- Arrange (tag 16) ---
class HUDArrangeTools : public QWidget
{
    Q_OBJECT
public:
    explicit HUDArrangeTools(HUDWindowController& controller);

    void updateArrangeTools();
    // The sender's tag / 1000 picks the canvas command.
    void arrangeToolsAction(QObject* sender);
    // The tag of a control (its "tag" property).
    static qint64 tagOfControl(const QObject* control);

    QWidget* _alignControls = nullptr;
    QWidget* _sameSizeControls = nullptr;
    QWidget* _distributeControls = nullptr;

private:
    HUDWindowController& _controller;
};

// --- Mask scaling (tag 8) ---
class HUDImageMaskTools : public QWidget
{
    Q_OBJECT
public:
    explicit HUDImageMaskTools(HUDWindowController& controller);

    void updateImageMaskTools();
    void imageMaskToolsAction(QObject* sender);

    HUDPopUpButton* _maskScalingPopup = nullptr;

private:
    HUDWindowController& _controller;
};

// --- Contact Fields (tag 18) ---
class HUDContactFieldTools : public QWidget
{
    Q_OBJECT
public:
    explicit HUDContactFieldTools(HUDWindowController& controller);

    void updateContactFieldTools();
    void contactFieldToolsAction(QObject* sender);
    // Left, right, top, bottom, reduce font, increase font, increase spacing.
    std::array<HUDMixedCheckbox*, 7> switches() const;

    HUDMixedCheckbox* _leftSideSwitch = nullptr;
    HUDMixedCheckbox* _rightSideSwitch = nullptr;
    HUDMixedCheckbox* _topSideSwitch = nullptr;
    HUDMixedCheckbox* _bottomSideSwitch = nullptr;
    HUDMixedCheckbox* _reduceFontSwitch = nullptr;
    HUDMixedCheckbox* _increaseFontSwitch = nullptr;
    HUDMixedCheckbox* _increaseSpacingSwitch = nullptr;

private:
    HUDWindowController& _controller;
};

// --- Text Position (tag 25) ---
class HUDShapeWithTextTools : public QWidget
{
    Q_OBJECT
public:
    // The slider's steps over the whole outline.
    static constexpr int sliderSteps = 1000;
    explicit HUDShapeWithTextTools(HUDWindowController& controller);

    void updateShapeWithTextTools();
    void shapeWithTextToolsAction(QObject* sender);
    static QString percentText(double location);

    HUDSlider* _shapeWithTextXLocSlider = nullptr;
    HUDLabel* _shapeWithTextXLocField = nullptr;
    HUDMixedCheckbox* _shapeWithTextReverseCheckbox = nullptr;

private:
    HUDWindowController& _controller;
};

// --- Barcode (tag 15) ---
class HUDBarcodeTools : public QWidget
{
    Q_OBJECT
public:
    explicit HUDBarcodeTools(HUDWindowController& controller);

    void updateBarcodeTools();
    void barcodeToolsAction(QObject* sender);
    // A radio button's state: 1 on, 0 off, -1 mixed (some of the barcodes).
    static int radioState(const HUDRadioButton* button);
    static void setRadioState(HUDRadioButton* button, int state);

    HUDRadioButton* _barcodeManualRadioButton = nullptr;
    HUDRadioButton* _barcodeImportRadioButton = nullptr;
    HUDRadioButton* _barcodeABRadioButton = nullptr;
    HUDTextField* _barcodeManualText = nullptr;
    QPushButton* _barcodeEnterButton = nullptr;
    HUDPopUpButton* _barcodeImportPopup = nullptr;
    HUDPopUpButton* _barcodeZipPopup = nullptr;

private:
    void commitText();
    HUDWindowController& _controller;
};

// --- Shape modifier (tag 19) ---
class HUDModifiedShapeTools : public QWidget
{
    Q_OBJECT
public:
    explicit HUDModifiedShapeTools(HUDWindowController& controller);

    void updateModifiedShapeTools();
    void modifiedShapeToolsAction(QObject* sender);

    HUDSlider* _modifiedShapeSlider = nullptr;
    HUDLabel* _modifiedShapeValueText = nullptr;

private:
    HUDWindowController& _controller;
};
