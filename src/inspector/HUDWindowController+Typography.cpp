// The Typography pane (kerning, paragraph values, letter case, Perfect Balance), the
// Arrange pane (stacking, alignment, sizes and distribution by the canvas) and the mask
// scaling pane.

#include "canvas/LBGraphicView.h"
#include "controls/LBCompImageButton.h"
#include "graphics/LBTextArea.h"
#include "inspector/HUDControls.h"
#include "inspector/HUDTextPanes.h"
#include "inspector/HUDTextTools.h"
#include "inspector/HUDWindowController.h"
#include "platform/core/Strings.h"
#include "platform/core/UndoManager.h"
#include "platform/text/AttributedString.h"
#include "platform/text/TextStorage.h"
#include "platform/ui/TextView.h"
#include "shapes/LBBarcodeImage.h"

#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSignalBlocker>

using platform::AttributedString;
using platform::Range;

namespace {

QString hudText(const char* key)
{
    return platform::LocalizedString(QLatin1String(key), QStringLiteral("HUD Tools"));
}

QString undoText(const char* key)
{
    return platform::LocalizedString(QLatin1String(key), QStringLiteral("UndoStrings"));
}

QPushButton* textButton(const QString& title, QWidget* parent, const QRect& geometry)
{
    auto* button = new QPushButton(title, parent);
    button->setGeometry(geometry);
    installHUDStyle(button);
    QPalette palette = button->palette();
    palette.setColor(QPalette::ButtonText, Qt::white);
    button->setPalette(palette);
    return button;
}

LBCompImageButton* segmentButton(const QString& title, int place, QWidget* parent,
                                 const QRect& geometry)
{
    auto* button = new LBCompImageButton(parent);
    button->setGeometry(geometry);
    button->setTitle(title);
    button->setTitleColor(Qt::white);
    setSegmentImages(button, place, false);
    return button;
}

QString valueText(double value)
{
    return HUDWindowController::stripTrailingZerosFromString(QString::asprintf("%f", value));
}

// The value of a control as the pane reads it: single precision, widened.
double valueOf(const QObject* sender)
{
    if (auto* stepper = qobject_cast<const HUDStepper*>(sender))
        return double(float(stepper->value()));
    if (auto* field = qobject_cast<const QLineEdit*>(sender))
        return double(field->text().trimmed().toFloat());
    return 0.0;
}

} // namespace

// --- Typography ---

HUDTypographyTools::HUDTypographyTools(HUDWindowController& controller) : _controller(controller)
{
    resize(230, 214);
    const auto label = [this](const char* key, int x, int y, int width) {
        auto* text = new HUDLabel(hudText(key), this);
        text->setGeometry(x, y, width, 20);
        text->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        return text;
    };
    label("Kerning", 4, 6, 78);
    _kernStepper = new HUDStepper(this);
    _kernStepper->move(88, 5);
    _kernStepper->setRange(-100000, 100000);
    connect(_kernStepper, &HUDStepper::valueChanged, this,
            [this] { typographyToolsAction(_kernStepper); });
    _defaultKernButton = textButton(hudText("Default"), this, QRect(108, 5, 64, 22));
    connect(_defaultKernButton, &QPushButton::clicked, this,
            [this] { typographyToolsAction(_defaultKernButton); });

    const std::array<const char*, 5> titles = {"Line Height", "Line Spacing", "Space After",
                                               "First Indent", "Indent"};
    std::array<HUDTextField**, 5> fieldSlots = {&_lineMultipleField, &_lineSpacingField,
                                                &_spaceAfterField, &_indent1Field, &_indent2Field};
    std::array<HUDStepper**, 5> stepperSlots = {&_lineMultipleStepper, &_lineSpacingStepper,
                                                &_spaceAfterStepper, &_indent1Stepper,
                                                &_indent2Stepper};
    for (size_t i = 0; i < titles.size(); ++i) {
        const int y = 32 + int(i) * 24;
        label(titles[i], 4, y, 78);
        auto* field = new HUDTextField(this);
        field->setGeometry(88, y, 60, 20);
        auto* stepper = new HUDStepper(this);
        stepper->move(150, y - 1);
        stepper->setRange(i == 0 ? 0 : -1000, 1000);
        stepper->setIncrement(i == 0 ? 0.1 : 1.0);
        *fieldSlots[i] = field;
        *stepperSlots[i] = stepper;
        controller.watchTextField(field, [this, field] { typographyToolsAction(field); });
        connect(stepper, &HUDStepper::valueChanged, this,
                [this, stepper] { typographyToolsAction(stepper); });
    }

    label("Case", 4, 154, 40);
    _lowerCaseButton = textButton(hudText("lower"), this, QRect(50, 153, 56, 22));
    _upperCaseButton = textButton(hudText("UPPER"), this, QRect(108, 153, 56, 22));
    _normalCaseButton = textButton(hudText("Title"), this, QRect(166, 153, 56, 22));
    for (QPushButton* button : {_lowerCaseButton, _upperCaseButton, _normalCaseButton})
        connect(button, &QPushButton::clicked, this,
                [this, button] { typographyToolsAction(button); });

    auto* balance = new HUDLabel(hudText("Perfect Balance"), this);
    balance->setGeometry(8, 180, 214, 14);
    const std::array<std::pair<LBCompImageButton**, const char*>, 6> balances = {
        std::pair{&_balanceLeftButton, "Left"},     std::pair{&_balanceCenterButton, "Center"},
        std::pair{&_balanceRightButton, "Right"},   std::pair{&_balanceTopButton, "Top"},
        std::pair{&_balanceMiddleButton, "Middle"}, std::pair{&_balanceBottomButton, "Bottom"}};
    for (size_t i = 0; i < balances.size(); ++i) {
        const int place = int(i % 3);
        const int x = (i < 3 ? 6 : 118) + place * 35;
        auto* button =
            segmentButton(hudText(balances[i].second), place, this, QRect(x, 194, 35, 18));
        QFont small = button->font();
        small.setPointSizeF(8);
        button->setFont(small);
        button->setTitle(hudText(balances[i].second));
        button->setTitleColor(Qt::white);
        *balances[i].first = button;
        connect(button, &QAbstractButton::clicked, this,
                [this, button] { typographyToolsAction(button); });
    }
}

std::array<HUDTextField*, 5> HUDTypographyTools::fields() const
{
    return {_lineMultipleField, _lineSpacingField, _spaceAfterField, _indent1Field, _indent2Field};
}

std::array<HUDStepper*, 5> HUDTypographyTools::steppers() const
{
    return {_lineMultipleStepper, _lineSpacingStepper, _spaceAfterStepper, _indent1Stepper,
            _indent2Stepper};
}

void HUDTypographyTools::updateTypographyTools()
{
    if (!_controller.graphicView() || _controller.selectedGraphics().isEmpty())
        return;
    HUDTextTools::ParagraphValues values;
    std::array<double, 5> firstValues = values.values;
    bool first = true;
    const auto combine = [&](const HUDTextTools::ParagraphValues& target) {
        if (first) {
            values = target;
            firstValues = target.values;
            first = false;
            return;
        }
        for (size_t i = 0; i < values.values.size(); ++i)
            if (target.values[i] != values.values[i] || target.mixed[i])
                values.mixed[i] = true;
    };
    const QList<platform::TextView*> views = _controller.textViews();
    if (!views.isEmpty()) {
        for (platform::TextView* view : views) {
            platform::TextStorage* storage = view->textStorage();
            const Range range = view->selectedRange();
            if (!storage || storage->length() == 0 || range.location >= storage->length())
                continue;
            // An insertion point reads nothing: the values so far, unmixed.
            if (range.isEmpty()) {
                HUDTextTools::ParagraphValues held;
                held.values = values.values;
                combine(held);
                continue;
            }
            combine(HUDTextTools::getParagraphValuesForText(storage->attributedString(), range));
        }
    } else {
        for (LBTextArea* graphic : selectedGraphicsWithText(_controller)) {
            const AttributedString& text = graphic->contents()->attributedString();
            if (text.length() > 0)
                combine(HUDTextTools::getParagraphValuesForText(text, Range(0, text.length())));
        }
    }
    const std::array<HUDTextField*, 5> fieldList = fields();
    const std::array<HUDStepper*, 5> stepperList = steppers();
    for (size_t i = 0; i < fieldList.size(); ++i) {
        const QSignalBlocker blocker(fieldList[i]);
        fieldList[i]->setText(values.mixed[i] ? QString() : valueText(values.values[i]));
        stepperList[i]->setValue(firstValues[i]);
    }
    updatePerfectBalanceTools();
}

void HUDTypographyTools::updatePerfectBalanceTools()
{
    std::optional<qint64> horizontal, vertical;
    bool horizontalSame = true, verticalSame = true, first = true;
    for (const LBGraphicPtr& graphic : _controller.selectedGraphics()) {
        auto* text = dynamic_cast<LBTextArea*>(graphic.get());
        const qint64 h = text ? text->textBlockHorizontalAlignment() : 0;
        const qint64 v = text ? text->textBlockVerticalAlignment() : 0;
        if (first) {
            horizontal = h;
            vertical = v;
            first = false;
            continue;
        }
        horizontalSame = horizontalSame && h == *horizontal;
        verticalSame = verticalSame && v == *vertical;
    }
    const std::array<LBCompImageButton*, 3> row1 = {_balanceLeftButton, _balanceCenterButton,
                                                    _balanceRightButton};
    const std::array<LBCompImageButton*, 3> row2 = {_balanceTopButton, _balanceMiddleButton,
                                                    _balanceBottomButton};
    for (int i = 0; i < 3; ++i) {
        setSegmentImages(row1[size_t(i)], i, horizontal && horizontalSame && *horizontal == i);
        setSegmentImages(row2[size_t(i)], i, vertical && verticalSame && *vertical == i);
    }
}

void HUDTypographyTools::typographyToolsAction(QObject* sender)
{
    const double v = valueOf(sender);
    int direction = 0;
    std::optional<HUDTextTools::ParagraphField> field;
    const std::array<HUDTextField*, 5> fieldList = fields();
    const std::array<HUDStepper*, 5> stepperList = steppers();
    if (sender == _kernStepper) {
        direction = v >= _kernStepperValue ? 1 : -1;
    } else if (sender == _defaultKernButton) {
        _kernStepper->setValue(0);
    } else {
        for (size_t i = 0; i < fieldList.size(); ++i) {
            if (sender == stepperList[i]) {
                const QSignalBlocker blocker(fieldList[i]);
                fieldList[i]->setText(valueText(v));
                field = HUDTextTools::ParagraphField(i);
                sender = fieldList[i];
            } else if (sender == fieldList[i]) {
                stepperList[i]->setValue(v);
                field = HUDTextTools::ParagraphField(i);
            }
        }
    }

    // Perfect Balance: the text block's place in the box.
    const std::array<LBCompImageButton*, 6> balance = {_balanceLeftButton,   _balanceCenterButton,
                                                       _balanceRightButton,  _balanceTopButton,
                                                       _balanceMiddleButton, _balanceBottomButton};
    for (size_t i = 0; i < balance.size(); ++i) {
        if (sender != balance[i])
            continue;
        const qint64 code = qint64(i % 3);
        // Text being edited stays in its editor: the block moves around it.
        for (const LBGraphicPtr& graphic : _controller.selectedGraphics()) {
            auto* text = dynamic_cast<LBTextArea*>(graphic.get());
            if (!text)
                continue;
            if (i < 3)
                text->setTextBlockHorizontalAlignment(code);
            else
                text->setTextBlockVerticalAlignment(code);
        }
        _controller.nameUndoStep(QStringLiteral("Perfect Balance"));
        updatePerfectBalanceTools();
        return;
    }

    int toCase = 2;
    const bool caseButton =
        sender == _lowerCaseButton || sender == _upperCaseButton || sender == _normalCaseButton;
    if (sender == _lowerCaseButton)
        toCase = -1;
    else if (sender == _upperCaseButton)
        toCase = 1;
    else if (sender == _normalCaseButton)
        toCase = 0;
    const bool kerning = sender == _kernStepper || sender == _defaultKernButton;
    if (!kerning && !field && !caseButton)
        return;

    const QList<platform::TextView*> views = _controller.textViews();
    if (views.isEmpty()) {
        // Each graphic's text changes as a whole, undoably.
        const QList<LBTextArea*> graphics = selectedGraphicsWithText(_controller);
        for (LBTextArea* graphic : graphics) {
            platform::TextStorage copy(graphic->contents()->attributedString());
            const Range all(0, copy.length());
            if (sender == _kernStepper)
                HUDTextTools::adjustKerning(direction, copy, all);
            else if (sender == _defaultKernButton)
                copy.removeAttribute(platform::KernAttributeName, all);
            else if (field)
                HUDTextTools::typoFieldActionForText(copy, all, *field, v, nullptr);
            else
                HUDTextTools::forceCaseInText(copy, nullptr, all, toCase);
            if (copy.attributedString() != graphic->contents()->attributedString())
                graphic->setContents(copy.attributedString());
        }
        if (!graphics.isEmpty())
            _controller.nameUndoStep(kerning ? QStringLiteral("Kerning")
                                     : field ? QStringLiteral("Paragraph Style")
                                             : QStringLiteral("Change Case"));
    } else {
        forEachEditedText(_controller, [&](platform::TextView& textView,
                                           platform::TextStorage& text, const Range& range) {
            platform::TextView* view = &textView;
            platform::TextStorage* storage = &text;
            platform::UndoManager* undoManager = view->undoManager();
            if (kerning) {
                if (range.isEmpty())
                    return;
                HUDTextTools::changeAttributes(*storage, range, undoManager, [&] {
                    if (sender == _kernStepper)
                        HUDTextTools::adjustKerning(direction, *storage, range);
                    else
                        storage->removeAttribute(platform::KernAttributeName, range);
                });
                view->didChangeText();
                if (undoManager)
                    undoManager->setActionName(undoText("Kerning"));
            } else if (field) {
                if (range.isEmpty())
                    return;
                HUDTextTools::typoFieldActionForText(*storage, range, *field, v, undoManager);
                view->didChangeText();
                if (undoManager)
                    undoManager->setActionName(undoText("Paragraph Style"));
            } else {
                HUDTextTools::forceCaseInText(*storage, view, range, toCase);
                _controller.nameUndoStep(QStringLiteral("Change Case"));
            }
        });
    }
    if (sender == _kernStepper)
        _kernStepperValue = v;
    else if (sender == _defaultKernButton)
        _kernStepperValue = 0;
}

// --- Arrange ---

namespace {

struct ArrangeButton
{
    const char* titleKey;
    qint64 tag;
};

} // namespace

HUDArrangeTools::HUDArrangeTools(HUDWindowController& controller) : _controller(controller)
{
    resize(230, 150);
    const auto add = [this](QWidget* parent, const QString& title, qint64 tag, const QRect& rect) {
        auto* button = new LBCompImageButton(parent);
        button->setGeometry(rect);
        button->setTitle(title);
        button->setTitleColor(Qt::white);
        button->setTag(tag);
        button->setProperty("tag", tag);
        setSegmentImages(button, 1, false);
        button->setComponentImageString(QStringLiteral(
            "HUDCapLeft0|HUDMiddle0|HUDCapRight0|HUDCapLeftH|HUDMiddleH|HUDCapRightH"));
        connect(button, &QAbstractButton::clicked, this,
                [this, button] { arrangeToolsAction(button); });
        return button;
    };
    // Stacking: always available.
    add(this, hudText("Bring Forward"), 0, QRect(6, 6, 108, 20));
    add(this, hudText("Send Backward"), 1000, QRect(116, 6, 108, 20));
    add(this, hudText("Bring to Front"), 2000, QRect(6, 28, 108, 20));
    add(this, hudText("Send to Back"), 3000, QRect(116, 28, 108, 20));

    // A group of controls enabled together, under its title.
    const auto section = [this](const char* title, const QRect& rect) {
        auto* container = new QWidget(this);
        container->setGeometry(rect);
        auto* label = new HUDLabel(hudText(title), container);
        label->setGeometry(6, 0, 100, 14);
        return container;
    };
    _alignControls = section("Align", QRect(0, 52, 230, 44));
    const std::array<ArrangeButton, 6> aligns = {
        ArrangeButton{"Left", 4000},   ArrangeButton{"Right", 5000},
        ArrangeButton{"Top", 6000},    ArrangeButton{"Bottom", 7000},
        ArrangeButton{"Center", 8000}, ArrangeButton{"Middle", 9000}};
    for (size_t i = 0; i < aligns.size(); ++i)
        add(_alignControls, hudText(aligns[i].titleKey), aligns[i].tag,
            QRect(6 + int(i) * 36, 16, 36, 20));

    _sameSizeControls = section("Same Size", QRect(0, 100, 115, 44));
    add(_sameSizeControls, QStringLiteral("W"), 10000, QRect(6, 16, 50, 20));
    add(_sameSizeControls, QStringLiteral("H"), 11000, QRect(58, 16, 50, 20));

    _distributeControls = section("Distribute", QRect(115, 100, 115, 44));
    add(_distributeControls, QString(QChar(0x2194)), 12000, QRect(6, 16, 50, 20));
    add(_distributeControls, QString(QChar(0x2195)), 13000, QRect(58, 16, 50, 20));
}

qint64 HUDArrangeTools::tagOfControl(const QObject* control)
{
    if (auto* button = qobject_cast<const LBTitledButton*>(control))
        return button->tag();
    return control ? control->property("tag").toLongLong() : 0;
}

void HUDArrangeTools::updateArrangeTools()
{
    LBGraphicView* canvas = _controller.graphicView();
    const QList<LBGraphicPtr>& graphics = _controller.selectedGraphics();
    if (!canvas || graphics.isEmpty())
        return;
    bool align = graphics.size() > 1;
    bool anyGrouped = false, anyBarcode = false;
    bool groupChecked = false;
    for (const LBGraphicPtr& graphic : graphics) {
        if (graphic->isGrouped()) {
            anyGrouped = true;
            if (!groupChecked) {
                groupChecked = true;
                // Exactly one whole group selected: nothing to align it with.
                const LBGraphicPtr parent = canvas->groupParentOfGraphic(graphic.get(), true);
                if (parent && parent->groupedChildrenCount() == graphics.size() - 1)
                    align = false;
            }
        }
        if (dynamic_cast<const LBBarcodeImage*>(graphic.get()))
            anyBarcode = true;
    }
    const bool sameSize = align && !anyGrouped && !anyBarcode;
    const bool distribute = !anyGrouped && graphics.size() > 2;
    for (const auto& [container, enable] :
         {std::pair{_alignControls, align}, std::pair{_sameSizeControls, sameSize},
          std::pair{_distributeControls, distribute}})
        for (QWidget* child : container->findChildren<QWidget*>())
            child->setEnabled(enable);
}

void HUDArrangeTools::arrangeToolsAction(QObject* sender)
{
    LBGraphicView* canvas = _controller.graphicView();
    if (!canvas)
        return;
    const qint64 tag = tagOfControl(sender);
    QObject* self = &_controller;
    switch (tag / 1000) {
    case 0: canvas->bringForward(self); break;
    case 1: canvas->sendBackward(self); break;
    case 2: canvas->bringToFront(self); break;
    case 3: canvas->sendToBack(self); break;
    case 4: canvas->alignLeftEdges(self); break;
    case 5: canvas->alignRightEdges(self); break;
    case 6: canvas->alignTopEdges(self); break;
    case 7: canvas->alignBottomEdges(self); break;
    case 8: canvas->alignHorizontalCenters(self); break;
    case 9: canvas->alignVerticalCenters(self); break;
    case 10: canvas->makeSameWidth(self); break;
    case 11: canvas->makeSameHeight(self); break;
    case 12:
    case 13: {
        // The canvas reads the direction from the control's tag.
        if (sender && !sender->property("tag").isValid())
            sender->setProperty("tag", tag);
        canvas->distributeEvenly(sender);
        break;
    }
    default: break;
    }
}

// --- Mask scaling ---

HUDImageMaskTools::HUDImageMaskTools(HUDWindowController& controller) : _controller(controller)
{
    resize(230, 34);
    auto* label = new HUDLabel(hudText("Scaling"), this);
    label->setGeometry(6, 7, 60, 20);
    _maskScalingPopup = new HUDPopUpButton(false, this);
    _maskScalingPopup->setGeometry(70, 6, 150, 22);
    _maskScalingPopup->addItem(hudText("Centered"), 0);
    _maskScalingPopup->addItem(hudText("Tiled"), 1);
    _maskScalingPopup->addItem(hudText("Scaled"), 2);
    connect(_maskScalingPopup, &HUDPopUpButton::activated, this,
            [this] { imageMaskToolsAction(_maskScalingPopup); });
}

void HUDImageMaskTools::updateImageMaskTools()
{
    if (!_controller.graphicView() || _controller.selectedGraphics().isEmpty())
        return;
    qint64 scaling = _controller.selectedGraphics().first()->fillImageScaling();
    if (scaling != 0 && scaling != 1)
        scaling = 2; // any other value is drawn as cropped
    for (QAction* item : _maskScalingPopup->itemMenu()->actions())
        if (item->data().toLongLong() == scaling)
            _maskScalingPopup->selectItem(item);
}

void HUDImageMaskTools::imageMaskToolsAction(QObject* sender)
{
    if (sender != _maskScalingPopup || _controller.selectedGraphics().isEmpty()
        || !_maskScalingPopup->selectedItem())
        return;
    _controller.selectedGraphics().first()->setFillImageScaling(
        _maskScalingPopup->selectedItem()->data().toLongLong());
}
