#pragma once

// The process-wide values the model reads, in one place at the bottom of the model. The
// layers above set them (the canvas, the document, the application controller); the
// static accessors the higher classes are known by (LBGraphicView::isDraggingOut(),
// LBDocument::isPrinting(), LBAppController::displayScaleFactor(), ...) forward here, so
// graphics read them without knowing those classes. Main thread only.

#include <QList>
#include <QString>
#include <QVariantList>

#include <functional>

class CurveStatusWindow;
class InPlaceTextEditing;
class InspectorPalette;

class LBProcessState
{
public:
    LBProcessState() = delete;

    // On only while graphics are dragged out of a canvas. While it is on, graphics keep
    // their processed pictures and cached reflections so the drag image stays valid.
    static bool isDraggingOut();
    static void setDraggingOut(bool draggingOut);

    // The largest number of device pixels per point of the screens (1.0 until the
    // application controller sets it). Export changes it for the time of an export.
    static double displayScaleFactor();
    static void setDisplayScaleFactor(double factor);

    // On while a document prints or exports. While it is on, pictures keep their full
    // resolution and are not downsampled.
    static bool isPrinting();
    static void setPrinting(bool printing);

    // On while a print operation runs (not during export). While it is on,
    // high-resolution renderings use the "Print Quality" resolution.
    static bool isPrintJobRunning();
    static void setPrintJobRunning(bool running);

    // Divides the export resolution (1.0 unless start-up sets another).
    static double imageScaleFactor();
    static void setImageScaleFactor(double factor);

    // The resolution (dots per inch) print images are made and drawn at: "Print Quality",
    // unless an output (an export at its own resolution) sets another for its run; 0 puts
    // "Print Quality" back.
    static qint64 printResolution();
    static void setPrintResolution(qint64 dpi);

    // The folder of the working files (temporary copies of documents, converted and
    // downsampled pictures), ending in a separator; null until the application controller
    // sets it at start-up.
    static QString temporaryFolderPath();
    static void setTemporaryFolderPath(const QString& path);

    // The user's support folder of the program, ending in a separator: the data folder
    // "Orvane/Veltrin/" (under $XDG_DATA_HOME, else ~/.local/share) until start-up sets
    // another. Saved custom layouts lie in it.
    static QString applicationSupportPath();
    static void setApplicationSupportPath(const QString& path);
    // The folder of the user's designs, ending in a separator: "Designs/" in the support
    // folder until start-up sets another.
    static QString designsFolderPath();
    static void setDesignsFolderPath(const QString& path);

    // The resolution in dots per inch that pictures are downsampled to for drawing: 150
    // until the application controller reads "Image Quality"; printing raises it to
    // "Print Quality" while it runs.
    static qint64 imageDisplayResolution();
    static void setImageDisplayResolution(qint64 dpi);

    // On while pictures must keep their full resolution (printing): nothing is
    // downsampled.
    static bool useFullResolutionImages();
    static void setUseFullResolutionImages(bool full);

    // The current inspector palette, nullptr while there is none. Not owned: the palette
    // sets it when it is made and clears it when it goes away.
    static InspectorPalette* inspectorPalette();
    static void setInspectorPalette(InspectorPalette* palette);
    // How to make the current palette and the curve status window when they are first
    // asked for, in place of making them at start-up (no window needs them before its
    // design canvas does). The first call of inspectorPalette(), allInspectorPalettes() or
    // curveStatusWindow() runs it once, before it answers; an empty one drops a maker not
    // run yet.
    static void setInspectorPaletteMaker(std::function<void()> maker);

    // The standalone inspector palettes (beside the smart one), in the order they were
    // opened; none is a normal state. Not owned: each palette adds and removes itself.
    static QList<InspectorPalette*> standaloneInspectorPalettes();
    static void setStandaloneInspectorPalettes(const QList<InspectorPalette*>& palettes);
    // The smart palette, when there is one, followed by the standalone ones.
    static QList<InspectorPalette*> allInspectorPalettes();
    // The smart palette while a sheet has taken it away (LBHideHUD), nullptr otherwise; it
    // comes back as the current one at the next LBShowHUD.
    static InspectorPalette* hiddenInspectorPalette();
    static void setHiddenInspectorPalette(InspectorPalette* palette);
    // A palette going away leaves none of the places above (its destructor calls this):
    // whoever asks afterwards finds nothing rather than a palette that is gone.
    static void forgetInspectorPalette(const InspectorPalette* palette);

    // The status window of point-by-point curve drawing, nullptr while there is none. Not
    // owned; subsystem 8 sets it.
    static CurveStatusWindow* curveStatusWindow();
    static void setCurveStatusWindow(CurveStatusWindow* window);

    // In-place text editing (the canvas's editing controller), nullptr until a canvas
    // exists. Not owned; the canvas sets it.
    static InPlaceTextEditing* textEditing();
    static void setTextEditing(InPlaceTextEditing* editing);

    // The country addresses are written for when a contact names none: the system
    // locale's territory as a lower-case two-letter code ("us"); null until start-up sets
    // it.
    static QString defaultCountryCode();
    static void setDefaultCountryCode(const QString& code);

    // The four lists of merge fields (each an array of field entries as the files hold
    // them): the standard fields, the user's own ("My") fields, the miscellaneous fields
    // and the fields the user made; empty until the application controller loads them.
    // The user's list is changed in place and written back at quit.
    enum class FieldsList { Standard, My, Misc, Custom };
    static QVariantList& fieldsList(FieldsList list);
    // How the lists are read: each list is read with it the first time it is asked for
    // after this call (the start-up's first window needs none of them), replacing what it
    // held; an empty loader leaves the lists as they are.
    static void setFieldsListLoader(std::function<QVariantList(FieldsList)> loader);
};
