#pragma once

// Values of every kind an archive holds, for the seeds of the archive targets.

#include "platform/drawing/Shadow.h"
#include "platform/text/AttributedString.h"
#include "platform/text/ParagraphStyle.h"

#include <QColor>
#include <QFont>
#include <QVariantList>
#include <QVariantMap>

namespace fuzz {

inline platform::AttributedString sampleAttributedString()
{
    using namespace platform;
    ParagraphStyle centred;
    centred.alignment = ParagraphStyle::Alignment::Center;
    centred.lineSpacing = 2.5;
    centred.tailIndent = -6;
    QFont bold(QStringLiteral("DejaVu Sans"), 9);
    bold.setWeight(QFont::Bold);
    bold.setStyle(QFont::StyleItalic);
    QFont pixels(QStringLiteral("DejaVu Sans"));
    pixels.setPixelSize(17);
    AttributedString text(QString::fromUtf8("Dear \u00abFirst Name\u00bb,\nsee you soon\u2026"),
                          {{FontAttributeName, QFont(QStringLiteral("DejaVu Sans"), 12)}});
    text.addAttributes({{ForegroundColorAttributeName, QColor::fromRgbF(0.2f, 0.4f, 0.6f, 0.8f)},
                        {FontAttributeName, bold},
                        {QStringLiteral("LBQFieldAttributeName"),
                         QVariantMap{{"Property", "First"}, {"LBPhoneFormatIndex", 2}}}},
                       Range(5, 12));
    text.addAttribute(ParagraphStyleAttributeName, QVariant::fromValue(centred), Range(0, 19));
    text.addAttributes({{KernAttributeName, 1.5}, {UnderlineStyleAttributeName, 1}}, Range(19, 3));
    text.addAttributes({{ShadowAttributeName,
                         QVariant::fromValue(Shadow{QSizeF(1, -2), 3, QColor(10, 20, 30, 40)})},
                        {StrokeColorAttributeName, QColor::fromCmykF(0.1f, 0.2f, 0.3f, 0.4f)}},
                       Range(22, 4));
    text.addAttributes({{FontAttributeName, pixels}, {BaselineOffsetAttributeName, 2.0}},
                       Range(26, 5));
    return text;
}

} // namespace fuzz
