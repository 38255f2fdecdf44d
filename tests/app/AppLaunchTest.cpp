#include "app/LBAppController.h"

#include "document/LBDocument.h"
#include "graphics/LBProcessState.h"
#include "inspector/HUDWindowController.h"
#include "platform/core/Error.h"
#include "platform/core/FileOperations.h"
#include "platform/core/PropertyList.h"
#include "platform/core/UserDefaults.h"
#include "platform/ui/Alert.h"
#include "platform/ui/DocumentController.h"
#include "platform/ui/Printers.h"
#include "platform/ui/WindowController.h"
#include "window/DrawerBrowser.h"
#include "window/LBWindowController.h"
#include "window/WindowMenus.h"

#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDesktopServices>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>
#include <QUrl>

#include "LaunchFixture.h"

#include <gtest/gtest.h>

#include <csignal>
#include <memory>

namespace {

void flushDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

class FakePrinters : public platform::Printers::Source
{
public:
    explicit FakePrinters(QStringList names) : _names(std::move(names)) {}
    QList<platform::Printers::Printer> printers() const override
    {
        QList<platform::Printers::Printer> printers;
        for (const QString& name : _names)
            printers.append({name, QStringLiteral("Model")});
        return printers;
    }
    QList<QPageSize> paperSizes(const QString&) const override { return {}; }

private:
    QStringList _names;
};

class AppLaunch : public LaunchFixture
{
protected:
    void TearDown() override
    {
        LaunchFixture::TearDown();
        platform::setFileOperationHooks({});
        platform::Printers::setSource(nullptr);
        defaults().removeObjectForKey(QStringLiteral("Preferred Printer"));
        QFile::remove(LBAppController::supportFolderPath() + QStringLiteral("CustomFields.plist"));
    }

    // A document package at the path, written as a label document.
    static void writeDocument(const QString& path)
    {
        LBDocument document;
        platform::Error error;
        ASSERT_TRUE(document.saveToFile(path, LBDocument::LabelDocumentType,
                                        platform::Document::SaveToOperation, &error))
            << error.description.toStdString();
    }

    QList<platform::Document*> openDocuments() const { return documents().documents(); }
};

} // namespace

TEST_F(AppLaunch, AFreshLaunchMakesOneUntitledDocument)
{
    defaults().removeObjectForKey(QStringLiteral("LBLaunchCount"));
    launch();
    ASSERT_EQ(openDocuments().size(), 1);
    EXPECT_TRUE(openDocuments().first()->fileName().isEmpty());
    EXPECT_EQ(openDocuments().first()->fileType(), LBDocument::LabelDocumentType);
    EXPECT_TRUE(alerts.isEmpty());
    // Its window shows the application's menus.
    auto* window = qobject_cast<QMainWindow*>(
        openDocuments().first()->appropriateWindowForDocModalOperations());
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    QStringList menus;
    for (QAction* menu : window->menuBar()->actions())
        menus << menu->text();
    EXPECT_EQ(menus, QStringList({"&File", "&Edit", "&Insert", "&Arrange", "&Page", "&View",
                                  "&Inspector", "&Help"}));
    // One table: the shell's items beside the window's, each enabled by whoever answers it.
    auto* controllerOfWindow = openDocuments().first()->windowControllers().value(0);
    ASSERT_NE(controllerOfWindow, nullptr);
    controllerOfWindow->validateMenus();
    for (const char* selector : {"newDocument:", "openDocument:", "terminate:", "saveDocumentAs:",
                                 "showPreferences:", "showHelp:", "toggleContextualInspector:"}) {
        QAction* item = controllerOfWindow->menuItemWithSelector(QLatin1String(selector));
        ASSERT_NE(item, nullptr) << selector;
        EXPECT_TRUE(item->isEnabled()) << selector;
    }
    EXPECT_EQ(LBAppController::sharedAppController(), controller.get());
    EXPECT_TRUE(controller->allowDocumentCreation());
    EXPECT_TRUE(controller->documentWasOpened());
    // The first launch and the one after it.
    EXPECT_EQ(defaults().integerForKey(QStringLiteral("LBLaunchCount")), 1);
    EXPECT_FALSE(defaults().boolForKey(QStringLiteral("New Preferences")));
    EXPECT_TRUE(defaults().boolForKey(QStringLiteral("Second Launch")));
    controller.reset();
    documents().closeAllDocuments();
    flushDeletes();
    launch();
    EXPECT_EQ(defaults().integerForKey(QStringLiteral("LBLaunchCount")), 2);
    EXPECT_FALSE(defaults().boolForKey(QStringLiteral("Second Launch")));
}

TEST_F(AppLaunch, TheSettingsFileHoldsOnlyWhatTheLaunchChanged)
{
    launch();
    // The new window's panes lay themselves out once it has shown (before the layout
    // chooser opens on it, which stores its own size when it closes).
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
    controller->myTerminateAction();
    ASSERT_TRUE(controller->isTerminating());
    defaults().synchronize();
    const QSettings written(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Orvane"),
                            QStringLiteral("Veltrin"));
    const QStringList changedByTheLaunch = {
        QStringLiteral("LBLaunchCount"), QStringLiteral("New Preferences"),
        QStringLiteral("Second Launch"), QStringLiteral("Update Application Name"),
        QStringLiteral("Update Application Name2"), QStringLiteral("Check For Version 1 Files"),
        // (the fixture's)
        QStringLiteral("SkipWelcomeWindow"),
        // The new window's design drawer shows its browser and remembers which.
        QStringLiteral("Graphics Drawer Open"), QStringLiteral("Graphics Drawer Selection"),
        // The quit writes the standalone palettes, none.
        QStringLiteral("Standalone Inspector Array"),
        // The default printer's answer, for the next start's first document.
        QStringLiteral("LBDefaultPrinterPaper"),
        // On a slow machine the chooser opens on the new window before the quit, and its
        // sizes are written when the quit closes it.
        QStringLiteral("Layout Sheet Document List Width")};
    EXPECT_FALSE(written.allKeys().isEmpty());
    // Beside them, the document window keeps its frame.
    for (const QString& key : written.allKeys())
        EXPECT_TRUE(changedByTheLaunch.contains(key)
                    || key.startsWith(QLatin1String("Window Frame"))
                    || key.startsWith(QLatin1String("Layout Sheet Size")))
            << key.toStdString();
}

// The contact columns the user left alone open as wide on every launch (the people column's
// width is stored 3 less than it is).
TEST_F(AppLaunch, EveryLaunchOpensTheContactColumnsAsWideAsTheLastOne)
{
    const auto columnWidths = [this] {
        launch();
        settle(300);
        const QList<platform::Document*> open = documents().documents();
        EXPECT_EQ(open.size(), 1);
        const auto* window = open.isEmpty() ? nullptr
                                            : dynamic_cast<LBWindowController*>(
                                                  open.first()->windowControllers().value(0));
        EXPECT_NE(window, nullptr);
        const QSize widths = window ? QSize(window->groupColumn()->width(),
                                            window->peopleColumn()->width())
                                    : QSize();
        controller.reset();
        documents().closeAllDocuments();
        flushDeletes();
        return widths;
    };
    const QSize first = columnWidths();
    EXPECT_GT(first.height(), 10);
    for (int launches = 2; launches <= 3; ++launches)
        EXPECT_EQ(columnWidths(), first) << "launch " << launches;
}

TEST_F(AppLaunch, OpenFilesReopensAutoRecoverCopiesAsRecoveredUntitledDocuments)
{
    const QString first = temporaryFolder + QStringLiteral("100.quarnlb");
    const QString second = temporaryFolder + QStringLiteral("200.quarnlb");
    writeDocument(first);
    writeDocument(second);
    // A copy that cannot be read is passed over; a working file is no copy.
    QDir().mkpath(temporaryFolder + QStringLiteral("300.quarnlb"));
    QFile(temporaryFolder + QStringLiteral("400.tiff")).open(QIODevice::WriteOnly);

    alertAnswer = platform::Alert::FirstButtonReturn; // Open Files
    launch();
    ASSERT_EQ(alerts, QStringList({QStringLiteral("Open AutoRecover files?")}));
    EXPECT_TRUE(controller->foundTemporaryFiles());
    ASSERT_EQ(openDocuments().size(), 2); // no untitled one beside them
    QStringList copies;
    for (platform::Document* document : openDocuments()) {
        auto* recovered = qobject_cast<LBDocument*>(document);
        ASSERT_NE(recovered, nullptr);
        EXPECT_TRUE(recovered->fileName().isEmpty());
        copies << recovered->temporaryFilePath();
        QWidget* window = recovered->appropriateWindowForDocModalOperations();
        ASSERT_NE(window, nullptr);
        EXPECT_EQ(window->windowTitle(), QStringLiteral("(Recovered File)[*]"));
    }
    EXPECT_EQ(copies, QStringList({first, second}));
}

TEST_F(AppLaunch, MoveFilesToTrashTrashesEveryEntryAndMakesOneDocument)
{
    writeDocument(temporaryFolder + QStringLiteral("100.quarnev"));
    QFile(temporaryFolder + QStringLiteral("400.tiff")).open(QIODevice::WriteOnly);
    QFile(temporaryFolder + QStringLiteral("500.pdf")).open(QIODevice::WriteOnly);
    QStringList trashed;
    platform::FileOperationHooks hooks;
    hooks.moveToTrash = [&trashed](const QString& path) {
        trashed << QFileInfo(path).fileName();
        // One the Trash refuses stays where it is.
        if (path.endsWith(QLatin1String(".pdf")))
            return false;
        return platform::removeItem(path);
    };
    platform::setFileOperationHooks(hooks);
    alertAnswer = platform::Alert::SecondButtonReturn; // Move Files to Trash
    launch();
    EXPECT_EQ(trashed, QStringList({QStringLiteral("100.quarnev"), QStringLiteral("400.tiff"),
                                    QStringLiteral("500.pdf")}));
    EXPECT_TRUE(QFileInfo::exists(temporaryFolder + QStringLiteral("500.pdf")));
    EXPECT_FALSE(controller->foundTemporaryFiles());
    ASSERT_EQ(openDocuments().size(), 1);
    EXPECT_TRUE(openDocuments().first()->fileName().isEmpty());

    // A launch handed a file opens that file alone, with no untitled document beside it.
    platform::DocumentController::sharedDocumentController().closeAllDocuments();
    settle();
    writeDocument(temporaryFolder + QStringLiteral("600.quarnlb"));
    QTemporaryDir folder;
    const QString asked = folder.filePath(QStringLiteral("Asked.quarnlb"));
    writeDocument(asked);
    launch({asked});
    ASSERT_EQ(openDocuments().size(), 1);
    EXPECT_EQ(openDocuments().first()->fileName(), asked);
}

TEST_F(AppLaunch, OpensHandedFilesByTheirOwnExtension)
{
    QTemporaryDir folder;
    const QString label = folder.filePath(QStringLiteral("Card.quarnlb"));
    const QString envelope = folder.filePath(QStringLiteral("Letter.quarnev"));
    writeDocument(label);
    writeDocument(envelope);
    controller = std::make_unique<LBAppController>();

    struct Case
    {
        const char* name;
        QStringList files;
        QStringList openAfter; // the open documents' files, in order
        QStringList alertsAfter;
    };
    const QString kitQuestion = QStringLiteral("Do you want to import the selected kit?");
    const QList<Case> cases = {
        {"a document", {label}, {label}, {}},
        {"already open: only brought forward", {label}, {label}, {}},
        {"a kit after a document: the document opens, the kit goes to the kit import",
         {envelope, folder.filePath(QStringLiteral("Kit.icorbeil"))},
         {label, envelope},
         {kitQuestion}},
        {"an unknown extension and a missing document are each reported",
         {folder.filePath(QStringLiteral("notes.txt")),
          folder.filePath(QStringLiteral("Gone.quarnpg"))},
         {label, envelope},
         {QStringLiteral("The document \u201cnotes.txt\u201d could not be opened."),
          QStringLiteral("The document \u201cGone.quarnpg\u201d could not be opened.")}},
    };
    alertAnswer = platform::Alert::SecondButtonReturn; // Cancel the kit import
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        alerts.clear();
        controller->applicationOpenFiles(c.files);
        settle();
        QStringList open;
        for (platform::Document* document : openDocuments())
            open << document->fileName();
        EXPECT_EQ(open, c.openAfter);
        EXPECT_EQ(alerts, c.alertsAfter);
    }
    EXPECT_TRUE(controller->allowDocumentCreation());
    EXPECT_TRUE(controller->documentWasOpened());
    // A launch after files were opened makes no untitled document.
    controller->applicationDidFinishLaunching();
    settle();
    EXPECT_EQ(openDocuments().size(), 2);
}

TEST_F(AppLaunch, PreferredPrinterMenuChecksTheStoredPrinter)
{
    platform::Printers::setSource(std::make_shared<FakePrinters>(
        QStringList{QStringLiteral("Office"), QStringLiteral("Lab"), QStringLiteral("Home")}));
    defaults().setInteger(5, QStringLiteral("Preferred Printer")); // beyond the printers
    launch();
    ASSERT_FALSE(openDocuments().isEmpty());
    QAction* submenuItem =
        openDocuments().first()->windowControllers().value(0)->menuItemWithSelector(
            QStringLiteral("preferredPrinterMenu:"));
    ASSERT_NE(submenuItem, nullptr);
    QMenu* menu = submenuItem->menu();
    ASSERT_NE(menu, nullptr);
    Q_EMIT menu->aboutToShow();
    QList<QAction*> items = menu->actions();
    ASSERT_EQ(items.size(), 5);
    EXPECT_TRUE(items[1]->isSeparator());
    EXPECT_EQ(items[3]->text(), QStringLiteral("Lab"));
    EXPECT_TRUE(items[0]->isChecked());

    items[3]->trigger(); // the second printer
    EXPECT_EQ(defaults().integerForKey(QStringLiteral("Preferred Printer")), 2);
    for (qsizetype i = 0; i < items.size(); ++i)
        EXPECT_EQ(items[i]->isChecked(), i == 3) << i;

    // Opened again with fewer printers: the items follow, the stored printer keeps its
    // mark.
    platform::Printers::setSource(std::make_shared<FakePrinters>(
        QStringList{QStringLiteral("Office"), QStringLiteral("Lab")}));
    Q_EMIT menu->aboutToShow();
    items = menu->actions();
    ASSERT_EQ(items.size(), 4);
    EXPECT_TRUE(items[3]->isChecked());
    EXPECT_FALSE(items[0]->isChecked());
    items[0]->trigger();
    EXPECT_EQ(defaults().integerForKey(QStringLiteral("Preferred Printer")), 0);
}

TEST_F(AppLaunch, QuitAsksAboutEditedDocumentsAndCleansUpAfterItself)
{
    launch();
    ASSERT_EQ(openDocuments().size(), 1);
    platform::Document* edited = openDocuments().first();
    edited->updateChangeCount(platform::Document::ChangeDone);
    ASSERT_TRUE(edited->isDocumentEdited());
    QFile(temporaryFolder + QStringLiteral("400.tiff")).open(QIODevice::WriteOnly);
    LBProcessState::fieldsList(LBProcessState::FieldsList::Custom) = {
        QVariantMap{{QStringLiteral("Name"), QStringLiteral("Table")}}};
    const QString fields =
        LBAppController::supportFolderPath() + QStringLiteral("CustomFields.plist");

    // Cancel: the program keeps running, everything as it was.
    alertAnswer = platform::Alert::ThirdButtonReturn;
    controller->myTerminateAction();
    EXPECT_EQ(alerts.size(), 1);
    EXPECT_FALSE(controller->isTerminating());
    EXPECT_EQ(openDocuments().size(), 1);
    EXPECT_FALSE(QFileInfo::exists(fields));
    EXPECT_TRUE(QFileInfo::exists(temporaryFolder + QStringLiteral("400.tiff")));

    // Don't Save: the documents close, the user's fields are written and the working
    // files go.
    alertAnswer = platform::Alert::SecondButtonReturn;
    controller->myTerminateAction();
    EXPECT_EQ(alerts.size(), 2);
    EXPECT_TRUE(controller->isTerminating());
    EXPECT_TRUE(openDocuments().isEmpty());
    EXPECT_TRUE(
        QDir(temporaryFolder).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden));
    QFile file(fields);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const std::optional<QVariant> written = platform::PropertyList::read(file.readAll());
    ASSERT_TRUE(written);
    EXPECT_EQ(written->toList(), LBProcessState::fieldsList(LBProcessState::FieldsList::Custom));
    LBProcessState::fieldsList(LBProcessState::FieldsList::Custom).clear();
}

TEST_F(AppLaunch, ClosingTheLastDocumentWindowLeavesTheProgramsWindowWithItsMenus)
{
    launch();
    ASSERT_EQ(openDocuments().size(), 1);
    // A floating inspector palette is no window to work from.
    HUDWindowController* palette = controller->newStandaloneInspector();
    ASSERT_NE(palette, nullptr);
    palette->window()->show();
    ASSERT_TRUE(palette->window()->isVisible());
    platform::Document* document = openDocuments().first();
    // A second document: closing one window leaves the other.
    documents().openUntitledDocument();
    ASSERT_EQ(openDocuments().size(), 2);
    document->appropriateWindowForDocModalOperations()->close();
    settle();
    EXPECT_EQ(openDocuments().size(), 1);
    EXPECT_EQ(controller->applicationWindow(), nullptr);

    // The last one: the program goes on, in a window of its own with the menu bar.
    openDocuments().first()->appropriateWindowForDocModalOperations()->close();
    settle();
    EXPECT_TRUE(openDocuments().isEmpty());
    EXPECT_FALSE(controller->isTerminating());
    platform::WindowController* own = controller->applicationWindow();
    ASSERT_NE(own, nullptr);
    ASSERT_TRUE(own->window()->isVisible());
    own->validateMenus();
    for (const char* selector :
         {"newDocument:", "openDocument:", "terminate:", "showPreferences:", "showHelp:"}) {
        QAction* item = own->menuItemWithSelector(QLatin1String(selector));
        ASSERT_NE(item, nullptr) << selector;
        EXPECT_TRUE(item->isEnabled()) << selector;
    }
    QAction* save = own->menuItemWithSelector(QStringLiteral("saveDocument:"));
    ASSERT_NE(save, nullptr);
    EXPECT_FALSE(save->isEnabled());

    // File > New there: a document window, which carries the menus again.
    own->menuItemWithSelector(QStringLiteral("newDocument:"))->trigger();
    settle();
    ASSERT_EQ(openDocuments().size(), 1);
    EXPECT_FALSE(own->window()->isVisible());
    openDocuments().first()->appropriateWindowForDocModalOperations()->close();
    settle();
    ASSERT_TRUE(own->window()->isVisible());

    // Closing the program's window is the quit command.
    own->window()->close();
    settle();
    EXPECT_TRUE(controller->isTerminating());
    EXPECT_TRUE(alerts.isEmpty());
}

TEST_F(AppLaunch, AStopAskedByTheSystemKeepsEditedWorkAsAutoRecoverCopiesAndEnds)
{
    launch();
    ASSERT_EQ(openDocuments().size(), 1);
    auto* edited = dynamic_cast<LBDocument*>(openDocuments().first());
    ASSERT_NE(edited, nullptr);
    auto* clean = dynamic_cast<LBDocument*>(documents().openUntitledDocument());
    ASSERT_NE(clean, nullptr);
    edited->updateChangeCount(platform::Document::ChangeDone);
    ASSERT_TRUE(edited->isDocumentEdited());
    QFile(temporaryFolder + QStringLiteral("400.tiff")).open(QIODevice::WriteOnly);
    const QString fields =
        LBAppController::supportFolderPath() + QStringLiteral("CustomFields.plist");

    // The signal, as the system sends it, reaches the program's event loop, which ends
    // without asking anything (an edited window would ask before closing).
    controller->quitOnTerminationSignals();
    // The bound goes with the test: a timer left running would end a later test's loops.
    bool ranOut = false;
    QTimer bound;
    bound.setSingleShot(true);
    QObject::connect(&bound, &QTimer::timeout, [&ranOut] {
        ranOut = true;
        QCoreApplication::exit(1);
    });
    bound.start(20000);
    ASSERT_EQ(::raise(SIGTERM), 0);
    EXPECT_EQ(QApplication::exec(), 0);
    EXPECT_FALSE(ranOut);
    EXPECT_TRUE(alerts.isEmpty());
    EXPECT_TRUE(controller->isTerminating());

    // The edited document's copy is there for the next launch, whole; the clean one
    // has none and the working files went; the rest of the quit ran.
    EXPECT_EQ(
        QDir(temporaryFolder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
        QStringList{QFileInfo(edited->temporaryFilePath()).fileName()});
    platform::Error error;
    EXPECT_NE(LBDocument::initWithContentsOfFile(edited->temporaryFilePath(),
                                                 LBDocument::LabelDocumentType, &error),
              nullptr)
        << error.description.toStdString();
    EXPECT_TRUE(QFileInfo::exists(fields));
    // The documents stay open until the process ends (closing would delete the copy).
    EXPECT_EQ(openDocuments().size(), 2);
}

TEST_F(AppLaunch, FieldListsReadTheUsersFileAndAreEmptyWithoutOne)
{
    const QString fields =
        LBAppController::supportFolderPath() + QStringLiteral("CustomFields.plist");
    struct Case
    {
        const char* name;
        QByteArray contents; // null: no file
        qsizetype count;
    };
    const QList<Case> cases = {
        {"no file", QByteArray(), 0},
        {"a list of two", "(\"Table\", \"Seat\")", 2},
        {"a broken file", "(\"Table\", ", 0},
        {"no list", "{ a = b; }", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove(fields);
        if (!c.contents.isNull()) {
            QFile file(fields);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(c.contents);
        }
        LBAppController controller;
        EXPECT_EQ(LBProcessState::fieldsList(LBProcessState::FieldsList::Custom).size(), c.count);
    }
    LBProcessState::fieldsList(LBProcessState::FieldsList::Custom).clear();
}

TEST_F(AppLaunch, EveryBrowserTabOfTheDesignDrawerHasItsBrowser)
{
    LBAppController controller;
    // The shapes, text library, favourites and fields; photos and kits are the drawer's own.
    for (qint64 mode : {0, 4, 5, 6})
        EXPECT_TRUE(DrawerBrowser::hasFactory(mode)) << mode;
}

TEST_F(AppLaunch, UndoMenuItemsHideTogether)
{
    controller = std::make_unique<LBAppController>();
    using Action = LBAppController::MenuAction;
    QList<platform::MenuSpec>& table = WindowMenus::table();
    const auto visible = [&table](const char* selector) {
        return platform::findItem(table, QLatin1String(selector))->visible;
    };
    controller->hideUndoMenuCommands(true);
    EXPECT_FALSE(visible("undo:"));
    EXPECT_FALSE(visible("redo:"));
    controller->hideUndoMenuCommands(false);
    EXPECT_TRUE(visible("undo:"));
    EXPECT_TRUE(visible("redo:"));
    // New, Open, Quit, Preferences and Help are the delegate's.
    for (Action action : {Action::NewDocument, Action::OpenDocument, Action::Terminate,
                          Action::ShowPreferences, Action::ShowHelp, Action::PreferredPrinter})
        EXPECT_TRUE(controller->validateMenuItem(action));
    for (Action action : {Action::BringToFront, Action::Other})
        EXPECT_FALSE(controller->validateMenuItem(action));
    controller->applicationDidFinishLaunching();
    EXPECT_EQ(QKeySequence(platform::findItem(table, "bringToFront:")->shortcut),
              QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_BracketRight));
    EXPECT_EQ(QKeySequence(platform::findItem(table, "sendToBack:")->shortcut),
              QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_BracketLeft));
}

namespace {

class UrlRecorder : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> urls;
public Q_SLOTS:
    void open(const QUrl& url) { urls << url; }
};

} // namespace

TEST_F(AppLaunch, EveryHelpItemOpensTheUserGuide)
{
    UrlRecorder recorder;
    QDesktopServices::setUrlHandler(QStringLiteral("file"), &recorder, "open");
    LBAppController::myShowHelp(0);
    LBAppController::myShowHelp(2);
    // The welcome window's request, once the launch has begun.
    platform::NotificationCenter::defaultCenter().post(KXOpenUserGuide);
    launch();
    platform::NotificationCenter::defaultCenter().post(KXOpenUserGuide);
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    ASSERT_EQ(recorder.urls.size(), 3);
    const QString guide = recorder.urls.first().toLocalFile();
    EXPECT_TRUE(guide.endsWith(QLatin1String("/Veltrin.pdf")));
    QFile file(guide);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.read(5).startsWith("%PDF-"));
}

TEST_F(AppLaunch, TheHelpSaysWhenTheGuideCannotBeOpened)
{
    // No program takes the guide (the test platform opens no documents): the user is told
    // why nothing opened, and where the guide is.
    QStringList said;
    platform::Alert::setResponder([&said](const platform::Alert& alert, QWidget*) {
        said << alert.messageText << alert.informativeText;
        return platform::Alert::Response{platform::Alert::FirstButtonReturn, false};
    });
    LBAppController::myShowHelp(0);
    platform::Alert::setResponder({});
    ASSERT_EQ(said.size(), 2);
    EXPECT_EQ(said[0], QStringLiteral("The user guide could not be opened."));
    EXPECT_TRUE(said[1].contains(QStringLiteral("Veltrin.pdf\u201d"))) << said[1].toStdString();
}

#include "AppLaunchTest.moc"
