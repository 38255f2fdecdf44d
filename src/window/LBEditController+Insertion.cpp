// The design defaults that new shapes and lines get, learning them from the selection, and
// creating and inserting new graphics.

#include "window/LBEditController.h"

#include "canvas/LBGraphicView.h"
#include "document/LBDocument.h"
#include "graphics/LBGraphic.h"
#include "graphics/LBProcessState.h"
#include "graphics/LBTextArea.h"
#include "platform/core/ClassRegistry.h"
#include "platform/core/Strings.h"
#include "platform/core/UndoManager.h"
#include "platform/text/AttributedString.h"
#include "platform/text/FontManager.h"
#include "platform/ui/Beep.h"
#include "shapes/LBArcEndRect.h"
#include "shapes/LBArrow.h"
#include "shapes/LBArrowHead.h"
#include "shapes/LBCircle.h"
#include "shapes/LBCloud.h"
#include "shapes/LBCross.h"
#include "shapes/LBCurvedLine.h"
#include "shapes/LBDiamond.h"
#include "shapes/LBFlowDocument.h"
#include "shapes/LBGear.h"
#include "shapes/LBImage.h"
#include "shapes/LBIsocelesTrapezoid.h"
#include "shapes/LBLine.h"
#include "shapes/LBOneRoundCorner.h"
#include "shapes/LBPolygon.h"
#include "shapes/LBRectangle.h"
#include "shapes/LBReverseRoundedRect.h"
#include "shapes/LBReverseTwoRoundCorner.h"
#include "shapes/LBRightTriangle.h"
#include "shapes/LBRoundedRect.h"
#include "shapes/LBSemiCircle.h"
#include "shapes/LBSpeechBubble.h"
#include "shapes/LBStar.h"
#include "shapes/LBStarPolygon.h"
#include "shapes/LBThreeRoundCorner.h"
#include "shapes/LBTriangle.h"
#include "shapes/LBTwoRoundCorner.h"
#include "shapes/LBTwoRoundCorner2.h"
#include "shapes/LBWedge.h"
#include "window/LBWindowController.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QLoggingCategory>

#include <cmath>

namespace {

const QString AlternateRoundedRect = QStringLiteral("LBRoundedRect1");

// The shape classes whose last selected size new shapes of the class take, in the order
// learning asks "is the graphic a kind of it?"; a rounded rectangle's size goes to the
// alternate entry when its alternate form is on.
struct SizeKind
{
    const char* name;
    bool (*isKind)(const LBGraphic&);
};

template <typename T>
bool isKind(const LBGraphic& graphic)
{
    return dynamic_cast<const T*>(&graphic) != nullptr;
}

const SizeKind LearningOrder[] = {
    {"LBRectangle", isKind<LBRectangle>},
    {"LBCircle", isKind<LBCircle>},
    {"LBTriangle", isKind<LBTriangle>},
    {"LBDiamond", isKind<LBDiamond>},
    {"LBPolygon", isKind<LBPolygon>},
    {"LBRoundedRect", isKind<LBRoundedRect>},
    {"LBSemiCircle", isKind<LBSemiCircle>},
    {"LBWedge", isKind<LBWedge>},
    {"LBStar", isKind<LBStar>},
    {"LBStarPolygon", isKind<LBStarPolygon>},
    {"LBGear", isKind<LBGear>},
    {"LBCross", isKind<LBCross>},
    {"LBIsocelesTrapezoid", isKind<LBIsocelesTrapezoid>},
    {"LBArcEndRect", isKind<LBArcEndRect>},
    {"LBFlowDocument", isKind<LBFlowDocument>},
    {"LBCloud", isKind<LBCloud>},
    {"LBRightTriangle", isKind<LBRightTriangle>},
    {"LBArrowHead", isKind<LBArrowHead>},
    {"LBArrow", isKind<LBArrow>},
    {"LBReverseRoundedRect", isKind<LBReverseRoundedRect>},
    {"LBOneRoundCorner", isKind<LBOneRoundCorner>},
    {"LBTwoRoundCorner", isKind<LBTwoRoundCorner>},
    {"LBTwoRoundCorner2", isKind<LBTwoRoundCorner2>},
    {"LBThreeRoundCorner", isKind<LBThreeRoundCorner>},
    {"LBReverseTwoRoundCorner", isKind<LBReverseTwoRoundCorner>},
    {"LBSpeechBubble", isKind<LBSpeechBubble>},
};

Q_LOGGING_CATEGORY(lcDesign, "veltrin.design")

} // namespace

void LBEditController::setRememberedSizesToStartValues()
{
    const QSizeF square(50, 50);
    for (const SizeKind& kind : LearningOrder)
        _rememberedSizes.insert(QString::fromLatin1(kind.name), square);
    _rememberedSizes.insert(QStringLiteral("LBLine"), square);
    _rememberedSizes.insert(AlternateRoundedRect, QSizeF(50, 20));
    _rememberedSizes.insert(QStringLiteral("LBSemiCircle"), QSizeF(50, 25));
    _rememberedSizes.insert(QStringLiteral("LBArrow"), QSizeF(100, 50));
    // A speech bubble made before any was selected starts as large as the other shapes.
    _rememberedSizes.insert(QStringLiteral("LBSpeechBubble"), square);
}

QSizeF LBEditController::rememberedSize(const QString& className) const
{
    return _rememberedSizes.value(className, QSizeF(0, 0));
}

void LBEditController::setRememberedSize(const QString& className, const QSizeF& size)
{
    _rememberedSizes.insert(className, size);
}

void LBEditController::learnDefaultsFromGraphic(const LBGraphic& graphic)
{
    if (graphic.locked())
        return;
    const QRectF bounds = graphic.bounds();
    const auto learnShapeSettings = [&] {
        _defaults.shapeFillType = graphic.fillType();
        _defaults.shapeStrokeWidth = graphic.strokeLineWidth();
        _defaults.shapeStrokeOn = graphic.drawsStroke();
        _defaults.shapeStrokeColor = graphic.strokeColor();
        _defaults.shapeFillColor = graphic.fillColor();
        _defaults.shapeFillColor1 = graphic.fillColor1();
    };
    if (const auto* curve = dynamic_cast<const LBCurvedLine*>(&graphic);
        curve && curve->closedPath()) {
        learnShapeSettings();
        return;
    }
    if (isKind<LBLine>(graphic)) {
        _defaults.lineStrokeWidth = graphic.strokeLineWidth();
        _defaults.lineStrokeColor = graphic.strokeColor();
        return;
    }
    if (isKind<LBImage>(graphic) || graphic.isTextBox())
        return;
    learnShapeSettings();
    for (const SizeKind& kind : LearningOrder) {
        if (!kind.isKind(graphic))
            continue;
        QString name = QString::fromLatin1(kind.name);
        if (const auto* rounded = dynamic_cast<const LBRoundedRect*>(&graphic);
            rounded && rounded->alternateShape() != 0)
            name = AlternateRoundedRect;
        _rememberedSizes.insert(name, bounds.size());
        return;
    }
}

LBGraphicPtr LBEditController::createShapeOfClass(const QString& className, qint64 alternateShape)
{
    LBGraphicPtr graphic = platform::ClassRegistry<LBGraphic>::create(className);
    if (!graphic) {
        qCWarning(lcDesign) << "No graphic class named" << className;
        return nullptr;
    }
    if (alternateShape != 0) {
        if (auto* modified = dynamic_cast<LBModifiedShape*>(graphic.get()))
            modified->setAlternateShape(alternateShape);
    }
    QSizeF size;
    const bool curve = className == QStringLiteral("LBCurvedLine");
    if (className == QStringLiteral("LBLine") || curve) {
        const double width = _defaults.lineStrokeWidth;
        graphic->setStrokeLineWidth(width <= 0.0 || width >= 1000.0 ? 1.0 : width);
        graphic->setStrokeColor(_defaults.lineStrokeColor);
        graphic->setDrawsStroke(true);
        size = rememberedSize(QStringLiteral("LBLine"));
        if (curve) {
            static_cast<LBCurvedLine*>(graphic.get())
                ->addControlPointAndModifiersAtPoint(QPointF(0, 0));
            size = QSizeF(8, 8);
        }
    } else {
        applyShapeSettings(*graphic, _defaults.shapeStrokeWidth);
        const bool alternate = className == QStringLiteral("LBRoundedRect") && alternateShape != 0;
        size = rememberedSize(alternate ? AlternateRoundedRect : className);
    }
    graphic->setBoundsNoOtherChanges(QRectF(QPointF(0, 0), size));
    graphic->setZoomFactor(zoomFactor());
    return graphic;
}

void LBEditController::applyShapeSettings(LBGraphic& graphic, double strokeWidth) const
{
    graphic.setStrokeLineWidth(strokeWidth);
    graphic.setStrokeColor(_defaults.shapeStrokeColor);
    const qint64 fillType = _defaults.shapeFillType;
    // A new shape is never invisible: without a fill it draws its stroke.
    graphic.setDrawsStroke(_defaults.shapeStrokeOn || fillType == 0);
    graphic.setFillColor(_defaults.shapeFillColor);
    graphic.setFillType(fillType);
    if (graphic.fillType() >= 2)
        graphic.setFillColor1(_defaults.shapeFillColor1);
}

void LBEditController::applyDefaultShapeSettingsToGraphic(LBGraphic& graphic) const
{
    applyShapeSettings(graphic, std::trunc(_defaults.shapeStrokeWidth));
    graphic.setZoomFactor(zoomFactor());
}

void LBEditController::insertGraphic(const LBGraphicPtr& graphic, bool originatedInShapesMatrix)
{
    LBGraphicView* view = _selectedGraphicView;
    if (!view || !graphic)
        return;
    // The step is named here; the canvas renames it when a paper becomes the background.
    if (LBDocument* document = this->document(); document && document->undoManager())
        document->undoManager()->setActionName(platform::LocalizedString(
            QStringLiteral("Insert Object"), QStringLiteral("UndoStrings")));
    view->insertGraphic(graphic, QPointF(-1, -1), originatedInShapesMatrix, 1);
    if (auto curve = std::dynamic_pointer_cast<LBCurvedLine>(graphic)) {
        if (_windowController)
            _windowController->setBezierMode(true);
        view->setEditingBezierGraphic(curve);
    } else {
        view->selectGraphic(graphic);
    }
}

void LBEditController::insertGraphics(const QList<LBGraphicPtr>& graphics,
                                      bool originatedInShapesMatrix)
{
    if (_selectedGraphicView)
        _selectedGraphicView->insertGraphics(graphics, QPointF(-1, -1), originatedInShapesMatrix);
}

bool LBEditController::fillSelectedPlaceholderWithImagePath(const QString& path, bool photoOnly)
{
    LBGraphicView* view = _selectedGraphicView;
    if (!view)
        return false;
    const QList<LBGraphicPtr> selection = view->selectedGraphics(false);
    if (selection.size() != 1 || !selection.first()->isPlaceholder())
        return false;
    if (photoOnly && selection.first()->placeholderTypeString() != QStringLiteral("Photo"))
        return false;
    const QRectF visible = view->visibleRect().intersected(view->visiblePageRect());
    view->replacePlaceholderGraphic(selection.first(), nullptr, path, visible.center());
    return true;
}

void LBEditController::insertImageAtPath(const QString& path)
{
    LBGraphicView* view = _selectedGraphicView;
    if (!view || fillSelectedPlaceholderWithImagePath(path, true))
        return;
    if (view->makeNewImageFromContentsOfFile(path, QPointF(-1, -1), QSizeF(-1, -1)))
        return;
    // A photo the design cannot take (damaged, or no picture at all) is refused aloud.
    LBGraphicView::alertFileIsNoPicture(QFileInfo(path).fileName(), designWindow());
}

QSizeF LBEditController::newTextBoxSize(const QSizeF& required, qint64 tag, bool autoResize)
{
    if (autoResize)
        return required;
    if (tag == 1)
        return QSizeF(required.width() * 2.5, required.height() * 2.0);
    return QSizeF(required.width(), required.width());
}

void LBEditController::createTextBoxAction(qint64 tag)
{
    const QString text =
        platform::LocalizedString(tag == 1 ? QStringLiteral("Text") : QStringLiteral("Curved Text"),
                                  QStringLiteral("Miscellaneous"));
    QVariantMap attributes;
    if (const std::optional<QFont> font = platform::FontManager::sharedFontManager().selectedFont())
        attributes.insert(platform::FontAttributeName, *font);
    insertTextBox(platform::AttributedString(text, attributes), tag);
}

void LBEditController::insertTextBox(const platform::AttributedString& text, qint64 tag)
{
    auto textBox = std::make_shared<LBTextArea>();
    textBox->setContents(text);
    textBox->setZoomFactor(zoomFactor());
    if (tag == 2) {
        textBox->setConstrainProportions(true);
        textBox->setIsCurved(true);
    }
    const QSizeF required = textBox->requiredSize(1000000.0);
    textBox->setBoundsNoOtherChanges(
        QRectF(QPointF(0, 0), newTextBoxSize(required, tag, textBox->autoResizeTextBox())));
    insertNewTextBox(textBox);
}

void LBEditController::insertNewTextBox(const std::shared_ptr<LBTextArea>& textBox)
{
    LBGraphicView* view = _selectedGraphicView;
    LBDocument* document = this->document();
    if (!textBox)
        return;
    const QRectF visible =
        view ? view->visibleRect().intersected(view->visiblePageRect()) : QRectF();
    const QRectF bounds = textBox->bounds();
    textBox->setBoundsNoOtherChanges(
        QRectF(bounds.topLeft() + visible.topLeft()
                   + QPointF((visible.width() - bounds.width()) * 0.5,
                             (visible.height() - bounds.height()) * 0.5),
               bounds.size()));
    if (!view || !document)
        return;
    const QRectF page = view->visiblePageRect();
    textBox->setVisiblePageOrigin(
        QPointF(page.x() + view->faceOffset().width(), page.y() + view->faceOffset().height()));
    setTextMode(false);
    view->clearSelection();
    document->insertGraphic(textBox, 0, document->selectedLayerIndex());
    view->selectGraphic(textBox);
    view->startEditingGraphic(textBox, nullptr, true);
}

bool LBEditController::useSelectedImageAsBackgroundAction(bool fromMenu)
{
    LBDocument* document = this->document();
    const QList<LBGraphicPtr> selection = selectedGraphics(false);
    if (!document || selection.isEmpty())
        return false;
    const LBGraphicPtr& graphic = selection.first();
    const qint64 page = document->pageIndex();

    QString path;
    const QImage processed = graphic->transformedCImage(false);
    if (!processed.isNull()) {
        const double seconds = QDateTime(QDate(2001, 1, 1), QTime(0, 0), Qt::UTC)
                                   .msecsTo(QDateTime::currentDateTimeUtc())
                               / 1000.0;
        const QString candidate =
            QDir(LBProcessState::temporaryFolderPath())
                .filePath(QString::asprintf("%f", seconds) + QStringLiteral(".jpg"));
        if (processed.save(candidate, "JPEG", 80)) {
            document->rememberTemporaryFileName(candidate);
            path = candidate;
        } else {
            qCWarning(lcDesign) << "Could not write the background picture" << candidate;
        }
    } else {
        path = document->imageFilePathForGraphic(*graphic);
    }
    if (path.isEmpty()) {
        // Nothing to make a background of: the page keeps the background it has.
        qCWarning(lcDesign) << "The selected graphic has no picture to use as background";
        platform::beep();
        return false;
    }
    if (platform::UndoManager* undo = document->undoManager())
        undo->setActionName(platform::LocalizedString(QStringLiteral("Set Background Image"),
                                                      QStringLiteral("UndoStrings")));
    // Shown and printed, as a paper made the background is: a new page draws no background
    // picture, and the command would otherwise change nothing to be seen.
    document->makeBackgroundImage(path, page);
    if (!fromMenu)
        document->setBackgroundImageScaling(3, page);
    document->updateChangeCount(platform::Document::ChangeDone);
    return true;
}
