#pragma once

// Shared pieces of the merge tests: a document with a label sheet shown by a window
// controller whose merge services the tests choose, red squares as the design, and the
// renderer's sheets drawn into pictures.

#include "../window/WindowTestSupport.h"

#include "document/DimensionInfo.h"
#include "merge/LBMergeServices.h"
#include "merge/LBRenderingView.h"
#include "merge/MergeClasses.h"
#include "platform/drawing/GraphicsContext.h"
#include "shapes/LBRectangle.h"

#include <QImage>
#include <QPainter>

#include <memory>

// Merge services whose records the test sets, recording the records asked for.
class TestMergeServices : public LBMergeServices
{
public:
    using LBMergeServices::LBMergeServices;
    qint64 numSelectedPeople() override { return records; }
    QString contactUIDForIndex(qint64 index, const QString&) override
    {
        asked.append(index);
        return QStringLiteral("uid-%1").arg(index);
    }
    std::shared_ptr<platform::Image> substituteImageForGraphic(const LBGraphic& g,
                                                               qint64 fromContact) override
    {
        substitutes.append(fromContact);
        return picture ? picture(g, fromContact) : nullptr;
    }

    qint64 records = 1;
    QList<qint64> asked;
    QList<qint64> substitutes;
    std::function<std::shared_ptr<platform::Image>(const LBGraphic&, qint64)> picture;
};

class SheetTest : public WindowTest
{
protected:
    SheetTest()
    {
        registerMergeClasses();
        MergeServices::setFactory([this](LBWindowController& window) {
            auto made = std::make_unique<TestMergeServices>(window);
            services = made.get();
            return made;
        });
        for (const char* key :
             {"Draw Crop Marks", "Bleed Size", "Crop To Labels", "Show Grid", "Show Grid Below",
              "Printer Calibration Array", "Preferred Printer"})
            platform::UserDefaults::standardUserDefaults().removeObjectForKey(
                QString::fromLatin1(key));
        setSheet(2, 3, 100, 50);
        controller->mergeServices();
    }
    ~SheetTest() override
    {
        MergeServices::setFactory({});
        SheetRenderer::setFactory({});
        LBRenderingView::setPrintingCalibrationPage(false);
    }

    // A label sheet of rows x columns cells of w x h points from (10, 10), 5 points apart.
    void setSheet(qint64 rows, qint64 columns, double w, double h)
    {
        QVariantMap& info = layout();
        info[DimensionInfo::documentType] = 1;
        info[DimensionInfo::numRows] = rows;
        info[DimensionInfo::numColumns] = columns;
        info[DimensionInfo::labelWidth] = w;
        info[DimensionInfo::labelHeight] = h;
        info[DimensionInfo::topMargin] = 10;
        info[DimensionInfo::leftMargin] = 10;
        info[DimensionInfo::hLabelSpace] = 5;
        info[DimensionInfo::vLabelSpace] = 5;
        info[DimensionInfo::startLabel] = 1;
        info[DimensionInfo::labelDirection] = 1;
        info[DimensionInfo::pageWidth] = 20 + columns * w + (columns - 1) * 5;
        info[DimensionInfo::pageHeight] = 20 + rows * h + (rows - 1) * 5;
    }
    // A filled square without outline in the label's coordinates, on the front layer.
    std::shared_ptr<LBRectangle> square(const QRectF& bounds, const QColor& color = Qt::red)
    {
        auto shape = std::make_shared<LBRectangle>();
        shape->setBoundsNoOtherChanges(bounds);
        shape->setDrawsStroke(false);
        shape->setFillType(1);
        shape->setFillColor(color);
        document->undoManager()->disableUndoRegistration();
        document->insertGraphic(shape, 0, 1);
        document->undoManager()->enableUndoRegistration();
        return shape;
    }
    // A renderer of the sheet set up as preview and print set theirs up.
    std::unique_ptr<LBRenderingView> renderer(qint64 page = 0)
    {
        auto view = std::make_unique<LBRenderingView>(QRectF(QPointF(), document->documentSize()),
                                                      document->documentGraphics());
        view->setContactServer(controller);
        view->updateLabelSettings();
        view->setFIMType(0);
        view->setPageNum(page);
        return view;
    }
    // The sheet drawn at `scale` pixels a point, on screen or for output.
    static QImage draw(LBRenderingView& view, bool onScreen, double scale = 1.0,
                       std::optional<QRectF> dirty = std::nullopt)
    {
        const QSizeF size = view.bounds().size();
        QImage image(QSize(int(size.width() * scale), int(size.height() * scale)),
                     QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.scale(scale, scale);
        platform::GraphicsContext context(&painter, onScreen);
        context.setBaseTransform(painter.transform());
        platform::GraphicsContext::Scope scope(context);
        view.drawRect(dirty ? *dirty : view.bounds());
        return image;
    }
    // The top-left corner of cell (row, column), counted from 0.
    static QPointF cellOrigin(qint64 row, qint64 column, double w = 100, double h = 50)
    {
        return QPointF(10 + column * (w + 5), 10 + row * (h + 5));
    }
    static bool isRed(const QImage& image, const QPointF& at, double scale = 1.0)
    {
        const QColor c = image.pixelColor((at * scale).toPoint());
        return c.red() > 200 && c.green() < 60 && c.blue() < 60;
    }

    TestMergeServices* services = nullptr;
};
