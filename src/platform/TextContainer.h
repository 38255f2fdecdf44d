#pragma once

// The region a layout manager lays its text into: a rectangle of containerSize with its
// origin at the top left; lines run from the top down and stop at the first line that
// would cross the bottom edge. Each line keeps lineFragmentPadding free at both ends.

#include <QSizeF>

namespace platform {

class LayoutManager;

class TextContainer
{
public:
    explicit TextContainer(const QSizeF& size = QSizeF(10000000, 10000000));
    TextContainer(const TextContainer&) = delete;
    TextContainer& operator=(const TextContainer&) = delete;

    QSizeF containerSize() const { return m_size; }
    void setContainerSize(const QSizeF& size);

    qreal lineFragmentPadding() const { return m_lineFragmentPadding; }
    void setLineFragmentPadding(qreal padding);

    // The layout manager that owns this container, or null.
    LayoutManager* layoutManager() const { return m_layoutManager; }

private:
    friend class LayoutManager;
    QSizeF m_size;
    qreal m_lineFragmentPadding = 5;
    LayoutManager* m_layoutManager = nullptr;
};

} // namespace platform
