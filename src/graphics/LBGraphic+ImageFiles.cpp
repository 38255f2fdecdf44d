// Picture files of a graphic: finding and loading them again when a document is reopened
// or moved, keeping their paths current, copying them with a graphic, bringing the fill
// image to the design's resolution, and the fill image kept from before an external mask.

#include "graphics/LBGraphic.h"

#include "graphics/GraphicDocument.h"
#include "platform/drawing/Image.h"

#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <QStringList>
#include <QTimer>

#include <algorithm>
#include <utility>

namespace {

QString fileNameOf(const QString& path)
{
    return QFileInfo(path).fileName();
}

bool isFile(const QString& path)
{
    return !path.isEmpty() && QFileInfo(path).isFile();
}

// The path of `name` inside `folder`; null when there is no such folder.
QString inFolder(const QString& folder, const QString& name)
{
    return folder.isEmpty() ? QString() : QDir(folder).filePath(name);
}

} // namespace

QString LBGraphic::standardizedPath(const QString& path)
{
    if (path.isEmpty())
        return path;
    QString expanded = path;
    if (expanded == QLatin1String("~"))
        expanded = QDir::homePath();
    else if (expanded.startsWith(QLatin1String("~/")))
        expanded = QDir::homePath() + expanded.mid(1);
    return QDir::cleanPath(expanded);
}

// --- Loading picture files ---

bool LBGraphic::setImageFile(const QString& path, qint64 imageType)
{
    QString* field = imageFilePathSlot(imageType);
    if (!field)
        return false;
    const QString oldPath = *field;
    auto registerPathUndo = [this, oldPath, imageType] {
        registerUndo([oldPath, imageType](LBGraphic& g) { g.setImageFile(oldPath, imageType); });
    };

    if (path.isNull()) {
        // Only the path is forgotten; the picture stays.
        registerPathUndo();
        field->clear();
        return true;
    }

    const QString p = standardizedPath(path);
    const QString name = fileNameOf(p);
    const QString twinName = QStringLiteral("D") + name;
    const QString temporaryFolder = _document ? _document->temporaryFilePath() : QString();
    const QString packageFolder = _document ? _document->fileName() : QString();
    const QString twin = QFileInfo(p).dir().filePath(twinName);
    const QStringList originals = {p, inFolder(temporaryFolder, name),
                                   inFolder(packageFolder, name)};
    const QStringList twins = {twin, inFolder(temporaryFolder, twinName),
                               inFolder(packageFolder, twinName)};

    QString found;
    for (const QString& candidate : originals) {
        if (isFile(candidate)) {
            found = candidate;
            break;
        }
    }
    if (found.isEmpty()) {
        for (const QString& candidate : twins) {
            if (isFile(candidate)) {
                found = candidate;
                qInfo().noquote() << "Couldn't find original image, using downsampled image.";
                break;
            }
        }
    }
    if (found.isEmpty()) {
        qWarning().noquote() << QStringLiteral("Image file \"%1\" was not found").arg(p);
        return false;
    }

    QString error;
    const ImagePtr image = platform::Image::fromFile(found, &error);
    if (!image) {
        qWarning().noquote()
            << QStringLiteral("Image file \"%1\" cannot be read: %2").arg(found, error);
        return false;
    }

    // Recorded once the change is certain, before the picture's own step, so undoing
    // puts the picture back first and then the path.
    registerPathUndo();
    setImage(image, imageType);
    *field = found;
    if (imageType == FillImageType)
        downsampleFillImage(false);

    // The new file must reach the document's autosaved copy, once the current event is
    // done; a document closed meanwhile is not asked.
    if (_document) {
        GraphicDocument* document = _document;
        QTimer::singleShot(0, document->documentObject(),
                           [document] { document->forceSaveTemporaryFile(); });
    }
    return true;
}

void LBGraphic::setImageFilePath(const QString& path, bool copyImageFile, bool locateMask,
                                 qint64 imageType)
{
    const QString p = standardizedPath(path);
    if (!copyImageFile) {
        setImageFilePath(p, imageType);
        return;
    }
    setImageFile(p, imageType);
    if (locateMask)
        locateMaskForFile(p);
}

void LBGraphic::updateImageFileName(const QString& path, qint64 imageType)
{
    switch (imageType) {
    case FillImageType: _imageFilePath = path; break;
    case ObjectMaskType: _objectMaskFilePath = path; break;
    case ExternalMaskType: _externalMaskFilePath = path; break;
    default: break;
    }
}

void LBGraphic::createFullImagePaths()
{
    if (!_document)
        return;
    const QString packageFolder = _document->fileName();
    const bool hasTemporaryFolder = _document->temporaryFileExists();
    const QString temporaryFolder = _document->temporaryFilePath();
    for (QString* field : {&_imageFilePath, &_objectMaskFilePath, &_externalMaskFilePath}) {
        if (field->isEmpty())
            continue;
        const QString name = fileNameOf(*field);
        const QString inPackage = inFolder(packageFolder, name);
        const QString inTemporary = inFolder(temporaryFolder, name);
        if (isFile(inPackage))
            *field = inPackage;
        // Only where the file really lies: a path to nothing would lose the picture the
        // next time the document is opened.
        else if (hasTemporaryFolder && isFile(inTemporary))
            *field = inTemporary;
    }
}

void LBGraphic::copyImageFilePathsFromGraphic(const LBGraphic& other)
{
    // The copy must show what the other graphic shows, masked once. A fill picture read
    // from its file is the picture from before any mask: the masks this graphic already
    // holds (those not read from files below, which mask it as they load) are applied to
    // it once, the object mask first, as when they were set. A fill picture that came
    // with the copy is masked already: reading a mask file must not mask it again.
    const ImagePtr fillBefore = _image;
    const ImagePtr originalBefore = _origImage;
    const bool objectMaskFromFile = !other.imageFilePathOfType(ObjectMaskType).isEmpty();
    const bool externalMaskFromFile = !other.imageFilePathOfType(ExternalMaskType).isEmpty();
    bool fillFromFile = false;
    for (qint64 type : {FillImageType, ObjectMaskType, ExternalMaskType}) {
        const QString path = other.imageFilePathOfType(type);
        // Held masks stay out of the way while the fill picture loads and is downsampled.
        ImagePtr heldObjectMask;
        ImagePtr heldExternalMask;
        if (type == FillImageType && !path.isEmpty()) {
            if (!objectMaskFromFile)
                heldObjectMask = std::exchange(_objectMask, nullptr);
            if (!externalMaskFromFile)
                heldExternalMask = std::exchange(_externalMask, nullptr);
        }
        if (!path.isEmpty()) {
            setImageFilePath(path, true, false, type);
            // A file that cannot be loaded stays referenced, as it is by the graphic copied,
            // so the copy still names the missing file when it is saved.
            if (imageFilePathOfType(type).isEmpty())
                setImageFilePath(standardizedPath(path), type);
        }
        if (type == FillImageType) {
            downsampleFillImage(false);
            fillFromFile = !path.isEmpty() && _image && _image != fillBefore;
            if (!path.isEmpty()) {
                if (fillFromFile)
                    _origImage.reset();
                if (heldObjectMask) {
                    _objectMask = heldObjectMask;
                    if (fillFromFile)
                        applyMask(_objectMask, true);
                }
                if (heldExternalMask) {
                    _externalMask = heldExternalMask;
                    if (fillFromFile) {
                        saveOriginalImage();
                        applyMask(_externalMask, false);
                    }
                }
            }
        }
    }
    if (!fillFromFile && fillBefore && _image != fillBefore) {
        replaceFillImage(fillBefore);
        _origImage = originalBefore;
        clearCachedImage();
    }
}

// --- Downsampling ---

void LBGraphic::replaceFillImage(const ImagePtr& image)
{
    if (_cachedImage == _image)
        _cachedImage = image;
    _image = image;
    if (_image)
        _image->setDataRetained(true);
}

void LBGraphic::downsampleFillImage(bool force)
{
    if (!_downsampleFillImage || _imageFilePath.isEmpty())
        return;
    const QSizeF drawingSize = isImageCrop() ? _origCropImageBounds.size() : bounds().size();
    if (!(drawingSize.width() > 1.0 && drawingSize.height() > 1.0))
        return;

    // Under an external mask, the picture from before the mask is the one brought to the
    // design's resolution; when it changes, it is masked again.
    const ImagePtr masked = _origImage ? _image : nullptr;
    if (masked)
        _image = _origImage;

    bool changed = false;
    if (force || _downSampledImageBoundsWereChanged) {
        // Start again from the original file.
        ImagePtr original = platform::Image::fromFile(_imageFilePath);
        if (!original && _document) {
            const QString temporaryFolder = _document->temporaryFilePath();
            if (!temporaryFolder.isEmpty())
                original = platform::Image::fromFile(
                    inFolder(temporaryFolder, fileNameOf(_imageFilePath)));
        }
        if (original) {
            replaceFillImage(original);
            changed = true;
        }
        _downSampledImageWasResampled = true;
        _downSampledImageBoundsWereChanged = false;
    }

    const ImagePtr downsampled =
        _document && _image ? _document->downsampleImage(_image, drawingSize) : _image;
    clearCachedImage();
    if (downsampled && downsampled != _image) {
        replaceFillImage(downsampled);
        _imageWasDownsampled = true;
        changed = true;
    }

    if (changed && _objectMask)
        applyMask(_objectMask, true);

    if (masked && !changed) {
        _image = masked;
    } else if (masked) {
        _origImage.reset();
        if (_externalMask) {
            saveOriginalImage();
            applyMask(_externalMask, false);
        }
    }
}

double LBGraphic::dpiOfImage(const ImagePtr& image, const QSizeF& drawingSize)
{
    if (!image || image->pixelsWide() == 0 || image->pixelsHigh() == 0)
        return 72.0;
    if (!(drawingSize.width() > 0.0 && drawingSize.height() > 0.0))
        return 72.0;
    return std::min(image->pixelsWide() / drawingSize.width(),
                    image->pixelsHigh() / drawingSize.height())
           * 72.0;
}

// --- The fill image under an external mask ---

// Pictures are never changed in place (masking makes a new picture), so the original is
// kept by sharing it.
void LBGraphic::saveOriginalImage()
{
    if (!_origImage)
        _origImage = _image;
}

void LBGraphic::restoreOriginalImage()
{
    if (!_origImage)
        return;
    _image = _origImage;
    _origImage.reset();
    clearCachedImage();
}
