#pragma once

// The kit browser: the library of the user's imported kits and the view a host shows to
// browse it, by kit, artist, kit type, image type and colour, down to the graphics, which
// the host turns into its own graphics through its graphic builder.
//
// The library is one package, "iCorbeil Library.icorbeillib" in the user's data folder
// ("<XDG data>/Orvane/"), holding the store "data" (an SQLite file describing every kit and
// every graphic) and the folder "Kits" of the imported kit packages. Its path is chosen by
// the first controller of the process and kept for the rest of the run (libraryPath()).
//
// The store opens on first use, so a controller works without its view (a host may import
// kits before showing it). Each kit is imported whole or not at all: its package is copied
// into "Kits" under a temporary name, one transaction replaces the records of an older copy
// of the kit and adds the new ones, the package takes its final name, and only then do the
// older packages go. A store that is damaged is set aside (never deleted) and rebuilt from
// "Kits"; a store another process holds locked is left alone and the browser shows nothing.
//
// The view: one of five panels at a time (home list, kits, intermediate list, colours,
// graphics) chosen by the browsing mode, 0 to 18 (see switchToMode()). Interface names
// "iCorbeil View" and "Corbeils" both make it. Widgets are made with the view and
// reached through outlet().
//
// Everything runs on the main thread. The host calls cleanup() before it lets the
// controller go, and clears the graphic builder before the builder goes (a builder that is
// a QObject is forgotten when it is destroyed). The browser's view, its windows and sheets
// go with the controller, also out of the host view.

#include "kitbrowser/SGCorbeilRecords.h"
#include "kitbrowser/iCorbeilGUIExport.h"

#include <QList>
#include <QObject>
#include <QPointF>
#include <QRect>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <memory>
#include <optional>

class QAbstractButton;
class QAction;
class QLineEdit;
class QMenu;
class QSlider;
class QUrl;
class QWidget;
class SGCorbeilGraphicBuilderDelegate;
class SGImageBrowserView;
class SGPathControl;

namespace platform {
class Image;
class Pasteboard;
class ImageBrowserView;
} // namespace platform

// Posted on the default notification centre with the controller as object.
inline const QString SGGraphicSelectionChangedNotification =
    QStringLiteral("iCorbeil Graphic Selection Changed");
inline const QString SGGraphicsWereDoubleClickedNotification =
    QStringLiteral("iCorbeil Graphics Were Double Clicked");
inline const QString SGModeChangedNotification = QStringLiteral("iCorbeil Mode Changed");

class ICORBEILGUI_EXPORT SGCorbeilController : public QObject
{
    Q_OBJECT

public:
    // "iCorbeil View" or "Corbeils", and the library's own bundle name ("iCorbeilGUI"; an
    // empty name means it too). Chooses the library location and fills the colour names;
    // the view and the store are made on first use.
    SGCorbeilController(const QString& nibName, const QString& bundle = QString(),
                        QObject* parent = nullptr);
    ~SGCorbeilController() override;

    // The name of the library's bundle (its string tables and pictures).
    static QString bundleName();

    // ===== The library and its store =====

    QString libraryPath() const;
    // Whether the store is open and usable (it opens on first use).
    bool storeIsOpen();
    // Changes are committed as they are made; whether the store is usable.
    bool saveChanges();

    // Imports the packages one after another, confirming after the last one.
    void importCorbeils(const QStringList& paths);
    // One step of a batch: the package at index of count (0-based), with the confirmation
    // asked for on the last file only. The host's form; a null path imports nothing.
    // Whether this package arrived.
    bool importCorbeil(const QString& path, qint64 currentIndex, qint64 numFiles,
                       bool displayConfirmation);
    bool importCorbeilURL(const QUrl& url, quint64 currentIndex, quint64 numFiles,
                          bool displayConfirmation);
    // Reads one kit and adds its records; copies the package from `source` into the library
    // at `libraryKitURL` when a source is given, else records the package already there.
    // Whether the kit arrived; when not, nothing changed and *error says why.
    bool importCorbeilAtURL(const QUrl& source, const QUrl& libraryKitURL, bool showProgress,
                            quint64 currentIndex, quint64 numFiles, QString* error = nullptr);
    // Removes the records of the kits with exactly this identifier and moves their packages
    // out of "Kits" (deleted).
    void deleteDuplicateKitWithUID(const QString& uid);

    // "Alphabet", "Complete Kit", ... for a kit type key; empty for anything else.
    static QString englishNameForKitType(const QString& kitType);
    // "12x12 inches", "8.5x11 inches", "4x6 inches", "Other" for a kit size key; empty for
    // anything else.
    static QString englishNameForKitSize(const QString& kitSize);
    // The distinct kit types of the library, sorted ignoring case.
    QStringList typesOfKits();
    // Reconciles the store with "Kits" (records of missing packages go, packages without a
    // record are recorded) and returns the kit list as it is then. The first kit list of a
    // controller passes through it.
    QList<SGKitRecord> verifyAllKits(const QList<SGKitRecord>& kits);
    QList<SGKitRecord> allKits();
    // Every kit, sorted by the attribute ignoring case.
    QList<SGKitRecord> allKitsSortedBy(const QString& attribute);
    QList<SGKitRecord> insertAllKitsItemInKitsArray(const QList<SGKitRecord>& kits);
    QList<SGKitRecord> allAuthors();
    // One kit per distinct author, in author order; with words, only authors whose name
    // holds every word (ignoring case and marks).
    QList<SGKitRecord> allAuthorsFilteredByWords(const QStringList& words);
    // The kits of the selected author when `author` is given (the browser's selection, as
    // the browser asks), else of the colour.
    QList<SGKitRecord> allKitsForAuthor(const QString& author, const QString& orColor,
                                        bool primaryColorOnly);
    QList<SGKitRecord> filterKitsArrayByKitType(const QList<SGKitRecord>& kits,
                                                const QString& kitType);
    QList<SGKitRecord> filterKitsArrayByTypeSubtype(const QList<SGKitRecord>& kits,
                                                    const QString& type, const QString& subtype);
    QList<SGKitRecord> lastImportKitsFromArray(const QList<SGKitRecord>& kits);
    // The graphics query. Null texts and empty lists mean "any".
    QList<SGObjectRecord>
    objectsMatchingWords(const QStringList& words, const std::optional<SGKitRecord>& kit,
                         const QString& kitType, const QString& type, const QString& author,
                         const QString& primaryColor, const QStringList& secondaryColors,
                         bool matchPrimaryColor, const QString& orientation,
                         const QString& paperStyle, const QString& numberOfPictures);
    static QString combinedStringFromArray(const QStringList& array);
    // The 16 colour names, localized.
    QStringList colorNames() const;

    // ===== Browsing =====

    int mode() const;
    void switchToMode(int newMode, int fromMode, bool loadDataForNewMode);
    void loadDataForMode(int newMode, int prevMode);
    void updateItemCount();
    // Shows the graphics of an image type ("Paper", or a subtype of an embellishment).
    void selectImageType(const QString& type);
    void mainViewResized();
    // For a host with its own search field: the browser's fields hide and this one searches.
    void configureForViewerApp(QLineEdit* searchField);
    void zoomSliderAction(QSlider* sender);
    void pathControlAction(SGPathControl* sender);
    void primaryColorButtonAction(QAbstractButton* sender);
    void searchFieldAction(QLineEdit* sender);
    void kitSizeMenuAction(QAction* sender);
    // Installs the browser in the host view.
    void setView(QWidget* hostView);

    // The browsing state.
    QList<SGKitRecord> kitsArray() const;
    QStringList namesArray() const;
    QList<SGObjectRecord> graphicsArray() const;
    std::optional<SGKitRecord> selectedKit() const;
    QString selectedKitType() const;
    QString selectedType() const;
    QString selectedAuthor() const;
    QString selectedColor() const;
    QStringList secondaryColors() const;
    bool showsLastImport() const;
    int kitSizeSelection() const;

    // What the image browsers show of a record.
    static quint64 imageVersion();
    QString imageTitle(const SGKitRecord& kit) const;
    QString imageSubtitle(const SGKitRecord& kit) const;
    // The file a kit's or graphic's picture is read from (empty when none applies).
    QString imageRepresentationPath(const SGKitRecord& kit) const;
    QString imageRepresentationPath(const SGObjectRecord& object) const;
    QByteArray imageRepresentation(const SGKitRecord& kit) const;
    QByteArray imageRepresentation(const SGObjectRecord& object) const;

    // ===== Host interface and kit actions =====

    // The browser's view, made (with its widgets) on first use.
    QWidget* view();
    SGCorbeilGraphicBuilderDelegate* graphicBuilder() const;
    void setGraphicBuilder(SGCorbeilGraphicBuilderDelegate* builder);
    // The shift key, process-wide; kit pictures show the artist and graphics their detailed
    // thumbnails while it is down.
    void setShiftKeyDown(bool down);
    static bool shiftKeyDown();
    // An empty address shows no button.
    void showFreeKitsButtonWithURLString(const QString& urlString);
    void freeKitsButtonAction();
    void showPreviewButton();
    // Before the host lets the controller go: home without loading, no more observing.
    void cleanup();
    void placeSelectedGraphicsOnPasteboard(platform::Pasteboard& pasteboard);
    // The selected graphics' image paths in graphic modes; empty otherwise.
    QStringList selectedImageFilePaths() const;
    // The full path of a graphic's image file.
    QString imagePathForObject(const SGObjectRecord& object) const;

    void plusMinusAction(int segment);
    // Opens the import panel; the chosen packages are imported on the next turn of the
    // event loop.
    void importPanelAction();
    // The delete sheet: every kit with a check box.
    void deleteKitsAction();
    // Deletes the checked kits of the delete sheet (the sheet's button, next turn).
    void deleteCheckedKits();
    void corbeilInfoAction();
    void coverFlowButtonAction();
    void coverFlowChooseAction();
    void coverFlowCancelAction();

    // The image browsers' events (the kit browser or the graphic browser).
    void imageBrowserSelectionDidChange(platform::ImageBrowserView* browser);
    void imageBrowserCellWasDoubleClickedAtIndex(platform::ImageBrowserView* browser, int index);
    void imageBrowserCellWasRightClickedAtIndex(platform::ImageBrowserView* browser, int index);

    // ===== Menus, previews and kit information =====

    QStringList typesInKit(const std::optional<SGKitRecord>& kit, const QString& matchingAuthor,
                           const QString& matchingKitType, const QString& matchingColor,
                           bool primaryColorOnly);
    void configurePathControl();
    // The path bar's labels of the current mode (the first is "W", the home segment).
    QStringList pathLabels() const;
    void addColorsToMenu(QMenu* menu);
    void removeColorsFromMenu(QMenu* menu);
    void actionMenuAction(QAction* sender);

    void showPreviewForKitAtIndex(int index, const QRect& cellFrameW);
    void showPreviewForGraphicAtIndex(int index, const QRect& cellFrameW);
    // Places a preview view beside an item (frame in the browser window's coordinates):
    // resizes the view for the image height, and answers the side (0 left of the item, 2
    // right of it) with the point the preview's arrow points at and the item's point, in
    // window coordinates.
    int resizePreviewView(QWidget* previewView, QWidget* previewImageView, const QRect& cellFrameW,
                          QPointF* windowPoint, QPointF* origPoint, qreal imageHeight);
    void closePreviewWindow();
    // The preview window shown, or nullptr.
    QWidget* previewWindow() const;
    void kitLinkAction();
    void loadKitInfoAtIndex(int row);
    // Tag 1: the designer's web address, otherwise the owner's.
    void openURL(int tag);

    std::shared_ptr<platform::Image> thumbnailAtIndex(int index) const;
    QByteArray imageDataForObjectAtIndex(int index) const;

    // The tables' data: the home, intermediate, colour, delete, kit information and
    // release tables, by outlet name and column identifier.
    QVariant tableViewObjectValue(const QString& table, const QString& column, int row) const;
    void tableViewSetObjectValue(const QString& table, const QVariant& value, const QString& column,
                                 int row);
    void tableViewSelectionDidChange(const QString& table, int selectedRow);

    // A widget of the interface by its outlet name ("kitBrowser", "graphicsCountField",
    // ...), made with the view; nullptr for an unknown name.
    QObject* outlet(const QString& name);

    struct Private;

private:
    std::unique_ptr<Private> d;
};
