#include "window/LBDrawerController.h"

#include "canvas/LBGraphicView.h"
#include "controls/LBColorView.h"
#include "controls/LBDrawerBarView.h"
#include "controls/LBGradientButton.h"
#include "document/LBDocument.h"
#include "platform/core/NotificationCenter.h"
#include "platform/core/Strings.h"
#include "platform/core/TextForms.h"
#include "platform/core/UserDefaults.h"
#include "platform/drawing/Image.h"
#include "shapes/LBImage.h"
#include "window/DrawerBrowser.h"
#include "window/LBWindowController.h"

#include <QEvent>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

namespace {

const QString SelectionKey = QStringLiteral("Graphics Drawer Selection");
const QString OpenKey = QStringLiteral("Graphics Drawer Open");

platform::UserDefaults& defaults()
{
    return platform::UserDefaults::standardUserDefaults();
}

// The tabs in their array order, with their modes and pictures.
struct Tab
{
    qint64 mode;
    const char* picture;
};
constexpr Tab tabs[6] = {{0, "DrawerTabShapes"}, {3, "DrawerTabArtwork"},   {2, "DrawerTabPhotos"},
                         {4, "DrawerTabText"},   {5, "DrawerTabFavorites"}, {6, "DrawerTabFields"}};
// Left to right in the tab bar: shapes, kits, photos, text, fields, favourites.
constexpr int barOrder[6] = {0, 1, 2, 3, 5, 4};

int tabIndexOfMode(qint64 mode)
{
    for (int i = 0; i < 6; ++i) {
        if (tabs[i].mode == mode)
            return i;
    }
    return -1;
}

// Resizes the drawer's tabs with its view.
class ResizeWatcher : public QObject
{
public:
    ResizeWatcher(LBDrawerController* drawer, QObject* parent) : QObject(parent), _drawer(drawer) {}
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Resize)
            _drawer->drawerResized();
        return false;
    }

private:
    LBDrawerController* _drawer;
};

} // namespace

LBDrawerController::LBDrawerController()
{
    buildView();
    // Waking: shapes unless a photo or kit selection is stored.
    _mode = -1;
    const qint64 stored = defaults().integerForKey(SelectionKey);
    setMode(stored >= 0 && stored <= 3 ? stored : 0);
    _okToSetOutlineHeightFromPrefs = true;
    for (LBGradientButton* tab : _tabs) {
        tab->cell()->setDrawRightDivider(true);
        tab->cell()->setDrawLeftDivider(false);
    }
    _highlightObserver = platform::NotificationCenter::defaultCenter().addObserver(
        LBGradientButtonHighlightChanged, nullptr, [this](const platform::Notification& n) {
            drawerButtonHighlightChanged(n.objectAs<LBGradientButtonCell>());
        });
}

LBDrawerController::~LBDrawerController()
{
    _highlightObserver.reset();
    setMode(-1);
    for (std::unique_ptr<DrawerBrowser>& browser : _browsers) {
        if (browser && browser->mainView())
            browser->mainView()->setParent(nullptr);
        browser.reset();
    }
    removeDarkLine();
    delete _view;
}

void LBDrawerController::buildView()
{
    _view = new QWidget;
    _view->resize(250, 500);
    _tabBar = new QWidget(_view);
    _tabBar->setGeometry(0, 0, 250, 28);
    for (int i = 0; i < 6; ++i) {
        auto* tab = new LBGradientButton(_tabBar);
        tab->setImage(platform::Image::imageNamed(QLatin1String(tabs[i].picture)));
        tab->setFocusPolicy(Qt::NoFocus);
        connect(tab, &QAbstractButton::clicked, this, [this, tab] { toolButtonAction(tab); });
        _tabs[size_t(i)] = tab;
    }
    _barView = new LBDrawerBarView(_view);
    _barView->setGeometry(0, 28, 250, 20);
    _photoHelpText = new QLabel(_view);
    _photoHelpText->setWordWrap(true);
    _photoHelpText->resize(150, 30);
    _photoHelpText->hide();
    _photoOptionsPullDown = new QPushButton(_view);
    _photoOptionsPullDown->setGeometry(0, 28, 24, 20);
    _photoOptionsPullDown->hide();
    _view->installEventFilter(new ResizeWatcher(this, this));
    drawerResized();
}

QString LBDrawerController::barTitle(qint64 mode)
{
    const char* title = nullptr;
    switch (mode) {
    case 0: title = "Shapes"; break;
    case 2: title = "Photos"; break;
    case 3: title = "Artwork"; break;
    case 4: title = "Text"; break;
    case 5: title = "Favorites"; break;
    case 6: title = "Fields"; break;
    default: return QString();
    }
    return platform::LocalizedString(QLatin1String(title), {});
}

DrawerBrowser* LBDrawerController::browser(qint64 mode) const
{
    return mode >= 0 && mode < 7 ? _browsers[size_t(mode)].get() : nullptr;
}

LBGradientButton* LBDrawerController::tabButton(qint64 mode) const
{
    const int index = tabIndexOfMode(mode);
    return index < 0 ? nullptr : _tabs[size_t(index)];
}

qint64 LBDrawerController::modeOfTabButton(const QObject* button) const
{
    for (int i = 0; i < 6; ++i) {
        if (_tabs[size_t(i)] == button)
            return tabs[i].mode;
    }
    return -1;
}

void LBDrawerController::toolButtonAction(QObject* sender)
{
    const qint64 mode = modeOfTabButton(sender);
    if (mode >= 0)
        setMode(mode);
}

void LBDrawerController::setEditController(LBEditController* controller)
{
    _editController = controller;
    for (const qint64 mode : {0, 2, 4, 5, 6}) {
        if (DrawerBrowser* b = browser(mode))
            b->setEditController(controller);
    }
    QTimer::singleShot(100, this, [this] { updateDarkLineView(); });
}

QRectF LBDrawerController::browserFrame() const
{
    const double barHeight = _barView ? _barView->height() : 0;
    return QRectF(16, 12, _view->width() - 33, _view->height() - (64 + barHeight));
}

void LBDrawerController::setMode(qint64 mode)
{
    const QRectF frame = browserFrame();
    _view->update();
    if (mode != _mode) {
        // The current browser's view leaves the drawer (the browser keeps it).
        if (DrawerBrowser* current = browser(_mode)) {
            if (QWidget* view = current->mainView())
                view->setParent(nullptr);
        }
        if (LBGradientButton* tab = tabButton(_mode)) {
            tab->cell()->setSelected(false);
            tab->update();
        }
        _mode = mode;
        _photoOptionsPullDown->setVisible(mode == 2);
        if (mode == 2) {
            const double barHeight = _barView->height();
            _photoHelpText->move(13, int(_view->height() - 65 - barHeight));
            _photoHelpText->resize(_view->width() - 108, _photoHelpText->height());
            _photoHelpText->show();
        } else {
            _photoHelpText->hide();
        }
        if (mode == 0 || (mode >= 2 && mode <= 6))
            defaults().setInteger(mode, SelectionKey);
        if (mode >= 0 && mode <= 6 && mode != 1) {
            showBrowser(mode);
            if (DrawerBrowser* shown = browser(mode)) {
                if (QWidget* view = shown->mainView()) {
                    view->setParent(_view);
                    view->setGeometry(frame.toRect());
                    view->show();
                }
            }
            if (LBGradientButton* tab = tabButton(mode)) {
                tab->cell()->setSelected(true);
                tab->update();
            }
            _barView->setLabelString(barTitle(mode));
        }
    }
    updateDarkLineView();
    _view->update();
    defaults().setInteger(_mode, OpenKey);
}

void LBDrawerController::showBrowser(qint64 mode)
{
    std::unique_ptr<DrawerBrowser>& slot = _browsers[size_t(mode)];
    const bool made = !slot;
    if (made) {
        slot = DrawerBrowser::make(mode);
        if (slot && mode == 0)
            slot->setEditController(_editController);
    }
    if (!slot)
        return; // nothing to browse: the pane stays empty
    switch (mode) {
    case 0:
        slot->drawerResized();
        setOutlineHeightFromPreferences();
        break;
    case 4:
        if (_editController)
            slot->setZoomFactor(_editController->zoomFactor());
        slot->setEditController(_editController);
        break;
    case 5:
        slot->setEditController(_editController);
        slot->setOutlineHeightFromPrefs(QStringLiteral("Favorites Outline Height"));
        break;
    case 6: slot->setEditController(_editController); break;
    default: break;
    }
}

QList<QPair<int, int>> LBDrawerController::tabFrames(double barWidth)
{
    const int W = int(barWidth - 1);
    const int w = W / 6;
    QList<QPair<int, int>> frames;
    int x = 0;
    for (int i = 0; i < 6; ++i) {
        const int width = i == 0 ? W - 5 * w : w;
        frames.append({x, width});
        x += width;
    }
    return frames;
}

void LBDrawerController::drawerResized()
{
    _tabBar->setGeometry(0, 0, _view->width(), _tabBar->height());
    _barView->setGeometry(0, _tabBar->height(), _view->width(), _barView->height());
    const QList<QPair<int, int>> frames = tabFrames(_tabBar->width());
    for (int i = 0; i < 6; ++i) {
        LBGradientButton* tab = _tabs[size_t(barOrder[i])];
        tab->setGeometry(frames[i].first, 0, frames[i].second, _tabBar->height());
    }
    if (DrawerBrowser* shapes = browser(0))
        shapes->drawerResized();
    if (_mode == 2) {
        _photoHelpText->move(13, int(_view->height() - 65 - _barView->height()));
        _photoHelpText->resize(_view->width() - 88, _photoHelpText->height());
    }
    updateDarkLineView();
}

void LBDrawerController::drawerButtonHighlightChanged(const LBGradientButtonCell* cell)
{
    if (_mode == 1 || _mode == -1 || !cell)
        return;
    LBGradientButton* current = tabButton(_mode);
    for (LBGradientButton* tab : _tabs) {
        if (tab->cell() != cell || tab == current)
            continue;
        if (current) {
            current->cell()->setSelected(!cell->isHighlighted());
            current->update();
        }
    }
}

void LBDrawerController::updateDarkLineView()
{
    // Along the drawer's left edge in the window, one point wide, over the whole height.
    QWidget* window = _view->window();
    if (!window || window == _view)
        return;
    QWidget* content = window;
    if (auto* controller = _editController ? _editController->windowController() : nullptr) {
        if (QWidget* top = controller->drawerTopView())
            content = top->window();
    }
    const QPoint origin = _view->mapTo(content, QPoint(-1, 0));
    const QRect frame(origin.x(), origin.y(), 1, std::max(0, _view->height() - 2));
    if (_darkLineView) {
        _darkLineView->setGeometry(frame);
        return;
    }
    _darkLineView = new LBColorView(content);
    _darkLineView->setColor(QColor::fromRgbF(0, 0, 0, 0.75));
    _darkLineView->setGeometry(frame);
    _darkLineView->show();
}

LBColorView* LBDrawerController::darkLineView() const
{
    return _darkLineView;
}

void LBDrawerController::removeDarkLine()
{
    delete _darkLineView.data();
}

void LBDrawerController::setOutlineHeightFromPreferences()
{
    if (!_okToSetOutlineHeightFromPrefs || _mode != 0)
        return;
    if (DrawerBrowser* shapes = browser(0))
        shapes->setOutlineHeightFromPrefs(QStringLiteral("Shapes Outline Height"));
}

// ---- Kits (the kit browser is not part of the program yet: nothing to pass on) --------

void LBDrawerController::importCorbeil(const QString& path, qint64 currentIndex, qint64 numFiles)
{
    Q_UNUSED(path);
    Q_UNUSED(currentIndex);
    Q_UNUSED(numFiles);
}

void LBDrawerController::selectCorbeilImageType(const QString& type)
{
    Q_UNUSED(type);
}

void LBDrawerController::setShiftKeyDown(bool down)
{
    Q_UNUSED(down);
}

// ---- Graphic builder ------------------------------------------------------------------

QList<LBGraphicPtr> LBDrawerController::graphicsForFiles(const QStringList& files,
                                                         const QStringList& imageSizes,
                                                         bool isPaper, bool isQuickPage)
{
    QList<LBGraphicPtr> graphics;
    for (qsizetype i = 0; i < files.size(); ++i) {
        auto image = std::make_shared<LBImage>();
        image->setLazyImagePath(files[i]);
        image->setBoundsNoOtherChanges(
            QRectF(QPointF(0, 0), platform::sizeFromString(imageSizes.value(i))));
        if (isPaper)
            image->setSpecialImageType(LBImage::PaperToConfirm);
        else if (isQuickPage)
            image->setSpecialImageType(LBImage::QuickPageToConfirm);
        graphics.append(image);
    }
    return graphics;
}

void LBDrawerController::insertCorbeilFiles(const QStringList& files, const QStringList& imageSizes,
                                            bool isPaper, bool isQuickPage)
{
    if (!_editController || files.isEmpty())
        return;
    const QList<LBGraphicPtr> graphics = graphicsForFiles(files, imageSizes, isPaper, isQuickPage);
    _editController->deselectAll();
    if (graphics.size() == 1)
        _editController->insertGraphic(graphics.first(), false);
    else
        _editController->insertGraphics(graphics, false);
}

QByteArray LBDrawerController::pasteboardDataForFiles(const QStringList& files,
                                                      const QStringList& imageSizes,
                                                      QString* pasteboardType, bool isPaper,
                                                      bool isQuickPage)
{
    const QList<LBGraphicPtr> graphics = graphicsForFiles(files, imageSizes, isPaper, isQuickPage);
    if (pasteboardType)
        *pasteboardType = QStringLiteral("Quarn Print Line 1");
    return LBDocument::dataForGraphics(LBDocument::Layer(graphics));
}
