#include "platform/text/GlyphOutlines.h"

#include <QByteArray>
#include <QCache>
#include <QHash>
#include <QPainterPath>
#include <QRawFont>
#include <QString>

#include <algorithm>

namespace platform {

namespace {

// A font is named by its family, style and size, and told apart from another file with the
// same names by the checksum its "head" table carries.
struct OutlineKey
{
    QString family;
    QString style;
    QByteArray fileChecksum;
    qreal pixelSize = 0;
    quint32 glyph = 0;

    bool operator==(const OutlineKey&) const = default;
};

size_t qHash(const OutlineKey& key, size_t seed = 0)
{
    return qHashMulti(seed, key.family, key.style, key.fileChecksum, key.pixelSize, key.glyph);
}

QCache<OutlineKey, QPainterPath>& cache()
{
    // Costs are element counts; a few thousand glyphs of ordinary text fit.
    static QCache<OutlineKey, QPainterPath> outlines(200000);
    return outlines;
}

} // namespace

QPainterPath glyphOutline(const QRawFont& font, quint32 glyphIndex)
{
    if (!font.isValid())
        return QPainterPath();
    OutlineKey key{font.familyName(), font.styleName(), font.fontTable("head").mid(8, 4),
                   font.pixelSize(), glyphIndex};
    if (const QPainterPath* cached = cache().object(key))
        return *cached;
    const QPainterPath outline = font.pathForGlyph(glyphIndex);
    cache().insert(key, new QPainterPath(outline), std::max(1, int(outline.elementCount())));
    return outline;
}

} // namespace platform
