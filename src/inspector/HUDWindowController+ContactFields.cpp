// The Contact Fields pane (how merged text may be fitted into its box), the Text Position
// pane (where text along a shape's outline starts), the Barcode pane (where a barcode's
// text comes from) and the shape modifier pane (sides or points).

#include "canvas/LBGraphicView.h"
#include "graphics/LBTextArea.h"
#include "inspector/HUDControls.h"
#include "inspector/HUDTextPanes.h"
#include "inspector/HUDTextTools.h"
#include "inspector/HUDWindowController.h"
#include "platform/core/Strings.h"
#include "platform/ui/Alert.h"
#include "shapes/LBBarcodeImage.h"
#include "shapes/LBModifiedShape.h"
#include "shapes/LBShape.h"

#include <QAction>
#include <QMenu>
#include <QPushButton>
#include <QSignalBlocker>

#include <cmath>

namespace {

QString hudText(const char* key)
{
    return platform::LocalizedString(QLatin1String(key), QStringLiteral("HUD Tools"));
}

QString fieldText(const QString& key)
{
    return platform::LocalizedString(key, QStringLiteral("FieldStrings"));
}

// The state of a yes-or-no value over the graphics: 1 all, 0 none, -1 some.
template <typename Test>
int commonState(const QList<LBGraphicPtr>& graphics, Test test)
{
    int yes = 0, count = 0;
    for (const LBGraphicPtr& graphic : graphics) {
        ++count;
        if (test(graphic.get()))
            ++yes;
    }
    return yes == 0 ? 0 : yes == count ? 1 : -1;
}

// Selects the item at index (none for -1).
void selectItemAtIndex(HUDPopUpButton* popup, qint64 index)
{
    const QList<QAction*> items = popup->itemMenu()->actions();
    popup->selectItem(index >= 0 && index < items.size() ? items.at(index) : nullptr);
}

} // namespace

// --- Contact Fields ---

HUDContactFieldTools::HUDContactFieldTools(HUDWindowController& controller)
    : _controller(controller)
{
    resize(230, 126);
    auto* title = new HUDLabel(hudText("Resize box to fit text:"), this);
    title->setGeometry(8, 4, 214, 16);
    const std::array<std::pair<HUDMixedCheckbox**, const char*>, 7> boxes = {
        std::pair{&_leftSideSwitch, "Left Side"},
        std::pair{&_rightSideSwitch, "Right Side"},
        std::pair{&_topSideSwitch, "Top Side"},
        std::pair{&_bottomSideSwitch, "Bottom Side"},
        std::pair{&_reduceFontSwitch, "Reduce Font Size"},
        std::pair{&_increaseFontSwitch, "Increase Font Size"},
        std::pair{&_increaseSpacingSwitch, "Increase Line Spacing"}};
    for (size_t i = 0; i < boxes.size(); ++i) {
        auto* box = new HUDMixedCheckbox(hudText(boxes[i].second), this);
        // The four sides in two columns, the font options below them.
        if (i < 4)
            box->setGeometry(i % 2 == 0 ? 10 : 118, 24 + int(i / 2) * 20, 106, 18);
        else
            box->setGeometry(10, 66 + int(i - 4) * 20, 212, 18);
        *boxes[i].first = box;
        connect(box, &QCheckBox::clicked, this, [this, box] { contactFieldToolsAction(box); });
    }
}

std::array<HUDMixedCheckbox*, 7> HUDContactFieldTools::switches() const
{
    return {_leftSideSwitch,   _rightSideSwitch,    _topSideSwitch,        _bottomSideSwitch,
            _reduceFontSwitch, _increaseFontSwitch, _increaseSpacingSwitch};
}

void HUDContactFieldTools::updateContactFieldTools()
{
    const QList<LBGraphicPtr>& graphics = _controller.selectedGraphics();
    if (!_controller.graphicView() || graphics.isEmpty())
        return;
    const std::array<HUDMixedCheckbox*, 7> boxes = switches();
    for (size_t i = 0; i < boxes.size(); ++i) {
        const quint64 bit = HUDTextTools::contactFieldBits[i];
        boxes[i]->setState(commonState(graphics, [bit](const LBGraphic* g) {
            auto* text = dynamic_cast<const LBTextArea*>(g);
            return text && (text->textResizeMask() & bit);
        }));
    }
}

void HUDContactFieldTools::contactFieldToolsAction(QObject* sender)
{
    const std::array<HUDMixedCheckbox*, 7> boxes = switches();
    int index = -1;
    HUDTextTools::ContactSwitches states{};
    for (size_t i = 0; i < boxes.size(); ++i) {
        states[i] = boxes[i]->state();
        if (boxes[i] == sender)
            index = int(i);
    }
    if (index < 0)
        return;
    const quint64 mask = HUDTextTools::contactFieldRule(states, index);
    for (size_t i = 0; i < boxes.size(); ++i)
        boxes[i]->setState(states[i]);
    _controller.applyToSelection(
        [mask](LBGraphic& graphic) {
            if (auto* text = dynamic_cast<LBTextArea*>(&graphic))
                text->setTextResizeMask(mask);
        },
        QStringLiteral("Contact Field Settings"));
}

// --- Text Position ---

HUDShapeWithTextTools::HUDShapeWithTextTools(HUDWindowController& controller)
    : _controller(controller)
{
    resize(230, 58);
    auto* label = new HUDLabel(hudText("Start"), this);
    label->setGeometry(6, 6, 40, 20);
    _shapeWithTextXLocSlider = new HUDSlider(this);
    _shapeWithTextXLocSlider->setOrientation(Qt::Horizontal);
    _shapeWithTextXLocSlider->setRange(0, sliderSteps);
    _shapeWithTextXLocSlider->setGeometry(48, 6, 130, 20);
    _shapeWithTextXLocField = new HUDLabel(QStringLiteral("0%"), this);
    _shapeWithTextXLocField->setGeometry(182, 6, 44, 20);
    _shapeWithTextReverseCheckbox = new HUDMixedCheckbox(hudText("Reverse"), this);
    _shapeWithTextReverseCheckbox->setGeometry(48, 32, 150, 18);
    connect(_shapeWithTextXLocSlider, &QSlider::valueChanged, this,
            [this] { shapeWithTextToolsAction(_shapeWithTextXLocSlider); });
    controller.groupDragOfControl(_shapeWithTextXLocSlider);
    connect(_shapeWithTextReverseCheckbox, &QCheckBox::clicked, this,
            [this] { shapeWithTextToolsAction(_shapeWithTextReverseCheckbox); });
}

QString HUDShapeWithTextTools::percentText(double location)
{
    return QString::asprintf("%ld%%", long(location * 100.0));
}

void HUDShapeWithTextTools::updateShapeWithTextTools()
{
    const QList<LBGraphicPtr>& graphics = _controller.selectedGraphics();
    if (!_controller.graphicView() || graphics.isEmpty() || _controller.ignoreUpdates())
        return;
    std::optional<double> location;
    bool same = true;
    for (const LBGraphicPtr& graphic : graphics) {
        auto* shape = dynamic_cast<const LBShape*>(graphic.get());
        const double x = shape ? shape->shapeWithTextXLoc() : 0.0;
        if (!location)
            location = x;
        else if (x != *location)
            same = false;
    }
    const double shown = same && location ? *location : 0.0;
    {
        const QSignalBlocker blocker(_shapeWithTextXLocSlider);
        _shapeWithTextXLocSlider->setValue(int(std::lround(shown * sliderSteps)));
    }
    _shapeWithTextXLocField->setText(percentText(shown));
    _shapeWithTextReverseCheckbox->setState(commonState(graphics, [](const LBGraphic* g) {
        auto* shape = dynamic_cast<const LBShape*>(g);
        return shape && shape->shapeWithTextReverse();
    }));
}

void HUDShapeWithTextTools::shapeWithTextToolsAction(QObject* sender)
{
    if (sender == _shapeWithTextXLocSlider) {
        const double location = double(_shapeWithTextXLocSlider->value()) / sliderSteps;
        _controller.applyToSelection(
            [location](LBGraphic& graphic) {
                if (auto* shape = dynamic_cast<LBShape*>(&graphic))
                    shape->setShapeWithTextXLoc(location);
            },
            QStringLiteral("Change Text Position"));
        _shapeWithTextXLocField->setText(percentText(location));
    } else if (sender == _shapeWithTextReverseCheckbox) {
        if (_shapeWithTextReverseCheckbox->state() == -1)
            _shapeWithTextReverseCheckbox->setState(1);
        const bool reverse = _shapeWithTextReverseCheckbox->state() == 1;
        _controller.applyToSelection(
            [reverse](LBGraphic& graphic) {
                if (auto* shape = dynamic_cast<LBShape*>(&graphic))
                    shape->setShapeWithTextReverse(reverse);
            },
            QStringLiteral("Reverse Path"));
    }
}

// --- Barcode ---

HUDBarcodeTools::HUDBarcodeTools(HUDWindowController& controller) : _controller(controller)
{
    resize(230, 126);
    _barcodeManualRadioButton = new HUDRadioButton(hudText("Fixed Text"), this);
    _barcodeManualRadioButton->setGeometry(8, 6, 110, 18);
    _barcodeManualText = new HUDTextField(this);
    _barcodeManualText->setGeometry(20, 28, 150, 20);
    _barcodeEnterButton = new QPushButton(hudText("Enter"), this);
    _barcodeEnterButton->setGeometry(174, 27, 50, 22);
    installHUDStyle(_barcodeEnterButton);
    QPalette palette = _barcodeEnterButton->palette();
    palette.setColor(QPalette::ButtonText, Qt::white);
    _barcodeEnterButton->setPalette(palette);
    _barcodeImportRadioButton = new HUDRadioButton(hudText("Import Field"), this);
    _barcodeImportRadioButton->setGeometry(8, 56, 110, 18);
    _barcodeImportPopup = new HUDPopUpButton(false, this);
    _barcodeImportPopup->setGeometry(120, 54, 104, 22);
    for (int i = 1; i <= 20; ++i)
        _barcodeImportPopup->addItem(fieldText(QStringLiteral("Import.%1").arg(i)), i - 1);
    _barcodeABRadioButton = new HUDRadioButton(hudText("Contact Field"), this);
    _barcodeABRadioButton->setGeometry(8, 84, 110, 18);
    _barcodeZipPopup = new HUDPopUpButton(false, this);
    _barcodeZipPopup->setGeometry(120, 82, 104, 22);
    int index = 0;
    for (const char* key : {"Code", "Code.1", "Code.2", "Code.home", "Code.work"})
        _barcodeZipPopup->addItem(fieldText(QLatin1String(key)), index++);
    for (HUDRadioButton* radio :
         {_barcodeManualRadioButton, _barcodeImportRadioButton, _barcodeABRadioButton}) {
        radio->setAutoExclusive(false);
        connect(radio, &QAbstractButton::clicked, this, [this, radio] {
            setRadioState(radio, 1);
            barcodeToolsAction(radio);
        });
    }
    controller.watchTextField(_barcodeManualText,
                              [this] { barcodeToolsAction(_barcodeManualText); });
    connect(_barcodeEnterButton, &QPushButton::clicked, this,
            [this] { barcodeToolsAction(_barcodeEnterButton); });
    for (HUDPopUpButton* popup : {_barcodeImportPopup, _barcodeZipPopup})
        connect(popup, &HUDPopUpButton::activated, this,
                [this, popup] { barcodeToolsAction(popup); });
}

int HUDBarcodeTools::radioState(const HUDRadioButton* button)
{
    if (button->property("mixedState").toBool())
        return -1;
    return button->isChecked() ? 1 : 0;
}

void HUDBarcodeTools::setRadioState(HUDRadioButton* button, int state)
{
    // A radio button has no mixed look of its own: mixed shows as off with the mark kept
    // for the pane.
    const QSignalBlocker blocker(button);
    button->setProperty("mixedState", state == -1);
    button->setChecked(state == 1);
}

void HUDBarcodeTools::updateBarcodeTools()
{
    const QList<LBGraphicPtr>& graphics = _controller.selectedGraphics();
    if (!_controller.graphicView() || graphics.isEmpty() || _controller.ignoreUpdates())
        return;
    const std::array<HUDRadioButton*, 3> radios = {
        _barcodeManualRadioButton, _barcodeImportRadioButton, _barcodeABRadioButton};
    for (int source = 0; source < 3; ++source)
        setRadioState(radios[size_t(source)], commonState(graphics, [source](const LBGraphic* g) {
                          auto* barcode = dynamic_cast<const LBBarcodeImage*>(g);
                          return barcode && barcode->barcodeDataSource() == source;
                      }));
    std::optional<QString> text;
    std::optional<qint64> importIndex, contactIndex;
    bool sameText = true, sameImport = true, sameContact = true;
    for (const LBGraphicPtr& graphic : graphics) {
        auto* barcode = dynamic_cast<const LBBarcodeImage*>(graphic.get());
        if (!barcode)
            continue;
        if (!text) {
            text = barcode->barcodeDataString();
            importIndex = barcode->importFieldIndex();
            contactIndex = barcode->addressBookFieldIndex();
            continue;
        }
        sameText = sameText && barcode->barcodeDataString() == *text;
        sameImport = sameImport && barcode->importFieldIndex() == *importIndex;
        sameContact = sameContact && barcode->addressBookFieldIndex() == *contactIndex;
    }
    // A text being typed stays as typed: the barcode takes it as it goes, and the field
    // shows what the barcode kept only once Return is pressed.
    const bool typing = _barcodeManualText->hasFocus() && _barcodeManualText->isModified();
    if (!typing) {
        const QSignalBlocker blocker(_barcodeManualText);
        _barcodeManualText->setText(text && sameText ? *text : QString());
        _barcodeManualText->setToolTip(QString());
    }
    selectItemAtIndex(_barcodeImportPopup, importIndex && sameImport ? *importIndex : -1);
    selectItemAtIndex(_barcodeZipPopup, contactIndex && sameContact ? *contactIndex : -1);
}

void HUDBarcodeTools::barcodeToolsAction(QObject* sender)
{
    if (sender == _barcodeManualText || sender == _barcodeEnterButton) {
        commitText();
        return;
    }
    std::function<void(LBBarcodeImage&)> change;
    if (sender == _barcodeManualRadioButton) {
        setRadioState(_barcodeImportRadioButton, 0);
        setRadioState(_barcodeABRadioButton, 0);
        change = [](LBBarcodeImage& barcode) { barcode.setBarcodeDataSource(0); };
    } else if (sender == _barcodeImportRadioButton) {
        setRadioState(_barcodeManualRadioButton, 0);
        setRadioState(_barcodeABRadioButton, 0);
        change = [](LBBarcodeImage& barcode) { barcode.setBarcodeDataSource(1); };
    } else if (sender == _barcodeABRadioButton) {
        setRadioState(_barcodeManualRadioButton, 0);
        setRadioState(_barcodeImportRadioButton, 0);
        change = [](LBBarcodeImage& barcode) {
            barcode.setBarcodeDataSource(2);
            // A barcode without text still shows one: its sample.
            if (barcode.barcodeDataString().isEmpty())
                barcode.setBarcodeDataString(barcode.dummyDataString());
        };
    } else if (sender == _barcodeImportPopup) {
        const qint64 index = _barcodeImportPopup->indexOfSelectedItem();
        change = [index](LBBarcodeImage& barcode) { barcode.setImportFieldIndex(index); };
    } else if (sender == _barcodeZipPopup) {
        const qint64 index = _barcodeZipPopup->indexOfSelectedItem();
        change = [index](LBBarcodeImage& barcode) { barcode.setAddressBookFieldIndex(index); };
    } else {
        return;
    }
    const QList<LBGraphicPtr> graphics = _controller.selectedGraphics();
    _controller.beginPaneAction();
    for (qsizetype i = 0; i < graphics.size(); ++i) {
        if (i == graphics.size() - 1)
            _controller.willChangeLastGraphic();
        if (auto* barcode = dynamic_cast<LBBarcodeImage*>(graphics.at(i).get()))
            change(*barcode);
    }
    _controller.setIgnoreUpdates(false);
}

void HUDBarcodeTools::commitText()
{
    const bool typing = _controller.textChangeInvokedByTimer();
    const QString typed = _barcodeManualText->text();
    const QList<LBGraphicPtr> graphics = _controller.selectedGraphics();
    QString kept;
    QString refusal;
    _controller.beginPaneAction();
    for (qsizetype i = 0; i < graphics.size(); ++i) {
        if (i == graphics.size() - 1)
            _controller.willChangeLastGraphic();
        auto* barcode = dynamic_cast<LBBarcodeImage*>(graphics.at(i).get());
        if (!barcode)
            continue;
        const QString stored = barcode->setBarcodeDataString(typed);
        if (stored.isNull()) {
            // Refused: the barcode keeps its text and picture, and so its bounds.
            refusal = barcode->barcodeError();
            continue;
        }
        kept = stored;
        const QSizeF size = barcode->barcodeImageSize();
        if (size.width() > 0 && size.height() > 0)
            barcode->setBounds(QRectF(barcode->bounds().topLeft(), size));
    }
    _controller.setIgnoreUpdates(false);
    if (typing)
        return; // while typing, the field keeps what is typed and says nothing
    if (!refusal.isNull()) {
        // Said, not only beeped: the barcode keeps its text and picture, the field what was
        // typed, for the user to mend.
        _barcodeManualText->setToolTip(refusal);
        platform::Alert alert;
        alert.messageText =
            platform::LocalizedString(QStringLiteral("The barcode cannot encode \u201c%@\u201d."),
                                      QStringLiteral("DialogStrings"))
                .replace(QLatin1String("%@"), typed);
        alert.informativeText = refusal;
        LBGraphicView* canvas = _controller.graphicView();
        alert.beginSheetModalForWindow(canvas ? canvas->window() : nullptr);
        return;
    }
    _barcodeManualText->setToolTip(QString());
    if (!kept.isNull()) {
        const QSignalBlocker blocker(_barcodeManualText);
        _barcodeManualText->setText(kept);
    }
}

// --- Shape modifier ---

HUDModifiedShapeTools::HUDModifiedShapeTools(HUDWindowController& controller)
    : _controller(controller)
{
    resize(230, 34);
    _modifiedShapeSlider = new HUDSlider(this);
    _modifiedShapeSlider->setOrientation(Qt::Horizontal);
    _modifiedShapeSlider->setGeometry(10, 7, 160, 20);
    _modifiedShapeValueText = new HUDLabel(QString(), this);
    _modifiedShapeValueText->setGeometry(176, 7, 46, 20);
    connect(_modifiedShapeSlider, &QSlider::valueChanged, this,
            [this] { modifiedShapeToolsAction(_modifiedShapeSlider); });
    controller.groupDragOfControl(_modifiedShapeSlider);
}

void HUDModifiedShapeTools::updateModifiedShapeTools()
{
    const QList<LBGraphicPtr>& graphics = _controller.selectedGraphics();
    if (!_controller.graphicView() || graphics.isEmpty())
        return;
    auto* first = dynamic_cast<const LBModifiedShape*>(graphics.first().get());
    if (!first)
        return;
    bool same = true;
    for (const LBGraphicPtr& graphic : graphics) {
        auto* shape = dynamic_cast<const LBModifiedShape*>(graphic.get());
        if (!shape || std::trunc(shape->modifier1()) != std::trunc(first->modifier1()))
            same = false;
    }
    {
        const QSignalBlocker blocker(_modifiedShapeSlider);
        _modifiedShapeSlider->setRange(int(first->minModifier1()), int(first->maxModifier1()));
        _modifiedShapeSlider->setValue(int(first->modifier1()));
    }
    _modifiedShapeValueText->setText(same ? QString::number(qint64(first->modifier1()))
                                          : QStringLiteral("-"));
}

void HUDModifiedShapeTools::modifiedShapeToolsAction(QObject* sender)
{
    if (sender != _modifiedShapeSlider)
        return;
    const int value = _modifiedShapeSlider->value();
    _controller.applyToSelection(
        [value](LBGraphic& graphic) {
            if (auto* shape = dynamic_cast<LBModifiedShape*>(&graphic))
                shape->setModifier1(value);
        },
        QStringLiteral("Modify Shape"));
    _modifiedShapeValueText->setText(QString::number(value));
}
