#pragma once

// A grid of pictures with titles, fed by a data source: the image-browser view the kit
// browser and the layout chooser show. A QListView in icon mode underneath.
//
// Items are asked for only when they are about to be drawn, and their pictures later
// still: a picture is read when its item shows, a few per turn of the event loop, decoded
// at the size of the cell (times the screen's pixel ratio) and kept by the item's
// identifier and version, so a reload shows what was read before and a new version (the
// data source's way of saying the picture changed) reads it again. Everything runs on the
// main thread.
//
// readScaledImage() is how the view reads a picture at a size; the photo browser reads the
// pictures it drags through it too.

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QList>
#include <QListView>
#include <QSize>
#include <QString>

#include <memory>

class QImageReader;

namespace platform {

class ImageBrowserView;

// The reader's picture scaled to `size`, given the file's way round as
// QImageReader::setScaledSize() takes it (turned upright afterwards when the reader
// auto-transforms); an empty size reads the picture at its own size. A one-bit picture up to
// 16 megapixels is scaled in full colour, so it keeps its colours, thin lines and
// transparency. Null when the picture cannot be read.
QImage readScaledImage(QImageReader& reader, const QSize& size);

struct ImageBrowserItem
{
    QString imageUID;
    quint64 imageVersion = 0;
    QString imageTitle;
    QString imageSubtitle;
};

class ImageBrowserDataSource
{
public:
    virtual ~ImageBrowserDataSource();
    virtual int numberOfItemsInImageBrowser(ImageBrowserView* browser) = 0;
    virtual ImageBrowserItem imageBrowserItemAtIndex(ImageBrowserView* browser, int index) = 0;
    // The picture's file data (any format Qt reads); empty shows no picture.
    virtual QByteArray imageRepresentationAtIndex(ImageBrowserView* browser, int index) = 0;
};

class ImageBrowserView : public QListView
{
    Q_OBJECT
public:
    // What a cell shows besides its picture.
    enum CellsStyle { CellsStyleNone = 0, CellsStyleTitled = 4, CellsStyleSubtitled = 8 };

    explicit ImageBrowserView(QWidget* parent = nullptr);
    ~ImageBrowserView() override;

    void setDataSource(ImageBrowserDataSource* dataSource);
    ImageBrowserDataSource* dataSource() const { return _dataSource; }
    // Asks the data source again for its count and items; the selection is cleared.
    void reloadData();
    int numberOfItems() const;
    // The item as the data source gave it (asked now when not asked yet).
    ImageBrowserItem itemAtIndex(int index) const;

    // The size of a cell's picture area; titles go below it.
    QSize cellSize() const { return _cellSize; }
    void setCellSize(const QSize& size);
    int cellsStyleMask() const { return _cellsStyleMask; }
    void setCellsStyleMask(int mask);
    void setBackgroundColor(const QColor& color);

    // Selected item indexes, ascending.
    QList<int> selectionIndexes() const;
    void setSelectionIndexes(const QList<int>& indexes, bool byExtendingSelection = false);
    // The item under a point of the view's content area (its viewport), -1 for none.
    int indexOfItemAtPoint(const QPoint& point) const;
    // The item's frame in the viewport's coordinates.
    QRect itemFrameAtIndex(int index) const;

    // Whether the item's picture has been read and kept.
    bool hasLoadedPictureAtIndex(int index) const;
    // Reads the pictures of the items now showing (what the event loop would do over the
    // next turns).
    void loadVisiblePictures();

Q_SIGNALS:
    void selectionDidChange();
    void cellWasDoubleClicked(int index);
    void cellWasRightClicked(int index, const QPoint& globalPosition);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    class Model;
    class Delegate;
    friend class Delegate;

    // The kept picture of the item, or a null pixmap after asking for it to be read.
    QPixmap pictureForRow(int row);
    void loadPendingPictures();
    QSize decodeSize() const;
    int titleHeight() const;
    void updateGrid();

    ImageBrowserDataSource* _dataSource = nullptr;
    Model* _model;
    Delegate* _delegate;
    QSize _cellSize = QSize(100, 100);
    int _cellsStyleMask = CellsStyleTitled;
    struct Pictures;
    std::unique_ptr<Pictures> _pictures;
};

} // namespace platform
