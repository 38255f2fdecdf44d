#include "layouts/LBTemplateObject.h"

#include "platform/drawing/Image.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>

#include <cmath>
#include <optional>

namespace {

// The largest cell that shows the small preview.
constexpr double SmallPreviewCellSize = 120.0;

} // namespace

std::shared_ptr<LBTemplateObject>
LBTemplateObject::templateObjectWithPath(const QString& path, qint64 placeholderImageType)
{
    auto item = std::make_shared<LBTemplateObject>();
    item->setPath(path);
    item->setPlaceholderImageType(placeholderImageType);
    return item;
}

QString LBTemplateObject::imageTitle() const
{
    // A blank sheet's identifier is "<seconds>/<paper name>".
    if (_blankPaperSize.width() != 0)
        return _path.contains(QLatin1Char('/')) ? _path.section(QLatin1Char('/'), 1) : _path;
    return QFileInfo(_path).completeBaseName();
}

std::shared_ptr<platform::Image> LBTemplateObject::imageRepresentation()
{
    if (_image)
        return _image;

    const QSizeF paper = _blankPaperSize;
    if (paper.width() != 0) {
        // The paper's shape, its longer side the cell's edge.
        const QSizeF size = paper.width() > paper.height()
                                ? QSizeF(_cellSize, paper.height() * _cellSize / paper.width())
                                : QSizeF(paper.width() * _cellSize / paper.height(), _cellSize);
        QImage white(qMax(1, int(std::ceil(size.width()))), qMax(1, int(std::ceil(size.height()))),
                     QImage::Format_RGB32);
        white.fill(Qt::white);
        _image = platform::Image::fromBitmap(white, size);
        return _image;
    }

    const QDir package(_path);
    const auto entry = [&](const char* name) {
        const QFileInfo info(package.filePath(QString::fromLatin1(name)));
        return info.exists() ? std::optional<QFileInfo>(info) : std::nullopt;
    };
    std::optional<QFileInfo> chosen;
    if (_cellSize <= SmallPreviewCellSize) {
        if (const auto small = entry("Preview120.jpg"); small && small->isFile())
            chosen = small;
    }
    if (!chosen)
        chosen = entry("Preview.jpg");
    if (!chosen)
        chosen = entry("Preview.gif");
    if (chosen && chosen->isFile())
        _image = platform::Image::fromFile(chosen->filePath());
    return _image;
}
