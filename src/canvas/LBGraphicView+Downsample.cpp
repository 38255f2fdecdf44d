// Making the reduced pictures permanent: the document is saved at 300 dpi, which writes a
// downsampled twin "D<name>" beside each picture file of its package that needed one, and
// each twin of this page's pictures then takes the place of its original. Beside it, the
// fill pictures of the selected graphics can be rendered into new picture files.

#include "canvas/LBGraphicView.h"

#include "graphics/LBProcessState.h"
#include "platform/core/NotificationCenter.h"
#include "platform/core/Strings.h"
#include "platform/core/UserDefaults.h"
#include "platform/drawing/Image.h"
#include "platform/ui/Alert.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <cstdio>
#include <memory>

namespace {

const QString kImageQuality = QStringLiteral("Image Quality");
constexpr qint64 kDownsampleQuality = 300;

// Sets the "Image Quality" setting and the resolution pictures are drawn at, and has every
// document follow.
void setImageQuality(qint64 dpi)
{
    platform::UserDefaults::standardUserDefaults().setInteger(dpi, kImageQuality);
    LBProcessState::setImageDisplayResolution(dpi);
    platform::NotificationCenter::defaultCenter().post(LBImageQualityChanged);
}

QString canonicalFolder(const QString& path)
{
    const QString canonical = QFileInfo(path).canonicalFilePath();
    return canonical.isEmpty() ? QString() : QDir::cleanPath(canonical);
}

// Seconds since the first instant of 2001, the stamp of new working file names.
double secondsSinceReferenceDate()
{
    static const QDateTime reference(QDate(2001, 1, 1), QTime(0, 0), Qt::UTC);
    return double(reference.msecsTo(QDateTime::currentDateTimeUtc())) / 1000.0;
}

} // namespace

QString LBGraphicView::downsampleReportText(qint64 found, qint64 downsampled)
{
    QString format =
        platform::LocalizedString(QStringLiteral("Found %ld images.\rDownsampled %ld images"),
                                  QStringLiteral("DialogStrings"));
    const qsizetype first = format.indexOf(QLatin1String("%ld"));
    if (first >= 0)
        format.replace(first, 3, QString::number(found));
    const qsizetype second = format.indexOf(QLatin1String("%ld"));
    if (second >= 0)
        format.replace(second, 3, QString::number(downsampled));
    return format;
}

LBGraphicView::DownsampleReport LBGraphicView::applyDestructiveDownsample(bool showReport)
{
    DownsampleReport report;
    LBDocument* doc = document();
    LBDocument::Page* page = graphics();
    if (!doc || !page)
        return report;
    const qint64 quality =
        platform::UserDefaults::standardUserDefaults().integerForKey(kImageQuality);
    setImageQuality(kDownsampleQuality);

    // The swap waits for the save to complete: a failed save swaps nothing.
    auto saved = std::make_shared<std::optional<bool>>();
    doc->updateChangeCount(platform::Document::ChangeDone);
    doc->saveDocumentWithDelegate([saved](bool ok) { *saved = ok; });
    report.saved = saved->value_or(false);

    const QString package = report.saved ? canonicalFolder(doc->fileName()) : QString();
    for (const LBDocument::Layer& layer : std::as_const(*page)) {
        for (const LBGraphicPtr& graphic : layer) {
            const QString p = graphic->imageFilePathOfType(LBGraphic::FillImageType);
            if (p.isEmpty())
                continue;
            ++report.found;
            const QFileInfo original(p);
            // Only files of the saved package are touched.
            if (package.isEmpty() || canonicalFolder(original.absolutePath()) != package)
                continue;
            const QString q =
                QDir(original.absolutePath()).filePath(QStringLiteral("D") + original.fileName());
            if (!QFileInfo(q).isFile())
                continue;
            // One rename replaces the original, so the picture is never missing.
            if (std::rename(QFile::encodeName(q).constData(),
                            QFile::encodeName(original.absoluteFilePath()).constData())
                == 0)
                ++report.downsampled;
        }
    }

    setImageQuality(quality);
    if (showReport) {
        platform::Alert alert;
        alert.messageText = downsampleReportText(report.found, report.downsampled);
        alert.buttons = {
            platform::LocalizedString(QStringLiteral("OK"), QStringLiteral("DialogStrings"))};
        alert.runModal();
    }
    return report;
}

void LBGraphicView::applyDestructiveCrop(bool asJPEG, bool uncropAfter)
{
    LBDocument* doc = document();
    if (!doc)
        return;
    const qint64 quality =
        platform::UserDefaults::standardUserDefaults().integerForKey(kImageQuality);
    setImageQuality(kDownsampleQuality);

    const double scale = qApp ? std::max(1.0, qApp->devicePixelRatio()) : 1.0;
    QList<LBGraphicPtr> copies;
    const QList<LBGraphicPtr> selection = selectedGraphics(false);
    for (const LBGraphicPtr& g : selection) {
        g->clearCachedFillImage();
        const LBGraphic::ImagePtr fill = g->fillImage();
        if (!fill || fill->bitmap().isNull())
            continue;
        LBGraphicPtr c = g->copy();
        c->setDocument(doc);
        c->setZoomFactor(g->zoomFactor());
        c->setCropImageBounds(g->bounds(), g->bounds());
        setVisiblePageOriginForGraphic(c.get());

        // The fill picture holds its bottom row first (it is made to be drawn unflipped):
        // turned upright into a bitmap of its own pixel size.
        const QSize size(qMax(1, int(fill->pixelsWide() / scale)),
                         qMax(1, int(fill->pixelsHigh() / scale)));
        QImage bitmap(size, QImage::Format_ARGB32_Premultiplied);
        bitmap.fill(Qt::transparent);
        {
            QPainter painter(&bitmap);
            painter.setRenderHint(QPainter::SmoothPixmapTransform);
            painter.translate(0.0, size.height());
            painter.scale(1.0, -1.0);
            painter.drawImage(QRect(QPoint(0, 0), size), fill->bitmap());
        }
        const platform::ImagePtr image = platform::Image::fromBitmap(bitmap, fill->size());
        const QString path =
            QStringLiteral("%1%2.%3").arg(LBProcessState::temporaryFolderPath(),
                                          QString::number(secondsSinceReferenceDate(), 'f', 6),
                                          asJPEG ? QStringLiteral("jpg") : QStringLiteral("png"));
        const QByteArray data = asJPEG ? image->jpegData(0.8) : image->pngData();
        QFile file(path);
        if (data.isEmpty() || !file.open(QIODevice::WriteOnly) || file.write(data) != data.size())
            continue;
        file.close();
        c->setImageFilePath(path, true, false, LBGraphic::FillImageType);

        const qsizetype index = indexInSelectedLayer(g.get());
        removeGraphicFromPage(g);
        doc->insertGraphic(c, std::max<qsizetype>(index, 0), selectedLayerIndex(), _pageIndex);
        copies.append(c);
    }
    if (uncropAfter && !copies.isEmpty()) {
        _selectedGraphics = copies;
        uncrop(false);
    }
    setImageQuality(quality);
}
