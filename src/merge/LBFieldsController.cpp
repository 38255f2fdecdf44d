#include "merge/LBFieldsController.h"

#include "canvas/LBFieldRanges.h"
#include "canvas/LBGraphicView.h"
#include "canvas/LBTextView.h"
#include "controls/LBFieldCell.h"
#include "document/LBDocument.h"
#include "graphics/LBProcessState.h"
#include "graphics/LBTextArea.h"
#include "merge/LBFieldOutlineView.h"
#include "merge/LBMergeServices.h"
#include "platform/core/NotificationCenter.h"
#include "platform/core/Strings.h"
#include "platform/core/UserDefaults.h"
#include "platform/drawing/Image.h"
#include "platform/text/AttributedString.h"
#include "platform/text/FontManager.h"
#include "platform/ui/Pasteboard.h"
#include "platform/ui/SegmentedControl.h"
#include "shapes/LBBarcodeImage.h"
#include "shapes/LBImage.h"
#include "window/ApplicationServices.h"
#include "window/LBEditController.h"
#include "window/LBWindowController.h"

#include <QAbstractItemModel>
#include <QAbstractScrollArea>
#include <QAction>
#include <QApplication>
#include <QEvent>
#include <QFontMetricsF>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QToolButton>

#include <algorithm>
#include <cmath>

using platform::ContactPersonPtr;
using platform::ContactPropertyType;
using FieldsList = LBProcessState::FieldsList;

namespace {

const QString kModeKey = QStringLiteral("Fields Drawer Mode");
const QString kFieldName = QStringLiteral("fieldName");
const QString kChildArray = QStringLiteral("childArray");
const QString kPropertyName = QStringLiteral("propertyName");
const QString kPropertyType = QStringLiteral("propertyType");
const QString kExpanded = QStringLiteral("expanded");
const QString kChooseMe = QStringLiteral("chooseMeAction:");
const QString kReadAddressBook = QStringLiteral("readAddressBookFields:");
// Posted (object: the controller) when the address-book list was rebuilt, so every other
// pane showing it reads it again.
const QString kFieldListsChanged = QStringLiteral("LBFieldListsChangedNotification");

platform::UserDefaults& defaults()
{
    return platform::UserDefaults::standardUserDefaults();
}

QString misc(const char* key)
{
    return platform::LocalizedString(QString::fromUtf8(key), QStringLiteral("Miscellaneous"));
}

// The list and position a shown top-level row stands for; the list is null for none.
struct TopSlot
{
    QVariantList* list = nullptr;
    qsizetype index = 0;
};

TopSlot topSlot(qint64 mode, int row)
{
    switch (mode) {
    case 0: return {&LBProcessState::fieldsList(FieldsList::My), row};
    case 2: return {&LBProcessState::fieldsList(FieldsList::Misc), row};
    default: break;
    }
    QVariantList& standard = LBProcessState::fieldsList(FieldsList::Standard);
    if (row < standard.size())
        return {&standard, row};
    // Past the standard list: the address-book root, whatever the row.
    return {&LBProcessState::fieldsList(FieldsList::Custom), 0};
}

// The rows of the outline: the mode's top-level nodes, and below each its "childArray".
// Nothing is copied: every answer reads the shared lists, which the controller changes
// only between resets.
QVariantMap childAt(const QVariantMap& parent, int row)
{
    return parent.value(kChildArray).toList().value(row).toMap();
}

// A copy of the image at half its opacity.
QImage dissolved(const QImage& image)
{
    if (image.isNull())
        return image;
    QImage result(image.size(), QImage::Format_ARGB32_Premultiplied);
    result.setDevicePixelRatio(image.devicePixelRatio());
    result.fill(Qt::transparent);
    QPainter painter(&result);
    painter.setOpacity(0.5);
    painter.drawImage(QPointF(0, 0), image);
    painter.end();
    return result;
}

// The field rows are 15 points high.
class FieldRowCell : public LBFieldCell
{
public:
    using LBFieldCell::LBFieldCell;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QSize size = LBFieldCell::sizeHint(option, index);
        size.setHeight(15);
        return size;
    }

protected:
    // A name on a background ends inside it (cut short with an ellipsis when it must): the
    // background stops 13 points inside the visible width, less its right cap.
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override
    {
        LBFieldCell::initStyleOption(option, index);
        if (!showImages())
            return;
        int scrolled = 0;
        if (const auto* area = qobject_cast<const QAbstractScrollArea*>(option->widget))
            scrolled = area->horizontalScrollBar()->maximum();
        option->rect.setRight(option->rect.right() - scrolled - 22);
    }
};

} // namespace

// ==== The outline's model ==================================================================

class LBFieldsController::Model : public QAbstractItemModel
{
public:
    explicit Model(LBFieldsController& controller)
        : QAbstractItemModel(&controller), _controller(controller)
    {}

    void reset()
    {
        beginResetModel();
        endResetModel();
    }

    QVariantMap node(const QModelIndex& index) const
    {
        if (!index.isValid())
            return {};
        const QVariantList top = shownTopLevelNodes(_controller._mode);
        if (index.internalId() == 0)
            return top.value(index.row()).toMap();
        return childAt(top.value(int(index.internalId() - 1)).toMap(), index.row());
    }

    QModelIndex index(int row, int column, const QModelIndex& parent) const override
    {
        if (row < 0 || column != 0 || row >= rowCount(parent))
            return {};
        if (!parent.isValid())
            return createIndex(row, 0, quintptr(0));
        return createIndex(row, 0, quintptr(parent.row() + 1));
    }

    QModelIndex parent(const QModelIndex& child) const override
    {
        if (!child.isValid() || child.internalId() == 0)
            return {};
        return createIndex(int(child.internalId() - 1), 0, quintptr(0));
    }

    int rowCount(const QModelIndex& parent) const override
    {
        if (!parent.isValid())
            return int(shownTopLevelNodes(_controller._mode).size());
        // Two levels: groups and their fields.
        if (parent.internalId() != 0)
            return 0;
        return int(node(parent).value(kChildArray).toList().size());
    }

    int columnCount(const QModelIndex&) const override { return 1; }

    bool hasChildren(const QModelIndex& parent) const override
    {
        if (!parent.isValid())
            return true;
        return parent.internalId() == 0 && isGroup(node(parent));
    }

    QVariant data(const QModelIndex& index, int role) const override
    {
        if (role != Qt::DisplayRole)
            return {};
        return node(index).value(kFieldName).toString();
    }

    Qt::ItemFlags flags(const QModelIndex& index) const override
    {
        if (!index.isValid())
            return Qt::NoItemFlags;
        // Names are not editable; only fields are dragged.
        Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
        if (!isGroup(node(index)))
            flags |= Qt::ItemIsDragEnabled;
        return flags;
    }

    QStringList mimeTypes() const override
    {
        QStringList types;
        for (const QString& type : {LBPrintLinePboardType, platform::RTFDPboardType,
                                    LBQFieldPboardType, platform::StringPboardType})
            types.append(platform::mimeTypeForPasteboardType(type));
        return types;
    }

    // What a drag of the rows carries; nullptr when the first of them refuses.
    QMimeData* mimeData(const QModelIndexList& indexes) const override
    {
        QList<QVariantMap> nodes;
        for (const QModelIndex& index : indexes)
            nodes.append(node(index));
        auto data = std::make_unique<QMimeData>();
        platform::Pasteboard pasteboard(data.get());
        if (!_controller.writeItems(nodes, pasteboard))
            return nullptr;
        return data.release();
    }

    Qt::DropActions supportedDragActions() const override { return Qt::CopyAction; }

private:
    LBFieldsController& _controller;
};

// ==== Life cycle ===========================================================================

LBFieldsController::LBFieldsController(QObject* parent) : QObject(parent)
{
    _mode = defaults().integerForKey(kModeKey);
    if (_mode < 0 || _mode > 2)
        _mode = 0;
    addCommand(kChooseMe, [this](QObject* sender) { chooseMeAction(sender); });
    addCommand(kReadAddressBook, [this](QObject* sender) { readAddressBookFields(sender); });
    buildInterface();
    awakeFromNib();
}

LBFieldsController::~LBFieldsController()
{
    if (_mainView) {
        _mainView->removeEventFilter(this);
        delete _mainView.data();
    }
}

void LBFieldsController::buildInterface()
{
    _mainView = new QWidget;
    _mainView->setObjectName(QStringLiteral("FieldsDrawer"));
    _mainView->resize(250, 480);

    _segmentedControl = new platform::SegmentedControl(_mainView);
    platform::SegmentedCell* cell = _segmentedControl->cell();
    cell->setSegmentCount(3);
    cell->setLabel(misc("Mine"), 0);
    cell->setLabel(misc("Contacts"), 1);
    // (The import's question sends the user to "Misc" for the import fields.)
    cell->setLabel(misc("Misc"), 2);
    cell->setToolTip(misc("Fields of your own card and sender"), 0);
    cell->setToolTip(misc("Fields of the contacts"), 1);
    cell->setToolTip(misc("Dates, counters, imported columns, address blocks and barcodes"), 2);
    _segmentedControl->setSelectedSegment(int(_mode));
    _segmentedControl->resize(_segmentedControl->sizeHint());

    _fieldTable = new LBFieldOutlineView(_mainView);
    _model = new Model(*this);
    _fieldTable->setModel(_model);

    _insertFieldButton = new QPushButton(misc("Insert"), _mainView);
    _insertFieldButton->setToolTip(misc("Insert the field into the text being edited"));
    _insertFieldButton->setEnabled(false);
    _insertFieldButton->resize(_insertFieldButton->sizeHint());

    _optionsButton = new QToolButton(_mainView);
    _optionsButton->setAutoRaise(true);
    _optionsButton->setPopupMode(QToolButton::InstantPopup);
    _optionsButton->setText(QStringLiteral("\u2699"));
    _optionsButton->setToolTip(misc("Options"));
    buildOptionsMenu();
    _optionsButton->setMenu(_optionsMenu);
    _optionsButton->resize(_optionsButton->sizeHint());

    _descriptionText = new QLabel(_mainView);
    _descriptionText->setWordWrap(true);
    _descriptionText->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QFont small = _descriptionText->font();
    small.setPixelSize(11);
    _descriptionText->setFont(small);

    connect(_segmentedControl, &platform::SegmentedControl::activated, this,
            [this] { fieldsButtonAction(); });
    connect(_insertFieldButton, &QPushButton::clicked, this, [this] { insertFieldAction(); });
    connect(_fieldTable->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { selectionDidChange(); });
    connect(_fieldTable, &QTreeView::expanded, this,
            [this](const QModelIndex& index) { itemDidExpand(index); });
    connect(_fieldTable, &QTreeView::collapsed, this,
            [this](const QModelIndex& index) { itemDidCollapse(index); });
}

void LBFieldsController::buildOptionsMenu()
{
    _optionsMenu = new QMenu(_optionsButton);
    const auto add = [this](const char* title, const QString& selector) {
        QAction* item = _optionsMenu->addAction(misc(title));
        platform::setActionSelector(item, selector);
        connect(item, &QAction::triggered, this,
                [this, item] { tryToPerform(platform::actionSelector(item), item); });
    };
    add("Set My Card\u2026", kChooseMe);
    add("Update Contact Fields", kReadAddressBook);
    connect(_optionsMenu, &QMenu::aboutToShow, this, [this] {
        for (QAction* item : _optionsMenu->actions())
            item->setEnabled(validateMenuItem(item));
    });
}

void LBFieldsController::awakeFromNib()
{
    // The pane follows the drawer's size.
    _mainView->installEventFilter(this);
    const qint64 mode = _mode;
    if (mode == 1 || mode == 2) {
        // Prepared as if the user chose the mode.
        _mode = 0;
        _segmentedControl->setSelectedSegment(int(mode));
        fieldsButtonAction();
    } else {
        reloadOutline();
        expandList();
    }
    setTableFontSize();
    _fieldTable->setController(this);
    drawerResized();
    // Another pane rebuilt the address-book list: its rows are new.
    _listsObserver = platform::NotificationCenter::defaultCenter().addObserver(
        kFieldListsChanged, nullptr, [this](const platform::Notification& notification) {
            if (notification.object != this && _mode == 1) {
                reloadOutline();
                expandList();
            }
        });
}

QWidget* LBFieldsController::mainView()
{
    return _mainView;
}

void LBFieldsController::setEditController(LBEditController* controller)
{
    _editController = controller;
    _editControllerObject = controller;
}

LBEditController* LBFieldsController::editController() const
{
    return _editControllerObject ? _editController : nullptr;
}

QAbstractItemModel* LBFieldsController::fieldModel() const
{
    return _model;
}

bool LBFieldsController::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == _mainView && event->type() == QEvent::Resize)
        drawerResized();
    return QObject::eventFilter(watched, event);
}

void LBFieldsController::drawerResized()
{
    const int width = _mainView->width();
    const int height = _mainView->height();
    const QSize control = _segmentedControl->size();
    _segmentedControl->move(std::max((width - control.width()) / 2, 0), 12);
    // The outline ends 136 above the bottom and is 195 shorter than the pane, so 59 stay
    // above it for the segmented control.
    const int outlineHeight = std::max(height - 195, 0);
    _fieldTable->setGeometry(8, height - 136 - outlineHeight, std::max(width - 16, 0),
                             outlineHeight);
    const int buttonsTop = height - 128;
    _insertFieldButton->move(8, buttonsTop);
    _optionsButton->move(std::max(width - 8 - _optionsButton->width(), 0), buttonsTop);
    const int textTop = buttonsTop + _insertFieldButton->height() + 8;
    _descriptionText->setGeometry(10, textTop, std::max(width - 20, 0),
                                  std::max(height - 10 - textTop, 0));
}

// ==== Modes and actions ====================================================================

void LBFieldsController::setTableFontSize()
{
    QFont font = QApplication::font();
    font.setPixelSize(11);
    _fieldTable->setFont(font);
    auto* cell = new FieldRowCell(_fieldTable);
    _fieldTable->setItemDelegateForColumn(0, cell);
    delete _cell;
    _cell = cell;
}

void LBFieldsController::fieldsButtonAction()
{
    const int segment = _segmentedControl->selectedSegment();
    if (segment < 0 || segment == _mode)
        return;
    _mode = segment;
    defaults().setInteger(_mode, kModeKey);
    if (_mode == 1 && !hasAddressBookRoot())
        readAddressBookFields(nullptr);
    reloadOutline();
    expandList();
}

void LBFieldsController::chooseMeAction(QObject* sender)
{
    Q_UNUSED(sender);
    if (ApplicationServices* services = ApplicationServices::shared())
        services->selectPrefPaneNamed(QStringLiteral("MePrefs"));
}

void LBFieldsController::readAddressBookFields(QObject* sender)
{
    platform::ContactStore* store = contactStore();
    const QList<ContactPersonPtr> people = store ? store->people() : QList<ContactPersonPtr>();
    const QVariantList nodes = addressBookFieldNodes(
        people, platform::ContactStore::allProperties(), &platform::ContactStore::typeOfProperty);
    QVariantList& list = LBProcessState::fieldsList(FieldsList::Custom);
    list.clear();
    list.append(QVariantMap{{kFieldName, QStringLiteral("All Fields")},
                            {kExpanded, sender != nullptr},
                            {kChildArray, nodes}});
    reloadOutline();
    expandList();
    platform::NotificationCenter::defaultCenter().post(kFieldListsChanged, this);
}

bool LBFieldsController::validateMenuItem(QAction* item)
{
    const QString selector = platform::actionSelector(item);
    if (selector == kChooseMe)
        return ApplicationServices::shared() != nullptr;
    if (selector == kReadAddressBook)
        return _mode == 1;
    return false;
}

namespace {

// A field's name as text, in the font chosen last.
platform::AttributedString nameText(const QString& name)
{
    QVariantMap attributes;
    if (const std::optional<QFont> font = platform::FontManager::sharedFontManager().selectedFont())
        attributes.insert(platform::FontAttributeName, *font);
    return platform::AttributedString(name, attributes);
}

// The name carrying the field it stands for.
platform::AttributedString fieldText(const QString& name)
{
    platform::AttributedString field = nameText(name);
    field.addAttribute(LBQFieldAttributeName, LBMergeServices::fieldAttributeForFieldString(name),
                       platform::Range(0, field.length()));
    return field;
}

} // namespace

void LBFieldsController::insertFieldAction()
{
    LBEditController* edit = editController();
    const QVariantMap node = selectedNode();
    const QString name = node.value(kFieldName).toString();
    if (!edit || node.isEmpty() || isGroup(node) || name.isEmpty())
        return;
    auto* editor = dynamic_cast<LBTextView*>(edit->editorView());
    if (!editor) {
        insertFieldOnPage(node);
        return;
    }
    // The field in the style being typed.
    QVariantMap attributes = editor->typingAttributes();
    attributes.insert(LBQFieldAttributeName, LBMergeServices::fieldAttributeForFieldString(name));
    editor->replaceCharactersAsUser(editor->rangeForUserTextChange(),
                                    platform::AttributedString(name, attributes));
    // Typing goes on in the text, after the field, rather than to the Insert button.
    editor->setFocus(Qt::OtherFocusReason);
}

void LBFieldsController::insertFieldOnPage(const QVariantMap& node)
{
    // With no text being edited, Insert puts the field on the page as a drag of its row
    // would: a barcode, an address block or a picture as that graphic, any other field as
    // a new text box holding it, in the middle of the visible page.
    LBEditController* edit = editController();
    LBGraphicView* canvas = edit ? edit->selectedGraphicView() : nullptr;
    if (!canvas)
        return;
    QMimeData data;
    platform::Pasteboard pasteboard(&data);
    const bool inhibited = _inhibitCellBackground;
    const bool written = writeItems({node}, pasteboard);
    _inhibitCellBackground = inhibited; // no row is being drawn for a drag
    if (!written)
        return;
    if (!pasteboard.availableTypeFromArray({LBPrintLinePboardType}).isNull()) {
        canvas->makeNewGraphicsFromPasteboard(pasteboard, QPointF(-1, -1), false);
        return;
    }
    const platform::AttributedString text = fieldText(node.value(kFieldName).toString());
    edit->insertTextBox(text);
    // The caret after the field, for what the user types next to it.
    if (auto* editor = dynamic_cast<LBTextView*>(edit->editorView())) {
        editor->setSelectedRange(platform::Range(text.length(), 0));
        editor->setFocus(Qt::OtherFocusReason);
    }
}

std::shared_ptr<LBTextArea>
LBFieldsController::textObjForPreformattedFieldStr(const QString& fieldName) const
{
    LBEditController* edit = editController();
    LBWindowController* window = edit ? edit->windowController() : nullptr;
    return window ? window->textObjForPreformattedFieldStr(fieldName) : nullptr;
}

platform::ContactStore* LBFieldsController::contactStore() const
{
    LBEditController* edit = editController();
    LBWindowController* window = edit ? edit->windowController() : nullptr;
    if (auto* services = window ? dynamic_cast<LBMergeServices*>(window->mergeServices()) : nullptr)
        return services->contactStore();
    return platform::ContactStore::sharedStore();
}

// ==== Expansion memory =====================================================================

void LBFieldsController::reloadOutline()
{
    _model->reset();
    selectionDidChange();
}

void LBFieldsController::expandList()
{
    _expandingList = true;
    const QVariantList top = shownTopLevelNodes(_mode);
    // The address-book root is the last of mode 1's rows: it is expanded with the others.
    for (qsizetype row = top.size() - 1; row >= 0; --row) {
        if (top.at(row).toMap().value(kExpanded).toBool())
            _fieldTable->expand(_model->index(int(row), 0, QModelIndex()));
    }
    _expandingList = false;
}

void LBFieldsController::saveExpandedList()
{
    const int rows = _model->rowCount(QModelIndex());
    for (int row = 0; row < rows; ++row) {
        const QModelIndex index = _model->index(row, 0, QModelIndex());
        setNodeExpanded(index, _fieldTable->isExpanded(index));
    }
}

void LBFieldsController::setNodeExpanded(const QModelIndex& index, bool expanded)
{
    // Only top-level nodes open and close.
    if (!index.isValid() || index.parent().isValid())
        return;
    const TopSlot slot = topSlot(_mode, index.row());
    if (!slot.list || slot.index >= slot.list->size())
        return;
    QVariantMap node = slot.list->at(slot.index).toMap();
    if (node.value(kExpanded).toBool() == expanded && node.contains(kExpanded))
        return;
    node.insert(kExpanded, expanded);
    (*slot.list)[slot.index] = node;
}

void LBFieldsController::itemDidExpand(const QModelIndex& index)
{
    setNodeExpanded(index, true);
    if (!_expandingList)
        saveExpandedList();
}

void LBFieldsController::itemDidCollapse(const QModelIndex& index)
{
    setNodeExpanded(index, false);
    if (!_expandingList)
        saveExpandedList();
}

// ==== The outline's data ===================================================================

QVariantList LBFieldsController::shownTopLevelNodes(qint64 mode)
{
    switch (mode) {
    case 0: return LBProcessState::fieldsList(FieldsList::My);
    case 2: return LBProcessState::fieldsList(FieldsList::Misc);
    default: break;
    }
    QVariantList nodes = LBProcessState::fieldsList(FieldsList::Standard);
    // The address-book list has one root; a list with more (written elsewhere) shows its
    // first.
    if (hasAddressBookRoot())
        nodes.append(LBProcessState::fieldsList(FieldsList::Custom).first());
    return nodes;
}

bool LBFieldsController::hasAddressBookRoot()
{
    const QVariantList& custom = LBProcessState::fieldsList(FieldsList::Custom);
    return !custom.isEmpty() && custom.first().typeId() == QMetaType::QVariantMap;
}

QVariantMap LBFieldsController::nodeForIndex(const QModelIndex& index) const
{
    return _model->node(index);
}

bool LBFieldsController::isGroup(const QVariantMap& node)
{
    return node.contains(kChildArray);
}

QVariantMap LBFieldsController::selectedNode() const
{
    const QItemSelectionModel* selection = _fieldTable->selectionModel();
    const QModelIndexList selected = selection ? selection->selectedRows() : QModelIndexList();
    return selected.isEmpty() ? QVariantMap() : nodeForIndex(selected.first());
}

void LBFieldsController::selectionDidChange()
{
    const QVariantMap node = selectedNode();
    _descriptionText->setText(node.value(QStringLiteral("fieldDesc")).toString());
    _insertFieldButton->setEnabled(!node.isEmpty() && !isGroup(node));
}

void LBFieldsController::willDisplayCell(LBFieldCell* cell, const QModelIndex& index, bool selected)
{
    if (_inhibitCellBackground) {
        // The row drawn for a drag shows no background.
        _inhibitCellBackground = false;
        cell->setShowImages(false);
        return;
    }
    const QVariantMap node = nodeForIndex(index);
    const bool show = !node.isEmpty() && !isGroup(node) && !selected;
    cell->setShowImages(show);
    if (!show)
        return;
    // The fields of the first group (mode 0: of the my-fields list; mode 1: of the standard
    // list) have backgrounds of their own.
    const QModelIndex parent = index.parent();
    const bool firstGroup =
        parent.isValid() && parent.row() == 0 && !parent.parent().isValid()
        && (_mode == 0
            || (_mode == 1 && !LBProcessState::fieldsList(FieldsList::Standard).isEmpty()));
    const QString prefix = firstGroup ? QStringLiteral("Block") : QStringLiteral("Field");
    const QString suffix = firstGroup && _mode == 1 ? QStringLiteral("1") : QString();
    const auto image = [&](const char* part) {
        return platform::Image::imageNamed(prefix + QLatin1String(part) + suffix);
    };
    cell->setImageLeft(image("Left"), image("Middle"), image("Right"));
}

// ==== Dragging fields out ==================================================================

bool LBFieldsController::writeItems(const QList<QVariantMap>& nodes,
                                    platform::Pasteboard& pasteboard)
{
    if (nodes.isEmpty())
        return false;
    const QVariantMap& node = nodes.first();
    const QString name = node.value(kFieldName).toString();
    if (node.isEmpty() || isGroup(node) || name.isEmpty())
        return false;
    const QString property = node.value(kPropertyName).toString();

    // A barcode field is dragged as a barcode graphic, and nothing else.
    if (node.value(kPropertyType).toLongLong() == 12) {
        const std::shared_ptr<LBBarcodeImage> barcode = barcodeImageForPropertyName(property);
        pasteboard.declareTypes({LBPrintLinePboardType});
        pasteboard.setData(LBDocument::dataForGraphics(LBDocument::Layer{barcode}),
                           LBPrintLinePboardType);
        return true;
    }
    // A pre-formatted address block is dragged as its text box.
    if (property == QLatin1String("kLBPreformattedAddressProperty")) {
        const std::shared_ptr<LBTextArea> text = textObjForPreformattedFieldStr(name);
        if (!text)
            return false; // no window to lay the block out for
        pasteboard.declareTypes({LBPrintLinePboardType});
        pasteboard.setData(LBDocument::dataForGraphics(LBDocument::Layer{text}),
                           LBPrintLinePboardType);
        return true;
    }

    const std::shared_ptr<LBGraphic> picture = pictureGraphicForProperty(property);
    if (picture) {
        pasteboard.declareTypes(
            {LBPrintLinePboardType, platform::RTFDPboardType, LBQFieldPboardType});
        pasteboard.setData(LBDocument::dataForGraphics(LBDocument::Layer{picture}),
                           LBPrintLinePboardType);
    } else {
        pasteboard.declareTypes({platform::RTFDPboardType, LBQFieldPboardType});
    }
    // The name as text, and the field that goes on it.
    const platform::AttributedString field = fieldText(name);
    pasteboard.setAttributedString(nameText(name));
    pasteboard.setData(LBFieldRangeData(field, platform::Range(0, field.length())),
                       LBQFieldPboardType);
    _inhibitCellBackground = true;
    return true;
}

std::shared_ptr<LBGraphic>
LBFieldsController::pictureGraphicForProperty(const QString& propertyName) const
{
    qint64 type = 0;
    if (propertyName == QLatin1String("kLBQPictureProperty"))
        type = _mode == 0 ? LBImage::MyPicture : LBImage::ContactPicture;
    else if (propertyName == QLatin1String("kLBQIdentityLogoProperty"))
        type = LBImage::LogoPicture;
    else if (propertyName == QLatin1String("kLBQIdentitySignatureProperty"))
        type = LBImage::SignaturePicture;
    else
        return nullptr;
    auto image = std::make_shared<LBImage>();
    const platform::ImagePtr sample = platform::Image::imageNamed(LBImage::samplePictureName(type));
    image->setImage(sample, 0);
    image->setSpecialImageType(type);
    image->setBoundsNoOtherChanges(QRectF(QPointF(), sample ? sample->size() : QSizeF(10, 10)));
    return image;
}

QImage LBFieldsController::dragImageForNode(const QVariantMap& node) const
{
    const QString name = node.value(kFieldName).toString();
    if (node.isEmpty() || isGroup(node) || name.isEmpty())
        return QImage();
    const QString property = node.value(kPropertyName).toString();
    QImage image;
    if (property == QLatin1String("kLBPreformattedAddressProperty")) {
        if (const std::shared_ptr<LBTextArea> text = textObjForPreformattedFieldStr(name)) {
            // The picture changes the graphic it is made of: a copy of it.
            const std::shared_ptr<LBGraphic> copy = text->copy();
            if (const platform::ImagePtr picture =
                    copy->copyToImageWithScale(1.0, 1.0, false, true))
                image = picture->forcedBitmapImageRep();
        }
    } else if (node.value(kPropertyType).toLongLong() == 12) {
        const std::shared_ptr<LBBarcodeImage> barcode = barcodeImageForPropertyName(property);
        if (const platform::ImagePtr picture = barcode->imageOfType(0))
            image = picture->forcedBitmapImageRep();
    } else {
        // The name in the font chosen last, 10 points wider than the text.
        const QFont font =
            platform::FontManager::sharedFontManager().selectedFont().value_or(QFont());
        const QFontMetricsF metrics(font);
        const QSizeF size(std::ceil(metrics.horizontalAdvance(name)) + 10,
                          std::ceil(metrics.height()));
        const qreal ratio = qApp ? qApp->devicePixelRatio() : 1.0;
        image = QImage((size * ratio).toSize(), QImage::Format_ARGB32_Premultiplied);
        image.setDevicePixelRatio(ratio);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.setFont(font);
        painter.setPen(Qt::black);
        painter.drawText(QRectF(QPointF(), size), Qt::AlignCenter, name);
    }
    return dissolved(image);
}

// ==== Barcode fields =======================================================================

qint32 LBFieldsController::barcodeTypeForPropertyName(const QString& propertyName)
{
    static const char* const names[] = {"kLBCode39Property",
                                        "kLBCode128Property",
                                        "kLBCode39ExtendedProperty",
                                        "kLBInterleaved2of5Property",
                                        "kLBIndustrial2of5Property",
                                        "kLBUPCAProperty",
                                        "kLBUPCEProperty",
                                        "kLBEAN13Property",
                                        "kLBEAN8Property",
                                        "kLBPOSTNETProperty",
                                        "kLBModifiedPlesseyProperty",
                                        "kLBModifiedPlesseyHexProperty",
                                        "kLBCodabarProperty",
                                        "kLBRoyalMailProperty",
                                        "kLBPLANETProperty",
                                        "kLBJapanPostProperty"};
    for (qint32 type = 0; type < qint32(std::size(names)); ++type) {
        if (propertyName == QLatin1String(names[type]))
            return type;
    }
    return LBPOSTNETBarcode;
}

std::shared_ptr<LBBarcodeImage>
LBFieldsController::barcodeImageForPropertyName(const QString& propertyName)
{
    const qint32 type = barcodeTypeForPropertyName(propertyName);
    std::shared_ptr<LBBarcodeImage> barcode = LBBarcodeImage::withBarcodeType(type);
    // The postal codes take their text from the contact.
    if (type == LBPOSTNETBarcode || type == LBRoyalMailBarcode || type == LBPLANETBarcode
        || type == LBJapanPostBarcode)
        barcode->setBarcodeDataSource(LBBarcodeImage::ContactCodeField);
    barcode->setBoundsNoOtherChanges(QRectF(QPointF(), barcode->barcodeImageSize()));
    return barcode;
}

// ==== The address-book list ================================================================

namespace {

// Labels and counts of one multi-value property over the people.
struct MultiSummary
{
    QStringList labels;        // first-seen order, no repeats, empty ones left out
    qsizetype maxCount = 0;    // the most values one person has
    qsizetype maxElements = 0; // multi-value arrays: the most elements of one value
    QStringList keys;          // multi-value dictionaries: keys of every value, first-seen
};

void appendUnique(QStringList& list, const QString& item)
{
    if (!item.isEmpty() && !list.contains(item))
        list.append(item);
}

MultiSummary summarize(const QList<ContactPersonPtr>& people, const QString& property)
{
    MultiSummary summary;
    for (const ContactPersonPtr& person : people) {
        const std::optional<platform::ContactMultiValue> values =
            person ? person->multiValue(property) : std::nullopt;
        if (!values)
            continue;
        summary.maxCount = std::max(summary.maxCount, values->count());
        for (const platform::ContactMultiValue::Entry& entry : values->entries) {
            appendUnique(summary.labels, entry.label);
            summary.maxElements = std::max(summary.maxElements, entry.value.toList().size());
            const QVariantMap dictionary = entry.value.toMap();
            for (auto it = dictionary.cbegin(); it != dictionary.cend(); ++it)
                appendUnique(summary.keys, it.key());
        }
    }
    return summary;
}

QString localized(const QString& name)
{
    return platform::ContactStore::localizedPropertyOrLabel(name);
}

QVariantMap fieldNode(const QString& fieldName, const QString& property, qint64 type,
                      bool isMultiple)
{
    return {{kFieldName, fieldName},
            {kPropertyName, property},
            {kPropertyType, type},
            {QStringLiteral("isMultiple"), isMultiple ? 1 : 0}};
}

// A node choosing a value by position (1-based "indexNum") or by label.
QVariantMap byPosition(QVariantMap node, qsizetype i)
{
    node.insert(QStringLiteral("selectionType"), 1);
    node.insert(QStringLiteral("indexNum"), qint64(i + 1));
    return node;
}

QVariantMap byLabel(QVariantMap node, const QString& label)
{
    node.insert(QStringLiteral("selectionType"), 2);
    node.insert(QStringLiteral("labelName"), label);
    return node;
}

QVariantMap withArrayIndex(QVariantMap node, qsizetype j)
{
    node.insert(QStringLiteral("arrayIndexNum"), qint64(j));
    return node;
}

QVariantMap withKey(QVariantMap node, const QString& key)
{
    node.insert(QStringLiteral("propertyKey"), key);
    return node;
}

} // namespace

QVariantList LBFieldsController::addressBookFieldNodes(const QList<ContactPersonPtr>& people,
                                                       const QStringList& properties,
                                                       const PropertyTypeOf& typeOf)
{
    using namespace platform;
    QVariantList plain, dictionaries, arrays, multis, multiDictionaries, multiArrays;
    const QString number = QStringLiteral("%1.%2");
    for (const QString& property : properties) {
        const qint64 type = typeOf(property);
        const QString name = localized(property);
        if (type == ContactArrayProperty) {
            qsizetype count = 0;
            for (const ContactPersonPtr& person : people)
                count = std::max(count, person ? person->value(property).toList().size() : 0);
            for (qsizetype i = 0; i < count; ++i)
                arrays.append(
                    withArrayIndex(fieldNode(number.arg(name).arg(i + 1), property, 4, false), i));
        } else if (type == ContactDictionaryProperty) {
            QStringList keys;
            for (const ContactPersonPtr& person : people) {
                const QVariantMap value = person ? person->value(property).toMap() : QVariantMap();
                for (auto it = value.cbegin(); it != value.cend(); ++it)
                    appendUnique(keys, it.key());
            }
            for (const QString& key : std::as_const(keys))
                dictionaries.append(
                    withKey(fieldNode(number.arg(name, key), property, 5, false), key));
        } else if (type == ContactMultiArrayProperty) {
            const MultiSummary s = summarize(people, property);
            for (qsizetype i = 0; i < s.maxCount; ++i)
                for (qsizetype j = 0; j < s.maxElements; ++j)
                    multiArrays.append(withArrayIndex(
                        byPosition(
                            fieldNode(QStringLiteral("%1.%2.%3").arg(name).arg(i + 1).arg(j + 1),
                                      property, 4, true),
                            i),
                        j));
            for (const QString& label : s.labels)
                for (qsizetype j = 0; j < s.maxElements; ++j)
                    multiArrays.append(withArrayIndex(
                        byLabel(
                            fieldNode(
                                QStringLiteral("%1.%2.%3").arg(name, localized(label)).arg(j + 1),
                                property, 4, true),
                            label),
                        j));
        } else if (type == ContactMultiDictionaryProperty) {
            const MultiSummary s = summarize(people, property);
            // Named from the key as stored.
            for (const QString& key : s.keys) {
                for (qsizetype i = 0; i < s.maxCount; ++i)
                    multiDictionaries.append(withKey(
                        byPosition(fieldNode(number.arg(key).arg(i + 1), property, 5, true), i),
                        key));
                for (const QString& label : s.labels)
                    multiDictionaries.append(withKey(
                        byLabel(fieldNode(number.arg(key, localized(label)), property, 5, true),
                                label),
                        key));
            }
        } else if (type & ContactMultiValueMask) {
            const MultiSummary s = summarize(people, property);
            const qint64 kind = property == ContactPhoneProperty ? 14 : 0;
            for (qsizetype i = 0; i < s.maxCount; ++i)
                multis.append(
                    byPosition(fieldNode(number.arg(name).arg(i + 1), property, kind, true), i));
            for (const QString& label : s.labels)
                multis.append(byLabel(
                    fieldNode(number.arg(name, localized(label)), property, kind, true), label));
        } else {
            plain.append(fieldNode(name, property, 0, false));
        }
    }
    QVariantList nodes = plain + dictionaries + arrays + multis + multiDictionaries + multiArrays;
    std::stable_sort(nodes.begin(), nodes.end(), [](const QVariant& a, const QVariant& b) {
        return QString::compare(a.toMap().value(kFieldName).toString(),
                                b.toMap().value(kFieldName).toString(), Qt::CaseInsensitive)
               < 0;
    });
    return nodes;
}
