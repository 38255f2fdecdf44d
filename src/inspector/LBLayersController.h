#pragma once

// The layers view of the design drawer: the layers of the document's current page,
// topmost first, then a row for each background item the page has (placeholder, image,
// colour). It adds, deletes, duplicates, renames and merges layers, reorders them by
// dragging, shows or hides an item, shows one item alone while its preview button is held,
// and sets the page's background (colour, picture from a file or from the selected
// picture, its scaling and opacity, a placeholder). Every change goes through the document
// and is one named step on its undo manager.
//
// Rows and items: a page of L layers shows layer L - 1 - r in row r; the background rows
// follow with the item numbers 10000 (placeholder), 10001 (image, not listed while a
// placeholder keeps its pattern there) and 10002 (colour). Every item above 9999 is a
// background item.
//
// Sheets are window-modal dialogs on the view's window; `sheetIsOpen()` while one is up.

#include "canvas/LBPlaceholderSettings.h"
#include "graphics/LBGraphic.h"
#include "platform/core/NotificationCenter.h"
#include "window/LayersPane.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QRect>
#include <QString>

#include <memory>
#include <optional>
#include <vector>

class DesignModeController;
class LBDocument;
class LBEditController;
class LBSplitViewSizeButton;
class QAbstractSlider;
class QComboBox;
class QDialog;
class QLineEdit;
class QMimeData;
class QMenu;
class QPushButton;
class QTableView;
class QWidget;

namespace platform {
class ColorWell;
class UndoManager;
} // namespace platform

inline const QString LBLayerPboardType = QStringLiteral("LBLayerPboardType");
inline const QString LBMovieStarted = QStringLiteral("LBMovieStarted");
inline const QString LBMovieStopped = QStringLiteral("LBMovieStopped");

class LBLayersModel;

class LBLayersController : public QObject, public LayersPane, public LBPlaceholderSettingsDelegate
{
    Q_OBJECT
public:
    enum Column : int { VisibleColumn = 0, PreviewColumn = 1, NameColumn = 2 };
    // The commands of the plus button, the layer pop-up and the background pop-up.
    enum Command : int {
        NewLayerCommand = 0,
        NewLayerWithSelectionCommand = 1,
        DuplicateLayerCommand = 2,
        MergeDownCommand = 3,
        RenameLayerCommand = 5,
        BackgroundColorCommand = 10,
        BackgroundImageFromFileCommand = 11,
        SelectedImageAsBackgroundCommand = 12,
        BackgroundImageSettingsCommand = 13,
        BackgroundPlaceholderCommand = 14
    };
    enum class DropOperation { On, Above };

    LBLayersController();
    ~LBLayersController() override;

    // --- LayersPane ---
    QWidget* view() override;
    void setDocument(LBDocument* document) override;
    void setEditController(DesignModeController* controller) override;
    void setSplitter(QWidget* splitView) override;
    void setViewMinWidth0(double minWidth0, double minWidth1) override;

    LBDocument* document() const { return _theDocument; }
    LBSplitViewSizeButton* splitViewSizer() const { return _splitViewSizer; }
    QTableView* layersTable() const { return _layersTable; }
    QPushButton* plusButton() const { return _plusButton; }
    QPushButton* minusButton() const { return _minusButton; }
    QPushButton* layerButton() const { return _layerButton; }
    QPushButton* backgroundButton() const { return _backgroundButton; }
    // The undo manager of the document shown (nullptr without one).
    platform::UndoManager* undoManager() const;

    // --- Rows ---
    qint64 numRows() const;
    // The item of a row; -1 without a document or past the last row.
    qint64 layerIndexForRowIndex(qint64 row) const;
    // The row of an item; -1 when it is not listed.
    qint64 rowIndexForLayerIndex(qint64 index) const;
    // The "Name" text of a row.
    QString nameForRow(qint64 row) const;
    // The pictures of a row's eye and preview buttons, by name (the white ones in the
    // selected row while the table has the focus and no sheet is up), and their pressed
    // pictures.
    QString visibleImageForRow(qint64 row) const;
    QString visibleAlternateImageForRow(qint64 row) const;
    QString previewImageForRow(qint64 row) const;
    QString previewAlternateImageForRow(qint64 row) const;

    // --- Reloading ---
    void updateLayersView();
    void updateLayerTableSelection();
    void disableLayersView();
    void enableLayersView();
    // Lays the buttons out for the table's width.
    void viewResized();
    struct ButtonWidths
    {
        int plus, minus, layer, background;
    };
    static ButtonWidths buttonWidthsForTableWidth(double width);

    // --- Undoable primitives (each registers its inverse) ---
    void insertLayerWithName(const QString& name, qint64 atIndex,
                             const QList<LBGraphicPtr>& withSelectedGraphics);
    void deleteLayerAtIndex(qint64 index) override;
    void moveLayerAtIndex(qint64 index, qint64 toIndex);
    void showLayerAtIndex(qint64 index, bool show);
    bool layerAtIndexIsVisible(qint64 index) const;

    // --- Actions ---
    void newLayerAction();
    void deleteLayerAction();
    void layerButtonAction(int tag);
    // The name sheet's buttons: tag 1 is OK.
    void dismissNameSheetAction(int tag);
    void backgroundButtonAction(int tag);
    void backgroundImageSheetAction();
    void useSelectedImageAsBackgroundAction();
    // The picture sheet's controls: the Done button (tag 1), the scaling pop-up, the slider.
    void backgroundImageSettingsAction(QObject* sender);
    // The colour sheet's controls: the well and the Done button (tag 1).
    void backgroundColorSettingsAction(QObject* sender);
    void defineBackgroundPlaceholderAction() override;
    // The file chosen in the background picture's open panel.
    void backgroundImageChosen(const QString& path);
    // The eye of `_clickedRowIndex` was clicked.
    void visibilityButtonAction();
    // Starts or ends the solo preview of `_clickedRowIndex`.
    void previewButtonAction();
    void mouseExited();
    bool previewRuns() const { return _layerVisibilityArray.has_value(); }
    void placeholderSheetDidDismissWithSave(LBPlaceholderSettings* sheet, bool saved) override;
    // Whether a command may run now.
    bool validateMenuItem(int tag) const;

    // --- Table ---
    // A press in a row: false for a left press outside the "Name" column.
    bool shouldSelectRow(qint64 row, int column, bool leftMouseDown) const;
    void tableViewSelectionDidChange();
    void selectRow(qint64 row); // as the user does
    // The eye or preview cell of a row was pressed.
    void shouldTrackCell(qint64 row) { _clickedRowIndex = row; }
    bool writeRows(const QList<int>& rows, QMimeData* data) const;
    Qt::DropAction validateDrop(const QMimeData* data, qint64 row, DropOperation operation) const;
    bool acceptDrop(const QMimeData* data, qint64 row, DropOperation operation);

    // --- Sheets ---
    bool sheetIsOpen() const { return _sheetIsOpen; }
    QDialog* nameSheet() const { return _nameSheet; }
    QLineEdit* nameText() const { return _nameText; }
    QDialog* colorSheet() const { return _colorSheet; }
    platform::ColorWell* colorWell() const { return _colorWell; }
    QDialog* backgroundImageSheet() const { return _backgroundImageSheet; }
    QComboBox* backgroundImageScalingPopup() const { return _backgroundImageScalingPopup; }
    QAbstractSlider* backgroundImageTransparencySlider() const
    {
        return _backgroundImageTransparencySlider;
    }
    LBPlaceholderSettings* placeholderSheet() const { return _placeholderSheet.get(); }

    // The remap of the prompt location of a vertical label between the page and the sheet.
    static qint64 sheetLocationForPageLocation(qint64 location);
    static qint64 pageLocationForSheetLocation(qint64 location);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void loadView();
    void buildSheets();
    void openNameSheet(int command, const QString& name);
    void deselectAll();
    LBEditController* editController() const;
    QList<LBGraphicPtr> selectedGraphics() const;
    QString pictureForRow(qint64 row, const QString& name) const;
    qint64 selectedRowLayerIndex() const;
    qint64 selectedRow() const;
    void redrawCanvases();
    void nameUndoStep(const char* key);
    void reloadTable();
    qint64 pageIndex() const;
    QRect previewCellRect(qint64 row) const;
    void openBackgroundImagePanel();

    QWidget* _view = nullptr;
    QTableView* _layersTable = nullptr;
    LBLayersModel* _model = nullptr;
    QDialog* _nameSheet = nullptr;
    QLineEdit* _nameText = nullptr;
    QDialog* _colorSheet = nullptr;
    platform::ColorWell* _colorWell = nullptr;
    QDialog* _backgroundImageSheet = nullptr;
    QComboBox* _backgroundImageScalingPopup = nullptr;
    QAbstractSlider* _backgroundImageTransparencySlider = nullptr;
    std::unique_ptr<LBPlaceholderSettings> _placeholderSheet;
    QPushButton* _plusButton = nullptr;
    QPushButton* _minusButton = nullptr;
    QPushButton* _layerButton = nullptr;
    QPushButton* _backgroundButton = nullptr;
    LBSplitViewSizeButton* _splitViewSizer = nullptr;
    LBDocument* _theDocument = nullptr; // the window's, which outlives the view
    DesignModeController* _editController = nullptr;
    int _commandTag = 0;
    qint64 _selectedRowIndex = -1;
    qint64 _clickedRowIndex = -1;
    bool _ignoreRowSelection = false;
    std::optional<QList<bool>> _layerVisibilityArray;
    std::optional<QRect> _cellTrackingRect;
    bool _sheetIsOpen = false;
    std::vector<platform::ObserverToken> _observers;
};
