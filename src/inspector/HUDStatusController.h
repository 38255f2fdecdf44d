#pragma once

// The canvas's small dark status window: while a curve is drawn point by point (path
// kind) or while a group is entered (group kind). It shows a line of help and a close
// button.

#include "graphics/CurveStatusWindow.h"

#include <QObject>

class HUDContentView;
class HUDWindow;
class LBImageButton;
class QWidget;

class HUDStatusController : public QObject, public CurveStatusWindow
{
    Q_OBJECT
public:
    enum WindowType : qint64 { PathWindow = 1, GroupWindow = 2 };

    explicit HUDStatusController(qint64 windowType, QObject* parent = nullptr);
    ~HUDStatusController() override;

    qint64 windowType() const { return _windowType; }
    QWidget* window() const;
    // The view shown: the bezier view for the path kind, the group view otherwise.
    QWidget* shownView() const;

    // CurveStatusWindow
    QSize frameSize() const override;
    void showAtScreenPoint(const QPoint& topLeft) override;
    void close() override;

private:
    // Makes the window and its views the first time.
    void loadWindow() const;

    qint64 _windowType = PathWindow;
    mutable HUDWindow* _window = nullptr;
    mutable HUDContentView* _contentView = nullptr;
    mutable QWidget* _bezierView = nullptr;
    mutable QWidget* _groupView = nullptr;
    mutable LBImageButton* _closeButton = nullptr;
};
