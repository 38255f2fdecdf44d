#include "controls/LBTableCells.h"

#include "platform/drawing/GraphicsContext.h"
#include "platform/drawing/Image.h"
#include "platform/drawing/Shadow.h"

#include <QApplication>
#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>
#include <cmath>

using namespace platform;

namespace {

// A graphics context on the delegate's painter for the time of one paint, unless drawing
// already goes through one on that painter.
class PainterContext
{
public:
    explicit PainterContext(QPainter* painter)
    {
        GraphicsContext* current = GraphicsContext::current();
        if (current && current->painter() == painter)
            return;
        _context = std::make_unique<GraphicsContext>(painter, true);
        _scope = std::make_unique<GraphicsContext::Scope>(*_context);
    }
    ~PainterContext()
    {
        _scope.reset();
        _context.reset();
    }

private:
    std::unique_ptr<GraphicsContext> _context;
    std::unique_ptr<GraphicsContext::Scope> _scope;
};

QFont systemFontOfSize(qreal size, bool bold = false)
{
    QFont font = QApplication::font();
    font.setPointSizeF(size);
    font.setBold(bold);
    return font;
}

std::shared_ptr<Image> decorationImage(const QModelIndex& index)
{
    const QVariant decoration = index.data(Qt::DecorationRole);
    if (decoration.canConvert<QImage>()) {
        const QImage bitmap = decoration.value<QImage>();
        if (!bitmap.isNull())
            return Image::fromBitmap(bitmap, bitmap.deviceIndependentSize());
    }
    return nullptr;
}

// A white card under a picture, casting the shared shadow.
void fillCard(QPainter& painter, const QRectF& rect)
{
    LBCellShadow::startShadow(rect.adjusted(-8, -8, 8, 8));
    // Inside the shadow's layer, drawing goes to the layer's painter.
    GraphicsContext* context = GraphicsContext::current();
    (context ? *context->painter() : painter).fillRect(rect, Qt::white);
    LBCellShadow::stopShadow();
}

} // namespace

// --- LBImageTextCell ---

LBImageTextCell::LBImageTextCell(QObject* parent) : QStyledItemDelegate(parent)
{}

LBImageTextCell::~LBImageTextCell() = default;

std::shared_ptr<Image> LBImageTextCell::imageForIndex(const QModelIndex& index) const
{
    if (_provider) {
        if (auto image = _provider(index))
            return image;
    }
    return _image;
}

QRectF LBImageTextCell::imageFrameForCellFrame(const QRectF& cellFrame, const Image* image)
{
    if (!image)
        return QRectF();
    const QSizeF size = image->size();
    return QRectF(QPointF(cellFrame.x() + 2,
                          cellFrame.y() + std::ceil((cellFrame.height() - size.height()) / 2)),
                  size);
}

QRectF LBImageTextCell::textFrameForCellFrame(const QRectF& cellFrame, const Image* image)
{
    const qreal split = qMin(cellFrame.width(), (image ? image->size().width() : 0) + 3);
    return cellFrame.adjusted(split, 0, 0, 0);
}

void LBImageTextCell::paint(QPainter* painter, const QStyleOptionViewItem& option,
                            const QModelIndex& index) const
{
    const auto image = imageForIndex(index);
    if (!image) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    const QRectF frame = option.rect;
    const qreal split = qMin(frame.width(), image->size().width() + 3);
    const QRectF imagePart(frame.x(), frame.y(), split, frame.height());
    if (option.backgroundBrush.style() != Qt::NoBrush)
        painter->fillRect(imagePart, option.backgroundBrush);
    {
        PainterContext context(painter);
        const QSizeF size = image->size();
        // Its lower edge half its height below the middle of the cell.
        const qreal bottom = frame.y() + std::ceil((frame.height() + size.height()) / 2);
        image->drawInRect(QRectF(QPointF(imagePart.x() + 2, bottom - size.height()), size));
    }
    QStyleOptionViewItem textOption(option);
    textOption.rect = textFrameForCellFrame(frame, image.get()).toRect();
    QStyledItemDelegate::paint(painter, textOption, index);
}

QSize LBImageTextCell::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    const auto image = imageForIndex(index);
    const QSize size = QStyledItemDelegate::sizeHint(option, index);
    return size + QSize(3 + (image ? int(std::ceil(image->size().width())) : 0), 0);
}

void LBImageTextCell::updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                                           const QModelIndex& index) const
{
    const auto image = imageForIndex(index);
    QStyleOptionViewItem textOption(option);
    textOption.rect = textFrameForCellFrame(option.rect, image.get()).toRect();
    QStyledItemDelegate::updateEditorGeometry(editor, textOption, index);
}

// --- LBCenteredTextCell ---

LBCenteredTextCell::LBCenteredTextCell(QObject* parent) : QStyledItemDelegate(parent)
{}

LBCenteredTextCell::~LBCenteredTextCell() = default;

QRectF LBCenteredTextCell::drawingRectForBounds(const QRectF& bounds, const QString& text,
                                                const QFont& font) const
{
    if (_editingOrSelecting)
        return bounds;
    const qreal textHeight =
        QFontMetricsF(font)
            .boundingRect(QRectF(0, 0, bounds.width(), 0), Qt::TextWordWrap, text)
            .height();
    if (textHeight >= bounds.height())
        return bounds;
    return QRectF(bounds.x(), bounds.y() + (bounds.height() - textHeight) / 2, bounds.width(),
                  textHeight);
}

void LBCenteredTextCell::paint(QPainter* painter, const QStyleOptionViewItem& option,
                               const QModelIndex& index) const
{
    QStyleOptionViewItem centred(option);
    initStyleOption(&centred, index);
    // The row's background and selection over the whole frame, the text in the middle.
    QStyleOptionViewItem background(centred);
    background.text.clear();
    const QWidget* widget = option.widget;
    QStyle* style = widget ? widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &background, painter, widget);
    centred.rect = drawingRectForBounds(option.rect, centred.text, centred.font).toRect();
    centred.backgroundBrush = Qt::NoBrush;
    centred.state &= ~QStyle::State_Selected;
    centred.palette.setColor(QPalette::Text, (option.state & QStyle::State_Selected)
                                                 ? option.palette.color(QPalette::HighlightedText)
                                                 : option.palette.color(QPalette::Text));
    style->drawControl(QStyle::CE_ItemViewItem, &centred, painter, widget);
}

void LBCenteredTextCell::updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                                              const QModelIndex& index) const
{
    QStyleOptionViewItem centred(option);
    initStyleOption(&centred, index);
    centred.rect = drawingRectForBounds(option.rect, centred.text, centred.font).toRect();
    // The platform's placement runs with the flag set, so it does not centre again.
    _editingOrSelecting = true;
    QStyledItemDelegate::updateEditorGeometry(editor, centred, index);
    _editingOrSelecting = false;
}

// --- The shared shadow ---

const Shadow& LBCellShadow::sharedShadow()
{
    static const Shadow shadow{QSizeF(0, 1), 4, QColor(0, 0, 0)};
    return shadow;
}

void LBCellShadow::startShadow(const QRectF& bounds)
{
    if (GraphicsContext* context = GraphicsContext::current())
        context->beginShadowedDrawing(sharedShadow(), bounds);
}

void LBCellShadow::stopShadow()
{
    if (GraphicsContext* context = GraphicsContext::current())
        context->endShadowedDrawing();
}

// --- LBTemplateCell ---

LBTemplateCell::LBTemplateCell(QObject* parent) : QStyledItemDelegate(parent)
{}

LBTemplateCell::~LBTemplateCell() = default;

QRectF LBTemplateCell::imageRectForFrame(const QRectF& frame, const QSizeF& imageSize)
{
    return QRectF(frame.x() + (frame.width() - imageSize.width()) / 2,
                  frame.y() + (frame.height() - imageSize.height()) / 2 - 6, imageSize.width(),
                  imageSize.height());
}

QRectF LBTemplateCell::captionRectForFrame(const QRectF& frame)
{
    return QRectF(frame.x(), frame.y() + frame.height() - 18, frame.width(), 14);
}

void LBTemplateCell::drawInteriorWithFrame(QPainter& painter, const QRectF& frame, bool on,
                                           const Image* image, const QString& title,
                                           const QColor& selectionColor) const
{
    if (!image)
        return;
    PainterContext context(&painter);
    const QRectF imageRect = imageRectForFrame(frame, image->size());
    // A white card with a soft drop shadow under the picture.
    fillCard(painter, imageRect);
    image->drawInIntegralRect(imageRect, QRectF(), QPainter::CompositionMode_SourceOver, 1.0);
    if (on) {
        painter.save();
        painter.setPen(QPen(selectionColor, 3));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(imageRect);
        painter.restore();
    }
    painter.save();
    painter.setFont(systemFontOfSize(10));
    painter.setPen(QApplication::palette().color(QPalette::Text));
    painter.drawText(captionRectForFrame(frame), Qt::AlignHCenter | Qt::AlignTop, title);
    painter.restore();
}

void LBTemplateCell::paint(QPainter* painter, const QStyleOptionViewItem& option,
                           const QModelIndex& index) const
{
    const auto fromRow = decorationImage(index);
    const auto image = fromRow ? fromRow : _image;
    const QVariant text = index.data(Qt::DisplayRole);
    drawInteriorWithFrame(*painter, option.rect, option.state & QStyle::State_Selected, image.get(),
                          text.isValid() ? text.toString() : _title,
                          option.palette.color(QPalette::Highlight));
}

// --- LBThumbnailCell ---

LBThumbnailCell::LBThumbnailCell(QObject* parent) : QStyledItemDelegate(parent)
{}

LBThumbnailCell::~LBThumbnailCell() = default;

QRectF LBThumbnailCell::textFrameForCellFrame(const QRectF& frame)
{
    return QRectF(frame.x(), frame.y() + frame.height() - 19, frame.width(), 14);
}

QRectF LBThumbnailCell::roundRectToIntegerBoundaries(const QRectF& rect)
{
    return Image::roundRectToIntegerBoundaries(rect);
}

QRectF LBThumbnailCell::imageRectForFrame(const QRectF& frame, const QSizeF& imageSize) const
{
    QSizeF size = imageSize;
    const qreal larger = qMax(size.width(), size.height());
    if (_maxImageSize != 0 && larger > _maxImageSize)
        size *= _maxImageSize / larger;
    return QRectF(frame.x() + (frame.width() - size.width()) / 2,
                  frame.y() + (frame.height() - size.height()) / 2 - 9, size.width(),
                  size.height());
}

void LBThumbnailCell::drawHeaderWithFrame(QPainter& painter, const QRectF& frame,
                                          const QString& title) const
{
    // The band covers the table's cell spacing too.
    const QRectF band = frame.adjusted(-1, 0, 19, 0);
    QLinearGradient gradient(band.topLeft(), band.bottomLeft());
    gradient.setColorAt(0, Qt::white);
    gradient.setColorAt(1, QColor::fromRgbF(0.85f, 0.85f, 0.85f));
    painter.fillRect(band, gradient);
    const QColor lineColor = QColor::fromRgbF(0.75f, 0.75f, 0.75f);
    painter.fillRect(QRectF(band.x(), frame.y() - 1, band.width() + 20, 1), lineColor);
    painter.fillRect(QRectF(band.x(), frame.y() + frame.height(), band.width() + 20, 1), lineColor);
    if (title.isEmpty())
        return;
    const QRectF caption = textFrameForCellFrame(frame).translated(0, 4).adjusted(0, 0, -20, 0);
    painter.save();
    painter.setFont(systemFontOfSize(10, true));
    painter.setPen(QColor(255, 255, 255, 128));
    painter.drawText(caption.translated(0, 1), Qt::AlignHCenter | Qt::AlignTop, title);
    painter.setPen(QColor::fromRgbF(0.2f, 0.2f, 0.2f));
    painter.drawText(caption, Qt::AlignHCenter | Qt::AlignTop, title);
    painter.restore();
}

void LBThumbnailCell::drawThumbnailWithFrame(QPainter& painter, const QRectF& frame,
                                             const Image& image) const
{
    PainterContext context(&painter);
    const QRectF imageRect = imageRectForFrame(frame, image.size());
    if (!_inhibitBackground)
        fillCard(painter, imageRect);
    image.drawInRect(roundRectToIntegerBoundaries(imageRect));
}

void LBThumbnailCell::paint(QPainter* painter, const QStyleOptionViewItem& option,
                            const QModelIndex& index) const
{
    const QRectF frame = option.rect;
    if (_isHeaderRow || (_headerTest && _headerTest(index))) {
        drawHeaderWithFrame(*painter, frame, index.data(Qt::DisplayRole).toString());
        return;
    }
    std::shared_ptr<Image> image = _provider ? _provider(index) : nullptr;
    if (!image)
        image = decorationImage(index);
    if (!image)
        image = _image;
    if (!image)
        return; // a thumbnail row without a picture draws nothing
    drawThumbnailWithFrame(*painter, frame, *image);
    // The caption as a text cell draws it, in the text frame.
    QStyleOptionViewItem initialised(option);
    initStyleOption(&initialised, index);
    initialised.rect = textFrameForCellFrame(frame).toRect();
    initialised.displayAlignment = Qt::AlignHCenter | Qt::AlignVCenter;
    initialised.features &= ~QStyleOptionViewItem::HasDecoration;
    initialised.icon = QIcon();
    initialised.decorationSize = QSize();
    const QWidget* widget = option.widget;
    QStyle* style = widget ? widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &initialised, painter, widget);
}

void LBThumbnailCell::updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                                           const QModelIndex& index) const
{
    QStyleOptionViewItem textOption(option);
    textOption.rect = textFrameForCellFrame(option.rect).toRect();
    QStyledItemDelegate::updateEditorGeometry(editor, textOption, index);
}
