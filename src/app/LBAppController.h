#pragma once

// The application delegate: one for the process (LBSharedAppController). It sets the
// process up, runs the launch in two stages, opens the files handed to the program, owns
// the application's menus (new, open and quit, undo and redo, arrangement items design
// mode acts on, the preferred printer, help) and runs the quit sequence.
//
// Launch:
//   initialize()   the default printer asked on a thread of its own, the settings' defaults,
//                  the canvas's rulers for scroll views, alpha in
//                  the colour panel (once, before anything reads a setting)
//   constructor    folders, merge-field lists, the offer to convert ready-made designs of
//                  the first version (while "Check For Version 1 Files"), AutoRecover
//                  check, LBSharedAppController, the display scale factor
//   applicationDidFinishLaunching()    stage 1 (KXOpenUserGuide opens the user guide), then
//                  stage 2 at once: the arrangement
//                  items' shortcuts, AutoRecover copies reopened, "Second Launch", the new
//                  untitled document after the launch delay unless a document was
//                  opened, the welcome window (unless "SkipWelcomeWindow"), "LBLaunchCount"
// Quit: myTerminateAction() asks about each edited document (Cancel keeps the program
// running), closes the documents and quits the event loop; applicationWillTerminate() then
// writes the user's fields and empties "Temporary Files".
//
// Closing the last document window does not quit. Each window carries the program's menu
// bar, so once no window is left but the inspector palettes, the program shows a window
// of its own with the menu bar (New, Open, Preferences, Help, Quit), hidden again when a
// document opens; closing that window is the quit command.
//
// Asked to stop by the system (SIGTERM, SIGINT, SIGHUP) it asks nothing: each edited
// document's AutoRecover copy is written and kept for the next launch, the rest of the
// quit runs, and every event loop ends.

#include "platform/core/NotificationCenter.h"
#include "platform/ui/Responder.h"
#include "window/ApplicationServices.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class HUDWindowController;
class InspectorPalette;
class LBHelpWindowController;
class LBWelcomeWindowController;
class QAction;
class QMenu;
class QSocketNotifier;
class QWidget;

class QKeySequence;

namespace platform {
class Document;
class PreferencesWindow;
class ProgressWindow;
class WindowController;
} // namespace platform

// Posted (by the welcome window) to have the user guide opened.
inline const QString KXOpenUserGuide = QStringLiteral("KXOpenUserGuide");

class LBAppController : public QObject, public ApplicationServices, public platform::Responder
{
    Q_OBJECT
public:
    // What each menu item of the delegate runs (validateMenuItem()).
    enum class MenuAction {
        NewDocument,
        OpenDocument,
        Terminate,
        ShowPreferences,
        ShowHelp,
        OpenWelcomeWindow,
        PreferredPrinter,
        Undo,
        Redo,
        BringToFront,
        SendToBack,
        Other
    };

    // The start-up steps (see above); the delegate becomes LBSharedAppController.
    explicit LBAppController(QObject* parent = nullptr);
    ~LBAppController() override;

    // The delegate of the running program (also the window's ApplicationServices);
    // nullptr before its constructor ends.
    static LBAppController* sharedAppController();

    // Once, before anything reads a setting: the defaults, scroll views' rulers, the
    // colour panel's alpha.
    static void initialize();
    // Registers the default of every setting in one call. Registered values are never
    // written; the settings file holds only what the user changed.
    static void registerDefaults();

    // --- Process-wide values, kept in LBProcessState where the layers below read them ---
    // The largest number of device pixels per point of the screens (1.0 without
    // screens). Export changes it for the time of an export.
    static double displayScaleFactor();
    static void setDisplayScaleFactor(double factor);
    // The user's support folder, the ready-made designs and "Temporary Files" (the
    // AutoRecover copies and working files of every document), each ending in a
    // separator.
    static QString supportFolderPath();
    static QString designsFolderPath();
    static QString temporaryFolderPath();
    // Sets up the folders (migrating earlier installations first) and stores their paths.
    static void initializeGlobalPaths();
    // The resolution in dots per inch pictures are downsampled to for drawing ("Image
    // Quality" at start-up).
    static qint64 imageDisplayResolution();
    static void setImageDisplayResolution(qint64 dpi);
    // On while pictures keep their full resolution (printing).
    static bool useFullResolutionImages();
    static void setUseFullResolutionImages(bool full);
    // The current inspector palette, nullptr while there is none.
    static InspectorPalette* inspectorPalette();
    static void setInspectorPalette(InspectorPalette* palette);

    // Organisation and application names, used by settings and the folders; the desktop
    // entry's name.
    static void setUpApplicationIdentity();
    // Quits without asking (terminateWithoutAsking()) when the process is asked to stop
    // (SIGTERM, SIGINT, SIGHUP). The handler only writes to a socket the event loop
    // watches.
    void quitOnTerminationSignals();

    // --- Launch ---
    void applicationDidFinishLaunching();
    void applicationDidFinishLaunching2();
    // Milliseconds between stage 2 and the new untitled document (500); tests shorten it.
    static void setLaunchDelay(int milliseconds);

    // --- Files handed to the program (the command line, a second start) ---
    // Kit packages (the first file's extension "icorbeil") all go to the kit import on the
    // next turn of the event loop. Otherwise each file by its own extension: a document
    // already open only brings its window forward; another is opened; kits are imported;
    // any other file, like a document that cannot be read, gets an alert with the reason
    // (the document controller's).
    void applicationOpenFiles(const QStringList& files);

    // --- Preferences (LBAppController+Preferences.cpp) ---
    // A preferences window with the General, Appearance, Printing and Me panes.
    static std::unique_ptr<platform::PreferencesWindow> makePreferencesWindow();
    // Shows the preferences window, made on first use.
    void showPrefsPanel();
    // Shows the preferences window at the pane of that identifier ("GeneralPrefs",
    // "DisplayPrefs", "PrintingPrefs", "MePrefs").
    void selectPrefPaneNamed(const QString& name) override;
    // The preferences window once made, else nullptr.
    platform::PreferencesWindow* preferencesWindow() const { return _prefsWindow.get(); }

    // --- Kit import ---
    // Asks whether to import the kits (unless "DisableImportCorbeilConfirmation"): a sheet
    // on the current document window, else a modal alert, with a box that stops the
    // question from coming back.
    void importCorbeils(const QStringList& paths);
    // The answer: a ticked box sets "DisableImportCorbeilConfirmation"; Import (1000) opens
    // the current window's drawer on the kits and imports on the next turn of the loop.
    void importCorbeilSheetDidEnd(const QStringList& paths, int returnCode, bool suppressed);
    // Through the current document window's kit browser, or without a window through a
    // kit browser of its own that confirms after the last file.
    void importSelectedCorbeils(const QStringList& paths);

    // --- Ready-made designs of the first version ---
    // Offers to convert the designs under the designs folder; whether the walk ended (NO
    // when the user chose Convert Later: the offer comes again at the next launch).
    bool updateVersion1TemplateFiles();
    // One category folder; NO when the user declined.
    bool processVersion1FilesAtPath(const QString& folder);
    // One design package: its preview at most 120 on a side (as "Preview.jpg"), its
    // extension by kind. Whether it was converted; when not it is as it was and *error
    // says why.
    static bool updateVersion1FileAtPath(const QString& path, bool isLabel, bool isEnvelope,
                                         bool isLetterhead, bool isMatchedSet,
                                         QString* error = nullptr);
    bool convertingV1Files() const { return _convertingV1Files; }

    // --- Welcome and help windows ---
    // Shows the welcome window unless it is open (atLaunch: shown by the launch).
    void openWelcomeWindowAction(bool atLaunch = false);
    void welcomeWindowDidClose();
    LBWelcomeWindowController* welcomeWindowController() const { return _welcomeWindowController; }
    // The help window of smart templates, made once, with its second view.
    void showSmartTemplateHelp() override;
    // The welcome window's kit download page (a build option).
    QString kitDownloadURL() const override;
    static LBHelpWindowController* helpWindowController();
    // A second start without files: the front document window comes forward (the
    // program's own window when no document is open).
    void bringFrontWindowForward();
    // The program's own window with the menu bar, shown while no document window is open
    // (see above); nullptr until first needed.
    platform::WindowController* applicationWindow() const;

    // A new untitled document unless AutoRecover copies were kept or a document was
    // opened; then the welcome window unless "SkipWelcomeWindow".
    void createNewDocument();
    // Every document window controller tells the delegate it was made (and a document
    // added to the document controller counts too).
    void setDocumentWasOpened(bool opened) override;
    bool documentWasOpened() const { return _documentWasOpened; }
    bool foundTemporaryFiles() const { return _foundTemporaryFiles; }
    bool allowDocumentCreation() const { return _allowDocumentCreation; }
    bool isTerminating() const { return _isTerminating; }
    bool applicationDidFinishLaunchingFlag() const { return _applicationDidFinishLaunching; }

    // --- Menus ---
    // Every document window's menu bar comes from the window's one menu table; the
    // delegate adds its items at start-up (File: New, Open, Preferred Printer, Preferences,
    // Quit; the Inspector menu; Help) and answers their selectors as the last responder of
    // every window.
    void installMenuTable();
    // The item a selector of the delegate stands for (Other for one it does not answer).
    static MenuAction menuActionForSelector(const QString& selector);
    // Whether the delegate's item for the action is enabled now.
    bool validateMenuItem(MenuAction action) const;
    // For the responder chain: the item's state, and the Inspector toggle's title.
    bool validateMenuItem(QAction* item) override;
    // Hides or shows Undo, Redo and the separator under them together, in every window.
    void hideUndoMenuCommands(bool hide);
    // Gives the item of that selector another shortcut, in the table and every window.
    void setMenuItemShortcut(const QString& selector, const QKeySequence& shortcut);
    // The Preferred Printer submenu, made each time it opens: the default printer, a
    // separator and one item a printer (tag 0 for the default, n for the n-th printer),
    // the check mark on the stored one ("Preferred Printer").
    void buildPreferredPrinterMenu(QMenu* menu) const;
    // Stores the chosen printer's tag.
    void preferredPrinterAction(qint64 index);
    // Every window's Inspector menu shows copies of the smart palette's pane items (each
    // sending "inspectorToolsAction:" with the pane's tag); brought up to date when the
    // palette changes them.
    void fillInspectorPaneItems(QMenu* menu) const;
    void updateInspectorMenus();

    // --- Help ---
    // The user guide ("Veltrin.pdf") in the system's viewer. The tag is the item's (all
    // open the guide).
    static void myShowHelp(int tag = 0);
    static void openUserGuide();

    // --- Inspector palettes (LBAppController+Inspector.cpp) ---
    // The pane items the selection offers, filled by the smart palette; the windows'
    // Inspector menus show copies of them.
    QMenu* inspectorMenu() const { return _inspectorMenu; }
    HUDWindowController* smartInspector() const;
    QList<HUDWindowController*> standaloneInspectors() const;
    // Launch stage 2, steps 5-6: the smart palette (made on first use) and the saved
    // standalone ones.
    void makeInspectors();
    void toggleContextualInspector();
    HUDWindowController* newStandaloneInspector();
    // A pane item of the Inspector menu (its data is the pane's tag).
    void inspectorToolsAction(QAction* item);
    // Quit step 3: "Standalone Inspector Array", one entry a standalone palette, in order.
    void saveStandaloneInspectors() const;

    // --- Quit ---
    void myTerminateAction();
    // The user's fields written, "Temporary Files" emptied but for the AutoRecover copies
    // named, the settings written.
    void applicationWillTerminate(const QStringList& keptCopies = {});
    // The stop the system asks for (see above): no question, no window asked to close.
    void terminateWithoutAsking();

private:
    void setUpFolders();
    void loadFieldLists();
    void makeSmartInspector();
    void makeStandaloneInspectors();
    void checkForAutoRecoverFiles();
    void reopenAutoRecoverFiles();
    void registerCommands();
    void buildInspectorMenu();
    void forEachWindowController(const std::function<void(platform::WindowController*)>& run) const;
    void newDocument();
    void handleTerminationSignal();
    void lastWindowClosed();
    void showApplicationWindow();
    void openFile(const QString& path);
    void scheduleWelcomeWindow();

    std::unique_ptr<platform::PreferencesWindow> _prefsWindow;
    QMenu* _inspectorMenu = nullptr;

    bool _foundTemporaryFiles = false;
    bool _documentWasOpened = false;
    bool _isTerminating = false;
    bool _applicationDidFinishLaunching = false;
    bool _allowDocumentCreation = false;
    bool _terminated = false;
    QSocketNotifier* _signalNotifier = nullptr;
    platform::ObserverToken _openUserGuideObserver;
    platform::ObserverToken _welcomeWindowObserver;
    LBWelcomeWindowController* _welcomeWindowController = nullptr;
    QPointer<platform::WindowController> _applicationWindow;
    platform::ProgressWindow* _conversionProgressWindow = nullptr;
    bool _convertingV1Files = false;
    // Design packages the conversion could not change, reported after the walk.
    QStringList _version1Failures;
};
