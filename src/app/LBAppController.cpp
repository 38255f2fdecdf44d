#include "app/LBAppController.h"

#include "app/LBLibraryController.h"
#include "app/LBPlaceholderSettingsSheet.h"
#include "app/LBShapeController.h"
#include "app/LBWelcomeWindowController.h"
#include "app/SupportFolders.h"
#include "canvas/LBRulerView.h"
#include "document/LBDocument.h"
#include "graphics/LBProcessState.h"
#include "inspector/LBLayersController.h"
#include "inspector/LBTextDrawerController.h"
#include "layouts/LBLayoutSheetController.h"
#include "merge/LBCreateController.h"
#include "merge/LBFieldsController.h"
#include "merge/MergeClasses.h"
#include "platform/core/Error.h"
#include "platform/core/FileOperations.h"
#include "platform/core/PropertyList.h"
#include "platform/core/Strings.h"
#include "platform/core/TextForms.h"
#include "platform/core/UndoManager.h"
#include "platform/core/UserDefaults.h"
#include "platform/drawing/Bundle.h"
#include "platform/text/FontManager.h"
#include "platform/ui/AfterFirstPaint.h"
#include "platform/ui/Alert.h"
#include "platform/ui/ApplicationStyle.h"
#include "platform/ui/ColorPanel.h"
#include "platform/ui/Document.h"
#include "platform/ui/DocumentController.h"
#include "platform/ui/PreferencesWindow.h"
#include "platform/ui/PrintInfo.h"
#include "platform/ui/Printers.h"
#include "platform/ui/WindowController.h"
#include "window/LBDrawerController.h"
#include "window/LBEditController.h"
#include "window/WindowClasses.h"
#include "window/WindowMenus.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPointF>
#include <QPointer>
#include <QSaveFile>
#include <QScreen>
#include <QSet>
#include <QSizeF>
#include <QSocketNotifier>
#include <QTimer>
#include <QUrl>
#include <QVariantMap>
#include <QWidget>

#include <csignal>
#include <functional>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// The extension of kit packages, which the program takes in as imports, not documents.
const QString kitExtension = QStringLiteral("icorbeil");

LBAppController* sharedController = nullptr;
int launchDelay = 500;

// The write end of the socket pair the signal handler reports through; a signal handler
// may do nothing more than write(2), the event loop does the rest.
int signalWriteFd = -1;
int signalReadFd = -1;

void onTerminationSignal(int signalNumber)
{
    const char byte = static_cast<char>(signalNumber);
    if (signalWriteFd >= 0) [[maybe_unused]]
        auto ignored = ::write(signalWriteFd, &byte, 1);
}

// The largest number of device pixels per point of all screens; 1.0 without screens.
double largestScreenScaleFactor()
{
    double largest = 1.0;
    for (const QScreen* screen : QGuiApplication::screens())
        largest = qMax(largest, screen->devicePixelRatio());
    return largest;
}

platform::UserDefaults& defaults()
{
    return platform::UserDefaults::standardUserDefaults();
}

QString dialogString(const char* key)
{
    return platform::LocalizedString(QString::fromUtf8(key), QStringLiteral("DialogStrings"));
}

const QStringList& documentExtensions()
{
    static const QStringList extensions = {QStringLiteral("quarnlb"), QStringLiteral("quarnev"),
                                           QStringLiteral("quarnpg"), QStringLiteral("quarnl")};
    return extensions;
}

bool isDocumentFile(const QString& path)
{
    return documentExtensions().contains(QFileInfo(path).suffix());
}

// The type files of the extension are read as; null for an extension that is no
// document's.
QString documentTypeForExtension(const QString& extension)
{
    if (!documentExtensions().contains(extension))
        return QString();
    return LBDocument::documentTypeStringForExtension(extension);
}

// The entries of the folder, in name order (hidden ones too).
QStringList folderEntries(const QString& folder)
{
    QStringList paths;
    const QDir dir(folder);
    for (const QString& name : dir.entryList(
             QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name))
        paths << dir.filePath(name);
    return paths;
}

// The merge-field list of the file: its array, or an empty one (logged) when the file is
// missing or holds no array.
QVariantList fieldListFromFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        qInfo().noquote() << QStringLiteral("No field list at %1").arg(path);
        return {};
    }
    QString error;
    const std::optional<QVariant> value = platform::PropertyList::read(file.readAll(), &error);
    if (!value || value->typeId() != QMetaType::QVariantList) {
        qWarning().noquote() << QStringLiteral("The field list %1 cannot be read (%2)")
                                    .arg(path, value ? QStringLiteral("not a list") : error);
        return {};
    }
    return value->toList();
}

// The documents' factories: a new untitled label, a document read from its package.
void installDocumentTypes()
{
    platform::DocumentController::DocumentTypes types;
    types.defaultType = LBDocument::LabelDocumentType;
    types.extensions = documentExtensions();
    types.typeForExtension = documentTypeForExtension;
    types.makeUntitled = [](const QString& type) -> std::unique_ptr<platform::Document> {
        auto document = std::make_unique<LBDocument>();
        document->setFileType(type);
        return document;
    };
    types.read = [](const QString& path, const QString& type,
                    platform::Error* error) -> std::unique_ptr<platform::Document> {
        return LBDocument::initWithContentsOfFile(path, type, error);
    };
    platform::DocumentController::sharedDocumentController().setDocumentTypes(std::move(types));
}

// The program's window while no document window is open: each window carries the menu
// bar, so this one keeps New, Open, Preferences, Help and Quit within reach. Closing it
// quits, as the menu bar's Quit does.
class ApplicationWindowController : public platform::WindowController
{
public:
    explicit ApplicationWindowController(std::function<void()> didClose, QObject* parent)
        : platform::WindowController(QStringLiteral("Veltrin"), parent),
          _didClose(std::move(didClose))
    {}

protected:
    void windowDidLoad() override
    {
        QMainWindow* window = mainWindow();
        window->setWindowTitle(QStringLiteral("Veltrin"));
        auto* hint =
            new QLabel(QCoreApplication::translate(
                           "LBAppController", "No document is open.\nChoose File > New to start a "
                                              "design, or File > Open... to open one you saved."),
                       window);
        hint->setWordWrap(true);
        hint->setAlignment(Qt::AlignCenter);
        hint->setMargin(24);
        window->setCentralWidget(hint);
        window->resize(520, 160);
        setMenuTable(WindowMenus::table());
    }
    void windowWillClose() override
    {
        if (_didClose)
            _didClose();
    }

private:
    std::function<void()> _didClose;
};

} // namespace

// ==== Set-up ==============================================================================

void LBAppController::initialize()
{
    // The first document's paper is the default printer's, and its window's first text
    // needs the fonts installed: both asked for now, beside the rest of the start. (When
    // an earlier start kept the printer's answer, the document takes that one and the
    // printer is asked once the first window is on the screen.)
    platform::PrintInfo::queryDefaultPrinterSoon();
    platform::FontManager::readFontsInBackground();
    platform::ApplicationStyle::install();
    registerDefaults();
    LBRulerView::registerAsRulerViewClass();
    platform::ColorPanel::setShowsAlpha(true);
}

void LBAppController::registerDefaults()
{
    using platform::stringFromPoint;
    using platform::stringFromSize;
    const QString empty;
    // Every setting the program reads with its default, in one registration. "Trim To
    // Page" is deliberately not registered: trimming is off until the user turns it on.
    defaults().registerDefaults({
        {QStringLiteral("New Preferences"), true},
        {QStringLiteral("Second Launch"), false},
        {QStringLiteral("Table Font Size"), 0},
        {QStringLiteral("Update Frequency"), 1},
        {QStringLiteral("Last Checked For Updates"), 0.0},
        {QStringLiteral("Auto Delete Blank Lines"), true},
        {QStringLiteral("Display First Name First"), true},
        {QStringLiteral("Contact Sort Field"), 0},
        {QStringLiteral("Draw Dynamic Guides"), true},
        {QStringLiteral("Units Type"), 0},
        {QStringLiteral("Grid Spacing"), 9.0},
        {QStringLiteral("Grid Guide Spacing"), 8},
        {QStringLiteral("Show Grid"), false},
        {QStringLiteral("Show Grid Below"), false},
        {QStringLiteral("Snap To Grid"), false},
        {QStringLiteral("Draw Crop Marks"), false},
        {QStringLiteral("Draw Label Outlines"), true},
        {QStringLiteral("Crop To Labels"), true},
        {QStringLiteral("Bleed Size"), 0},
        {QStringLiteral("Print Quality"), 300},
        {QStringLiteral("Image Quality"), 150},
        {QStringLiteral("Preferred Printer"), 0},
        {QStringLiteral("Envelope Automatic Alignment"), true},
        {QStringLiteral("Printer Loads Envelopes From Front"), true},
        {QStringLiteral("Envelopes Are Face Up"), true},
        {QStringLiteral("Envelope Feed Position"), 1},
        // The user's own card is chosen in the preferences; none at first.
        {QStringLiteral("My Person ID"), empty},
        {QStringLiteral("My Logo"), QByteArray()},
        {QStringLiteral("My Signature"), QByteArray()},
        {QStringLiteral("Show Columns"), true},
        {QStringLiteral("Column 1 Width"), 100.0},
        {QStringLiteral("Column 2 Width"), 150.0},
        {QStringLiteral("Show Lock Info Sheet"), true},
        {QStringLiteral("Confirm Delete Favorite"), true},
        {QStringLiteral("Confirm Delete Favorite Collection"), true},
        {QStringLiteral("Confirm Delete Text Object"), true},
        {QStringLiteral("Confirm Delete Field"), true},
        {QStringLiteral("Graphics Drawer Open"), -1},
        {QStringLiteral("Graphics Drawer Width"), 250.0},
        {QStringLiteral("Graphics Drawer Selection"), 0},
        {QStringLiteral("Shape Document Index"), 0},
        {QStringLiteral("Shape Cell Size"), stringFromSize(QSizeF(55, 55))},
        {QStringLiteral("iPhoto Cell Size"), stringFromSize(QSizeF(61, 81))},
        {QStringLiteral("iPhoto Category Height"), 51.0},
        {QStringLiteral("Mask Cell Size"), stringFromSize(QSizeF(61, 81))},
        {QStringLiteral("Scrapbook Cell Size"), stringFromSize(QSizeF(60, 60))},
        {QStringLiteral("Shapes Outline Height"), 0.0},
        {QStringLiteral("Favorites Outline Height"), 65.0},
        {QStringLiteral("Shapes Collection Index"), 0},
        {QStringLiteral("Favorites Collection Index"), 0},
        {QStringLiteral("Print Country"), 2},
        {QStringLiteral("Layout Sheet Size 2"), stringFromSize(QSizeF(800, 500))},
        {QStringLiteral("Layout Sheet Document List Width"), 200.0},
        {QStringLiteral("Recent Layouts Array"), QVariantList()},
        {QStringLiteral("Layout Sheet Selected Project Type String 2"), empty},
        {QStringLiteral("Layout Sheet Selected Envelope Type String"), empty},
        {QStringLiteral("Layout Sheet Selected Disc Type String 2"), empty},
        {QStringLiteral("Layout Sheet A4 Paper Selected"), false},
        {QStringLiteral("Layout Sheet Selected Manufacturer 2"), 0},
        {QStringLiteral("Layout Sheet Selected Disc Manufacturer 2"), 0},
        {QStringLiteral("Layout Sheet Design File Path"), empty},
        {QStringLiteral("Draw Auxiliary Info"), 3},
        {QStringLiteral("Layout Sheet Selected PaperCode 2"), QStringLiteral("5881")},
        {QStringLiteral("AutoRecover Save Interval"), 5},
        {QStringLiteral("Show Contextual Inspector"), true},
        {QStringLiteral("Standalone Inspector Location"), stringFromPoint(QPointF(-1, -1))},
        {QStringLiteral("Crop Constraint Type"), 0},
        {QStringLiteral("Crop Constraint Custom Ratio"), stringFromSize(QSizeF(6, 4))},
        {QStringLiteral("Check For Version 1 Files"), true},
        {QStringLiteral("Smart Inspector Window Gap"), 5},
        {QStringLiteral("Show Group HUD Window"), true},
        {QStringLiteral("Update Application Name"), true},
        {QStringLiteral("Update Application Name2"), true},
    });
}

LBAppController::LBAppController(QObject* parent) : QObject(parent)
{
    registerWindowClasses();
    registerMergeClasses();
    DesignModeController::setFactory([] { return std::make_unique<LBEditController>(); });
    DesignDrawer::setFactory([] { return std::make_unique<LBDrawerController>(); });
    LayersPane::setFactory([] { return std::make_unique<LBLayersController>(); });
    DrawerBrowser::setFactory(5, [] { return LBLibraryController::makeFavorites(); });
    DrawerBrowser::setFactory(0, [] { return LBShapeController::makeShapes(); });
    DrawerBrowser::setFactory(4, [] { return std::make_unique<LBTextDrawerController>(); });
    DrawerBrowser::setFactory(6, [] { return std::make_unique<LBFieldsController>(); });
    LBPlaceholderSettings::setFactory(
        [](bool background) { return std::make_unique<LBPlaceholderSettingsSheet>(background); });
    PreviewModeController::setFactory([] { return std::make_unique<LBCreateController>(); });
    installDocumentTypes();
    registerCommands();
    buildInspectorMenu();
    installMenuTable();

    // 1. Folders.
    setUpFolders();
    // 2. The merge-field lists.
    loadFieldLists();
    // 3. Ready-made designs of the first version, once. The document the conversion makes
    //    is the launch's: no second untitled one follows.
    if (defaults().boolForKey(QStringLiteral("Check For Version 1 Files"))) {
        const bool hadDocuments =
            !platform::DocumentController::sharedDocumentController().documents().isEmpty();
        updateVersion1TemplateFiles();
        if (!hadDocuments
            && !platform::DocumentController::sharedDocumentController().documents().isEmpty())
            _documentWasOpened = true;
    }
    // 4. AutoRecover copies of a run that did not quit cleanly.
    checkForAutoRecoverFiles();
    // 5. Only now the delegate: a document made above does not count as opened.
    sharedController = this;
    ApplicationServices::setShared(this);
    connect(&platform::DocumentController::sharedDocumentController(),
            &platform::DocumentController::documentAdded, this, [this](platform::Document*) {
                setDocumentWasOpened(true);
                // A document window carries the menu bar now.
                if (_applicationWindow && _applicationWindow->isWindowLoaded())
                    _applicationWindow->window()->hide();
            });
    // The last responder of every window: the application's own commands.
    platform::Responder::setLastResponder(this);
    // 6. The display scale factor.
    setDisplayScaleFactor(largestScreenScaleFactor());

    // The last document window closing leaves the program's own window (below).
    QGuiApplication::setQuitOnLastWindowClosed(false);
    connect(qApp, &QGuiApplication::lastWindowClosed, this, &LBAppController::lastWindowClosed,
            Qt::QueuedConnection);
    connect(&platform::DocumentController::sharedDocumentController(),
            &platform::DocumentController::documentRemoved, this,
            &LBAppController::lastWindowClosed, Qt::QueuedConnection);
}

LBAppController::~LBAppController()
{
    if (sharedController == this)
        sharedController = nullptr;
    if (ApplicationServices::shared() == this)
        ApplicationServices::setShared(nullptr);
    delete _welcomeWindowController;
    // Palettes not made yet are not made for a controller that is gone.
    LBProcessState::setInspectorPaletteMaker({});
    delete _inspectorMenu;
    WindowMenus::table().clear();
    platform::PrintInfo::waitForDefaultPrinterQuery();
    platform::FontManager::waitForFontsRead();
}

LBAppController* LBAppController::sharedAppController()
{
    return sharedController;
}

void LBAppController::setUpFolders()
{
    initializeGlobalPaths();
    const qint64 quality = defaults().integerForKey(QStringLiteral("Image Quality"));
    setImageDisplayResolution(quality > 0 ? quality : 150);
    // The territory of the system's locale, as the address book's country codes write it.
    const QString territory = QLocale::territoryToCode(QLocale::system().territory());
    LBProcessState::setDefaultCountryCode(territory.toLower());
}

void LBAppController::initializeGlobalPaths()
{
    const SupportFolders folders =
        SupportFolders::setUp(SupportFolders::Locations::standard(), defaults());
    LBProcessState::setApplicationSupportPath(folders.supportFolderPath);
    LBProcessState::setTemporaryFolderPath(folders.temporaryFilesPath);
    LBProcessState::setDesignsFolderPath(folders.designsFolderPath);
}

void LBAppController::loadFieldLists()
{
    // Each list is read when it is first asked for: the first window shows none of them.
    LBProcessState::setFieldsListLoader([](LBProcessState::FieldsList list) {
        using List = LBProcessState::FieldsList;
        if (list == List::Custom)
            return fieldListFromFile(supportFolderPath() + QStringLiteral("CustomFields.plist"));
        const QString name = list == List::Standard ? QStringLiteral("Fields.plist")
                             : list == List::My     ? QStringLiteral("MyFields.plist")
                                                    : QStringLiteral("MiscFields.plist");
        return fieldListFromFile(platform::Bundle().pathForResource(name));
    });
}

void LBAppController::checkForAutoRecoverFiles()
{
    const QStringList entries = folderEntries(temporaryFolderPath());
    if (std::none_of(entries.cbegin(), entries.cend(), isDocumentFile))
        return;
    platform::Alert alert;
    alert.messageText = dialogString("Open AutoRecover files?");
    alert.informativeText = dialogString(
        "It appears that the application wasn't properly shut down the last time it was run. "
        "Temporary copies of the documents you were working on were automatically saved for "
        "you.\r\rWould you like to open the AutoRecover files or move them to the trash?");
    alert.buttons = {dialogString("Open Files"), dialogString("Move Files to Trash")};
    if (alert.runModal().returnCode == platform::Alert::FirstButtonReturn) {
        _foundTemporaryFiles = true;
        return;
    }
    // Every entry goes, working files too; what the Trash refuses stays where it is.
    for (const QString& path : entries) {
        platform::Error error;
        if (!platform::moveItemToTrash(path, &error))
            qWarning().noquote() << QStringLiteral("Could not move %1 to the Trash: %2")
                                        .arg(path, error.description);
    }
    _foundTemporaryFiles = false;
    // The launch then goes on as any other: a file handed to it opens alone, and without one
    // the launch makes its untitled document (made here, it came beside the file asked for).
}

// ==== Launch ==============================================================================

void LBAppController::setLaunchDelay(int milliseconds)
{
    launchDelay = milliseconds;
}

void LBAppController::applicationDidFinishLaunching()
{
    // (There is no updater to restart the program.)
    _openUserGuideObserver = platform::NotificationCenter::defaultCenter().addObserver(
        KXOpenUserGuide, nullptr, [](const platform::Notification&) { openUserGuide(); });
    applicationDidFinishLaunching2();
}

void LBAppController::applicationDidFinishLaunching2()
{
    if (_applicationDidFinishLaunching)
        return;
    // 1. The arrangement items' shortcuts.
    setMenuItemShortcut(QStringLiteral("bringToFront:"),
                        QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_BracketRight));
    setMenuItemShortcut(QStringLiteral("sendToBack:"),
                        QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_BracketLeft));
    // 2. The printers: asked for when the Preferred Printer menu opens (asking the print
    //    system costs a start-up its time, and the printers may change meanwhile).
    // 3. AutoRecover copies the user chose to open (moved to the Trash, there are none).
    reopenAutoRecoverFiles();
    // 4. The first launch and the one after it. (There is no update check: the system's
    //    packages update the program.)
    if (defaults().boolForKey(QStringLiteral("Second Launch")))
        defaults().setBool(false, QStringLiteral("Second Launch"));
    if (defaults().boolForKey(QStringLiteral("New Preferences"))) {
        defaults().setBool(true, QStringLiteral("Second Launch"));
        defaults().setBool(false, QStringLiteral("New Preferences"));
    }
    // 5-6. The smart inspector palette and the saved standalone ones.
    makeInspectors();
    // 7. A new document unless the launch opened one (the welcome window follows it), else
    //    the welcome window.
    _allowDocumentCreation = true;
    if (!_foundTemporaryFiles && !_documentWasOpened) {
        QTimer::singleShot(launchDelay, this, &LBAppController::createNewDocument);
    } else {
        platform::PrintInfo::startDeferredDefaultPrinterQuery();
        scheduleWelcomeWindow();
    }
    // 8.
    defaults().setInteger(defaults().integerForKey(QStringLiteral("LBLaunchCount")) + 1,
                          QStringLiteral("LBLaunchCount"));
    _applicationDidFinishLaunching = true;
}

void LBAppController::scheduleWelcomeWindow()
{
    if (defaults().boolForKey(QStringLiteral("SkipWelcomeWindow")))
        return;
    QTimer::singleShot(launchDelay, this, [this] { openWelcomeWindowAction(true); });
}

void LBAppController::reopenAutoRecoverFiles()
{
    auto& controller = platform::DocumentController::sharedDocumentController();
    for (const QString& path : folderEntries(temporaryFolderPath())) {
        const QString type = documentTypeForExtension(QFileInfo(path).suffix());
        if (type.isEmpty())
            continue;
        _allowDocumentCreation = true;
        platform::Error error;
        std::unique_ptr<LBDocument> document =
            LBDocument::initWithContentsOfFile(path, type, &error);
        if (!document) {
            qWarning().noquote()
                << QStringLiteral("AutoRecover copy %1 skipped: %2").arg(path, error.description);
            continue;
        }
        LBDocument* recovered = document.release();
        recovered->setAddsQuarnLabelControls(false);
        recovered->setTemporaryFilePath(path);
        controller.addAndShowDocument(recovered);
        // Untitled once shown, and saving its AutoRecover copy where it was found.
        recovered->setFileName(QString());
        for (platform::WindowController* windowController : recovered->windowControllers())
            windowController->setWindowTitle(QStringLiteral("(Recovered File)"));
    }
}

void LBAppController::createNewDocument()
{
    if (!_foundTemporaryFiles && !_documentWasOpened)
        newDocument();
    // The welcome window follows the untitled document's window once that one is drawn: the
    // window the user works in appears first, without waiting for the welcome window's.
    const auto& documents = platform::DocumentController::sharedDocumentController().documents();
    QWidget* window =
        documents.isEmpty() ? nullptr : documents.last()->appropriateWindowForDocModalOperations();
    const auto afterTheWindow = [this] {
        platform::PrintInfo::startDeferredDefaultPrinterQuery();
        scheduleWelcomeWindow();
    };
    if (window && window->isVisible())
        new platform::AfterFirstPaint(window, this, afterTheWindow);
    else
        afterTheWindow();
}

void LBAppController::newDocument()
{
    platform::DocumentController::sharedDocumentController().openUntitledDocument();
}

void LBAppController::setDocumentWasOpened(bool opened)
{
    _documentWasOpened = opened;
}

// ==== Files ===============================================================================

void LBAppController::applicationOpenFiles(const QStringList& files)
{
    const auto isKit = [](const QString& path) { return QFileInfo(path).suffix() == kitExtension; };
    if (!files.isEmpty() && isKit(files.first())) {
        QMetaObject::invokeMethod(
            this, [this, files] { importCorbeils(files); }, Qt::QueuedConnection);
        return;
    }
    // Each file by its own extension. A file that cannot be opened (of no document type,
    // missing, damaged) is reported by the document controller, and the others still open.
    QStringList kits;
    for (const QString& path : files) {
        if (isKit(path))
            kits << path;
        else
            openFile(path);
    }
    // Kits handed over after a document are imported too, rather than called unreadable.
    if (!kits.isEmpty())
        QMetaObject::invokeMethod(
            this, [this, kits] { importCorbeils(kits); }, Qt::QueuedConnection);
}

void LBAppController::openFile(const QString& path)
{
    auto& controller = platform::DocumentController::sharedDocumentController();
    if (!controller.documentForFileName(path))
        _allowDocumentCreation = true;
    controller.openDocumentWithContentsOfFile(path);
}

void LBAppController::bringFrontWindowForward()
{
    const auto& documents = platform::DocumentController::sharedDocumentController().documents();
    QWidget* window = QApplication::activeWindow();
    if (!window && !documents.isEmpty())
        window = documents.last()->appropriateWindowForDocModalOperations();
    if (!window && _applicationWindow && _applicationWindow->isWindowLoaded())
        window = _applicationWindow->window();
    if (!window)
        return;
    window->show();
    window->raise();
    window->activateWindow();
}

// ==== Menus ===============================================================================

namespace {

platform::MenuItemSpec menuItem(const QString& title, const char* selector,
                                const QString& shortcut = QString())
{
    platform::MenuItemSpec item;
    item.title = title;
    item.selector = QLatin1String(selector);
    item.shortcut = shortcut;
    return item;
}

QString shortcutText(QKeySequence::StandardKey key)
{
    return QKeySequence(key).toString();
}

QString miscText(const char* key)
{
    return platform::LocalizedString(QLatin1String(key), QStringLiteral("Miscellaneous"));
}

// The selectors the delegate answers, with the item each stands for.
struct AppCommand
{
    const char* selector;
    LBAppController::MenuAction action;
};
constexpr AppCommand appCommands[] = {
    {"newDocument:", LBAppController::MenuAction::NewDocument},
    {"openDocument:", LBAppController::MenuAction::OpenDocument},
    {"terminate:", LBAppController::MenuAction::Terminate},
    {"showPreferences:", LBAppController::MenuAction::ShowPreferences},
    {"showHelp:", LBAppController::MenuAction::ShowHelp},
    {"openWelcomeWindow:", LBAppController::MenuAction::OpenWelcomeWindow},
    {"preferredPrinterMenu:", LBAppController::MenuAction::PreferredPrinter},
    {"preferredPrinterAction:", LBAppController::MenuAction::PreferredPrinter},
};

} // namespace

void LBAppController::registerCommands()
{
    const auto command = [this](const char* selector, Command run) {
        addCommand(QLatin1String(selector), std::move(run));
    };
    command("newDocument:", [this](QObject*) { newDocument(); });
    // Kits are opened with the program too (the welcome window says so): chosen in the
    // Open panel, they are imported.
    command("openDocument:", [this](QObject*) {
        platform::DocumentController::sharedDocumentController().openDocument(
            QApplication::activeWindow(), {kitExtension},
            [this](const QStringList& kits) { applicationOpenFiles(kits); });
    });
    command("terminate:", [this](QObject*) { myTerminateAction(); });
    command("showPreferences:", [this](QObject*) { showPrefsPanel(); });
    command("showHelp:", [](QObject* sender) { myShowHelp(int(platform::actionTag(sender))); });
    command("openWelcomeWindow:", [this](QObject*) { openWelcomeWindowAction(false); });
    // The submenu validates through its own selector; its printers send the other.
    command("preferredPrinterMenu:", [](QObject*) {});
    command("preferredPrinterAction:", [this](QObject* sender) {
        // The chosen printer alone carries the check mark.
        if (auto* chosen = qobject_cast<QAction*>(sender)) {
            for (QObject* owner : chosen->associatedObjects()) {
                if (auto* menu = qobject_cast<QMenu*>(owner)) {
                    for (QAction* item : menu->actions())
                        item->setChecked(item == chosen);
                }
            }
        }
        preferredPrinterAction(platform::actionTag(sender));
    });
    command("toggleContextualInspector:", [this](QObject*) { toggleContextualInspector(); });
    command("newStandaloneInspector:", [this](QObject*) { newStandaloneInspector(); });
    command("inspectorToolsAction:", [this](QObject* sender) {
        QAction item;
        item.setData(platform::actionTag(sender));
        inspectorToolsAction(&item);
    });
}

void LBAppController::installMenuTable()
{
    // The shell's items join the window's commands; the functions ask for the delegate when
    // they run, so a window never holds on to one that went.
    QList<platform::MenuSpec> table = WindowMenus::defaultTable();
    if (platform::MenuSpec* file = platform::findMenu(table, QStringLiteral("&File"))) {
        file->items.prepend(platform::MenuItemSpec{});
        file->items.prepend(
            menuItem(tr("&Open..."), "openDocument:", shortcutText(QKeySequence::Open)));
        file->items.prepend(menuItem(tr("&New"), "newDocument:", shortcutText(QKeySequence::New)));
        file->items.append(platform::MenuItemSpec{});
        platform::MenuItemSpec printers =
            menuItem(tr("Preferred Printer"), "preferredPrinterMenu:");
        printers.fillSubmenu = [](QMenu* menu) {
            if (LBAppController* app = sharedAppController())
                app->buildPreferredPrinterMenu(menu);
        };
        file->items.append(printers);
        file->items.append(menuItem(tr("Preferences..."), "showPreferences:"));
        file->items.append(platform::MenuItemSpec{});
        file->items.append(menuItem(tr("&Quit"), "terminate:", shortcutText(QKeySequence::Quit)));
    }
    platform::MenuSpec inspector;
    inspector.title = tr("&Inspector");
    inspector.items = {menuItem(miscText("Hide Smart Inspector"), "toggleContextualInspector:"),
                       menuItem(tr("New Standalone Inspector"), "newStandaloneInspector:"),
                       platform::MenuItemSpec{}};
    inspector.updateItems = [](QMenu* menu) {
        if (LBAppController* app = sharedAppController())
            app->fillInspectorPaneItems(menu);
        else
            platform::removeAddedItems(menu);
    };
    table.append(inspector);
    platform::MenuSpec help;
    help.title = tr("&Help");
    help.items = {
        menuItem(tr("Veltrin Help"), "showHelp:", shortcutText(QKeySequence::HelpContents)),
        menuItem(tr("Welcome Window"), "openWelcomeWindow:")};
    table.append(help);
    WindowMenus::table() = table;
}

LBAppController::MenuAction LBAppController::menuActionForSelector(const QString& selector)
{
    for (const AppCommand& command : appCommands) {
        if (selector == QLatin1String(command.selector))
            return command.action;
    }
    return MenuAction::Other;
}

bool LBAppController::validateMenuItem(MenuAction action) const
{
    switch (action) {
    case MenuAction::NewDocument:
    case MenuAction::OpenDocument:
    case MenuAction::Terminate:
    case MenuAction::ShowPreferences:
    case MenuAction::ShowHelp:
    case MenuAction::OpenWelcomeWindow:
    case MenuAction::PreferredPrinter: return !_isTerminating;
    case MenuAction::Undo:
    case MenuAction::Redo: {
        // The front document's history decides.
        QWidget* active = QApplication::activeWindow();
        for (platform::Document* document :
             platform::DocumentController::sharedDocumentController().documents()) {
            if (active && document->appropriateWindowForDocModalOperations() == active)
                return action == MenuAction::Undo ? document->undoManager()->canUndo()
                                                  : document->undoManager()->canRedo();
        }
        return false;
    }
    // The arrangement items are design mode's.
    case MenuAction::BringToFront:
    case MenuAction::SendToBack:
    case MenuAction::Other: return false;
    }
    return false;
}

bool LBAppController::validateMenuItem(QAction* item)
{
    const QString selector = platform::actionSelector(item);
    if (selector == QLatin1String("toggleContextualInspector:")) {
        const bool shown = defaults().boolForKey(QStringLiteral("Show Contextual Inspector"));
        item->setText(shown ? miscText("Hide Smart Inspector") : miscText("Show Smart Inspector"));
        return !_isTerminating;
    }
    if (selector == QLatin1String("newStandaloneInspector:")
        || selector == QLatin1String("inspectorToolsAction:"))
        return !_isTerminating;
    return validateMenuItem(menuActionForSelector(selector));
}

void LBAppController::forEachWindowController(
    const std::function<void(platform::WindowController*)>& run) const
{
    for (platform::Document* document :
         platform::DocumentController::sharedDocumentController().documents()) {
        for (platform::WindowController* controller : document->windowControllers()) {
            if (controller->isWindowLoaded())
                run(controller);
        }
    }
}

void LBAppController::hideUndoMenuCommands(bool hide)
{
    // In the table for windows to come, and in the open windows' menus.
    QList<platform::MenuSpec>& table = WindowMenus::table();
    for (platform::MenuSpec& menu : table) {
        for (qsizetype i = 0; i < menu.items.size(); ++i) {
            const QString selector = menu.items[i].selector;
            if (selector != QLatin1String("undo:") && selector != QLatin1String("redo:"))
                continue;
            menu.items[i].visible = !hide;
            // The separator under Redo goes with it.
            if (selector == QLatin1String("redo:") && i + 1 < menu.items.size()
                && menu.items[i + 1].title.isEmpty())
                menu.items[i + 1].visible = !hide;
        }
    }
    forEachWindowController([hide](platform::WindowController* controller) {
        const QMainWindow* window = controller->mainWindow();
        if (!window)
            return;
        for (const QAction* top : window->menuBar()->actions()) {
            const QList<QAction*> items = top->menu() ? top->menu()->actions() : QList<QAction*>();
            for (qsizetype i = 0; i < items.size(); ++i) {
                const QString selector = platform::actionSelector(items[i]);
                if (selector != QLatin1String("undo:") && selector != QLatin1String("redo:"))
                    continue;
                items[i]->setVisible(!hide);
                if (selector == QLatin1String("redo:") && i + 1 < items.size()
                    && items[i + 1]->isSeparator())
                    items[i + 1]->setVisible(!hide);
            }
        }
    });
}

void LBAppController::setMenuItemShortcut(const QString& selector, const QKeySequence& shortcut)
{
    if (platform::MenuItemSpec* item = platform::findItem(WindowMenus::table(), selector))
        item->shortcut = shortcut.toString();
    forEachWindowController([&](platform::WindowController* controller) {
        if (QAction* item = controller->menuItemWithSelector(selector))
            item->setShortcut(shortcut);
    });
}

void LBAppController::buildPreferredPrinterMenu(QMenu* menu) const
{
    const auto add = [menu](const QString& title, qint64 index) {
        QAction* item = menu->addAction(title);
        platform::setActionSelector(item, QStringLiteral("preferredPrinterAction:"));
        platform::setActionTag(item, index);
        item->setCheckable(true);
        return item;
    };
    const QList<platform::Printers::Printer> printers = platform::Printers::printers();
    const qint64 preferred = defaults().integerForKey(QStringLiteral("Preferred Printer"));
    const qint64 checked = preferred <= 0 || preferred > printers.size() ? 0 : preferred;
    add(tr("Default Printer"), 0)->setChecked(checked == 0);
    menu->addSeparator();
    for (qsizetype i = 0; i < printers.size(); ++i)
        add(printers[i].name, i + 1)->setChecked(checked == i + 1);
}

void LBAppController::preferredPrinterAction(qint64 index)
{
    // 0 the default printer, n the n-th printer.
    defaults().setInteger(std::max<qint64>(0, index), QStringLiteral("Preferred Printer"));
}

void LBAppController::fillInspectorPaneItems(QMenu* menu) const
{
    // Copies of the smart palette's pane items, each sending the pane's tag.
    platform::removeAddedItems(menu);
    if (!_inspectorMenu)
        return;
    for (QAction* pane : _inspectorMenu->actions()) {
        QAction* item = menu->addAction(pane->text());
        platform::markAddedItem(item);
        item->setShortcut(pane->shortcut());
        if (pane->data().isValid()) {
            platform::setActionSelector(item, QStringLiteral("inspectorToolsAction:"));
            platform::setActionTag(item, pane->data().toLongLong());
        } else {
            item->setEnabled(false); // "No Selection"
        }
    }
}

void LBAppController::updateInspectorMenus()
{
    forEachWindowController(
        [](platform::WindowController* controller) { controller->updateMenuItems(); });
}

// ==== Help ================================================================================

void LBAppController::myShowHelp(int tag)
{
    Q_UNUSED(tag); // the program has no web pages of its own: every item opens the guide
    const QString guide = platform::Bundle().pathForFileResource(QStringLiteral("Veltrin.pdf"));
    if (!guide.isEmpty() && QDesktopServices::openUrl(QUrl::fromLocalFile(guide)))
        return;
    qWarning().noquote() << QStringLiteral("Uh oh, couldn't open user guide: %1")
                                .arg(guide.isEmpty() ? QStringLiteral("Veltrin.pdf") : guide);
    // The user asked for the guide: say why nothing opens, and where the file is.
    platform::Alert alert;
    alert.messageText = dialogString("The user guide could not be opened.");
    alert.informativeText =
        guide.isEmpty()
            ? dialogString("The guide is missing from this installation of Veltrin.")
            : dialogString("No program for PDF documents was found to show it. The guide is the "
                           "file \u201c%1\u201d.")
                  .arg(QDir::toNativeSeparators(guide));
    alert.runModal();
}

void LBAppController::openUserGuide()
{
    myShowHelp(0);
}

// ==== Quit ================================================================================

void LBAppController::myTerminateAction()
{
    if (_isTerminating)
        return;
    _isTerminating = true;
    // Open layout choosers close first, the newest first (a new document's with its
    // untitled document).
    LBLayoutSheetController::closeAllOpenControllers();
    auto& controller = platform::DocumentController::sharedDocumentController();
    controller.reviewUnsavedDocuments([this, &controller](bool shouldTerminate) {
        if (!shouldTerminate) {
            _isTerminating = false;
            return;
        }
        controller.closeAllDocuments();
        // 3. The standalone inspector palettes, to come back at the next launch.
        saveStandaloneInspectors();
        applicationWillTerminate();
        QCoreApplication::quit();
    });
}

void LBAppController::applicationWillTerminate(const QStringList& keptCopies)
{
    if (_terminated)
        return;
    _terminated = true;
    // The user's fields, written whole or not at all.
    const QString fieldsPath = supportFolderPath() + QStringLiteral("CustomFields.plist");
    const QVariantList& custom = LBProcessState::fieldsList(LBProcessState::FieldsList::Custom);
    QSaveFile file(fieldsPath);
    if (!file.open(QIODevice::WriteOnly)
        || file.write(platform::PropertyList::toXml(QVariant(custom))) < 0 || !file.commit())
        qWarning().noquote()
            << QStringLiteral("Could not write %1: %2").arg(fieldsPath, file.errorString());
    // A clean quit leaves no AutoRecover copies or working files; a stop without questions
    // leaves the copies of the edited documents for the next launch to offer.
    QSet<QString> kept;
    for (const QString& path : keptCopies)
        kept.insert(QDir::cleanPath(path));
    for (const QString& path : folderEntries(temporaryFolderPath())) {
        if (!kept.contains(QDir::cleanPath(path)))
            platform::removeItem(path);
    }
    defaults().synchronize();
}

void LBAppController::terminateWithoutAsking()
{
    // (A quit that already ran ends the loops all the same.)
    if (_terminated) {
        QCoreApplication::exit(0);
        return;
    }
    _isTerminating = true;
    // Nobody is there to answer questions. Each edited document's changes go to its
    // AutoRecover copy (written now, whatever the AutoRecover interval), which the next
    // launch offers. The documents stay open until the process ends: closing one would
    // delete its copy.
    QStringList copies;
    for (platform::Document* document :
         platform::DocumentController::sharedDocumentController().documents()) {
        auto* design = dynamic_cast<LBDocument*>(document);
        if (!design || !design->isDocumentEdited())
            continue;
        design->saveTemporaryFileIfDirty();
        if (QFileInfo::exists(design->temporaryFilePath()))
            copies << design->temporaryFilePath();
    }
    saveStandaloneInspectors();
    applicationWillTerminate(copies);
    // Every event loop ends, open dialogs' too; no window is asked whether it may close.
    QCoreApplication::exit(0);
}

void LBAppController::lastWindowClosed()
{
    // Closing the last window does not quit. Alerts before the launch ends close too: only
    // once the launch ran, no document is open and no window is left but the floating
    // palettes (the inspectors) does the program's own window come, with the menu bar.
    if (!_applicationDidFinishLaunching || _isTerminating
        || !platform::DocumentController::sharedDocumentController().documents().isEmpty())
        return;
    const QWidgetList windows = QApplication::topLevelWidgets();
    if (std::any_of(windows.cbegin(), windows.cend(), [](const QWidget* window) {
            const Qt::WindowType type = window->windowType();
            return window->isVisible() && window->isWindow() && type != Qt::Tool
                   && type != Qt::Popup && type != Qt::ToolTip;
        }))
        return;
    showApplicationWindow();
}

platform::WindowController* LBAppController::applicationWindow() const
{
    return _applicationWindow;
}

void LBAppController::showApplicationWindow()
{
    if (!_applicationWindow) {
        _applicationWindow = new ApplicationWindowController(
            [this] {
                // The user closed the program's last window: that is the quit command.
                if (!_isTerminating
                    && platform::DocumentController::sharedDocumentController()
                           .documents()
                           .isEmpty())
                    myTerminateAction();
            },
            this);
    }
    _applicationWindow->showWindow();
}

// ==== Process ============================================================================

void LBAppController::setUpApplicationIdentity()
{
    QCoreApplication::setOrganizationName(QStringLiteral("Orvane"));
    QCoreApplication::setApplicationName(QStringLiteral("Veltrin"));
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
    terminateWithoutAsking();
}

// ==== Process-wide values ================================================================

QString LBAppController::supportFolderPath()
{
    return LBProcessState::applicationSupportPath();
}

QString LBAppController::designsFolderPath()
{
    return LBProcessState::designsFolderPath();
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
