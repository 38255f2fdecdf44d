#include "inspector/HUDWindow.h"

#include "inspector/HUDWindowController.h"
#include "platform/core/NotificationCenter.h"
#include "platform/core/UserDefaults.h"
#include "platform/drawing/Bundle.h"
#include "platform/drawing/Image.h"
#include "platform/ui/WindowController.h"

#include <QAction>
#include <QApplication>
#include <QEvent>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QWindow>

namespace {

std::shared_ptr<platform::Image> named(const QString& name)
{
    return platform::Image::imageNamed(name);
}

QPixmap pixmapNamed(const QString& name, qreal ratio)
{
    // Drawn at twice the screen's density at least, so stretched parts stay crisp.
    return platform::Bundle().pixmapNamed(name, std::max<qreal>(2.0, ratio));
}

// Draws a named picture into a rectangle (stretched) at an opacity.
void drawImage(QPainter& painter, const QString& name, const QRectF& rect, double opacity = 1.0)
{
    const auto image = named(name);
    if (!image || rect.isEmpty())
        return;
    painter.save();
    painter.setOpacity(opacity);
    painter.drawPixmap(rect, pixmapNamed(name, painter.device()->devicePixelRatioF()), QRectF());
    painter.restore();
}

QSizeF imageSize(const QString& name)
{
    const auto image = named(name);
    return image ? image->size() : QSizeF();
}

} // namespace

// --- HUDWindow ---

HUDWindow::HUDWindow(QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::NoDropShadowWindowHint)
{
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_DeleteOnClose, false);
    platform::WindowController::forwardMenuKeysFromFields(this);
}

void HUDWindow::setTransientParentWidget(QWidget* window)
{
    if (!windowHandle())
        create();
    QWindow* parent = window ? window->window()->windowHandle() : nullptr;
    windowHandle()->setTransientParent(parent);
}

bool HUDWindow::isKeyWindow() const
{
    return isActiveWindow();
}

void HUDWindow::keyPressEvent(QKeyEvent* event)
{
    if (platform::WindowController::performKeyEquivalentInMainWindow(event))
        event->accept();
    else
        QWidget::keyPressEvent(event);
}

void HUDWindow::changeEvent(QEvent* event)
{
    // The title row changes with the key state.
    if (event->type() == QEvent::ActivationChange)
        update();
    QWidget::changeEvent(event);
}

// --- HUDContentView ---

HUDContentView::HUDContentView(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_TranslucentBackground);
}

void HUDContentView::setCollapsed(bool collapsed)
{
    _collapsed = collapsed;
    update();
}

void HUDContentView::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    painter.setCompositionMode(QPainter::CompositionMode_Clear);
    painter.fillRect(event->rect(), Qt::transparent);
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    if (_collapsed) {
        const QSizeF size = imageSize(QStringLiteral("HUDCollapsed"));
        drawImage(painter, QStringLiteral("HUDCollapsed"), QRectF(QPointF(0, 0), size));
        return;
    }
    const bool key = _keyOverride >= 0 ? _keyOverride == 1 : isActiveWindow();
    const QString suffix = key ? QString() : QStringLiteral("2");
    const QRectF b = rect();
    const QSizeF tl = imageSize(QStringLiteral("HUDTopLeft") + suffix);
    const QSizeF tr = imageSize(QStringLiteral("HUDTopRight") + suffix);
    const QSizeF bl = imageSize(QStringLiteral("HUDBottomLeft"));
    const QSizeF br = imageSize(QStringLiteral("HUDBottomRight"));
    const double body = 0.953;
    const QRectF topLeft(b.left(), b.top(), tl.width(), tl.height());
    const QRectF topRight(b.right() + 1 - tr.width(), b.top(), tr.width(), tr.height());
    const QRectF bottomLeft(b.left(), b.bottom() + 1 - bl.height(), bl.width(), bl.height());
    const QRectF bottomRight(b.right() + 1 - br.width(), b.bottom() + 1 - br.height(), br.width(),
                             br.height());
    const QRectF dirty = event->rect();
    const auto part = [&](const QString& name, const QRectF& r, double opacity) {
        if (r.intersects(dirty))
            drawImage(painter, name, r, opacity);
    };
    part(QStringLiteral("HUDTopLeft") + suffix, topLeft, 1.0);
    part(QStringLiteral("HUDTopRight") + suffix, topRight, 1.0);
    part(QStringLiteral("HUDTopCenter") + suffix,
         QRectF(topLeft.right(), b.top(), topRight.left() - topLeft.right(), tl.height()), 1.0);
    part(QStringLiteral("HUDBottomLeft"), bottomLeft, body);
    part(QStringLiteral("HUDBottomRight"), bottomRight, body);
    part(QStringLiteral("HUDBottomCenter"),
         QRectF(bottomLeft.right(), bottomLeft.top(), bottomRight.left() - bottomLeft.right(),
                bl.height()),
         body);
    const double middleTop = topLeft.bottom();
    const double middleHeight = bottomLeft.top() - middleTop;
    const QSizeF ml = imageSize(QStringLiteral("HUDMiddleLeft"));
    const QSizeF mr = imageSize(QStringLiteral("HUDMiddleRight"));
    part(QStringLiteral("HUDMiddleLeft"), QRectF(b.left(), middleTop, ml.width(), middleHeight),
         body);
    part(QStringLiteral("HUDMiddleRight"),
         QRectF(b.right() + 1 - mr.width(), middleTop, mr.width(), middleHeight), body);
    part(
        QStringLiteral("HUDMiddleCenter"),
        QRectF(b.left() + ml.width(), middleTop, b.width() - ml.width() - mr.width(), middleHeight),
        body);
}

void HUDContentView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        _pressedAt = event->position().toPoint();
    QWidget::mousePressEvent(event);
}

void HUDContentView::mouseMoveEvent(QMouseEvent* event)
{
    // Dragging the background moves the panel. The window manager takes over once the drag
    // has begun: handed over at the press, a plain click left some window managers moving
    // the panel with the pointer until the next click.
    if (_pressedAt && (event->buttons() & Qt::LeftButton)
        && (event->position().toPoint() - *_pressedAt).manhattanLength()
               >= QApplication::startDragDistance()) {
        _pressedAt.reset();
        if (window()->windowHandle())
            window()->windowHandle()->startSystemMove();
    }
    QWidget::mouseMoveEvent(event);
}

void HUDContentView::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        _pressedAt.reset();
    QWidget::mouseReleaseEvent(event);
}

void HUDContentView::mouseDoubleClickEvent(QMouseEvent* event)
{
    platform::NotificationCenter::defaultCenter().post(LBCollapseInspectorNotification, this);
    event->accept();
}

// --- HUDTextPopUpButton ---

HUDTextPopUpButton::HUDTextPopUpButton(bool pullsDown, QWidget* parent)
    : QPushButton(parent), _pullsDown(pullsDown), _menu(new QMenu(this))
{
    _arrowImage =
        named(pullsDown ? QStringLiteral("HUDPullDownArrow") : QStringLiteral("HUDPopUpArrow"));
    setFlat(true);
    setFocusPolicy(Qt::NoFocus);
    setFixedHeight(16);
    connect(_menu, &QMenu::triggered, this, [this](QAction* item) {
        if (!_pullsDown)
            selectItemWithTag(item->data().toInt());
        Q_EMIT itemChosen(item);
    });
    connect(this, &QPushButton::clicked, this, [this] {
        QAction* at = _pullsDown ? nullptr : _selected;
        _menu->popup(mapToGlobal(QPoint(0, height())), at);
    });
}

void HUDTextPopUpButton::removeAllItems()
{
    _selected = nullptr;
    _menu->clear(); // deletes the items it owns
    fitToTitle();
}

QAction* HUDTextPopUpButton::addItem(const QString& title, int tag)
{
    QAction* item = _menu->addAction(title);
    item->setData(tag);
    // The keys are shown, the Inspector menu acts on them.
    item->setShortcutContext(Qt::WidgetShortcut);
    return item;
}

QList<QAction*> HUDTextPopUpButton::items() const
{
    return _menu->actions();
}

QAction* HUDTextPopUpButton::itemWithTag(int tag) const
{
    for (QAction* item : _menu->actions())
        if (!item->isSeparator() && item->data().toInt() == tag)
            return item;
    return nullptr;
}

bool HUDTextPopUpButton::selectItemWithTag(int tag)
{
    QAction* item = itemWithTag(tag);
    if (item)
        _selected = item;
    fitToTitle();
    update();
    return item != nullptr;
}

int HUDTextPopUpButton::selectedTag() const
{
    return _selected ? _selected->data().toInt() : -1;
}

QFont HUDTextPopUpButton::titleFont() const
{
    QFont font = this->font();
    font.setBold(true);
    font.setPixelSize(10);
    return font;
}

int HUDTextPopUpButton::neededWidth() const
{
    if (_pullsDown || !_selected)
        return 0;
    const int arrow = _arrowImage ? qRound(_arrowImage->size().width()) : 0;
    return QFontMetrics(titleFont()).horizontalAdvance(_selected->text()) + 7 + arrow;
}

void HUDTextPopUpButton::fitToTitle()
{
    // Sized here, when the title changes, around the button's centre; never while painting.
    const int needed = neededWidth();
    if (needed <= 0 || needed == width())
        return;
    const int difference = needed - width();
    setGeometry(x() - difference / 2, y(), needed, height());
}

void HUDTextPopUpButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QSizeF arrow = _arrowImage ? _arrowImage->size() : QSizeF();
    const auto drawArrow = [&](double x) {
        if (_arrowImage)
            painter.drawPixmap(QRectF(QPointF(x, (height() - arrow.height()) / 2.0), arrow),
                               pixmapNamed(_pullsDown ? QStringLiteral("HUDPullDownArrow")
                                                      : QStringLiteral("HUDPopUpArrow"),
                                           devicePixelRatioF()),
                               QRectF());
    };
    if (_pullsDown) {
        drawArrow(0.0);
        return;
    }
    if (!_selected)
        return;
    painter.setFont(titleFont());
    painter.setPen(Qt::white);
    const QString title = _selected->text();
    const int titleWidth = QFontMetrics(titleFont()).horizontalAdvance(title);
    painter.drawText(QRectF(_titleOffset, 0, titleWidth + 1, height()),
                     Qt::AlignLeft | Qt::AlignVCenter, title);
    drawArrow(titleWidth + 7 + _titleOffset);
}

// --- HUDResizeBox ---

HUDResizeBox::HUDResizeBox(QWidget* parent) : QWidget(parent)
{
    setFixedSize(20, 30);
    setCursor(Qt::SizeFDiagCursor);
}

QRectF HUDResizeBox::resizedFrame(const QRectF& frame, const QPointF& mouse,
                                  const QPointF& pressOffset, double xOffset)
{
    // pressOffset: x from the window's left edge, y up from its bottom edge.
    const double width = std::max(minimumWidth, mouse.x() - frame.x() + xOffset);
    const double height = std::max(minimumHeight, mouse.y() + pressOffset.y() - frame.top());
    return QRectF(frame.x(), frame.top(), width, height);
}

void HUDResizeBox::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QString name = QStringLiteral("HUDResizeIcon");
    drawImage(painter, name,
              QRectF(QPointF(2, height() - 14 - imageSize(name).height()), imageSize(name)));
}

void HUDResizeBox::mousePressEvent(QMouseEvent* event)
{
    const QRectF frame = window()->frameGeometry();
    const QPointF global = event->globalPosition();
    _initialLocation = QPointF(global.x() - frame.x(), frame.bottom() + 1 - global.y());
    _xOffset = frame.right() + 1 - global.x();
    _shouldResize = true;
    event->accept();
}

void HUDResizeBox::mouseMoveEvent(QMouseEvent* event)
{
    if (!_shouldResize)
        return QWidget::mouseMoveEvent(event);
    const QRectF frame =
        resizedFrame(window()->geometry(), event->globalPosition(), _initialLocation, _xOffset);
    window()->setGeometry(frame.toRect());
    window()->update();
}

void HUDResizeBox::mouseReleaseEvent(QMouseEvent* event)
{
    _shouldResize = false;
    QWidget::mouseReleaseEvent(event);
    platform::UserDefaults& defaults = platform::UserDefaults::standardUserDefaults();
    defaults.setFloat(window()->width(), QStringLiteral("LBFontPreviewWindowWidth"));
    defaults.setFloat(window()->height(), QStringLiteral("LBFontPreviewWindowHeight"));
}
