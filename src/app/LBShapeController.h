#pragma once

// The shapes palette of the design drawer (drawer mode 0): a fixed set of 59 ready-made
// shapes, lines and arrows shown as thumbnails in the library matrix ("Shape1" to
// "Shape59" among the program's pictures; cell n shows picture n + 1). A double-click
// inserts the cell's shape into the design; dragging a cell drops it onto a canvas as
// graphics-list data. Nothing can be dropped onto the palette.
//
// Cells 0 to 38 are new shapes the design controller makes (with the design's default
// stroke and fill and the size kept for their kind), given the settings of cellTable();
// cells 39 to 58 are the graphics of the program's resources "Shape40" to "Shape59"
// (graphics-list data, under ":/shapes/"), each given the default shape settings.
//
// A library controller that keeps no store: it answers the content hooks (no collections,
// the 59 thumbnails, the graphics of a cell) and inherits the matrix, its zoom slider and
// columns, dragging out and double-click insertion. Made in two steps like every library
// controller: construct, then initWithNibNamed() (makeShapes() does both).

#include "app/LBLibraryController.h"

#include <QList>
#include <QString>

#include <memory>

class LBGraphic;

class LBShapeController : public LBLibraryController
{
    Q_OBJECT
public:
    static constexpr qint64 CellCount = 59;
    // The first cell read from a resource.
    static constexpr qint64 FirstResourceCell = 39;

    // How the design controller's new shape of a cell is made and then set.
    struct CellRecipe
    {
        QString className;
        bool alternate = false;
        qint64 angle = -1;        // the shape's own angle in degrees; -1 leaves it
        double strokeWidth = 0.0; // 0 leaves it
        double modifier1 = 0.0;   // 0 leaves it
        qint64 arrow1Type = 0;    // line ends; 0 leaves them
        qint64 arrow2Type = 0;
        double arrowSize = 0.0; // both ends; 0 leaves them
    };
    // The recipes of cells 0 to 38.
    static const QList<CellRecipe>& cellTable();
    // Gives a new shape the recipe's settings after it was made.
    static void applyRecipe(LBGraphic& graphic, const CellRecipe& recipe);
    // The resource of a cell from 39 on (":/shapes/Shape40" for cell 39).
    static QString resourcePathForCell(qint64 cell);

    // The palette's browser, ready to show (the interface "Shapes").
    static std::unique_ptr<LBShapeController> makeShapes();

    // --- Hooks ---
    // 0 "Shapes Collection Index", 4 "Shapes Outline Height", 5 "Shape Cell Size"; the
    // others none (the palette deletes nothing, so it never asks).
    QString preferenceKeyOfType(qint64 kind) const override;
    // No collections, no store.
    void loadCollections() override {}
    // The 59 named thumbnails.
    void loadObjects() override;
    qint64 graphicCount() const override { return CellCount; }
    // One new shape, or the graphics of a resource; empty without a design, for a cell out
    // of range, a shape the design controller does not make or a resource that cannot be
    // read.
    QList<LBGraphicPtr> graphicsForCell(qint64 cell) override;

protected:
    // Plain image cells, no drops, no outline or collection and item buttons (there are
    // no collections to show or items to add or remove); then the shared set-up.
    void awakeFromNib() override;
};
