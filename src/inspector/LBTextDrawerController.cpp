#include "inspector/LBTextDrawerController.h"

#include "inspector/LBTextDrawerTableView.h"

#include "document/LBDocument.h"
#include "graphics/LBProcessState.h"
#include "graphics/LBTextArea.h"
#include "platform/core/Error.h"
#include "platform/core/PropertyList.h"
#include "platform/core/SqlStore.h"
#include "platform/core/Strings.h"
#include "platform/core/UserDefaults.h"
#include "platform/text/AttributedString.h"
#include "platform/ui/Alert.h"
#include "platform/ui/Pasteboard.h"
#include "window/LBEditController.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QHash>
#include <QHeaderView>
#include <QRawFont>
#include <QTimer>
#include <QVBoxLayout>
#include <QWidget>

#include <algorithm>

namespace {

const QString kConfirmDeleteKey = QStringLiteral("Confirm Delete Text Object");
// The program's sample text boxes the library starts with: a property list holding a list
// of graphics-list dictionaries, one an item.
const QString kSeedResource = QStringLiteral(":/library/Text Library.plist");

// Texts in the list are never shown larger than this.
constexpr double kMaximumListedPointSize = 72.0;

// The schema, version by version.
const QList<platform::SqlStore::Migration>& migrations()
{
    static const QList<platform::SqlStore::Migration> list = {
        {QStringLiteral("CREATE TABLE TextObject (id INTEGER PRIMARY KEY AUTOINCREMENT, "
                        "\"index\" INTEGER NOT NULL DEFAULT 0, textData BLOB)")},
    };
    return list;
}

QString dialogString(const char* key)
{
    return platform::LocalizedString(QString::fromUtf8(key), QStringLiteral("DialogStrings"));
}

double pointSizeOf(const QFont& font)
{
    if (font.pointSizeF() > 0)
        return font.pointSizeF();
    if (font.pixelSize() > 0)
        return font.pixelSize();
    return 12.0;
}

// The height of a font's ascender above its descender, in points; each font measured once.
double lineHeightOf(const QFont& font)
{
    static QHash<QString, double> measured;
    const double size = pointSizeOf(font);
    const QString key = font.key() + QLatin1Char('/') + QString::number(size);
    const auto found = measured.constFind(key);
    if (found != measured.constEnd())
        return *found;
    QRawFont raw = QRawFont::fromFont(font);
    double height = size * 1.2; // a font that does not load: a usual line
    if (raw.isValid()) {
        raw.setPixelSize(size);
        height = raw.ascent() + raw.descent();
    }
    measured.insert(key, height);
    return height;
}

LBTextDrawerController::RowDisplay displayOf(const LBTextDrawerController::TextObject& object)
{
    LBTextDrawerController::RowDisplay display;
    const auto textArea =
        std::dynamic_pointer_cast<LBTextArea>(LBTextDrawerController::textObjectForObject(object));
    if (!textArea || !textArea->contents())
        return display;
    platform::AttributedString text = textArea->contents()->attributedString();
    if (text.isEmpty())
        return display;
    const QVariant first = text.attribute(platform::FontAttributeName, 0);
    QFont font = first.metaType() == QMetaType::fromType<QFont>()
                     ? first.value<QFont>()
                     : platform::AttributedString::defaultFont();
    if (pointSizeOf(font) > kMaximumListedPointSize) {
        font.setPointSizeF(kMaximumListedPointSize);
        text.addAttribute(platform::FontAttributeName, QVariant::fromValue(font),
                          platform::Range(0, text.length()));
    }
    // One line a row: line breaks read as spaces. Each space stands where its break stood,
    // in the break's attributes, so the runs stay as they are: the text is built in one pass
    // and the runs copied over, rather than the runs rebuilt for every break.
    QString string = text.string();
    bool hasBreak = false;
    for (qsizetype i = 0; i < string.size(); ++i) {
        const QChar c = string.at(i);
        if (c == u'\n' || c == u'\r' || c == QChar(0x2028) || c == QChar(0x2029)) {
            string[i] = u' ';
            hasBreak = true;
        }
    }
    if (hasBreak) {
        platform::AttributedString oneLine(string);
        const auto copyRun = [&](const QVariantMap& attributes, const platform::Range& range,
                                 bool&) { oneLine.setAttributes(attributes, range); };
        text.enumerateAttributesInRange(platform::Range(0, text.length()), copyRun);
        text = std::move(oneLine);
    }
    display.text = std::make_shared<platform::AttributedString>(std::move(text));
    display.height = lineHeightOf(font) + 6.0;
    return display;
}

} // namespace

LBTextDrawerController::LBTextDrawerController(QObject* parent) : QObject(parent)
{
    buildView();
    loadObjects();
    reloadTable();
}

LBTextDrawerController::~LBTextDrawerController()
{
    if (_editControllerObject && _editController)
        _editController->setTextDrawerController(nullptr, {});
    delete _mainView;
}

void LBTextDrawerController::buildView()
{
    _mainView = new QWidget;
    _mainView->setObjectName(QStringLiteral("TextDrawer"));
    auto* layout = new QVBoxLayout(_mainView);
    layout->setContentsMargins(0, 0, 0, 0);
    _tableView = new LBTextDrawerTableView(_mainView);
    layout->addWidget(_tableView);
    _tableView->setController(this);
}

QWidget* LBTextDrawerController::mainView()
{
    return _mainView;
}

void LBTextDrawerController::setEditController(LBEditController* controller)
{
    if (_editControllerObject && _editController && _editController != controller)
        _editController->setTextDrawerController(nullptr, {});
    _editController = controller;
    _editControllerObject = controller;
    if (controller) {
        controller->setTextDrawerController(this, [this](double zoom) { setZoomFactor(zoom); });
    }
}

void LBTextDrawerController::setZoomFactor(double zoomFactor)
{
    _zoomFactor = zoomFactor;
}

// ==== The store ==========================================================================

QString LBTextDrawerController::libraryPath()
{
    return LBProcessState::applicationSupportPath() + QStringLiteral("Text Library");
}

platform::SqlStore* LBTextDrawerController::store()
{
    if (!_storeTried)
        openStore();
    return _store.get();
}

bool LBTextDrawerController::openStore()
{
    _storeTried = true;
    const QString path = libraryPath();
    const bool existed = QFileInfo::exists(path);
    if (!existed)
        QDir().mkpath(QFileInfo(path).absolutePath());
    auto opened = std::make_unique<platform::SqlStore>();
    platform::Error error;
    if (opened->open(path, migrations(), &error) != platform::SqlStore::OpenStatus::Open) {
        opened.reset();
        // Only a file made just now goes again; one that was there is left as it is.
        if (!existed)
            QFile::remove(path);
        _storeFailed = true;
        presentError(dialogString("The text library couldn't be opened."), error);
        return false;
    }
    if (!existed && !seedStore(*opened, &error))
        presentError(dialogString("The sample texts couldn't be added to the text library."),
                     error);
    _store = std::move(opened);
    return true;
}

bool LBTextDrawerController::seedStore(platform::SqlStore& store, platform::Error* error)
{
    QFile file(kSeedResource);
    QString reason;
    std::optional<QVariant> seed;
    if (file.open(QIODevice::ReadOnly))
        seed = platform::PropertyList::read(file.readAll(), &reason);
    else
        reason = file.errorString();
    if (!seed || seed->typeId() != QMetaType::QVariantList)
        return platform::Error::fail(
            error, platform::SqlStoreErrorDomain, 0,
            QStringLiteral("The sample texts do not read: %1").arg(reason));
    platform::SqlStore::Transaction transaction(store, error);
    if (!transaction.isActive())
        return false;
    qint64 index = 0;
    for (const QVariant& entry : seed->toList()) {
        if (entry.typeId() != QMetaType::QVariantMap)
            continue;
        if (!store.execute(QStringLiteral("INSERT INTO TextObject (\"index\", textData) "
                                          "VALUES (?, ?)"),
                           {index++, platform::PropertyList::toText(entry)}, error))
            return false;
    }
    return transaction.commit(error);
}

void LBTextDrawerController::loadObjects()
{
    _objects.clear();
    _display.clear();
    platform::SqlStore* sql = store();
    if (!sql)
        return;
    platform::Error error;
    QList<TextObject> fetched;
    // Ties in "index" keep the order the rows were added in.
    const bool ok = sql->forEachRow(
        QStringLiteral("SELECT id, \"index\", textData FROM TextObject ORDER BY \"index\", id"), {},
        [&fetched](const platform::SqlStore::Row& row) {
            fetched.append(TextObject{row.integer(0), row.integer(1), row.value(2).toByteArray()});
        },
        &error);
    if (!ok) {
        presentError(dialogString("The text library couldn't be read."), error);
        return;
    }
    _objects = std::move(fetched);
    // Each row's text is read when it is first shown or measured (see reloadTable()).
    _display = QList<std::optional<RowDisplay>>(_objects.size());
}

const LBTextDrawerController::RowDisplay& LBTextDrawerController::displayOfRow(qint64 row) const
{
    std::optional<RowDisplay>& display = _display[row];
    if (!display)
        display = displayOf(_objects.at(row));
    return *display;
}

double LBTextDrawerController::shownHeightOfRow(qint64 row) const
{
    if (row < 0 || row >= _display.size())
        return 12.0;
    return row < FirstScreenRows || _display.at(row) ? heightOfRow(row) : ProvisionalRowHeight;
}

void LBTextDrawerController::measureRows(qint64 from, qint64 generation)
{
    if (generation != _generation || !_tableView)
        return;
    const qint64 to = std::min<qint64>(from + MeasuredRowsPerTurn, _objects.size());
    for (qint64 row = from; row < to; ++row)
        _tableView->setHeightOfRow(row, heightOfRow(row));
    if (to < _objects.size()) {
        QTimer::singleShot(0, this, [this, to, generation] { measureRows(to, generation); });
    }
}

std::shared_ptr<LBGraphic> LBTextDrawerController::textObjectForObject(const TextObject& object)
{
    if (object.textData.isEmpty())
        return nullptr;
    const std::optional<LBDocument::GraphicsList> list =
        LBDocument::graphicsForData(object.textData);
    if (!list)
        return nullptr;
    if (!list->isPages)
        return list->graphics.value(0);
    for (const LBDocument::Page& page : list->pages) {
        for (const LBDocument::Layer& layer : page) {
            if (!layer.isEmpty())
                return layer.first();
        }
    }
    return nullptr;
}

bool LBTextDrawerController::renumber(const QList<qint64>& rowIds, platform::Error* error)
{
    QHash<qint64, qint64> current;
    for (const TextObject& object : std::as_const(_objects))
        current.insert(object.rowId, object.index);
    for (qsizetype i = 0; i < rowIds.size(); ++i) {
        const auto found = current.constFind(rowIds.at(i));
        if (found != current.constEnd() && *found == i)
            continue;
        if (!_store->execute(QStringLiteral("UPDATE TextObject SET \"index\" = ? WHERE id = ?"),
                             {qint64(i), rowIds.at(i)}, error))
            return false;
    }
    return true;
}

bool LBTextDrawerController::finishChange(bool ok, const platform::Error& error)
{
    if (!ok)
        presentError(dialogString("The text library couldn't be updated."), error);
    loadObjects();
    reloadTable();
    return ok;
}

void LBTextDrawerController::presentError(const QString& message,
                                          const platform::Error& error) const
{
    platform::Alert alert;
    alert.messageText = message;
    alert.informativeText = error.description;
    alert.buttons = {dialogString("OK")};
    QWidget* window = _mainView && _mainView->parentWidget() ? _mainView->window() : nullptr;
    alert.beginSheetModalForWindow(window);
}

void LBTextDrawerController::reloadTable()
{
    if (!_tableView)
        return;
    _tableView->reloadData();
    // The rows below the first screen are measured a batch at a time while the list is
    // idle; a reload meanwhile starts over.
    ++_generation;
    if (_objects.size() > FirstScreenRows) {
        const qint64 generation = _generation;
        QTimer::singleShot(0, this,
                           [this, generation] { measureRows(FirstScreenRows, generation); });
    }
}

// ==== Actions ============================================================================

void LBTextDrawerController::doubleClickAction()
{
    const qint64 row = _tableView ? _tableView->selectedRow() : -1;
    LBEditController* edit = _editControllerObject ? _editController : nullptr;
    if (row < 0 || row >= _objects.size() || !edit)
        return;
    // A graphic of its own, read from the record.
    const auto textBox =
        std::dynamic_pointer_cast<LBTextArea>(textObjectForObject(_objects.at(row)));
    if (!textBox)
        return;
    textBox->setBoundsNoOtherChanges(QRectF(QPointF(0, 0), textBox->bounds().size()));
    textBox->setZoomFactor(_zoomFactor);
    edit->insertNewTextBox(textBox);
}

void LBTextDrawerController::deleteTextAtIndex(qint64 row)
{
    if (row < 0 || row >= _objects.size() || !_store)
        return;
    const qint64 rowId = _objects.at(row).rowId;
    const QPointer<LBTextDrawerController> self(this);
    const auto remove = [self, row, rowId](bool stopAsking) {
        if (!self || !self->_store)
            return;
        QList<qint64> order;
        for (const TextObject& object : std::as_const(self->_objects)) {
            if (object.rowId != rowId)
                order.append(object.rowId);
        }
        platform::Error error;
        bool ok = false;
        {
            platform::SqlStore::Transaction transaction(*self->_store, &error);
            ok = transaction.isActive()
                 && self->_store->execute(QStringLiteral("DELETE FROM TextObject WHERE id = ?"),
                                          {rowId}, &error)
                 && self->renumber(order, &error) && transaction.commit(&error);
        }
        self->finishChange(ok, error);
        if (!self->_objects.isEmpty())
            self->_tableView->selectRow(std::clamp<qint64>(row - 1, 0, self->_objects.size() - 1));
        if (stopAsking)
            platform::UserDefaults::standardUserDefaults().setBool(false, kConfirmDeleteKey);
    };
    if (!platform::UserDefaults::standardUserDefaults().boolForKey(kConfirmDeleteKey)) {
        remove(false);
        return;
    }
    platform::Alert alert;
    alert.messageText = dialogString("Are you sure you want to delete the selected item?");
    alert.informativeText = dialogString("This action cannot be undone.");
    alert.buttons = {dialogString("Delete"), dialogString("Delete without asking"),
                     dialogString("Cancel")};
    alert.cancelButton = 2;
    QWidget* window = _mainView && _mainView->parentWidget() ? _mainView->window() : nullptr;
    alert.beginSheetModalForWindow(window, [remove](const platform::Alert::Response& response) {
        if (response.returnCode == platform::Alert::FirstButtonReturn)
            remove(false);
        else if (response.returnCode == platform::Alert::SecondButtonReturn)
            remove(true);
    });
}

// ==== The list's data ====================================================================

std::optional<platform::AttributedString>
LBTextDrawerController::objectValueForRow(qint64 row, double columnWidth) const
{
    if (row < 0 || row >= _display.size() || !displayOfRow(row).text)
        return std::nullopt;
    return displayOfRow(row).text->truncateWithEllipsisToWidth(columnWidth - 5.0);
}

double LBTextDrawerController::heightOfRow(qint64 row) const
{
    return row >= 0 && row < _display.size() ? displayOfRow(row).height : 12.0;
}

bool LBTextDrawerController::writeRowsWithIndexes(const QList<qint64>& rows,
                                                  platform::Pasteboard& pasteboard)
{
    if (rows.isEmpty())
        return false;
    const qint64 row = rows.first();
    if (row < 0 || row >= _objects.size())
        return false;
    const std::shared_ptr<LBGraphic> graphic = textObjectForObject(_objects.at(row));
    if (!graphic)
        return false;
    pasteboard.declareTypes({LBPrintLinePboardType, LBTextTablePboardType});
    pasteboard.setData(LBDocument::dataForGraphics(LBDocument::Layer{graphic}),
                       LBPrintLinePboardType);
    pasteboard.setString(QString::number(row), LBTextTablePboardType);
    if (_tableView) {
        _tableView->setDraggedTextObject(graphic);
        _tableView->setZoomFactor(_zoomFactor);
    }
    return true;
}

Qt::DropAction LBTextDrawerController::validateDrop(const platform::Pasteboard& pasteboard,
                                                    qint64 proposedRow, bool onRow) const
{
    Q_UNUSED(proposedRow);
    if (onRow || !_store)
        return Qt::IgnoreAction;
    if (!pasteboard.availableTypeFromArray({LBTextTablePboardType}).isNull())
        return Qt::MoveAction;
    if (pasteboard.availableTypeFromArray({LBPrintLinePboardType}).isNull())
        return Qt::IgnoreAction;
    const std::optional<QVariantMap> dictionary =
        LBDocument::dictionaryFromDocumentData(pasteboard.dataForType(LBPrintLinePboardType));
    if (!dictionary)
        return Qt::IgnoreAction;
    const LBDocument::GraphicsList list = LBDocument::graphicsFromDocumentDictionary(*dictionary);
    const std::shared_ptr<LBGraphic> first = list.isPages ? nullptr : list.graphics.value(0);
    return first && (first->isTextBox() || first->isShapeWithText()) ? Qt::CopyAction
                                                                     : Qt::IgnoreAction;
}

bool LBTextDrawerController::acceptDrop(const platform::Pasteboard& pasteboard, qint64 row)
{
    if (!_store)
        return false;
    const qint64 count = _objects.size();
    const qint64 r = std::clamp<qint64>(row, 0, count);
    QList<qint64> order;
    order.reserve(count + 1);
    for (const TextObject& object : std::as_const(_objects))
        order.append(object.rowId);

    platform::Error error;
    bool ok = false;
    if (!pasteboard.availableTypeFromArray({LBTextTablePboardType}).isNull()) {
        bool isNumber = false;
        const qint64 from = pasteboard.stringForType(LBTextTablePboardType).toLongLong(&isNumber);
        if (!isNumber || from < 0 || from >= count)
            return false;
        order.move(from, from < r ? r - 1 : r);
        platform::SqlStore::Transaction transaction(*_store, &error);
        ok = transaction.isActive() && renumber(order, &error) && transaction.commit(&error);
    } else {
        if (validateDrop(pasteboard, r, false) != Qt::CopyAction)
            return false;
        platform::SqlStore::Transaction transaction(*_store, &error);
        ok = transaction.isActive()
             && _store->execute(
                 QStringLiteral("INSERT INTO TextObject (\"index\", textData) VALUES (?, ?)"),
                 {r, pasteboard.dataForType(LBPrintLinePboardType)}, &error);
        if (ok) {
            order.insert(r, _store->lastInsertId());
            ok = renumber(order, &error) && transaction.commit(&error);
        }
    }
    return finishChange(ok, error);
}
