#include "platform/ui/PreferencesWindow.h"

#include "platform/drawing/Bundle.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QIcon>
#include <QScreen>
#include <QStackedWidget>
#include <QToolBar>
#include <QVBoxLayout>

#include <algorithm>

namespace platform {

PreferencePane::~PreferencePane() = default;

PreferencesWindow::PreferencesWindow(int width, QWidget* parent)
    : QWidget(parent, Qt::Window),
      _width(width),
      _toolbar(new QToolBar(this)),
      _group(new QActionGroup(this)),
      _stack(new QStackedWidget(this))
{
    _toolbar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    _toolbar->setMovable(false);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(_toolbar);
    layout->addWidget(_stack);
    setFixedWidth(width);
}

PreferencesWindow::~PreferencesWindow() = default;

void PreferencesWindow::addPreferencePaneNamed(const QString& identifier, Factory factory,
                                               const QString& imageName, const QString& label,
                                               const QString& toolTip)
{
    auto entry = std::make_shared<Entry>();
    entry->factory = std::move(factory);
    entry->label = label;
    entry->action = new QAction(label, _group);
    entry->action->setCheckable(true);
    entry->action->setToolTip(toolTip);
    const QPixmap image = Bundle().pixmapNamed(imageName, devicePixelRatioF());
    if (!image.isNull())
        entry->action->setIcon(QIcon(image));
    connect(entry->action, &QAction::triggered, this,
            [this, identifier] { selectPaneNamed(identifier); });
    if (!_entries.contains(identifier))
        _added.append(identifier);
    _entries.insert(identifier, entry);
    rebuildToolbar();
}

void PreferencesWindow::setDisplayOrder(const QStringList& identifiers)
{
    _order = identifiers;
    rebuildToolbar();
}

QStringList PreferencesWindow::displayOrder() const
{
    QStringList order;
    for (const QString& identifier : _order) {
        if (_entries.contains(identifier) && !order.contains(identifier))
            order.append(identifier);
    }
    for (const QString& identifier : _added) {
        if (!order.contains(identifier))
            order.append(identifier);
    }
    return order;
}

void PreferencesWindow::rebuildToolbar()
{
    _toolbar->clear();
    for (const QString& identifier : displayOrder())
        _toolbar->addAction(_entries.value(identifier)->action);
}

void PreferencesWindow::setWindowTitleFormat(const QString& format)
{
    _titleFormat = format;
    if (const auto entry = _entries.value(_selected))
        setWindowTitle(QString(_titleFormat).replace(QStringLiteral("%@"), entry->label));
}

void PreferencesWindow::showWindow()
{
    if (_selected.isEmpty() && !displayOrder().isEmpty())
        selectPaneNamed(displayOrder().first());
    // Left to itself the window manager may put it in a corner of the screen, partly off it
    // once a taller pane is chosen. Later showings keep where the user moved it.
    if (!_placed) {
        _placed = true;
        const QWidget* front = QApplication::activeWindow();
        const QScreen* screen = front ? front->screen() : QGuiApplication::primaryScreen();
        if (screen) {
            const QRect free = screen->availableGeometry();
            move(free.x() + (free.width() - width()) / 2,
                 free.y() + std::max(0, (free.height() - height()) / 3));
        }
    }
    show();
    raise();
    activateWindow();
}

bool PreferencesWindow::selectPaneNamed(const QString& identifier)
{
    const std::shared_ptr<Entry> entry = _entries.value(identifier);
    if (!entry)
        return false;
    if (!entry->pane) {
        entry->pane = entry->factory ? entry->factory() : nullptr;
        if (!entry->pane)
            return false;
        entry->pane->_mainView = entry->pane->loadMainView();
        if (!entry->pane->_mainView)
            entry->pane->_mainView = new QWidget;
        _stack->addWidget(entry->pane->_mainView);
        entry->pane->mainViewDidLoad();
    }
    entry->pane->willSelect();
    _selected = identifier;
    entry->action->setChecked(true);
    _stack->setCurrentWidget(entry->pane->mainView());
    setWindowTitle(QString(_titleFormat).replace(QStringLiteral("%@"), entry->label));
    // As tall as the pane asks, at the window's own width.
    const int height = _toolbar->sizeHint().height() + entry->pane->mainView()->sizeHint().height();
    setFixedSize(_width, height);
    return true;
}

PreferencePane* PreferencesWindow::pane(const QString& identifier) const
{
    const std::shared_ptr<Entry> entry = _entries.value(identifier);
    return entry ? entry->pane.get() : nullptr;
}

} // namespace platform
