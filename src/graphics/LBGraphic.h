#pragma once

// The base of everything that stands on a page: text boxes, shapes, lines, images and
// barcodes. One instance holds the frame, rotations, mirroring, paint, shadow, reflection,
// placeholder settings, image content with its adjustments and effects, and the state of
// a handle drag.
//
// Coordinates are points in the flipped page view (y grows downwards, so a rectangle's
// origin is its top-left corner); angles are degrees.
//
// Graphics are shared objects (LBGraphicPtr); the document's layers own them and each
// graphic keeps a non-owning pointer back to its document. Undoable setters record their
// inverse on the document's undo manager: a graphic without a document records nothing
// and redraws nothing, which new graphics, copies and rendering copies rely on.

#include "platform/drawing/BezierPath.h"

#include <QByteArray>
#include <QColor>
#include <QHash>
#include <QImage>
#include <QList>
#include <QPointF>
#include <QRectF>
#include <QSize>
#include <QSizeF>
#include <QString>
#include <QTransform>
#include <QVariantMap>

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <type_traits>
#include <utility>

class CanvasView;
class GraphicDictionaryReader;
class GraphicDocument;
class LBGradientFill;
class QFont;
class QMouseEvent;

namespace platform {
class FilterImage;
class GraphicsContext;
class Image;
class ImageFilter;
class UndoManager;
} // namespace platform

// Posted after every announced change (object: the graphic).
inline const QString LBGraphicDidChange = QStringLiteral("LBGraphicDidChange");
// Posted when a handle drag ends (object: the graphic).
inline const QString LBStopBoundsManipulationNotification =
    QStringLiteral("LBStopBoundsManipulationNotification");
// Asks the inspector palette to refresh its controls for the selection (object: the graphic).
inline const QString LBUpdateUtilityWindowsForSelection =
    QStringLiteral("LBUpdateUtilityWindowsForSelection");

class LBGraphic : public std::enable_shared_from_this<LBGraphic>
{
public:
    using ImagePtr = std::shared_ptr<platform::Image>;
    using DashPattern = std::array<double, 4>;
    using FilterPtr = std::shared_ptr<platform::ImageFilter>;
    // The filters of one effect entry: one filter, or none for kinds without one.
    using EffectFilterArray = QList<FilterPtr>;

    // Image types: the fill image itself, the object mask and the external mask.
    enum ImageType : qint64 { FillImageType = 0, ObjectMaskType = 1, ExternalMaskType = 2 };

    // A modifier value and a location x that ask an effect kind for its default.
    static constexpr qint64 DefaultEffectModifier = 65535;
    static constexpr double DefaultEffectLocationX = 4294967295.0;

    // The drawing shadow built from the shadow values and the zoom factor. The offset is
    // measured as the drawing context measures shadows, with y growing upwards, so the
    // default azimuth of 90 degrees puts the shadow below the graphic on the page.
    struct Shadow
    {
        QSizeF offset;
        double blurRadius = 0.0;
        QColor color;
    };

    LBGraphic();
    virtual ~LBGraphic();
    LBGraphic(const LBGraphic&) = delete;
    LBGraphic& operator=(const LBGraphic&) = delete;

    // A new graphic of the receiver's own class carrying its attributes (never its
    // document, hidden flag, caches, image files or drag state). Subclasses call this one
    // and then copy their own fields through their setters.
    virtual std::shared_ptr<LBGraphic> copy() const;
    // Adds the other graphic's effects whose kinds this graphic does not have yet.
    void copyImageEffectsFromGraphic(const LBGraphic& other);

    // --- Property list: the one stored form of a graphic ---
    // A dictionary of texts, data, arrays and dictionaries whose "Class" names the class.
    // Makes the graphic the dictionary describes: a registered graphic class named by its
    // "Class" text, or by "LB" and that text, made with its defaults and then loaded.
    // nullptr, with one log line, for a missing, non-text or unknown "Class".
    static std::shared_ptr<LBGraphic>
    graphicWithPropertyListRepresentation(const QVariantMap& dictionary);
    // A new dictionary of the graphic's attributes; "Bounds" (and, while grouped,
    // "GroupBounds") relative to the visible page origin. Subclasses add their keys to the
    // dictionary their base class returns.
    virtual QVariantMap propertyListRepresentation() const;
    // Sets the attributes the dictionary holds on a graphic just made, which belongs to no
    // document; missing keys leave the defaults. Values of the wrong kind and archived
    // data that does not decode count as missing and are logged; picture data that does
    // not decode is kept as it is and written back unchanged. Subclasses load their base
    // class's keys first, then their own.
    virtual void loadPropertyListRepresentation(const QVariantMap& dictionary);

    // --- Kinds ---
    virtual bool isTextBox() const { return false; }
    virtual bool isShape() const { return false; }
    virtual bool isShapeWithText() const { return false; }
    // The name of the receiver's class, e.g. "LBTextArea".
    QString graphicType() const;

    // --- Document link ---
    // Stores the document without owning it; records no undo, posts nothing.
    void setDocument(GraphicDocument* document) { _document = document; }
    GraphicDocument* document() const { return _document; }
    // The document's undo manager; nullptr without a document.
    platform::UndoManager* undoManager() const;

    // --- Hidden flag: no undo, no announcement; the caller redraws. ---
    bool hidden() const { return _hidden; }
    void setHidden(bool hidden) { _hidden = hidden; }

    // --- Change announcement ---
    void didChange();
    void refreshGraphic(bool clearCache);

    // --- Bounds ---
    virtual void setBounds(const QRectF& bounds);
    void setBoundsNoOtherChanges(const QRectF& bounds);
    QRectF bounds() const;
    static QRectF roundRectToIntegerBoundaries(const QRectF& rect);
    void setVisiblePageOrigin(const QPointF& origin) { _visiblePageOrigin = origin; }
    QPointF visiblePageOrigin() const { return _visiblePageOrigin; }
    void moveBy(const QPointF& delta);
    void startBoundsManipulation();
    void stopBoundsManipulation();
    bool manipulatingBounds() const { return _gFlags.manipulatingBounds; }
    QRectF origBounds() const { return _origBounds; }

    // --- Inspector position and size ---
    double xPosition() const { return bounds().x(); }
    double yPosition() const { return bounds().y(); }
    double width() const { return bounds().width(); }
    double height() const { return bounds().height(); }
    void setXPosition(double x);
    void setYPosition(double y);
    void setWidth(double width);
    void setHeight(double height);

    // --- Paint ---
    qint64 fillType() const { return _gFlags.fillType; }
    void setFillType(qint64 fillType);
    // The colour getters return the stored colour with its alpha multiplied by
    // graphicAlpha(); an invalid (unset) colour stays invalid.
    QColor fillColor() const;
    void setFillColor(const QColor& color);
    QColor fillColor1() const;
    void setFillColor1(const QColor& color);
    // The two fill colours as stored, without the graphic's alpha: what colour wells show
    // and give back, so editing them leaves the colours' own alpha as it was.
    QColor storedFillColor() const { return _fillColor; }
    QColor storedFillColor1() const { return _fillColor1; }
    QColor strokeColor() const;
    void setStrokeColor(const QColor& color);
    // The stroke colour as stored, without the graphic's alpha (see storedFillColor()).
    QColor storedStrokeColor() const { return _strokeColor; }
    bool drawsStroke() const { return _gFlags.drawsStroke; }
    void setDrawsStroke(bool drawsStroke);
    double strokeLineWidth() const { return _lineWidth; }
    void setStrokeLineWidth(double width);
    // Dash lengths in multiples of the stroke width; all four are stored and compared
    // whatever the count (0 = solid line, up to 4).
    void setLineDash(const DashPattern& lengths, qint64 count);
    DashPattern getLineDashPattern() const { return _lineDashPattern; }
    DashPattern getLineDashPatternForDrawing() const;
    qint64 lineDashCount() const { return _lineDashCount; }
    double graphicAlpha() const { return _graphicAlpha; }
    virtual void setGraphicAlpha(double alpha);

    // --- Shadow ---
    // -1 (-1.0 for alpha, an invalid colour for the colour) keeps a value unchanged.
    void setShadowInfo(qint64 type, qint64 height, qint64 radius, qint64 azimuth, double alpha,
                       const QColor& color);
    // Returns the type; fills the values whose pointers are given.
    qint64 shadowInfo(qint64* height, qint64* radius, qint64* azimuth, double* alpha,
                      QColor* color) const;
    qint64 shadowType() const { return _shadowType; }
    const std::optional<Shadow>& shadow() const { return _shadow; }

    // --- Rotation ---
    double rotation() const { return _rotationDegrees; }
    void setRotation(double degrees);
    double groupRotation() const { return _groupRotationDegrees; }
    void setGroupRotation(double degrees);
    // Turns a point by own + group rotation about the centre of the bounds, or with
    // groupOnly by the group rotation alone about the centre of the group bounds.
    QPointF rotatedPoint(const QPointF& point, bool groupOnly) const;
    // Rotation by `degrees` about `center`; positive angles turn clockwise on screen (y
    // grows downwards), as the page view's transform turns them.
    static QTransform rotationAbout(const QPointF& center, double degrees);
    QPointF unrotatedPoint(const QPointF& point, bool groupOnly) const;
    QPointF rotatedPoint(const QPointF& point, const QRectF& withBounds, bool groupOnly) const;
    QPointF unrotatedPoint(const QPointF& point, const QRectF& withBounds, bool groupOnly) const;
    // The rectangle's outline turned by own + group rotation about centerPoint, or the
    // rectangle's centre when centerPoint is null.
    platform::BezierPath rotatedPathFromRect(const QRectF& rect, const QPointF* centerPoint) const;
    virtual QRectF rotatedDrawingBounds() const;
    virtual QRectF rotatedBounds() const;
    QRectF groupRotatedDrawingBounds() const;
    QRectF unrotatedBoundsFromRotatedBounds(const QRectF& rect) const;
    QRectF groupUnrotatedDrawingBoundsFromRotatedBounds(const QRectF& rect) const;

    // --- Drawing extents ---
    virtual QRectF drawingBounds() const;
    QRectF groupDrawingBounds() const;
    virtual QRectF shadowDrawingBoundsWithHandles(bool withHandles) const;

    // --- Zoom ---
    double zoomFactor() const { return _zoomFactor; }
    virtual void setZoomFactor(double zoomFactor);

    // --- Flips ---
    bool flippedHorizontally() const { return _flippedHorizontally; }
    void setFlippedHorizontally(bool flipped);
    bool flippedVertically() const { return _flippedVertically; }
    void setFlippedVertically(bool flipped);
    virtual void flipHorizontally();
    virtual void flipVertically();
    // The resize knob at the mirrored place; knobs outside 0-8 are returned unchanged.
    static qint64 flipKnob(qint64 knob, bool horizontal);

    // --- Knobs ---
    virtual qint64 moveModifierKnob(qint64 knob, const QPointF& toPoint, bool constrainProportions);
    virtual QPointF modifierKnob1Point() const { return {}; }
    virtual QPointF modifierKnob2Point() const { return {}; }
    void saveOriginalEffectLocations();
    qint64 moveEffectKnob(qint64 knob, const QPointF& toPoint, bool constrainProportions);
    static QPointF pinPoint(const QPointF& point, const QRectF& inRect);
    qint64 effectLocationKnobType() const { return _effectLocationKnobType; }
    qint64 effectIndexForEffectKnob() const { return _effectIndexForEffectKnob; }
    void setEffectLocationKnobType(qint64 type, qint64 forEffectIndex);

    // --- Capabilities and size helpers ---
    virtual void makeNaturalSize();
    virtual bool hasNaturalSize() const { return true; }
    virtual bool canDrawFill() const { return true; }
    virtual bool canDrawStroke() const { return true; }
    virtual bool shouldCreateHiResImageWhenPrinting() const;
    virtual void scaleOtherSettingsByFactor(double factor);
    virtual bool scaledForPrinting() const { return false; }
    QSizeF croppedImageSizeForZoomFactor(double zoomFactor) const;

    // --- Outline and arrows (subclasses supply them) ---
    virtual std::optional<platform::BezierPath> bezierPath() const { return std::nullopt; }
    virtual std::optional<platform::BezierPath> bezierPathForStrokeWidth(double width) const;
    virtual qint64 arrow1Type() const { return 0; }
    virtual qint64 arrow2Type() const { return 0; }

    // --- What renderings of a graphic at another scale ask of its kind ---
    // Neutral here; lines and image graphics answer for themselves.
    // The sizes of the two arrow heads, in multiples of (stroke width + 6) points.
    virtual double arrow1Size() const { return 1.0; }
    virtual double arrow2Size() const { return 1.0; }
    // Sets both head sizes without undo or announcement, for a rendering that puts them
    // back before it returns; nothing for a graphic without heads.
    virtual void setArrowSizesForRendering(double arrow1Size, double arrow2Size)
    {
        (void)arrow1Size;
        (void)arrow2Size;
    }
    // The special kind of an image graphic (see LBImage); 0 for every other graphic.
    virtual qint64 specialImageType() const { return 0; }
    // The special kind of a barcode, whose picture is drawn at its own size in every
    // rendering: its bars sit on whole modules.
    static constexpr qint64 BarcodeSpecialImageType = 5;
    // The factor a print-resolution rendering at `quality` (pixels per point) scales this
    // graphic by: the quality itself, or 1 for a barcode.
    double hiResImageScale(double quality) const
    {
        return specialImageType() == BarcodeSpecialImageType ? 1.0 : quality;
    }
    // A picture of the graphic drawn at `scale`, for drag images; it changes the receiver
    // for good, so callers pass a copy. Curves answer their one-point picture themselves.
    virtual ImagePtr copyToImageWithScale(double scale, double alphaScaleFactor,
                                          bool flipVertically, bool isTextBox);

    // --- Gradient parameters ---
    double gradientAngle() const { return _gradientAngle; }
    void setGradientAngle(double angle);
    double gradientCenter() const { return _gradientCenter; }
    void setGradientCenter(double center);
    double gradientCenterSize() const; // never below 0.01
    void setGradientCenterSize(double size);

    // --- Lock, grouping and interaction ---
    bool locked() const { return _locked; }
    void setLocked(bool locked);
    bool isGrouped() const { return _isGrouped; }
    void setIsGrouped(bool grouped);
    qint64 groupedChildrenCount() const { return _groupedChildrenCount; }
    void setGroupedChildrenCount(qint64 count);
    QRectF groupBounds() const { return _groupBounds; }
    void setGroupBounds(const QRectF& groupBounds);
    QRectF origGroupBounds() const { return _origGroupBounds; }
    bool constrainProportions() const { return _constrainProportions; }
    void setConstrainProportions(bool constrain);
    bool isDragTarget() const { return _isDragTarget; }
    void setIsDragTarget(bool isDragTarget) { _isDragTarget = isDragTarget; }

    // --- Placeholder ---
    bool isPlaceholder() const { return _isPlaceholder; }
    void setIsPlaceholder(bool isPlaceholder);
    bool drawsPlaceholderText() const { return _drawPlaceholderText; }
    void setDrawPlaceholderText(bool draw);
    double placeholderSizeRatio() const { return _placeholderSizeRatio; }
    void setPlaceholderSizeRatio(double ratio) { _placeholderSizeRatio = ratio; }
    QString placeholderLabel() const { return _placeholderLabel; }
    void setPlaceholderLabel(const QString& label);
    qint64 placeholderLabelPosition() const { return _placeholderLabelPosition; }
    void setPlaceholderLabelPosition(qint64 position);
    bool placeholderLabelIsVertical() const { return _placeholderLabelIsVertical; }
    void setPlaceholderLabelIsVertical(bool vertical);
    QString placeholderTypeString() const { return _placeholderTypeString; }
    void setPlaceholderTypeString(const QString& type);
    bool hidePlaceholderOutline() const { return _hidePlaceholderOutline; }
    void setHidePlaceholderOutline(bool hide);
    QColor placeholderColor() const { return _placeholderColor; }
    void setPlaceholderColor(const QColor& color);
    qint64 placeholderPatternIndex() const { return _placeholderPatternIndex; }
    void setPlaceholderPatternIndex(qint64 index);
    qint64 placeholderImageIndex() const { return _placeholderImageIndex; }
    void setPlaceholderImageIndex(qint64 index);
    QColor placeholderLabelColor() const { return _placeholderLabelColor; }
    void setPlaceholderLabelColor(const QColor& color);

    // ==== Placeholder prompt, picture files and the gradient painter ====================

    // The prompt a placeholder shows when it has no label of its own.
    static QString defaultPlaceholderLabel() { return QStringLiteral("Drag Photo Here"); }
    // The stock picture a photo placeholder shows until a photo is dropped on it.
    static QString placeholderPictureName() { return QStringLiteral("PlaceholderMan"); }
    // The prompt's font sizes, tried from the largest down; the smallest is used when
    // none fits.
    static constexpr std::array<double, 5> PlaceholderFontSizes{16, 14, 12, 10, 8};

    enum class PlaceholderVerticalPlacement { Middle, Top, Bottom };

    // Where the prompt of a placeholder goes, in the flipped page coordinates.
    struct PlaceholderTextLayout
    {
        QString text;
        Qt::Alignment alignment = Qt::AlignHCenter; // AlignLeft, AlignHCenter or AlignRight
        PlaceholderVerticalPlacement placement = PlaceholderVerticalPlacement::Middle;
        bool vertical = false;
        // The bounds, or for a vertical label the bounds turned a quarter about their centre.
        QRectF frame;
        // The frame less 3 points left and right, at the height the placement gives it (its
        // height stays the frame's); a vertical label is drawn here turned by -90 degrees
        // about the centre of the bounds.
        QRectF textRect;
        double fontSize = 0.0; // points
        QSizeF textSize;       // the text's size at that font size
    };

    // The text's size in points at a font size of the prompt font.
    using PlaceholderTextMeasure = std::function<QSizeF(const QString& text, double fontSize)>;

    // Alignment and placement of position codes 0-8; any other code is centred, middle.
    static std::pair<Qt::Alignment, PlaceholderVerticalPlacement>
    placeholderLabelPlacement(qint64 position);
    // The prompt's frame: the bounds, turned a quarter about their centre when vertical.
    static QRectF placeholderTextFrame(const QRectF& bounds, bool vertical);
    // The whole layout. A null label gives the default prompt; without a measure the
    // prompt font measures the text.
    static PlaceholderTextLayout placeholderTextLayout(const QString& label, qint64 position,
                                                       bool vertical, const QRectF& bounds,
                                                       const PlaceholderTextMeasure& measure = {});
    // The prompt font ("Courier New", bold) at fontSize points; page backgrounds caption
    // their placeholders in it too.
    static QFont placeholderFont(double fontSize);
    // The size of the text in the prompt font at fontSize points.
    static QSizeF measurePlaceholderText(const QString& text, double fontSize);
    // This graphic's prompt layout.
    PlaceholderTextLayout placeholderTextLayout() const;
    // Draws the prompt into the current graphics context when the graphic is a placeholder
    // that shows its text; the drawing code calls it with the graphic's transform in force.
    void drawPlaceholderText() const;

    // --- Picture files ---
    // Finds the file (the path itself, then under its name in the temporary folder and the
    // document package, then the same three places for its downsampled twin "D<name>"),
    // loads it as the picture of that type and keeps the path found. A null path only
    // forgets the path. Returns whether the change was made: a file found nowhere or not
    // readable changes nothing and records nothing.
    bool setImageFile(const QString& path, qint64 imageType);
    // The path with "." and ".." resolved and a leading "~" expanded: with copyImageFile the
    // file is loaded (setImageFile) and with locateMask its mask is looked for; without,
    // only the path is stored.
    void setImageFilePath(const QString& path, bool copyImageFile, bool locateMask,
                          qint64 imageType);
    // Replaces the path of that type without undo (the document moved the file).
    void updateImageFileName(const QString& path, qint64 imageType);
    // Points the three paths at where the files are now: the document package, else the
    // temporary folder, when the file lies there under its name.
    void createFullImagePaths();
    // Loads the other graphic's picture files into this graphic (after copy()).
    void copyImageFilePathsFromGraphic(const LBGraphic& other);
    // A path with "." and ".." resolved and a leading "~" expanded to the home folder.
    static QString standardizedPath(const QString& path);

    // --- Downsampling the fill image ---
    // Brings the fill image to the design's resolution through the document; with force
    // (or after a resize of a downsampled picture) it starts again from the original file.
    void downsampleFillImage(bool force);
    bool imageWasDownsampled() const { return _imageWasDownsampled; }
    void setImageWasDownsampled(bool downsampled) { _imageWasDownsampled = downsampled; }
    bool downSampledImageWasResampled() const { return _downSampledImageWasResampled; }
    void setDownSampledImageWasResampled(bool resampled)
    {
        _downSampledImageWasResampled = resampled;
    }
    // The picture's resolution drawn at drawingSize: min(pixels wide / width, pixels high /
    // height) × 72; 72 for a picture without a bitmap or an empty drawing size.
    static double dpiOfImage(const ImagePtr& image, const QSizeF& drawingSize);

    // --- Fill image under an external mask ---
    // Keeps the fill image from before an external mask (the first one only).
    void saveOriginalImage();
    // Puts the kept fill image back and forgets it.
    void restoreOriginalImage();

    // --- Masks ---
    // Multiplies the mask's intensity into the fill image's pixels, once: a pixel's alpha
    // becomes its alpha × the mask's intensity / 255 (an opaque picture takes the intensity
    // as its alpha). The mask is stretched over the picture, except that an external mask
    // on a picture cropped into the outline covers only the part the outline shows. The
    // fill image is replaced by the masked picture (of the same size in points); pictures
    // of any pixel format are read whole rows at a time.
    void applyMask(const ImagePtr& mask, bool isObjectMask);
    // Loads the mask that belongs to an image file as the object mask: "<name>.png" in a
    // folder "Masks" beside the image's folder (rose.jpg in Photos: Masks/rose.png). No
    // such file: nothing.
    void locateMaskForFile(const QString& path);
    // The picture a mask effect blends through over a working picture of `size` pixels:
    // white inside, black outside, infinite. `maskRect` is in the working picture's pixels
    // measured from its bottom edge upwards; the figure is the mask-effect image when the
    // graphic has one (stretched to the rectangle, turned by `rotation` quarter turns
    // clockwise), else shape 0 or 2 an oval, 1 or 3 a rectangle, 4 a diamond, 5 a rounded
    // rectangle, 6 a triangle and 7 a right triangle pointing as `rotation` says, any other
    // nothing. `blur` softens it (a figure drawn without mask image is built at no more than
    // 300 pixels and scaled up); `reversed` swaps inside and outside.
    platform::FilterImage imageForMaskEffectOfSize(const QSize& size, const QRectF& maskRect,
                                                   double blur, bool reversed, qint64 rotation,
                                                   qint64 shape) const;

    // --- Gradient painter ---
    // nullptr until the first drawing of a gradient fill makes it.
    const LBGradientFill* gradientFill() const { return _gradientFill.get(); }
    // The painter, made on first use with the fill type, the gradient values and both
    // fill colours (with the overall opacity), as drawing needs it.
    LBGradientFill& gradientFillForDrawing();

private:
    void passGradientValues(double centerSize);
    void passGradientColors();
    // Replaces the fill image without undo, also where the cache shows it unprocessed.
    void replaceFillImage(const ImagePtr& image);

public:
    // ==== end of placeholder prompt, picture files and gradient painter =================

    // --- Image content (pictures are shared, never duplicated) ---
    ImagePtr imageOfType(qint64 type) const;
    void setImage(const ImagePtr& image, qint64 imageType);
    virtual bool shouldUndoImageChanges() const { return true; }
    QString imageFilePathOfType(qint64 type) const;
    void setImageFilePath(const QString& path, qint64 imageType);
    QImage maskImage() const { return _maskImage; }
    void setMaskImage(const QImage& maskImage);
    // Whether the fill image is shown through the outline, cropped by the crop rectangles.
    virtual bool isImageCrop() const;
    void setCropImageBounds(const QRectF& imageBounds, const QRectF& shapeBounds);
    void getCropImageBounds(QRectF* imageBounds, QRectF* shapeBounds) const;
    // Drops the processed pictures (kept while graphics are dragged out of the canvas).
    void clearCachedImage();
    void clearCachedFillImage();
    // The processed fill image as last built (type 0 only).
    ImagePtr cachedImageOfType(qint64 type) const;
    // Whether an external mask can be set: when there is a fill image to mask.
    bool supportsExternalMask() const;
    // Builds the processed picture when it is missing: nothing while graphics are dragged
    // out; without a fill image all three caches are emptied. A picture built for printing
    // (aboutToPrint) is dropped at the next drawing on screen, which builds a screen one.
    // The first build of a crop with no crop rectangle yet crops to the whole picture.
    virtual void recacheImage(bool aboutToPrint);
    // recacheImage(), then the processed picture: as an image, or in the filters' form
    // when the effects left it in that form (null otherwise).
    ImagePtr transformedImage(bool aboutToPrint);
    QImage transformedCImage(bool aboutToPrint);
    // The effects chain (LBGraphic+EffectsChain.cpp): processes the picture into the cache
    // at finalImageSize (points). A plain graphic (no adjustments and no effects, or effects
    // skipped) drawn unturned and without shadow at the picture's own size caches the
    // picture itself, and any other plain one a copy sized to finalImageSize, kept whole
    // while printing. Otherwise the picture is rasterised (a vector one at the drawn size),
    // scaled to the final size unless printing, run through the adjustments and the effects
    // in list order, laid over its background colour and under its tint, clipped or
    // rescaled to W × H pixels and cached: on screen in the filters' form
    // (_cachedCIImage, with the unprocessed picture as _cachedImage), while printing as a
    // bitmap of the final size. A filter that fails passes its picture on (and says so in
    // the log), so a picture never vanishes; an entry without a filter passes it unchanged.
    void applyEffectsToImage(const ImagePtr& image, bool isCroppedImage,
                             const QSizeF& finalImageSize, bool aboutToPrint);
    // The picture scaled to exactly width × height pixels (Lanczos), its extent at 0, 0.
    static platform::FilterImage scaleImage(const platform::FilterImage& image, double widthTo,
                                            double heightTo);
    // The pixels as a bitmap with `offset` pixels of transparent room to their left and
    // below them (y measured up, the way drawing places a picture from its lower-left
    // corner), so a picture moved by the perspective effect keeps its place when printed:
    // (width + offset.x) × (height + offset.y) pixels (whole parts), or `frame` pixels when
    // given, what falls outside them cut.
    static QImage bitmapImageRepFromCIImage(const QImage& image, const QPointF& offset,
                                            const QSize& frame = QSize());
    // The frame, in whole pixels, the chain scales a picture drawn at `finalImageSize`
    // points to on screen: at least one pixel each way.
    static QSize workingPixelSize(const QSizeF& finalImageSize);
    // Whether the fill image may be downsampled to the design's resolution.
    bool downsampleFillImageEnabled() const { return _downsampleFillImage; }
    void setDownsampleFillImage(bool downsample) { _downsampleFillImage = downsample; }

    // --- Fill-image placement ---
    // How the picture is fitted into the outline (stored as "FillImageScaling"); any value
    // other than these counts as FillImageAsCropped.
    enum FillImageScaling : qint64 {
        FillImageCentred = 0,  // at its own size on the page, centred
        FillImageTiled = 1,    // repeated over the shape
        FillImageAsCropped = 2 // where it lay when cropped, scaled with the shape (default)
    };
    qint64 fillImageScaling() const { return _fillImageScaling; }
    void setFillImageScaling(qint64 scaling);
    double fillImageTransparency() const { return _fillImageTransparency; }
    void setFillImageTransparency(double transparency);
    void setFillImageRotation(double rotation, bool flippedHorizontally, bool flippedVertically);
    void getFillImageRotation(double* rotation, bool* flippedHorizontally,
                              bool* flippedVertically) const;
    void setOrigShapeRotation(double rotation, bool flippedHorizontally, bool flippedVertically);
    void getOrigShapeRotation(double* rotation, bool* flippedHorizontally,
                              bool* flippedVertically) const;

    // --- Adjustments, in percent ---
    double brightness() const { return _brightness; }
    void setBrightness(double value);
    double contrast() const { return _contrast; }
    void setContrast(double value);
    double hue() const { return _hue; }
    void setHue(double value);
    double saturation() const { return _saturation; }
    void setSaturation(double value);
    double sharpness() const { return _sharpness; }
    void setSharpness(double value);
    double exposure() const { return _exposure; }
    void setExposure(double value);

    // --- Effects list ---
    // Appends an effect; DefaultEffectModifier, a location whose x is
    // DefaultEffectLocationX and an invalid colour stand for the kind's defaults.
    void addEffect(qint64 kind, qint64 modifier0, qint64 modifier1, qint64 modifier2,
                   qint64 modifier3, qint64 modifier4, qint64 modifier5, const QPointF& location0,
                   const QPointF& location1, const QPointF& location2, const QPointF& location3,
                   const QColor& color, bool notifyHUD);
    void removeEffectAtIndex(qint64 index, bool notifyHUD);
    qint64 indexOfEffect(qint64 kind) const; // the last entry of that kind, or -1
    qint64 numEffects() const { return _effects.size(); }
    // The entry at index; an empty map past the end.
    QVariantMap effectDictionaryAtIndex(qint64 index) const;
    // The filters of the entry at index (parallel to the entries); none past the end.
    std::optional<EffectFilterArray> effectFilterSubarrayAtIndex(qint64 index) const;
    void setEffectModifier(qint64 value, const QString& forKey, qint64 forEffectAtIndex,
                           bool notifyHUD);
    void setEffectLocation(const QPointF& location, const QString& forKey, qint64 forEffectAtIndex);
    void setEffectColor(const QColor& color, qint64 forEffectAtIndex, bool notifyHUD);

    // --- Colour mask ---
    // Six values; -1 leaves that one as it is.
    void setColorMaskType(qint64 type, qint64 size, qint64 softness, qint64 opacity, qint64 offset,
                          qint64 angle);
    qint64 colorMaskType() const { return _colorMaskType; }
    // The six values, each through its pointer when given.
    void colorMaskType(qint64* type, qint64* size, qint64* softness, qint64* opacity,
                       qint64* offset, qint64* angle) const;
    // Builds the colour-mask picture when a colour mask is on and none is built: the
    // outline shrunk by (100 - size) percent of the shorter side, moved by the offset in
    // the angle's direction, blurred by softness / 2, white on black (inverted for type 2),
    // with a 10-point margin, tinted with the fill colour where it is light. The picture is
    // made as the platform makes pictures, upright with y growing upwards, so it is drawn
    // like the fill picture, last row at the top.
    void createColorMask();
    // Recolours a built colour-mask picture with the current fill colour, keeping its alpha.
    // Without a built picture nothing happens: the next drawing builds it in the new colour.
    void updateColorMask();

    // --- Reflection ---
    bool reflectionEnabled() const { return _reflectionEnabled; }
    void setReflectionEnabled(bool enabled);
    double reflectionTransparency() const { return _reflectionTransparency; }
    void setReflectionTransparency(double transparency);
    double reflectionHeight() const { return _reflectionHeight; }
    void setReflectionHeight(double height);
    double reflectionHOffset() const { return _reflectionHOffset; }
    void setReflectionHOffset(double offset);
    double reflectionVOffset() const { return _reflectionVOffset; }
    void setReflectionVOffset(double offset);
    ImagePtr reflectionImage() const { return _reflectionImage; }
    void setReflectionImage(const ImagePtr& image) { _reflectionImage = image; }
    bool loadingReflection() const { return _loadingReflection; }
    void setLoadingReflection(bool loading) { _loadingReflection = loading; }

protected:
    // A new, default instance of the receiver's own class, which copy() fills: made by the
    // factory the class registered under its name with platform::ClassRegistry.
    virtual std::shared_ptr<LBGraphic> newInstance() const;

    // Records `undo` as the inverse of a change on the document's undo manager; nothing
    // without a document. The closure keeps the graphic alive.
    void registerUndo(std::function<void(LBGraphic&)> undo);
    // The picture and file path fields of an image type; nullptr for an unknown type.
    ImagePtr* imageSlot(qint64 type);
    QString* imageFilePathSlot(qint64 type);
    // The reflection setters' step: changeValue(), erasing the old reflection first when
    // `shrinks` and the value gets smaller, then dropping the cached reflection picture.
    void changeReflectionValue(double& field, double value, void (LBGraphic::*setter)(double),
                               bool shrinks);
    // The common setter step: when `value` differs from `field`, records `setter` with the
    // old value as the inverse, stores `value` and returns true; otherwise returns false.
    template <typename Class, typename Arg, typename T>
    bool changeValue(T& field, const std::type_identity_t<T>& value, void (Class::*setter)(Arg))
    {
        if (field == value)
            return false;
        recordValue(field, value, setter);
        return true;
    }
    // The same step for setters that record an undo step even for an unchanged value.
    template <typename Class, typename Arg, typename T>
    void recordValue(T& field, const std::type_identity_t<T>& value, void (Class::*setter)(Arg))
    {
        registerUndo(
            [old = field, setter](LBGraphic& g) { (static_cast<Class&>(g).*setter)(old); });
        field = value;
    }
    // Asks the document to redraw the graphic's area now.
    void invalidate();
    // Mirrors a fill picture shown through the outline (the flip flag of its own and its
    // crop rectangle within the shape's), as a flip of the outline needs; nothing without
    // one. Neither undoable nor announced.
    void mirrorFillImage(bool horizontally);
    // Drops the processed pictures, then announces the change.
    void markChanged();
    // The property-list key of an image type's picture data ("FillImage", "ObjectMask",
    // "ImageMask").
    static QString imageDataKey(qint64 type);
    // Loads the picture data stored under `key` as the picture of that type, as it is (no
    // undo, no masking, no announcement). Data that is no picture we can read is logged and
    // handed back, for the caller to keep and write back; nothing when the key is missing
    // or the picture was read.
    std::optional<QByteArray> loadStoredPicture(const GraphicDictionaryReader& reader,
                                                const QString& key, qint64 type);
    // The first steps of recacheImage(): false while graphics are dragged out of the canvas
    // (nothing may change then); otherwise a picture about to be printed marks the cache
    // (and drops a cache processed for the screen), and a cache so marked is dropped at the
    // next drawing on screen.
    bool prepareRecache(bool aboutToPrint);
    // Draws a picture the way the platform draws one that does not respect the flipped
    // page: upside down, its last pixel row at the top of the rectangle; with `fraction` as
    // its opacity.
    static void drawPictureUnflipped(const platform::Image& image, const QRectF& rect,
                                     double fraction = 1.0);
    // Gives the path the drawing dash (lengths times the stroke width, phase 0) when the
    // graphic has a dash.
    void applyDrawingDash(platform::BezierPath& path) const;
    void postUpdateUtilityWindows();

    // --- Geometry and view state ---
    double _rotationDegrees = 0.0;
    double _groupRotationDegrees = 0.0;
    double _zoomFactor = 1.0;
    mutable QRectF _bounds;
    QRectF _origBounds;
    QPointF _visiblePageOrigin;
    bool _flippedHorizontally = false;
    bool _flippedVertically = false;
    bool _hidden = false;
    GraphicDocument* _document = nullptr; // not owned

    // --- Paint ---
    double _graphicAlpha = 1.0;
    QColor _fillColor;
    QColor _fillColor1;
    QColor _strokeColor;
    double _lineWidth = 1.0;
    struct Flags
    {
        unsigned fillType : 3;
        unsigned drawsStroke : 1;
        unsigned manipulatingBounds : 1;
    } _gFlags = {0, 1, 0};
    DashPattern _lineDashPattern{};
    qint64 _lineDashCount = 0;
    std::shared_ptr<LBGradientFill> _gradientFill;
    double _gradientAngle = 0.0;
    double _gradientCenter = 1.0;
    double _gradientCenterSize = 0.0;

    // --- Shadow ---
    qint64 _shadowType = 0;
    qint64 _shadowHeight = 3;
    qint64 _shadowRadius = 3;
    qint64 _shadowAzimuth = 90;
    double _shadowAlpha = 0.25;
    QColor _shadowColor;
    std::optional<Shadow> _shadow;

    // --- Grouping, lock and interaction ---
    bool _locked = false;
    bool _isGrouped = false;
    qint64 _groupedChildrenCount = 0;
    QRectF _groupBounds;
    QRectF _origGroupBounds;
    bool _constrainProportions = false;
    bool _isDragTarget = false;

    // --- Photo placeholder ---
    bool _isPlaceholder = false;
    bool _drawPlaceholderText = false;
    double _placeholderSizeRatio = 0.0;
    QString _placeholderLabel;
    qint64 _placeholderLabelPosition = 0;
    bool _placeholderLabelIsVertical = false;
    QString _placeholderTypeString;
    bool _hidePlaceholderOutline = false;
    QColor _placeholderColor;
    qint64 _placeholderPatternIndex = 0;
    qint64 _placeholderImageIndex = 0;
    QColor _placeholderLabelColor;
    ImagePtr _placeholderImage;

    // --- Image content, crop and caches ---
    ImagePtr _image;
    ImagePtr _origImage;
    ImagePtr _objectMask;
    ImagePtr _externalMask;
    QString _imageFilePath;
    QString _objectMaskFilePath;
    QString _externalMaskFilePath;
    QImage _maskImage;
    // Stored picture data that could not be read, by its key ("FillImage", "ObjectMask",
    // "ImageMask", "MaskImage"): kept to be written back, until a picture of that kind is
    // set.
    QHash<QString, QByteArray> _undecodedImageData;
    ImagePtr _cachedImage;
    ImagePtr _cachedFillImage;
    // The processed picture in the filters' form (on screen): the pixels of the chain's
    // working picture over its extent, which the chain leaves at its frame's corner.
    QImage _cachedCIImage;
    QRectF _origCropImageBounds;
    QRectF _origCropGraphicBounds;
    QRectF _imageDrawRect;
    bool _imageWasDownsampled = false;
    bool _downSampledImageWasResampled = false;
    bool _downSampledImageBoundsWereChanged = false;
    bool _downsampleFillImage = true;
    bool _skipImageEffects = false;
    bool _clearCachedImageWhenDonePrinting = false;

    // --- Fill-image placement ---
    qint64 _fillImageScaling = 2;
    double _fillImageTransparency = 1.0;
    double _fillImageRotation = 0.0;
    bool _fillImageFlippedHorizontally = false;
    bool _fillImageFlippedVertically = false;
    double _origShapeRotation = 0.0;
    bool _origShapeFlippedHorizontally = false;
    bool _origShapeFlippedVertically = false;

    // --- Adjustments and effects ---
    double _brightness = 0.0;
    double _contrast = 0.0;
    double _hue = 0.0;
    double _saturation = 0.0;
    double _sharpness = 0.0;
    double _exposure = 0.0;
    // Each adjustment's filter lives while its value is not 0 ("CIColorControls" is shared
    // by brightness, contrast and saturation; sharpness has "CIUnsharpMask" above 0 and
    // "CIGaussianBlur" below), with the input its setter maps the value to.
    FilterPtr _colorControlsFilter;
    FilterPtr _hueFilter;
    FilterPtr _sharpnessFilter;
    FilterPtr _blurFilter;
    FilterPtr _exposureFilter;
    QList<QVariantMap> _effects;
    // Parallel to _effects: element i holds the filters of entry i.
    QList<EffectFilterArray> _effectFilters;
    qint64 _effectIndexForEffectKnob = 0;
    qint64 _effectLocationKnobType = 0;
    QPointF _origEffectLocation0;
    QPointF _origEffectLocation1;
    QPointF _origEffectLocation2;
    QPointF _origEffectLocation3;
    // How far the perspective effect moved the processed picture's lower-left corner, in
    // its pixels, y measured up (where drawing puts the picture from): the filters' form is
    // drawn moved by it; the printed bitmap holds the picture moved by it.
    QPointF _perspectiveDrawingOffset;

    // --- Colour mask ---
    qint64 _colorMaskType = 0;
    qint64 _colorMaskSize = 0;
    qint64 _colorMaskSoftness = 0;
    qint64 _colorMaskOpacity = 0;
    qint64 _colorMaskOffset = 0;
    qint64 _colorMaskAngle = 0;
    ImagePtr _colorMaskImage;

    // --- Reflection ---
    bool _reflectionEnabled = false;
    double _reflectionTransparency = 0.5;
    double _reflectionHeight = 0.5;
    double _reflectionHOffset = 0.0;
    double _reflectionVOffset = 0.0;
    ImagePtr _reflectionImage;
    bool _loadingReflection = false;

public:
    // =====================================================================================
    // --- Drawing ---
    // Paints the graphic into the current graphics context: the outline from bezierPath()
    // (a placeholder without one gets a rectangle), mirrored and turned, its fill colour,
    // fill picture, gradient and colour mask, its stroke and arrow heads, the placeholder
    // text and, untransformed, the reflection below it. The shadow type decides what casts
    // the shadow: with type 1 the stroke does and the fill covers its inner half before the
    // stroke is drawn again; with other types the fill or picture does. `view` is the
    // canvas, or nullptr when drawing into images, printed sheets and exports. The base
    // class does not use the selection flag; handles are drawn by drawHandlesInView().
    virtual void drawInView(CanvasView* view, bool isSelected);

    // Mirrors about the centre of `bounds` (vertically, horizontally) and turns about it
    // by `rotation` degrees (the other way when exactly one mirror is on, so a mirrored
    // graphic turns the same way on the page). Saves the current context's graphics state
    // first and returns that context, which the caller restores; returns nullptr and
    // changes nothing when there is nothing to apply (or no context).
    platform::GraphicsContext* applyTransformForBounds(const QRectF& bounds, bool vFlip, bool hFlip,
                                                       double rotation);
    // That transform itself (the identity when there is nothing to apply).
    static QTransform transformForBounds(const QRectF& bounds, bool vFlip, bool hFlip,
                                         double rotation);

    // With a shadow type of 1 or more, startShadow() saves the graphics state and makes
    // the graphic's shadow current, so that what is drawn until stopShadow() casts it;
    // stopShadow() restores the state. With type 0 both do nothing. Always used as a pair.
    // `drawnBounds` is the area the drawing in between covers, in current coordinates (the
    // shadow is made off-screen only that large); a null rectangle means anywhere.
    void startShadow(const QRectF& drawnBounds = QRectF());
    void stopShadow();

    // Drawing hooks of the fill picture, arrow and reflection code. fillImage(),
    // colorMaskImage() and the reflection picture are made to be drawn as the platform
    // draws an image that does not respect the flipped page: its last pixel row at the top
    // of the target rectangle (so their first row holds the bottom of what is seen).
    //
    // The picture the outline shows (LBGraphic+FillImage.cpp), kept until the image caches
    // are cleared: the photo placed by the fill-image scaling, clipped to the outline,
    // turned and mirrored by the fill-image settings, with the fill-image transparency
    // (never below 0.01). As cropped, it is composed at the photo's own resolution (72 dpi
    // at least) divided by the display scale factor, and the adjustments and effects run on
    // the composed picture. nullptr without crop rectangles unless a placeholder.
    virtual ImagePtr fillImage();
    // The colour-mask picture (grown 10 points on every side) drawn into the outline with
    // the colour mask's opacity times the graphic's alpha; not kept; nullptr when no colour
    // mask can be built.
    virtual ImagePtr colorMaskImage();
    // The art of an empty photo placeholder at the graphic's size: its colour, for a photo
    // placeholder the background and the stock picture of its picture index (0 or less a
    // man, 1 a woman, 2 a group, 3 a landscape, 4 a camera, above none) in a square at the
    // bottom, and the highlight over all.
    ImagePtr photoPlaceholderImage() const;
    virtual void drawArrowsInView(CanvasView* view, bool drawShadow);
    // The mirrored, fading picture shown below the graphic (LBGraphic+Rendering.cpp): the
    // graphic rendered at the image resolution, its bottom `height` (a fraction) kept, with
    // an opacity from `transparency` where it meets the graphic to 0 (the other way round
    // when not `inverted`). nullptr when that is less than one pixel row. The graphic
    // itself is left as it was and records nothing.
    virtual ImagePtr reflectionWithTransparency(double transparency, double height, bool inverted);
    // `graphic` drawn at q times its size, q being the "Image Quality" (or, while a print
    // job runs, the "Print Quality") resolution over 72, or 1 for a barcode; its stroke,
    // arrow heads, shadow and text scaled with it. The picture holds what the graphic's
    // drawing covers, from (0, 0); upright when `flipImage`, else as the platform makes
    // pictures (its first row at the bottom). The graphic is left exactly as it was and no
    // undo is recorded: a rendering copy is drawn.
    static ImagePtr hiResImageFromGraphic(const LBGraphic& graphic, bool flipImage);
    // The outline clicks are tested against: the graphic's outline unless a subclass
    // (text areas) has a separate shape outline.
    virtual std::optional<platform::BezierPath> shapeBezierPath() const { return bezierPath(); }

    // --- Handles and hit testing ---
    // Knobs: 1-8 resize (1 top-left, 2 top-middle, 3 top-right, 4 middle-left,
    // 5 middle-right, 6 bottom-left, 7 bottom-middle, 8 bottom-right; top = the bounds'
    // origin y), 9 and 10 the modifier knobs, 12-15 the effect-location knobs
    // ("location0" to "location3"). Knob n is offered when bit n - 1 of knobMask() is set.
    // The base mask: 0xFF, plus 0x800 for one effect point, plus 0x7800 for the four
    // perspective corners.
    virtual qint64 knobMask() const;
    // The knob whose zoom-scaled square holds the point (low edges in, high edges out),
    // tested modifier knobs first, then effect knobs (neither for a group member), then
    // resize knobs; 0 when none.
    qint64 knobUnderPoint(const QPointF& point) const;
    // Where effect location `index` (0-3) of the effect the knobs edit lies, unturned.
    QPointF effectLocationKnobPointForIndex(qint64 index) const;
    // The resize, modifier and effect knobs as the lock, group and effect knob type allow,
    // or, while something is dragged over the graphic, its highlighted outline (once).
    // Nothing during a handle drag or while hidden. With "Trim To Page" on, clipped to
    // `drawRect`.
    virtual void drawHandlesInView(CanvasView* view, const QRectF& drawRect);
    void drawHandleAtPoint(const QPointF& point, CanvasView* view);
    void drawModifierHandleAtPoint(const QPointF& point, CanvasView* view);
    void drawEffectLocationHandleAtPoint(const QPointF& point, qint64 knobIndex, CanvasView* view);
    // Whether a click at the point lands on the graphic: on a knob when selected, inside
    // the turned bounds when turned, else inside the outline (the bounds without one).
    virtual bool hitTest(const QPointF& point, bool isSelected, LBGraphic* shapeGraphicForCrop);
    virtual bool isEditable() const;
    virtual void startEditingWithEvent(QMouseEvent* event, CanvasView* view, bool selectContents);
    virtual void endEditingInView(CanvasView* view);
    // =====================================================================================

private:
    void rebuildShadow();
    // The common steps of the six adjustment setters.
    void setAdjustment(double LBGraphic::*field, void (LBGraphic::*setter)(double), double value);
    // Makes or releases the adjustment's filter for its new value and sets its input.
    void updateAdjustmentFilter(double LBGraphic::*field);
    // Puts an entry with its filters at index; undone by removing it there.
    void insertEffect(const QVariantMap& entry, const EffectFilterArray& filters, qint64 index,
                      bool notifyHUD);
    bool hasFillImage() const;
    QPointF* origEffectLocation(qint64 index);

    // The effects chain's working state and steps (LBGraphic+EffectsChain.cpp).
    struct EffectsChain;
    // Puts the bounds (and group bounds) back exactly as they were when it goes, for the
    // pictures drawn at a temporary size.
    class KeptBounds
    {
    public:
        explicit KeptBounds(LBGraphic& graphic)
            : _graphic(graphic), _bounds(graphic._bounds), _groupBounds(graphic._groupBounds)
        {}
        ~KeptBounds()
        {
            _graphic._bounds = _bounds;
            _graphic._groupBounds = _groupBounds;
        }
        KeptBounds(const KeptBounds&) = delete;
        KeptBounds& operator=(const KeptBounds&) = delete;

    private:
        LBGraphic& _graphic;
        QRectF _bounds;
        QRectF _groupBounds;
    };
    // A copy for drawing at another scale: no document, sharing every picture with this
    // graphic (also those read from files) and the reflection picture, so changing it
    // changes nothing here.
    std::shared_ptr<LBGraphic> renderingCopy() const;
    static ImagePtr hiResImage(const LBGraphic& graphic, bool flipImage, bool withReflection);
};

using LBGraphicPtr = std::shared_ptr<LBGraphic>;
