// The Font pane (family, face, size, colour and alignment of text, and the conversion of
// text boxes to the outlines of their letters), the Font Preview pane, and the table rows
// of every text pane.

#include "canvas/LBGraphicView.h"
#include "controls/LBCompImageButton.h"
#include "document/LBDocument.h"
#include "graphics/LBTextArea.h"
#include "inspector/HUDControls.h"
#include "inspector/HUDTextPanes.h"
#include "inspector/HUDTextTools.h"
#include "inspector/HUDWindow.h"
#include "inspector/HUDWindowController.h"
#include "platform/core/NotificationCenter.h"
#include "platform/core/Strings.h"
#include "platform/core/UndoManager.h"
#include "platform/core/UserDefaults.h"
#include "platform/text/AttributedString.h"
#include "platform/text/FontManager.h"
#include "platform/text/ParagraphStyle.h"
#include "platform/text/TextStorage.h"
#include "platform/ui/Alert.h"
#include "platform/ui/ColorWell.h"
#include "platform/ui/KXFontPreviewViewController.h"
#include "platform/ui/TextView.h"
#include "shapes/LBBezierPath.h"

#include <QAbstractItemView>
#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>

using platform::AttributedString;
using platform::Range;

namespace {

const QString convertAlertKey = QStringLiteral("DisableConvertTextToOutlinesAlert");

QString hudText(const char* key)
{
    return platform::LocalizedString(QLatin1String(key), QStringLiteral("HUD Tools"));
}

QString undoText(const char* key)
{
    return platform::LocalizedString(QLatin1String(key), QStringLiteral("UndoStrings"));
}

QString dialogText(const QString& key)
{
    return platform::LocalizedString(key, QStringLiteral("DialogStrings"));
}

platform::FontManager& fontManager()
{
    return platform::FontManager::sharedFontManager();
}

QString sizeText(double size)
{
    return HUDWindowController::stripTrailingZerosFromString(QString::asprintf("%f", size));
}

// The image string of a button in a row of joined buttons: its caps by its place, the
// pictures of the highlighted state when `on`.
QString segmentImageString(int place, bool on)
{
    static const QStringList forms = {
        QStringLiteral("HUDCapLeft%1|HUDMiddle%1|HUDDividerRight%1|HUDCapLeftH|HUDMiddleH|"
                       "HUDDividerRightH"),
        QStringLiteral("HUDDividerLeft%1|HUDMiddle%1|HUDDividerRight%1|HUDDividerLeftH|"
                       "HUDMiddleH|HUDDividerRightH"),
        QStringLiteral("HUDDividerLeft%1|HUDMiddle%1|HUDCapRight%1|HUDDividerLeftH|HUDMiddleH|"
                       "HUDCapRightH"),
    };
    return forms.at(place).arg(on ? 1 : 0);
}

// The text views of the palette (being edited in place).
QList<platform::TextView*> textViewsOf(const HUDWindowController& controller)
{
    return controller.textViews();
}

void nameStepOn(platform::UndoManager* undoManager, const char* key)
{
    if (undoManager)
        undoManager->setActionName(undoText(key));
}

} // namespace

QList<LBTextArea*> selectedGraphicsWithText(const HUDWindowController& controller)
{
    QList<LBTextArea*> graphics;
    for (const LBGraphicPtr& graphic : controller.selectedGraphics())
        if (auto* text = dynamic_cast<LBTextArea*>(graphic.get()); text && text->contents())
            graphics.append(text);
    return graphics;
}

void forEachEditedText(
    const HUDWindowController& controller,
    const std::function<void(platform::TextView& view, platform::TextStorage& text,
                             const Range& selection)>& body)
{
    for (platform::TextView* view : controller.textViews())
        if (platform::TextStorage* storage = view->textStorage())
            body(*view, *storage, view->selectedRange());
}

void setSegmentImages(LBCompImageButton* button, int place, bool on)
{
    const QString images = segmentImageString(place, on);
    button->setComponentImageString(images);
    button->setProperty("componentImageString", images);
}

namespace {

// Gives the target fonts made from each run's own font: the whole text of each selected
// graphic (one step, "Set Font"), or each edited view's selection, or for an insertion
// point its typing font. Returns the font that resulted last (none without a target).
std::optional<QFont> applyFontToTarget(HUDWindowController& controller,
                                       const std::function<QFont(const QFont&)>& convert)
{
    std::optional<QFont> result;
    if (controller.textViews().isEmpty()) {
        const QList<LBTextArea*> graphics = selectedGraphicsWithText(controller);
        for (LBTextArea* graphic : graphics) {
            platform::TextStorage& text = *graphic->contents();
            result = HUDTextTools::convertFontsInText(text, Range(0, text.length()), convert,
                                                      controller.undoManager());
        }
        if (!graphics.isEmpty())
            controller.nameUndoStep(QStringLiteral("Set Font"));
        return result;
    }
    forEachEditedText(
        controller, [&](platform::TextView& view, platform::TextStorage& text, const Range& range) {
            QVariantMap typing = view.typingAttributes();
            if (!range.isEmpty() && view.shouldChangeTextInRange(range, QString())) {
                result = HUDTextTools::convertFontsInText(text, range, convert, view.undoManager());
                view.didChangeText();
            } else {
                // The typing font, else the font of the text before the insertion point.
                const QFont base =
                    typing.contains(platform::FontAttributeName)
                        ? HUDTextTools::fontFromAttribute(typing.value(platform::FontAttributeName))
                        : HUDTextTools::fontAtIndex(text.attributedString(),
                                                    range.isEmpty()
                                                        ? std::max<qsizetype>(range.location - 1, 0)
                                                        : range.location);
                result = convert(base);
            }
            nameStepOn(view.undoManager(), "Set Font");
            typing.insert(platform::FontAttributeName, QVariant::fromValue(*result));
            view.setTypingAttributes(typing);
        });
    return result;
}

} // namespace

// --- Mixed check box ---

HUDMixedCheckbox::HUDMixedCheckbox(const QString& title, QWidget* parent) : QCheckBox(title, parent)
{
    installHUDStyle(this);
    QPalette palette = this->palette();
    palette.setColor(QPalette::WindowText, Qt::white);
    setPalette(palette);
}

int HUDMixedCheckbox::state() const
{
    switch (checkState()) {
    case Qt::Checked: return 1;
    case Qt::PartiallyChecked: return -1;
    default: return 0;
    }
}

void HUDMixedCheckbox::setState(int state)
{
    setTristate(state == -1);
    setCheckState(state == 1 ? Qt::Checked : state == -1 ? Qt::PartiallyChecked : Qt::Unchecked);
}

void HUDMixedCheckbox::nextCheckState()
{
    // Mixed and off go on; on goes off.
    setState(checkState() == Qt::Checked ? 0 : 1);
}

// --- Font pane ---

HUDFontTools::HUDFontTools(HUDWindowController& controller) : _controller(controller)
{
    resize(230, 116);
    const auto label = [this](const char* key, int y) {
        auto* text = new HUDLabel(hudText(key), this);
        text->setGeometry(6, y, 52, 20);
        text->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    };
    label("Family", 6);
    label("Typeface", 32);
    label("Size", 58);
    _textFontBox = new HUDComboBox(this);
    _textFontBox->setGeometry(62, 6, 160, 22);
    _textFaceBox = new HUDComboBox(this);
    _textFaceBox->setGeometry(62, 32, 160, 22);
    _textSizeBox = new HUDComboBox(this);
    _textSizeBox->setGeometry(62, 58, 62, 22);
    for (int size : {9, 10, 11, 12, 13, 14, 18, 24, 36, 48, 64, 72, 96, 144, 288})
        _textSizeBox->addItem(QString::number(size));
    _textSizeBox->setCurrentIndex(-1);
    for (HUDComboBox* box : {_textFontBox, _textFaceBox, _textSizeBox}) {
        box->setCompleter(nullptr);
        box->setInsertPolicy(QComboBox::NoInsert);
        box->setMaxVisibleItems(20);
        box->lineEdit()->installEventFilter(this);
        box->installEventFilter(this);
        connect(box->lineEdit(), &QLineEdit::editingFinished, this, [this, box] {
            // The size applies when typed; the family and face when chosen (their flags).
            if (box == _textSizeBox && !box->lineEdit()->isModified())
                return;
            box->lineEdit()->setModified(false);
            fontToolsAction(box);
        });
        connect(box, &QComboBox::activated, this, [this, box](int) {
            comboBoxSelectionDidChange(box);
            fontToolsAction(box);
        });
    }
    for (HUDComboBox* box : {_textFontBox, _textFaceBox})
        connect(box->lineEdit(), &QLineEdit::textEdited, this, [this, box](const QString& text) {
            const bool forward = text.size() > _typedPrefix.size();
            _typedPrefix = text;
            const QString completed = comboBoxCompletedString(box, text);
            if (forward && completed.size() > text.size()) {
                box->lineEdit()->setText(completed);
                box->lineEdit()->setSelection(int(text.size()),
                                              int(completed.size() - text.size()));
            }
        });
    _textSizeStepper = new HUDStepper(this);
    _textSizeStepper->move(128, 58);
    _textSizeStepper->setRange(1, 999);
    _textSizeStepper->setValue(12);
    connect(_textSizeStepper, &HUDStepper::valueChanged, this,
            [this] { fontToolsAction(_textSizeStepper); });
    _textColorButton = new platform::ColorWell(this);
    _textColorButton->setGeometry(180, 58, 42, 22);
    connect(_textColorButton, &platform::ColorWell::colorChanged, this,
            [this] { fontToolsAction(_textColorButton); });

    const QList<QPair<LBCompImageButton**, const char*>> alignments = {
        {&_textLeftAlignmentButton, "Left"},
        {&_textCenterAlignmentButton, "Center"},
        {&_textRightAlignmentButton, "Right"},
        {&_textFullAlignmentButton, "Justify"},
    };
    for (qsizetype i = 0; i < alignments.size(); ++i) {
        auto* button = new LBCompImageButton(this);
        button->setGeometry(int(8 + i * 40), 88, 40, 22);
        button->setTitle(hudText(alignments.at(i).second));
        button->setTitleColor(Qt::white);
        setSegmentImages(button, i == 0 ? 0 : i == 3 ? 2 : 1, false);
        connect(button, &QAbstractButton::clicked, this,
                [this, button] { textAlignmentAction(button); });
        *alignments.at(i).first = button;
    }
    _fontPreviewButton = new QPushButton(hudText("Preview"), this);
    _fontPreviewButton->setGeometry(172, 88, 52, 22);
    connect(_fontPreviewButton, &QPushButton::clicked, this,
            [this] { fontToolsAction(_fontPreviewButton); });
    _convertTextToOutlinesButton = new QPushButton(hudText("Outlines"), this);
    _convertTextToOutlinesButton->setGeometry(172, 88, 52, 22);
    // Hidden when the pane is made: converting is for those who show it.
    _convertTextToOutlinesButton->hide();
    connect(_convertTextToOutlinesButton, &QPushButton::clicked, this,
            [this] { fontToolsAction(_convertTextToOutlinesButton); });
    for (QPushButton* button : {_fontPreviewButton, _convertTextToOutlinesButton}) {
        installHUDStyle(button);
        QPalette palette = button->palette();
        palette.setColor(QPalette::ButtonText, Qt::white);
        button->setPalette(palette);
    }
}

// --- Reading the target ---

std::optional<QFont> HUDFontTools::selectedFontFamilyName(const HUDWindowController& controller,
                                                          QString* familyOut, QString* faceOut,
                                                          double* sizeOut, QColor* colorOut,
                                                          QString* selectedString)
{
    QString family, face;
    double size = 0;
    QColor color;
    QString string;
    std::optional<QFont> font;
    bool first = true;
    const auto combine = [&](const QString& f, const QString& fc, double s,
                             const std::optional<QFont>& fn) {
        if (first) {
            family = f;
            face = fc;
            size = s;
            font = fn;
            first = false;
            return false;
        }
        if (f != family)
            family = QStringLiteral("");
        if (fc != face)
            face = QStringLiteral("");
        if (s != size)
            size = 0;
        if (!fn || !font || *fn != *font)
            font.reset();
        return family.isEmpty() && face.isEmpty() && size == 0;
    };

    const QList<platform::TextView*> views = textViewsOf(controller);
    if (!views.isEmpty()) {
        forEachEditedText(controller, [&](platform::TextView& textView, platform::TextStorage& text,
                                          const Range& range) {
            platform::TextView* view = &textView;
            platform::TextStorage* storage = &text;
            const bool reading = first;
            QString f, fc;
            double s = 0;
            std::optional<QFont> fn;
            if (range.isEmpty() || range.end() > storage->length()) {
                const QVariantMap typing = view->typingAttributes();
                fn = HUDTextTools::fontFromAttribute(typing.value(platform::FontAttributeName));
                f = platform::FontManager::familyOfFont(*fn);
                fc = fontManager().faceNameForFont(*fn);
                s = platform::FontManager::pointSizeOfFont(*fn);
                if (reading)
                    color = typing.value(platform::ForegroundColorAttributeName).value<QColor>();
            } else {
                const AttributedString selected =
                    storage->attributedString().attributedSubstringFromRange(range);
                fn = HUDTextTools::fontFamilyName(&f, &fc, &s, selected);
                if (reading) {
                    string = selected.string();
                    color = selected.attribute(platform::ForegroundColorAttributeName, 0)
                                .value<QColor>();
                }
            }
            if (combine(f, fc, s, fn))
                return;
        });
    } else {
        for (LBTextArea* graphic : selectedGraphicsWithText(controller)) {
            const AttributedString& text = graphic->contents()->attributedString();
            QString f, fc;
            double s = 0;
            const std::optional<QFont> fn = HUDTextTools::fontFamilyName(&f, &fc, &s, text);
            if (first) {
                color = text.attribute(platform::ForegroundColorAttributeName, 0).value<QColor>();
                string = text.string();
            }
            if (combine(f, fc, s, fn))
                break;
        }
    }
    if (familyOut)
        *familyOut = family;
    if (faceOut)
        *faceOut = face;
    if (sizeOut)
        *sizeOut = size;
    if (colorOut)
        *colorOut = color;
    if (selectedString)
        *selectedString = string;
    return font;
}

qint64 HUDFontTools::targetAlignment() const
{
    qint64 common = HUDTextTools::Mixed;
    bool first = true;
    const auto combine = [&](qint64 alignment) {
        if (first) {
            common = alignment;
            first = false;
        } else if (alignment != common) {
            common = HUDTextTools::Mixed;
        }
    };
    const QList<platform::TextView*> views = textViewsOf(_controller);
    if (!views.isEmpty()) {
        for (platform::TextView* view : views)
            if (view->textStorage())
                combine(HUDTextTools::alignmentForText(view->textStorage()->attributedString(),
                                                       view->selectedRange()));
    } else {
        for (LBTextArea* graphic : selectedGraphicsWithText(_controller)) {
            const AttributedString& text = graphic->contents()->attributedString();
            combine(HUDTextTools::alignmentForText(text, Range(0, text.length())));
        }
    }
    return common;
}

// --- Reloading ---

void HUDFontTools::updateFontTools()
{
    if (!_controller.graphicView() || _controller.selectedGraphics().isEmpty())
        return;
    QString family, face;
    double size = 0;
    QColor color;
    selectedFontFamilyName(_controller, &family, &face, &size, &color, nullptr);

    reloadFamilyBox();
    if (!family.isEmpty()) {
        _selectedFontFamilyIndex = int(fontFamilyArray().indexOf(family));
        selectEntry(_textFontBox, _selectedFontFamilyIndex);
        if (_selectedFontFamilyIndex < 0) {
            // A family not installed here: its name, but nothing to choose.
            const QSignalBlocker blocker(_textFontBox);
            _textFontBox->setEditText(family);
        }
    } else {
        _selectedFontFamilyIndex = -1;
        selectEntry(_textFontBox, -1);
    }

    showFace(face);

    {
        const QSignalBlocker blocker(_textSizeBox);
        if (size != 0) {
            _textSizeBox->setEditText(sizeText(size));
            _textSizeStepper->setValue(size);
        } else {
            _textSizeBox->setEditText(QString());
            _textSizeStepper->setValue(12);
        }
    }
    updateTextAlignmentButtons();
    if (!_controller.textViews().isEmpty())
        _textColorButton->deactivate();
    _textColorButton->setColor(color.isValid() ? color : QColor(Qt::black));
    _fontFamilyIsDirty = false;
    _fontFaceIsDirty = false;
}

void HUDFontTools::updateTextAlignmentButtons()
{
    const qint64 alignment = targetAlignment();
    setSegmentImages(_textLeftAlignmentButton, 0, alignment == HUDTextTools::Left);
    setSegmentImages(_textCenterAlignmentButton, 1, alignment == HUDTextTools::Center);
    setSegmentImages(_textRightAlignmentButton, 1, alignment == HUDTextTools::Right);
    setSegmentImages(_textFullAlignmentButton, 2, alignment == HUDTextTools::Justified);
}

// --- The boxes ---

const QStringList& HUDFontTools::fontFamilyArray()
{
    if (!_fontFamilyArray)
        _fontFamilyArray = fontManager().availableFontFamilies();
    return *_fontFamilyArray;
}

const QList<platform::FontManager::Member>& HUDFontTools::fontFaceArray()
{
    if (!_fontFaceArray) {
        if (_selectedFontFamilyIndex < 0 || _selectedFontFamilyIndex >= fontFamilyArray().size()) {
            static const QList<platform::FontManager::Member> none;
            return none;
        }
        _fontFaceArray = fontManager().availableMembersOfFontFamily(
            fontFamilyArray().at(_selectedFontFamilyIndex));
    }
    return *_fontFaceArray;
}

int HUDFontTools::numberOfItemsInComboBox(QComboBox* box)
{
    if (box == _textFontBox)
        return int(fontFamilyArray().size());
    if (box == _textFaceBox)
        return int(fontFaceArray().size());
    return box ? box->count() : 0;
}

QString HUDFontTools::comboBoxObjectValueForItemAtIndex(QComboBox* box, int index)
{
    if (box == _textFontBox)
        return index >= 0 && index < fontFamilyArray().size() ? fontFamilyArray().at(index)
                                                              : QString();
    if (box == _textFaceBox)
        return index >= 0 && index < fontFaceArray().size() ? fontFaceArray().at(index).faceName
                                                            : QString();
    return box ? box->itemText(index) : QString();
}

void HUDFontTools::reloadFamilyBox()
{
    if (_textFontBox->count() == numberOfItemsInComboBox(_textFontBox))
        return;
    const QSignalBlocker blocker(_textFontBox);
    _textFontBox->clear();
    _textFontBox->addItems(fontFamilyArray());
    _textFontBox->setCurrentIndex(-1);
}

void HUDFontTools::reloadFaceBox()
{
    const QSignalBlocker blocker(_textFaceBox);
    const QString text = _textFaceBox->currentText();
    _textFaceBox->clear();
    const int count = numberOfItemsInComboBox(_textFaceBox);
    for (int i = 0; i < count; ++i)
        _textFaceBox->addItem(comboBoxObjectValueForItemAtIndex(_textFaceBox, i));
    _textFaceBox->setMaxVisibleItems(std::max(count, 1));
    _textFaceBox->setCurrentIndex(-1);
    _textFaceBox->setEditText(text);
}

void HUDFontTools::showFace(const QString& face)
{
    _fontFaceArray.reset();
    reloadFaceBox();
    _selectedFontFaceIndex = -1;
    const QList<platform::FontManager::Member>& members = fontFaceArray();
    for (qsizetype i = 0; i < members.size() && !face.isEmpty(); ++i)
        if (members.at(i).faceName == face) {
            _selectedFontFaceIndex = int(i);
            break;
        }
    selectEntry(_textFaceBox, _selectedFontFaceIndex);
    if (_selectedFontFaceIndex < 0 && !face.isEmpty()) {
        // A face the family list does not know: its name, but nothing to choose.
        const QSignalBlocker blocker(_textFaceBox);
        _textFaceBox->setEditText(face);
    }
}

void HUDFontTools::selectEntry(QComboBox* box, int index)
{
    const QSignalBlocker blocker(box);
    if (index >= 0 && index < box->count()) {
        box->setCurrentIndex(index);
        if (QAbstractItemView* list = box->view())
            list->scrollTo(box->model()->index(index, 0), QAbstractItemView::PositionAtTop);
    } else {
        box->setCurrentIndex(-1);
        box->setEditText(QString());
    }
}

void HUDFontTools::comboBoxSelectionDidChange(QComboBox* box)
{
    if (box == _textFontBox) {
        _selectedFontFamilyIndex = box->currentIndex();
        _fontFaceArray.reset();
        reloadFaceBox();
        _fontFamilyIsDirty = true;
    }
    if (box == _textFontBox || box == _textFaceBox) {
        _selectedFontFaceIndex = _textFaceBox->currentIndex();
        _fontFaceIsDirty = true;
    }
}

QString HUDFontTools::comboBoxCompletedString(QComboBox* box, const QString& string)
{
    const bool family = box == _textFontBox;
    if (!family && box != _textFaceBox)
        return string;
    (family ? _selectedFontFamilyIndex : _selectedFontFaceIndex) = -1;
    const int count = numberOfItemsInComboBox(box);
    for (int i = 0; i < count; ++i) {
        const QString entry = comboBoxObjectValueForItemAtIndex(box, i);
        if (!entry.startsWith(string, Qt::CaseInsensitive))
            continue;
        if (family) {
            _selectedFontFamilyIndex = i;
            _fontFamilyIsDirty = true;
            // The faces follow the family (the box keeps what was typed).
            _fontFaceArray.reset();
            reloadFaceBox();
        } else {
            _selectedFontFaceIndex = i;
            _fontFaceIsDirty = true;
        }
        if (QAbstractItemView* list = box->view())
            list->scrollTo(box->model()->index(i, 0), QAbstractItemView::PositionAtTop);
        return entry;
    }
    return string;
}

bool HUDFontTools::moveSelectionInBox(QComboBox* box, int direction)
{
    const bool family = box == _textFontBox;
    if (!family && box != _textFaceBox)
        return false;
    int& index = family ? _selectedFontFamilyIndex : _selectedFontFaceIndex;
    const int count = numberOfItemsInComboBox(box);
    // Down from no entry lands on the first one.
    const int target = index + direction;
    if (target < 0 || target >= count)
        return true;
    index = target;
    if (family) {
        _fontFamilyIsDirty = true;
        selectEntry(box, index);
        _fontFaceArray.reset();
        reloadFaceBox();
        _selectedFontFaceIndex = -1;
    } else {
        _fontFaceIsDirty = true;
        selectEntry(box, index);
    }
    box->lineEdit()->selectAll();
    _typedPrefix = box->lineEdit()->text();
    return true;
}

bool HUDFontTools::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down) {
            for (QComboBox* box :
                 {static_cast<QComboBox*>(_textFontBox), static_cast<QComboBox*>(_textFaceBox)})
                if (watched == box || watched == box->lineEdit())
                    return moveSelectionInBox(box, key == Qt::Key_Up ? -1 : 1);
            // Every other field the pane watches takes the key too, as handled.
            if (watched == _textSizeBox || watched == _textSizeBox->lineEdit())
                return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

// --- Actions ---

void HUDFontTools::fontToolsAction(QObject* sender)
{
    QString family, face;
    double size = 0;
    if (sender == _textFontBox) {
        if (_selectedFontFamilyIndex < 0 || !_fontFamilyIsDirty
            || _selectedFontFamilyIndex >= fontFamilyArray().size())
            return;
        family = fontFamilyArray().at(_selectedFontFamilyIndex);
    } else if (sender == _textFaceBox) {
        if (_selectedFontFaceIndex < 0 || !_fontFaceIsDirty
            || _selectedFontFaceIndex >= fontFaceArray().size())
            return;
        face = fontFaceArray().at(_selectedFontFaceIndex).faceName;
    } else if (sender == _textSizeBox) {
        size = _textSizeBox->currentText().trimmed().toDouble();
        if (!(size > 0))
            return;
        _textSizeStepper->setValue(size);
    } else if (sender == _textSizeStepper) {
        size = _textSizeStepper->value();
        const QSignalBlocker blocker(_textSizeBox);
        _textSizeBox->setEditText(sizeText(size));
    } else if (sender == _textColorButton) {
        applyColor(_textColorButton->color());
        return;
    } else if (sender == _fontPreviewButton) {
        _controller.selectToolsWithTag(HUDWindowController::FontPreviewTools);
        return;
    } else if (sender == _convertTextToOutlinesButton) {
        convertTextToOutlinesAction();
        return;
    } else {
        return;
    }
    applyFont(family, face, size);
}

void HUDFontTools::applyFont(const QString& family, const QString& face, double size)
{
    const std::optional<QFont> result = applyFontToTarget(_controller, [&](const QFont& font) {
        return HUDTextTools::convertFont(font, family, face, size);
    });
    if (!result)
        return;
    if (!family.isEmpty()) {
        // The faces of the new family, the one the text now has shown.
        showFace(fontManager().faceNameForFont(*result));
    }
    fontManager().setSelectedFont(result);
}

void HUDFontTools::applyColor(const QColor& color)
{
    const QList<platform::TextView*> views = textViewsOf(_controller);
    if (!views.isEmpty()) {
        forEachEditedText(_controller, [&](platform::TextView& textView,
                                           platform::TextStorage& text, const Range& range) {
            platform::TextView* view = &textView;
            platform::TextStorage* storage = &text;
            if (!range.isEmpty() && view->shouldChangeTextInRange(range, QString())) {
                HUDTextTools::setColorForText(*storage, range, color, false, view->undoManager());
                view->didChangeText();
                nameStepOn(view->undoManager(), "Set Text Color");
            }
            QVariantMap typing = view->typingAttributes();
            typing.insert(platform::ForegroundColorAttributeName, color);
            view->setTypingAttributes(typing);
        });
        return;
    }
    const QList<LBTextArea*> graphics = selectedGraphicsWithText(_controller);
    if (graphics.isEmpty())
        return;
    for (LBTextArea* graphic : graphics) {
        platform::TextStorage& text = *graphic->contents();
        HUDTextTools::setColorForText(text, Range(0, text.length()), color, false,
                                      _controller.undoManager());
    }
    _controller.nameUndoStep(QStringLiteral("Set Text Color"));
}

void HUDFontTools::textAlignmentAction(QObject* sender)
{
    qint64 alignment;
    if (sender == _textLeftAlignmentButton)
        alignment = HUDTextTools::Left;
    else if (sender == _textCenterAlignmentButton)
        alignment = HUDTextTools::Center;
    else if (sender == _textRightAlignmentButton)
        alignment = HUDTextTools::Right;
    else if (sender == _textFullAlignmentButton)
        alignment = HUDTextTools::Justified;
    else
        return;
    const QList<platform::TextView*> views = textViewsOf(_controller);
    if (!views.isEmpty()) {
        for (platform::TextView* view : views) {
            platform::TextStorage* storage = view->textStorage();
            if (!storage)
                continue;
            HUDTextTools::setAlignmentForText(*storage, view->selectedRange(), alignment,
                                              view->undoManager());
            // What is typed next in an empty paragraph lines up the same way.
            QVariantMap typing = view->typingAttributes();
            auto style = typing.value(platform::ParagraphStyleAttributeName)
                             .value<platform::ParagraphStyle>();
            style.alignment = platform::ParagraphStyle::Alignment(alignment);
            typing.insert(platform::ParagraphStyleAttributeName, QVariant::fromValue(style));
            view->setTypingAttributes(typing);
            view->didChangeText();
            updateTextAlignmentButtons();
        }
        return;
    }
    for (LBTextArea* graphic : selectedGraphicsWithText(_controller)) {
        platform::TextStorage& text = *graphic->contents();
        HUDTextTools::setAlignmentForText(text, Range(0, text.length()), alignment,
                                          _controller.undoManager());
        graphic->didChange();
        updateTextAlignmentButtons();
    }
}

// --- Converting to outlines ---

void HUDFontTools::convertTextToOutlinesAction()
{
    platform::UserDefaults& defaults = platform::UserDefaults::standardUserDefaults();
    if (defaults.boolForKey(convertAlertKey)) {
        convertTextToOutlines();
        return;
    }
    platform::Alert alert;
    alert.style = platform::Alert::Warning;
    alert.messageText = dialogText(
        QStringLiteral("Are you sure you want to convert the selected text to outlines? "));
    alert.informativeText = dialogText(QStringLiteral(
        "All of the characters in the text box will be converted to shapes so the text will no "
        "longer be editable."));
    alert.buttons = {dialogText(QStringLiteral("OK")), dialogText(QStringLiteral("Cancel"))};
    alert.cancelButton = 1;
    alert.showsSuppressionButton = true;
    LBGraphicView* canvas = _controller.graphicView();
    QPointer<HUDFontTools> guard(this);
    alert.beginSheetModalForWindow(
        canvas ? canvas->window() : nullptr, [guard](const platform::Alert::Response& response) {
            if (response.suppressed)
                platform::UserDefaults::standardUserDefaults().setBool(true, convertAlertKey);
            if (guard && response.returnCode == platform::Alert::FirstButtonReturn)
                guard->convertTextToOutlines();
        });
}

void HUDFontTools::convertTextToOutlines()
{
    LBGraphicView* canvas = _controller.graphicView();
    LBDocument* document = canvas ? canvas->document() : nullptr;
    if (!document)
        return;
    _controller.endInPlaceEditing();
    const QList<LBGraphicPtr> graphics = _controller.selectedGraphics();
    bool converted = false;
    for (const LBGraphicPtr& graphic : graphics) {
        auto* text = dynamic_cast<LBTextArea*>(graphic.get());
        if (!text)
            continue;
        // Its own layer of the page shown; a graphic not found there is left alone.
        qint64 layer = -1, index = -1;
        for (qint64 l = 0; l < document->layerCount() && index < 0; ++l) {
            index = document->indexOfGraphic(graphic, l);
            layer = l;
        }
        const std::optional<platform::BezierPath> path = text->textPath();
        if (index < 0 || !path)
            continue;
        auto outline = std::make_shared<LBBezierPath>();
        outline->setDocument(document);
        outline->setPath(path);
        outline->setOrigBounds(text->bounds());
        outline->setBounds(text->bounds());
        outline->setVisiblePageOrigin(text->visiblePageOrigin());
        outline->setZoomFactor(text->zoomFactor());
        outline->setRotation(text->rotation());
        outline->setGroupRotation(text->groupRotation());
        qint64 height = 0, radius = 0, azimuth = 0;
        double alpha = 0;
        QColor color;
        const qint64 shadowType = text->shadowInfo(&height, &radius, &azimuth, &alpha, &color);
        outline->setShadowInfo(shadowType, height, radius, azimuth, alpha, color);
        outline->setGraphicAlpha(text->graphicAlpha());
        outline->setReflectionEnabled(text->reflectionEnabled());
        outline->setReflectionTransparency(text->reflectionTransparency());
        outline->setReflectionHeight(text->reflectionHeight());
        outline->setReflectionHOffset(text->reflectionHOffset());
        outline->setReflectionVOffset(text->reflectionVOffset());
        outline->setLoadingReflection(text->loadingReflection());
        outline->setFlippedHorizontally(text->flippedHorizontally());
        outline->setFlippedVertically(text->flippedVertically());
        outline->setIsGrouped(text->isGrouped());
        outline->setGroupedChildrenCount(text->groupedChildrenCount());
        outline->setGroupBounds(text->groupBounds());
        outline->setFillType(1);
        outline->setFillColor(text->firstCharacterColor());

        canvas->deselectGraphic(graphic);
        document->removeGraphicAtIndex(index, layer);
        document->insertGraphic(outline, index, layer);
        platform::NotificationCenter::defaultCenter().post(LBInsertGraphicNotification,
                                                           outline.get());
        canvas->selectGraphic(outline);
        converted = true;
    }
    if (converted)
        _controller.nameUndoStep(QStringLiteral("Convert Text to Outlines"));
}

// --- Font Preview pane ---

HUDFontPreviewTools::HUDFontPreviewTools(HUDWindowController& controller) : _controller(controller)
{
    resize(495, 350);
    auto* grip = new HUDResizeBox(this);
    _resizeBox = grip;
}

void HUDFontPreviewTools::layoutPreview()
{
    if (_fontPreviewController)
        _fontPreviewController->view()->setGeometry(12, 11, width() - 22, height() - 11);
    _resizeBox->move(width() - _resizeBox->width(), height() - _resizeBox->height());
    _resizeBox->raise();
}

void HUDFontPreviewTools::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    layoutPreview();
}

bool HUDFontPreviewTools::eventFilter(QObject* watched, QEvent* event)
{
    // The grip resizes the window: the panel and the pane follow while the pane shows.
    if (event->type() == QEvent::Resize && watched == window() && isVisible()) {
        if (QWidget* content = parentWidget()) {
            content->resize(window()->size());
            resize(window()->width(), window()->height() - 20);
        }
    }
    return QWidget::eventFilter(watched, event);
}

void HUDFontPreviewTools::updateFontPreviewTools()
{
    if (!_controller.graphicView() || _controller.selectedGraphics().isEmpty())
        return;
    if (!_fontPreviewController) {
        _fontPreviewController = new KXFontPreviewViewController(this);
        _fontPreviewController->view()->setParent(this);
        _fontPreviewController->view()->show();
        connect(_fontPreviewController, &KXFontPreviewViewController::selectedFontChanged, this,
                &HUDFontPreviewTools::previewChanged);
        connect(_fontPreviewController, &KXFontPreviewViewController::previewFontSizeChanged, this,
                &HUDFontPreviewTools::previewChanged);
        window()->installEventFilter(this);
        layoutPreview();
        _controller.setReloadFontPreviewString(true);
    }
    QString string;
    const std::optional<QFont> font = HUDFontTools::selectedFontFamilyName(
        _controller, nullptr, nullptr, nullptr, nullptr, &string);
    if (!string.isEmpty() && _controller.reloadFontPreviewString()) {
        _fontPreviewController->setPreviewString(string);
        _controller.setReloadFontPreviewString(false);
    }
    if (font) {
        _ignoreFontChanges = true;
        _fontPreviewController->setSelectedFont(font);
        _ignoreFontChanges = false;
    }
}

void HUDFontPreviewTools::previewChanged()
{
    if (_ignoreFontChanges || !_fontPreviewController)
        return;
    const std::optional<QFont> font = _fontPreviewController->selectedFont();
    if (!font)
        return;
    if (applyFontToTarget(_controller, [&](const QFont&) { return *font; }))
        fontManager().setSelectedFont(font);
}

// --- The pane table ---

namespace {

// The view of a pane in the controller's window.
template <typename View>
View* paneOf(HUDWindowController& controller)
{
    return controller.window() ? controller.window()->findChild<View*>() : nullptr;
}

template <typename View>
HUDWindowController::Pane textPane(int tag, void (View::*update)(), void (View::*action)(QObject*))
{
    HUDWindowController::Pane pane;
    pane.tag = tag;
    pane.factory = [](HUDWindowController& controller) -> QWidget* { return new View(controller); };
    pane.update = [update](HUDWindowController& controller) {
        if (View* view = paneOf<View>(controller))
            (view->*update)();
    };
    if (action)
        pane.action = [action](HUDWindowController& controller, QObject* sender) {
            if (View* view = paneOf<View>(controller))
                (view->*action)(sender);
        };
    return pane;
}

} // namespace

void registerTextPanes()
{
    using H = HUDWindowController;
    H::registerPane(textPane<HUDFontTools>(H::FontTools, &HUDFontTools::updateFontTools,
                                           &HUDFontTools::fontToolsAction));
    H::registerPane(textPane<HUDFontPreviewTools>(
        H::FontPreviewTools, &HUDFontPreviewTools::updateFontPreviewTools, nullptr));
    H::registerPane(textPane<HUDTypographyTools>(H::TypographyTools,
                                                 &HUDTypographyTools::updateTypographyTools,
                                                 &HUDTypographyTools::typographyToolsAction));
    H::registerPane(textPane<HUDArrangeTools>(H::ArrangeTools, &HUDArrangeTools::updateArrangeTools,
                                              &HUDArrangeTools::arrangeToolsAction));
    H::registerPane(textPane<HUDImageMaskTools>(H::ImageMaskTools,
                                                &HUDImageMaskTools::updateImageMaskTools,
                                                &HUDImageMaskTools::imageMaskToolsAction));
    H::registerPane(textPane<HUDContactFieldTools>(H::ContactFieldTools,
                                                   &HUDContactFieldTools::updateContactFieldTools,
                                                   &HUDContactFieldTools::contactFieldToolsAction));
    H::registerPane(textPane<HUDShapeWithTextTools>(
        H::ShapeWithTextTools, &HUDShapeWithTextTools::updateShapeWithTextTools,
        &HUDShapeWithTextTools::shapeWithTextToolsAction));
    H::registerPane(textPane<HUDBarcodeTools>(H::BarcodeTools, &HUDBarcodeTools::updateBarcodeTools,
                                              &HUDBarcodeTools::barcodeToolsAction));
    H::registerPane(textPane<HUDModifiedShapeTools>(
        H::ModifiedShapeTools, &HUDModifiedShapeTools::updateModifiedShapeTools,
        &HUDModifiedShapeTools::modifiedShapeToolsAction));
}
