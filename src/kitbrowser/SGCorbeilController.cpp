// The controller's life: the library location, the colour names, the store on first use,
// the host's calls and the process-wide flags.

#include "kitbrowser/SGCorbeilController.h"

#include "kitbrowser/SGAttachedWindow.h"
#include "kitbrowser/SGCorbeilControllerPrivate.h"
#include "kitbrowser/SGCorbeilGraphicBuilderDelegate.h"
#include "kitbrowser/SGImageBrowserView.h"
#include "kitfile/iCorbeilKeys.h"
#include "platform/core/TextForms.h"
#include "platform/ui/Alert.h"
#include "platform/ui/OpenUrl.h"
#include "platform/ui/UtilityWindow.h"

#include <QDebug>
#include <QDialog>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QPushButton>
#include <QStandardPaths>
#include <QToolButton>
#include <QUrl>
#include <QWidget>

namespace {

// The process-wide values: the library path (set by the first controller, kept for the
// run), the shift key and the artists flag the browser items read.
QString& processLibraryPath()
{
    static QString path;
    return path;
}
bool processShiftKeyDown = false;

const QStringList englishColorNames = {
    QStringLiteral("Black"),  QStringLiteral("Blue"),   QStringLiteral("Bronze"),
    QStringLiteral("Brown"),  QStringLiteral("Clear"),  QStringLiteral("Copper"),
    QStringLiteral("Gold"),   QStringLiteral("Gray"),   QStringLiteral("Green"),
    QStringLiteral("Orange"), QStringLiteral("Pink"),   QStringLiteral("Purple"),
    QStringLiteral("Red"),    QStringLiteral("Silver"), QStringLiteral("White"),
    QStringLiteral("Yellow"),
};

// The library package: the one already chosen in this process, else the one in the user's
// data folder, made when missing; its "Kits" folder is made in every case.
QString chooseLibraryPath()
{
    QString& path = processLibraryPath();
    if (path.isEmpty()) {
        const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)
                             + QStringLiteral("/Orvane");
        path = base + QStringLiteral("/iCorbeil Library.icorbeillib");
    }
    if (!QDir().mkpath(path + QStringLiteral("/Kits")))
        qWarning().noquote() << QStringLiteral("The kit library %1 cannot be made").arg(path);
    return path;
}

// Resizes the browser with its host view.
class HostFrameFilter : public QObject
{
public:
    HostFrameFilter(SGCorbeilController* controller, QWidget* host)
        : QObject(host), _controller(controller), _host(host)
    {
        host->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == _host && event->type() == QEvent::Resize && _controller)
            _controller->mainViewResized();
        return false;
    }

private:
    QPointer<SGCorbeilController> _controller;
    QWidget* _host;
};

} // namespace

SGCorbeilGraphicBuilderDelegate::~SGCorbeilGraphicBuilderDelegate() = default;

SGCorbeilController::Private::Private(SGCorbeilController* controller)
    : q(controller), bundle(SGCorbeilController::bundleName())
{}

SGCorbeilController::Private::~Private() = default;

QString SGCorbeilController::Private::localized(const QString& key) const
{
    return bundle.localizedString(key, QStringLiteral("iCorbeil View"));
}

QString SGCorbeilController::Private::dialogString(const QString& key) const
{
    return bundle.localizedString(key, QStringLiteral("DialogStrings"));
}

QWidget* SGCorbeilController::Private::window() const
{
    if (!rootView)
        return nullptr;
    QWidget* window = rootView->window();
    return window && window->isVisible() ? window : nullptr;
}

void SGCorbeilController::Private::presentError(const QString& message, const QString& detail) const
{
    platform::Alert alert;
    alert.style = platform::Alert::Critical;
    alert.messageText = message;
    alert.informativeText = detail;
    alert.buttons = {dialogString(QStringLiteral("OK"))};
    alert.beginSheetModalForWindow(window());
}

SGCorbeilStore& SGCorbeilController::Private::openStore()
{
    if (!store)
        store = std::make_unique<SGCorbeilStore>(libraryPath);
    if (store->state() == SGCorbeilStore::State::Unopened) {
        QString error;
        if (store->open(&error) != SGCorbeilStore::State::Open)
            presentError(dialogString(QStringLiteral("The kit library cannot be opened.")), error);
    }
    return *store;
}

const SGKitRecord& SGCorbeilController::Private::theAllKitsItem()
{
    if (!allKitsItem) {
        SGKitRecord item;
        item.UID = platform::UUIDString();
        item.filename = QStringLiteral("allkits");
        item.name = localized(QStringLiteral("All Kits"));
        allKitsItem = item;
    }
    return *allKitsItem;
}

SGCorbeilController::SGCorbeilController(const QString& nibName, const QString& bundle,
                                         QObject* parent)
    : QObject(parent), d(std::make_unique<Private>(this))
{
    if (nibName != QLatin1String("iCorbeil View") && nibName != QLatin1String("Corbeils"))
        qWarning().noquote() << QStringLiteral("SGCorbeilController: no interface \"%1\"; "
                                               "showing \"iCorbeil View\"")
                                    .arg(nibName);
    if (!bundle.isEmpty() && bundle != bundleName())
        qWarning().noquote() << QStringLiteral("SGCorbeilController: the bundle \"%1\" is not "
                                               "the kit browser's")
                                    .arg(bundle);
    d->nibName = nibName;
    d->libraryPath = chooseLibraryPath();
    for (const QString& name : englishColorNames)
        d->colorNames.append(d->localized(name));
}

SGCorbeilController::~SGCorbeilController()
{
    closePreviewWindow();
    // The view and the windows and sheets of the interface go with the controller, wherever
    // they were shown (their browsers read the controller's lists).
    delete d->coverFlowWindow.data();
    delete d->deleteSheet.data();
    delete d->infoSheet.data();
    delete d->kitPreviewView.data();
    delete d->graphicPreviewView.data();
    delete d->rootView.data();
}

QString SGCorbeilController::bundleName()
{
    return QStringLiteral("iCorbeilGUI");
}

QString SGCorbeilController::libraryPath() const
{
    return d->libraryPath;
}

bool SGCorbeilController::storeIsOpen()
{
    return d->openStore().isOpen();
}

bool SGCorbeilController::saveChanges()
{
    return d->openStore().isOpen();
}

QStringList SGCorbeilController::colorNames() const
{
    return d->colorNames;
}

QString SGCorbeilController::combinedStringFromArray(const QStringList& array)
{
    return array.isEmpty() ? QString(QLatin1String("")) : array.join(u'|');
}

QString SGCorbeilController::englishNameForKitType(const QString& kitType)
{
    static const QHash<QString, QString> names = {
        {VQAlphabetKitType, QStringLiteral("Alphabet")},
        {VQCompleteKitType, QStringLiteral("Complete Kit")},
        {VQEmbellishmentKitType, QStringLiteral("Embellishments")},
        {VQOverlayKitType, QStringLiteral("Overlays")},
        {VQPaperKitType, QStringLiteral("Paper")},
        {VQQuickAlbumKitType, QStringLiteral("Quick Album")},
        {VQQuickPageKitType, QStringLiteral("Quick Page")},
        {VQStampKitType, QStringLiteral("Stamps")},
        {VQTextureKitType, QStringLiteral("Textures")},
        {VQWordArtKitType, QStringLiteral("Word Art")},
    };
    return names.value(kitType, QStringLiteral(""));
}

QString SGCorbeilController::englishNameForKitSize(const QString& kitSize)
{
    static const QHash<QString, QString> names = {
        {VQ12x12KitSize, QStringLiteral("12x12 inches")},
        {VQLetterKitSize, QStringLiteral("8.5x11 inches")},
        {VQ4x6KitSize, QStringLiteral("4x6 inches")},
        {VQNotApplicableKitSize, QStringLiteral("Other")},
    };
    return names.value(kitSize, QStringLiteral(""));
}

// ===== Host interface =====

QWidget* SGCorbeilController::view()
{
    d->loadInterface();
    return d->rootView;
}

void SGCorbeilController::setView(QWidget* hostView)
{
    d->loadInterface();
    if (!hostView)
        return;
    d->hostView = hostView;
    d->rootView->setParent(hostView);
    d->rootView->setGeometry(hostView->rect());
    d->rootView->show();
    d->reloadTable(d->homeTable);
    switchToMode(0, d->mode, true);
    delete d->hostFilter;
    d->hostFilter = new HostFrameFilter(this, hostView);
}

SGCorbeilGraphicBuilderDelegate* SGCorbeilController::graphicBuilder() const
{
    // A builder that is a QObject and has gone is no builder any more.
    if (d->builderIsObject && !d->builderGuard)
        return nullptr;
    return d->builder;
}

void SGCorbeilController::setGraphicBuilder(SGCorbeilGraphicBuilderDelegate* builder)
{
    d->builder = builder;
    d->builderGuard = builder ? dynamic_cast<QObject*>(builder) : nullptr;
    d->builderIsObject = d->builderGuard != nullptr;
}

bool SGCorbeilController::shiftKeyDown()
{
    return processShiftKeyDown;
}

void SGCorbeilController::setShiftKeyDown(bool down)
{
    if (down == processShiftKeyDown)
        return;
    if (sgbrowser::isKitMode(d->mode)) {
        processShiftKeyDown = down;
        d->reloadKitBrowser();
    } else if (sgbrowser::isGraphicMode(d->mode)) {
        processShiftKeyDown = down;
        d->reloadGraphicBrowser();
    }
}

void SGCorbeilController::showFreeKitsButtonWithURLString(const QString& urlString)
{
    d->freeKitsURL = urlString;
    d->showFreeKitsButton = !urlString.isEmpty();
    if (d->freeKitsButton)
        d->freeKitsButton->setVisible(d->showFreeKitsButton && d->mode == 0);
}

void SGCorbeilController::freeKitsButtonAction()
{
    if (!d->freeKitsURL.isEmpty())
        platform::openUrl(QUrl(d->freeKitsURL), view() ? view()->window() : nullptr);
}

void SGCorbeilController::showPreviewButton()
{
    d->showCoverFlowButton = true;
    if (d->coverFlowButton)
        d->coverFlowButton->setVisible(true);
}

void SGCorbeilController::cleanup()
{
    switchToMode(0, d->mode, false);
    delete d->hostFilter;
}

QObject* SGCorbeilController::outlet(const QString& name)
{
    d->loadInterface();
    return d->outlets.value(name);
}
