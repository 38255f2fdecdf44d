#include "KitFixtures.h"

#include "kitfile/iCorbeilFile.h"
#include "platform/core/Error.h"
#include "platform/drawing/Image.h"

#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QTemporaryDir>
#include <QUrl>

namespace kitfixtures {

namespace {

std::shared_ptr<platform::Image> picture(const QColor& color, int side)
{
    QImage image(side, side, QImage::Format_ARGB32);
    image.fill(color);
    return platform::Image::fromBitmap(image, QSizeF(side, side));
}

} // namespace

bool writeKit(const QString& path, const Kit& kit, QString* error)
{
    iCorbeilFile file;
    const std::shared_ptr<iCorbeilInfo> info = file.info();
    if (!kit.UUID.isEmpty())
        info->setUUID(kit.UUID);
    info->setName(kit.name);
    info->setKitType(kit.kitType);
    info->setKitSize(kit.kitSize);
    if (!kit.description.isEmpty())
        info->setDescription(kit.description);
    info->setTags(kit.tags);
    info->setDesignerName(kit.author);
    info->setLicenseType(kit.licenseType);
    info->setReleases(QVariantList{file.createNewRelease()});
    if (kit.preview)
        info->setPreview(picture(QColor(120, 160, 220), 8));
    if (kit.artist)
        info->setDesigner(picture(QColor(230, 200, 170), 8));

    iCorbeilFile::ImageList objects;
    QTemporaryDir originals;
    for (const Graphic& graphic : kit.graphics) {
        auto image = std::make_shared<iCorbeilImage>();
        const QString filename =
            graphic.filename.isEmpty() ? graphic.name + QStringLiteral(".png") : graphic.filename;
        const QString base = QFileInfo(filename).completeBaseName();
        image->setName(graphic.name);
        image->setTags(graphic.tags);
        image->setType(graphic.type);
        if (graphic.type == VQEmbellishment && !graphic.subtype.isEmpty())
            image->setSubtype(graphic.subtype);
        if (graphic.type == VQPaper)
            image->setPaperType(graphic.paperType);
        if (graphic.type == VQQuickPage)
            image->setNumberOfPictures(graphic.numberOfPictures);
        image->setFilename(filename);
        image->setPrimaryColorName(graphic.primaryColor);
        image->setPrimaryColor(iCorbeilImage::colorForColorName(graphic.primaryColor));
        QVariantList secondary;
        for (const QString& color : graphic.secondaryColors)
            secondary.append(QVariantMap{{VQName, color},
                                         {VQColorActual, iCorbeilImage::colorForColorName(color)}});
        image->setSecondaryColors(secondary);
        image->setOrientation(graphic.orientation);
        image->setThumbnailFilename(base + QStringLiteral("_thumbnail.png"));
        image->setImage(picture(graphic.fill, graphic.pixels));
        image->setThumbnail(picture(graphic.fill.darker(120), std::max(1, graphic.pixels / 2)));
        image->setImageChanged(true);
        if (!graphic.fileData.isEmpty()) {
            // Staged as the file it is, whatever its format.
            QFile original(originals.filePath(filename));
            if (!original.open(QIODevice::WriteOnly)
                || original.write(graphic.fileData) != graphic.fileData.size())
                return false;
            original.close();
            image->setOriginalPath(original.fileName());
        }
        if (graphic.detailThumbnail) {
            image->setDetailThumbnailFilename(base + QStringLiteral("_detail.png"));
            image->setDetailThumbnail(picture(graphic.fill.lighter(120), graphic.pixels));
            image->setDetailThumbnailChanged(true);
        }
        if (!file.addImage(*image)) {
            if (error)
                *error = QStringLiteral("the picture of %1 could not be staged").arg(graphic.name);
            return false;
        }
        objects.append(image);
    }
    file.setObjects(objects);
    platform::Error problem;
    if (!file.writeToURLForNewFile(QUrl::fromLocalFile(path), &problem)) {
        if (error)
            *error = problem.description;
        return false;
    }
    return true;
}

Kit tinyKit(const QString& name, int count)
{
    Kit kit;
    kit.name = name;
    kit.author = QStringLiteral("Fixture Artist");
    for (int i = 1; i <= count; ++i) {
        Graphic graphic;
        graphic.name = QStringLiteral("%1 %2").arg(name).arg(i);
        graphic.filename = QStringLiteral("g%1.png").arg(i);
        graphic.pixels = 2;
        kit.graphics.append(graphic);
    }
    return kit;
}

} // namespace kitfixtures
