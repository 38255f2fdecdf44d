#pragma once

// One entry of the layout chooser's browser of design templates: a template document
// package, or a blank sheet of a paper size, with the identifier, title and picture the
// browser shows. The picture is made on first request and kept; one that cannot be made
// yet (no preview file) is tried again at the next request.

#include <QSizeF>
#include <QString>

#include <memory>

namespace platform {
class Image;
} // namespace platform

class LBTemplateObject
{
public:
    // A new item of a template package (or, for a blank sheet, of a unique identifier
    // "<seconds>/<paper name>" made by the chooser).
    static std::shared_ptr<LBTemplateObject> templateObjectWithPath(const QString& path,
                                                                    qint64 placeholderImageType);

    QString path() const { return _path; }
    void setPath(const QString& path) { _path = path; }
    // The chooser always passes 0.
    qint64 placeholderImageType() const { return _placeholderImageType; }
    void setPlaceholderImageType(qint64 type) { _placeholderImageType = type; }
    // (0, 0) for a template; the paper's size in points for a blank sheet.
    QSizeF blankPaperSize() const { return _blankPaperSize; }
    void setBlankPaperSize(const QSizeF& size) { _blankPaperSize = size; }
    // The edge of the browser's cells, in points.
    double cellSize() const { return _cellSize; }
    void setCellSize(double size) { _cellSize = size; }

    // The browser's identity of the item: its path.
    QString imageUID() const { return _path; }
    // A template's file name without its extension; a blank sheet's whole paper name
    // (which may hold dots and slashes: "8.5x11in").
    QString imageTitle() const;
    // A blank sheet: a white picture of the paper's shape fitted into the cell. A
    // template: its package's "Preview120.jpg" when the cell is at most 120 points and
    // that file exists, else its "Preview.jpg", else its "Preview.gif"; nullptr while
    // there is none (or it is not a readable picture).
    std::shared_ptr<platform::Image> imageRepresentation();

private:
    QString _path;
    qint64 _placeholderImageType = 0;
    QSizeF _blankPaperSize = QSizeF(0, 0);
    double _cellSize = 0;
    std::shared_ptr<platform::Image> _image;
};
