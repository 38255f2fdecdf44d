#pragma once

// A shadow cast by drawn text: offset in points (y grows downwards, so a positive height
// puts the shadow below), blur radius in points and colour. A small value stored in a
// QVariant under ShadowAttributeName. The drawing context casts the same kind of shadow
// (GraphicsContext::setShadow), measured in its base coordinates.

#include <QColor>
#include <QMetaType>
#include <QSizeF>

namespace platform {

struct Shadow
{
    QSizeF offset;
    qreal blurRadius = 0;
    QColor color = QColor(0, 0, 0, 85); // black at one third opacity

    bool operator==(const Shadow&) const = default;
};

} // namespace platform

Q_DECLARE_METATYPE(platform::Shadow)
