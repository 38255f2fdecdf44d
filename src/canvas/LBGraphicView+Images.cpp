// New image graphics from picture files and from picture data on a pasteboard. Pasteboard
// data is first written to a working file; PostScript becomes a PDF working file. The
// image gets its natural size (shrunk to the page when far larger) or a given size, lands
// centred on a point or on the page, and is inserted front-most through the document.
//
// PICT pictures have no decoder here: files and data of that kind insert nothing.

#include "canvas/LBGraphicView.h"

#include "platform/core/Strings.h"
#include "platform/drawing/Image.h"
#include "platform/ui/Alert.h"
#include "platform/ui/Pasteboard.h"
#include "shapes/LBImage.h"

#include <QFile>
#include <QFileInfo>
#include <QMimeDatabase>

namespace {

const QPointF kNoPoint(-1.0, -1.0);

// A picture more than this many times the page's width or height is shrunk to the page.
constexpr double kLargerThanPage = 1.3;

// Writes the data to a new file; false when it cannot be made.
bool writeWorkingFile(const QString& path, const QByteArray& data)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(data) == data.size();
}

// The extension a working file of picture data of the pasteboard type gets.
QString extensionForPasteboardType(const QString& type)
{
    if (type == platform::PDFPboardType)
        return QStringLiteral("pdf");
    if (type == platform::PostScriptPboardType)
        return QStringLiteral("eps");
    if (type == platform::TIFFPboardType)
        return QStringLiteral("tif");
    if (type == platform::PNGPboardType)
        return QStringLiteral("png");
    // Other picture types are named by their MIME type.
    return QMimeDatabase()
        .mimeTypeForName(platform::mimeTypeForPasteboardType(type))
        .preferredSuffix();
}

} // namespace

const QStringList& LBGraphicView::imageFileTypes()
{
    static const QStringList types{QStringLiteral("png"),  QStringLiteral("jpg"),
                                   QStringLiteral("jpeg"), QStringLiteral("tif"),
                                   QStringLiteral("tiff"), QStringLiteral("gif"),
                                   QStringLiteral("bmp"),  QStringLiteral("psd"),
                                   QStringLiteral("pdf"),  QStringLiteral("eps")};
    return types;
}

bool LBGraphicView::makeNewImageFromPasteboard(platform::Pasteboard& pasteboard,
                                               const QPointF& atPoint)
{
    Q_UNUSED(atPoint); // pictures from a pasteboard always land in the middle of the page
    LBDocument* doc = document();
    if (!doc)
        return false;
    QString type =
        pasteboard.availableTypeFromArray({platform::PDFPboardType, platform::PostScriptPboardType,
                                           platform::TIFFPboardType, platform::PNGPboardType});
    if (type.isNull())
        type = pasteboard.availableImageType();
    if (type.isNull())
        return false;
    if (type == platform::PICTPboardType) {
        qWarning("A PICT picture on the pasteboard cannot be read: there is no PICT decoder.");
        return false;
    }
    const QString path = LBDocument::newTemporaryFilePath(extensionForPasteboardType(type));
    if (!writeWorkingFile(path, pasteboard.dataForType(type))) {
        qWarning("The picture on the pasteboard could not be written to \"%s\".", qPrintable(path));
        return false;
    }
    if (!makeNewImageFromContentsOfFile(path, kNoPoint, QSizeF(0.0, 0.0))) {
        doc->rememberTemporaryFileName(path);
        return false;
    }
    setUndoActionName(QStringLiteral("Paste"));
    return true;
}

void LBGraphicView::alertFileIsNoPicture(const QString& fileName, QWidget* window)
{
    const auto string = [](const QString& key) {
        return platform::LocalizedString(key, QStringLiteral("DialogStrings"));
    };
    platform::Alert alert;
    alert.messageText =
        string(QStringLiteral("The file \u201c%1\u201d cannot be imported.")).arg(fileName);
    alert.informativeText = string(QStringLiteral("The file is not a picture Veltrin can read."));
    alert.buttons = {string(QStringLiteral("OK"))};
    alert.beginSheetModalForWindow(window);
}

bool LBGraphicView::makeNewImageFromContentsOfFile(const QString& filePath, const QPointF& atPoint,
                                                   const QSizeF& imageSize)
{
    LBDocument* doc = document();
    if (!doc)
        return false;
    QString path = filePath;
    const QString extension = QFileInfo(filePath).suffix();
    if (extension == QLatin1String("pict")) {
        qWarning("The PICT picture \"%s\" cannot be read: there is no PICT decoder.",
                 qPrintable(filePath));
        return false;
    }
    if (extension == QLatin1String("eps")) {
        // Kept as PDF, which is what the document stores for PostScript.
        QString error;
        const platform::ImagePtr postScript = platform::Image::fromFile(filePath, &error);
        const QByteArray pdf = postScript ? postScript->pdfData() : QByteArray();
        if (pdf.isEmpty()) {
            qWarning("The PostScript picture \"%s\" could not be converted to PDF: %s",
                     qPrintable(filePath), qPrintable(error));
            return false;
        }
        path = LBDocument::newTemporaryFilePath(QStringLiteral("pdf"));
        if (!writeWorkingFile(path, pdf)) {
            qWarning("The PDF of \"%s\" could not be written to \"%s\".", qPrintable(filePath),
                     qPrintable(path));
            return false;
        }
        doc->rememberTemporaryFileName(path);
    }
    if (!imageFileTypes().contains(extension))
        return false;
    QString error;
    const platform::ImagePtr picture = platform::Image::fromFile(path, &error);
    if (!picture) {
        qWarning("The picture \"%s\" could not be read: %s", qPrintable(filePath),
                 qPrintable(error));
        return false;
    }

    const double zoom = zoomFactor();
    const QRectF P = visiblePageRect();
    QSizeF size;
    if (imageSize.width() < 1.0 || imageSize.height() < 1.0) {
        size = picture->size();
        if (size.width() <= 0.0 || size.height() <= 0.0) {
            qWarning("The picture \"%s\" has no size and is not placed.", qPrintable(filePath));
            return false;
        }
        if (!P.isEmpty()
            && (size.width() / P.width() > kLargerThanPage
                || size.height() / P.height() > kLargerThanPage))
            size *= std::min(P.width() / size.width(), P.height() / size.height());
    } else {
        size = imageSize / zoom;
    }

    clearSelection();
    auto image = std::make_shared<LBImage>();
    const QPointF origin = atPoint == kNoPoint
                               ? QPointF(P.x() + (P.width() - size.width()) / 2.0,
                                         P.y() + (P.height() - size.height()) / 2.0)
                               : atPoint - QPointF(size.width() / 2.0, size.height() / 2.0);
    image->setBounds(QRectF(origin, size));
    image->setDocument(doc);
    image->setImageFilePath(path, true, true, LBGraphic::FillImageType);
    image->setZoomFactor(zoom);
    setVisiblePageOriginForGraphic(image.get());
    insertAtFrontOfSelectedLayer(image);
    clearSelection();
    selectGraphic(image);
    return true;
}
