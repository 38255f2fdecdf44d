#include "app/LBLibraryController.h"

#include "graphics/LBProcessState.h"
#include "platform/core/Error.h"
#include "platform/core/Strings.h"
#include "platform/core/TextForms.h"
#include "platform/core/UserDefaults.h"
#include "platform/ui/Alert.h"
#include "platform/ui/ScrollView.h"
#include "platform/ui/SegmentedControl.h"
#include "window/LBEditController.h"
#include "window/LBWindowController.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QSplitter>
#include <QStandardItemModel>
#include <QTreeView>
#include <QVBoxLayout>

namespace {

// Item data of the outline's rows.
constexpr int KindRole = Qt::UserRole + 1; // true for a collection
constexpr int IdRole = Qt::UserRole + 2;

// The outline pane keeps at least this height; the matrix pane at least the other.
constexpr double MinimumOutlineHeight = 104.0;
constexpr double MinimumMatrixHeight = 72.0;

platform::UserDefaults& defaults()
{
    return platform::UserDefaults::standardUserDefaults();
}

QString libraryString(const char* key)
{
    return platform::LocalizedString(QString::fromUtf8(key), QStringLiteral("Library drawer"));
}

} // namespace

LBLibraryController::LBLibraryController() = default;

LBLibraryController::~LBLibraryController()
{
    _refreshObserver.reset();
    if (_observedDrawerPane)
        _observedDrawerPane->removeEventFilter(this);
    delete _nameSheet.data();
    delete _mainView.data();
}

std::unique_ptr<LBLibraryController> LBLibraryController::makeFavorites()
{
    auto controller = std::make_unique<LBLibraryController>();
    controller->initWithNibNamed(QStringLiteral("Favorites"));
    return controller;
}

void LBLibraryController::initWithNibNamed(const QString& nibName)
{
    loadCollections();
    buildInterface();
    _mainView->setObjectName(nibName);
    awakeFromNib();
    _refreshObserver = platform::NotificationCenter::defaultCenter().addObserver(
        LBRefreshLibraryMatrix, nullptr,
        [this](const platform::Notification&) { refreshMatrix(); });
}

QString LBLibraryController::preferenceKeyOfType(qint64 kind) const
{
    switch (kind) {
    case SelectedRowPreference: return QStringLiteral("Favorites Collection Index");
    case ConfirmDeleteCollectionPreference:
        return QStringLiteral("Confirm Delete Favorite Collection");
    case ConfirmDeletePreference: return QStringLiteral("Confirm Delete Favorite");
    case OutlineHeightPreference: return QStringLiteral("Favorites Outline Height");
    case CellSizePreference: return QStringLiteral("Scrapbook Cell Size");
    default: return QString();
    }
}

QString LBLibraryController::defaultCollectionName() const
{
    return libraryString("My Favorites");
}

QString LBLibraryController::collectionDescription() const
{
    return libraryString("Collection");
}

// ==== The pane ============================================================================

void LBLibraryController::buildInterface()
{
    _mainView = new QWidget;
    _mainView->resize(217, 400);
    auto* layout = new QVBoxLayout(_mainView);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);

    _splitView = new QSplitter(Qt::Vertical, _mainView);
    _splitView->setChildrenCollapsible(false);
    _splitView->setHandleWidth(5);
    layout->addWidget(_splitView, 1);

    _outlineView = new QTreeView;
    _outlineModel = new QStandardItemModel(this);
    _outlineView->setModel(_outlineModel);
    _outlineView->setHeaderHidden(true);
    _outlineView->setRootIsDecorated(true);
    _outlineView->setSelectionMode(QAbstractItemView::SingleSelection);
    // With no indentation there is no room for disclosure marks: a double click opens and
    // closes a collection, a click on the selected row renames it.
    _outlineView->setEditTriggers(QAbstractItemView::SelectedClicked
                                  | QAbstractItemView::EditKeyPressed);
    _outlineView->setExpandsOnDoubleClick(true);
    _outlineView->setMinimumHeight(0);
    _splitView->addWidget(_outlineView);

    _scrollView = new platform::ScrollView;
    _scrollView->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    _scrollView->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    _scrollView->setMinimumHeight(0);
    _matrix = new LBLibraryMatrix;
    _matrix->setController(this);
    _scrollView->setDocumentView(_matrix);
    _splitView->addWidget(_scrollView);
    _splitView->setStretchFactor(0, 0);
    _splitView->setStretchFactor(1, 1);
    _splitView->setSizes({int(MinimumOutlineHeight), 300});

    auto* bar = new QWidget(_mainView);
    auto* barLayout = new QHBoxLayout(bar);
    barLayout->setContentsMargins(0, 0, 0, 0);
    barLayout->setSpacing(6);
    _collectionControl = new platform::SegmentedControl(bar);
    _collectionControl->cell()->setTrackingMode(platform::SegmentedCell::Tracking::Momentary);
    _collectionControl->cell()->setSegmentCount(2);
    _collectionControl->cell()->setLabel(QStringLiteral("+"), 0);
    _collectionControl->cell()->setLabel(QStringLiteral("\u2212"), 1);
    _graphicControl = new platform::SegmentedControl(bar);
    _graphicControl->cell()->setTrackingMode(platform::SegmentedCell::Tracking::Momentary);
    _graphicControl->cell()->setSegmentCount(2);
    _graphicControl->cell()->setLabel(QStringLiteral("\u2212"), 0);
    _graphicControl->cell()->setLabel(QStringLiteral("+"), 1);
    _graphicControl->cell()->setEnabled(false, 0);
    _zoomSlider = new QSlider(Qt::Horizontal, bar);
    _zoomSlider->setRange(20, 132);
    barLayout->addWidget(_collectionControl);
    barLayout->addStretch(1);
    barLayout->addWidget(_zoomSlider, 2);
    barLayout->addStretch(1);
    barLayout->addWidget(_graphicControl);
    layout->addWidget(bar);

    connect(_collectionControl, &platform::SegmentedControl::activated, this,
            &LBLibraryController::plusMinusCollectionAction);
    connect(_graphicControl, &platform::SegmentedControl::activated, this,
            &LBLibraryController::plusMinusGraphicAction);
    connect(_zoomSlider, &QSlider::valueChanged, this, [this] { setZoomFactor(_zoomSlider); });
    connect(_outlineView->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        if (!_rebuildingOutline)
            outlineSelectionChanged();
    });
    connect(_outlineView, &QTreeView::expanded, this, [this] {
        if (!_rebuildingOutline)
            defaults().setInteger(selectedRow(), preferenceKeyOfType(SelectedRowPreference));
    });
    connect(_outlineView, &QTreeView::collapsed, this, [this] {
        if (!_rebuildingOutline)
            defaults().setInteger(selectedRow(), preferenceKeyOfType(SelectedRowPreference));
    });
    connect(_outlineModel, &QStandardItemModel::itemChanged, this,
            &LBLibraryController::outlineItemChanged);
    connect(_splitView, &QSplitter::splitterMoved, this, [this](int position) {
        const double allowed = constrainedDividerPosition(position, _splitView->height());
        if (int(allowed) != position)
            _splitView->setSizes({int(allowed), _splitView->height() - int(allowed)});
        splitViewResized();
    });
    _splitView->installEventFilter(this);
    _scrollView->installEventFilter(this);
    reloadOutline();
}

void LBLibraryController::awakeFromNib()
{
    _matrix->setPrototype([] { return std::make_unique<LBLibraryCell>(); });
    _matrix->setAcceptsDrags(true);
    _outlineView->setIndentation(0);
    commonAwakeFromNib();
    _collectionControl->cell()->setEnabled(!_collections.isEmpty(), 0);
    _graphicControl->cell()->setEnabled(!_collections.isEmpty(), 1);
    _collectionControl->update();
    _graphicControl->update();
}

void LBLibraryController::commonAwakeFromNib()
{
    const QString sizeKey = preferenceKeyOfType(CellSizePreference);
    QSizeF size = platform::sizeFromString(defaults().stringForKey(sizeKey));
    if (!(size.width() > 0) || !(size.height() > 0))
        size = QSizeF(60, 60);
    {
        const QSignalBlocker quiet(_zoomSlider);
        _zoomSlider->setMinimum(20);
        _zoomSlider->setValue(int(size.width()));
    }
    _matrix->setCellSize(size);
    _matrix->setIntercellSpacing(QSizeF(0, 0));
    _matrix->setBackgroundColor(Qt::white);
    _matrix->setDrawsBackground(true);
    QPalette palette = _scrollView->viewport()->palette();
    palette.setColor(QPalette::Window, Qt::white);
    _scrollView->viewport()->setPalette(palette);
    _scrollView->viewport()->setAutoFillBackground(true);

    const QString rowKey = preferenceKeyOfType(SelectedRowPreference);
    if (!rowKey.isNull()) {
        const QSignalBlocker quiet(_outlineView->selectionModel());
        selectRow(defaults().integerForKey(rowKey));
    }
    loadObjects();
    drawerResized();
    if (_importOldLibrary) {
        _importOldLibrary = false;
        importOldLibraries();
    }
}

void LBLibraryController::setEditController(LBEditController* controller)
{
    _editController = controller;
    // A store another program held when the pane was made is tried again when it shows.
    if (_collections.isEmpty())
        reopenCollections();
    QWidget* pane = nullptr;
    if (controller && controller->windowController())
        pane = controller->windowController()->drawerSuperview();
    if (pane == _observedDrawerPane)
        return;
    if (_observedDrawerPane)
        _observedDrawerPane->removeEventFilter(this);
    _observedDrawerPane = pane;
    if (pane)
        pane->installEventFilter(this);
}

bool LBLibraryController::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Resize) {
        if (watched == _observedDrawerPane || watched == _scrollView)
            drawerResized();
        else if (watched == _splitView)
            splitViewResized();
    }
    return QObject::eventFilter(watched, event);
}

void LBLibraryController::drawerResized()
{
    if (!_ignoreDrawerResizedMessages)
        adjustNumColumns(true);
}

void LBLibraryController::setOutlineHeightFromPrefs(const QString& key)
{
    const double height = defaults().doubleForKey(key);
    const QList<int> sizes = _splitView->sizes();
    const int total = sizes.value(0) + sizes.value(1);
    const int upper = std::clamp(int(height), 0, std::max(total, 0));
    _splitView->setSizes({upper, total - upper});
    _saveOutlineHeightToPrefs = true;
}

double LBLibraryController::constrainedDividerPosition(double proposed, double splitHeight)
{
    double position = std::min(proposed, splitHeight - MinimumMatrixHeight);
    return std::max(position, MinimumOutlineHeight);
}

void LBLibraryController::splitViewResized()
{
    if (_saveOutlineHeightToPrefs) {
        // Only a height that changed is written: an unchanged one (the shapes palette's
        // hidden outline at every launch) would pin the registered default in the settings.
        const QString key = preferenceKeyOfType(OutlineHeightPreference);
        const double height = double(_splitView->sizes().value(0));
        if (!key.isNull() && defaults().doubleForKey(key) != height)
            defaults().setFloat(height, key);
    }
    adjustNumCellsInMatrix(false);
}

QWidget* LBLibraryController::documentWindow() const
{
    if (_editController && _editController->windowController())
        return _editController->windowController()->window();
    return _mainView ? _mainView->window() : nullptr;
}

double LBLibraryController::documentZoomFactor() const
{
    return _editController ? _editController->zoomFactor() : 1.0;
}

QRectF LBLibraryController::topPageRect() const
{
    return _editController ? _editController->topPageRect() : QRectF();
}

void LBLibraryController::enableMinusButton(bool enable)
{
    if (!_graphicControl)
        return;
    _graphicControl->cell()->setEnabled(enable, 0);
    _graphicControl->update();
}

// ==== The outline =========================================================================

void LBLibraryController::reloadOutline()
{
    if (!_outlineModel)
        return;
    // Expanded collections stay expanded; the selection is restored by row.
    QList<qint64> expanded;
    for (int i = 0; i < _outlineModel->rowCount(); ++i) {
        const QModelIndex index = _outlineModel->index(i, 0);
        if (_outlineView->isExpanded(index))
            expanded.append(index.data(IdRole).toLongLong());
    }
    const qint64 row = selectedRow();
    _rebuildingOutline = true;
    _outlineModel->clear();
    for (const LBLibraryStore::Collection& collection : std::as_const(_collections)) {
        auto* item = new QStandardItem(collection.name);
        item->setData(true, KindRole);
        item->setData(collection.id, IdRole);
        // Categories show only when there are two or more (one suffices with indentation).
        const qsizetype needed = _outlineView->indentation() > 0 ? 1 : 2;
        if (collection.categories.size() >= needed) {
            for (const LBLibraryStore::Category& category : collection.categories) {
                auto* child = new QStandardItem(category.name);
                child->setData(false, KindRole);
                child->setData(category.id, IdRole);
                item->appendRow(child);
            }
        }
        _outlineModel->appendRow(item);
    }
    for (int i = 0; i < _outlineModel->rowCount(); ++i) {
        const QModelIndex index = _outlineModel->index(i, 0);
        if (expanded.contains(index.data(IdRole).toLongLong()))
            _outlineView->setExpanded(index, true);
    }
    if (row >= 0)
        selectRow(std::min(row, numberOfRows() - 1));
    _rebuildingOutline = false;
}

QModelIndex LBLibraryController::indexOfRow(qint64 row) const
{
    if (!_outlineModel || row < 0 || _outlineModel->rowCount() == 0)
        return {};
    QModelIndex index = _outlineModel->index(0, 0);
    for (qint64 r = 0; r < row && index.isValid(); ++r) {
        // The next visible row: the first child of an expanded item, else the next sibling
        // of the item or of its parent.
        if (_outlineModel->hasChildren(index) && _outlineView->isExpanded(index)) {
            index = _outlineModel->index(0, 0, index);
            continue;
        }
        QModelIndex next = index.sibling(index.row() + 1, 0);
        while (!next.isValid() && index.parent().isValid()) {
            index = index.parent();
            next = index.sibling(index.row() + 1, 0);
        }
        index = next;
    }
    return index;
}

qint64 LBLibraryController::rowOfIndex(const QModelIndex& index) const
{
    if (!index.isValid())
        return -1;
    for (qint64 row = 0;; ++row) {
        const QModelIndex candidate = indexOfRow(row);
        if (!candidate.isValid())
            return -1;
        if (candidate == index)
            return row;
    }
}

qint64 LBLibraryController::numberOfRows() const
{
    qint64 rows = 0;
    while (indexOfRow(rows).isValid())
        ++rows;
    return rows;
}

qint64 LBLibraryController::selectedRow() const
{
    if (!_outlineView)
        return -1;
    const QModelIndexList selected = _outlineView->selectionModel()->selectedIndexes();
    return selected.isEmpty() ? -1 : rowOfIndex(selected.first());
}

void LBLibraryController::selectRow(qint64 row)
{
    const QModelIndex index = indexOfRow(row);
    if (!index.isValid()) {
        _outlineView->selectionModel()->clearSelection();
        return;
    }
    _outlineView->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
}

bool LBLibraryController::rowIsCollection(qint64 row) const
{
    const QModelIndex index = indexOfRow(row);
    return index.isValid() && index.data(KindRole).toBool();
}

qint64 LBLibraryController::idOfRow(qint64 row) const
{
    const QModelIndex index = indexOfRow(row);
    return index.isValid() ? index.data(IdRole).toLongLong() : 0;
}

QString LBLibraryController::nameOfRow(qint64 row) const
{
    return indexOfRow(row).data(Qt::DisplayRole).toString();
}

bool LBLibraryController::isExpandable(qint64 row) const
{
    const QModelIndex index = indexOfRow(row);
    return index.isValid() && _outlineModel->hasChildren(index);
}

void LBLibraryController::expandRow(qint64 row, bool expand)
{
    const QModelIndex index = indexOfRow(row);
    if (index.isValid())
        _outlineView->setExpanded(index, expand);
}

void LBLibraryController::outlineSelectionChanged()
{
    loadObjects();
    adjustNumCellsInMatrix(false);
    populateMatrixCells();
    _collectionControl->cell()->setEnabled(!_collections.isEmpty(), 0);
    _graphicControl->cell()->setEnabled(!_collections.isEmpty(), 1);
    _collectionControl->update();
    _graphicControl->update();
    const QString key = preferenceKeyOfType(SelectedRowPreference);
    if (!key.isNull())
        defaults().setInteger(selectedRow(), key);
}

void LBLibraryController::outlineItemChanged(QStandardItem* item)
{
    if (_rebuildingOutline || !item)
        return;
    // After the edit is over: renaming rebuilds the outline, the edited item included.
    const bool isCollection = item->data(KindRole).toBool();
    const qint64 id = item->data(IdRole).toLongLong();
    const QString name = item->text();
    QMetaObject::invokeMethod(
        this, [this, isCollection, id, name] { renameItem(isCollection, id, name); },
        Qt::QueuedConnection);
}

void LBLibraryController::renameRow(qint64 row, const QString& name)
{
    const QModelIndex index = indexOfRow(row);
    if (index.isValid())
        renameItem(index.data(KindRole).toBool(), index.data(IdRole).toLongLong(), name);
}

void LBLibraryController::renameItem(bool isCollection, qint64 id, const QString& name)
{
    LBLibraryStore* library = store();
    if (!library)
        return;
    const bool wasSelected = indexOfRow(selectedRow()).data(IdRole).toLongLong() == id
                             && indexOfRow(selectedRow()).data(KindRole).toBool() == isCollection;
    change([&](platform::Error* error) {
        return isCollection ? library->renameCollection(id, name, error)
                            : library->renameCategory(id, name, error);
    });
    loadCollections();
    reloadOutline();
    // The renamed item sorts anew; a selected one stays selected.
    if (!wasSelected)
        return;
    for (qint64 row = 0, rows = numberOfRows(); row < rows; ++row) {
        const QModelIndex index = indexOfRow(row);
        if (index.data(IdRole).toLongLong() == id
            && index.data(KindRole).toBool() == isCollection) {
            selectRow(row);
            break;
        }
    }
}

// ==== Collections =========================================================================

void LBLibraryController::reopenCollections()
{
    loadCollections();
    if (_collections.isEmpty())
        return;
    {
        const QSignalBlocker quiet(_outlineView->selectionModel());
        reloadOutline();
        const QString rowKey = preferenceKeyOfType(SelectedRowPreference);
        selectRow(rowKey.isNull() ? 0 : defaults().integerForKey(rowKey));
    }
    outlineSelectionChanged();
    if (_importOldLibrary) {
        _importOldLibrary = false;
        importOldLibraries();
    }
}

void LBLibraryController::loadCollections()
{
    LBLibraryStore* library = store();
    if (!library) {
        _collections.clear();
        return;
    }
    platform::Error error;
    std::optional<QList<LBLibraryStore::Collection>> found = library->collections(&error);
    if (found && found->isEmpty()) {
        change([&](platform::Error* e) {
            return addCollectionWithName(defaultCollectionName(), e) != 0;
        });
        found = library->collections(&error);
    }
    if (!found) {
        platform::Alert alert;
        alert.messageText = error.description;
        alert.runModal();
        _collections.clear();
        return;
    }
    _collections = *found;
}

qint64 LBLibraryController::addCollectionWithName(const QString& name, platform::Error* error)
{
    LBLibraryStore* library = store();
    if (!library)
        return 0;
    const QString used = name.isEmpty() ? libraryString("New %@").replace(QStringLiteral("%@"),
                                                                          collectionDescription())
                                        : name;
    return library->addCollection(used, libraryString("Standard"), error);
}

void LBLibraryController::buildNameSheet()
{
    _nameSheet = new QDialog(documentWindow());
    _nameSheet->setWindowModality(Qt::WindowModal);
    auto* layout = new QVBoxLayout(_nameSheet);
    auto* row = new QHBoxLayout;
    row->addWidget(new QLabel(libraryString("Name:"), _nameSheet));
    _nameSheetField = new QLineEdit(_nameSheet);
    _nameSheetField->setMinimumWidth(220);
    row->addWidget(_nameSheetField);
    layout->addLayout(row);
    auto* buttons = new QDialogButtonBox(_nameSheet);
    QPushButton* ok = buttons->addButton(libraryString("OK"), QDialogButtonBox::AcceptRole);
    buttons->addButton(libraryString("Cancel"), QDialogButtonBox::RejectRole);
    ok->setDefault(true);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, [this] { nameSheetDidEnd(1); });
    connect(buttons, &QDialogButtonBox::rejected, this, [this] { nameSheetDidEnd(0); });
}

void LBLibraryController::plusMinusCollectionAction(int segment)
{
    if (segment != 0) {
        removeCollection();
        return;
    }
    if (!_nameSheet)
        buildNameSheet();
    _rowBeforeNameSheet = selectedRow();
    _nameSheetField->setText(
        libraryString("New %@").replace(QStringLiteral("%@"), collectionDescription()));
    _nameSheetField->selectAll();
    _nameSheet->open();
}

void LBLibraryController::nameSheetDidEnd(qint64 tag)
{
    if (_nameSheet)
        _nameSheet->hide();
    if (tag != 1 || !store())
        return;
    const qint64 before = _rowBeforeNameSheet;
    const QModelIndex oldIndex = indexOfRow(before);
    const qint64 oldId = oldIndex.isValid() ? oldIndex.data(IdRole).toLongLong() : 0;
    const bool oldWasCollection = oldIndex.isValid() && oldIndex.data(KindRole).toBool();
    const QString name = _nameSheetField ? _nameSheetField->text() : QString();
    change([&](platform::Error* error) { return addCollectionWithName(name, error) != 0; });
    loadCollections();
    reloadOutline();
    // The new collection sorts in by name: when it took the old selection's row, the old
    // item is one row further down.
    const QModelIndex now = indexOfRow(before);
    if (before >= 0 && now.isValid()
        && (now.data(IdRole).toLongLong() != oldId
            || now.data(KindRole).toBool() != oldWasCollection))
        selectRow(before + 1);
}

void LBLibraryController::removeCollection()
{
    const qint64 r = selectedRow();
    LBLibraryStore* library = store();
    if (r < 0 || !library)
        return;
    const QModelIndex index = indexOfRow(r);
    const bool isCollection = index.data(KindRole).toBool();
    const qint64 id = index.data(IdRole).toLongLong();
    bool dontAskAgain = false;
    const QString kind = collectionDescription();
    if (!confirmDeletion(
            ConfirmDeleteCollectionPreference,
            platform::LocalizedString(
                QStringLiteral("Are you sure you want to delete the selected %@?"),
                QStringLiteral("DialogStrings"))
                .replace(QStringLiteral("%@"), kind),
            platform::LocalizedString(
                QStringLiteral("Every item in this %@ will also be deleted. This action cannot be "
                               "undone."),
                QStringLiteral("DialogStrings"))
                .replace(QStringLiteral("%@"), kind),
            QStringLiteral("DialogStrings"), &dontAskAgain))
        return;

    if (r == 0) {
        if (numberOfRows() > 1)
            selectRow(1);
        else
            _outlineView->selectionModel()->clearSelection();
    } else {
        selectRow(r - 1);
    }
    change([&](platform::Error* error) {
        return isCollection ? library->deleteCollection(id, error)
                            : library->deleteCategory(id, error);
    });
    if (r > qint64(_collections.size()) - 2 && r > 0)
        selectRow(r - 1);
    loadCollections();
    reloadOutline();
    const qint64 rows = numberOfRows();
    selectRow(r >= rows ? rows - 1 : r);
    // The row may be the same while what it shows is not.
    outlineSelectionChanged();
    if (dontAskAgain)
        defaults().setBool(false, preferenceKeyOfType(ConfirmDeleteCollectionPreference));
}

bool LBLibraryController::confirmDeletion(qint64 kind, const QString& message,
                                          const QString& informative, const QString& table,
                                          bool* dontAskAgain)
{
    const QString key = preferenceKeyOfType(kind);
    if (key.isNull() || !defaults().boolForKey(key))
        return true;
    platform::Alert alert;
    alert.messageText = message;
    alert.informativeText = informative;
    alert.buttons = {platform::LocalizedString(QStringLiteral("Delete"), table),
                     platform::LocalizedString(QStringLiteral("Delete without asking"), table),
                     platform::LocalizedString(QStringLiteral("Cancel"), table)};
    alert.cancelButton = 2;
    const platform::Alert::Response response = alert.runModal();
    if (response.returnCode == platform::Alert::ThirdButtonReturn)
        return false;
    if (response.returnCode == platform::Alert::SecondButtonReturn && dontAskAgain)
        *dontAskAgain = true;
    return true;
}

// ==== Actions =============================================================================

void LBLibraryController::plusMinusGraphicAction(int segment)
{
    if (segment == 0)
        removeSelectedItems();
    else
        openPanel();
}
