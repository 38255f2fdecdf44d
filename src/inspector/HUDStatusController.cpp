#include "inspector/HUDStatusController.h"

#include "controls/LBImageButton.h"
#include "graphics/LBProcessState.h"
#include "inspector/HUDControls.h"
#include "inspector/HUDWindow.h"

namespace {

QWidget* statusView(const QString& text, const QSize& size)
{
    auto* view = new QWidget;
    view->resize(size);
    auto* label = new HUDLabel(text, view);
    label->setWordWrap(true);
    label->setGeometry(26, 4, size.width() - 32, size.height() - 8);
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    return view;
}

} // namespace

HUDStatusController::HUDStatusController(qint64 windowType, QObject* parent)
    : QObject(parent), _windowType(windowType)
{}

void HUDStatusController::loadWindow() const
{
    if (_window)
        return;
    _window = new HUDWindow;
    _contentView = new HUDContentView(_window);
    _bezierView = statusView(tr("Click to add points; double-click or press Escape to finish "
                                "the line."),
                             QSize(260, 44));
    _groupView =
        statusView(tr("Editing inside a group. Click outside it to leave."), QSize(260, 36));
    _closeButton =
        new LBImageButton(QStringLiteral("HUDCloseButton|HUDCloseButton1"), _contentView);
    _closeButton->setGeometry(6, 6, 14, 14);
    connect(_closeButton, &QAbstractButton::clicked, this,
            [this] { const_cast<HUDStatusController*>(this)->close(); });

    // The window takes the size of the view of its kind.
    QWidget* view = shownView();
    _window->resize(view->size());
    _contentView->resize(view->size());
    view->setParent(_contentView);
    view->move(0, 0);
    view->show();
    _closeButton->raise();
    _contentView->setCollapsed(false);
}

HUDStatusController::~HUDStatusController()
{
    if (LBProcessState::curveStatusWindow() == this)
        LBProcessState::setCurveStatusWindow(nullptr);
    // The view of the other kind was never put into the window.
    delete (_windowType == PathWindow ? _groupView : _bezierView);
    delete _window;
}

QWidget* HUDStatusController::window() const
{
    loadWindow();
    return _window;
}

QWidget* HUDStatusController::shownView() const
{
    loadWindow();
    return _windowType == PathWindow ? _bezierView : _groupView;
}

QSize HUDStatusController::frameSize() const
{
    loadWindow();
    return _window->size();
}

void HUDStatusController::showAtScreenPoint(const QPoint& topLeft)
{
    loadWindow();
    _window->move(topLeft);
    _window->show();
    _window->raise();
}

void HUDStatusController::close()
{
    if (_window)
        _window->hide();
}
