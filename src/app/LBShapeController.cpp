#include "app/LBShapeController.h"

#include "document/LBDocument.h"
#include "graphics/LBTextArea.h"
#include "platform/core/Strings.h"
#include "platform/core/TextForms.h"
#include "platform/core/UserDefaults.h"
#include "platform/drawing/Bundle.h"
#include "platform/drawing/GraphicsContext.h"
#include "platform/drawing/Image.h"
#include "platform/ui/Alert.h"
#include "platform/ui/Drag.h"
#include "shapes/LBArrowHead.h"
#include "shapes/LBCurvedLine.h"
#include "shapes/LBImage.h"
#include "shapes/LBLine.h"
#include "shapes/LBModifiedShape.h"
#include "shapes/LBRightTriangle.h"
#include "shapes/LBTriangle.h"
#include "window/LBEditController.h"

#include <QApplication>
#include <QFile>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QScrollArea>
#include <QScrollBar>
#include <QSlider>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace {

const QString kPrintLine = QStringLiteral("Quarn Print Line");
const QString kPrintLine1 = QStringLiteral("Quarn Print Line 1");
const QString kCellSizeKey = QStringLiteral("Shape Cell Size");

platform::UserDefaults& defaults()
{
    return platform::UserDefaults::standardUserDefaults();
}

QString dialogString(const char* key)
{
    return platform::LocalizedString(QString::fromUtf8(key), QStringLiteral("DialogStrings"));
}

// The drag picture of one graphic at the zoom: a text box shows its text's outline.
QImage dragPictureOfGraphic(const LBGraphic& source, double zoom)
{
    const std::shared_ptr<LBGraphic> graphic = source.copy(); // the picture changes it
    auto* text = graphic->isTextBox() ? dynamic_cast<LBTextArea*>(graphic.get()) : nullptr;
    if (text)
        text->forceDrawTextOutline(true);
    const platform::ImagePtr picture =
        graphic->copyToImageWithScale(zoom, 1.0, false, graphic->isTextBox());
    return picture ? picture->forcedBitmapImageRep() : QImage();
}

} // namespace

// ==== The thumbnail grid ==================================================================
//
// Cells of the cell size in rows, as many columns as the width holds with the spare width
// shared between them. A click selects a cell, a double-click inserts it, a drag of more
// than 4 points carries its graphics out. It accepts no drops.

class LBShapeController::Matrix : public QWidget
{
public:
    Matrix(LBLibraryContent* content, QScrollArea* scroll)
        : QWidget(scroll), _content(content), _scroll(scroll)
    {
        setAcceptDrops(content->acceptsDrops());
        setAutoFillBackground(true);
        QPalette white = palette();
        white.setColor(QPalette::Window, Qt::white);
        setPalette(white);
    }

    void setCellSize(const QSizeF& size)
    {
        _cell = QSize(std::max(1, int(size.width())), std::max(1, int(size.height())));
        adjustColumns();
    }
    QSize cellSize() const { return _cell; }
    qint64 columns() const { return _columns; }
    qint64 selectedCell() const { return _selected; }

    // Columns for the scroll area's width, then the rows for the cell count.
    void adjustColumns()
    {
        const int scroller = _scroll->verticalScrollBar()->sizeHint().width();
        const int available = std::max(1, _scroll->width() - 2 - scroller);
        _columns = std::max<qint64>(1, available / _cell.width());
        _spacing = _columns >= 2 ? (available - _columns * _cell.width()) / (_columns - 1) : 0;
        const qint64 rows = (_content->graphicCount() + _columns - 1) / _columns;
        resize(available, int(std::max<qint64>(rows * _cell.height(), 1)));
        update();
    }

    QRect cellFrame(qint64 cell) const
    {
        const qint64 row = cell / _columns;
        const qint64 column = cell % _columns;
        return QRect(int(column * (_cell.width() + _spacing)), int(row * _cell.height()),
                     _cell.width(), _cell.height());
    }

    qint64 cellAtPoint(const QPoint& point) const
    {
        if (point.x() < 0 || point.y() < 0)
            return -1;
        const qint64 column = point.x() / (_cell.width() + _spacing);
        const qint64 row = point.y() / _cell.height();
        if (column >= _columns || point.x() - column * (_cell.width() + _spacing) >= _cell.width())
            return -1;
        const qint64 cell = row * _columns + column;
        return cell < _content->graphicCount() ? cell : -1;
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        platform::GraphicsContext context(&painter, true);
        const platform::GraphicsContext::Scope current(context);
        const QList<std::shared_ptr<platform::Image>> pictures = _content->thumbnails();
        for (qint64 cell = 0; cell < pictures.size(); ++cell) {
            const QRectF frame = cellFrame(cell);
            if (cell == _selected) {
                QPainterPath ring;
                ring.addRoundedRect(frame.adjusted(3, 3, -3, -3), 7, 7);
                painter.setPen(QPen(palette().highlight().color(), 2.5));
                painter.drawPath(ring);
            }
            const std::shared_ptr<platform::Image>& picture = pictures.at(cell);
            if (!picture || picture->size().isEmpty())
                continue;
            // The picture fitted into the cell less a margin, keeping its proportions.
            const QRectF inner = frame.adjusted(6, 6, -6, -6);
            QSizeF size = picture->size();
            size.scale(inner.size(), Qt::KeepAspectRatio);
            const QRectF target(inner.center() - QPointF(size.width(), size.height()) / 2.0, size);
            picture->drawInRect(target);
        }
    }

    void mousePressEvent(QMouseEvent* event) override
    {
        if (event->button() != Qt::LeftButton)
            return;
        _down = event->position().toPoint();
        _downCell = cellAtPoint(_down);
        _selected = _downCell;
        update();
    }

    void mouseDoubleClickEvent(QMouseEvent* event) override
    {
        const qint64 cell = cellAtPoint(event->position().toPoint());
        if (event->button() == Qt::LeftButton && cell >= 0)
            _content->processDoubleClickAtCell(cell);
    }

    void mouseMoveEvent(QMouseEvent* event) override
    {
        if (_downCell < 0 || !(event->buttons() & Qt::LeftButton))
            return;
        const QPoint at = event->position().toPoint();
        if (std::abs(at.x() - _down.x()) <= 4 && std::abs(at.y() - _down.y()) <= 4)
            return;
        const qint64 cell = _downCell;
        _downCell = -1;
        startDrag(cell);
    }

    void mouseReleaseEvent(QMouseEvent*) override { _downCell = -1; }

private:
    void startDrag(qint64 cell)
    {
        const QList<std::shared_ptr<LBGraphic>> graphics = _content->graphicsForCell(cell);
        if (graphics.isEmpty()) {
            platform::Alert alert;
            alert.messageText = dialogString("Missing File");
            alert.informativeText = dialogString(
                "This image was created by linking to a file which has since been moved or "
                "deleted. You must restore the original file in order to use this image.");
            alert.buttons = {dialogString("OK")};
            alert.beginSheetModalForWindow(window());
            return;
        }
        const double zoom = _content->documentZoomFactor();
        QString type = kPrintLine;
        QImage image;
        QPoint hotSpot;
        if (graphics.size() == 1) {
            const LBGraphic& graphic = *graphics.first();
            image = dragPictureOfGraphic(graphic, zoom);
            if (dynamic_cast<const LBImage*>(&graphic))
                type = kPrintLine1;
            const auto* curve = dynamic_cast<const LBCurvedLine*>(&graphic);
            if (curve && curve->numControlPoints() == 1)
                hotSpot = QPoint(4, 2);
        } else {
            image = QImage::fromData(LBDocument::TIFFRepresentationForGraphics(graphics));
        }
        if (hotSpot.isNull()) {
            // The picture starts centred on the cell.
            const QRect frame = cellFrame(cell);
            const QPoint topLeft(frame.x() + (frame.width() - image.width()) / 2,
                                 frame.y() + (frame.height() - image.height()) / 2);
            hotSpot = _down - topLeft;
        }
        platform::Drag drag(this);
        platform::Pasteboard& pasteboard = drag.pasteboard();
        pasteboard.declareTypes({type, platform::TIFFPboardType});
        pasteboard.setData(LBDocument::dataForGraphics(graphics), type);
        if (!image.isNull()) {
            pasteboard.setData(platform::Image::fromBitmap(image)->TIFFRepresentationUsingLZW(),
                               platform::TIFFPboardType);
            drag.setImage(image, hotSpot);
        }
        drag.exec(Qt::CopyAction, Qt::CopyAction);
    }

    LBLibraryContent* _content;
    QScrollArea* _scroll;
    QSize _cell{55, 55};
    qint64 _columns = 1;
    qint64 _spacing = 0;
    qint64 _selected = -1;
    qint64 _downCell = -1;
    QPoint _down;
};

// ==== The cells ===========================================================================

const QList<LBShapeController::CellRecipe>& LBShapeController::cellTable()
{
    static const QList<CellRecipe> table = [] {
        const auto shape = [](const char* name, bool alternate = false, qint64 angle = -1) {
            CellRecipe recipe;
            recipe.className = QString::fromLatin1(name);
            recipe.alternate = alternate;
            recipe.angle = angle;
            return recipe;
        };
        CellRecipe polygon8 = shape("LBPolygon");
        polygon8.modifier1 = 8.0;
        CellRecipe arrowLine = shape("LBLine", false, 135);
        arrowLine.strokeWidth = 2.0;
        arrowLine.arrow1Type = LBLine::BarbedArrow;
        arrowLine.arrowSize = 0.75;
        CellRecipe doubleArrowLine = arrowLine;
        doubleArrowLine.arrow2Type = LBLine::BarbedArrow;
        return QList<CellRecipe>{
            shape("LBRectangle"),                 // 0
            shape("LBCircle"),                    // 1
            shape("LBLine", false, 90),           // 2
            shape("LBLine", false, 0),            // 3
            shape("LBLine", false, 135),          // 4
            shape("LBLine", false, 45),           // 5
            shape("LBTriangle", false, 0),        // 6
            shape("LBTriangle", false, 180),      // 7
            shape("LBTriangle", false, 90),       // 8
            shape("LBTriangle", false, 270),      // 9
            shape("LBDiamond"),                   // 10
            shape("LBPolygon"),                   // 11
            polygon8,                             // 12
            shape("LBRoundedRect"),               // 13
            shape("LBRoundedRect", true),         // 14
            shape("LBSemiCircle"),                // 15
            shape("LBWedge"),                     // 16
            shape("LBStarPolygon", true),         // 17
            shape("LBStar"),                      // 18
            shape("LBStarPolygon"),               // 19
            shape("LBGear"),                      // 20
            shape("LBCross"),                     // 21
            shape("LBIsocelesTrapezoid"),         // 22
            shape("LBArcEndRect"),                // 23
            shape("LBFlowDocument"),              // 24
            shape("LBCloud"),                     // 25
            shape("LBRightTriangle", false, 180), // 26
            shape("LBArrowHead", false, 270),     // 27
            arrowLine,                            // 28
            doubleArrowLine,                      // 29
            shape("LBArrow"),                     // 30
            shape("LBArrow", true),               // 31
            shape("LBCurvedLine"),                // 32
            shape("LBOneRoundCorner"),            // 33
            shape("LBTwoRoundCorner"),            // 34
            shape("LBTwoRoundCorner2"),           // 35
            shape("LBThreeRoundCorner"),          // 36
            shape("LBReverseTwoRoundCorner"),     // 37
            shape("LBReverseRoundedRect"),        // 38
        };
    }();
    return table;
}

void LBShapeController::applyRecipe(LBGraphic& graphic, const CellRecipe& recipe)
{
    if (recipe.strokeWidth > 0.0)
        graphic.setStrokeLineWidth(recipe.strokeWidth);
    if (recipe.angle >= 0) {
        if (auto* line = dynamic_cast<LBLine*>(&graphic))
            line->setAngle(recipe.angle);
        else if (auto* triangle = dynamic_cast<LBTriangle*>(&graphic))
            triangle->setAngle(recipe.angle);
        else if (auto* right = dynamic_cast<LBRightTriangle*>(&graphic))
            right->setAngle(recipe.angle);
        else if (auto* head = dynamic_cast<LBArrowHead*>(&graphic))
            head->setAngle(recipe.angle);
    }
    if (recipe.modifier1 > 0.0) {
        if (auto* modified = dynamic_cast<LBModifiedShape*>(&graphic))
            modified->setModifier1(recipe.modifier1);
    }
    if (auto* line = dynamic_cast<LBLine*>(&graphic)) {
        if (recipe.arrow1Type != 0)
            line->setArrow1Type(recipe.arrow1Type);
        if (recipe.arrow2Type != 0)
            line->setArrow2Type(recipe.arrow2Type);
        if (recipe.arrowSize > 0.0) {
            line->setArrow1Size(recipe.arrowSize);
            line->setArrow2Size(recipe.arrowSize);
        }
    }
}

QString LBShapeController::resourcePathForCell(qint64 cell)
{
    return QStringLiteral(":/shapes/Shape%1").arg(cell + 1);
}

// ==== The controller ======================================================================

LBShapeController::LBShapeController(QObject* parent) : QObject(parent)
{
    buildView();
    loadCollections();
    loadObjects();
}

LBShapeController::~LBShapeController()
{
    delete _mainView;
}

void LBShapeController::buildView()
{
    _mainView = new QWidget;
    _mainView->setObjectName(QStringLiteral("Shapes"));
    auto* layout = new QVBoxLayout(_mainView);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);

    auto* scroll = new QScrollArea(_mainView);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->setWidgetResizable(false);
    scroll->setBackgroundRole(QPalette::Base);
    QPalette white = scroll->palette();
    white.setColor(QPalette::Base, Qt::white);
    scroll->setPalette(white);
    _matrix = new Matrix(this, scroll);
    scroll->setWidget(_matrix);
    layout->addWidget(scroll, 1);

    // The zoom slider between its two pictures.
    auto* bar = new QWidget(_mainView);
    auto* barLayout = new QHBoxLayout(bar);
    barLayout->setContentsMargins(8, 0, 8, 4);
    const auto picture = [bar](const char* name) {
        auto* label = new QLabel(bar);
        label->setPixmap(
            platform::Bundle().pixmapNamed(QString::fromLatin1(name), bar->devicePixelRatioF()));
        return label;
    };
    barLayout->addWidget(picture("ZoomLeft"));
    _zoomSlider = new QSlider(Qt::Horizontal, bar);
    _zoomSlider->setRange(20, 120);
    barLayout->addWidget(_zoomSlider, 1);
    barLayout->addWidget(picture("ZoomRight"));
    layout->addWidget(bar);

    const QSizeF size = cellSize();
    _zoomSlider->setValue(int(size.width()));
    _matrix->setCellSize(size);
    connect(_zoomSlider, &QSlider::valueChanged, this, [this](int value) {
        if (value != _matrix->cellSize().height())
            setCellSize(value);
    });
    scroll->installEventFilter(this);
}

bool LBShapeController::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Resize && _matrix
        && watched == _matrix->parentWidget()->parentWidget())
        _matrix->adjustColumns();
    return QObject::eventFilter(watched, event);
}

QWidget* LBShapeController::mainView()
{
    return _mainView;
}

QWidget* LBShapeController::matrix() const
{
    return _matrix;
}

void LBShapeController::setEditController(LBEditController* controller)
{
    _editController = controller;
    _editControllerObject = controller;
}

void LBShapeController::drawerResized()
{
    _matrix->adjustColumns();
}

void LBShapeController::setOutlineHeightFromPrefs(const QString& key)
{
    // No collections: the outline keeps the height the setting gives it (none by default).
    Q_UNUSED(key);
    _matrix->adjustColumns();
}

QString LBShapeController::preferenceKeyOfType(qint64 kind) const
{
    switch (kind) {
    case 0: return QStringLiteral("Shapes Collection Index");
    case 4: return QStringLiteral("Shapes Outline Height");
    case 5: return kCellSizeKey;
    default: return QString();
    }
}

void LBShapeController::loadObjects()
{
    _thumbnails.clear();
    for (qint64 n = 1; n <= CellCount; ++n)
        _thumbnails.append(platform::Image::imageNamed(QStringLiteral("Shape%1").arg(n)));
    if (_matrix)
        _matrix->update();
}

QList<std::shared_ptr<LBGraphic>> LBShapeController::graphicsForCell(qint64 cell)
{
    LBEditController* edit = _editControllerObject ? _editController : nullptr;
    if (!edit || cell < 0 || cell >= CellCount)
        return {};
    if (cell < FirstResourceCell) {
        const CellRecipe& recipe = cellTable().at(cell);
        const std::shared_ptr<LBGraphic> shape =
            edit->createShapeOfClass(recipe.className, recipe.alternate ? 1 : 0);
        if (!shape)
            return {};
        applyRecipe(*shape, recipe);
        return {shape};
    }
    QFile file(resourcePathForCell(cell));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const std::optional<LBDocument::GraphicsList> list =
        LBDocument::graphicsForData(file.readAll());
    if (!list || list->isPages)
        return {};
    for (const std::shared_ptr<LBGraphic>& graphic : list->graphics)
        edit->applyDefaultShapeSettingsToGraphic(*graphic);
    return list->graphics;
}

double LBShapeController::documentZoomFactor() const
{
    return _editControllerObject && _editController ? _editController->zoomFactor() : 1.0;
}

void LBShapeController::processDoubleClickAtCell(qint64 cell)
{
    LBEditController* edit = _editControllerObject ? _editController : nullptr;
    if (!edit)
        return;
    const QList<std::shared_ptr<LBGraphic>> graphics = graphicsForCell(cell);
    edit->deselectAll();
    if (graphics.size() == 1)
        edit->insertGraphic(graphics.first(), true);
    else
        edit->insertGraphics(graphics, true);
}

QSizeF LBShapeController::cellSize() const
{
    const QSizeF size = platform::sizeFromString(defaults().stringForKey(kCellSizeKey));
    return size.isEmpty() ? QSizeF(55, 55) : size;
}

void LBShapeController::setCellSize(double side)
{
    const double whole = std::trunc(side);
    if (whole < 1.0)
        return;
    const QSizeF size(whole, whole);
    _matrix->setCellSize(size);
    if (_zoomSlider->value() != int(whole)) {
        const QSignalBlocker quiet(_zoomSlider);
        _zoomSlider->setValue(int(whole));
    }
    defaults().setObject(platform::stringFromSize(size), kCellSizeKey);
}
