#include "app/LBAppController.h"

#include "app/LBLibraryController.h"

#include "app/LBWelcomeWindowController.h"
#include "app/SupportFolders.h"
#include "canvas/LBRulerView.h"
#include "document/LBDocument.h"
#include "graphics/LBProcessState.h"
#include "inspector/HUDTextPanes.h"
#include "layouts/LBLayoutSheetController.h"
#include "merge/MergeClasses.h"
#include "platform/core/Error.h"
#include "platform/core/FileOperations.h"
#include "platform/core/PropertyList.h"
#include "platform/core/Strings.h"
#include "platform/core/TextForms.h"
#include "platform/core/UndoManager.h"
#include "platform/core/UserDefaults.h"
#include "platform/drawing/Bundle.h"
#include "platform/ui/Alert.h"
#include "platform/ui/ColorPanel.h"
#include "platform/ui/DocumentController.h"
#include "platform/ui/PreferencesWindow.h"
#include "platform/ui/Printers.h"
#include "platform/ui/WindowController.h"
#include "window/LBDrawerController.h"
#include "window/LBEditController.h"
#include "window/WindowClasses.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPointF>
#include <QSaveFile>
#include <QScreen>
#include <QSizeF>
#include <QSocketNotifier>
#include <QTimer>
#include <QUrl>
#include <QVariantMap>
#include <QWidget>

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace {

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

} // namespace

// ==== Set-up ==============================================================================

void LBAppController::initialize()
{
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
    registerTextPanes();
    DesignModeController::setFactory([] { return std::make_unique<LBEditController>(); });
    DesignDrawer::setFactory([] { return std::make_unique<LBDrawerController>(); });
    DrawerBrowser::setFactory(5, [] { return LBLibraryController::makeFavorites(); });
    installDocumentTypes();
    buildMenus();

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
    // 5. Only now the delegate: a document made above does not count as opened (the
    //    one "Move Files to Trash" makes is counted there).
    sharedController = this;
    ApplicationServices::setShared(this);
    connect(&platform::DocumentController::sharedDocumentController(),
            &platform::DocumentController::documentAdded, this,
            [this](platform::Document* document) {
                setDocumentWasOpened(true);
                installMenus(document);
            });
    // 6. The display scale factor.
    setDisplayScaleFactor(largestScreenScaleFactor());

    // The last document window closing quits (below), through the quit command.
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
    delete _fileMenu;
    delete _editMenu;
    delete _arrangeMenu;
    delete _helpMenu;
    delete _inspectorMenu;
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
    using List = LBProcessState::FieldsList;
    const platform::Bundle bundle;
    LBProcessState::fieldsList(List::Standard) =
        fieldListFromFile(bundle.pathForResource(QStringLiteral("Fields.plist")));
    LBProcessState::fieldsList(List::My) =
        fieldListFromFile(bundle.pathForResource(QStringLiteral("MyFields.plist")));
    LBProcessState::fieldsList(List::Misc) =
        fieldListFromFile(bundle.pathForResource(QStringLiteral("MiscFields.plist")));
    LBProcessState::fieldsList(List::Custom) =
        fieldListFromFile(supportFolderPath() + QStringLiteral("CustomFields.plist"));
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
    newDocument();
    // That document is the launch's: no second untitled one follows.
    _documentWasOpened = true;
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
    _bringToFrontMenuItem->setShortcut(QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_BracketRight));
    _sendToBackMenuItem->setShortcut(QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_BracketLeft));
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
    if (!_foundTemporaryFiles && !_documentWasOpened)
        QTimer::singleShot(launchDelay, this, &LBAppController::createNewDocument);
    else
        scheduleWelcomeWindow();
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
        // Untitled, and saving its AutoRecover copy where it was found.
        recovered->setFileName(QString());
        recovered->setAddsQuarnLabelControls(false);
        recovered->setTemporaryFilePath(path);
        controller.addAndShowDocument(recovered);
        for (platform::WindowController* windowController : recovered->windowControllers()) {
            if (QWidget* window = windowController->window())
                window->setWindowTitle(QStringLiteral("(Recovered File)"));
        }
    }
}

void LBAppController::createNewDocument()
{
    if (!_foundTemporaryFiles && !_documentWasOpened)
        newDocument();
    scheduleWelcomeWindow();
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
    if (!files.isEmpty() && QFileInfo(files.first()).suffix() == QLatin1String("icorbeil")) {
        QMetaObject::invokeMethod(
            this, [this, files] { importCorbeils(files); }, Qt::QueuedConnection);
        return;
    }
    for (const QString& path : files) {
        if (!isDocumentFile(path)) {
            qInfo().noquote() << QStringLiteral("%1 skipped: not a document").arg(path);
            continue;
        }
        openFile(path);
    }
}

void LBAppController::openFile(const QString& path)
{
    auto& controller = platform::DocumentController::sharedDocumentController();
    if (!controller.documentForFileName(path))
        _allowDocumentCreation = true;
    platform::Error error;
    if (!controller.openDocumentWithContentsOfFile(path, &error))
        qWarning().noquote()
            << QStringLiteral("%1 could not be opened: %2").arg(path, error.description);
}

void LBAppController::bringFrontWindowForward()
{
    const auto& documents = platform::DocumentController::sharedDocumentController().documents();
    QWidget* window = QApplication::activeWindow();
    if (!window && !documents.isEmpty())
        window = documents.last()->appropriateWindowForDocModalOperations();
    if (!window)
        return;
    window->show();
    window->raise();
    window->activateWindow();
}

// ==== Menus ===============================================================================

void LBAppController::buildMenus()
{
    _fileMenu = new QMenu(tr("&File"));
    _newMenuItem = _fileMenu->addAction(tr("&New"), this, &LBAppController::newDocument);
    _newMenuItem->setShortcut(QKeySequence::New);
    _openMenuItem = _fileMenu->addAction(tr("&Open..."), this, [] {
        platform::DocumentController::sharedDocumentController().openDocument(
            QApplication::activeWindow());
    });
    _openMenuItem->setShortcut(QKeySequence::Open);
    _fileMenu->addSeparator();
    _preferredPrinterMenu = _fileMenu->addMenu(tr("Preferred Printer"));
    QAction* defaultPrinter = _preferredPrinterMenu->addAction(tr("Default Printer"));
    defaultPrinter->setCheckable(true);
    _preferredPrinterMenu->addSeparator();
    connect(_preferredPrinterMenu, &QMenu::triggered, this,
            &LBAppController::preferredPrinterAction);
    connect(_preferredPrinterMenu, &QMenu::aboutToShow, this,
            &LBAppController::buildPreferredPrinterMenu);
    _preferencesMenuItem =
        _fileMenu->addAction(tr("Preferences..."), this, &LBAppController::showPrefsPanel);
    _preferencesMenuItem->setMenuRole(QAction::PreferencesRole);
    _fileMenu->addSeparator();
    _quitMenuItem = _fileMenu->addAction(tr("&Quit"), this, &LBAppController::myTerminateAction);
    _quitMenuItem->setShortcut(QKeySequence::Quit);

    // Undo and redo act on the front document.
    _editMenu = new QMenu(tr("&Edit"));
    const auto frontUndoManager = []() -> platform::UndoManager* {
        QWidget* active = QApplication::activeWindow();
        for (platform::Document* document :
             platform::DocumentController::sharedDocumentController().documents()) {
            if (active && document->appropriateWindowForDocModalOperations() == active)
                return document->undoManager();
        }
        return nullptr;
    };
    _undoMenuItem = _editMenu->addAction(tr("&Undo"), this, [frontUndoManager] {
        if (platform::UndoManager* manager = frontUndoManager())
            manager->undo();
    });
    _undoMenuItem->setShortcut(QKeySequence::Undo);
    _redoMenuItem = _editMenu->addAction(tr("&Redo"), this, [frontUndoManager] {
        if (platform::UndoManager* manager = frontUndoManager())
            manager->redo();
    });
    _redoMenuItem->setShortcut(QKeySequence::Redo);
    _undoMenuDivider = _editMenu->addSeparator();

    // Design mode connects these to its canvas; they stay disabled until it does.
    _arrangeMenu = new QMenu(tr("&Arrange"));
    _bringToFrontMenuItem = _arrangeMenu->addAction(tr("Bring to Front"));
    _sendToBackMenuItem = _arrangeMenu->addAction(tr("Send to Back"));
    _bringToFrontMenuItem->setEnabled(false);
    _sendToBackMenuItem->setEnabled(false);

    _helpMenu = new QMenu(tr("&Help"));
    _helpMenuItem = _helpMenu->addAction(tr("Veltrin Help"), this, [this] { myShowHelp(0); });
    _helpMenuItem->setShortcut(QKeySequence::HelpContents);
    _welcomeMenuItem = _helpMenu->addAction(tr("Welcome Window"), this,
                                            [this] { openWelcomeWindowAction(false); });

    buildInspectorMenu();

    for (QMenu* menu : {_fileMenu, _editMenu, _arrangeMenu, _helpMenu})
        connect(menu, &QMenu::aboutToShow, this, &LBAppController::validateMenus);
    validateMenus();
}

void LBAppController::installMenus(platform::Document* document) const
{
    for (platform::WindowController* controller : document->windowControllers()) {
        QMainWindow* window = controller->mainWindow();
        if (!window)
            continue;
        for (QMenu* menu : menus())
            window->menuBar()->addMenu(menu);
    }
}

QList<QMenu*> LBAppController::menus() const
{
    return {_fileMenu, _editMenu, _arrangeMenu, _inspectorMenu, _helpMenu};
}

QAction* LBAppController::actionFor(MenuAction action) const
{
    switch (action) {
    case MenuAction::NewDocument: return _newMenuItem;
    case MenuAction::OpenDocument: return _openMenuItem;
    case MenuAction::Terminate: return _quitMenuItem;
    case MenuAction::ShowPreferences: return _preferencesMenuItem;
    case MenuAction::ShowHelp: return _helpMenuItem;
    case MenuAction::OpenWelcomeWindow: return _welcomeMenuItem;
    case MenuAction::PreferredPrinter: return _preferredPrinterMenu->menuAction();
    case MenuAction::Undo: return _undoMenuItem;
    case MenuAction::Redo: return _redoMenuItem;
    case MenuAction::BringToFront: return _bringToFrontMenuItem;
    case MenuAction::SendToBack: return _sendToBackMenuItem;
    case MenuAction::Other: break;
    }
    return nullptr;
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

void LBAppController::validateMenus()
{
    for (MenuAction action :
         {MenuAction::NewDocument, MenuAction::OpenDocument, MenuAction::Terminate,
          MenuAction::ShowPreferences, MenuAction::ShowHelp, MenuAction::OpenWelcomeWindow,
          MenuAction::PreferredPrinter, MenuAction::Undo, MenuAction::Redo}) {
        actionFor(action)->setEnabled(validateMenuItem(action));
    }
}

void LBAppController::hideUndoMenuCommands(bool hide)
{
    for (QAction* item : {_undoMenuItem, _redoMenuItem, _undoMenuDivider})
        item->setVisible(!hide);
}

void LBAppController::buildPreferredPrinterMenu()
{
    const QList<QAction*> items = _preferredPrinterMenu->actions();
    QAction* defaultItem = items.value(0);
    defaultItem->setChecked(false);
    for (qsizetype i = 2; i < items.size(); ++i) {
        _preferredPrinterMenu->removeAction(items[i]);
        delete items[i];
    }
    const QList<platform::Printers::Printer> printers = platform::Printers::printers();
    for (const platform::Printers::Printer& printer : printers) {
        QAction* item = _preferredPrinterMenu->addAction(printer.name);
        item->setCheckable(true);
    }
    const qint64 preferred = defaults().integerForKey(QStringLiteral("Preferred Printer"));
    const qsizetype checked = preferred <= 0 || preferred > printers.size() ? 0 : preferred + 1;
    _preferredPrinterMenu->actions().at(checked)->setChecked(true);
}

void LBAppController::preferredPrinterAction(QAction* item)
{
    const QList<QAction*> items = _preferredPrinterMenu->actions();
    const qsizetype index = items.indexOf(item);
    if (index < 0 || item->isSeparator())
        return;
    for (QAction* other : items)
        other->setChecked(other == item);
    defaults().setInteger(index == 0 ? 0 : index - 1, QStringLiteral("Preferred Printer"));
}

// ==== Help ================================================================================

void LBAppController::myShowHelp(int tag)
{
    Q_UNUSED(tag); // the program has no web pages of its own: every item opens the guide
    const QString guide = platform::Bundle().pathForFileResource(QStringLiteral("Veltrin.pdf"));
    if (guide.isEmpty() || !QDesktopServices::openUrl(QUrl::fromLocalFile(guide)))
        qWarning().noquote() << QStringLiteral("Uh oh, couldn't open user guide: %1")
                                    .arg(guide.isEmpty() ? QStringLiteral("Veltrin.pdf") : guide);
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

void LBAppController::applicationWillTerminate()
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
    // A clean quit leaves no AutoRecover copies or working files.
    for (const QString& path : folderEntries(temporaryFolderPath()))
        platform::removeItem(path);
    defaults().synchronize();
}

void LBAppController::lastWindowClosed()
{
    // Alerts before the launch ends close too: only the last document window quits, and
    // only once no window is left.
    if (!_applicationDidFinishLaunching || _isTerminating
        || !platform::DocumentController::sharedDocumentController().documents().isEmpty())
        return;
    const QWidgetList windows = QApplication::topLevelWidgets();
    if (std::any_of(windows.cbegin(), windows.cend(), [](const QWidget* window) {
            return window->isVisible() && window->isWindow()
                   && !(window->windowType() == Qt::Popup || window->windowType() == Qt::ToolTip);
        }))
        return;
    myTerminateAction();
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
    // Asked to stop: nobody is there to answer questions. The documents stay open until
    // the process ends, so their AutoRecover copies are there for the next launch.
    _isTerminating = true;
    QCoreApplication::quit();
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
