#pragma once

// The graphics the list benchmarks write and read: 1,000 graphics (or as many as asked)
// of every registered class in turn, with colours, strokes, turns, dashes, shadows and text where a class has
// it, but no pictures.

#include "graphics/LBGraphic.h"
#include "graphics/LBTextArea.h"
#include "platform/core/ClassRegistry.h"
#include "platform/text/AttributedString.h"
#include "shapes/ShapeClasses.h"

#include <QColor>
#include <QFont>
#include <QList>
#include <QStringList>

constexpr int MixedGraphicCount = 1000;

inline QList<LBGraphicPtr> mixedGraphics(int count = MixedGraphicCount)
{
    registerShapeClasses();
    const QStringList classes = platform::ClassRegistry<LBGraphic>::classNames();
    QList<LBGraphicPtr> graphics;
    graphics.reserve(count);
    for (int i = 0; i < count; ++i) {
        const auto g = platform::ClassRegistry<LBGraphic>::create(classes[i % classes.size()]);
        g->setBounds(QRectF(10 + i % 400, 20 + i % 300, 80 + i % 50, 40 + i % 30));
        g->setFillType(1);
        g->setFillColor(QColor::fromHsv(i % 360, 200, 220));
        g->setStrokeColor(Qt::darkBlue);
        g->setStrokeLineWidth(1 + i % 4);
        g->setRotation(i % 7 * 15.0);
        if (i % 3 == 0)
            g->setLineDash({3, 1, 0, 0}, 2);
        if (i % 5 == 0)
            g->setShadowInfo(1, 4, 4, 45, 0.3, Qt::black);
        if (auto* text = dynamic_cast<LBTextArea*>(g.get()); text && i % 2 == 0) {
            QFont font(QStringLiteral("DejaVu Sans"));
            font.setPointSizeF(12 + i % 6);
            text->setContents(platform::AttributedString(
                QStringLiteral("Label text %1").arg(i),
                {{platform::FontAttributeName, font},
                 {platform::ForegroundColorAttributeName, QColor(Qt::black)}}));
        }
        graphics.append(g);
    }
    return graphics;
}
