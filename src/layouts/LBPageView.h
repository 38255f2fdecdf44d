#pragma once

// The desk on which a document's pages lie, in both modes of its window: equally sized
// pages in a grid of columns, centred in the view, over a textured desk with shaded
// edges, each page filled with the page colour under a drop shadow, and a message at the
// bottom of the desk. It draws no page content: in preview mode the preview controller
// draws the labels into the page rectangles; in design mode the canvases lie over it.
//
// Coordinates are the widget's: pixels, y growing downwards. (Clicks are reported with y
// growing upwards, measured from the bottom edge, as their observers expect.)
//
// Notifications:
// - LBPageViewMouseDown (object: the view; userInfo "MouseLocation": the point string of
//   the click) at every mouse press; the click goes no further.
// - LBPageViewToggleLiveResize (object: &LiveResizeStarted or &LiveResizeEnded, a bool)
//   when the view's size starts changing and when it has stayed the same for
//   LiveResizeSettleMilliseconds; the view redraws after the end.

#include "platform/drawing/Shadow.h"

#include <QColor>
#include <QImage>
#include <QRectF>
#include <QTransform>
#include <QSizeF>
#include <QString>
#include <QWidget>

class PagePreviewController;
class QTimer;
namespace platform {
class GraphicsContext;
}

inline const QString LBPageViewMouseDown = QStringLiteral("LBPageViewMouseDown");
inline const QString LBPageViewToggleLiveResize = QStringLiteral("LBPageViewToggleLiveResize");

class LBPageView : public QWidget
{
    Q_OBJECT
public:
    // The objects of LBPageViewToggleLiveResize.
    static constexpr bool LiveResizeStarted = true;
    static constexpr bool LiveResizeEnded = false;
    // How long the size must stay the same for a live resize to end.
    static constexpr int LiveResizeSettleMilliseconds = 300;
    // The gap between pages that the view's own drawing uses.
    static constexpr double PageGap = 7.0;

    // White pages with their shadow; no pages, no columns.
    explicit LBPageView(QWidget* parent = nullptr);
    ~LBPageView() override;

    // The preview controller that draws the labels; not owned; nullptr in design mode.
    void setCreateController(PagePreviewController* controller) { _createController = controller; }
    PagePreviewController* createController() const { return _createController; }

    // Every page's size (each side cut to whole points), the page count and the number of
    // columns (0 lays out and draws nothing); redraws.
    void setPageSize(const QSizeF& size, qint64 numPages, qint64 numColumns);
    QSizeF pageSize() const { return _pageSize; }
    qint64 numPages() const { return _numPages; }
    qint64 numColumns() const { return _numColumns; }

    QColor pageColor() const { return _pageColor; }
    void setPageColor(const QColor& color);
    // Drawn centred at the bottom of the desk; null for none.
    QString bottomMessageStr() const { return _bottomMessageStr; }
    void setBottomMessageStr(const QString& message);

    // Page n's rectangle (n from 0): pages run left to right, then downwards, the grid
    // centred when it fits and at least 7 points from the left and top edges when not.
    QRectF pageRectForPageNum(qint64 pageNum, double pageGap) const;
    // The area of the last redraw that reached the preview controller.
    QRectF updateRect() const { return _updateRect; }

    // Drawing steps, into the current graphics context.
    // startShadow saves the state and casts the page shadow from what is drawn until
    // stopShadow, which restores the state; `bounds` (optional) is the area drawn.
    void startShadow(const QRectF& bounds = QRectF());
    void stopShadow();
    // The desk: the tiled texture, the shaded edges, the bottom message and, while a
    // document prints and no preview controller draws, "Printing...".
    void drawPageBackgroundForUpdateRect(const QRectF& rect);
    // Fills the page whose top-left corner is at the point with the page colour, under
    // its shadow.
    void drawPageAtPoint(const QPointF& point, const QRectF& forDrawRect, qint64 pageNum);
    // The whole drawing of the update rectangle: nothing without columns; the desk; with
    // a preview controller, the pages and then its labels.
    void drawRect(const QRectF& rect);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void endLiveResize();
    // Draws the page under its shadow from a picture made once for the page's size on the
    // device (every page has the same) and kept: blurring the shadow anew at every paint
    // costs more than the rest of the desk. False where no such picture fits (a turned or
    // sheared device, a page too large to keep), and the page is drawn directly.
    bool drawKeptPage(platform::GraphicsContext& context, const QRectF& page);

    PagePreviewController* _createController = nullptr;
    QSizeF _pageSize;
    qint64 _numPages = 0;
    qint64 _numColumns = 0;
    QRectF _updateRect;
    QColor _pageColor = Qt::white;
    platform::Shadow _shadow;
    QString _bottomMessageStr;
    bool _liveResizing = false;
    QTimer* _liveResizeTimer = nullptr;
    // The kept page picture and what it was made for.
    struct KeptPage
    {
        QImage image; // of a page shorter by the cut, its shadow around it
        int margin = 0; // device pixels of shadow room around the page
        QSize cut;      // device pixels the page is longer than the picture's
        QSizeF pageSize;
        QColor pageColor;
        QTransform scale; // the device's scale (no translation)
        QPointF fraction; // where the page's corner falls inside its device pixel
        int renderHints = 0;
    };
    KeptPage _keptPage;
};
