#pragma once

// The design canvas in a window's responder chain: the commands the canvas runs on its
// own selection, answered while the canvas (or a widget inside it) has the focus. One per
// canvas, made on first use and owned by the canvas (a child object).

#include "platform/ui/Responder.h"

#include <QObject>
#include <QStringList>

class LBGraphicView;
class QWidget;

class CanvasResponder : public QObject, public platform::Responder
{
    Q_OBJECT
public:
    // The canvas's responder, made on first use; nullptr for a widget that is no canvas.
    static CanvasResponder* forWidget(QWidget* widget);

    LBGraphicView* canvas() const { return _canvas; }
    // The canvas validates its own items (its selection decides).
    bool validateMenuItem(QAction* item) override;
    // What cropping the selection would do: 0 nothing, 1 crop, 2 uncrop; and cropping
    // with a shape: 0 nothing, 1 with a closed shape, 2 with a text box.
    qint64 cropUncropCommandType() const;
    qint64 cropWithShapeCommandType() const;
    // The selectors the canvas answers (the window passes them on in design mode).
    static const QStringList& canvasSelectors();

private:
    explicit CanvasResponder(LBGraphicView* canvas);

    LBGraphicView* _canvas;
};
