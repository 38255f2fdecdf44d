#pragma once

// The custom paper-size pane of the layout chooser's last step: the user types the paper
// size, the label size and grid, margins, gaps and corner radius, picks the kind of sheet,
// its orientation and the unit, and sees a live miniature. The pane edits its own copy of
// a layout dictionary (lengths in points); the fields show them in the chosen unit and
// write back only what the user changed, so untouched values keep their precision.

#include <QImage>
#include <QPointer>
#include <QSizeF>
#include <QVariantMap>

#include <array>

class LBLayoutSheetController;
class QComboBox;
class QLabel;
class QLineEdit;
class QAbstractButton;
class QWidget;

class LBPaperSizeController
{
public:
    explicit LBPaperSizeController(LBLayoutSheetController* controller = nullptr);
    ~LBPaperSizeController();
    LBPaperSizeController(const LBPaperSizeController&) = delete;
    LBPaperSizeController& operator=(const LBPaperSizeController&) = delete;

    enum Unit : qint64 { Inches = 0, Millimetres = 1, Points = 2 };
    enum Field : int {
        PaperWidthField,
        PaperHeightField,
        LabelWidthField,
        LabelHeightField,
        RowsField,
        ColumnsField,
        TopMarginField,
        LeftMarginField,
        HSpaceField,
        VSpaceField,
        CornerRadiusField,
        FieldCount
    };

    // Loads a layout into the pane.
    void setDimensionInfo(const QVariantMap& info);
    // The edited layout, after the fields were written back.
    QVariantMap dimensionInfo();

    // The pane's view, made on first use and remade (from the layout) if whoever it was
    // put into has deleted it.
    QWidget* mainView();

    // --- The controls' actions ---------------------------------------------------------
    void paperSizePopupAction(int index);
    void unitPopupAction(int index);
    // The card-type pop-up chose an item.
    void cardTypePopupAction(int index);
    // An orientation button was clicked (the click has already toggled it).
    void orientationButtonAction(bool landscapeButton);
    // Text typed into a field (its live text).
    void controlTextDidChange(Field field);

    // --- What the controls show (for the chooser and tests) ---------------------------
    QLineEdit* field(Field field);
    QComboBox* paperSizePopup();
    QComboBox* unitsPopup();
    QComboBox* cardTypePopup();
    QAbstractButton* portraitButton();
    QAbstractButton* landscapeButton();
    QString paperSizeCaption();
    bool cornerRadiusShown();
    bool labelBlockShown();
    Unit unitType() const { return _unitType; }
    bool landscapeButtonSelected() const { return _landscapeButtonSelected; }
    // The pane's height: the paper block, plus the label block, plus the corner row.
    double mainViewHeight() const;

    // The card type the controls describe (a `labelType` code).
    qint64 cardType();
    static qint64 cardTypeForItem(int item, bool landscape);
    static int popupIndexForCardType(qint64 code);
    // Points per display unit.
    static double unitFactor(Unit unit);
    // The envelope at that row of the envelope pop-up, upright, in points; returns the
    // row's unit factor. Rows outside 1-24 give the first envelope.
    static double envelopeSizeAtIndex(int index, double* width, double* height);
    static QStringList envelopeTitles();
    // Turns a layout a quarter: label size, grid, gaps, margins and page, for a sheet of
    // that card type.
    static void rotatePaperDict(QVariantMap& layout, bool toLandscape, qint64 cardType);
    // Whether the labels of the layout run off the page (or cannot be laid out: no rows,
    // no columns, no label size); for envelopes and letterhead (label kinds 5-8), whose
    // label is the paper, whether the paper has no size.
    static bool labelsOverflowPage(const QVariantMap& layout);

    bool labelsOverflow() const { return _labelsOverflow; }
    // What the layout sheet tells the user while the layout cannot be chosen.
    QString overflowWarning() const { return _overflowWarning; }
    // The miniature of the layout, upright, and whether it is shown turned (landscape).
    QImage previewImage() const { return _previewImage; }
    bool landscapeOrientation() const { return _landscapeButtonSelected; }

private:
    void ensureView();
    void buildView();
    void loadIntoControls(qint64 previousCardType);
    void selectCardTypeItem(qint64 code);
    void deselectAllFields();
    void updatePaperSizeFields();
    void updateOrientationButtons();
    void updateDimensionFields(bool saveFirst);
    void saveDimensions();
    void updatePreviewImage();
    void showCornerRadius(bool show);
    void showNonEnvelopeControls(bool show);
    void toggleControlsForNewCardType(qint64 newType, qint64 oldType);
    void fillPaperPopup(bool envelopes);
    int pageSizePopupIndexForPaper();
    QSizeF paperSizeForDimensionsDict() const;
    double fieldValue(Field field);
    void showValue(Field field, double value);
    void setLandscape(bool landscape);
    void heightChanged();

    LBLayoutSheetController* _controller;
    QVariantMap _dimensionInfo;
    bool _loaded = false;
    Unit _unitType = Inches;
    bool _landscapeButtonSelected = false;
    // What each length field showed after the last fill or save, in the display unit.
    std::array<double, FieldCount> _orig{};
    bool _cornerRadiusShown = false;
    bool _labelBlockShown = true;
    bool _paperFieldsEditable = false;
    bool _envelopePopup = false;
    bool _updating = false;

    QPointer<QWidget> _mainView;
    std::array<QLineEdit*, FieldCount> _fields{};
    QComboBox* _paperSizePopup = nullptr;
    QComboBox* _unitsPopup = nullptr;
    QComboBox* _cardTypePopup = nullptr;
    QAbstractButton* _portraitButton = nullptr;
    QAbstractButton* _landscapeButton = nullptr;
    QLabel* _paperSizeText = nullptr;
    QWidget* _cornerRadiusControls = nullptr;
    QWidget* _nonEnvelopeControls = nullptr;

    QImage _previewImage;
    bool _labelsOverflow = false;
    QString _overflowWarning;
};
