#pragma once

// The region a layout manager lays its text into: a rectangle of containerSize with its
// origin at the top left; lines run from the top down and stop at the first line that
// would cross the bottom edge. Each line keeps lineFragmentPadding free at both ends.
// A container may show its text in one TextView, which it tells about what changes.

#include <QSizeF>

namespace platform {

class LayoutManager;
class TextView;

class TextContainer
{
public:
    explicit TextContainer(const QSizeF& size = QSizeF(10000000, 10000000));
    TextContainer(const TextContainer&) = delete;
    TextContainer& operator=(const TextContainer&) = delete;
    ~TextContainer();

    QSizeF containerSize() const { return _size; }
    void setContainerSize(const QSizeF& size);

    qreal lineFragmentPadding() const { return _lineFragmentPadding; }
    void setLineFragmentPadding(qreal padding);

    // The layout manager that owns this container, or null.
    LayoutManager* layoutManager() const { return _layoutManager; }

    // The view showing the container's text, or null; set by TextView when it joins the
    // container (a container has one view at a time).
    TextView* textView() const { return _textView; }

private:
    friend class LayoutManager;
    friend class TextView;
    TextView* _textView = nullptr;
    QSizeF _size;
    qreal _lineFragmentPadding = 5;
    LayoutManager* _layoutManager = nullptr;
};

} // namespace platform
