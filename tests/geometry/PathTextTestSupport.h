#pragma once

// Fixtures of the text-on-path tests: texts in the test font and a helper that records
// every placed glyph.

#include "TestFont.h"

#include "geometry/PTTextOnPathPlacement.h"
#include "platform/drawing/BezierPath.h"
#include "platform/text/AttributedString.h"
#include "platform/text/ParagraphStyle.h"

#include <QFont>
#include <QImage>
#include <QList>
#include <QPointF>
#include <QRect>
#include <QString>
#include <QVariantMap>

#include <optional>

namespace pathtext {

using platform::AttributedString;
using platform::BezierPath;
using platform::ParagraphStyle;

// Each line keeps this much free at both ends.
constexpr double Padding = 5;

inline QVariant styleWith(ParagraphStyle::Alignment alignment)
{
    ParagraphStyle style;
    style.alignment = alignment;
    return QVariant::fromValue(style);
}

// The text in the test font; with an alignment it carries a paragraph style, which makes
// the layout clip the line instead of wrapping it.
inline AttributedString text(const QString& string,
                             std::optional<ParagraphStyle::Alignment> alignment = {},
                             QVariantMap more = {})
{
    more.insert(platform::FontAttributeName, testFont());
    if (alignment)
        more.insert(platform::ParagraphStyleAttributeName, styleWith(*alignment));
    return AttributedString(string, more);
}

inline BezierPath line(const QPointF& from, const QPointF& to)
{
    BezierPath path;
    path.moveTo(from);
    path.lineTo(to);
    return path;
}

struct PlacedGlyph
{
    qsizetype glyph;
    QPointF location;
    double angle;
    double yOffset;
};

class RecordingHelper : public PTTextOnPathPlacement
{
public:
    void layoutManager(platform::LayoutManager*, qsizetype willPlaceGlyphAtIndex,
                       const QPointF& atLocation, double pathAngle, double yOffset) override
    {
        placed.append({willPlaceGlyphAtIndex, atLocation, pathAngle, yOffset});
    }
    QList<PlacedGlyph> placed;
};

// The bounding box of the pixels that are not transparent.
inline QRect inkBounds(const QImage& image)
{
    QRect bounds;
    for (int y = 0; y < image.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if (qAlpha(row[x]) > 0)
                bounds |= QRect(x, y, 1, 1);
        }
    }
    return bounds;
}

} // namespace pathtext
