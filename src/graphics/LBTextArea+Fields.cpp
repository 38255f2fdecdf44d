// Merge fields and their rollovers, text-box types with the address tab, per-label and
// per-contact edited text, and the address choice per contact.

#include "graphics/LBTextArea.h"

#include "platform/core/NotificationCenter.h"
#include "platform/core/Strings.h"
#include "platform/core/TextForms.h"
#include "platform/text/LayoutManager.h"
#include "platform/ui/Beep.h"

#include <QColor>
#include <QFont>
#include <QGuiApplication>
#include <QStringList>

#include <algorithm>
#include <limits>

using platform::AttributedString;
using platform::Range;

namespace {

const QString EditedTextKey = QStringLiteral("EditedText");
const QString EditedTextLabelIndexKey = QStringLiteral("EditedTextLabelIndex");
const QString EditedTextContactUIDKey = QStringLiteral("EditedTextContactUID");
const QString EditedTextArrayIndexKey = QStringLiteral("EditedTextArrayIndex");
const QString AddressIndexKey = QStringLiteral("AddressIndex");

// The field options that get a rollover on the canvas.
const QStringList FieldOptionKeys{
    QStringLiteral("LBIdentityFieldIndex"), QStringLiteral("IncludeZeros"),
    QStringLiteral("LBDateFormatIndex"),    QStringLiteral("LBTimeFormatIndex"),
    QStringLiteral("LBPhoneFormatIndex"),
};

bool hasFieldOptions(const QVariant& value)
{
    if (value.typeId() != QMetaType::QVariantMap && value.typeId() != QMetaType::QVariantHash)
        return false;
    const QVariantMap options = value.toMap();
    return std::any_of(FieldOptionKeys.cbegin(), FieldOptionKeys.cend(),
                       [&](const QString& key) { return options.contains(key); });
}

} // namespace

// --- Merge fields ---

bool LBTextArea::containsFields() const
{
    if (!hasText())
        return false;
    const AttributedString& text = _contents->attributedString();
    bool found = false;
    text.enumerateAttribute(LBQFieldAttributeName, Range(0, text.length()),
                            [&](const QVariant& value, const Range&, bool& stop) {
                                if (!value.isNull())
                                    found = stop = true;
                            });
    return found;
}

QList<Range> LBTextArea::fieldsOverlappingRange(const Range& range) const
{
    return _contents ? fieldsOverlappingRange(_contents->attributedString(), range)
                     : QList<Range>();
}

QList<Range> LBTextArea::fieldsOverlappingRange(const AttributedString& text, const Range& range)
{
    QList<Range> fields;
    if (range.location < 0 || range.location >= text.length() || range.length < 0)
        return fields;
    const Range whole(0, text.length());
    const qsizetype end = range.end();
    qsizetype i = range.location;
    do {
        Range run;
        const QVariant value = text.attribute(LBQFieldAttributeName, i, &run, whole);
        // A range that ends where a field starts does not reach into it.
        if (run.location == end)
            break;
        if (!value.isNull())
            fields.append(run);
        i = run.end();
    } while (i < end && i < text.length());
    return fields;
}

std::optional<QList<QVariantMap>> LBTextArea::fieldRolloverArray() const
{
    if (!_contents)
        return std::nullopt;
    if (_fieldRolloverArray && !_fieldRolloverArray->isEmpty())
        return _fieldRolloverArray;

    const QList<Range> fields = fieldsOverlappingRange(Range(0, _contents->length()));
    _fieldRolloverArray = QList<QVariantMap>();
    _fieldRolloverArray->reserve(fields.size());
    if (fields.isEmpty())
        return _fieldRolloverArray;

    const SharedLayout layout(*_contents,
                              QSizeF(bounds().width(), std::numeric_limits<float>::max()));
    const AttributedString& text = _contents->attributedString();
    for (const Range& field : fields) {
        const QVariant options =
            text.attribute(LBQFieldAttributeName, field.location, nullptr, Range(0, text.length()));
        if (!hasFieldOptions(options))
            continue;
        QStringList rects;
        for (const QRectF& rect :
             layout.layoutManager().rectArrayForCharacterRange(field, layout.container()))
            rects.append(platform::stringFromRect(rect));
        _fieldRolloverArray->append(
            {{QStringLiteral("LBFieldDictionary"), options.toMap()},
             {QStringLiteral("LBRolloverRectArray"), rects},
             {QStringLiteral("LBFieldRange"), platform::stringFromRange(field)}});
    }
    return _fieldRolloverArray;
}

void LBTextArea::resetFieldRolloverArray()
{
    _fieldRolloverArray.reset();
}

// --- Text-box type and address tab ---

void LBTextArea::setTextBoxType(qint64 type)
{
    _textBoxType = type;
    _addressTabStr = type > 0 ? platform::LocalizedString(type == ReturnAddressBox
                                                              ? QStringLiteral("Return Addr")
                                                              : QStringLiteral("Delivery Addr"),
                                                          QStringLiteral("Miscellaneous"))
                              : QString();
}

AttributedString LBTextArea::tabCaption() const
{
    QFont font = QGuiApplication::font();
    font.setPointSizeF(9.0);
    return AttributedString(_addressTabStr, {{platform::FontAttributeName, font},
                                             {platform::ForegroundColorAttributeName,
                                              QColor::fromRgbF(1.0f / 3, 1.0f / 3, 1.0f / 3)}});
}

QRectF LBTextArea::textTabBounds() const
{
    if (_textBoxType <= 0)
        return QRectF();
    const QRectF b = bounds();
    const QSizeF size = tabCaption().size();
    return QRectF(b.x() + 4.0, b.y() - size.height(), size.width() + 20.0, size.height());
}

QRectF LBTextArea::shadowDrawingBoundsWithHandles(bool withHandles) const
{
    QRectF rect = LBGraphic::shadowDrawingBoundsWithHandles(withHandles);
    if (withHandles && _textBoxType > 0)
        rect.adjust(0.0, -textTabBounds().height(), 0.0, 0.0);
    return rect;
}

double LBTextArea::recipientTextHeight() const
{
    return _textBoxType == DeliveryAddressBox ? _recipientTextHeight : 0.0;
}

// --- Per-label and per-contact text ---

void LBTextArea::setEditedText(const std::optional<AttributedString>& text,
                               const QString& contactUID)
{
    std::optional<AttributedString> edited = text;
    qint64 position = -1;
    if (text) {
        QVariantMap entry{{EditedTextKey, QVariant::fromValue(*text)}};
        if (!contactUID.isNull())
            entry.insert(EditedTextContactUIDKey, contactUID);
        else
            entry.insert(EditedTextLabelIndexKey, _labelIndexForNewTextEditor);
        if (!_editedTextArray)
            _editedTextArray = EntryArray();
        _editedTextArray->append(entry);
        position = _editedTextArray->size() - 1;
    } else {
        edited = editedTextForLabelIndex(_labelIndexForNewTextEditor, contactUID, &position);
    }
    _labelIndexForNewTextEditor = -1;
    // Without a text there is nothing to edit: an announcement without one would make the
    // preview's editor write its result over some other label's entry.
    if (!edited)
        return;
    platform::NotificationCenter::defaultCenter().post(
        LBEditedTextSavedNotification, this,
        {{EditedTextKey, QVariant::fromValue(*edited)}, {EditedTextArrayIndexKey, position}});
}

void LBTextArea::updateEditedText(const AttributedString& text, qint64 atArrayIndex)
{
    if (!_editedTextArray || atArrayIndex < 0 || atArrayIndex >= _editedTextArray->size())
        return;
    QVariantMap entry = _editedTextArray->at(atArrayIndex);
    if (!entry.contains(EditedTextKey))
        platform::beep();
    entry.insert(EditedTextKey, QVariant::fromValue(text));
    (*_editedTextArray)[atArrayIndex] = entry;
}

std::optional<AttributedString> LBTextArea::editedTextForLabelIndex(qint64 labelIndex,
                                                                    const QString& contactUID,
                                                                    qint64* arrayIndex) const
{
    if (arrayIndex)
        *arrayIndex = -1;
    if (!_editedTextArray)
        return std::nullopt;
    for (qsizetype k = 0; k < _editedTextArray->size(); ++k) {
        const QVariantMap& entry = _editedTextArray->at(k);
        const bool matches =
            !contactUID.isNull()
                ? entry.contains(EditedTextContactUIDKey)
                      && entry.value(EditedTextContactUIDKey).toString() == contactUID
                : entry.contains(EditedTextLabelIndexKey)
                      && platform::intValue(entry.value(EditedTextLabelIndexKey)) == labelIndex;
        if (!matches)
            continue;
        if (arrayIndex)
            *arrayIndex = k;
        const QVariant value = entry.value(EditedTextKey);
        if (value.metaType() != QMetaType::fromType<AttributedString>())
            return std::nullopt;
        return value.value<AttributedString>();
    }
    return std::nullopt;
}

void LBTextArea::setAddressIndex(qint64 addressIndex, const QString& contactUID)
{
    const QVariantMap entry{{AddressIndexKey, addressIndex}, {EditedTextContactUIDKey, contactUID}};
    if (!_addressIndexArray)
        _addressIndexArray = EntryArray();
    for (QVariantMap& existing : *_addressIndexArray) {
        if (existing.value(EditedTextContactUIDKey).toString() == contactUID
            && existing.contains(EditedTextContactUIDKey)) {
            existing = entry;
            return;
        }
    }
    _addressIndexArray->append(entry);
}

qint64 LBTextArea::addressIndexForContactUID(const QString& contactUID, qint64* arrayIndex) const
{
    if (arrayIndex)
        *arrayIndex = -1;
    if (!_addressIndexArray)
        return -1;
    for (qsizetype k = 0; k < _addressIndexArray->size(); ++k) {
        const QVariantMap& entry = _addressIndexArray->at(k);
        if (!entry.contains(EditedTextContactUIDKey)
            || entry.value(EditedTextContactUIDKey).toString() != contactUID)
            continue;
        if (arrayIndex)
            *arrayIndex = k;
        return platform::intValue(entry.value(AddressIndexKey));
    }
    return -1;
}
