#pragma once

// The favourites pane of the design drawer (drawer mode 5): a library of favourite graphics
// and pictures kept in the store "Favorites" of the support folder, organised as
// collections of categories of items, shown as an outline of collections (QTreeView) above
// a matrix of thumbnails (LBLibraryMatrix). The user adds picture files (the open panel or
// a drop), drops graphics from a canvas, reorders thumbnails by dragging, deletes them,
// drags them onto a canvas or double-clicks them to insert them into the design. Its
// operations are spread over files of their own:
//   LBLibraryController.cpp           life cycle, the pane's widgets, outline, split view,
//                                     collections, actions
//   LBLibraryController+Items.cpp     the store, loading, adding, reordering, deleting
//   LBLibraryController+Graphics.cpp  graphics of a cell, thumbnails, composite pictures,
//                                     double click, the old library's import
//   LBLibraryController+Matrix.cpp    columns, cell count, filling, zoom
//
// Made in two steps: construct, then initWithNibNamed() (which calls the virtual
// awakeFromNib()), so a subclass (the shapes palette) changes the content through the
// hooks: entity names, preference keys, loadCollections(), loadObjects(), graphicCount(),
// graphicsForCell(). The store is opened on first use; a store another process locks is
// tried again on the next use, a damaged one is set aside and what it still holds is
// copied into a new one.
//
// Every change to the store is one transaction: it is committed ("saved") whole, or rolled
// back with the alert "Your Favorites file couldn't be updated." and the database's reason.
//
// Main thread only.

#include "app/LBLibraryMatrix.h"
#include "app/LBLibraryStore.h"
#include "window/DrawerBrowser.h"

#include "platform/core/NotificationCenter.h"

#include <QDialog>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QRectF>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

class LBEditController;
class LBGraphic;
class QLineEdit;
class QModelIndex;
class QSlider;
class QSplitter;
class QStandardItem;
class QStandardItemModel;
class QTreeView;

namespace platform {
class Image;
class Pasteboard;
class ScrollView;
class SegmentedControl;
struct Error;
} // namespace platform

// Posted by a library controller whose items changed (no object); every library matrix
// recounts and refills its cells.
inline const QString LBRefreshLibraryMatrix = QStringLiteral("LBRefreshLibraryMatrix");

class LBLibraryController : public QObject, public DrawerBrowser, public LBLibraryMatrixController
{
    Q_OBJECT
public:
    using ImagePtr = std::shared_ptr<platform::Image>;

    // Preference kinds (preferenceKeyOfType()).
    enum PreferenceKind : qint64 {
        SelectedRowPreference = 0,
        ConfirmDeleteCollectionPreference = 1,
        ConfirmDeletePreference = 2,
        OutlineHeightPreference = 4,
        CellSizePreference = 5
    };

    LBLibraryController();
    ~LBLibraryController() override;

    // Loads the collections, builds the pane (the interface named; the favourites' is
    // "Favorites") and wakes it (awakeFromNib()); observes LBRefreshLibraryMatrix.
    void initWithNibNamed(const QString& nibName);
    // The favourites' browser, ready to show.
    static std::unique_ptr<LBLibraryController> makeFavorites();

    // --- DrawerBrowser ---
    QWidget* mainView() override { return _mainView; }
    // Keeps the design's controller (not owned) and follows the drawer pane's size. An
    // empty library (its store held by another program) tries its store again.
    void setEditController(LBEditController* controller) override;
    void drawerResized() override;
    void setOutlineHeightFromPrefs(const QString& key) override;
    using DrawerBrowser::setZoomFactor;

    // --- Hooks a subclass overrides ---
    virtual QString collectionEntityName() const { return QStringLiteral("Collection"); }
    virtual QString categoryEntityName() const { return QStringLiteral("Category"); }
    virtual QString objectEntityName() const { return QStringLiteral("Object"); }
    virtual QString objectDataEntityName() const { return QStringLiteral("ObjectData"); }
    // The user default of a kind; null for none.
    virtual QString preferenceKeyOfType(qint64 kind) const;
    virtual void loadCollections();
    virtual void loadObjects();
    virtual qint64 specialGraphicTypeSelected() const { return 0; }
    QString defaultCollectionName() const;
    QString collectionDescription() const;

    // --- LBLibraryMatrixController ---
    qint64 graphicCount() const override { return _objects.size(); }
    QList<LBGraphicPtr> graphicsForCell(qint64 index) override;
    double documentZoomFactor() const override;
    void enableMinusButton(bool enable) override;
    ImagePtr createImageFromGraphics(const QList<LBGraphicPtr>& graphics,
                                     bool createSimpleDragImage) override;
    void addImageFilesToLibrary(const QStringList& files, bool copyFiles) override;
    void makeNewGraphicsFromPasteboard(platform::Pasteboard& pasteboard, qint64 atIndex) override;
    // Pictures alone are not taken: only beeps.
    void makeNewImageFromPasteboard(platform::Pasteboard& pasteboard, qint64 atIndex) override;
    void moveGraphicAtIndex(qint64 fromIndex, qint64 toIndex) override;
    void processDoubleClickAtRow(qint64 row, qint64 column) override;

    // --- Geometry and pictures ---
    // The design's top page rectangle (zoomed), the zero rectangle without a design.
    virtual QRectF topPageRect() const;
    // A picture no larger than 120 by 120 points as it is; a larger one scaled by 120 over
    // its larger side, centred in a new 120 by 120 picture.
    static ImagePtr thumbnailFromImage(const ImagePtr& image);
    // The union of the graphics' drawing bounds with handles (with shadows) or of their
    // bounds; curves without their modifier rectangles.
    static QRectF boundsForGraphics(const QList<LBGraphicPtr>& graphics, bool includeShadows);

    // --- Items ---
    // The category items added while the outline's row is selected go to: a category row's
    // own, a collection row's first by name; 0 for none.
    qint64 categoryForRow(qint64 row) const;
    // Where new items go: the selected cell's index, else after the last item.
    qint64 insertionPosition() const;
    // Adds picture files (paths) to the category at the display position: copied into the
    // store (EPS made PDF) or linked. Not a picture: skipped and reported. The number
    // added, -1 when the store failed (*error says why). The caller saves.
    qint64 addImageFiles(const QStringList& files, qint64 category, bool copyFiles, qint64 position,
                         platform::Error* error = nullptr);
    // Adds graphics to the category: one item for all of them when the first is grouped or
    // groupGraphics, else one each. The number of items added, -1 when the store failed.
    // The caller saves.
    qint64 addGraphics(const QList<LBGraphicPtr>& graphics, qint64 category, bool groupGraphics,
                       qint64 position, platform::Error* error = nullptr);
    // Deletes the selected items (asking first unless switched off).
    void removeSelectedItems();
    // Commits the changes since the last save; on failure rolls back, says why and shows
    // the store's content again. Whether it succeeded.
    bool saveChanges();
    void importOldLibraries();

    // --- Collections ---
    // A collection with one category "Standard"; "New Collection" for an empty name.
    qint64 addCollectionWithName(const QString& name, platform::Error* error = nullptr);
    void removeCollection();

    // --- Matrix ---
    void adjustNumColumns(bool reattach);
    void adjustNumCellsInMatrix(bool reattach);
    void populateMatrixCells();
    void refreshMatrix();

    // --- Actions ---
    // Segment 0 adds a collection (the name sheet), the others remove the selected one.
    void plusMinusCollectionAction(int segment);
    // Segment 0 removes the selected items, the others open the open panel.
    void plusMinusGraphicAction(int segment);
    // Tag 1 is OK.
    void nameSheetDidEnd(qint64 tag);
    // The zoom slider.
    void setZoomFactor(const QSlider* sender);

    // --- State ---
    const QList<LBLibraryStore::Collection>& collections() const { return _collections; }
    const QList<LBLibraryStore::Object>& objects() const { return _objects; }
    const QList<LBLibraryThumbnail>& thumbnails() const { return _thumbnails; }
    const QStringList& names() const { return _names; }
    // The open store, opening it when needed; nullptr when it cannot be opened now.
    LBLibraryStore* store();
    QString storePath() const;

    // --- The outline (visible rows, top to bottom) ---
    qint64 numberOfRows() const;
    qint64 selectedRow() const;
    void selectRow(qint64 row);
    // Whether the row shows a collection (else a category); -1 rows are neither.
    bool rowIsCollection(qint64 row) const;
    qint64 idOfRow(qint64 row) const;
    QString nameOfRow(qint64 row) const;
    bool isExpandable(qint64 row) const;
    void expandRow(qint64 row, bool expand);
    // Renames the item at the row (as editing its name in the outline does).
    void renameRow(qint64 row, const QString& name);
    void renameItem(bool isCollection, qint64 id, const QString& name);
    void reloadOutline();
    // Loads the collections and, when there are some, shows them with the stored row.
    void reopenCollections();

    // --- The pane's parts ---
    LBLibraryMatrix* matrix() const { return _matrix; }
    QTreeView* outlineView() const { return _outlineView; }
    platform::ScrollView* scrollView() const { return _scrollView; }
    QSplitter* splitView() const { return _splitView; }
    QSlider* zoomSlider() const { return _zoomSlider; }
    platform::SegmentedControl* collectionControl() const { return _collectionControl; }
    platform::SegmentedControl* graphicControl() const { return _graphicControl; }
    QDialog* nameSheet() const { return _nameSheet; }
    QLineEdit* nameSheetField() const { return _nameSheetField; }
    LBEditController* editController() const { return _editController; }

    // The outline pane's height kept within the rules: at least 104 points, and the lower
    // pane's top at most the split view's height less 72.
    static double constrainedDividerPosition(double proposed, double splitHeight);
    // The picture file types the library takes (lower-case extensions).
    static QStringList imageFileTypes();

    // Opens the open panel (non-native, with the copy-or-link choice); for tests, the
    // panel's answer can be given instead: the files and whether to copy them.
    using OpenPanelAnswer = std::function<std::optional<std::pair<QStringList, bool>>()>;
    static void setOpenPanelAnswer(OpenPanelAnswer answer);

protected:
    // The matrix's cells, drop acceptance and outline indentation, then commonAwakeFromNib().
    virtual void awakeFromNib();
    void commonAwakeFromNib();
    bool eventFilter(QObject* watched, QEvent* event) override;

    QList<LBLibraryStore::Object> _objects;
    QList<LBLibraryThumbnail> _thumbnails;
    QStringList _names;
    QList<LBLibraryStore::Collection> _collections;

private:
    void buildInterface();
    void buildNameSheet();
    void outlineSelectionChanged();
    void splitViewResized();
    void outlineItemChanged(QStandardItem* item);
    QModelIndex indexOfRow(qint64 row) const;
    qint64 rowOfIndex(const QModelIndex& index) const;
    QWidget* documentWindow() const;
    // Runs one change of the store as a transaction: body fails → rolled back; then saved.
    bool change(const std::function<bool(platform::Error*)>& body);
    void reportFailedSave(const platform::Error& error);
    // Asks before deleting (kind 1 or 2); false for Cancel; *dontAskAgain for the second
    // button.
    bool confirmDeletion(qint64 kind, const QString& message, const QString& informative,
                         const QString& table, bool* dontAskAgain);
    void showSkippedFiles(qint64 skipped, qint64 chosen);
    void openPanel();
    // The category's index for a display position.
    qint64 categoryIndexForPosition(qint64 position, qint64 category);
    // The position's objects made contiguous again in memory after a move.
    void renumberInMemory();
    void reloadAfterChange();
    QString writeTemporaryFile(const QByteArray& data, const QString& extension,
                               const QString& suffix) const;

    std::unique_ptr<LBLibraryStore> _store;
    bool _storeFailed = false;
    bool _importOldLibrary = false;
    bool _saveOutlineHeightToPrefs = false;
    bool _ignoreDrawerResizedMessages = false;
    bool _rebuildingOutline = false;

    QPointer<QWidget> _mainView;
    QSplitter* _splitView = nullptr;
    QTreeView* _outlineView = nullptr;
    QStandardItemModel* _outlineModel = nullptr;
    platform::ScrollView* _scrollView = nullptr;
    LBLibraryMatrix* _matrix = nullptr;
    QSlider* _zoomSlider = nullptr;
    platform::SegmentedControl* _collectionControl = nullptr;
    platform::SegmentedControl* _graphicControl = nullptr;
    QPointer<QDialog> _nameSheet;
    QLineEdit* _nameSheetField = nullptr;
    qint64 _rowBeforeNameSheet = -1;

    LBEditController* _editController = nullptr;
    QPointer<QWidget> _observedDrawerPane;
    platform::ObserverToken _refreshObserver;
};
