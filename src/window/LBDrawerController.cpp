#include "window/LBDrawerController.h"

#include "canvas/LBGraphicView.h"
#include "controls/LBColorView.h"
#include "controls/LBDrawerBarView.h"
#include "controls/LBGradientButton.h"
#include "document/LBDocument.h"
#include "kitbrowser/SGCorbeilController.h"
#include "platform/core/NotificationCenter.h"
#include "platform/core/Strings.h"
#include "platform/core/TextForms.h"
#include "platform/core/UserDefaults.h"
#include "platform/drawing/Bundle.h"
#include "platform/drawing/Image.h"
#include "platform/ui/Alert.h"
#include "platform/ui/OpenUrl.h"
#include "shapes/LBImage.h"
#include "window/ApplicationServices.h"
#include "window/DrawerBrowser.h"
#include "window/LBClipArtController.h"
#include "window/LBWindowController.h"

#include <QAction>
#include <QDebug>
#include <QEvent>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QTimer>
#include <QToolButton>
#include <QUrl>

namespace {

const QString SelectionKey = QStringLiteral("Graphics Drawer Selection");
const QString OpenKey = QStringLiteral("Graphics Drawer Open");
const QString SkipKitCheckKey = QStringLiteral("SkipKitCheck3");

QString kitDownloadURL()
{
    const ApplicationServices* services = ApplicationServices::shared();
    return services ? services->kitDownloadURL() : QString();
}

QString dialogString(const QString& key)
{
    return platform::LocalizedString(key, QStringLiteral("DialogStrings"));
}

QString misc(const char* key)
{
    return platform::LocalizedString(QString::fromUtf8(key), QStringLiteral("Miscellaneous"));
}

// The kit browser under the kits tab: the kit browser library's controller, installed in a
// view of the drawer's own, and given back in order when the drawer goes.
class CorbeilBrowser : public DrawerBrowser
{
public:
    explicit CorbeilBrowser(SGCorbeilGraphicBuilderDelegate* builder)
        : _host(new QWidget),
          _controller(std::make_unique<SGCorbeilController>(QStringLiteral("Corbeils"),
                                                            SGCorbeilController::bundleName()))
    {
        _controller->setGraphicBuilder(builder);
        _controller->showPreviewButton();
        _controller->showFreeKitsButtonWithURLString(kitDownloadURL());
        _controller->setView(_host);
    }
    ~CorbeilBrowser() override
    {
        if (_host)
            _host->setParent(nullptr);
        _controller->setGraphicBuilder(nullptr);
        _controller->cleanup();
        _controller.reset();
        delete _host.data();
    }
    QWidget* mainView() override { return _host; }
    SGCorbeilController* controller() const { return _controller.get(); }

private:
    QPointer<QWidget> _host;
    std::unique_ptr<SGCorbeilController> _controller;
};

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

const QString LBDrawerController::SampleKitFileName = QStringLiteral("Veltrin Winter.icorbeil");

LBDrawerController::LBDrawerController()
{
    registerCommands();
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
    _choosePhotoLibraryObserver = platform::NotificationCenter::defaultCenter().addObserver(
        platform::KXChoosePhotoLibraryNotification, nullptr,
        [this](const platform::Notification& n) {
            const platform::KXClipArtController* photos = photoBrowser();
            if (photos && n.object == photos)
                choosePhotoLibrary(nullptr);
        });
}

LBDrawerController::~LBDrawerController()
{
    _highlightObserver.reset();
    _choosePhotoLibraryObserver.reset();
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
    _photoHelpText = new QLabel(misc("Double-click a photo or drag it into the design."), _view);
    _photoHelpText->setWordWrap(true);
    _photoHelpText->resize(150, 30);
    _photoHelpText->hide();
    auto* options = new QToolButton(_view);
    options->setAutoRaise(true);
    options->setPopupMode(QToolButton::InstantPopup);
    options->setText(QStringLiteral("\u2699"));
    _photoOptionsPullDown = options;
    buildPhotoOptionsMenu();
    options->setMenu(_photoOptionsMenu);
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
    // 16 from the left, 12 above the bottom edge, under the tabs and the title bar.
    const double barHeight = _barView ? _barView->height() : 0;
    const double height = _view->height() - (64 + barHeight);
    return QRectF(16, _view->height() - 12 - height, _view->width() - 33, height);
}

QRect LBDrawerController::browserFrameForMode(qint64 mode) const
{
    QRect frame = browserFrame().toRect();
    // The photo browser reaches 16 further down, under the help text.
    if (mode == 2)
        frame.translate(0, 16);
    return frame;
}

void LBDrawerController::placePhotoHelpText(double width)
{
    // Its bottom 65 above the drawer's bottom less the title bar: over the photo browser.
    const double barHeight = _barView->height();
    const int bottom = int(65 + barHeight);
    _photoHelpText->resize(int(width), _photoHelpText->height());
    _photoHelpText->move(13, bottom - _photoHelpText->height());
}

LBClipArtController* LBDrawerController::photoBrowser() const
{
    return static_cast<LBClipArtController*>(_browsers[2].get());
}

SGCorbeilController* LBDrawerController::corbeilController() const
{
    const auto* kits = static_cast<const CorbeilBrowser*>(_browsers[3].get());
    return kits ? kits->controller() : nullptr;
}

void LBDrawerController::setMode(qint64 mode)
{
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
            placePhotoHelpText(_view->width() - 108);
            _photoHelpText->show();
        } else {
            _photoHelpText->hide();
        }
        if (mode == 0 || (mode >= 2 && mode <= 6))
            defaults().setInteger(mode, SelectionKey);
        if (mode >= 0 && mode <= 6 && mode != 1) {
            showBrowser(mode);
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
        if (mode == 2)
            slot = std::make_unique<LBClipArtController>(2);
        else if (mode == 3)
            slot = std::make_unique<CorbeilBrowser>(this);
        else
            slot = DrawerBrowser::make(mode);
        // The shapes palette and the photo browser get the design controller once.
        if (slot && (mode == 0 || mode == 2))
            slot->setEditController(_editController);
    }
    if (!slot)
        return; // nothing to browse: the pane stays empty
    if (mode == 3)
        sampleKitCheck();
    if (QWidget* view = slot->mainView()) {
        view->setParent(_view);
        view->setGeometry(browserFrameForMode(mode));
        view->show();
    }
    switch (mode) {
    case 0:
        slot->drawerResized();
        setOutlineHeightFromPreferences();
        break;
    case 2:
        slot->drawerResized();
        if (made) {
            // Shown at once, then the folder is read.
            if (QWidget* view = slot->mainView())
                view->repaint();
            photoBrowser()->cleanupAfterLoading();
        }
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
    // The browser shown keeps to its frame.
    if (DrawerBrowser* shown = browser(_mode)) {
        if (QWidget* view = shown->mainView(); view && view->parentWidget() == _view)
            view->setGeometry(browserFrameForMode(_mode));
    }
    if (DrawerBrowser* shapes = browser(0))
        shapes->drawerResized();
    if (DrawerBrowser* photos = browser(2))
        photos->drawerResized();
    if (_mode == 2)
        placePhotoHelpText(_view->width() - 88);
    _photoOptionsPullDown->move(_view->width() - _photoOptionsPullDown->width() - 4,
                                _tabBar->height());
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

// ---- Kits --------------------------------------------------------------------------------

QString LBDrawerController::sampleKitPath()
{
    return platform::Bundle().pathForFileResource(SampleKitFileName);
}

void LBDrawerController::sampleKitCheck()
{
    SGCorbeilController* kits = corbeilController();
    if (!kits || defaults().boolForKey(SkipKitCheckKey))
        return;
    const QString installed = kits->libraryPath() + QStringLiteral("/Kits/") + SampleKitFileName;
    if (!QFileInfo::exists(installed))
        QTimer::singleShot(0, this, [this] { importLabelKits(); });
    defaults().setBool(true, SkipKitCheckKey);
}

void LBDrawerController::importLabelKits()
{
    SGCorbeilController* kits = corbeilController();
    if (!kits)
        return;
    const QString sample = sampleKitPath();
    if (sample.isEmpty()) {
        qWarning().noquote() << QStringLiteral("The sample kit %1 is missing from the program's "
                                               "resources")
                                    .arg(SampleKitFileName);
        return;
    }
    // The browser has said why a kit did not arrive; the check then runs again next time.
    if (!kits->importCorbeil(sample, 0, 1, false)) {
        defaults().removeObjectForKey(SkipKitCheckKey);
        return;
    }
    platform::Alert alert;
    alert.messageText =
        dialogString(QStringLiteral("A sample iCorbeil has been added to your library."));
    if (kitDownloadURL().isEmpty()) {
        alert.informativeText = dialogString(
            QStringLiteral("You can use the images in this kit to design labels and envelopes."));
        alert.buttons = {dialogString(QStringLiteral("OK"))};
    } else {
        alert.informativeText = dialogString(
            QStringLiteral("You can use the images in this kit to design labels and envelopes.\r\r"
                           "Additional kits may be available for download. Would you like to "
                           "visit the Download Page now?"));
        alert.buttons = {dialogString(QStringLiteral("Go to Download Page")),
                         dialogString(QStringLiteral("No Thanks"))};
        alert.cancelButton = 1;
    }
    const QPointer<LBDrawerController> self(this);
    alert.beginSheetModalForWindow(_view->window(), [self](const platform::Alert::Response& r) {
        if (self)
            self->importSampleSheetDidEnd(r.returnCode);
    });
}

void LBDrawerController::importSampleSheetDidEnd(int returnCode)
{
    const QString url = kitDownloadURL();
    if (returnCode == platform::Alert::FirstButtonReturn && !url.isEmpty())
        platform::openUrl(QUrl(url));
}

void LBDrawerController::importCorbeil(const QString& path, qint64 currentIndex, qint64 numFiles)
{
    if (SGCorbeilController* kits = corbeilController())
        kits->importCorbeil(path, currentIndex, numFiles, true);
}

void LBDrawerController::selectCorbeilImageType(const QString& type)
{
    if (SGCorbeilController* kits = corbeilController())
        kits->selectImageType(type);
}

void LBDrawerController::setShiftKeyDown(bool down)
{
    if (SGCorbeilController* kits = corbeilController(); kits && _mode == 3)
        kits->setShiftKeyDown(down);
}

// ---- Photo commands ----------------------------------------------------------------------

void LBDrawerController::registerCommands()
{
    addCommand(QStringLiteral("changePhotoFolderSortCriteria:"),
               [this](QObject* sender) { changePhotoFolderSortCriteria(sender); });
    addCommand(QStringLiteral("changePhotoFolderSortDirection:"),
               [this](QObject* sender) { changePhotoFolderSortDirection(sender); });
    addCommand(QStringLiteral("choosePhotoLibrary:"),
               [this](QObject* sender) { choosePhotoLibrary(sender); });
    addCommand(QStringLiteral("reloadiPhotoLibrary:"),
               [this](QObject* sender) { reloadiPhotoLibrary(sender); });
}

void LBDrawerController::buildPhotoOptionsMenu()
{
    _photoOptionsMenu = new QMenu(_photoOptionsPullDown);
    const auto add = [this](const char* title, const char* selector, qint64 tag) {
        QAction* item = _photoOptionsMenu->addAction(misc(title));
        platform::setActionSelector(item, QLatin1String(selector));
        platform::setActionTag(item, tag);
        connect(item, &QAction::triggered, this,
                [this, item] { tryToPerform(platform::actionSelector(item), item); });
    };
    add("Sort by Name",
        "changePhotoFolderSortCriteria:", platform::KXClipArtController::SortByName);
    add("Sort by Date",
        "changePhotoFolderSortCriteria:", platform::KXClipArtController::SortByDate);
    _photoOptionsMenu->addSeparator();
    add("Ascending", "changePhotoFolderSortDirection:", 1);
    add("Descending", "changePhotoFolderSortDirection:", 0);
    _photoOptionsMenu->addSeparator();
    add("Choose Folder\u2026", "choosePhotoLibrary:", 0);
    add("Reload Folder", "reloadiPhotoLibrary:", 0);
    connect(_photoOptionsMenu, &QMenu::aboutToShow, this, [this] {
        for (QAction* item : _photoOptionsMenu->actions()) {
            if (!item->isSeparator())
                item->setEnabled(validateMenuItem(item));
        }
    });
}

void LBDrawerController::changePhotoFolderSortCriteria(QObject* sender)
{
    if (LBClipArtController* photos = photoBrowser())
        photos->setFolderSortCriteria(platform::actionTag(sender));
}

void LBDrawerController::changePhotoFolderSortDirection(QObject* sender)
{
    if (LBClipArtController* photos = photoBrowser())
        photos->setFolderSortUp(platform::actionTag(sender) != 0);
}

void LBDrawerController::choosePhotoLibrary(QObject* sender)
{
    Q_UNUSED(sender); // one kind of library: a folder
    if (LBClipArtController* photos = photoBrowser())
        photos->openPhotoLibraryChooser();
}

void LBDrawerController::reloadiPhotoLibrary(QObject* sender)
{
    Q_UNUSED(sender);
    if (LBClipArtController* photos = photoBrowser())
        photos->loadClipArt();
}

bool LBDrawerController::validateMenuItem(QAction* item)
{
    const QString selector = platform::actionSelector(item);
    const LBClipArtController* photos = photoBrowser();
    if (photos && selector == QLatin1String("changePhotoFolderSortCriteria:"))
        platform::setActionState(item, platform::actionTag(item) == photos->folderSortCriteria());
    else if (photos && selector == QLatin1String("changePhotoFolderSortDirection:"))
        platform::setActionState(item, (platform::actionTag(item) != 0) == photos->folderSortUp());
    return true;
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
    // One file for one selected placeholder: it fills the placeholder and nothing else.
    if (files.size() == 1
        && _editController->fillSelectedPlaceholderWithImagePath(files.first(), false))
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
        *pasteboardType = LBPrintLine1PboardType;
    return LBDocument::dataForGraphics(LBDocument::Layer(graphics));
}
