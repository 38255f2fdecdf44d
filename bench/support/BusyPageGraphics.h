#pragma once

// The graphics of a busy page, as the canvas and design-mode benchmarks lay them in a grid:
// filled rectangles, or in turn (mixed) rectangles, ovals, stars, lines, text boxes and
// turned rectangles, each with its own colours.

#include "graphics/LBTextArea.h"
#include "shapes/LBCircle.h"
#include "shapes/LBLine.h"
#include "shapes/LBRectangle.h"
#include "shapes/LBStar.h"

#include <QColor>
#include <QRectF>

#include <memory>

inline LBGraphicPtr busyPageGraphic(int i, bool mixed, const QRectF& bounds)
{
    LBGraphicPtr graphic;
    const int kind = mixed ? i % 6 : 0;
    switch (kind) {
    case 1: graphic = std::make_shared<LBCircle>(); break;
    case 2: graphic = std::make_shared<LBStar>(); break;
    case 3: graphic = std::make_shared<LBLine>(); break;
    case 4: {
        auto box = std::make_shared<LBTextArea>();
        box->setContents(QStringLiteral("Label %1").arg(i));
        graphic = box;
        break;
    }
    default: graphic = std::make_shared<LBRectangle>(); break;
    }
    graphic->setBounds(bounds);
    if (kind != 3 && kind != 4) {
        graphic->setFillType(1);
        graphic->setFillColor(QColor::fromHsv((i * 37) % 360, 160, 230));
    }
    graphic->setStrokeColor(QColor::fromHsv((i * 53) % 360, 200, 120));
    if (mixed && kind == 5)
        graphic->setRotation(30.0);
    return graphic;
}
