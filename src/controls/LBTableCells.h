#pragma once

// Cells of tables, matrices and lists: an icon before the text, text centred vertically,
// a framed preview with a caption, a thumbnail with a caption or a header row. Each is an
// item delegate drawing the cell's frame (y down) as the cell does, and placing its field
// editor on the text part.
//
// The framed preview and the thumbnail share a soft drop shadow (black, 1 point down,
// blur 4) cast through the current graphics context: startShadow() begins it over the
// area to be drawn, stopShadow() ends it.

#include <QStyledItemDelegate>

#include <functional>
#include <memory>

namespace platform {
class Image;
struct Shadow;
} // namespace platform

class LBImageTextCell : public QStyledItemDelegate
{
    Q_OBJECT
public:
    explicit LBImageTextCell(QObject* parent = nullptr);
    ~LBImageTextCell() override;

    // The icon of every row, unless a provider gives a row its own.
    std::shared_ptr<platform::Image> image() const { return _image; }
    void setImage(const std::shared_ptr<platform::Image>& image) { _image = image; }
    using ImageProvider = std::function<std::shared_ptr<platform::Image>(const QModelIndex&)>;
    void setImageProvider(ImageProvider provider) { _provider = std::move(provider); }

    // The icon's frame in a cell: 2 points in, centred down it; the zero rectangle without
    // an icon.
    static QRectF imageFrameForCellFrame(const QRectF& cellFrame, const platform::Image* image);
    // The text part: the frame less the icon and 3 points (3 points alone without an icon).
    static QRectF textFrameForCellFrame(const QRectF& cellFrame, const platform::Image* image);

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const override;

private:
    std::shared_ptr<platform::Image> imageForIndex(const QModelIndex& index) const;

    std::shared_ptr<platform::Image> _image;
    ImageProvider _provider;
};

class LBCenteredTextCell : public QStyledItemDelegate
{
    Q_OBJECT
public:
    explicit LBCenteredTextCell(QObject* parent = nullptr);
    ~LBCenteredTextCell() override;

    // The platform's text rectangle, lowered to the text's height and moved down by half
    // the difference when the text is lower, unless the cell is being edited (the editor's
    // own placement must not shift it again).
    QRectF drawingRectForBounds(const QRectF& bounds, const QString& text, const QFont& font) const;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const override;

private:
    mutable bool _editingOrSelecting = false;
};

// The shadow the preview cells share.
class LBCellShadow
{
public:
    static const platform::Shadow& sharedShadow();
    // Begins (over `bounds`) and ends the shadowed drawing in the current context;
    // nothing without one.
    static void startShadow(const QRectF& bounds);
    static void stopShadow();
};

class LBTemplateCell : public QStyledItemDelegate
{
    Q_OBJECT
public:
    explicit LBTemplateCell(QObject* parent = nullptr);
    ~LBTemplateCell() override;

    // The cell's picture and caption; a row's decoration (a QImage) and display text, when
    // it has them, take their place.
    void setImage(const std::shared_ptr<platform::Image>& image) { _image = image; }
    std::shared_ptr<platform::Image> image() const { return _image; }
    void setTitle(const QString& title) { _title = title; }
    QString title() const { return _title; }

    static const platform::Shadow& sharedShadow() { return LBCellShadow::sharedShadow(); }
    static void startShadow(const QRectF& bounds) { LBCellShadow::startShadow(bounds); }
    static void stopShadow() { LBCellShadow::stopShadow(); }

    // The picture's rectangle: its size, centred across the frame, centred down it and
    // raised 6 points.
    static QRectF imageRectForFrame(const QRectF& frame, const QSizeF& imageSize);
    static QRectF captionRectForFrame(const QRectF& frame);
    // Draws into the current graphics context: the white card with its shadow, the
    // picture, the selection frame when on, the caption. Nothing without a picture.
    void drawInteriorWithFrame(QPainter& painter, const QRectF& frame, bool on,
                               const platform::Image* image, const QString& title,
                               const QColor& selectionColor) const;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;

private:
    std::shared_ptr<platform::Image> _image;
    QString _title;
};

class LBThumbnailCell : public QStyledItemDelegate
{
    Q_OBJECT
public:
    explicit LBThumbnailCell(QObject* parent = nullptr);
    ~LBThumbnailCell() override;

    // The picture of every row, unless a provider gives a row its own.
    void setImage(const std::shared_ptr<platform::Image>& image) { _image = image; }
    std::shared_ptr<platform::Image> image() const { return _image; }
    using ImageProvider = std::function<std::shared_ptr<platform::Image>(const QModelIndex&)>;
    void setImageProvider(ImageProvider provider) { _provider = std::move(provider); }
    // The largest side a picture is drawn at (80 until set; 0: no limit).
    void setMaxImageSize(qreal size) { _maxImageSize = size; }
    qreal maxImageSize() const { return _maxImageSize; }
    // Off: no white card behind the picture.
    void setDrawsBackground(bool draws) { _inhibitBackground = !draws; }
    bool drawsBackground() const { return !_inhibitBackground; }
    bool isHeaderRow() const { return _isHeaderRow; }
    void setIsHeaderRow(bool header) { _isHeaderRow = header; }
    // Rows for which the header look is used, besides the cell's own flag.
    using HeaderTest = std::function<bool(const QModelIndex&)>;
    void setHeaderTest(HeaderTest test) { _headerTest = std::move(test); }

    static const platform::Shadow& sharedShadow() { return LBCellShadow::sharedShadow(); }
    static void startShadow(const QRectF& bounds) { LBCellShadow::startShadow(bounds); }
    static void stopShadow() { LBCellShadow::stopShadow(); }

    static QRectF textFrameForCellFrame(const QRectF& frame);
    static QRectF roundRectToIntegerBoundaries(const QRectF& rect);
    // The picture's rectangle: scaled down to the largest size, centred in the frame,
    // raised 9 points.
    QRectF imageRectForFrame(const QRectF& frame, const QSizeF& imageSize) const;

    // Into the current graphics context, y down.
    void drawHeaderWithFrame(QPainter& painter, const QRectF& frame, const QString& title) const;
    void drawThumbnailWithFrame(QPainter& painter, const QRectF& frame,
                                const platform::Image& image) const;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const override;

private:
    std::shared_ptr<platform::Image> _image;
    ImageProvider _provider;
    HeaderTest _headerTest;
    qreal _maxImageSize = 80;
    bool _inhibitBackground = false;
    bool _isHeaderRow = false;
};
