// The start-up and capture steps the screenshot tools share: a throwaway settings home,
// waits that let the windows lay out and paint, and grabs of what the screen shows.
#pragma once

#include <QTemporaryDir>
#include <QVariantMap>

#include <memory>

class LBDocument;
class LBEditController;
class LBGraphicView;
class LBWindowController;
class QMainWindow;
class QRect;
class QSize;
class QString;
class QWidget;

namespace platform {
class ScrollView;
}

namespace shots {

// A temporary folder made the settings home (and, on request, the data home) for the
// process, so a tool neither reads nor changes the user's own. Make it before the
// application object; the folder goes when it does.
class TemporaryHome
{
public:
    enum Homes { ConfigOnly, ConfigAndData };
    explicit TemporaryHome(Homes homes = ConfigOnly);
    QString path() const;
    QString filePath(const QString& name) const;
    const QTemporaryDir& dir() const { return _dir; }

private:
    QTemporaryDir _dir;
};

// Runs the event loop for the given time, so timers, animations and paints happen.
void settle(int milliseconds);

// Processes events in short slices until the time is up, sleeping between them: for
// windows whose painting comes from events posted while others are handled.
void pump(int milliseconds);

// Saves the given area of the screen as a PNG.
bool grabArea(const QRect& area, const QString& path);

// Saves the window with its frame, as the screen shows it, as a PNG.
bool grabFrame(const QWidget* window, const QString& path);

// Repaints the window and saves what the screen shows of it (without the frame) as a PNG.
bool grabWindow(QWidget* window, const QString& path);

// A new document in design mode and a canvas on its first page in a window of the given
// size at (40, 40), not yet shown: the stage most tools arrange graphics on.
class DesignCanvas
{
public:
    enum Opening { NewDocument, ExistingFile };
    explicit DesignCanvas(const QSize& windowSize, Opening opening = NewDocument);
    ~DesignCanvas();

    LBDocument& document() const { return *_document; }
    LBWindowController* controller() const { return _controller; }
    platform::ScrollView& window() const { return *_window; }
    LBGraphicView* canvas() const { return _canvas; }

private:
    std::unique_ptr<LBDocument> _document;
    LBWindowController* _controller = nullptr;
    std::unique_ptr<platform::ScrollView> _window;
    LBGraphicView* _canvas = nullptr;
};

// What every tool showing a design window sets up before making one: the shape classes, a
// print setup, the settings of the design area (a 250-point drawer that opens where it was
// left, the grid, points as units) with `moreDefaults`, the layers view closed, and the
// design controller's and design drawer's factories.
void setUpDesignWindows(const QVariantMap& moreDefaults = {});

// The document's own window, given a window controller, resized, shown and let settle;
// edit is its design controller, null when the design mode could not be made.
struct DesignWindow
{
    LBWindowController* controller = nullptr;
    QMainWindow* window = nullptr;
    LBEditController* edit = nullptr;
};
DesignWindow showDesignWindow(LBDocument& document, const QSize& size);

} // namespace shots
