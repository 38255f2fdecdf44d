#pragma once

// A picture shared by the graphics that show it (std::shared_ptr<Image>): its drawing size
// in points, its representation (a bitmap, or a vector picture: PDF, EPS or SVG), and the
// bytes it was read from, kept so the original can be written back unchanged.
//
// Images are only made through the factories, always owned by a shared_ptr, so operations
// that may answer "this very image" (the scaling helpers) can hand out the same object.

#include <QByteArray>
#include <QImage>
#include <QPainter>
#include <QRectF>
#include <QSizeF>
#include <QString>

#include <memory>

class QSvgRenderer;

namespace platform {

class PDFPicture;

class Image;
using ImagePtr = std::shared_ptr<Image>;

class Image : public std::enable_shared_from_this<Image>
{
    struct Key
    {
        explicit Key() = default;
    };

public:
    // What stands behind the picture, so writers can tell a bitmap from a vector original.
    enum class RepresentationKind { None, Bitmap, PDF, EPS, SVG };

    // Reads PNG, JPEG, TIFF (BigTIFF too), GIF, BMP or PSD data (a bitmap), or PDF or EPS
    // data (a vector picture, see below). Returns nullptr and a message in *error for
    // empty, unknown, unsupported or damaged bitmap data; never throws. A bitmap is turned
    // upright as its EXIF or TIFF orientation says (its size in points too); its original
    // bytes keep the orientation, so they read back the same.
    // PDF (its first page, at its size in points) is drawn through poppler, once a child of
    // the program has read it in time (PDFReading.h); EPS (plain or with a DOS binary
    // header) is converted to PDF by the `gs` command, each distinct EPS once per run. A
    // PDF or EPS that cannot be drawn (damaged, too slow to read, encrypted, rejected by
    // gs, no gs) still gives an image: it keeps its bytes and kind, draws nothing, has the
    // size its "%%BoundingBox" states (EPS) or none, and says why in loadError() and *error,
    // so a document holding it opens and saves without loss.
    static ImagePtr fromData(const QByteArray& data, QString* error = nullptr);
    // The same for the contents of a file.
    static ImagePtr fromFile(const QString& path, QString* error = nullptr);
    // An image holding the bitmap. Without a size, the size in points comes from the
    // bitmap's dots per metre (a QImage made in code carries the screen's default, so
    // give the size when it matters). A null bitmap gives nullptr.
    static ImagePtr fromBitmap(const QImage& bitmap, const QSizeF& size = QSizeF());
    // An image of that size with no representation yet.
    static ImagePtr withSize(const QSizeF& size);
    // A vector picture from SVG text, its size in points the view box's (one user unit a
    // point); nullptr and a message in *error when the text is not a drawable SVG.
    static ImagePtr withSVGData(const QByteArray& data, QString* error = nullptr);
    // The program's own picture of that name (":/images/<name>.svg", else ".png"), read
    // on first use and kept for the rest of the run; nullptr when there is none. A
    // vector picture stays vector, so it is crisp at any scale; its size in points is the
    // size its file states. A name may carry a picture extension (".tiff", ".png"), which
    // the lookup drops when no picture has the whole name.
    static ImagePtr imageNamed(const QString& name);
    // The same among the pictures of a library's bundle (":/<bundle>/images/"); an empty
    // bundle means the program's own (see Bundle).
    static ImagePtr imageNamed(const QString& name, const QString& bundle);

    explicit Image(Key);
    Image(const Image&) = delete;
    Image& operator=(const Image&) = delete;

    RepresentationKind representationKind() const { return _kind; }
    // Why a vector picture read from data cannot be drawn; empty when it can.
    QString loadError() const { return _loadError; }
    // The PDF document a PDF picture draws, or an EPS picture's conversion; empty for
    // other pictures and for vector pictures that cannot be drawn.
    QByteArray pdfData() const;

    // Another image sharing this one's representation (bitmap, vector picture, bytes),
    // with its own size and retention, so it can be resized without changing this one.
    ImagePtr copy() const;

    // The drawing size in points. For a file: pixels × 72 / the resolution it states (a
    // JPEG's JFIF density, else its EXIF resolution), 72 dpi when it states none, or none
    // that makes sense (zero, negative, below 1 dpi). Data shorter than its header
    // promises, or too short to fill the frame it states, is refused rather than read
    // with made-up pixels, and a colour table that does not fit the pixels is made to fit,
    // so every picture that reads can be written. setSize() changes the drawing size only,
    // never pixels.
    QSizeF size() const { return _size; }
    void setSize(const QSizeF& size) { _size = size; }

    // The bitmap's pixel dimensions; 0 without a bitmap.
    int pixelsWide() const { return _bitmap.width(); }
    int pixelsHigh() const { return _bitmap.height(); }
    // The bitmap as read (any QImage format), or a null QImage when there is none.
    const QImage& bitmap() const { return _bitmap; }

    // The bytes the image was read from. They are kept with the image (shared with the
    // caller's copy), so retention can be switched on after reading, as owners do when
    // they adopt an image; data() hands them out only while retained. Images made from a
    // bitmap have no original bytes.
    bool dataRetained() const { return _dataRetained; }
    void setDataRetained(bool retained) { _dataRetained = retained; }
    QByteArray data() const { return _dataRetained ? _sourceData : QByteArray(); }

    // Encodings of the bitmap (empty without one). Each records the resolution that
    // maps the pixels onto size(), so reading the result back gives the same size.
    QByteArray TIFFRepresentationUsingLZW() const;
    // The TIFF compressions export offers, by their tag values.
    enum TIFFCompression : int {
        TIFFCompressionNone = 1,
        TIFFCompressionLZW = 5,
        TIFFCompressionPackBits = 32773
    };
    // TIFF with that compression (any other value is LZW): 8-bit RGB, with an alpha
    // channel when the bitmap has one, stating the resolution that maps the pixels onto
    // size().
    QByteArray TIFFRepresentationUsingCompression(int compression) const;
    // PNG states whole dots per metre; the exact resolution goes along in a text chunk of
    // our own, which reading prefers while it agrees with the dots per metre.
    QByteArray pngData() const;
    // compressionFactor from 0.0 (smallest file) to 1.0 (best quality). Empty for a
    // picture of more than 65,500 pixels on a side, which JPEG cannot hold.
    QByteArray jpegData(qreal compressionFactor) const;

    // Draws the part `fromRect` of the picture (in the image's points, y down from its top
    // edge; an empty rect means the whole picture) into `rect` of the current graphics
    // context, upright, with the given composition and opacity. Without a current context
    // or a representation nothing is drawn. Vector pictures stay vector in printed and
    // exported output; on screen a PDF or EPS is drawn from a bitmap rendered once for
    // the pixel size it is drawn at, kept until that size changes.
    void drawInRect(const QRectF& rect, const QRectF& fromRect = QRectF(),
                    QPainter::CompositionMode operation = QPainter::CompositionMode_SourceOver,
                    qreal fraction = 1.0) const;
    // Draws the whole picture at its own size in the context's base coordinates (unscaled
    // and unturned by whatever transform drawing code applied) with its lower-left corner
    // at `point` of the current coordinates, the way handles keep their size at any zoom.
    void compositeToPoint(const QPointF& point, QPainter::CompositionMode operation =
                                                    QPainter::CompositionMode_SourceOver) const;

    // --- Scaling and whole-number helpers ---

    // floor(v + 0.5) for each of x, y, width and height: halves go up, and the right and
    // bottom edges are not rounded themselves.
    static QRectF roundRectToIntegerBoundaries(const QRectF& rect);
    // An image with no representation whose size is rounded the same way.
    static ImagePtr withIntegralSize(const QSizeF& size);

    // The image read from data and scaled as imageScaledToSize() does; nullptr (and the
    // reader's message) when the data is not a picture.
    static ImagePtr imageWithData(const QByteArray& data, const QSizeF& scaledToSize,
                                  bool proportional, bool downscaleOnly, QString* error = nullptr);
    // A copy drawn with smooth interpolation into a whole-point size, 72 dpi. Answers this
    // very image when nothing is to do: downscaleOnly and both sides already within the
    // target, or the target equal to the size. Proportional keeps the aspect ratio with
    // the factor min(target w / w, target h / h); otherwise the picture is stretched. An
    // image with a zero (or negative) side is returned unchanged. nullptr when the
    // bitmap of the new size cannot be allocated.
    ImagePtr imageScaledToSize(const QSizeF& size, bool proportional = false,
                               bool downscaleOnly = false);

    // drawInRect() into the destination rectangle rounded number by number.
    void drawInIntegralRect(const QRectF& rect, const QRectF& fromRect,
                            QPainter::CompositionMode operation, qreal fraction) const;

    // The bitmap, or a null QImage when the image has none.
    QImage bitmapImageRep() const;
    // The bitmap, or else a picture captured by drawing the image at its size (72 dpi,
    // transparent where nothing is drawn). The capture is not kept by the image.
    QImage forcedBitmapImageRep() const;

private:
    QImage encodableBitmap() const;
    // Renders the vector picture (the part fromRect of it) into rect of the painter.
    void drawVectorInRect(QPainter& painter, const QRectF& rect, const QRectF& fromRect) const;
    // The readers beside the bitmap decoders (Image+Vector.cpp, Image+PSD.cpp).
    static ImagePtr fromVectorData(const QByteArray& data, QString* error);
    static ImagePtr fromPSDData(const QByteArray& data, QString* error);
    // Draws the PDF (or converted EPS) picture: from the screen bitmap or as vector.
    void drawPDFInRect(QPainter& painter, bool onScreen, const QRectF& rect,
                       const QRectF& fromRect) const;

    RepresentationKind _kind = RepresentationKind::None;
    QSizeF _size;
    QImage _bitmap;
    QByteArray _sourceData;
    bool _dataRetained = false;
    std::shared_ptr<QSvgRenderer> _vector;
    std::shared_ptr<PDFPicture> _pdf;
    QString _loadError;
};

// The picture of a file's bytes as every viewer shows it, for previews and thumbnails read
// straight from a file: turned upright as its EXIF or TIFF orientation says. Null when the
// bytes hold no picture Qt reads.
QImage uprightPicture(const QByteArray& data);
QImage uprightPicture(const QString& path);

// The picture in a PNG file (a resource too), read as PNG only: a reader left to find the
// format asks every image format plugin about a PNG, which loads them all, with their
// libraries. Null when the file holds no readable PNG.
QImage readPngImage(const QString& path);

} // namespace platform
