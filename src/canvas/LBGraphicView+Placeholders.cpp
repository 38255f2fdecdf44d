// Placeholders: turning the selection into placeholders and back (a question for text
// boxes, the settings sheet for other graphics), and filling one with a picture: an image
// placeholder takes the picture scaled to cover it and cropped to it, a shape or text box
// takes it as its photo, after asking when it already shows one.

#include "canvas/LBGraphicView.h"

#include "graphics/NamedImage.h"
#include "platform/core/NotificationCenter.h"
#include "platform/core/Strings.h"
#include "platform/core/UndoManager.h"
#include "platform/drawing/Image.h"
#include "platform/ui/Alert.h"
#include "shapes/LBCurvedLine.h"
#include "shapes/LBImage.h"
#include "shapes/LBLine.h"

#include <QVariant>

#include <array>

namespace {

QString dialogString(const char* key)
{
    return platform::LocalizedString(QString::fromUtf8(key), QStringLiteral("DialogStrings"));
}

void postHUD(const QString& name)
{
    platform::NotificationCenter::defaultCenter().post(name);
}

// Sheet location 1-8 of a vertical prompt -> stored position.
constexpr std::array<qint64, 8> kVerticalPositions = {4, 3, 1, 2, 6, 8, 5, 7};

} // namespace

qint64 LBGraphicView::storedPositionForSheetLocation(qint64 location)
{
    if (location < 1 || location > 8)
        return location;
    return kVerticalPositions[std::size_t(location - 1)];
}

qint64 LBGraphicView::sheetLocationForStoredPosition(qint64 position)
{
    for (std::size_t i = 0; i < kVerticalPositions.size(); ++i) {
        if (kVerticalPositions[i] == position)
            return qint64(i) + 1;
    }
    return position;
}

// ==== Defining and undefining =============================================================

void LBGraphicView::defineAsPlaceholder(QObject* sender)
{
    const bool on = sender && sender->property("state").toLongLong() == 1;
    const QList<LBGraphicPtr> selection = selectedGraphics(false);
    if (on) {
        for (const LBGraphicPtr& g : selection) {
            if (g->drawsPlaceholderText()) {
                g->setImageFilePath(QString(), false, false, LBGraphic::FillImageType);
                g->setImage(nullptr, LBGraphic::FillImageType);
            }
            g->setIsPlaceholder(false);
            g->setDrawPlaceholderText(false);
            g->refreshGraphic(true);
        }
        setUndoActionName(QStringLiteral("Define as Image Placeholder"));
        return;
    }
    if (selection.isEmpty())
        return;
    if (selection.first()->isTextBox()) {
        postHUD(LBHideHUD);
        platform::Alert alert;
        alert.messageText = dialogString("What kind of text placeholder do you want?");
        alert.informativeText = dialogString(
            "A REGULAR TEXT placeholder is a text box where users can enter their own "
            "text.\r\rA TEXT+IMAGE placeholder is a text box onto which an image can be "
            "dropped. The image will then be cropped to the outlines of the characters in the "
            "text.");
        alert.buttons = {dialogString("Regular Text"), dialogString("Text+Image"),
                         dialogString("Cancel")};
        alert.cancelButton = 2;
        const QPointer<LBGraphicView> view(this);
        alert.beginSheetModalForWindow(_windowController ? _windowController->window() : nullptr,
                                       [view](const platform::Alert::Response& response) {
                                           if (view)
                                               view->textPlaceholderSheetDidEnd(
                                                   response.returnCode);
                                       });
        return;
    }
    // Other graphics need the settings sheet, which the shell provides.
    std::unique_ptr<LBPlaceholderSettings> sheet = LBPlaceholderSettings::make(false);
    if (!sheet)
        return;
    postHUD(LBHideHUD);
    _placeholderSheet = std::move(sheet);
    _placeholderSheet->setDelegate(this);
    _placeholderSheet->beginSheetForWindow(_windowController ? _windowController->window()
                                                             : nullptr);
}

void LBGraphicView::editPlaceholderSettings(QObject* sender)
{
    Q_UNUSED(sender);
    const QList<LBGraphicPtr> selection = selectedGraphics(false);
    if (selection.isEmpty())
        return;
    const LBGraphicPtr& g = selection.first();
    if (g->isTextBox()) {
        // The same question as for defining one.
        defineAsPlaceholder(nullptr);
        return;
    }
    std::unique_ptr<LBPlaceholderSettings> sheet = LBPlaceholderSettings::make(false);
    if (!sheet)
        return;
    postHUD(LBHideHUD);
    _placeholderSheet = std::move(sheet);
    LBPlaceholderSettings& s = *_placeholderSheet;
    s.setDelegate(this);
    s.beginSheetForWindow(_windowController ? _windowController->window() : nullptr);
    s.setTypeString(g->placeholderTypeString());
    s.setPromptString(g->placeholderLabel());
    s.setPromptLocation(g->placeholderLabelIsVertical()
                            ? sheetLocationForStoredPosition(g->placeholderLabelPosition())
                            : g->placeholderLabelPosition());
    s.setPromptIsVertical(g->placeholderLabelIsVertical());
    s.setColor(g->placeholderColor());
    s.setPatternIndex(g->placeholderPatternIndex());
    s.setImageIndex(g->placeholderImageIndex());
    s.setLabelColor(g->placeholderLabelColor());
    s.setHideOutline(g->hidePlaceholderOutline());
}

void LBGraphicView::textPlaceholderSheetDidEnd(int returnCode)
{
    if (returnCode == platform::Alert::FirstButtonReturn
        || returnCode == platform::Alert::SecondButtonReturn) {
        const QString type = returnCode == platform::Alert::FirstButtonReturn
                                 ? QStringLiteral("RegularText")
                                 : QStringLiteral("Text+Image");
        for (const LBGraphicPtr& g : selectedGraphics(false)) {
            if (!g->isTextBox())
                continue;
            g->setIsPlaceholder(true);
            g->setPlaceholderTypeString(type);
            g->refreshGraphic(true);
        }
    }
    postHUD(LBShowHUD);
}

void LBGraphicView::placeholderSheetDidDismissWithSave(LBPlaceholderSettings* sheet, bool saved)
{
    if (saved && sheet) {
        const LBPlaceholderSettings& s = *sheet;
        const bool vertical = s.promptIsVertical();
        const qint64 position =
            vertical ? storedPositionForSheetLocation(s.promptLocation()) : s.promptLocation();
        const qint64 pattern = s.patternIndex();
        for (const LBGraphicPtr& g : selectedGraphics(false)) {
            g->setIsPlaceholder(true);
            g->setPlaceholderTypeString(s.typeString());
            g->setImageFilePath(QString(), false, false, LBGraphic::FillImageType);
            if (pattern != 0) {
                g->setFillImageScaling(LBGraphic::FillImageTiled);
                g->setImage(namedImage(QStringLiteral("PlaceholderPattern%1").arg(pattern)),
                            LBGraphic::FillImageType);
            } else if (s.typeString() != QLatin1String("Photo")) {
                g->setImage(nullptr, LBGraphic::FillImageType);
            }
            g->setPlaceholderColor(s.color());
            g->setPlaceholderLabel(s.promptString());
            g->setPlaceholderLabelColor(s.labelColor());
            g->setPlaceholderPatternIndex(pattern);
            g->setPlaceholderImageIndex(s.imageIndex());
            g->setPlaceholderLabelPosition(position);
            g->setPlaceholderLabelIsVertical(vertical);
            g->setDrawPlaceholderText(true);
            if (!g->drawsStroke() || s.hideOutline()) {
                g->setDrawsStroke(true);
                g->setStrokeLineWidth(1.0);
                g->setStrokeColor(QColor(Qt::black));
                g->setLineDash({5.0, 5.0, 0.0, 0.0}, 2);
            }
            g->setHidePlaceholderOutline(s.hideOutline());
            g->refreshGraphic(true);
        }
        setUndoActionName(QStringLiteral("Define as Image Placeholder"));
    }
    postHUD(LBShowHUD);
    // The sheet calls this last thing before it returns, so it may go now.
    _placeholderSheet.reset();
}

// ==== Filling =============================================================================

QRectF LBGraphicView::placeholderPhotoRect(const QSizeF& s, const QRectF& b, bool aspectFill)
{
    const double r = s.width() / s.height();
    const double wh = b.height() * r; // the photo's width at the graphic's height
    const double hw = b.width() / r;  // its height at the graphic's width
    const bool fullHeight = aspectFill ? wh > b.width() : b.width() > wh;
    if (fullHeight)
        return QRectF(b.x() - (wh - b.width()) / 2.0, b.y(), wh, b.height());
    return QRectF(b.x(), b.y() - (hw - b.height()) / 2.0, b.width(), hw);
}

bool LBGraphicView::replacePlaceholderGraphic(const LBGraphicPtr& g,
                                              const LBGraphic::ImagePtr& image,
                                              const QString& imagePath, const QPointF& dropPoint)
{
    if (!g || !document())
        return true;
    // A picture that does not read leaves the placeholder as it was.
    if (!image) {
        const platform::ImagePtr read = platform::Image::fromFile(imagePath);
        if (!read || !read->size().isValid() || read->size().isEmpty())
            return true;
    }
    g->setDownsampleFillImage(false);

    if (const auto photo = std::dynamic_pointer_cast<LBImage>(g)) {
        if (photo->hidePlaceholderOutline())
            photo->setDrawsStroke(false);
        LBGraphic::ImagePtr picture = image;
        if (picture) {
            photo->setImage(picture, LBGraphic::FillImageType);
        } else {
            photo->setImageFilePath(imagePath, true, true, LBGraphic::FillImageType);
            picture = photo->imageOfType(LBGraphic::FillImageType);
        }
        const QRectF b = photo->bounds();
        if (picture && !picture->size().isEmpty()) {
            // Scaled to cover the placeholder, centred on it.
            const QSizeF s = picture->size();
            double k = b.width() / s.width();
            if (b.height() > s.height() * k)
                k = b.height() / s.height();
            const QSizeF size(s.width() * k, s.height() * k);
            photo->setBounds(QRectF(b.x() - (size.width() - b.width()) / 2.0,
                                    b.y() - (size.height() - b.height()) / 2.0, size.width(),
                                    size.height()));
        }
        photo->setDownsampleFillImage(true);
        photo->downsampleFillImage(false);
        const QList<LBGraphicPtr> selection = selectedGraphics(false);
        if (selection.isEmpty() || selection.first() != g) {
            clearSelection();
            selectGraphic(g);
        }
        cropWithRect(b);
        return true;
    }

    const auto* curve = dynamic_cast<const LBCurvedLine*>(g.get());
    if (dynamic_cast<const LBLine*>(g.get()) && !(curve && curve->closedPath()))
        return true; // nothing to fill

    const PendingReplacement replacement{g, image, image ? QString() : imagePath, dropPoint};
    if (g->drawsPlaceholderText()
        || (g->isTextBox() && !g->imageOfType(LBGraphic::FillImageType))) {
        finishReplacingPlaceholderGraphic(replacement);
        return false;
    }
    platform::Alert alert;
    alert.messageText = dialogString("Do you want to replace the current placeholder image?");
    alert.informativeText = dialogString("If you choose not to replace the current placeholder "
                                         "image, this image will be placed on the canvas.");
    alert.buttons = {dialogString("Replace Placeholder Image"), dialogString("Place On Canvas")};
    const QPointer<LBGraphicView> view(this);
    alert.beginSheetModalForWindow(_windowController ? _windowController->window() : nullptr,
                                   [view, replacement](const platform::Alert::Response& response) {
                                       if (view)
                                           view->replacePlaceholderImageSheetDidEnd(
                                               response.returnCode, replacement);
                                   });
    return false;
}

void LBGraphicView::finishReplacingPlaceholderGraphic(const PendingReplacement& d)
{
    const LBGraphicPtr& g = d.placeholder;
    if (!g)
        return;
    if (d.image)
        g->setImage(d.image, LBGraphic::FillImageType);
    else
        g->setImageFilePath(d.imagePath, true, true, LBGraphic::FillImageType);

    if (const LBGraphic::ImagePtr fill = g->imageOfType(LBGraphic::FillImageType);
        fill && !fill->size().isEmpty()) {
        const QString type = g->placeholderTypeString();
        const bool aspectFill =
            type.isEmpty() || type == QLatin1String("Photo") || type == QLatin1String("Paper");
        const QRectF b = g->bounds();
        g->setCropImageBounds(placeholderPhotoRect(fill->size(), b, aspectFill), b);
    }
    if (const LBGraphic::ImagePtr mask = g->imageOfType(LBGraphic::ExternalMaskType))
        g->applyMask(mask, false);
    g->setDownsampleFillImage(true);
    g->downsampleFillImage(false);
    if (g->drawsPlaceholderText())
        g->setDrawPlaceholderText(false);
    recropFilledPlaceholder(g);
}

void LBGraphicView::recropFilledPlaceholder(const LBGraphicPtr& g)
{
    if (!g->isImageCrop())
        return;
    platform::UndoManager* undo = undoManager();
    if (g->isGrouped() && undo) {
        // The shape leaves its group while the user places the photo; the end of the crop
        // groups it again and closes this group.
        undo->beginUndoGrouping();
        ++_cropUndoGroups;
        clearSelection();
        selectGraphic(g);
        ungroup(nullptr);
        _postCropGroupedGraphics = selectedGraphics(true);
    }
    clearSelection();
    selectGraphic(g);
    recrop();
    if (!_imageGraphicForCrop && _postCropGroupedGraphics) {
        // No crop started: put the group back at once.
        const QList<LBGraphicPtr> members = *std::exchange(_postCropGroupedGraphics, {});
        for (const LBGraphicPtr& member : members)
            selectGraphic(member);
        group(nullptr);
        closeCropUndoGroups();
    }
}

void LBGraphicView::replacePlaceholderImageSheetDidEnd(int returnCode, const PendingReplacement& d)
{
    if (returnCode == platform::Alert::FirstButtonReturn) {
        finishReplacingPlaceholderGraphic(d);
        return;
    }
    const QPointF p = d.dropPoint;
    if (d.image) {
        LBDocument* doc = document();
        if (!doc)
            return;
        const QSizeF s = d.image->size();
        auto image = std::make_shared<LBImage>();
        image->setDocument(doc);
        image->setBounds(
            QRectF(p.x() - s.width() / 2.0, p.y() - s.height() / 2.0, s.width(), s.height()));
        image->setImage(d.image, LBGraphic::FillImageType);
        image->setZoomFactor(zoomFactor());
        setVisiblePageOriginForGraphic(image.get());
        insertAtFrontOfSelectedLayer(image);
        clearSelection();
        selectGraphic(image);
    } else {
        makeNewImageFromContentsOfFile(d.imagePath, p, QSizeF(0.0, 0.0));
    }
}
