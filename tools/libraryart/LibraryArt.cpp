// Developer tool: writes the art of the drawer's libraries into the resource tree, through
// the graphics-list writer, so it always reads back with the program's own reader:
//   resources/shapes/Shape40 ... Shape59     the shapes palette's ready-made graphics
//   resources/images/Shape1.png ... Shape59.png  the palette's thumbnails (cell n shows
//                                            picture n + 1), drawn from the cells' graphics
//   resources/library/Text Library.plist     the sample text boxes a new text library
//                                            starts with
// Run it after changing the art, then rebuild (the files are compiled into the program):
//   QT_QPA_PLATFORM=offscreen build/test/tools/libraryart resources

#include "app/LBShapeController.h"
#include "document/LBDocument.h"
#include "graphics/LBGraphic.h"
#include "graphics/LBTextArea.h"
#include "platform/core/PropertyList.h"
#include "platform/drawing/GraphicsContext.h"
#include "platform/drawing/Image.h"
#include "platform/text/AttributedString.h"
#include "platform/text/ParagraphStyle.h"
#include "shapes/LBArrow.h"
#include "shapes/LBBezierPath.h"
#include "shapes/LBCircle.h"
#include "shapes/LBCloud.h"
#include "shapes/LBCross.h"
#include "shapes/LBDiamond.h"
#include "shapes/LBGear.h"
#include "shapes/LBLine.h"
#include "shapes/LBPolygon.h"
#include "shapes/LBRoundedRect.h"
#include "shapes/LBSemiCircle.h"
#include "shapes/LBSpeechBubble.h"
#include "shapes/LBStar.h"
#include "shapes/LBStarPolygon.h"
#include "shapes/LBTriangle.h"
#include "shapes/ShapeClasses.h"
#include "window/LBEditController.h"
#include "window/WindowClasses.h"

#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFont>
#include <QPainter>
#include <QPainterPath>
#include <QSaveFile>
#include <QTemporaryDir>

#include <cmath>
#include <cstdio>

namespace {

using Graphics = QList<LBGraphicPtr>;

constexpr int kThumbnailPixels = 110;
constexpr double kArtSide = 72.0;

template <typename T>
std::shared_ptr<T> make(const QRectF& bounds)
{
    auto graphic = std::make_shared<T>();
    graphic->setBoundsNoOtherChanges(bounds);
    graphic->setDrawsStroke(true);
    graphic->setStrokeLineWidth(1.0);
    graphic->setStrokeColor(Qt::black);
    return graphic;
}

const QRectF kSquare(0, 0, kArtSide, kArtSide);
const QRectF kWide(0, 0, kArtSide, kArtSide * 0.6);

// The graphics of cells 39 to 58, one list a cell.
QList<Graphics> resourceArt()
{
    QList<Graphics> art;
    art.append({make<LBSpeechBubble>(kWide)});
    for (double sides : {5.0, 6.0}) {
        auto polygon = make<LBPolygon>(kSquare);
        polygon->setModifier1(sides);
        art.append({polygon});
    }
    for (double points : {6.0, 8.0}) {
        auto star = make<LBStarPolygon>(kSquare);
        star->setModifier1(points);
        star->setModifier2(0.3);
        art.append({star});
    }
    {
        auto gear = make<LBGear>(kSquare);
        gear->setModifier1(gear->maxModifier1());
        art.append({gear});
    }
    {
        // A heart from two curves.
        platform::BezierPath path;
        path.moveTo(QPointF(36, 66));
        path.curveTo(QPointF(0, 36), QPointF(12, 54), QPointF(0, 46));
        path.curveTo(QPointF(36, 14), QPointF(0, 6), QPointF(30, 0));
        path.curveTo(QPointF(72, 36), QPointF(42, 0), QPointF(72, 6));
        path.curveTo(QPointF(36, 66), QPointF(72, 46), QPointF(60, 54));
        path.closePath();
        auto heart = make<LBBezierPath>(QRectF(0, 0, 72, 66));
        heart->setPath(path);
        heart->setOrigBounds(QRectF(0, 0, 72, 66));
        art.append({heart});
    }
    for (double turn : {90.0, 180.0, 270.0}) {
        auto arrow = make<LBArrow>(kWide);
        arrow->setRotation(turn);
        art.append({arrow});
    }
    {
        // A target: two rings.
        auto outer = make<LBCircle>(kSquare);
        auto inner = make<LBCircle>(QRectF(18, 18, 36, 36));
        art.append({inner, outer});
    }
    {
        auto line = make<LBLine>(QRectF(0, 0, kArtSide, 0));
        line->setAngle(0);
        line->setStrokeLineWidth(2.0);
        line->setArrow1Type(LBLine::TriangleArrow);
        line->setArrow2Type(LBLine::TriangleArrow);
        art.append({line});
    }
    {
        auto line = make<LBLine>(QRectF(0, 0, kArtSide, 0));
        line->setAngle(0);
        line->setStrokeLineWidth(2.0);
        line->setLineDash({3.0, 2.0, 0.0, 0.0}, 2);
        art.append({line});
    }
    {
        auto pill = make<LBRoundedRect>(kWide);
        pill->setAlternateShape(1);
        art.append({pill});
    }
    {
        auto star = make<LBStar>(kSquare);
        star->setRotation(36.0);
        art.append({star});
    }
    {
        auto diamond = make<LBDiamond>(QRectF(0, 0, kArtSide * 0.6, kArtSide));
        diamond->setStrokeLineWidth(3.0);
        art.append({diamond});
    }
    {
        auto cross = make<LBCross>(kSquare);
        cross->setRotation(45.0);
        art.append({cross});
    }
    {
        auto triangle = make<LBTriangle>(kWide);
        triangle->setAngle(0);
        art.append({triangle});
    }
    {
        auto half = make<LBSemiCircle>(kWide);
        half->setRotation(90.0);
        art.append({half});
    }
    art.append({make<LBCloud>(kWide)});
    return art;
}

// The graphics drawn fitted into a square picture with a margin, in a style of their own
// (dark outline, pale fill) so the palette reads well at any cell size.
QImage thumbnailOf(const Graphics& source)
{
    Graphics graphics;
    for (const LBGraphicPtr& g : source) {
        LBGraphicPtr copy = g->copy();
        copy->setStrokeColor(QColor(40, 40, 48));
        copy->setStrokeLineWidth(std::max(1.5, copy->strokeLineWidth()));
        copy->setDrawsStroke(true);
        if (copy->canDrawFill() && !dynamic_cast<LBLine*>(copy.get())) {
            copy->setFillType(1);
            copy->setFillColor(QColor(205, 222, 240));
        }
        graphics.append(copy);
    }
    const QRectF bounds = LBDocument::drawingBoundsForGraphics(graphics);
    platform::OffscreenContext out(QSize(kThumbnailPixels, kThumbnailPixels));
    if (!out.isActive() || bounds.isEmpty())
        return out.image();
    QPainter* painter = out.painter();
    painter->setRenderHint(QPainter::Antialiasing);
    const double room = kThumbnailPixels - 14.0;
    const double scale = room / std::max(bounds.width(), bounds.height());
    painter->translate(kThumbnailPixels / 2.0, kThumbnailPixels / 2.0);
    painter->scale(scale, scale);
    painter->translate(-bounds.center());
    for (qsizetype i = graphics.size() - 1; i >= 0; --i)
        graphics.at(i)->drawInView(nullptr, false);
    return out.image();
}

// A curve drawn point by point: the cell's own graphic is a single point until drawn.
QImage curveThumbnail()
{
    QImage image(kThumbnailPixels, kThumbnailPixels, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath curve(QPointF(12, 92));
    curve.cubicTo(QPointF(12, 20), QPointF(98, 90), QPointF(98, 18));
    painter.setPen(QPen(QColor(40, 40, 48), 3.0, Qt::SolidLine, Qt::RoundCap));
    painter.drawPath(curve);
    painter.setBrush(QColor(40, 40, 48));
    for (const QPointF& p : {QPointF(12, 92), QPointF(98, 18)})
        painter.drawEllipse(p, 4.5, 4.5);
    return image;
}

std::shared_ptr<LBTextArea> textBox(const QList<std::pair<QString, QVariantMap>>& runs,
                                    qint64 alignment)
{
    platform::AttributedString text;
    for (const auto& [string, attributes] : runs)
        text.appendAttributedString(platform::AttributedString(string, attributes));
    if (alignment != 0) {
        platform::ParagraphStyle style = platform::ParagraphStyle::defaultParagraphStyle();
        style.alignment = alignment == 2 ? platform::ParagraphStyle::Alignment::Center
                                         : platform::ParagraphStyle::Alignment::Right;
        text.addAttribute(platform::ParagraphStyleAttributeName, QVariant::fromValue(style),
                          platform::Range(0, text.length()));
    }
    auto box = std::make_shared<LBTextArea>();
    box->setContents(text);
    const QSizeF size = box->requiredSize(1000000.0);
    box->setBoundsNoOtherChanges(QRectF(QPointF(0, 0), size));
    return box;
}

QVariantMap font(const char* family, double size, QFont::Weight weight = QFont::Normal,
                 bool italic = false, const QColor& color = Qt::black)
{
    QFont f(QString::fromLatin1(family));
    f.setPointSizeF(size);
    f.setWeight(weight);
    f.setItalic(italic);
    return {{platform::FontAttributeName, QVariant::fromValue(f)},
            {platform::ForegroundColorAttributeName, QVariant::fromValue(color)}};
}

QList<LBGraphicPtr> sampleTexts()
{
    QList<LBGraphicPtr> samples;
    samples.append(textBox({{QStringLiteral("Happy Birthday!"),
                             font("DejaVu Serif", 36, QFont::Bold, false, QColor(190, 30, 45))}},
                           2));
    samples.append(textBox(
        {{QStringLiteral("With love,"), font("DejaVu Serif", 24, QFont::Normal, true)}}, 0));
    samples.append(
        textBox({{QStringLiteral("Thank You"),
                  font("Liberation Serif", 48, QFont::Normal, true, QColor(30, 70, 150))}},
                2));
    samples.append(textBox({{QStringLiteral("Season's Greetings\n"),
                             font("DejaVu Serif", 22, QFont::Bold, false, QColor(20, 110, 60))},
                            {QStringLiteral("from our house to yours"),
                             font("DejaVu Serif", 14, QFont::Normal, true)}},
                           2));
    samples.append(textBox({{QStringLiteral("CONFIDENTIAL"),
                             font("DejaVu Sans", 28, QFont::Bold, false, QColor(160, 20, 20))}},
                           0));
    samples.append(textBox(
        {{QStringLiteral("FRAGILE \u2013 Handle With Care"), font("DejaVu Sans", 18, QFont::Bold)}},
        0));
    samples.append(textBox({{QStringLiteral("Please Recycle"),
                             font("DejaVu Sans", 14, QFont::Normal, false, QColor(20, 110, 60))}},
                           0));
    samples.append(textBox(
        {{QStringLiteral("You're Invited"), font("Liberation Serif", 40, QFont::Bold, true)}}, 2));
    // A text box on a coloured ground: a shape would lay its text along its outline.
    auto sale = make<LBTextArea>(QRectF(0, 0, 120, 56));
    sale->setFillType(1);
    sale->setFillColor(QColor(250, 206, 60));
    sale->setDrawsStroke(false);
    platform::AttributedString word(
        QStringLiteral("SALE"), font("DejaVu Sans", 30, QFont::Bold, false, QColor(150, 20, 30)));
    platform::ParagraphStyle centred = platform::ParagraphStyle::defaultParagraphStyle();
    centred.alignment = platform::ParagraphStyle::Alignment::Center;
    word.addAttribute(platform::ParagraphStyleAttributeName, QVariant::fromValue(centred),
                      platform::Range(0, word.length()));
    sale->setContents(word);
    sale->setTextBlockVerticalAlignment(1);
    samples.append(sale);
    return samples;
}

bool writeFile(const QString& path, const QByteArray& data)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size() || !file.commit()) {
        std::fprintf(stderr, "libraryart: cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: libraryart <resources folder>\n");
        return 2;
    }
    QTemporaryDir home;
    qputenv("XDG_CONFIG_HOME", QByteArray(home.path().toLocal8Bit() + "/config"));
    QApplication application(argc, argv);
    registerShapeClasses();
    registerWindowClasses();
    const QDir resources(QString::fromLocal8Bit(argv[1]));
    bool ok = true;

    // The ready-made graphics of cells 39 to 58.
    const QList<Graphics> art = resourceArt();
    if (art.size() != LBShapeController::CellCount - LBShapeController::FirstResourceCell) {
        std::fprintf(stderr, "libraryart: %lld resource graphics\n", qlonglong(art.size()));
        return 1;
    }
    for (qsizetype i = 0; i < art.size(); ++i) {
        const qint64 number = LBShapeController::FirstResourceCell + i + 1;
        ok &= writeFile(resources.filePath(QStringLiteral("shapes/Shape%1").arg(number)),
                        LBDocument::dataForGraphics(art.at(i)));
    }

    // The thumbnails, from what each cell gives.
    LBEditController edit;
    for (qint64 cell = 0; cell < LBShapeController::CellCount; ++cell) {
        Graphics graphics;
        if (cell < LBShapeController::FirstResourceCell) {
            const LBShapeController::CellRecipe& recipe = LBShapeController::cellTable().at(cell);
            if (LBGraphicPtr shape =
                    edit.createShapeOfClass(recipe.className, recipe.alternate ? 1 : 0)) {
                LBShapeController::applyRecipe(*shape, recipe);
                graphics.append(shape);
            }
        } else {
            graphics = art.at(cell - LBShapeController::FirstResourceCell);
        }
        const QImage thumbnail = cell == 32 ? curveThumbnail() : thumbnailOf(graphics);
        QByteArray png;
        {
            QBuffer buffer(&png);
            buffer.open(QIODevice::WriteOnly);
            thumbnail.save(&buffer, "PNG");
        }
        ok &= !png.isEmpty()
              && writeFile(resources.filePath(QStringLiteral("images/Shape%1.png").arg(cell + 1)),
                           png);
    }

    // The text library's first contents: one graphics list an item.
    QVariantList seed;
    for (const LBGraphicPtr& sample : sampleTexts())
        seed.append(LBDocument::dictionaryForGraphics(LBDocument::Layer{sample}));
    ok &= writeFile(resources.filePath(QStringLiteral("library/Text Library.plist")),
                    platform::PropertyList::toXml(seed));
    return ok ? 0 : 1;
}
