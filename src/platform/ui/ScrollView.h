#pragma once

// A scrolling frame around one document view (a widget larger than what shows), with an
// optional ruler above and to the left of the visible part. The horizontal ruler spans the
// whole width, the corner above the vertical ruler included; the vertical ruler runs down
// the left side below it. Both sit in the viewport's margins, so the document view is never
// covered. Coordinates of the document view are its own widget pixels.
//
// The ruler class is chosen once for the program (setRulerViewFactory); without a factory
// the rulers are plain platform::RulerView instances.

#include <QPoint>
#include <QRect>
#include <QScrollArea>

#include <functional>

namespace platform {

class RulerView;

class ScrollView : public QScrollArea
{
    Q_OBJECT
public:
    explicit ScrollView(QWidget* parent = nullptr);
    ~ScrollView() override;

    // The scrolled widget; the scroll view takes it over (Qt parent) and keeps its size.
    void setDocumentView(QWidget* view);
    QWidget* documentView() const;

    // The part of the document view that shows, in the document view's coordinates.
    QRect documentVisibleRect() const;
    // Scrolls so that the point of the document view comes to the top-left corner of the
    // visible part, as far as the scroll bars reach.
    void scrollToPoint(const QPoint& point);

    // --- Rulers ---
    // Made on first use by the ruler factory; they show only while rulersVisible() is on.
    RulerView* horizontalRulerView();
    RulerView* verticalRulerView();
    bool hasHorizontalRuler() const { return _hasHorizontalRuler; }
    void setHasHorizontalRuler(bool has);
    bool hasVerticalRuler() const { return _hasVerticalRuler; }
    void setHasVerticalRuler(bool has);
    bool rulersVisible() const { return _rulersVisible; }
    void setRulersVisible(bool visible);
    // Places the rulers again after one of them changed its thickness.
    void tile();

    using RulerViewFactory = std::function<RulerView*(ScrollView*, Qt::Orientation)>;
    // The program's ruler class; an empty factory brings back plain rulers.
    static void setRulerViewFactory(RulerViewFactory factory);

Q_SIGNALS:
    // The visible part of the document view moved or changed its size.
    void boundsDidChange();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    RulerView* makeRuler(Qt::Orientation orientation);

    RulerView* _horizontalRuler = nullptr;
    RulerView* _verticalRuler = nullptr;
    bool _hasHorizontalRuler = false;
    bool _hasVerticalRuler = false;
    bool _rulersVisible = false;
};

} // namespace platform
