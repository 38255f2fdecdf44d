#pragma once

// The one walk over a face's layers for drawing, shared by the canvas and the sheet
// renderer: layer 0 first, each layer from its last graphic to its first, so that index 0
// of a layer ends in front. Layers `shown` refuses are passed over.

#include "document/LBDocument.h"

template <typename Shown, typename Draw>
void LBWalkLayersForDrawing(const LBDocument::Page& layers, Shown&& shown, Draw&& draw)
{
    for (qsizetype l = 0; l < layers.size(); ++l) {
        if (!shown(qint64(l)))
            continue;
        const LBDocument::Layer& layer = layers.at(l);
        for (qsizetype i = layer.size() - 1; i >= 0; --i)
            draw(layer.at(i));
    }
}
