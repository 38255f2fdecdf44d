// The text area's keys of the graphic property list.

#include "graphics/LBTextArea.h"

#include "graphics/GraphicDictionary.h"

using platform::AttributedString;

namespace {

QVariantList variantList(const LBTextArea::EntryArray& entries)
{
    QVariantList list;
    for (const QVariantMap& entry : entries)
        list.append(entry);
    return list;
}

// The entries of a stored per-label or per-contact array; entries that are not
// dictionaries are passed over.
std::optional<LBTextArea::EntryArray> entryArray(const GraphicDictionaryReader& reader,
                                                 const QString& key)
{
    const std::optional<QVariantList> list = reader.archivedArray(key);
    if (!list)
        return std::nullopt;
    LBTextArea::EntryArray entries;
    for (qsizetype i = 0; i < list->size(); ++i) {
        if (list->at(i).typeId() == QMetaType::QVariantMap)
            entries.append(list->at(i).toMap());
        else
            reader.logSkipped(key, QStringLiteral("entry %1 is not a dictionary").arg(i));
    }
    return entries;
}

} // namespace

QVariantMap LBTextArea::propertyListRepresentation() const
{
    QVariantMap dictionary = LBGraphic::propertyListRepresentation();
    GraphicDictionaryWriter w(dictionary);
    // An empty text is written too: a shape holding one still carries text.
    if (_contents)
        w.setAttributedString(QStringLiteral("Text"), _contents->attributedString());
    w.setInteger(QStringLiteral("TextResizeMask"), qint64(_textResizeMask));
    w.setInteger(QStringLiteral("HorizontalAlignment"), _horizontalAlignment);
    w.setInteger(QStringLiteral("VerticalAlignment"), _verticalAlignment);
    w.setInteger(QStringLiteral("TextBoxType"), _textBoxType);
    if (_editedTextArray)
        w.setArchivedArray(QStringLiteral("EditedTextArray"), variantList(*_editedTextArray));
    if (_addressIndexArray)
        w.setArchivedArray(QStringLiteral("AddressIndexArray"), variantList(*_addressIndexArray));
    w.setBool(QStringLiteral("TextIsCurved"), _isCurved);
    w.setBool(QStringLiteral("TextIsSpiral"), _isSpiral);
    w.setBool(QStringLiteral("TextDrawsOnInsideOfCurve"), _drawsOnInsideOfCurve);
    w.setInteger(QStringLiteral("TextCurveStartingAngle"), _curveStartingAngle);
    w.setReal6(QStringLiteral("TextSpiralRate"), _spiralRate);
    w.setInteger(QStringLiteral("TextGradientType"), _textGradientType);
    w.setColor(QStringLiteral("TextGradientColor1"), _textGradientColor1);
    w.setColor(QStringLiteral("TextGradientColor2"), _textGradientColor2);
    w.setReal2(QStringLiteral("TextGradientCenter"), _textGradientCenter);
    w.setReal2(QStringLiteral("TextGradientCenterSize"), textGradientCenterSize());
    w.setReal2(QStringLiteral("TextGradientAngle"), _textGradientAngle);
    return dictionary;
}

void LBTextArea::loadPropertyListRepresentation(const QVariantMap& dictionary)
{
    LBGraphic::loadPropertyListRepresentation(dictionary);
    const GraphicDictionaryReader r(dictionary, graphicType());

    if (const auto text = r.attributedString(QStringLiteral("Text")))
        setContents(*text);
    if (const auto mask = r.intValue(QStringLiteral("TextResizeMask")))
        setTextResizeMask(quint64(*mask));
    if (const auto alignment = r.intValue(QStringLiteral("HorizontalAlignment")))
        _horizontalAlignment = *alignment;
    if (const auto alignment = r.intValue(QStringLiteral("VerticalAlignment")))
        _verticalAlignment = *alignment;
    if (const auto type = r.intValue(QStringLiteral("TextBoxType")))
        setTextBoxType(*type);
    if (auto entries = entryArray(r, QStringLiteral("EditedTextArray")))
        _editedTextArray = std::move(entries);
    if (auto entries = entryArray(r, QStringLiteral("AddressIndexArray")))
        _addressIndexArray = std::move(entries);
    if (const auto curved = r.boolValue(QStringLiteral("TextIsCurved")))
        setIsCurved(*curved);
    if (const auto spiral = r.boolValue(QStringLiteral("TextIsSpiral")))
        setIsSpiral(*spiral);
    if (const auto inside = r.boolValue(QStringLiteral("TextDrawsOnInsideOfCurve")))
        setDrawsOnInsideOfCurve(*inside);
    if (const auto angle = r.intValue(QStringLiteral("TextCurveStartingAngle")))
        _curveStartingAngle = *angle;
    if (const auto rate = r.floatValue(QStringLiteral("TextSpiralRate")))
        _spiralRate = *rate;

    // The gradient's other values count only when its type is stored.
    if (const auto type = r.integerValue(QStringLiteral("TextGradientType"))) {
        setTextGradientType(*type);
        if (const auto color = r.color(QStringLiteral("TextGradientColor1")))
            setTextGradientColor1(*color);
        if (const auto color = r.color(QStringLiteral("TextGradientColor2")))
            setTextGradientColor2(*color);
        if (const auto center = r.floatValue(QStringLiteral("TextGradientCenter")))
            setTextGradientCenter(*center);
        if (const auto size = r.floatValue(QStringLiteral("TextGradientCenterSize")))
            setTextGradientCenterSize(*size);
        if (const auto angle = r.floatValue(QStringLiteral("TextGradientAngle")))
            setTextGradientAngle(*angle);
        return;
    }
    if (!isTextBox())
        return;

    // A text box from before text gradients: its gradient fill was its text's gradient,
    // and its background colour its fill.
    const qint64 type = fillType();
    if (type == 2 || type == 3) {
        setTextGradientType(type);
        setTextGradientAngle(_gradientAngle);
        setTextGradientCenter(_gradientCenter);
        setTextGradientCenterSize(_gradientCenterSize);
        setTextGradientColor1(_fillColor);
        setTextGradientColor2(_fillColor1);
        _gFlags.fillType = 0;
    }
    if (const auto background = r.color(QStringLiteral("TextBackgroundColor")))
        setFillColor(*background);
    if (r.boolValue(QStringLiteral("DrawsBackgroundColor")).value_or(false))
        setFillType(1);
}
