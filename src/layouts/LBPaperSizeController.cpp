#include "layouts/LBPaperSizeController.h"

#include "document/DimensionInfo.h"
#include "layouts/LBLayoutSheetController.h"
#include "platform/core/UserDefaults.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace {

using Info = DimensionInfo;
using Pane = LBPaperSizeController;

const QString unitDefaultKey = QStringLiteral("CustomPaperSizeUnitType");
const QString addressLabels = QStringLiteral("Address Labels");
const QString envelopes = QStringLiteral("Envelopes");
const QString letterhead = QStringLiteral("Letterhead");
const QString discLabels = QStringLiteral("Disc Labels");

constexpr QSizeF letterSize(612.0, 792.0);
constexpr QSizeF a4Size(595.2755907, 841.88976399);

// Heights of the pane's blocks: the paper block is always there, the label block only for
// label sheets, the corner row only for rounded labels.
constexpr double paperBlockHeight = 179;
constexpr double labelBlockHeight = 221;
constexpr double cornerRowHeight = 34;

bool isFullSheet(qint64 code)
{
    return code >= 5 && code <= 8;
}
bool isEnvelope(qint64 code)
{
    return code == 5 || code == 6;
}
bool isLetterhead(qint64 code)
{
    return code == 7 || code == 8;
}
bool isPortrait(qint64 code)
{
    static const QList<qint64> portrait{1, 3, 6, 7, 9, 11, 13, 18};
    return portrait.contains(code);
}
// The two orientation classes of the card types a change between which turns the layout;
// 0 for codes in neither.
int rotationClass(qint64 code)
{
    static const QList<qint64> a{1, 3, 5, 8, 9, 11, 13};
    static const QList<qint64> b{2, 4, 6, 7, 10, 12, 14};
    return a.contains(code) ? 1 : b.contains(code) ? 2 : 0;
}

QString sheetString(const QString& key)
{
    return LBLayoutSheetController::layoutSheetString(key);
}

// The number a field's text starts with, in single precision as the fields hold it.
double parseField(const QString& text)
{
    static const QRegularExpression leading(
        QStringLiteral(R"(^\s*[-+]?(\d+\.?\d*|\.\d+)([eE][-+]?\d+)?)"));
    const QRegularExpressionMatch match = leading.match(text);
    if (!match.hasMatch())
        return 0.0;
    return double(float(match.captured(0).trimmed().toDouble()));
}

QString formatLength(double value)
{
    QString text = QString::number(value, 'f', 4);
    while (text.contains(QLatin1Char('.')) && text.endsWith(QLatin1Char('0')))
        text.chop(1);
    if (text.endsWith(QLatin1Char('.')))
        text.chop(1);
    if (text == QLatin1String("-0"))
        text = QStringLiteral("0");
    return text;
}

bool sameSize(const QSizeF& a, const QSizeF& b)
{
    // The layout's lengths may have passed through single precision.
    return std::abs(a.width() - b.width()) < 1e-3 && std::abs(a.height() - b.height()) < 1e-3;
}

// The same paper upright or turned on its side (a landscape page).
bool samePaper(const QSizeF& a, const QSizeF& b)
{
    return sameSize(a, b) || sameSize(a, b.transposed());
}

struct Envelope
{
    const char* title;
    double width;
    double height;
    bool inches;
};

const Envelope envelopeTable[] = {
    {"Size 6 3/4", 3.625, 6.5, true}, {"Size 9", 3.875, 8.875, true}, {"Size 10", 4.125, 9.5, true},
    {"Size 11", 4.5, 10.375, true},   {"Size 12", 4.75, 11.0, true},  {"Size 14", 5.0, 11.5, true},
    {"B4", 25.0, 35.3, false},        {"B5", 17.6, 25.0, false},      {"B6", 12.5, 17.6, false},
    {"C3", 32.4, 45.8, false},        {"C4", 22.9, 32.4, false},      {"C5", 16.2, 22.9, false},
    {"C6", 11.4, 16.2, false},        {"C65", 11.4, 22.9, false},     {"DL", 11.0, 22.0, false},
    {"E4", 22.0, 31.0, false},        {"E5", 15.5, 22.0, false},      {"E6", 11.0, 15.5, false},
    {"E65", 11.0, 22.0, false},       {"Italian", 11.0, 23.0, false}, {"M5", 15.5, 22.3, false},
    {"M65", 11.2, 22.3, false},       {"Monarch", 3.875, 7.5, true},  {"US Legal", 8.5, 14.0, true},
    {"US Letter", 8.5, 11.0, true},
};
constexpr int envelopeCount = int(std::size(envelopeTable));

} // namespace

LBPaperSizeController::LBPaperSizeController(LBLayoutSheetController* controller)
    : _controller(controller)
{}

LBPaperSizeController::~LBPaperSizeController()
{
    // A view never put into a window is still ours.
    if (_mainView && !_mainView->parentWidget())
        delete _mainView.data();
}

// ==== Tables ===============================================================================

double LBPaperSizeController::unitFactor(Unit unit)
{
    switch (unit) {
    case Inches: return 72.0;
    case Millimetres: return 2.83464567;
    default: return 1.0;
    }
}

qint64 LBPaperSizeController::cardTypeForItem(int item, bool landscape)
{
    switch (item) {
    case 0: return landscape ? 2 : 1;
    case 1: return landscape ? 4 : 3;
    case 2: return landscape ? 5 : 6;
    case 3: return landscape ? 8 : 7;
    default: return 1;
    }
}

int LBPaperSizeController::popupIndexForCardType(qint64 code)
{
    switch (code) {
    case 1:
    case 2: return 0;
    case 3:
    case 4:
    case 9:
    case 10: return 1;
    case 5:
    case 6: return 2;
    case 7:
    case 8:
    case 11:
    case 12: return 3;
    case 13:
    case 14: return 4;
    default: return 0;
    }
}

double LBPaperSizeController::envelopeSizeAtIndex(int index, double* width, double* height)
{
    const Envelope& envelope =
        index >= 1 && index < envelopeCount ? envelopeTable[index] : envelopeTable[0];
    const double factor = envelope.inches ? 72.0 : 28.3464567;
    if (width)
        *width = envelope.width * factor;
    if (height)
        *height = envelope.height * factor;
    return factor;
}

QStringList LBPaperSizeController::envelopeTitles()
{
    QStringList titles;
    for (const Envelope& envelope : envelopeTable)
        titles.append(QString::fromLatin1(envelope.title));
    return titles;
}

void LBPaperSizeController::rotatePaperDict(QVariantMap& layout, bool toLandscape, qint64 cardType)
{
    const double w = Info::real(layout, Info::labelWidth);
    const double h = Info::real(layout, Info::labelHeight);
    const qint64 rows = Info::integer(layout, Info::numRows);
    const qint64 columns = Info::integer(layout, Info::numColumns);
    const double top = Info::real(layout, Info::topMargin);
    const double left = Info::real(layout, Info::leftMargin);
    const double hSpace = Info::real(layout, Info::hLabelSpace);
    const double vSpace = Info::real(layout, Info::vLabelSpace);
    const double pageWidth = Info::real(layout, Info::pageWidth);
    const double pageHeight = Info::real(layout, Info::pageHeight);

    // A letterhead page already in the wanted shape stays as it is.
    const bool keepShape =
        isLetterhead(cardType) && ((toLandscape && w > h) || (!toLandscape && h > w));
    if (!keepShape) {
        layout.insert(Info::labelWidth, h);
        layout.insert(Info::labelHeight, w);
    }

    double newTop = left;
    double newLeft = top;
    if (rows != 0 && columns != 0 && !isFullSheet(cardType)) {
        const QSizeF page = LBLayoutSheetController::pixelDimensionsForPaper(layout);
        const double shortSide = std::min(page.width(), page.height());
        // The margin that comes to the top (or left) is the one that was on the right (or
        // at the bottom).
        if (toLandscape)
            newTop = shortSide - double(columns) * w - double(columns - 1) * hSpace - left;
        else
            newLeft = shortSide - double(rows) * h - double(rows - 1) * vSpace - top;
    }
    layout.insert(Info::topMargin, newTop);
    layout.insert(Info::leftMargin, newLeft);
    layout.insert(Info::numRows, columns);
    layout.insert(Info::numColumns, rows);
    layout.insert(Info::hLabelSpace, vSpace);
    layout.insert(Info::vLabelSpace, hSpace);
    if (pageWidth != 0) {
        layout.insert(Info::pageWidth, pageHeight);
        layout.insert(Info::pageHeight, pageWidth);
    }
}

bool LBPaperSizeController::labelsOverflowPage(const QVariantMap& layout)
{
    // An envelope or letterhead is one label the size of its paper: it has no grid to run
    // off the page, but a paper of no size (a width typed as 0, or as no number) would make
    // a document with no page at all.
    if (isFullSheet(Info::integer(layout, Info::labelType)))
        return Info::real(layout, Info::labelWidth) <= 0
               || Info::real(layout, Info::labelHeight) <= 0;
    QSizeF page(Info::real(layout, Info::pageWidth), Info::real(layout, Info::pageHeight));
    if (page.width() == 0 || page.height() == 0)
        page = LBLayoutSheetController::pixelDimensionsForPaper(layout);
    const qint64 rows = Info::integer(layout, Info::numRows);
    const qint64 columns = Info::integer(layout, Info::numColumns);
    const double w = Info::real(layout, Info::labelWidth);
    const double h = Info::real(layout, Info::labelHeight);
    const double left = Info::real(layout, Info::leftMargin);
    const double top = Info::real(layout, Info::topMargin);
    // A grid without rows, columns or label size cannot be laid out at all.
    if (rows < 1 || columns < 1 || w <= 0 || h <= 0)
        return true;
    const bool fits =
        double(columns - 1) * Info::real(layout, Info::hLabelSpace) + double(columns) * w + left
            <= page.width() + 0.01
        && double(rows - 1) * Info::real(layout, Info::vLabelSpace) + double(rows) * h + top
               <= page.height() + 0.01
        && left >= 0 && top >= 0;
    return !fits;
}

// ==== The view =============================================================================

QWidget* LBPaperSizeController::mainView()
{
    ensureView();
    return _mainView;
}

void LBPaperSizeController::ensureView()
{
    if (_mainView)
        return;
    buildView();
    if (_loaded)
        loadIntoControls(-1);
}

void LBPaperSizeController::buildView()
{
    _mainView = new QWidget;
    _mainView->setObjectName(QStringLiteral("PaperSizeL"));
    auto* column = new QVBoxLayout(_mainView);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    auto* paperBlock = new QWidget(_mainView);
    paperBlock->setFixedHeight(int(paperBlockHeight));
    auto* paperGrid = new QGridLayout(paperBlock);
    auto addLabel = [](QGridLayout* grid, const QString& key, int row, int col) {
        auto* label = new QLabel(sheetString(key));
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        grid->addWidget(label, row, col);
    };

    addLabel(paperGrid, QStringLiteral("Layout Type:"), 0, 0);
    _cardTypePopup = new QComboBox(paperBlock);
    for (const char* title : {"Labels", "Rounded Labels", "Envelope", "Letterhead"})
        _cardTypePopup->addItem(sheetString(QString::fromLatin1(title)));
    paperGrid->addWidget(_cardTypePopup, 0, 1, 1, 3);

    auto* orientation = new QWidget(paperBlock);
    auto* orientationRow = new QHBoxLayout(orientation);
    orientationRow->setContentsMargins(0, 0, 0, 0);
    auto makeOrientation = [&](const QString& key, bool landscape) {
        auto* button = new QToolButton(orientation);
        button->setCheckable(true);
        button->setText(sheetString(key));
        button->setToolButtonStyle(Qt::ToolButtonTextOnly);
        orientationRow->addWidget(button);
        QObject::connect(button, &QToolButton::clicked, _mainView,
                         [this, landscape] { orientationButtonAction(landscape); });
        return button;
    };
    addLabel(paperGrid, QStringLiteral("Orientation:"), 1, 0);
    _portraitButton = makeOrientation(QStringLiteral("Portrait"), false);
    _landscapeButton = makeOrientation(QStringLiteral("Landscape"), true);
    orientationRow->addStretch();
    paperGrid->addWidget(orientation, 1, 1, 1, 3);

    addLabel(paperGrid, QStringLiteral("Units:"), 2, 0);
    _unitsPopup = new QComboBox(paperBlock);
    for (const char* title : {"Inches", "Millimeters", "Points"})
        _unitsPopup->addItem(sheetString(QString::fromLatin1(title)));
    paperGrid->addWidget(_unitsPopup, 2, 1, 1, 3);

    _paperSizeText = new QLabel(paperBlock);
    _paperSizeText->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    paperGrid->addWidget(_paperSizeText, 3, 0);
    _paperSizePopup = new QComboBox(paperBlock);
    paperGrid->addWidget(_paperSizePopup, 3, 1, 1, 3);

    auto makeField = [this](Field which, QWidget* parent) {
        auto* field = new QLineEdit(parent);
        field->setObjectName(QStringLiteral("field%1").arg(int(which)));
        field->setMaximumWidth(90);
        _fields[which] = field;
        QObject::connect(field, &QLineEdit::textEdited, _mainView, [this, which] {
            if (!_updating)
                controlTextDidChange(which);
        });
        return field;
    };
    auto addFieldPair = [&](QGridLayout* grid, int row, const QString& first, Field a,
                            const QString& second, Field b, QWidget* parent) {
        addLabel(grid, first, row, 0);
        grid->addWidget(makeField(a, parent), row, 1);
        addLabel(grid, second, row, 2);
        grid->addWidget(makeField(b, parent), row, 3);
    };
    addFieldPair(paperGrid, 4, QStringLiteral("Paper Width:"), PaperWidthField,
                 QStringLiteral("Paper Height:"), PaperHeightField, paperBlock);
    column->addWidget(paperBlock);

    _nonEnvelopeControls = new QWidget(_mainView);
    auto* labelColumn = new QVBoxLayout(_nonEnvelopeControls);
    labelColumn->setContentsMargins(0, 0, 0, 0);
    auto* labelGrid = new QGridLayout;
    addFieldPair(labelGrid, 0, QStringLiteral("Label Width:"), LabelWidthField,
                 QStringLiteral("Label Height:"), LabelHeightField, _nonEnvelopeControls);
    addFieldPair(labelGrid, 1, QStringLiteral("Rows:"), RowsField, QStringLiteral("Columns:"),
                 ColumnsField, _nonEnvelopeControls);
    addFieldPair(labelGrid, 2, QStringLiteral("Top Margin:"), TopMarginField,
                 QStringLiteral("Left Margin:"), LeftMarginField, _nonEnvelopeControls);
    addFieldPair(labelGrid, 3, QStringLiteral("Horizontal Gap:"), HSpaceField,
                 QStringLiteral("Vertical Gap:"), VSpaceField, _nonEnvelopeControls);
    labelColumn->addLayout(labelGrid);
    _cornerRadiusControls = new QWidget(_nonEnvelopeControls);
    _cornerRadiusControls->setFixedHeight(int(cornerRowHeight));
    auto* cornerGrid = new QGridLayout(_cornerRadiusControls);
    cornerGrid->setContentsMargins(0, 0, 0, 0);
    addLabel(cornerGrid, QStringLiteral("Corner Radius:"), 0, 0);
    cornerGrid->addWidget(makeField(CornerRadiusField, _cornerRadiusControls), 0, 1);
    cornerGrid->setColumnStretch(2, 1);
    labelColumn->addWidget(_cornerRadiusControls);
    labelColumn->addStretch();
    column->addWidget(_nonEnvelopeControls);
    column->addStretch();

    QObject::connect(_cardTypePopup, &QComboBox::activated, _mainView,
                     [this](int index) { cardTypePopupAction(index); });
    QObject::connect(_unitsPopup, &QComboBox::activated, _mainView,
                     [this](int index) { unitPopupAction(index); });
    QObject::connect(_paperSizePopup, &QComboBox::activated, _mainView,
                     [this](int index) { paperSizePopupAction(index); });

    for (QLineEdit* field : _fields)
        field->setText(QStringLiteral("0"));
    _paperFieldsEditable = true; // made read-only below until "Custom" is chosen
    _envelopePopup = true;
    fillPaperPopup(false);
    _labelBlockShown = true;
    // Starts without the corner row: only rounded labels have one.
    _cornerRadiusShown = true;
    _cornerRadiusControls->setVisible(false);
    _cornerRadiusShown = false;
    _unitsPopup->setCurrentIndex(int(_unitType));
    updatePaperSizeFields();
    _mainView->setFixedHeight(int(mainViewHeight()));
}

QLineEdit* LBPaperSizeController::field(Field which)
{
    ensureView();
    return _fields[which];
}
QComboBox* LBPaperSizeController::paperSizePopup()
{
    ensureView();
    return _paperSizePopup;
}
QComboBox* LBPaperSizeController::unitsPopup()
{
    ensureView();
    return _unitsPopup;
}
QComboBox* LBPaperSizeController::cardTypePopup()
{
    ensureView();
    return _cardTypePopup;
}
QAbstractButton* LBPaperSizeController::portraitButton()
{
    ensureView();
    return _portraitButton;
}
QAbstractButton* LBPaperSizeController::landscapeButton()
{
    ensureView();
    return _landscapeButton;
}
QString LBPaperSizeController::paperSizeCaption()
{
    ensureView();
    return _paperSizeText->text();
}
bool LBPaperSizeController::cornerRadiusShown()
{
    ensureView();
    return _cornerRadiusShown;
}
bool LBPaperSizeController::labelBlockShown()
{
    ensureView();
    return _labelBlockShown;
}

double LBPaperSizeController::mainViewHeight() const
{
    double height = paperBlockHeight;
    if (_labelBlockShown)
        height += labelBlockHeight + (_cornerRadiusShown ? cornerRowHeight : 0);
    return height;
}

void LBPaperSizeController::heightChanged()
{
    _mainView->setFixedHeight(int(mainViewHeight()));
    _mainView->update();
    if (_controller)
        _controller->mainViewChangedSize(mainViewHeight());
}

// ==== Loading ==============================================================================

void LBPaperSizeController::setDimensionInfo(const QVariantMap& info)
{
    ensureView();
    const qint64 previous = _loaded ? Info::integer(_dimensionInfo, Info::labelType) : -1;
    _dimensionInfo = info;
    _loaded = true;
    QVariantMap& layout = _dimensionInfo;
    const QString category = Info::text(layout, Info::category);

    if (category == discLabels) {
        // The pane edits grids: a disc sheet becomes one label the size of the page, a
        // label sheet like any other, upright or turned by the page's shape.
        for (const QString& key :
             {Info::labels, QStringLiteral("foldLines"), Info::paperCode, Info::paperManufacturer})
            layout.remove(key);
        const QSizeF page = LBLayoutSheetController::pixelDimensionsForPaper(layout);
        layout.insert(Info::numRows, 1);
        layout.insert(Info::numColumns, 1);
        layout.insert(Info::labelWidth, page.width());
        layout.insert(Info::labelHeight, page.height());
        layout.insert(Info::labelType, page.width() > page.height() ? 2 : 1);
    }
    if (category == envelopes || category == letterhead) {
        layout.insert(Info::numRows, 1);
        layout.insert(Info::numColumns, 1);
        for (const QString& key :
             {Info::topMargin, Info::leftMargin, Info::hLabelSpace, Info::vLabelSpace,
              Info::cornerRadius, Info::innerDiameter, Info::outerDiameter})
            layout.insert(key, 0.0);
    }

    const QString paper = Info::text(layout, Info::paperSize);
    auto startsWithAny = [&paper](std::initializer_list<const char*> names) {
        return std::any_of(names.begin(), names.end(), [&paper](const char* name) {
            return paper.startsWith(QLatin1String(name));
        });
    };
    if (startsWithAny({"Letter", "Letter1", "Letter2", "Legal", "Tabloid", "4x6 in"})) {
        _unitType = Inches;
    } else if (startsWithAny({"A3", "A4", "A4-Long", "A5", "B4 JIS", "B5", "A4-Half"})) {
        _unitType = Millimetres;
    } else {
        const qint64 stored =
            platform::UserDefaults::standardUserDefaults().integerForKey(unitDefaultKey);
        _unitType = stored == 0 ? Inches : stored == 1 ? Millimetres : Points;
    }

    if (Info::integer(layout, Info::labelType) == 0) {
        layout.insert(Info::labelType, category == envelopes    ? 5
                                       : category == letterhead ? 7
                                       : category == discLabels ? 17
                                                                : 1);
    }
    loadIntoControls(previous);
}

void LBPaperSizeController::loadIntoControls(qint64 previousCardType)
{
    _unitsPopup->setCurrentIndex(int(_unitType));
    const qint64 type = Info::integer(_dimensionInfo, Info::labelType);
    updateOrientationButtons();
    updateDimensionFields(false);
    toggleControlsForNewCardType(type, previousCardType);
    selectCardTypeItem(type);
    _paperSizePopup->setCurrentIndex(pageSizePopupIndexForPaper());
    updatePaperSizeFields();
}

QVariantMap LBPaperSizeController::dimensionInfo()
{
    if (_loaded) {
        ensureView();
        saveDimensions();
    }
    return _dimensionInfo;
}

// ==== Fields ===============================================================================

double LBPaperSizeController::fieldValue(Field which)
{
    return parseField(_fields[which]->text());
}

void LBPaperSizeController::showValue(Field which, double value)
{
    const bool count = which == RowsField || which == ColumnsField;
    const QString text = count ? QString::number(qint64(value)) : formatLength(value);
    const bool wasUpdating = _updating;
    _updating = true;
    _fields[which]->setText(text);
    _updating = wasUpdating;
    _orig[which] = parseField(text);
}

void LBPaperSizeController::deselectAllFields()
{
    QWidget* focused = _mainView ? _mainView->window()->focusWidget() : nullptr;
    if (focused && _mainView->isAncestorOf(focused))
        focused->clearFocus();
}

void LBPaperSizeController::setLandscape(bool landscape)
{
    _landscapeButton->setChecked(landscape);
    _portraitButton->setChecked(!landscape);
    _landscapeButtonSelected = landscape;
}

void LBPaperSizeController::updateOrientationButtons()
{
    setLandscape(!isPortrait(Info::integer(_dimensionInfo, Info::labelType)));
}

QSizeF LBPaperSizeController::paperSizeForDimensionsDict() const
{
    if (Info::text(_dimensionInfo, Info::category) != envelopes) {
        const QSizeF page = LBLayoutSheetController::pixelDimensionsForPaper(_dimensionInfo);
        if (page.width() != 0)
            return page;
    }
    return QSizeF(Info::real(_dimensionInfo, Info::labelWidth),
                  Info::real(_dimensionInfo, Info::labelHeight));
}

void LBPaperSizeController::updateDimensionFields(bool saveFirst)
{
    if (saveFirst)
        saveDimensions();
    const qint64 type = Info::integer(_dimensionInfo, Info::labelType);
    selectCardTypeItem(type);
    const double factor = unitFactor(_unitType);
    const QSizeF paper = paperSizeForDimensionsDict();
    const double longSide = std::max(paper.width(), paper.height());
    const double shortSide = std::min(paper.width(), paper.height());
    showValue(PaperWidthField, (_landscapeButtonSelected ? longSide : shortSide) / factor);
    showValue(PaperHeightField, (_landscapeButtonSelected ? shortSide : longSide) / factor);
    const std::pair<Field, const QString&> lengths[] = {
        {LabelWidthField, Info::labelWidth},    {LabelHeightField, Info::labelHeight},
        {TopMarginField, Info::topMargin},      {LeftMarginField, Info::leftMargin},
        {HSpaceField, Info::hLabelSpace},       {VSpaceField, Info::vLabelSpace},
        {CornerRadiusField, Info::cornerRadius}};
    for (const auto& [which, key] : lengths)
        showValue(which, Info::real(_dimensionInfo, key) / factor);
    showValue(RowsField, double(Info::integer(_dimensionInfo, Info::numRows)));
    showValue(ColumnsField, double(Info::integer(_dimensionInfo, Info::numColumns)));
    updateOrientationButtons();
    updatePreviewImage();
}

void LBPaperSizeController::saveDimensions()
{
    const double factor = unitFactor(_unitType);
    const qint64 type = cardType();
    QVariantMap& layout = _dimensionInfo;
    std::array<double, FieldCount> read{};
    for (int i = 0; i < FieldCount; ++i)
        read[i] = fieldValue(Field(i));
    auto changed = [&](Field which) { return read[which] != _orig[which]; };

    const double pw = read[PaperWidthField];
    const double ph = read[PaperHeightField];
    bool customPage = false;
    if (changed(PaperWidthField) || changed(PaperHeightField)) {
        layout.insert(Info::paperSize, QStringLiteral("Custom"));
        customPage = true;
    }
    // On envelopes and letterhead the label is the paper.
    if (isFullSheet(type)) {
        read[LabelWidthField] = pw;
        read[LabelHeightField] = ph;
    }
    layout.insert(Info::labelType, type);
    if (isLetterhead(type))
        layout.insert(Info::category, letterhead);
    else if (isEnvelope(type))
        layout.insert(Info::category, envelopes);
    else if (type < 5)
        layout.insert(Info::category, addressLabels);

    if (pw != 0 && (changed(PaperWidthField) || customPage))
        layout.insert(Info::pageWidth, pw * factor);
    if (ph != 0 && (changed(PaperHeightField) || customPage))
        layout.insert(Info::pageHeight, ph * factor);

    const std::pair<Field, const QString&> lengths[] = {
        {LabelWidthField, Info::labelWidth},    {LabelHeightField, Info::labelHeight},
        {TopMarginField, Info::topMargin},      {LeftMarginField, Info::leftMargin},
        {HSpaceField, Info::hLabelSpace},       {VSpaceField, Info::vLabelSpace},
        {CornerRadiusField, Info::cornerRadius}};
    for (const auto& [which, key] : lengths) {
        // Untouched values keep their stored precision.
        const Field compareWith = isFullSheet(type) && which == LabelWidthField ? PaperWidthField
                                  : isFullSheet(type) && which == LabelHeightField
                                      ? PaperHeightField
                                      : which;
        if (read[which] != _orig[compareWith])
            layout.insert(key, read[which] * factor);
    }
    layout.insert(Info::numRows, qint64(read[RowsField]));
    layout.insert(Info::numColumns, qint64(read[ColumnsField]));
    _orig = read;
    if (isFullSheet(type)) {
        _orig[LabelWidthField] = parseField(_fields[LabelWidthField]->text());
        _orig[LabelHeightField] = parseField(_fields[LabelHeightField]->text());
    }
}

void LBPaperSizeController::controlTextDidChange(Field which)
{
    const double factor = unitFactor(_unitType);
    if (which == CornerRadiusField) {
        const double half = std::min(Info::real(_dimensionInfo, Info::labelWidth),
                                     Info::real(_dimensionInfo, Info::labelHeight))
                            / 2.0;
        if (fieldValue(CornerRadiusField) * factor > half) {
            const bool wasUpdating = _updating;
            _updating = true;
            _fields[CornerRadiusField]->setText(formatLength(half / factor));
            _updating = wasUpdating;
        }
    } else if (which == PaperWidthField || which == PaperHeightField) {
        // The orientation follows the shape of the paper typed.
        const double width = fieldValue(PaperWidthField);
        const double height = fieldValue(PaperHeightField);
        if (width > height && !_landscapeButtonSelected)
            setLandscape(true);
        else if (height >= width && _landscapeButtonSelected)
            setLandscape(false);
    }
    saveDimensions();
    updatePreviewImage();
}

// ==== Paper pop-up =========================================================================

void LBPaperSizeController::fillPaperPopup(bool envelopeList)
{
    _envelopePopup = envelopeList;
    _paperSizePopup->clear();
    _paperSizePopup->addItems(envelopeList
                                  ? envelopeTitles()
                                  : QStringList{QStringLiteral("US Letter"), QStringLiteral("A4")});
    _paperSizePopup->insertSeparator(_paperSizePopup->count());
    _paperSizePopup->addItem(sheetString(QStringLiteral("Custom")));
    _paperSizeText->setText(sheetString(envelopeList ? QStringLiteral("Envelope Size:")
                                                     : QStringLiteral("Paper Size:")));
}

int LBPaperSizeController::pageSizePopupIndexForPaper()
{
    const int custom = _paperSizePopup->count() - 1;
    const qint64 type = Info::integer(_dimensionInfo, Info::labelType);
    const bool envelope = isEnvelope(type);
    const QString wanted = Info::text(_dimensionInfo, envelope ? Info::paperCode : Info::paperSize);
    if (wanted.isEmpty())
        return custom;
    for (int i = 0; i < _paperSizePopup->count(); ++i) {
        const QString title = _paperSizePopup->itemText(i);
        if (title.isEmpty() || !title.contains(wanted))
            continue;
        if (envelope)
            return i;
        // A standard name counts only with its standard size.
        const QSizeF paper = paperSizeForDimensionsDict();
        if (title.contains(QLatin1String("Letter")))
            return samePaper(paper, letterSize) ? i : custom;
        if (title.contains(QLatin1String("A4")))
            return samePaper(paper, a4Size) ? i : custom;
        return i;
    }
    return custom;
}

void LBPaperSizeController::paperSizePopupAction(int index)
{
    ensureView();
    deselectAllFields();
    _paperSizePopup->setCurrentIndex(index);
    const int custom = _paperSizePopup->count() - 1;
    if (index == custom) {
        _dimensionInfo.remove(Info::paperCode);
        updatePaperSizeFields();
        return;
    }
    const qint64 type = Info::integer(_dimensionInfo, Info::labelType);
    if (isEnvelope(type) && index <= 24) {
        double width = 0;
        double height = 0;
        envelopeSizeAtIndex(index, &width, &height);
        const QSizeF page = type == 5 ? QSizeF(height, width) : QSizeF(width, height);
        _dimensionInfo.insert(Info::paperSize, index >= 6 && index <= 21
                                                   ? QStringLiteral("A4")
                                                   : QStringLiteral("Letter"));
        _dimensionInfo.insert(Info::pageWidth, page.width());
        _dimensionInfo.insert(Info::pageHeight, page.height());
        _dimensionInfo.insert(Info::labelWidth, page.width());
        _dimensionInfo.insert(Info::labelHeight, page.height());
        updateDimensionFields(false);
    } else if ((type < 5 && (index == 0 || index == 1))
               || (isLetterhead(type) && (index == 0 || index == 1))) {
        const QSizeF size = index == 0 ? letterSize : a4Size;
        _dimensionInfo.insert(Info::paperSize,
                              index == 0 ? QStringLiteral("Letter") : QStringLiteral("A4"));
        // Landscape lays the long side across, letterhead included.
        const QSizeF page = _landscapeButtonSelected ? size.transposed() : size;
        _dimensionInfo.insert(Info::pageWidth, page.width());
        _dimensionInfo.insert(Info::pageHeight, page.height());
        if (isLetterhead(type)) {
            _dimensionInfo.insert(Info::labelWidth, page.width());
            _dimensionInfo.insert(Info::labelHeight, page.height());
        }
        updateDimensionFields(false);
    }
    _dimensionInfo.insert(Info::paperCode, _paperSizePopup->itemText(index));
    updatePaperSizeFields();
}

void LBPaperSizeController::updatePaperSizeFields()
{
    const bool custom = _paperSizePopup->currentIndex() == _paperSizePopup->count() - 1;
    if (custom == _paperFieldsEditable)
        return;
    _paperFieldsEditable = custom;
    for (Field which : {PaperWidthField, PaperHeightField}) {
        QLineEdit* field = _fields[which];
        // A standard paper shows its size as plain text.
        field->setReadOnly(!custom);
        field->setFrame(custom);
        field->setStyleSheet(custom ? QString()
                                    : QStringLiteral("QLineEdit { background: transparent; }"));
        field->setFocusPolicy(custom ? Qt::StrongFocus : Qt::NoFocus);
    }
    if (!custom)
        deselectAllFields();
}

// ==== Units, card type and orientation =====================================================

void LBPaperSizeController::unitPopupAction(int index)
{
    ensureView();
    deselectAllFields();
    saveDimensions();
    _unitType = index == 0 ? Inches : index == 1 ? Millimetres : Points;
    _unitsPopup->setCurrentIndex(int(_unitType));
    updateDimensionFields(false);
    platform::UserDefaults::standardUserDefaults().setInteger(index, unitDefaultKey);
}

void LBPaperSizeController::selectCardTypeItem(qint64 code)
{
    // The fifth kind is offered only to the layouts that have it.
    const int item = popupIndexForCardType(code);
    if (item == 4 && _cardTypePopup->count() == 4)
        _cardTypePopup->addItem(sheetString(QStringLiteral("Other")));
    else if (item != 4 && _cardTypePopup->count() == 5)
        _cardTypePopup->removeItem(4);
    _cardTypePopup->setCurrentIndex(item);
}

qint64 LBPaperSizeController::cardType()
{
    ensureView();
    return cardTypeForItem(_cardTypePopup->currentIndex(), _landscapeButtonSelected);
}

void LBPaperSizeController::cardTypePopupAction(int index)
{
    ensureView();
    deselectAllFields();
    _cardTypePopup->setCurrentIndex(index);
    const qint64 newType = cardType();
    const qint64 oldType = Info::integer(_dimensionInfo, Info::labelType);
    if (newType == oldType)
        return;
    QVariantMap& layout = _dimensionInfo;
    if (!Info::hasRoundedCorners(newType))
        layout.insert(Info::cornerRadius, 0.0);
    if (!isEnvelope(newType)) {
        layout.insert(Info::innerDiameter, 0.0);
        layout.insert(Info::outerDiameter, 0.0);
    }

    if (isFullSheet(oldType) && !isFullSheet(newType)) {
        toggleControlsForNewCardType(newType, oldType);
        // The standard address-label sheet, plain or rounded as chosen.
        const QVariantMap sheet{{Info::labelWidth, 288.0},
                                {Info::labelHeight, 108.0},
                                {Info::numRows, 7},
                                {Info::numColumns, 2},
                                {Info::topMargin, 18.0},
                                {Info::leftMargin, 11.232},
                                {Info::hLabelSpace, 13.536},
                                {Info::vLabelSpace, 0.0},
                                {Info::pageWidth, 612.0},
                                {Info::pageHeight, 792.0},
                                {Info::category, addressLabels},
                                {Info::paperSize, QStringLiteral("Letter")}};
        layout.insert(sheet);
        layout.insert(Info::labelType, Info::hasRoundedCorners(newType) ? 3 : 1);
        layout.remove(Info::description);
        setLandscape(false);
        updateDimensionFields(false);
    } else if (!isEnvelope(oldType) && isEnvelope(newType)) {
        toggleControlsForNewCardType(newType, oldType);
        const QVariantMap envelope{{Info::labelType, 5},
                                   {Info::labelWidth, 684.0},
                                   {Info::pageWidth, 684.0},
                                   {Info::labelHeight, 297.0},
                                   {Info::pageHeight, 297.0},
                                   {Info::category, envelopes},
                                   {Info::description, QStringLiteral("Envelope")},
                                   {Info::paperSize, QStringLiteral("Letter")},
                                   {Info::paperCode, QStringLiteral("Size 10")}};
        layout.insert(envelope);
        setLandscape(true);
        updateDimensionFields(false);
    } else if (!isLetterhead(oldType) && isLetterhead(newType)) {
        toggleControlsForNewCardType(newType, oldType);
        const QVariantMap page{{Info::labelType, 7},
                               {Info::labelWidth, 612.0},
                               {Info::labelHeight, 792.0},
                               {Info::category, letterhead},
                               {Info::description, letterhead},
                               {Info::paperSize, QStringLiteral("Letter")},
                               {Info::paperCode, QStringLiteral("US Letter")}};
        layout.insert(page);
        layout.remove(Info::pageWidth);
        layout.remove(Info::pageHeight);
        setLandscape(false);
        updateDimensionFields(false);
    } else if (rotationClass(oldType) != 0 && rotationClass(newType) != 0
               && rotationClass(oldType) != rotationClass(newType)) {
        saveDimensions();
        rotatePaperDict(layout, _landscapeButtonSelected, cardType());
        updateDimensionFields(false);
        toggleControlsForNewCardType(newType, oldType);
    } else {
        toggleControlsForNewCardType(newType, oldType);
    }
    _paperSizePopup->setCurrentIndex(pageSizePopupIndexForPaper());
    updatePaperSizeFields();
    updatePreviewImage();
}

void LBPaperSizeController::orientationButtonAction(bool landscapeButton)
{
    ensureView();
    deselectAllFields();
    QAbstractButton* sender = landscapeButton ? _landscapeButton : _portraitButton;
    // A click on the button that was already on has just turned it off: it stays on.
    if (!sender->isChecked()) {
        sender->setChecked(true);
        return;
    }
    setLandscape(landscapeButton);
    cardTypePopupAction(_cardTypePopup->currentIndex());
}

// ==== Control groups =======================================================================

void LBPaperSizeController::showCornerRadius(bool show)
{
    _cornerRadiusControls->setVisible(show);
    _cornerRadiusShown = show;
    if (!show)
        showValue(CornerRadiusField, 0.0);
    heightChanged();
}

void LBPaperSizeController::showNonEnvelopeControls(bool show)
{
    _nonEnvelopeControls->setVisible(show);
    _labelBlockShown = show;
    heightChanged();
}

void LBPaperSizeController::toggleControlsForNewCardType(qint64 newType, qint64 oldType)
{
    const bool roundedChanged =
        Info::hasRoundedCorners(oldType) != Info::hasRoundedCorners(newType);
    const bool fullSheetChanged = isFullSheet(oldType) != isFullSheet(newType);
    if (!(roundedChanged && fullSheetChanged)) {
        if (roundedChanged)
            showCornerRadius(Info::hasRoundedCorners(newType));
        if (fullSheetChanged)
            showNonEnvelopeControls(!isFullSheet(newType));
    } else if (isFullSheet(newType)) {
        // Out of sight with its block; its field keeps its value.
        _cornerRadiusControls->setVisible(false);
        _cornerRadiusShown = false;
        showNonEnvelopeControls(false);
    } else {
        showNonEnvelopeControls(true);
        showCornerRadius(Info::hasRoundedCorners(newType));
    }
    _dimensionInfo.insert(Info::labelType, newType);

    if (isEnvelope(newType)) {
        if (!isEnvelope(oldType) || !_envelopePopup)
            fillPaperPopup(true);
        _paperSizePopup->setCurrentIndex(pageSizePopupIndexForPaper());
        updatePaperSizeFields();
    } else if (isLetterhead(newType)) {
        if (!isLetterhead(oldType) || _envelopePopup) {
            fillPaperPopup(false);
            _paperSizePopup->setCurrentIndex(pageSizePopupIndexForPaper());
            updatePaperSizeFields();
        }
    } else if (isFullSheet(oldType) || _envelopePopup) {
        fillPaperPopup(false);
    }
}

// ==== Miniature ============================================================================

void LBPaperSizeController::updatePreviewImage()
{
    QVariantMap card = _dimensionInfo;
    const qint64 type = cardType();
    qint64 projectType = LBLayoutSheetController::AddressLabelsProject;
    if (isFullSheet(type)) {
        projectType = isEnvelope(type) ? LBLayoutSheetController::EnvelopesProject
                                       : LBLayoutSheetController::LetterheadProject;
        card.insert(Info::numRows, 1);
        card.insert(Info::numColumns, 1);
        for (const QString& key :
             {Info::leftMargin, Info::topMargin, Info::hLabelSpace, Info::vLabelSpace})
            card.insert(key, 0.0);
    }
    // The miniature is drawn upright; the chooser turns it.
    if (_landscapeButtonSelected)
        rotatePaperDict(card, false, type);
    _previewImage =
        LBLayoutSheetController::previewImageForCard(card, projectType, _landscapeButtonSelected);
    card.insert(Info::labelType, type);
    // A paper field typed empty, as 0 or as no number leaves the page as it was (or, for an
    // envelope, of no size): the layout cannot be chosen until both fields hold a size.
    const bool noPaper = fieldValue(PaperWidthField) <= 0 || fieldValue(PaperHeightField) <= 0;
    _labelsOverflow = noPaper || labelsOverflowPage(card);
    // A grid without rows or columns, or of labels of no size, has nothing that could fit:
    // the warning names what to type instead.
    QString warning = QStringLiteral("The labels do not fit on the page.");
    if (noPaper || isFullSheet(type))
        warning = QStringLiteral("Type a paper width and height greater than 0.");
    else if (Info::integer(card, Info::numRows) < 1 || Info::integer(card, Info::numColumns) < 1)
        warning = QStringLiteral("Type at least one row and one column.");
    else if (Info::real(card, Info::labelWidth) <= 0 || Info::real(card, Info::labelHeight) <= 0)
        warning = QStringLiteral("Type a label width and height greater than 0.");
    _overflowWarning = LBLayoutSheetController::layoutSheetString(warning);
    if (_controller)
        _controller->paperSizeDidChange();
}
