#include "platform/ui/ImageBrowserView.h"

#include <QAbstractListModel>
#include <QBuffer>
#include <QCache>
#include <QContextMenuEvent>
#include <QHash>
#include <QImageReader>
#include <QItemSelectionModel>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QScrollBar>
#include <QSet>
#include <QStyledItemDelegate>
#include <QTimer>

#include <algorithm>

namespace platform {

namespace {

// Space around each cell, and pictures read per turn of the event loop.
constexpr int CellPadding = 6;
constexpr int LoadsPerTurn = 4;
// The kept pictures, in kilobytes.
constexpr int PictureCacheKilobytes = 96 * 1024;

QString pictureKey(const ImageBrowserItem& item, const QSize& size)
{
    return QStringLiteral("%1\x1f%2\x1f%3x%4")
        .arg(item.imageUID)
        .arg(item.imageVersion)
        .arg(size.width())
        .arg(size.height());
}

bool exceeds(const QSize& picture, const QSize& bounds)
{
    return picture.isValid()
           && (picture.width() > bounds.width() || picture.height() > bounds.height());
}

QSize fitted(const QSize& picture, const QSize& bounds)
{
    return picture.scaled(bounds, Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
}

} // namespace

QImage readScaledImage(QImageReader& reader, const QSize& size)
{
    const QSize full = reader.size();
    if (size.isEmpty() || size == full)
        return reader.read();
    // A one-bit picture scaled as it is read stays one bit deep: its greys and colours come
    // out dithered to a black and white checker, its thin lines dotted and its transparent
    // colour opaque. It is read whole and scaled in full colour, unless whole and in colour it
    // would take more than 64 MB (a large scan, or a small file that says it is huge): that
    // one is shrunk as read.
    const QImage::Format format = reader.imageFormat();
    const bool oneBit = (format == QImage::Format_Mono || format == QImage::Format_MonoLSB)
                        && full.isValid() && qint64(full.width()) * full.height() <= 16'000'000;
    if (!oneBit) {
        reader.setScaledSize(size);
        return reader.read();
    }
    const QImage picture = reader.read();
    if (picture.isNull())
        return picture;
    // Turned upright as read, the picture lies the other way round from the size asked for.
    const bool turned = picture.size() != full && picture.size() == full.transposed();
    return picture.convertToFormat(QImage::Format_ARGB32_Premultiplied)
        .scaled(turned ? size.transposed() : size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

ImageBrowserDataSource::~ImageBrowserDataSource() = default;

// Rows over the data source, each item asked for when first needed.
class ImageBrowserView::Model : public QAbstractListModel
{
public:
    explicit Model(ImageBrowserView* view) : QAbstractListModel(view), _view(view) {}

    void reload()
    {
        beginResetModel();
        _items.clear();
        ImageBrowserDataSource* source = _view->_dataSource;
        _count = source ? std::max(source->numberOfItemsInImageBrowser(_view), 0) : 0;
        endResetModel();
    }

    int count() const { return _count; }

    const ImageBrowserItem& item(int row) const
    {
        auto it = _items.find(row);
        if (it == _items.end()) {
            ImageBrowserDataSource* source = _view->_dataSource;
            it = _items.insert(row, source ? source->imageBrowserItemAtIndex(_view, row)
                                           : ImageBrowserItem());
        }
        return it.value();
    }

    int rowCount(const QModelIndex& parent) const override { return parent.isValid() ? 0 : _count; }

    QVariant data(const QModelIndex& index, int role) const override
    {
        if (!index.isValid() || index.row() >= _count)
            return QVariant();
        if (role == Qt::DisplayRole || role == Qt::ToolTipRole)
            return item(index.row()).imageTitle;
        return QVariant();
    }

private:
    ImageBrowserView* _view;
    int _count = 0;
    mutable QHash<int, ImageBrowserItem> _items;
};

// Draws a cell: the picture fitted in the picture area, then the title and subtitle.
class ImageBrowserView::Delegate : public QStyledItemDelegate
{
public:
    explicit Delegate(ImageBrowserView* view) : QStyledItemDelegate(view), _view(view) {}

    QSize sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const override
    {
        return _view->gridSize();
    }

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override
    {
        const int row = index.row();
        const ImageBrowserItem& item = _view->_model->item(row);
        const QRect cell = option.rect.adjusted(CellPadding / 2, CellPadding / 2, -CellPadding / 2,
                                                -CellPadding / 2);
        const QRect pictureArea(cell.topLeft(), _view->_cellSize);
        const bool selected = option.state & QStyle::State_Selected;
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        if (selected) {
            QColor highlight = option.palette.color(QPalette::Highlight);
            highlight.setAlpha(90);
            painter->setPen(Qt::NoPen);
            painter->setBrush(highlight);
            painter->drawRoundedRect(QRectF(pictureArea).adjusted(-2, -2, 2, 2), 6, 6);
        }
        const QPixmap picture = _view->pictureForRow(row);
        if (!picture.isNull()) {
            QSizeF size = picture.deviceIndependentSize();
            size.scale(QSizeF(pictureArea.size()) - QSizeF(8, 8), Qt::KeepAspectRatio);
            const QRectF target(QPointF(pictureArea.center()) + QPointF(0.5, 0.5)
                                    - QPointF(size.width(), size.height()) / 2,
                                size);
            painter->setRenderHint(QPainter::SmoothPixmapTransform);
            painter->drawPixmap(target, picture, QRectF(picture.rect()));
        }
        int y = pictureArea.bottom() + 3;
        const auto drawLine = [&](const QString& text, const QFont& font, const QColor& color) {
            const QFontMetrics lineMetrics(font);
            const QString shown = lineMetrics.elidedText(text, Qt::ElideMiddle, cell.width() - 4);
            const QRect line(cell.left(), y, cell.width(), lineMetrics.height());
            if (selected && &font == &option.font) {
                const int width = lineMetrics.horizontalAdvance(shown) + 10;
                painter->setPen(Qt::NoPen);
                painter->setBrush(option.palette.color(QPalette::Highlight));
                painter->drawRoundedRect(
                    QRectF(line.center().x() - width / 2.0, line.top(), width, line.height()),
                    line.height() / 2.0, line.height() / 2.0);
            }
            painter->setFont(font);
            painter->setPen(color);
            painter->drawText(line, Qt::AlignHCenter | Qt::AlignVCenter, shown);
            y += lineMetrics.height();
        };
        if (_view->_cellsStyleMask & CellsStyleTitled)
            drawLine(item.imageTitle, option.font,
                     selected ? option.palette.color(QPalette::HighlightedText)
                              : option.palette.color(QPalette::Text));
        if (_view->_cellsStyleMask & CellsStyleSubtitled) {
            QFont small = option.font;
            small.setPointSizeF(std::max(6.0, small.pointSizeF() - 2));
            drawLine(item.imageSubtitle, small, option.palette.color(QPalette::PlaceholderText));
        }
        painter->restore();
    }

private:
    ImageBrowserView* _view;
};

struct ImageBrowserView::Pictures
{
    QCache<QString, QPixmap> kept{PictureCacheKilobytes};
    QList<int> pending;      // rows waiting to be read, oldest first
    QSet<QString> requested; // their keys
    QTimer timer;
};

ImageBrowserView::ImageBrowserView(QWidget* parent)
    : QListView(parent),
      _model(new Model(this)),
      _delegate(new Delegate(this)),
      _pictures(std::make_unique<Pictures>())
{
    setViewMode(QListView::IconMode);
    setMovement(QListView::Static);
    setResizeMode(QListView::Adjust);
    setFlow(QListView::LeftToRight);
    setWrapping(true);
    setUniformItemSizes(true);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setDragEnabled(false);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    setItemDelegate(_delegate);
    setModel(_model);
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { Q_EMIT selectionDidChange(); });
    connect(this, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& index) {
        if (index.isValid())
            Q_EMIT cellWasDoubleClicked(index.row());
    });
    _pictures->timer.setSingleShot(true);
    _pictures->timer.setInterval(0);
    connect(&_pictures->timer, &QTimer::timeout, this, [this] { loadPendingPictures(); });
    updateGrid();
}

ImageBrowserView::~ImageBrowserView() = default;

void ImageBrowserView::setDataSource(ImageBrowserDataSource* dataSource)
{
    _dataSource = dataSource;
}

void ImageBrowserView::reloadData()
{
    _pictures->pending.clear();
    _pictures->requested.clear();
    _model->reload();
}

int ImageBrowserView::numberOfItems() const
{
    return _model->count();
}

ImageBrowserItem ImageBrowserView::itemAtIndex(int index) const
{
    return index >= 0 && index < _model->count() ? _model->item(index) : ImageBrowserItem();
}

void ImageBrowserView::setCellSize(const QSize& size)
{
    const QSize bounded = size.expandedTo(QSize(16, 16));
    if (bounded == _cellSize)
        return;
    _cellSize = bounded;
    updateGrid();
}

void ImageBrowserView::setCellsStyleMask(int mask)
{
    if (mask == _cellsStyleMask)
        return;
    _cellsStyleMask = mask;
    updateGrid();
}

void ImageBrowserView::setBackgroundColor(const QColor& color)
{
    QPalette colors = viewport()->palette();
    colors.setColor(QPalette::Base, color);
    viewport()->setPalette(colors);
    setPalette(colors);
    viewport()->setAutoFillBackground(true);
}

int ImageBrowserView::titleHeight() const
{
    const QFontMetrics metrics(font());
    int height = 0;
    if (_cellsStyleMask & CellsStyleTitled)
        height += metrics.height() + 3;
    if (_cellsStyleMask & CellsStyleSubtitled) {
        QFont small = font();
        small.setPointSizeF(std::max(6.0, small.pointSizeF() - 2));
        height += QFontMetrics(small).height();
    }
    return height;
}

void ImageBrowserView::updateGrid()
{
    setGridSize(
        QSize(_cellSize.width() + CellPadding, _cellSize.height() + titleHeight() + CellPadding));
    viewport()->update();
}

QList<int> ImageBrowserView::selectionIndexes() const
{
    QList<int> rows;
    for (const QModelIndex& index : selectionModel()->selectedIndexes())
        rows.append(index.row());
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}

void ImageBrowserView::setSelectionIndexes(const QList<int>& indexes, bool byExtendingSelection)
{
    QItemSelection selection;
    for (int row : indexes) {
        if (row >= 0 && row < _model->count())
            selection.select(_model->index(row), _model->index(row));
    }
    selectionModel()->select(selection, byExtendingSelection ? QItemSelectionModel::Select
                                                             : QItemSelectionModel::ClearAndSelect);
}

int ImageBrowserView::indexOfItemAtPoint(const QPoint& point) const
{
    const QModelIndex index = indexAt(point);
    return index.isValid() ? index.row() : -1;
}

QRect ImageBrowserView::itemFrameAtIndex(int index) const
{
    return index >= 0 && index < _model->count() ? visualRect(_model->index(index)) : QRect();
}

QSize ImageBrowserView::decodeSize() const
{
    const qreal ratio = devicePixelRatioF();
    return QSize(qRound(_cellSize.width() * ratio), qRound(_cellSize.height() * ratio));
}

bool ImageBrowserView::hasLoadedPictureAtIndex(int index) const
{
    if (index < 0 || index >= _model->count())
        return false;
    return _pictures->kept.contains(pictureKey(_model->item(index), decodeSize()));
}

QPixmap ImageBrowserView::pictureForRow(int row)
{
    const ImageBrowserItem& item = _model->item(row);
    const QString key = pictureKey(item, decodeSize());
    if (const QPixmap* kept = _pictures->kept.object(key))
        return *kept;
    if (!_pictures->requested.contains(key)) {
        _pictures->requested.insert(key);
        _pictures->pending.append(row);
        if (!_pictures->timer.isActive())
            _pictures->timer.start();
    }
    return QPixmap();
}

void ImageBrowserView::loadPendingPictures()
{
    const QRect visible = viewport()->rect();
    const QSize size = decodeSize();
    int loaded = 0;
    while (!_pictures->pending.isEmpty() && loaded < LoadsPerTurn) {
        const int row = _pictures->pending.takeFirst();
        if (row >= _model->count())
            continue;
        const ImageBrowserItem& item = _model->item(row);
        const QString key = pictureKey(item, size);
        const QModelIndex index = _model->index(row);
        // Items scrolled away are read again when they show again.
        if (!visualRect(index).intersects(visible)) {
            _pictures->requested.remove(key);
            continue;
        }
        ++loaded;
        QByteArray data =
            _dataSource ? _dataSource->imageRepresentationAtIndex(this, row) : QByteArray();
        QImage picture;
        if (!data.isEmpty()) {
            QBuffer buffer(&data);
            QImageReader reader(&buffer);
            reader.setAutoTransform(true);
            const QSize full = reader.size();
            picture = readScaledImage(reader, exceeds(full, size) ? fitted(full, size) : QSize());
        }
        auto* pixmap = new QPixmap(QPixmap::fromImage(picture));
        pixmap->setDevicePixelRatio(devicePixelRatioF());
        const int cost = std::max(1, int(qint64(pixmap->width()) * pixmap->height() * 4 / 1024));
        _pictures->kept.insert(key, pixmap, cost);
        update(index);
    }
    if (!_pictures->pending.isEmpty())
        _pictures->timer.start();
}

void ImageBrowserView::loadVisiblePictures()
{
    const QRect visible = viewport()->rect();
    for (int row = 0; row < _model->count(); ++row) {
        if (visualRect(_model->index(row)).intersects(visible))
            pictureForRow(row);
    }
    while (!_pictures->pending.isEmpty())
        loadPendingPictures();
}

void ImageBrowserView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::RightButton) {
        const int row = indexOfItemAtPoint(event->position().toPoint());
        if (row >= 0) {
            Q_EMIT cellWasRightClicked(row, event->globalPosition().toPoint());
            event->accept();
            return;
        }
    }
    QListView::mousePressEvent(event);
}

void ImageBrowserView::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        event->accept();
        return;
    }
    QListView::mouseDoubleClickEvent(event);
}

void ImageBrowserView::contextMenuEvent(QContextMenuEvent* event)
{
    // Right clicks on items are handled on press; a menu from the keyboard is not offered.
    event->accept();
}

} // namespace platform
