#include "app/LBAppController.h"

#include "canvas/LBRulerView.h"
#include "graphics/LBProcessState.h"
#include "platform/core/UserDefaults.h"
#include "window/LBEditController.h"
#include "window/WindowClasses.h"

#include <QApplication>
#include <QDir>
#include <QMainWindow>
#include <QScreen>
#include <QSocketNotifier>
#include <QStandardPaths>
#include <QVariantMap>

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// The write end of the socket pair the signal handler reports through; a signal handler
// may do nothing more than write(2), the event loop does the rest.
int signalWriteFd = -1;
int signalReadFd = -1;

// The largest number of device pixels per point of all screens; 1.0 without screens.
double largestScreenScaleFactor()
{
    double largest = 0.0;
    for (const QScreen* screen : QGuiApplication::screens())
        largest = qMax(largest, screen->devicePixelRatio());
    return largest > 0.0 ? largest : 1.0;
}

void onTerminationSignal(int signalNumber)
{
    const char byte = static_cast<char>(signalNumber);
    if (signalWriteFd >= 0) [[maybe_unused]]
        auto ignored = ::write(signalWriteFd, &byte, 1);
}

} // namespace

LBAppController::LBAppController(QObject* parent) : QObject(parent)
{
    setDisplayScaleFactor(1.0);
    setDisplayScaleFactor(largestScreenScaleFactor());
    initializeGlobalPaths();
    setImageDisplayResolution(150);
    if (const qint64 quality = platform::UserDefaults::standardUserDefaults().integerForKey(
            QStringLiteral("Image Quality"));
        quality > 0)
        setImageDisplayResolution(quality);
    registerWindowClasses();
    LBRulerView::registerAsRulerViewClass();
    DesignModeController::setFactory([] { return std::make_unique<LBEditController>(); });
}

LBAppController::~LBAppController()
{
    delete _mainWindow;
}

void LBAppController::registerDefaults()
{
    // "Trim To Page" is deliberately not registered: trimming is off until the user turns
    // it on.
    platform::UserDefaults::standardUserDefaults().registerDefaults({
        {QStringLiteral("Grid Spacing"), 9.0},
        {QStringLiteral("Grid Guide Spacing"), 8},
        {QStringLiteral("Image Quality"), 150},
        {QStringLiteral("Print Quality"), 300},
        {QStringLiteral("Draw Auxiliary Info"), 3},
        {QStringLiteral("Envelope Automatic Alignment"), true},
        {QStringLiteral("AutoRecover Save Interval"), 5},
        {QStringLiteral("Snap To Grid"), false},
        {QStringLiteral("Show Grid"), false},
        {QStringLiteral("Show Grid Below"), false},
        {QStringLiteral("Draw Dynamic Guides"), true},
        {QStringLiteral("Show Group HUD Window"), true},
        {QStringLiteral("Units Type"), 0},
        {QStringLiteral("Draw Label Outlines"), true},
        {QStringLiteral("New Preferences"), true},
        {QStringLiteral("Column 1 Width"), 100.0},
        {QStringLiteral("Column 2 Width"), 150.0},
        {QStringLiteral("Graphics Drawer Open"), -1},
        {QStringLiteral("Graphics Drawer Width"), 250.0},
    });
}

void LBAppController::initializeGlobalPaths()
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::CacheLocation)
                           + QStringLiteral("/Temporary Files/");
    QDir().mkpath(folder);
    LBProcessState::setTemporaryFolderPath(folder);
}

QString LBAppController::temporaryFolderPath()
{
    return LBProcessState::temporaryFolderPath();
}

qint64 LBAppController::imageDisplayResolution()
{
    return LBProcessState::imageDisplayResolution();
}

void LBAppController::setImageDisplayResolution(qint64 dpi)
{
    LBProcessState::setImageDisplayResolution(dpi);
}

bool LBAppController::useFullResolutionImages()
{
    return LBProcessState::useFullResolutionImages();
}

void LBAppController::setUseFullResolutionImages(bool full)
{
    LBProcessState::setUseFullResolutionImages(full);
}

double LBAppController::displayScaleFactor()
{
    return LBProcessState::displayScaleFactor();
}

void LBAppController::setDisplayScaleFactor(double factor)
{
    LBProcessState::setDisplayScaleFactor(factor);
}

InspectorPalette* LBAppController::inspectorPalette()
{
    return LBProcessState::inspectorPalette();
}

void LBAppController::setInspectorPalette(InspectorPalette* palette)
{
    LBProcessState::setInspectorPalette(palette);
}

void LBAppController::setUpApplicationIdentity()
{
    QCoreApplication::setOrganizationName(QStringLiteral("Orvane"));
    QCoreApplication::setApplicationName(QStringLiteral("Veltrin"));
    QGuiApplication::setApplicationDisplayName(QStringLiteral("Veltrin"));
}

void LBAppController::quitOnTerminationSignals()
{
    if (_signalNotifier)
        return;
    if (signalReadFd < 0) {
        int fds[2];
        if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, fds) != 0)
            return;
        signalReadFd = fds[0];
        signalWriteFd = fds[1];
    }
    _signalNotifier = new QSocketNotifier(signalReadFd, QSocketNotifier::Read, this);
    connect(_signalNotifier, &QSocketNotifier::activated, this,
            &LBAppController::handleTerminationSignal);

    struct sigaction action = {};
    action.sa_handler = onTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signalNumber : {SIGTERM, SIGINT, SIGHUP})
        ::sigaction(signalNumber, &action, nullptr);
}

void LBAppController::handleTerminationSignal()
{
    char byte = 0;
    [[maybe_unused]] auto ignored = ::read(signalReadFd, &byte, 1);
    if (_mainWindow)
        _mainWindow->close();
    QCoreApplication::quit();
}

void LBAppController::applicationDidFinishLaunching()
{
    if (!_mainWindow) {
        _mainWindow = new QMainWindow;
        _mainWindow->setWindowTitle(QStringLiteral("Veltrin"));
        _mainWindow->resize(1024, 720);
    }
    _mainWindow->show();
}

QMainWindow* LBAppController::mainWindow() const
{
    return _mainWindow;
}
