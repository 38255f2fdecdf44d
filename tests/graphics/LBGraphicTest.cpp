// The graphic as a data structure: defaults, kinds, the document link, copying
// and the effects it carries over.

#include "GraphicTestSupport.h"

#include "platform/core/ClassRegistry.h"
#include "platform/core/TextForms.h"

#include <gtest/gtest.h>

namespace {

const bool probeRegistered =
    platform::ClassRegistry<LBGraphic>::registerClass<ProbeGraphic>(QStringLiteral("ProbeGraphic"));

QString effectKinds(const LBGraphic& graphic)
{
    QStringList kinds;
    for (qint64 i = 0; i < graphic.numEffects(); ++i)
        kinds << graphic.effectDictionaryAtIndex(i).value(QStringLiteral("effect")).toString();
    return kinds.join(QLatin1Char(','));
}

void addDefaultEffect(LBGraphic& graphic, qint64 kind)
{
    const qint64 d = LBGraphic::DefaultEffectModifier;
    const QPointF l(LBGraphic::DefaultEffectLocationX, 0.0);
    graphic.addEffect(kind, d, d, d, d, d, d, l, l, l, l, QColor(), false);
}

} // namespace

TEST(LBGraphicModel, NewGraphicHasTheDefaults)
{
    ASSERT_TRUE(probeRegistered);
    LBGraphic g;
    EXPECT_EQ(g.bounds(), QRectF(0, 0, 1, 1));
    EXPECT_EQ(g.fillType(), 0);
    EXPECT_TRUE(g.drawsStroke());
    EXPECT_EQ(g.strokeLineWidth(), 1.0);
    EXPECT_EQ(g.strokeColor(), QColor(Qt::black));
    EXPECT_EQ(g.fillColor(), QColor(Qt::black));
    EXPECT_EQ(g.fillColor1(), QColor(Qt::white));
    EXPECT_EQ(g.graphicAlpha(), 1.0);
    EXPECT_EQ(g.lineDashCount(), 0);
    EXPECT_EQ(g.getLineDashPattern(), (LBGraphic::DashPattern{0, 0, 0, 0}));
    EXPECT_EQ(g.zoomFactor(), 1.0);
    EXPECT_EQ(g.rotation(), 0.0);
    EXPECT_EQ(g.groupRotation(), 0.0);

    qint64 height = 0, radius = 0, azimuth = 0;
    double alpha = 0;
    QColor shadowColor;
    EXPECT_EQ(g.shadowInfo(&height, &radius, &azimuth, &alpha, &shadowColor), 0);
    EXPECT_EQ(height, 3);
    EXPECT_EQ(radius, 3);
    EXPECT_EQ(azimuth, 90);
    EXPECT_EQ(alpha, 0.25);
    EXPECT_EQ(shadowColor, QColor(Qt::black));
    EXPECT_FALSE(g.shadow().has_value());

    EXPECT_EQ(g.gradientAngle(), 0.0);
    EXPECT_EQ(g.gradientCenter(), 1.0);
    EXPECT_EQ(g.gradientCenterSize(), 0.01); // stored 0, read back at least 0.01
    EXPECT_EQ(g.fillImageScaling(), 2);
    EXPECT_EQ(g.fillImageTransparency(), 1.0);
    EXPECT_TRUE(g.downsampleFillImageEnabled());
    EXPECT_FALSE(g.reflectionEnabled());
    EXPECT_EQ(g.reflectionTransparency(), 0.5);
    EXPECT_EQ(g.reflectionHeight(), 0.5);
    EXPECT_EQ(g.placeholderColor(), QColor(Qt::white));
    EXPECT_NEAR(g.placeholderLabelColor().redF(), 1.0 / 3.0, 1e-4);
    EXPECT_EQ(g.numEffects(), 0);
    EXPECT_EQ(g.colorMaskType(), 0);
    EXPECT_FALSE(g.hidden());
    EXPECT_FALSE(g.locked());
    EXPECT_FALSE(g.isGrouped());
    EXPECT_EQ(g.document(), nullptr);
    EXPECT_EQ(g.undoManager(), nullptr);
}

TEST(LBGraphicModel, KindsAndTypeName)
{
    LBGraphic plain;
    ProbeGraphic probe;
    EXPECT_FALSE(plain.isTextBox());
    EXPECT_FALSE(plain.isShape());
    EXPECT_FALSE(plain.isShapeWithText());
    EXPECT_EQ(plain.graphicType(), QStringLiteral("LBGraphic"));
    EXPECT_EQ(probe.graphicType(), QStringLiteral("ProbeGraphic"));
    EXPECT_FALSE(plain.bezierPath().has_value());
    EXPECT_EQ(plain.arrow1Type(), 0);
    EXPECT_TRUE(plain.hasNaturalSize());
    EXPECT_TRUE(plain.canDrawFill());
    EXPECT_TRUE(plain.canDrawStroke());
    EXPECT_FALSE(plain.scaledForPrinting());
    EXPECT_EQ(plain.moveModifierKnob(9, QPointF(5, 5), false), 0);

    // Only gradient fills ask for a high-resolution rendering when printing.
    for (qint64 type : {0, 1, 2, 3}) {
        plain.setFillType(type);
        EXPECT_EQ(plain.shouldCreateHiResImageWhenPrinting(), type > 1) << type;
    }
}

TEST(LBGraphicModel, ColourGettersMultiplyAlphaWhileCopiesGetTheStoredColours)
{
    auto g = std::make_shared<ProbeGraphic>();
    QColor halfRed(Qt::red);
    halfRed.setAlphaF(0.5f);
    g->setFillColor(halfRed);
    g->setGraphicAlpha(0.5);
    EXPECT_NEAR(g->fillColor().alphaF(), 0.25, 1e-3);
    EXPECT_NEAR(g->strokeColor().alphaF(), 0.5, 1e-3);
    EXPECT_NEAR(g->fillColor1().alphaF(), 0.5, 1e-3);

    auto copy = std::static_pointer_cast<ProbeGraphic>(g->copy());
    EXPECT_NEAR(copy->_fillColor.alphaF(), 0.5, 1e-3);
    EXPECT_NEAR(copy->fillColor().alphaF(), 0.25, 1e-3);
    EXPECT_EQ(copy->graphicAlpha(), 0.5);

    // An unset colour stays unset through the alpha multiplication.
    g->setStrokeColor(QColor());
    EXPECT_FALSE(g->strokeColor().isValid());
}

TEST(LBGraphicModel, CopyCarriesAttributesButNotDocumentHiddenOrDragState)
{
    RecordingDocument doc;
    auto g = std::make_shared<ProbeGraphic>();
    g->setDocument(&doc);
    doc.quietly([&] {
        g->setBounds(QRectF(10, 20, 30, 40));
        g->setFillType(1);
        g->setFillColor(Qt::blue);
        g->setStrokeColor(Qt::green);
        g->setDrawsStroke(false);
        g->setStrokeLineWidth(4);
        g->setLineDash({3, 1, 0, 0}, 2);
        g->setRotation(30);
        g->setGroupRotation(15);
        g->setShadowInfo(1, 5, 6, 45, 0.5, Qt::red);
        g->setReflectionEnabled(true);
        g->setReflectionHOffset(0.25);
        g->setLocked(true);
        g->setIsGrouped(true);
        g->setGroupedChildrenCount(2);
        g->setGroupBounds(QRectF(0, 0, 100, 100));
        g->setFlippedHorizontally(true);
        g->setGradientCenterSize(0.3);
        g->setPlaceholderLabel(QStringLiteral("Drop here"));
        g->setZoomFactor(2);
        g->setBrightness(20);
        g->setColorMaskType(1, -1, -1, -1, -1, -1);
        g->setVisiblePageOrigin(QPointF(7, 8));
        g->setHidden(true);
        g->setEffectLocationKnobType(1, 0);
        g->startBoundsManipulation();
    });

    auto copy = std::static_pointer_cast<ProbeGraphic>(g->copy());
    g->stopBoundsManipulation();
    ASSERT_TRUE(copy);
    EXPECT_EQ(copy->graphicType(), QStringLiteral("ProbeGraphic"));
    EXPECT_EQ(copy->document(), nullptr);
    EXPECT_FALSE(copy->hidden());
    EXPECT_FALSE(copy->manipulatingBounds());
    EXPECT_EQ(copy->visiblePageOrigin(), QPointF());
    EXPECT_EQ(copy->effectLocationKnobType(), 0);

    EXPECT_EQ(copy->bounds(), QRectF(10, 20, 30, 40));
    EXPECT_EQ(copy->fillType(), 1);
    EXPECT_EQ(copy->fillColor(), QColor(Qt::blue));
    EXPECT_EQ(copy->strokeColor(), QColor(Qt::green));
    EXPECT_FALSE(copy->drawsStroke());
    EXPECT_EQ(copy->strokeLineWidth(), 4.0);
    EXPECT_EQ(copy->getLineDashPattern(), (LBGraphic::DashPattern{3, 1, 0, 0}));
    EXPECT_EQ(copy->lineDashCount(), 2);
    EXPECT_EQ(copy->rotation(), 30.0);
    EXPECT_EQ(copy->groupRotation(), 15.0);
    qint64 height = 0, radius = 0, azimuth = 0;
    double alpha = 0;
    QColor color;
    EXPECT_EQ(copy->shadowInfo(&height, &radius, &azimuth, &alpha, &color), 1);
    EXPECT_EQ(QList<qint64>({height, radius, azimuth}), QList<qint64>({5, 6, 45}));
    EXPECT_EQ(alpha, 0.5);
    EXPECT_EQ(color, QColor(Qt::red));
    EXPECT_TRUE(copy->reflectionEnabled());
    EXPECT_EQ(copy->reflectionHOffset(), 0.25);
    EXPECT_TRUE(copy->locked());
    EXPECT_TRUE(copy->isGrouped());
    EXPECT_EQ(copy->groupedChildrenCount(), 2);
    EXPECT_EQ(copy->groupBounds(), QRectF(0, 0, 100, 100));
    EXPECT_TRUE(copy->flippedHorizontally());
    EXPECT_EQ(copy->gradientCenterSize(), 0.3);
    EXPECT_EQ(copy->placeholderLabel(), QStringLiteral("Drop here"));
    EXPECT_EQ(copy->zoomFactor(), 2.0);
    EXPECT_EQ(copy->brightness(), 20.0);
    EXPECT_EQ(copy->colorMaskType(), 1);
    EXPECT_EQ(copy->_colorMaskSize, 90);
    EXPECT_EQ(copy->_colorMaskSoftness, 7);
    // The copy's shadow is built at the copy's own zoom, like the original's.
    ASSERT_TRUE(copy->shadow().has_value());
    EXPECT_NEAR(copy->shadow()->blurRadius, g->shadow()->blurRadius, 1e-9);

    // A copy has no document, so changing it records nothing in the original's
    // history.
    const int invalidationsBefore = doc.invalidations;
    copy->setBounds(QRectF(0, 0, 5, 5));
    EXPECT_EQ(doc.invalidations, invalidationsBefore);
}

TEST(LBGraphicModel, CopySharesPicturesExceptThoseFromFilesAndPhotoPrompts)
{
    auto picture = fakeImage();
    auto mask = fakeImage();
    auto g = std::make_shared<ProbeGraphic>();
    g->setImage(picture, LBGraphic::FillImageType);
    EXPECT_EQ(g->copy()->imageOfType(LBGraphic::FillImageType), picture);

    // A picture from a file is the caller's to copy with the file.
    g->setImageFilePath(QStringLiteral("/tmp/rose.jpg"), LBGraphic::FillImageType);
    auto fromFile = g->copy();
    EXPECT_EQ(fromFile->imageOfType(LBGraphic::FillImageType), nullptr);
    EXPECT_TRUE(fromFile->imageFilePathOfType(LBGraphic::FillImageType).isNull());

    // A photo placeholder showing its prompt carries only its stock art.
    g->setImageFilePath(QString(), LBGraphic::FillImageType);
    g->setIsPlaceholder(true);
    g->setDrawPlaceholderText(true);
    EXPECT_EQ(g->copy()->imageOfType(LBGraphic::FillImageType), nullptr);
    g->setPlaceholderTypeString(QStringLiteral("RegularText"));
    EXPECT_EQ(g->copy()->imageOfType(LBGraphic::FillImageType), picture);

    // Masks are shared too.
    g->setImage(mask, LBGraphic::ObjectMaskType);
    EXPECT_EQ(g->copy()->imageOfType(LBGraphic::ObjectMaskType), mask);
}

TEST(LBGraphicModel, DocumentLinkGivesTheUndoManagerAndRecordsNothingItself)
{
    RecordingDocument doc;
    auto g = std::make_shared<LBGraphic>();
    NotificationCounter changes(LBGraphicDidChange, g.get());
    g->setDocument(&doc);
    EXPECT_EQ(g->document(), &doc);
    EXPECT_EQ(g->undoManager(), doc.undoManager());
    g->setHidden(true);
    EXPECT_TRUE(g->hidden());
    EXPECT_FALSE(doc.canUndo());
    EXPECT_EQ(changes.count, 0);
    EXPECT_EQ(doc.invalidations, 0);
}

TEST(LBGraphicModel, GraphicWithoutDocumentRecordsNoUndoAndRedrawsNothing)
{
    RecordingDocument doc;
    auto g = std::make_shared<LBGraphic>();
    g->setDocument(&doc);
    g->setDocument(nullptr);
    NotificationCounter changes(LBGraphicDidChange, g.get());

    doc.step([&] {
        g->setBounds(QRectF(5, 5, 50, 50));
        g->setStrokeLineWidth(0.5);
        g->setShadowInfo(0, 1, 1, 0, 0.1, QColor());
        g->setReflectionEnabled(true);
        g->setReflectionEnabled(false);
        g->moveBy(QPointF(3, 3));
    });
    EXPECT_FALSE(doc.canUndo());
    EXPECT_EQ(doc.invalidations, 0);
    EXPECT_EQ(g->bounds(), QRectF(8, 8, 50, 50));
    // The change is still announced.
    EXPECT_GT(changes.count, 0);
}

TEST(LBGraphicModel, InspectorPositionMovesGroupBoundsButSizeDoesNot)
{
    RecordingDocument doc;
    auto g = std::make_shared<LBGraphic>();
    g->setDocument(&doc);
    doc.quietly([&] {
        g->setBounds(QRectF(10, 20, 30, 40));
        g->setIsGrouped(true);
        g->setGroupBounds(QRectF(0, 0, 200, 100));
    });

    doc.undoManager()->beginUndoGrouping();
    g->setXPosition(25);
    EXPECT_EQ(g->bounds(), QRectF(25, 20, 30, 40));
    EXPECT_EQ(g->groupBounds(), QRectF(15, 0, 200, 100));
    g->setYPosition(10);
    EXPECT_EQ(g->bounds(), QRectF(25, 10, 30, 40));
    EXPECT_EQ(g->groupBounds(), QRectF(15, -10, 200, 100));
    EXPECT_EQ(g->xPosition(), 25.0);
    EXPECT_EQ(g->yPosition(), 10.0);

    g->setWidth(60);
    g->setHeight(70);
    EXPECT_EQ(g->bounds(), QRectF(25, 10, 60, 70));
    EXPECT_EQ(g->groupBounds(), QRectF(15, -10, 200, 100));
    EXPECT_EQ(g->width(), 60.0);
    EXPECT_EQ(g->height(), 70.0);

    // Ungrouped, the position leaves the group bounds alone.
    g->setIsGrouped(false);
    g->setXPosition(0);
    EXPECT_EQ(g->groupBounds(), QRectF(15, -10, 200, 100));
    doc.undoManager()->endUndoGrouping();
}

TEST(LBGraphicModel, EffectsOfAKindTheReceiverHasAreNotCopied)
{
    auto source = std::make_shared<LBGraphic>();
    addDefaultEffect(*source, 5);
    addDefaultEffect(*source, 5);
    addDefaultEffect(*source, 2);

    // Kinds are collected before anything is added, so both kind-5 effects come
    // over.
    auto empty = std::make_shared<LBGraphic>();
    empty->copyImageEffectsFromGraphic(*source);
    EXPECT_EQ(effectKinds(*empty), QStringLiteral("5,5,2"));

    auto withFive = std::make_shared<LBGraphic>();
    addDefaultEffect(*withFive, 5);
    withFive->copyImageEffectsFromGraphic(*source);
    EXPECT_EQ(effectKinds(*withFive), QStringLiteral("5,2"));

    // A whole copy takes the effects the same way.
    EXPECT_EQ(effectKinds(*source->copy()), QStringLiteral("5,5,2"));
}

TEST(LBGraphicModel, CopiedEffectsKeepTheirValuesAndGetDefaultsForMissingKeys)
{
    auto source = std::make_shared<ProbeGraphic>();
    source->addEffect(32, 0, 0, 0, 0, 0, 0, QPointF(0.1, 0.9), QPointF(0.8, 0.7), QPointF(0.2, 0.3),
                      QPointF(0.6, 0.4), QColor(), false);
    source->addEffect(3, 44, 0, 0, 0, 0, 0, QPointF(), QPointF(), QPointF(), QPointF(),
                      QColor(Qt::blue), false);
    source->_effects[0].remove(QStringLiteral("location2"));
    source->_effects[1].remove(QStringLiteral("modifier0"));

    auto target = std::make_shared<LBGraphic>();
    target->copyImageEffectsFromGraphic(*source);
    ASSERT_EQ(target->numEffects(), 2);
    const QVariantMap perspective = target->effectDictionaryAtIndex(0);
    EXPECT_EQ(platform::pointFromString(perspective.value("location0").toString()),
              QPointF(0.1, 0.9));
    EXPECT_EQ(platform::pointFromString(perspective.value("location2").toString()),
              QPointF(0.5, 0.5));
    EXPECT_EQ(platform::pointFromString(perspective.value("location3").toString()),
              QPointF(0.6, 0.4));
    const QVariantMap colour = target->effectDictionaryAtIndex(1);
    EXPECT_EQ(platform::integerValue(colour.value("modifier0")), 0);
    EXPECT_EQ(colour.value("colorData"), source->effectDictionaryAtIndex(1).value("colorData"));
}
