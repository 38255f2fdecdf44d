#pragma once

// Makes the links of a chain that LBPathText::placeLinksOnPathWithEvenLinkLength lays
// along a path.

#include "platform/drawing/BezierPath.h"

#include <QPointF>
#include <QVariant>

class PTLinkPlacementFactory
{
public:
    virtual ~PTLinkPlacementFactory() = default;

    // The link from `point` to `toPoint`, numbered from 0 along the chain; a null QVariant
    // for none.
    virtual QVariant placeLinkFromPoint(const QPointF& point, const QPointF& toPoint,
                                        const platform::BezierPath& onPath, int linkNumber,
                                        void* userInfo) = 0;
};
