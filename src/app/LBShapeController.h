#pragma once

// The shapes palette of the design drawer (drawer mode 0): a fixed set of 59 ready-made
// shapes, lines and arrows shown as thumbnails ("Shape1" to "Shape59" among the program's
// pictures; cell n shows picture n + 1). A double-click inserts the cell's shape into the
// design; dragging a cell drops it onto a canvas as graphics-list data. Nothing can be
// dropped onto the palette.
//
// Cells 0 to 38 are new shapes the design controller makes (with the design's default
// stroke and fill and the size kept for their kind), given the settings of cellTable();
// cells 39 to 58 are the graphics of the program's resources "Shape40" to "Shape59"
// (graphics-list data, under ":/shapes/"), each given the default shape settings.
//
// The palette keeps no store: it answers the content hooks a library pane asks of its
// controller (LBLibraryContent) and shows the cells in a thumbnail grid of the size
// "Shape Cell Size", which its zoom slider changes.

#include "window/DrawerBrowser.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QSizeF>
#include <QString>

#include <memory>

class LBEditController;
class LBGraphic;
class QSlider;
class QWidget;

namespace platform {
class Image;
}

// What a library pane asks of the controller of its content: which settings keys it uses,
// how many cells it has, their thumbnails, and the graphics a cell stands for.
class LBLibraryContent
{
public:
    virtual ~LBLibraryContent() = default;
    // The user-defaults key of a kind of setting (0 the outline row selected last, 1 and 2
    // the delete confirmations, 4 the outline's height, 5 the cell size); null for none.
    virtual QString preferenceKeyOfType(qint64 kind) const = 0;
    virtual void loadCollections() = 0;
    virtual void loadObjects() = 0;
    virtual qint64 graphicCount() const = 0;
    // The thumbnails in cell order.
    virtual QList<std::shared_ptr<platform::Image>> thumbnails() const = 0;
    // New graphics for the cell; empty when there are none (a cell that cannot be made).
    virtual QList<std::shared_ptr<LBGraphic>> graphicsForCell(qint64 cell) = 0;
    // Whether the pane accepts drops.
    virtual bool acceptsDrops() const = 0;
    // The design's zoom (drag images are drawn at it); 1.0 without a design.
    virtual double documentZoomFactor() const = 0;
    // Inserts the cell's graphics into the design.
    virtual void processDoubleClickAtCell(qint64 cell) = 0;
};

class LBShapeController : public QObject, public DrawerBrowser, public LBLibraryContent
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

    explicit LBShapeController(QObject* parent = nullptr);
    ~LBShapeController() override;

    // --- DrawerBrowser ---
    QWidget* mainView() override;
    void setEditController(LBEditController* controller) override;
    void drawerResized() override;
    void setOutlineHeightFromPrefs(const QString& key) override;
    void setZoomFactor(double zoomFactor) override { (void)zoomFactor; }

    LBEditController* editController() const { return _editController; }

    // --- LBLibraryContent ---
    QString preferenceKeyOfType(qint64 kind) const override;
    void loadCollections() override {}
    void loadObjects() override;
    qint64 graphicCount() const override { return CellCount; }
    QList<std::shared_ptr<platform::Image>> thumbnails() const override { return _thumbnails; }
    QList<std::shared_ptr<LBGraphic>> graphicsForCell(qint64 cell) override;
    bool acceptsDrops() const override { return false; }
    double documentZoomFactor() const override;
    void processDoubleClickAtCell(qint64 cell) override;

    // The thumbnail cells' size ("Shape Cell Size"); the zoom slider sets width and height.
    QSizeF cellSize() const;
    void setCellSize(double side);
    QSlider* zoomSlider() const { return _zoomSlider; }
    // The thumbnail grid (the widget cells are drawn in).
    QWidget* matrix() const;

protected:
    // The grid's columns follow the width of its scroll area.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildView();

    QWidget* _mainView = nullptr;
    class Matrix;
    Matrix* _matrix = nullptr;
    QSlider* _zoomSlider = nullptr;
    QPointer<QObject> _editControllerObject;
    LBEditController* _editController = nullptr;
    QList<std::shared_ptr<platform::Image>> _thumbnails;
};
