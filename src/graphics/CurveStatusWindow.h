#pragma once

// The small status window shown while a curve is drawn point by point (the inspector's
// status controller of the path-editing kind implements it). One serves every canvas; the
// canvas finds it through LBProcessState::curveStatusWindow(), which subsystem 8 sets from
// above, and shows nothing while there is none.

#include <QPoint>
#include <QSize>

class CurveStatusWindow
{
public:
    virtual ~CurveStatusWindow() = default;

    // The window's size on screen.
    virtual QSize frameSize() const = 0;
    // Puts the window's top-left corner at the screen point and shows it.
    virtual void showAtScreenPoint(const QPoint& topLeft) = 0;
    virtual void close() = 0;
};
