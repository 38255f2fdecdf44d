// The text box: its text and how it is replaced, copying, colours, alignment, scaling of
// fonts and kerning, and the setters of its own attributes.

#include "graphics/LBTextArea.h"

#include "graphics/LBGradientFill.h"
#include "platform/text/ParagraphStyle.h"

#include <QFont>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <utility>

using platform::AttributedString;
using platform::ParagraphStyle;
using platform::Range;
using platform::TextStorage;

namespace {

// One attribute change: the value for a run (a null value removes the attribute).
struct AttributeChange
{
    Range range;
    QVariant value;
};

// Applies changes of one attribute to attributed text or a text storage.
template <typename Text>
void applyChanges(Text& text, const QString& name, const QList<AttributeChange>& changes)
{
    for (const AttributeChange& change : changes)
        text.addAttribute(name, change.value, change.range);
}

void applyChanges(TextStorage& text, const QString& name, const QList<AttributeChange>& changes)
{
    if (changes.isEmpty())
        return;
    text.beginEditing();
    for (const AttributeChange& change : changes)
        text.addAttribute(name, change.value, change.range);
    text.endEditing();
}

bool usableFactor(double factor)
{
    return std::isfinite(factor) && factor > 0.0;
}

QList<AttributeChange> scaledFonts(const AttributedString& text, double factor)
{
    QList<AttributeChange> changes;
    if (text.isEmpty() || !usableFactor(factor))
        return changes;
    text.enumerateAttribute(platform::FontAttributeName, Range(0, text.length()),
                            [&](const QVariant& value, const Range& range, bool&) {
                                QFont font = AttributedString::defaultFont();
                                qreal size = 12.0;
                                if (value.metaType() == QMetaType::fromType<QFont>()) {
                                    const QFont stored = value.value<QFont>();
                                    if (!stored.family().isEmpty())
                                        font = stored;
                                    if (stored.pointSizeF() > 0)
                                        size = stored.pointSizeF();
                                    else if (stored.pixelSize() > 0)
                                        size = stored.pixelSize();
                                }
                                font.setPointSizeF(size * factor);
                                changes.append({range, font});
                            });
    return changes;
}

QList<AttributeChange> scaledKerning(const AttributedString& text, double factor,
                                     bool ignoreStandardKerning)
{
    QList<AttributeChange> changes;
    if (text.isEmpty() || !std::isfinite(factor))
        return changes;
    text.enumerateAttribute(platform::KernAttributeName, Range(0, text.length()),
                            [&](const QVariant& value, const Range& range, bool&) {
                                if (value.isNull()) {
                                    // Standard kerning: the font's own pair kerning.
                                    if (!ignoreStandardKerning)
                                        changes.append({range, factor});
                                    return;
                                }
                                // A kern of 0 turns pair kerning off; scaled, it must stay off, or scaling
                                // there and back would leave the text changed.
                                const double kern = value.toDouble();
                                if (kern != 0.0)
                                    changes.append({range, kern * factor});
                            });
    return changes;
}

qint64 alignmentNumber(const QVariant& value)
{
    if (value.metaType() != QMetaType::fromType<ParagraphStyle>())
        return 0;
    const auto style = value.value<ParagraphStyle>();
    if (style.alignment == ParagraphStyle::Alignment::Natural)
        return style.baseWritingDirection == ParagraphStyle::WritingDirection::RightToLeft ? 1 : 0;
    return qint64(style.alignment);
}

} // namespace

LBTextArea::LBTextArea()
    : _autoResizeEnablingDeadline(1000),
      _textGradientColor1(Qt::black),
      _textGradientColor2(Qt::white)
{
    // A new text box has no outline, and its reflection shows the whole box.
    _gFlags.drawsStroke = 0;
    _reflectionHeight = 1.0;
}

LBTextArea::~LBTextArea() = default;

std::shared_ptr<LBGraphic> LBTextArea::copy() const
{
    std::shared_ptr<LBGraphic> graphic = LBGraphic::copy();
    copyTextAreaFields(static_cast<LBTextArea&>(*graphic));
    return graphic;
}

void LBTextArea::copyTextAreaFields(LBTextArea& copy) const
{
    copy.setContents(_contents);
    copy.setTextResizeMask(_textResizeMask);
    copy.setTextBlockHorizontalAlignment(_horizontalAlignment);
    copy.setTextBlockVerticalAlignment(_verticalAlignment);
    copy.setPostnetBarcodeWidth(_postnetBarcodeWidth);
    copy.setTextBoxType(_textBoxType);
    copy.setLabelIndexForNewTextEditor(_labelIndexForNewTextEditor);
    copy.setEditedTextArray(_editedTextArray);
    copy.setTextIsLocked(_textIsLocked);
    copy.setAddressIndexArray(_addressIndexArray);
    copy.setDrawAddressPopup(_drawAddressPopup);
    copy.setIsCurved(_isCurved);
    copy.setIsSpiral(_isSpiral);
    copy.setDrawsOnInsideOfCurve(_drawsOnInsideOfCurve);
    copy.setCurveStartingAngle(_curveStartingAngle);
    copy.setSpiralRate(_spiralRate);
    copy.setTextGradientType(_textGradientType);
    copy.setTextGradientColor1(_textGradientColor1);
    copy.setTextGradientColor2(_textGradientColor2);
    copy.setTextGradientCenter(_textGradientCenter);
    copy.setTextGradientCenterSize(_textGradientCenterSize);
    copy.setTextGradientAngle(_textGradientAngle);
}

// --- The text ---

void LBTextArea::setContents(std::nullptr_t)
{
    std::optional<AttributedString> old;
    if (_contents)
        old = _contents->attributedString();
    registerUndo([old](LBGraphic& g) {
        auto& box = static_cast<LBTextArea&>(g);
        if (old)
            box.setContents(*old);
        else
            box.setContents(nullptr);
    });
    _contentsObservation.reset();
    _contents.reset();
    didChange();
}

void LBTextArea::setContents(const TextStoragePtr& storage)
{
    if (!storage)
        setContents(nullptr);
    else if (storage != _contents)
        setContents(storage->attributedString());
}

void LBTextArea::setContents(const QString& text)
{
    if (text.isNull()) {
        setContents(nullptr);
        return;
    }
    prepareContentsReplacement();
    // Plain text takes the attributes the storage gives replaced text.
    _contents->replaceCharactersInRange(Range(0, _contents->length()), text);
    didChange();
}

void LBTextArea::setContents(const AttributedString& text)
{
    prepareContentsReplacement();
    _contents->replaceCharactersInRange(Range(0, _contents->length()), text);
    didChange();
}

void LBTextArea::setContentsForDrawing(const AttributedString& text)
{
    _contentsObservation.reset();
    _contents = std::make_shared<TextStorage>(text);
    clearCachedImage();
}

void LBTextArea::prepareContentsReplacement()
{
    // The first text of a box undoes to empty text, not to none.
    AttributedString undoValue;
    if (_contents) {
        undoValue = _contents->attributedString();
    } else {
        _contents = std::make_shared<TextStorage>();
        _contentsObservation = _contents->observeEditing(
            [this](TextStorage&, const TextStorage::Edit&) { contentsChanged(); });
    }
    registerUndo([undoValue](LBGraphic& g) { static_cast<LBTextArea&>(g).setContents(undoValue); });
}

QVariant LBTextArea::coerceValueForContents(const QVariant& value)
{
    if (value.typeId() == QMetaType::QString
        || value.metaType() == QMetaType::fromType<AttributedString>())
        return value;
    if (value.canConvert<QString>() && !value.isNull())
        return QVariant::fromValue(AttributedString(value.toString()));
    return QVariant();
}

void LBTextArea::contentsChanged()
{
    didChange();
    if (!_autoResizeTextBox)
        return;
    // Typing right after a box was made (pasting, placing a text) must not resize it.
    if (!_enableAutoResizeTimer && !_autoResizeEnablingDeadline.hasExpired())
        return;
    _enableAutoResizeTimer = true;
    // A burst of edits resizes once, a moment after the last of them.
    if (!_autoResizeBoundsTimer) {
        _autoResizeBoundsTimer = std::make_unique<QTimer>();
        _autoResizeBoundsTimer->setSingleShot(true);
        _autoResizeBoundsTimer->setInterval(100);
        QObject::connect(_autoResizeBoundsTimer.get(), &QTimer::timeout,
                         _autoResizeBoundsTimer.get(), [this] { autoResizeBounds(); });
    }
    _autoResizeBoundsTimer->start();
}

QColor LBTextArea::firstCharacterColor() const
{
    if (!hasText())
        return Qt::black;
    const QVariant value =
        _contents->attributedString().attribute(platform::ForegroundColorAttributeName, 0);
    if (value.typeId() != QMetaType::QColor || !value.value<QColor>().isValid())
        return Qt::black;
    QColor color = value.value<QColor>();
    // Text given the graphic's alpha shows its own colour at full strength. Colours keep
    // alpha in 16 bits, so "equal" allows for that rounding.
    if (color.alphaF() < 1.0f && std::abs(color.alphaF() - _graphicAlpha) < 1.0 / 65535)
        color.setAlphaF(1.0f);
    return color;
}

qint64 LBTextArea::textAlignment() const
{
    if (!hasText())
        return 0;
    const AttributedString& text = _contents->attributedString();
    std::optional<qint64> common;
    text.enumerateAttribute(platform::ParagraphStyleAttributeName, Range(0, text.length()),
                            [&](const QVariant& value, const Range&, bool& stop) {
                                const qint64 alignment = alignmentNumber(value);
                                if (!common) {
                                    common = alignment;
                                } else if (*common != alignment) {
                                    common = -2;
                                    stop = true;
                                }
                            });
    return common.value_or(0);
}

void LBTextArea::setGraphicAlpha(double alpha)
{
    LBGraphic::setGraphicAlpha(alpha);
    applyAlphaToText(alpha);
    if (_textGradientFill)
        updateTextGradientFillColors();
    didChange();
}

void LBTextArea::applyAlphaToText(double alpha)
{
    if (!hasText())
        return;
    QList<AttributeChange> changes;
    const AttributedString text = _contents->attributedString();
    text.enumerateAttribute(platform::ForegroundColorAttributeName, Range(0, text.length()),
                            [&](const QVariant& value, const Range& range, bool&) {
                                QColor color = value.typeId() == QMetaType::QColor
                                                       && value.value<QColor>().isValid()
                                                   ? value.value<QColor>()
                                                   : QColor(Qt::black);
                                color.setAlphaF(float(alpha));
                                changes.append({range, color});
                            });
    applyChanges(*_contents, platform::ForegroundColorAttributeName, changes);
}

void LBTextArea::scaleOtherSettingsByFactor(double factor)
{
    if (!hasText() || !usableFactor(factor))
        return;
    // The inverse puts the text back exactly; scaling back by 1 / factor would leave
    // rounding in the font sizes.
    const AttributedString old = _contents->attributedString();
    registerUndo([old](LBGraphic& g) { static_cast<LBTextArea&>(g).setContents(old); });
    _contents->beginEditing();
    adjustFontSizeInString(*_contents, factor);
    adjustKerningInString(*_contents, factor, true);
    _contents->endEditing();
}

void LBTextArea::adjustFontSizeInString(AttributedString& string, double factor)
{
    applyChanges(string, platform::FontAttributeName, scaledFonts(string, factor));
}

void LBTextArea::adjustFontSizeInString(TextStorage& string, double factor)
{
    applyChanges(string, platform::FontAttributeName,
                 scaledFonts(string.attributedString(), factor));
}

void LBTextArea::adjustKerningInString(AttributedString& string, double factor,
                                       bool ignoreStandardKerning)
{
    applyChanges(string, platform::KernAttributeName,
                 scaledKerning(string, factor, ignoreStandardKerning));
}

void LBTextArea::adjustKerningInString(TextStorage& string, double factor,
                                       bool ignoreStandardKerning)
{
    applyChanges(string, platform::KernAttributeName,
                 scaledKerning(string.attributedString(), factor, ignoreStandardKerning));
}

// --- Size ---

void LBTextArea::setBounds(const QRectF& newBounds)
{
    QRectF rect = newBounds;
    rect.setWidth(std::max(rect.width(), minSize().width()));
    rect.setHeight(std::max(rect.height(), minSize().height()));
    LBGraphic::setBounds(rect);
    resetFieldRolloverArray();
}

void LBTextArea::setZoomFactor(double zoomFactor)
{
    LBGraphic::setZoomFactor(zoomFactor);
    resetFieldRolloverArray();
}

void LBTextArea::makeNaturalSize()
{
    const QRectF b = bounds();
    setBounds(QRectF(b.topLeft(), requiredSize(maxSize().width())));
}

qint64 LBTextArea::knobMask() const
{
    return _autoResizeTextBox ? 0 : 255;
}

// --- Fitting ---

void LBTextArea::setTextResizeMask(quint64 mask)
{
    if (!changeValue(_textResizeMask, mask, &LBTextArea::setTextResizeMask))
        return;
    didChange();
}

void LBTextArea::removeMultipliers()
{
    _shrinkMultipliers.clear();
    _expandMultipliers.clear();
}

// --- Block alignment ---

void LBTextArea::setTextBlockHorizontalAlignment(qint64 alignment)
{
    recordValue(_horizontalAlignment, alignment, &LBTextArea::setTextBlockHorizontalAlignment);
    didChange();
}

void LBTextArea::setTextBlockVerticalAlignment(qint64 alignment)
{
    recordValue(_verticalAlignment, alignment, &LBTextArea::setTextBlockVerticalAlignment);
    didChange();
}

QSizeF LBTextArea::blockAlignmentDelta() const
{
    if (_horizontalAlignment == 0 && _verticalAlignment == 0)
        return QSizeF(0.0, 0.0);
    return _blockAlignmentDelta;
}

// --- Paths ---

std::optional<platform::BezierPath> LBTextArea::shapeBezierPath() const
{
    const double width = strokeLineWidth();
    const double inset = width / 2.0;
    platform::BezierPath path =
        platform::BezierPath::withRect(bounds().adjusted(inset, inset, -inset, -inset));
    path.setLineWidth(width);
    applyDrawingDash(path);
    return path;
}

// --- Text gradient ---

double LBTextArea::textGradientCenterSize() const
{
    return std::max(_textGradientCenterSize, 0.01);
}

void LBTextArea::setTextGradientType(qint64 type)
{
    if (!changeValue(_textGradientType, type, &LBTextArea::setTextGradientType))
        return;
    if (type == 0)
        _textGradientFill.reset();
    else if (_textGradientFill)
        _textGradientFill->setGradientType(type, _textGradientCenter, textGradientCenterSize(),
                                           _textGradientAngle);
    didChange();
}

void LBTextArea::setTextGradientColor1(const QColor& color)
{
    if (!changeValue(_textGradientColor1, color, &LBTextArea::setTextGradientColor1))
        return;
    if (_textGradientFill)
        updateTextGradientFillColors();
    didChange();
}

void LBTextArea::setTextGradientColor2(const QColor& color)
{
    if (!changeValue(_textGradientColor2, color, &LBTextArea::setTextGradientColor2))
        return;
    if (color.isValid())
        updateTextGradientFillColors();
    didChange();
}

void LBTextArea::setTextGradientCenter(double center)
{
    if (!changeValue(_textGradientCenter, center, &LBTextArea::setTextGradientCenter))
        return;
    if (_textGradientFill)
        _textGradientFill->setGradientType(_textGradientType, _textGradientCenter,
                                           textGradientCenterSize(), _textGradientAngle);
    didChange();
}

void LBTextArea::setTextGradientCenterSize(double size)
{
    size = std::max(size, 0.01);
    if (!changeValue(_textGradientCenterSize, size, &LBTextArea::setTextGradientCenterSize))
        return;
    if (_textGradientFill)
        _textGradientFill->setGradientType(_textGradientType, _textGradientCenter,
                                           textGradientCenterSize(), _textGradientAngle);
    didChange();
}

void LBTextArea::setTextGradientAngle(double angle)
{
    if (!changeValue(_textGradientAngle, angle, &LBTextArea::setTextGradientAngle))
        return;
    if (_textGradientFill)
        _textGradientFill->setGradientType(_textGradientType, _textGradientCenter,
                                           textGradientCenterSize(), _textGradientAngle);
    didChange();
}

void LBTextArea::updateTextGradientFillColors()
{
    if (!_textGradientFill)
        return;
    const auto withAlpha = [this](QColor color) {
        if (color.isValid())
            color.setAlphaF(float(color.alphaF() * _graphicAlpha));
        return color;
    };
    _textGradientFill->setStartColor(withAlpha(_textGradientColor1),
                                     withAlpha(_textGradientColor2));
}

// --- Curved and spiral text ---

void LBTextArea::setIsCurved(bool curved)
{
    recordValue(_isCurved, curved, &LBTextArea::setIsCurved);
    didChange();
}

void LBTextArea::setIsSpiral(bool spiral)
{
    recordValue(_isSpiral, spiral, &LBTextArea::setIsSpiral);
    didChange();
}

void LBTextArea::setDrawsOnInsideOfCurve(bool inside)
{
    recordValue(_drawsOnInsideOfCurve, inside, &LBTextArea::setDrawsOnInsideOfCurve);
    didChange();
}

void LBTextArea::setCurveStartingAngle(qint64 degrees)
{
    recordValue(_curveStartingAngle, degrees, &LBTextArea::setCurveStartingAngle);
    didChange();
}

void LBTextArea::setSpiralRate(double rate)
{
    recordValue(_spiralRate, rate, &LBTextArea::setSpiralRate);
    didChange();
}
