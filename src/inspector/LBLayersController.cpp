#include "inspector/LBLayersController.h"

#include "canvas/LBGraphicView.h"
#include "controls/LBSplitView.h"
#include "controls/LBTableCells.h"
#include "document/LBDocument.h"
#include "inspector/HUDControls.h"
#include "platform/core/NotificationCenter.h"
#include "platform/core/Strings.h"
#include "platform/core/UndoManager.h"
#include "platform/drawing/Image.h"
#include "platform/ui/Alert.h"
#include "platform/ui/ColorWell.h"
#include "platform/ui/DocumentFileDialog.h"
#include "platform/ui/Pasteboard.h"
#include "shapes/LBImage.h"
#include "window/DesignModeController.h"
#include "window/LBEditController.h"

#include <QAbstractTableModel>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QSlider>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QTimer>

#include <algorithm>
#include <cmath>

namespace {

constexpr qint64 firstBackgroundItem = LBLayersController::BackgroundPlaceholderItem;
constexpr int imageRole = Qt::UserRole + 1;
constexpr int buttonRowHeight = 23;

QString layersText(const char* key)
{
    return platform::LocalizedString(QLatin1String(key), QStringLiteral("Layers view"));
}

QString dialogText(const char* key)
{
    return platform::LocalizedString(QString::fromUtf8(key), QStringLiteral("DialogStrings"));
}

QString layerMimeType()
{
    return platform::mimeTypeForPasteboardType(LBLayerPboardType);
}

// The white picture of the selected row.
QString whiteVariant(const QString& name)
{
    if (name == QLatin1String("LayerVisibleNo"))
        return name;
    if (name.startsWith(QLatin1String("LayerVisible")))
        return QStringLiteral("LayerVisibleWhite") + name.mid(12);
    if (name.startsWith(QLatin1String("LayerPreview")))
        return QStringLiteral("LayerPreviewWhite") + name.mid(12);
    return name;
}

// The eye and preview cells: the picture the model names, centred in the cell.
class LayerButtonCell : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override
    {
        QStyleOptionViewItem background = option;
        initStyleOption(&background, index);
        background.text.clear();
        background.icon = QIcon();
        option.widget->style()->drawControl(QStyle::CE_ItemViewItem, &background, painter,
                                            option.widget);
        const QString name = index.data(imageRole).toString();
        const QSizeF size = hudImageSize(name);
        if (name.isEmpty() || size.isEmpty())
            return;
        const QRectF cell(option.rect);
        const QRectF frame(cell.x() + std::floor((cell.width() - size.width()) / 2.0),
                           cell.y() + std::floor((cell.height() - size.height()) / 2.0),
                           size.width(), size.height());
        painter->save();
        drawHUDImage(*painter, name, frame);
        painter->restore();
    }
};

} // namespace

// The table's rows over the controller's mapping; drags and drops go to the controller.
class LBLayersModel : public QAbstractTableModel
{
public:
    explicit LBLayersModel(LBLayersController& controller) : _controller(controller) {}

    void reload()
    {
        beginResetModel();
        endResetModel();
    }
    int rowCount(const QModelIndex& parent) const override
    {
        return parent.isValid() ? 0 : int(_controller.numRows());
    }
    int columnCount(const QModelIndex& parent) const override { return parent.isValid() ? 0 : 3; }
    QVariant data(const QModelIndex& index, int role) const override
    {
        const qint64 row = index.row();
        switch (index.column()) {
        case LBLayersController::NameColumn:
            if (role == Qt::DisplayRole || role == Qt::ToolTipRole)
                return _controller.nameForRow(row);
            if (role == Qt::FontRole) {
                QFont font = QApplication::font();
                font.setPointSizeF(11.0);
                return font;
            }
            break;
        case LBLayersController::VisibleColumn:
            if (role == imageRole)
                return _pressedVisibleRow == row ? _controller.visibleAlternateImageForRow(row)
                                                 : _controller.visibleImageForRow(row);
            break;
        case LBLayersController::PreviewColumn:
            if (role == imageRole)
                return _controller.previewRuns() && _pressedPreviewRow == row
                           ? _controller.previewAlternateImageForRow(row)
                           : _controller.previewImageForRow(row);
            break;
        }
        return {};
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
            return {};
        static const char* const names[] = {"Visible", "Preview", "Name"};
        return QString::fromLatin1(names[section]);
    }
    Qt::ItemFlags flags(const QModelIndex& index) const override
    {
        if (!index.isValid())
            return Qt::ItemIsDropEnabled;
        Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
        const qint64 item = _controller.layerIndexForRowIndex(index.row());
        if (item >= 1 && item < firstBackgroundItem)
            flags |= Qt::ItemIsDragEnabled;
        return flags;
    }
    QStringList mimeTypes() const override { return {layerMimeType()}; }
    QMimeData* mimeData(const QModelIndexList& indexes) const override
    {
        QList<int> rows;
        for (const QModelIndex& index : indexes)
            if (!rows.contains(index.row()))
                rows.append(index.row());
        auto data = std::make_unique<QMimeData>();
        if (!_controller.writeRows(rows, data.get()))
            return nullptr;
        return data.release();
    }
    Qt::DropActions supportedDragActions() const override { return Qt::CopyAction; }
    Qt::DropActions supportedDropActions() const override
    {
        return Qt::CopyAction | Qt::MoveAction;
    }
    bool canDropMimeData(const QMimeData* data, Qt::DropAction, int row, int,
                         const QModelIndex& parent) const override
    {
        if (parent.isValid())
            return _controller.validateDrop(data, parent.row(),
                                            LBLayersController::DropOperation::On)
                   != Qt::IgnoreAction;
        return row >= 0
               && _controller.validateDrop(data, row, LBLayersController::DropOperation::Above)
                      != Qt::IgnoreAction;
    }
    bool dropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
                      const QModelIndex& parent) override
    {
        if (!canDropMimeData(data, action, row, column, parent))
            return false;
        return _controller.acceptDrop(data, parent.isValid() ? parent.row() : row,
                                      parent.isValid() ? LBLayersController::DropOperation::On
                                                       : LBLayersController::DropOperation::Above);
    }

    qint64 _pressedVisibleRow = -1;
    qint64 _pressedPreviewRow = -1;

private:
    LBLayersController& _controller;
};

// ==== Life cycle ==========================================================================

LBLayersController::LBLayersController()
{
    loadView();
}

LBLayersController::~LBLayersController()
{
    _observers.clear();
    // The view's widgets go with it: they report no more events here meanwhile.
    _layersTable->viewport()->removeEventFilter(this);
    _layersTable->removeEventFilter(this);
    _view->removeEventFilter(this);
    // The document's history must not call a controller that went with its view.
    if (platform::UndoManager* manager = undoManager())
        manager->removeAllActionsWithTarget(this);
    disableLayersView();
    if (_placeholderSheet) {
        _placeholderSheet->setDelegate(nullptr);
        _placeholderSheet.reset();
    }
    delete _view;
}

QWidget* LBLayersController::view()
{
    return _view;
}

void LBLayersController::loadView()
{
    _view = new QWidget;
    _view->setObjectName(QStringLiteral("LayersView"));
    _view->resize(245, 200);

    _model = new LBLayersModel(*this);
    _model->setParent(this);
    _layersTable = new QTableView(_view);
    _layersTable->setModel(_model);
    _layersTable->setSelectionBehavior(QAbstractItemView::SelectRows);
    _layersTable->setSelectionMode(QAbstractItemView::SingleSelection);
    _layersTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    _layersTable->setShowGrid(false);
    _layersTable->setTextElideMode(Qt::ElideRight);
    _layersTable->horizontalHeader()->hide();
    _layersTable->verticalHeader()->hide();
    _layersTable->verticalHeader()->setDefaultSectionSize(20);
    _layersTable->horizontalHeader()->setSectionResizeMode(VisibleColumn, QHeaderView::Fixed);
    _layersTable->horizontalHeader()->setSectionResizeMode(PreviewColumn, QHeaderView::Fixed);
    _layersTable->horizontalHeader()->setSectionResizeMode(NameColumn, QHeaderView::Stretch);
    _layersTable->setColumnWidth(VisibleColumn, 24);
    _layersTable->setColumnWidth(PreviewColumn, 24);
    // 1. The cells.
    _layersTable->setItemDelegateForColumn(NameColumn, new LBCenteredTextCell(_layersTable));
    _layersTable->setItemDelegateForColumn(VisibleColumn, new LayerButtonCell(_layersTable));
    _layersTable->setItemDelegateForColumn(PreviewColumn, new LayerButtonCell(_layersTable));
    // 2. Rows are dragged to reorder the layers.
    _layersTable->setDragEnabled(true);
    _layersTable->setAcceptDrops(true);
    _layersTable->setDropIndicatorShown(true);
    _layersTable->setDragDropOverwriteMode(false);
    _layersTable->setDragDropMode(QAbstractItemView::DragDrop);
    _layersTable->setDefaultDropAction(Qt::CopyAction);
    _layersTable->viewport()->installEventFilter(this);
    _layersTable->viewport()->setMouseTracking(true);
    _layersTable->installEventFilter(this);
    connect(_layersTable->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { tableViewSelectionDidChange(); });

    _plusButton = new QPushButton(QStringLiteral("+"), _view);
    _plusButton->setToolTip(tr("New Layer"));
    connect(_plusButton, &QPushButton::clicked, this, [this] { newLayerAction(); });
    _minusButton = new QPushButton(QString(QChar(0x2212)), _view);
    _minusButton->setToolTip(tr("Delete"));
    connect(_minusButton, &QPushButton::clicked, this, [this] { deleteLayerAction(); });

    const auto popUp = [this](const QString& title, const QList<QPair<int, QString>>& items,
                              void (LBLayersController::*action)(int)) {
        auto* button = new QPushButton(title, _view);
        auto* menu = new QMenu(button);
        for (const auto& [tag, text] : items)
            menu->addAction(text)->setData(tag);
        button->setMenu(menu);
        connect(menu, &QMenu::aboutToShow, this, [this, menu] {
            for (QAction* item : menu->actions())
                item->setEnabled(validateMenuItem(item->data().toInt()));
        });
        connect(menu, &QMenu::triggered, this,
                [this, action](QAction* item) { (this->*action)(item->data().toInt()); });
        return button;
    };
    _layerButton = popUp(tr("Layer"),
                         {{NewLayerWithSelectionCommand, tr("New Layer With Selection...")},
                          {DuplicateLayerCommand, tr("Duplicate Layer...")},
                          {MergeDownCommand, tr("Merge Down")},
                          {RenameLayerCommand, tr("Rename Layer...")}},
                         &LBLayersController::layerButtonAction);
    _backgroundButton =
        popUp(tr("Background"),
              {{BackgroundColorCommand, tr("Background Color...")},
               {BackgroundImageFromFileCommand, tr("Background Image From File...")},
               {SelectedImageAsBackgroundCommand, tr("Use Selected Image as Background")},
               {BackgroundImageSettingsCommand, tr("Background Image Settings...")},
               {BackgroundPlaceholderCommand, tr("Define Background Placeholder...")}},
              &LBLayersController::backgroundButtonAction);

    _splitViewSizer = new LBSplitViewSizeButton(_view);
    buildSheets();

    // 3. Frame changes lay the buttons out (once now); the window and the movie player tell
    //    when to reload or to pause.
    _view->installEventFilter(this);
    viewResized();
    auto& center = platform::NotificationCenter::defaultCenter();
    _observers.push_back(
        center.addObserver(LBUpdateLayersView, nullptr,
                           [this](const platform::Notification&) { updateLayersView(); }));
    _observers.push_back(center.addObserver(
        LBMovieStarted, nullptr, [this](const platform::Notification&) { disableLayersView(); }));
    _observers.push_back(center.addObserver(
        LBMovieStopped, nullptr, [this](const platform::Notification&) { enableLayersView(); }));
}

void LBLayersController::buildSheets()
{
    const auto sheet = [this](const QString& name) {
        auto* dialog = new QDialog(_view);
        dialog->setObjectName(name);
        dialog->setWindowModality(Qt::WindowModal);
        return dialog;
    };
    const auto button = [](QDialog* dialog, const QString& title, int tag) {
        auto* b = new QPushButton(title, dialog);
        b->setProperty("tag", tag);
        return b;
    };

    // The layer name.
    _nameSheet = sheet(QStringLiteral("nameSheet"));
    _nameSheet->resize(300, 96);
    auto* prompt = new QLabel(tr("Layer name:"), _nameSheet);
    prompt->setGeometry(16, 14, 268, 18);
    _nameText = new QLineEdit(_nameSheet);
    _nameText->setGeometry(16, 34, 268, 22);
    QPushButton* ok = button(_nameSheet, tr("OK"), 1);
    ok->setGeometry(204, 64, 80, 24);
    ok->setDefault(true);
    QPushButton* cancel = button(_nameSheet, tr("Cancel"), 0);
    cancel->setGeometry(116, 64, 80, 24);
    for (QPushButton* b : {ok, cancel})
        connect(b, &QPushButton::clicked, this,
                [this, b] { dismissNameSheetAction(b->property("tag").toInt()); });
    // A layer needs a name to be told apart in the list (and in "delete the layer '…'?").
    connect(_nameText, &QLineEdit::textChanged, ok,
            [ok](const QString& text) { ok->setEnabled(!text.trimmed().isEmpty()); });
    connect(_nameSheet, &QDialog::rejected, this, [this] {
        if (_sheetIsOpen)
            dismissNameSheetAction(0);
    });

    // The background colour.
    _colorSheet = sheet(QStringLiteral("colorSheet"));
    _colorSheet->resize(220, 80);
    auto* colorLabel = new QLabel(tr("Background color:"), _colorSheet);
    colorLabel->setGeometry(16, 16, 120, 22);
    _colorWell = new platform::ColorWell(_colorSheet);
    _colorWell->setGeometry(140, 12, 60, 28);
    connect(_colorWell, &platform::ColorWell::colorChanged, this,
            [this] { backgroundColorSettingsAction(_colorWell); });
    QPushButton* colorDone = button(_colorSheet, tr("Done"), 1);
    colorDone->setGeometry(124, 48, 80, 24);
    connect(colorDone, &QPushButton::clicked, this,
            [this, colorDone] { backgroundColorSettingsAction(colorDone); });

    // The background picture's settings.
    _backgroundImageSheet = sheet(QStringLiteral("backgroundImageSheet"));
    _backgroundImageSheet->resize(300, 112);
    auto* scalingLabel = new QLabel(tr("Scaling:"), _backgroundImageSheet);
    scalingLabel->setGeometry(16, 14, 90, 22);
    _backgroundImageScalingPopup = new QComboBox(_backgroundImageSheet);
    // By the page's scaling code, as the design window's sheet offers them.
    _backgroundImageScalingPopup->addItems(LBEditController::backgroundImageScalingTitles());
    _backgroundImageScalingPopup->setGeometry(110, 12, 174, 24);
    connect(_backgroundImageScalingPopup, &QComboBox::activated, this,
            [this] { backgroundImageSettingsAction(_backgroundImageScalingPopup); });
    // Raised, the slider fades the picture.
    auto* transparencyLabel = new QLabel(tr("Transparency:"), _backgroundImageSheet);
    transparencyLabel->setGeometry(16, 46, 90, 22);
    auto* slider = new QSlider(Qt::Horizontal, _backgroundImageSheet);
    slider->setRange(0, 100);
    slider->setGeometry(110, 46, 174, 22);
    _backgroundImageTransparencySlider = slider;
    connect(slider, &QSlider::valueChanged, this,
            [this] { backgroundImageSettingsAction(_backgroundImageTransparencySlider); });
    QPushButton* imageDone = button(_backgroundImageSheet, tr("Done"), 1);
    imageDone->setGeometry(204, 80, 80, 24);
    connect(imageDone, &QPushButton::clicked, this,
            [this, imageDone] { backgroundImageSettingsAction(imageDone); });
}

// ==== LayersPane ==========================================================================

void LBLayersController::setDocument(LBDocument* document)
{
    _theDocument = document;
    _ignoreRowSelection = true;
    _model->reload();
    if (document) {
        const qint64 row = document->layerCount() - 1 - document->selectedLayerIndex();
        if (row >= 0 && row < numRows())
            selectRow(row);
        _ignoreRowSelection = false;
    }
}

void LBLayersController::setEditController(DesignModeController* controller)
{
    _editController = controller;
}

void LBLayersController::setSplitter(QWidget* splitView)
{
    _splitViewSizer->setSplitter(qobject_cast<LBSplitView*>(splitView));
}

void LBLayersController::setViewMinWidth0(double minWidth0, double minWidth1)
{
    _splitViewSizer->setViewMinWidth0(minWidth0, minWidth1);
}

platform::UndoManager* LBLayersController::undoManager() const
{
    return _theDocument ? _theDocument->undoManager() : nullptr;
}

LBEditController* LBLayersController::editController() const
{
    return dynamic_cast<LBEditController*>(_editController);
}

QList<LBGraphicPtr> LBLayersController::selectedGraphics() const
{
    // Locked graphics are left out.
    if (LBEditController* edit = editController())
        return edit->selectedGraphics(false);
    if (_editController)
        for (LBGraphicView* canvas : _editController->graphicViews())
            if (QList<LBGraphicPtr> selection = canvas->selectedGraphics(false);
                !selection.isEmpty())
                return selection;
    return {};
}

qint64 LBLayersController::pageIndex() const
{
    return _theDocument ? _theDocument->pageIndex() : 0;
}

// ==== Rows ================================================================================

qint64 LBLayersController::numRows() const
{
    if (!_theDocument)
        return 0;
    const LBDocument& d = *_theDocument;
    const qint64 page = pageIndex();
    qint64 rows = d.layerCount();
    if (d.hasBackgroundPlaceholder(page))
        ++rows;
    else if (d.backgroundImage(page) || !d.backgroundImagePath(page).isEmpty())
        ++rows;
    if (d.hasBackgroundColor(page))
        ++rows;
    return rows;
}

qint64 LBLayersController::layerIndexForRowIndex(qint64 row) const
{
    if (!_theDocument || row < 0)
        return -1;
    const LBDocument& d = *_theDocument;
    const qint64 page = pageIndex();
    const qint64 L = d.layerCount();
    if (row < L)
        return L - 1 - row;
    QList<qint64> backgrounds;
    if (d.hasBackgroundPlaceholder(page))
        backgrounds.append(BackgroundPlaceholderItem);
    else if (d.backgroundImage(page) || !d.backgroundImagePath(page).isEmpty())
        backgrounds.append(BackgroundImageItem);
    if (d.hasBackgroundColor(page))
        backgrounds.append(BackgroundColorItem);
    return backgrounds.value(row - L, -1);
}

qint64 LBLayersController::rowIndexForLayerIndex(qint64 index) const
{
    for (qint64 row = 0; row < numRows(); ++row)
        if (layerIndexForRowIndex(row) == index)
            return row;
    return -1;
}

QString LBLayersController::nameForRow(qint64 row) const
{
    switch (const qint64 item = layerIndexForRowIndex(row)) {
    case -1: return {};
    case BackgroundPlaceholderItem: return layersText("Background Placeholder");
    case BackgroundImageItem: return layersText("Background Image");
    case BackgroundColorItem: return layersText("Background Color");
    default: return _theDocument->layerNameAtIndex(item);
    }
}

QString LBLayersController::pictureForRow(qint64 row, const QString& name) const
{
    // White on the selected row's highlight while the table has the focus.
    return row == selectedRow() && _layersTable->hasFocus() && !_sheetIsOpen ? whiteVariant(name)
                                                                             : name;
}

QString LBLayersController::visibleImageForRow(qint64 row) const
{
    const qint64 item = layerIndexForRowIndex(row);
    if (item < 0)
        return {};
    QString name = QStringLiteral("LayerVisibleNo");
    if (layerAtIndexIsVisible(item)) {
        name = QStringLiteral("LayerVisible");
    } else if (_layerVisibilityArray) {
        // During a solo preview an item hidden by the preview shows that it was visible.
        const qint64 L = _theDocument->layerCount();
        const qint64 position =
            item >= firstBackgroundItem ? L + (item - firstBackgroundItem) : item;
        if (_layerVisibilityArray->value(position, false))
            name = QStringLiteral("LayerVisible0");
    }
    return pictureForRow(row, name);
}

QString LBLayersController::visibleAlternateImageForRow(qint64 row) const
{
    return pictureForRow(row, QStringLiteral("LayerVisible1"));
}

QString LBLayersController::previewImageForRow(qint64 row) const
{
    return pictureForRow(row, QStringLiteral("LayerPreview"));
}

QString LBLayersController::previewAlternateImageForRow(qint64 row) const
{
    return pictureForRow(row, QStringLiteral("LayerPreview1"));
}

// ==== Reloading ===========================================================================

qint64 LBLayersController::selectedRow() const
{
    const QModelIndexList rows = _layersTable->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

qint64 LBLayersController::selectedRowLayerIndex() const
{
    const qint64 item = layerIndexForRowIndex(selectedRow());
    return item >= 0 && item < firstBackgroundItem ? item : 0;
}

void LBLayersController::reloadTable()
{
    // A reload keeps the row selected (without recording it as the user's choice).
    const qint64 row = selectedRow();
    const bool ignoring = std::exchange(_ignoreRowSelection, true);
    _model->reload();
    if (row >= 0 && row < numRows())
        selectRow(row);
    _ignoreRowSelection = ignoring;
    _layersTable->viewport()->update();
}

void LBLayersController::selectRow(qint64 row)
{
    const QModelIndex index = _model->index(int(row), NameColumn);
    _layersTable->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect
                                                               | QItemSelectionModel::Rows);
}

void LBLayersController::updateLayersView()
{
    _model->reload();
    updateLayerTableSelection();
}

void LBLayersController::updateLayerTableSelection()
{
    if (!_theDocument)
        return;
    const qint64 row = _theDocument->layerCount() - _theDocument->selectedLayerIndex() - 1;
    if (row < 0)
        return;
    const bool ignoring = std::exchange(_ignoreRowSelection, true);
    selectRow(row);
    _ignoreRowSelection = ignoring;
}

void LBLayersController::disableLayersView()
{
    for (QWidget* control :
         {static_cast<QWidget*>(_layersTable), static_cast<QWidget*>(_plusButton),
          static_cast<QWidget*>(_minusButton), static_cast<QWidget*>(_layerButton),
          static_cast<QWidget*>(_backgroundButton)})
        if (control)
            control->setEnabled(false);
}

void LBLayersController::enableLayersView()
{
    for (QWidget* control :
         {static_cast<QWidget*>(_layersTable), static_cast<QWidget*>(_plusButton),
          static_cast<QWidget*>(_minusButton), static_cast<QWidget*>(_layerButton),
          static_cast<QWidget*>(_backgroundButton)})
        control->setEnabled(true);
}

LBLayersController::ButtonWidths LBLayersController::buttonWidthsForTableWidth(double W)
{
    const auto t = [](double v) { return int(std::trunc(v)); };
    const int b = std::max(t((W - t(66.0 * W / 245.0) - t(96.0 * W / 245.0)) / 2.0), 24);
    const int layer = t((W - 2.0 * b) * 66.0 / 162.0);
    const int background = t(W - (2.0 * b + layer) + 4.0);
    return {b, b, layer, background};
}

void LBLayersController::viewResized()
{
    const int w = _view->width();
    const int h = _view->height();
    const int y = h - buttonRowHeight;
    _layersTable->setGeometry(0, 0, w, std::max(y, 0));
    const ButtonWidths widths = buttonWidthsForTableWidth(_layersTable->width());
    int x = 0;
    for (const auto& [button, width] :
         {std::pair{_plusButton, widths.plus}, std::pair{_minusButton, widths.minus},
          std::pair{_layerButton, widths.layer}, std::pair{_backgroundButton, widths.background}}) {
        button->setGeometry(x, y, width, buttonRowHeight);
        x += width - 1;
    }
    // The size button sits at the row's right end.
    _splitViewSizer->setGeometry(w - 15, y + (buttonRowHeight - 15) / 2, 15, 15);
    _splitViewSizer->raise();
}

// ==== Undoable primitives =================================================================

void LBLayersController::nameUndoStep(const char* key)
{
    if (platform::UndoManager* undo = undoManager())
        undo->setActionName(
            platform::LocalizedString(QLatin1String(key), QStringLiteral("UndoStrings")));
}

void LBLayersController::deselectAll()
{
    if (_editController)
        _editController->deselectAll();
}

void LBLayersController::redrawCanvases()
{
    if (LBEditController* edit = editController())
        edit->redrawGraphicViews();
    else if (_editController)
        for (LBGraphicView* canvas : _editController->graphicViews())
            canvas->update();
}

void LBLayersController::insertLayerWithName(const QString& name, qint64 atIndex,
                                             const QList<LBGraphicPtr>& withSelectedGraphics)
{
    LBDocument* d = _theDocument;
    if (!d)
        return;
    undoManager()->registerUndo(this, [this, atIndex] { deleteLayerAtIndex(atIndex); });
    const qint64 from = d->selectedLayerIndex();
    d->insertLayerWithName(name, atIndex);
    if (!withSelectedGraphics.isEmpty())
        d->moveGraphics(&withSelectedGraphics, from < atIndex ? from : from + 1, atIndex);
    if (atIndex >= 0 && atIndex < d->layerCount())
        d->selectLayerAtIndex(atIndex);
    reloadTable();
}

void LBLayersController::deleteLayerAtIndex(qint64 index)
{
    LBDocument* d = _theDocument;
    if (!d)
        return;
    const qint64 page = pageIndex();
    if (index >= 0 && index < firstBackgroundItem) {
        const QString name = d->layerNameAtIndex(index);
        d->deleteGraphicsOnLayer(index);
        undoManager()->registerUndo(this,
                                    [this, name, index] { insertLayerWithName(name, index, {}); });
        d->deleteLayerAtIndex(index);
        d->selectLayerAtIndex(std::max<qint64>(std::min(d->layerCount() - 1, index - 1), 0));
    } else if (index == BackgroundPlaceholderItem) {
        nameUndoStep("Clear Background Placeholder");
        d->setHasBackgroundPlaceholder(false, page);
        d->setBackgroundImagePath(QString(), true, page);
    } else if (index == BackgroundImageItem) {
        nameUndoStep("Clear Background Image");
        d->setBackgroundImagePath(QString(), true, page);
        if (d->hasBackgroundPlaceholder(page))
            d->setHasBackgroundPlaceholder(false, page);
        d->updateChangeCount(platform::Document::ChangeDone);
    } else if (index == BackgroundColorItem) {
        nameUndoStep("Clear Background Color");
        d->setHasBackgroundColor(false, page);
        d->setDrawBackgroundColor(false, page);
    }
    redrawCanvases();
    updateLayersView();
}

void LBLayersController::moveLayerAtIndex(qint64 index, qint64 toIndex)
{
    LBDocument* d = _theDocument;
    if (!d)
        return;
    undoManager()->registerUndo(this, [this, index, toIndex] { moveLayerAtIndex(toIndex, index); });
    d->moveLayerAtIndex(index, toIndex);
    d->selectLayerAtIndex(toIndex);
    _model->reload();
    updateLayerTableSelection();
    redrawCanvases();
}

void LBLayersController::showLayerAtIndex(qint64 index, bool show)
{
    LBDocument* d = _theDocument;
    if (!d)
        return;
    undoManager()->registerUndo(this, [this, index, show] { showLayerAtIndex(index, !show); });
    const qint64 page = pageIndex();
    if (index == BackgroundPlaceholderItem)
        d->setDrawBackgroundPlaceholder(show, page);
    else if (index == BackgroundImageItem)
        d->setDrawBackgroundImage(show, page);
    else if (index == BackgroundColorItem)
        d->setDrawBackgroundColor(show, page);
    else if (index >= 0 && index < firstBackgroundItem)
        d->showLayerAtIndex(index, show);
    reloadTable();
}

bool LBLayersController::layerAtIndexIsVisible(qint64 index) const
{
    if (!_theDocument)
        return true;
    const qint64 page = pageIndex();
    switch (index) {
    case BackgroundPlaceholderItem: return _theDocument->drawBackgroundPlaceholder(page);
    case BackgroundImageItem: return _theDocument->drawBackgroundImage(page);
    case BackgroundColorItem: return _theDocument->drawBackgroundColor(page);
    default:
        return index >= firstBackgroundItem || index < 0
                   ? true
                   : _theDocument->layerAtIndexIsVisible(index, _theDocument->pageIndex());
    }
}

// ==== Eye and solo preview ================================================================

void LBLayersController::visibilityButtonAction()
{
    const qint64 item = layerIndexForRowIndex(_clickedRowIndex);
    if (item < 0)
        return;
    deselectAll();
    nameUndoStep("Toggle Layer Visibility");
    showLayerAtIndex(item, !layerAtIndexIsVisible(item));
}

QRect LBLayersController::previewCellRect(qint64 row) const
{
    return _layersTable->visualRect(_model->index(int(row), PreviewColumn));
}

void LBLayersController::previewButtonAction()
{
    LBDocument* d = _theDocument;
    if (!d)
        return;
    const qint64 L = d->layerCount();
    QList<qint64> items;
    for (qint64 i = 0; i < L; ++i)
        items.append(i);
    items << BackgroundPlaceholderItem << BackgroundImageItem << BackgroundColorItem;
    // A passing look: no undo step, and the document stays as edited as it was.
    if (!_layerVisibilityArray) {
        const qint64 clicked = layerIndexForRowIndex(_clickedRowIndex);
        if (clicked < 0)
            return;
        QList<bool> saved;
        d->makePassingChange([&] {
            for (qint64 item : items) {
                const bool visible = layerAtIndexIsVisible(item);
                saved.append(visible);
                if (item != clicked && visible)
                    showLayerAtIndex(item, false);
                else if (item == clicked && !visible)
                    showLayerAtIndex(item, true);
            }
        });
        _layerVisibilityArray = saved;
        _model->_pressedPreviewRow = _clickedRowIndex;
        _cellTrackingRect = previewCellRect(_clickedRowIndex);
    } else {
        const QList<bool> saved = *std::exchange(_layerVisibilityArray, std::nullopt);
        d->makePassingChange([&] {
            for (qsizetype i = 0; i < items.size() && i < saved.size(); ++i)
                if (layerAtIndexIsVisible(items.at(i)) != saved.at(i))
                    showLayerAtIndex(items.at(i), saved.at(i));
        });
        _model->_pressedPreviewRow = -1;
        _cellTrackingRect.reset();
    }
    reloadTable();
}

void LBLayersController::mouseExited()
{
    if (_layerVisibilityArray)
        previewButtonAction();
}

bool LBLayersController::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == _view && event->type() == QEvent::Resize) {
        viewResized();
        return false;
    }
    if (watched == _layersTable
        && (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut)) {
        _layersTable->viewport()->update();
        return false;
    }
    if (watched != _layersTable->viewport())
        return false;
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        const QModelIndex index = _layersTable->indexAt(mouse->position().toPoint());
        if (!index.isValid() || mouse->button() != Qt::LeftButton
            || shouldSelectRow(index.row(), index.column(), true))
            return false;
        // The eye and preview buttons track the press; they do not select the row.
        shouldTrackCell(index.row());
        if (index.column() == VisibleColumn) {
            _model->_pressedVisibleRow = index.row();
        } else if (!_layerVisibilityArray && event->type() == QEvent::MouseButtonPress) {
            previewButtonAction();
        }
        _layersTable->viewport()->update();
        return true;
    }
    case QEvent::MouseButtonRelease: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() != Qt::LeftButton)
            return false;
        if (_model->_pressedVisibleRow >= 0) {
            const QModelIndex index = _layersTable->indexAt(mouse->position().toPoint());
            const bool inside = index.isValid() && index.row() == _model->_pressedVisibleRow
                                && index.column() == VisibleColumn;
            _model->_pressedVisibleRow = -1;
            if (inside)
                visibilityButtonAction();
            _layersTable->viewport()->update();
            return true;
        }
        if (_layerVisibilityArray) {
            previewButtonAction();
            return true;
        }
        return false;
    }
    case QEvent::MouseMove: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (_layerVisibilityArray && _cellTrackingRect
            && !_cellTrackingRect->contains(mouse->position().toPoint()))
            mouseExited();
        return _model->_pressedVisibleRow >= 0 || _layerVisibilityArray.has_value();
    }
    case QEvent::Leave: mouseExited(); return false;
    default: return false;
    }
}

// ==== Selection ===========================================================================

bool LBLayersController::shouldSelectRow(qint64 row, int column, bool leftMouseDown) const
{
    Q_UNUSED(row);
    return !leftMouseDown || column == NameColumn;
}

void LBLayersController::tableViewSelectionDidChange()
{
    LBDocument* d = _theDocument;
    const qint64 row = selectedRow();
    if (!_ignoreRowSelection && d) {
        deselectAll();
        nameUndoStep("Layer Selection");
        const qint64 previous = _selectedRowIndex;
        undoManager()->registerUndo(this, [this, previous] {
            if (previous >= 0 && previous < numRows())
                selectRow(previous);
        });
    }
    _selectedRowIndex = row;
    const qint64 item = layerIndexForRowIndex(row);
    if (d && item >= 0 && item < firstBackgroundItem && item < d->layerCount()) {
        if (!_ignoreRowSelection)
            d->selectLayerAtIndex(item);
        _minusButton->setEnabled(item >= 1);
    } else {
        _minusButton->setEnabled(true);
    }
    _layersTable->viewport()->update();
}

// ==== Name sheet: new, duplicate, rename ==================================================

void LBLayersController::openNameSheet(int command, const QString& name)
{
    _commandTag = command;
    _nameText->setText(name);
    _nameText->selectAll();
    _sheetIsOpen = true;
    _nameSheet->open();
    _nameText->setFocus();
}

void LBLayersController::newLayerAction()
{
    if (_theDocument)
        openNameSheet(NewLayerCommand, tr("New Layer"));
}

void LBLayersController::layerButtonAction(int tag)
{
    LBDocument* d = _theDocument;
    if (!d || !validateMenuItem(tag))
        return;
    switch (tag) {
    case NewLayerWithSelectionCommand: openNameSheet(tag, tr("New Layer")); break;
    case DuplicateLayerCommand:
        openNameSheet(tag, d->layerNameAtIndex(selectedRowLayerIndex()));
        break;
    case RenameLayerCommand:
        openNameSheet(tag, d->layerNameAtIndex(layerIndexForRowIndex(selectedRow())));
        break;
    case MergeDownCommand: {
        const qint64 i = d->selectedLayerIndex();
        if (i < 1)
            return;
        const QString name = d->layerNameAtIndex(i);
        nameUndoStep("Merge Down");
        d->moveGraphics(nullptr, i, i - 1);
        undoManager()->registerUndo(this, [this, name, i] { insertLayerWithName(name, i, {}); });
        d->deleteLayerAtIndex(i);
        if (i - 1 > 0)
            d->replaceLayerNameAtIndex(i - 1, name);
        d->selectLayerAtIndex(i - 1);
        if (!layerAtIndexIsVisible(i - 1))
            showLayerAtIndex(i - 1, true);
        updateLayersView();
        break;
    }
    default: break;
    }
}

void LBLayersController::dismissNameSheetAction(int tag)
{
    LBDocument* d = _theDocument;
    if (tag == 1 && d) {
        const QString name = _nameText->text();
        const qint64 s = selectedRowLayerIndex();
        switch (_commandTag) {
        case NewLayerCommand:
            deselectAll();
            nameUndoStep("New Layer");
            insertLayerWithName(name, s + 1, {});
            break;
        case NewLayerWithSelectionCommand: {
            const QList<LBGraphicPtr> graphics = selectedGraphics();
            deselectAll();
            nameUndoStep("New Layer With Selection");
            insertLayerWithName(name, s + 1, graphics);
            break;
        }
        case DuplicateLayerCommand:
            deselectAll();
            nameUndoStep("Duplicate Layer");
            undoManager()->registerUndo(this, [this, s] { deleteLayerAtIndex(s + 1); });
            d->duplicateLayerAtIndex(s);
            d->replaceLayerNameAtIndex(s + 1, name);
            d->selectLayerAtIndex(s + 1);
            updateLayersView();
            break;
        case RenameLayerCommand:
            d->replaceLayerNameAtIndex(layerIndexForRowIndex(selectedRow()), name);
            reloadTable();
            break;
        default: break;
        }
    }
    _sheetIsOpen = false;
    if (_nameSheet->isVisible())
        _nameSheet->done(tag == 1 ? QDialog::Accepted : QDialog::Rejected);
    _layersTable->viewport()->update();
}

// ==== Delete ==============================================================================

void LBLayersController::deleteLayerAction()
{
    LBDocument* d = _theDocument;
    const qint64 row = selectedRow();
    const qint64 item = layerIndexForRowIndex(row);
    if (!d || item < 0)
        return;
    platform::Alert alert;
    alert.buttons = {dialogText("Delete Layer"), dialogText("Cancel")};
    alert.cancelButton = 1;
    switch (item) {
    case BackgroundPlaceholderItem:
        alert.messageText =
            dialogText("Are you sure you want to delete the Background Placeholder layer?");
        break;
    case BackgroundImageItem:
        alert.messageText =
            dialogText("Are you sure you want to delete the Background Image layer?");
        break;
    case BackgroundColorItem:
        alert.messageText =
            dialogText("Are you sure you want to delete the Background Color layer?");
        break;
    default:
        alert.messageText = dialogText("Are you sure you want to delete the layer '%@'?")
                                .replace(QLatin1String("%@"), d->layerNameAtIndex(item));
    }
    _sheetIsOpen = true;
    QPointer<LBLayersController> self(this);
    alert.beginSheetModalForWindow(
        _layersTable->window(), [self, item](const platform::Alert::Response& response) {
            if (!self)
                return;
            self->_sheetIsOpen = false;
            if (response.returnCode != platform::Alert::FirstButtonReturn)
                return;
            self->deselectAll();
            self->nameUndoStep("Delete Layer");
            self->deleteLayerAtIndex(item);
        });
}

// ==== Drags ===============================================================================

bool LBLayersController::writeRows(const QList<int>& rows, QMimeData* data) const
{
    // Only a layer above the bottom one moves; the background rows stay put.
    if (rows.size() != 1)
        return false;
    const qint64 item = layerIndexForRowIndex(rows.first());
    if (item < 1 || item >= firstBackgroundItem)
        return false;
    data->setData(layerMimeType(), QByteArray::number(rows.first()));
    return true;
}

Qt::DropAction LBLayersController::validateDrop(const QMimeData* data, qint64 row,
                                                DropOperation operation) const
{
    if (!data || !data->hasFormat(layerMimeType()) || operation != DropOperation::Above)
        return Qt::IgnoreAction;
    const qint64 item = layerIndexForRowIndex(row);
    return quint64(item) < quint64(firstBackgroundItem) ? Qt::CopyAction : Qt::IgnoreAction;
}

bool LBLayersController::acceptDrop(const QMimeData* data, qint64 row, DropOperation operation)
{
    if (!_theDocument || validateDrop(data, row, operation) == Qt::IgnoreAction)
        return false;
    bool ok = false;
    const qint64 from = data->data(layerMimeType()).toLongLong(&ok);
    const qint64 L = _theDocument->layerCount();
    if (!ok || from < 0 || from >= L)
        return false;
    const qint64 to = from < row ? row - 1 : row;
    if (to == from)
        return true;
    deselectAll();
    nameUndoStep("Reorder Layers");
    moveLayerAtIndex(L - 1 - from, L - 1 - to);
    return true;
}

// ==== Background ==========================================================================

void LBLayersController::backgroundButtonAction(int tag)
{
    LBDocument* d = _theDocument;
    if (!d || !validateMenuItem(tag))
        return;
    const qint64 page = pageIndex();
    switch (tag) {
    case BackgroundColorCommand:
        _colorWell->setColor(d->backgroundColor(page));
        _sheetIsOpen = true;
        _colorSheet->open();
        break;
    case BackgroundImageFromFileCommand:
        // The settings sheet that follows the chosen picture shows the page's values.
        openBackgroundImagePanel();
        break;
    case SelectedImageAsBackgroundCommand: useSelectedImageAsBackgroundAction(); break;
    case BackgroundImageSettingsCommand: backgroundImageSheetAction(); break;
    case BackgroundPlaceholderCommand: defineBackgroundPlaceholderAction(); break;
    default: break;
    }
}

void LBLayersController::openBackgroundImagePanel()
{
    auto* panel = new QFileDialog(_layersTable->window());
    platform::openInUsersFolder(panel);
    platform::keepOutOfDocuments(panel);
    panel->setObjectName(QStringLiteral("backgroundImagePanel"));
    panel->setAttribute(Qt::WA_DeleteOnClose);
    panel->setFileMode(QFileDialog::ExistingFile);
    panel->setNameFilter(platform::imagesNameFilter(LBGraphicView::imageFileTypes()));
    panel->setWindowModality(Qt::WindowModal);
    connect(panel, &QFileDialog::fileSelected, this,
            [this](const QString& path) { backgroundImageChosen(path); });
    panel->open();
}

void LBLayersController::backgroundImageChosen(const QString& path)
{
    LBDocument* d = _theDocument;
    if (!d || path.isEmpty())
        return;
    const qint64 page = pageIndex();
    // Not a picture the program reads: nothing of the page changes, and the user hears why.
    QString error;
    if (!platform::Image::fromFile(path, &error)) {
        platform::Alert alert;
        alert.messageText = dialogText("The file \u201c%@\u201d cannot be used as the background.")
                                .replace(QLatin1String("%@"), QFileInfo(path).fileName());
        alert.informativeText = error;
        alert.beginSheetModalForWindow(_layersTable->window());
        return;
    }
    nameUndoStep("Set Background Image");
    d->makeBackgroundImage(path, page);
    d->updateChangeCount(platform::Document::ChangeDone);
    reloadTable();
    QTimer::singleShot(0, this, [this] { backgroundImageSheetAction(); });
}

void LBLayersController::useSelectedImageAsBackgroundAction()
{
    LBEditController* edit = editController();
    if (!_theDocument || !edit)
        return;
    edit->useSelectedImageAsBackgroundAction(true); // shown and printed
    backgroundImageSheetAction();
    reloadTable();
}

void LBLayersController::backgroundImageSheetAction()
{
    if (!_theDocument)
        return;
    _backgroundImageScalingPopup->setCurrentIndex(
        int(_theDocument->backgroundImageScaling(pageIndex())));
    // The slider too shows the page's picture as it is (the design window's sheet may have
    // changed it since): at a stale value the first nudge would jump the picture.
    {
        const QSignalBlocker blocker(_backgroundImageTransparencySlider);
        _backgroundImageTransparencySlider->setValue(int(
            std::lround((1.0 - _theDocument->backgroundImageTransparency(pageIndex())) * 100.0)));
    }
    _sheetIsOpen = true;
    _backgroundImageSheet->open();
}

void LBLayersController::backgroundImageSettingsAction(QObject* sender)
{
    LBDocument* d = _theDocument;
    if (!d)
        return;
    const qint64 page = pageIndex();
    if (sender == _backgroundImageScalingPopup) {
        nameUndoStep("Background Image Scaling");
        d->setBackgroundImageScaling(_backgroundImageScalingPopup->currentIndex(), page);
    } else if (sender == _backgroundImageTransparencySlider) {
        nameUndoStep("Background Image Transparency");
        d->setBackgroundImageTransparency(1.0 - _backgroundImageTransparencySlider->value() / 100.0,
                                          page);
    } else if (sender && sender->property("tag").toInt() == 1) {
        _sheetIsOpen = false;
        _backgroundImageSheet->done(QDialog::Accepted);
    }
}

void LBLayersController::backgroundColorSettingsAction(QObject* sender)
{
    LBDocument* d = _theDocument;
    if (!d)
        return;
    const qint64 page = pageIndex();
    if (sender == _colorWell) {
        nameUndoStep("Background Color");
        d->setBackgroundColor(_colorWell->color(), page);
        d->setDrawBackgroundColor(true, page);
    } else if (sender && sender->property("tag").toInt() == 1) {
        if (!d->hasBackgroundColor(page)) {
            nameUndoStep("Add Background Color");
            d->setHasBackgroundColor(true, page);
            d->setDrawBackgroundColor(true, page);
            d->setPrintBackgroundColor(true, page);
        }
        _colorWell->deactivate();
        _sheetIsOpen = false;
        _colorSheet->done(QDialog::Accepted);
        reloadTable();
    }
}

// ==== Background placeholder ==============================================================

qint64 LBLayersController::sheetLocationForPageLocation(qint64 location)
{
    return LBGraphicView::sheetLocationForStoredPosition(location);
}

qint64 LBLayersController::pageLocationForSheetLocation(qint64 location)
{
    return LBGraphicView::storedPositionForSheetLocation(location);
}

void LBLayersController::defineBackgroundPlaceholderAction()
{
    LBDocument* d = _theDocument;
    if (!d || _placeholderSheet)
        return;
    auto& center = platform::NotificationCenter::defaultCenter();
    center.post(LBHideHUD);
    _placeholderSheet = LBPlaceholderSettings::make(true);
    if (!_placeholderSheet) {
        center.post(LBShowHUD);
        return;
    }
    _placeholderSheet->setDelegate(this);
    const qint64 page = pageIndex();
    if (d->hasBackgroundPlaceholder(page)) {
        LBPlaceholderSettings& s = *_placeholderSheet;
        const bool vertical = d->placeholderLabelIsVertical(page);
        s.setPromptString(d->placeholderLabel(page));
        s.setPromptLocation(vertical
                                ? sheetLocationForPageLocation(d->placeholderLabelPosition(page))
                                : d->placeholderLabelPosition(page));
        s.setPromptIsVertical(vertical);
        s.setColor(d->placeholderColor(page));
        s.setPatternIndex(d->placeholderPatternIndex(page));
        s.setLabelColor(d->placeholderLabelColor(page));
    }
    _sheetIsOpen = true;
    _placeholderSheet->beginSheetForWindow(_layersTable->window());
}

void LBLayersController::placeholderSheetDidDismissWithSave(LBPlaceholderSettings* sheet,
                                                            bool saved)
{
    LBDocument* d = _theDocument;
    if (saved && d && sheet) {
        const qint64 page = pageIndex();
        const bool vertical = sheet->promptIsVertical();
        d->setHasBackgroundPlaceholder(true, page);
        d->setPlaceholderColor(sheet->color(), page);
        d->setPlaceholderLabel(sheet->promptString(), page);
        d->setPlaceholderLabelColor(sheet->labelColor(), page);
        d->setPlaceholderPatternIndex(sheet->patternIndex(), page);
        d->setPlaceholderLabelPosition(vertical
                                           ? pageLocationForSheetLocation(sheet->promptLocation())
                                           : sheet->promptLocation(),
                                       page);
        d->setPlaceholderLabelIsVertical(vertical, page);
        d->setDrawBackgroundPlaceholder(true, page);
        d->setPrintBackgroundPlaceholder(true, page);
        nameUndoStep("Define Background Placeholder");
    }
    _sheetIsOpen = false;
    platform::NotificationCenter::defaultCenter().post(LBShowHUD);
    // The sheet is still in its own call: it goes on the next turn of the event loop.
    if (_placeholderSheet.get() == sheet) {
        std::shared_ptr<LBPlaceholderSettings> released(std::move(_placeholderSheet));
        released->setDelegate(nullptr);
        QTimer::singleShot(0, qApp, [released] {});
    }
    reloadTable();
}

// ==== Validation ==========================================================================

bool LBLayersController::validateMenuItem(int tag) const
{
    LBDocument* d = _theDocument;
    if (!d)
        return false;
    const qint64 page = pageIndex();
    switch (tag) {
    case MergeDownCommand:
    case RenameLayerCommand: {
        const qint64 item = layerIndexForRowIndex(selectedRow());
        return item >= 1 && item < firstBackgroundItem;
    }
    case SelectedImageAsBackgroundCommand: {
        const QList<LBGraphicPtr> selection = selectedGraphics();
        return selection.size() == 1 && dynamic_cast<const LBImage*>(selection.first().get());
    }
    case BackgroundImageSettingsCommand:
        return (d->backgroundImage(page) || !d->backgroundImagePath(page).isEmpty())
               && !d->hasBackgroundPlaceholder(page);
    case BackgroundPlaceholderCommand:
        // The sheet is made by the application; without it the command waits.
        return LBPlaceholderSettings::hasFactory();
    default: return true;
    }
}
