#pragma once

// The cells of the library matrix (LBLibraryMatrix): a plain image cell, and the
// favourites' cell with its rounded selection ring.
//
// A cell shows a thumbnail. Thumbnails arrive as PNG data from the favourites store and
// are decoded on their first drawing, so a category of a thousand items fills its matrix
// without decoding pictures that never come into view.

#include <QByteArray>
#include <QImage>
#include <QString>

#include <memory>

class QPainter;
class QRectF;
class QWidget;

// A picture decoded from its data on first use; copies share the decoded picture.
class LBLibraryThumbnail
{
public:
    LBLibraryThumbnail() = default;
    // From encoded data (PNG or any format the platform reads); decoded when first asked.
    static LBLibraryThumbnail fromData(const QByteArray& data);
    static LBLibraryThumbnail fromImage(const QImage& image);

    bool isNull() const { return !_state; }
    // The picture; a null image for none or for data that does not decode.
    QImage image() const;

private:
    struct State
    {
        QByteArray data;
        QImage image;
        bool decoded = false;
    };
    std::shared_ptr<State> _state;
};

// A plain image cell: the thumbnail scaled down to fit the frame, centred; no title.
class LBMatrixCell
{
public:
    virtual ~LBMatrixCell() = default;

    const LBLibraryThumbnail& image() const { return _image; }
    void setImage(const LBLibraryThumbnail& image) { _image = image; }
    QString title() const { return _title; }
    void setTitle(const QString& title) { _title = title; }
    // Whether the cell draws a title (none of ours does; the names are kept for one that
    // would).
    virtual bool canShowTitle() const { return false; }

    bool isHighlighted() const { return _highlighted; }
    void setHighlighted(bool highlighted) { _highlighted = highlighted; }
    bool isSelected() const { return _selected; }
    void setSelected(bool selected) { _selected = selected; }

    virtual void drawWithFrame(QPainter& painter, const QRectF& frame, const QWidget* view) const;

protected:
    // The image proportionally scaled down into `rect`, centred.
    void drawImageInRect(QPainter& painter, const QRectF& rect) const;

private:
    LBLibraryThumbnail _image;
    QString _title;
    bool _highlighted = false;
    bool _selected = false;
};

// The favourites' cell: when highlighted, a ring in the focus colour, 2.5 points wide,
// along the frame inset by 3 points with corners of radius 7; the image in the frame
// inset by 6 points.
class LBLibraryCell : public LBMatrixCell
{
public:
    void drawWithFrame(QPainter& painter, const QRectF& frame, const QWidget* view) const override;
    // The keyboard focus colour of the view's palette (its highlight colour).
    static QColor focusRingColor(const QWidget* view);
};
