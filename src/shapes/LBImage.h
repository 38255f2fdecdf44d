#pragma once

// The graphic that shows a picture: a photo or clip art on the page, the sample pictures
// that mark where a contact's picture, a logo or a signature goes, kit papers and quick
// pages, and (through LBBarcodeImage) barcodes. The picture, its files, masks, adjustments
// and effects are the image content every graphic carries; this class draws the processed
// picture inside its bounds (upright, mirrored and turned with the graphic, with its outline
// under and over it), draws pictures the renderer made at the print resolution at their
// printed size, tells the renderer when a picture must be rendered again for print, and
// keeps its special kind, a picture file still to be loaded, and the shape that clips it
// while the user crops it.
//
// A new image graphic draws no outline and keeps its proportions when resized.

#include "graphics/LBGraphic.h"

#include <QString>

#include <memory>

class LBImage : public LBGraphic
{
public:
    // The special kinds, as stored ("ImageType").
    enum SpecialImageType : qint64 {
        OrdinaryImage = 0,
        ContactPicture = 1,   // sample "Picture", replaced by the contact's picture
        MyPicture = 2,        // sample "PictureMe", replaced by the user's own picture
        LogoPicture = 3,      // sample "PictureLogo"
        SignaturePicture = 4, // sample "PictureSignature"
        BarcodePicture = BarcodeSpecialImageType, // LBBarcodeImage
        QuickPageToConfirm = 6,      // from the kit browser, placement not yet confirmed
        QuickPageOnNewLayer = 7,     // above all other graphics
        QuickPageOnCurrentLayer = 8, // added to the current layer
        PaperToConfirm = 9,          // from the kit browser, placement not yet confirmed
        PaperAsBackground = 10,
        PaperAsGraphic = 11,
    };

    // No outline, proportions kept.
    LBImage();

    // The special kind and the print-scale flag travel with the copy; the lazy path, the
    // crop shape and the print-image bookkeeping do not.
    std::shared_ptr<LBGraphic> copy() const override;
    // "ImageType" and, when set, "LazyImagePathKey" after the graphic's keys. The loader
    // also reads the older "ImageFilePath", "ImageMaskPath", "Image" and
    // "ExternalImageMask", each into the place of its present key (a mask read so is
    // applied), then drops the processed picture.
    QVariantMap propertyListRepresentation() const override;
    void loadPropertyListRepresentation(const QVariantMap& dictionary) override;

    // The program's sample picture of a special kind ("Picture", "PictureMe",
    // "PictureLogo", "PictureSignature" for kinds 1 to 4); a null name for the others.
    static QString samplePictureName(qint64 specialImageType);

    // --- Kinds and capabilities ---
    bool canDrawFill() const override { return false; }
    // The picture is the graphic itself, never cropped into an outline.
    bool isImageCrop() const override { return false; }
    // The bounds take the picture's size (10 × 10 points without one), undoably; the
    // mirrors are cleared.
    void makeNaturalSize() override;
    // Whether the renderer must render the graphic at print resolution: for any adjustment
    // or effect; for a PDF or EPS picture also for a graphic alpha below 1 or a shadow of
    // type 1 (a vector picture otherwise prints as it is).
    bool shouldCreateHiResImageWhenPrinting() const override;

    // --- Print images ---
    // The picture holds pixels the renderer made at the "Print Quality" resolution: drawn,
    // other than on screen, at 72 / "Print Quality" of its size. Setting it drops the
    // processed picture; no undo, no announcement.
    bool scaledForPrinting() const override { return _scaledForPrinting; }
    void setScaledForPrinting(bool scaledForPrinting);
    // The scale the picture is drawn at: 72 / "Print Quality" for a print image drawn into a
    // context that is not the screen, else 1.
    double printScale() const;
    // The graphic the renderer made this print image from (not owned), and the record it
    // was made for. Plain stores.
    std::shared_ptr<LBGraphic> sourceGraphicForHiResImage() const
    {
        return _sourceGraphicForHiResImage.lock();
    }
    void setSourceGraphicForHiResImage(const std::shared_ptr<LBGraphic>& graphic)
    {
        _sourceGraphicForHiResImage = graphic;
    }
    qint64 contactIndexForHiResImage() const { return _contactIndexForHiResImage; }
    void setContactIndexForHiResImage(qint64 index) { _contactIndexForHiResImage = index; }

    // --- Special kind, files ---
    qint64 specialImageType() const override { return _specialImageType; }
    // A plain store.
    void setSpecialImageType(qint64 type) { _specialImageType = type; }
    // The graphic has no file of its own beyond its image content: "".
    QString imageFile() const { return QStringLiteral(""); }
    // A picture file not yet taken into the document (kit images): the canvas copies it in
    // when it inserts the graphic; the document clears it once the files are in.
    QString lazyImagePath() const { return _lazyImagePath; }
    void setLazyImagePath(const QString& path) { _lazyImagePath = path; }

    // --- Cropping ---
    // The shape or text that clips the picture while the user crops it (not owned; nullptr
    // when none or when it is gone). Setting it records the old one for undo, which keeps
    // that one alive as long as the step exists; no announcement.
    void setTemporaryCropGraphic(const std::shared_ptr<LBGraphic>& graphic);
    std::shared_ptr<LBGraphic> cropGraphic() const { return _temporaryCropGraphic.lock(); }

    // --- The processed picture ---
    // Built at the size it is drawn at: the bounds times the zoom factor, in whole points.
    void recacheImage(bool aboutToPrint) override;
    // Takes a copy of the other graphic's processed picture as its own, so a print or drag
    // copy need not process the picture again.
    void copyCachedImageFromObject(const LBGraphic& other);

    // --- Drawing ---
    // Without a crop shape, ourDrawInView(). While cropping: the whole picture at a third of
    // the graphic's alpha, then the part inside the crop shape's outline (mirrored and
    // turned as the shape is) at full alpha; the alpha is as before afterwards.
    void drawInView(CanvasView* view, bool isSelected) override;
    // The processed picture in the bounds, with the outline under and over it, then the base
    // drawing (the reflection).
    void ourDrawInView(CanvasView* view, bool isSelected);

protected:
    // Registers every class of this layer first, so copies of any image graphic can be
    // made.
    std::shared_ptr<LBGraphic> newInstance() const override;

private:
    bool _scaledForPrinting = false;
    qint64 _specialImageType = OrdinaryImage;
    std::weak_ptr<LBGraphic> _sourceGraphicForHiResImage;
    qint64 _contactIndexForHiResImage = -1;
    std::weak_ptr<LBGraphic> _temporaryCropGraphic;
    QString _lazyImagePath;
};

using LBImagePtr = std::shared_ptr<LBImage>;
