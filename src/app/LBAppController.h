#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

class InspectorPalette;
class QMainWindow;
class QSocketNotifier;

// The application delegate: sets up the process (names, clean quitting) and opens the
// first window once the event loop runs.
class LBAppController : public QObject
{
    Q_OBJECT
public:
    // Sets the display scale factor (1.0, then the largest pixel ratio of the screens),
    // the global paths and the image display resolution ("Image Quality"), and installs
    // the window and merge layers' classes.
    explicit LBAppController(QObject* parent = nullptr);
    ~LBAppController() override;

    // Registers the built-in defaults of the user settings; called once at start-up,
    // before anything reads them. Keys left unregistered read as NO or 0.
    static void registerDefaults();

    // Program-wide: the largest number of device pixels per point of the screens (1.0
    // when there are none). Export changes it for the time of an export. Kept in
    // LBProcessState, where the model reads it.
    static double displayScaleFactor();
    static void setDisplayScaleFactor(double factor);

    // Sets the program-wide temporary folder, the folder "Temporary Files" in the user's
    // cache folder for the program (ending in a separator), and makes it when missing.
    static void initializeGlobalPaths();
    // Program-wide: the folder of the working files and temporary copies of documents.
    static QString temporaryFolderPath();

    // Program-wide: the resolution in dots per inch that pictures are downsampled to for
    // drawing (150 until "Image Quality" is read). Kept in LBProcessState.
    static qint64 imageDisplayResolution();
    static void setImageDisplayResolution(qint64 dpi);
    // Program-wide: on while pictures keep their full resolution (printing). Kept in
    // LBProcessState.
    static bool useFullResolutionImages();
    static void setUseFullResolutionImages(bool full);

    // Program-wide: the current inspector palette, nullptr while there is none. The
    // palette sets it when it is made and clears it when it goes away. Kept in
    // LBProcessState, where graphics reach it.
    static InspectorPalette* inspectorPalette();
    static void setInspectorPalette(InspectorPalette* palette);

    // Organisation and application names, used by settings and the support folders.
    static void setUpApplicationIdentity();

    // Quits the event loop cleanly when the process is asked to stop (SIGTERM, SIGINT,
    // SIGHUP), so windows close and settings are written as after a normal quit.
    void quitOnTerminationSignals();

    // Opens the main window.
    void applicationDidFinishLaunching();

    QMainWindow* mainWindow() const;

private:
    void handleTerminationSignal();

    QPointer<QMainWindow> _mainWindow;
    QSocketNotifier* _signalNotifier = nullptr;
};
