// The store and the items: opening, saving, loading, adding files and graphics,
// reordering and deleting.

#include "app/LBLibraryController.h"

#include "canvas/LBGraphicView.h"
#include "document/LBDocument.h"
#include "graphics/LBProcessState.h"
#include "platform/core/Error.h"
#include "platform/core/NotificationCenter.h"
#include "platform/core/PropertyList.h"
#include "platform/core/Strings.h"
#include "platform/core/UserDefaults.h"
#include "platform/drawing/Image.h"
#include "platform/ui/Alert.h"
#include "platform/ui/Beep.h"
#include "platform/ui/DocumentFileDialog.h"
#include "platform/ui/Pasteboard.h"
#include "platform/ui/ProgressWindow.h"

#include <QButtonGroup>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QImageReader>
#include <QRadioButton>

namespace {

platform::UserDefaults& defaults()
{
    return platform::UserDefaults::standardUserDefaults();
}

QString libraryString(const QString& key)
{
    return platform::LocalizedString(key, QStringLiteral("Library drawer"));
}

QString dialogString(const QString& key)
{
    return platform::LocalizedString(key, QStringLiteral("DialogStrings"));
}

LBLibraryController::OpenPanelAnswer& openPanelAnswer()
{
    static LBLibraryController::OpenPanelAnswer answer;
    return answer;
}

// PNG data of a picture (vector pictures drawn at their size).
QByteArray pngDataOfImage(const LBLibraryController::ImagePtr& image)
{
    if (!image)
        return {};
    const QImage bitmap = image->forcedBitmapImageRep();
    const LBLibraryController::ImagePtr encodable =
        platform::Image::fromBitmap(bitmap, image->size());
    return encodable ? encodable->pngData() : QByteArray();
}

} // namespace

// ==== The store ===========================================================================

QString LBLibraryController::storePath() const
{
    return LBProcessState::applicationSupportPath() + QStringLiteral("Favorites");
}

LBLibraryStore* LBLibraryController::store()
{
    if (_store && _store->isOpen())
        return _store.get();
    if (_storeFailed)
        return nullptr;
    LBLibraryStore::EntityNames names;
    names.collection = collectionEntityName();
    names.category = categoryEntityName();
    names.object = objectEntityName();
    names.objectData = objectDataEntityName();
    auto store = std::make_unique<LBLibraryStore>(names);
    const QString path = storePath();
    QDir().mkpath(QFileInfo(path).absolutePath());
    platform::Error error;
    QString setAside;
    switch (store->open(path, &error, &setAside)) {
    case LBLibraryStore::OpenResult::Opened: break;
    case LBLibraryStore::OpenResult::Created: _importOldLibrary = true; break;
    case LBLibraryStore::OpenResult::Salvaged: {
        platform::Alert alert;
        alert.messageText = dialogString(QStringLiteral("Your Favorites file was damaged."));
        alert.informativeText =
            dialogString(QStringLiteral("The items that could still be read were copied into a "
                                        "new Favorites file. The damaged file was kept as "
                                        "\u201c%@\u201d."))
                .replace(QStringLiteral("%@"), setAside);
        alert.buttons = {dialogString(QStringLiteral("OK"))};
        alert.runModal();
        break;
    }
    case LBLibraryStore::OpenResult::Locked:
        // Another program holds it: left alone, and tried again on the next use.
        qWarning().noquote() << QStringLiteral("The favourites %1 are in use elsewhere: %2")
                                    .arg(path, error.description);
        return nullptr;
    case LBLibraryStore::OpenResult::Failed: {
        _storeFailed = true;
        platform::Alert alert;
        alert.messageText = error.description;
        alert.runModal();
        return nullptr;
    }
    }
    _store = std::move(store);
    return _store.get();
}

bool LBLibraryController::change(const std::function<bool(platform::Error*)>& body)
{
    LBLibraryStore* library = store();
    if (!library)
        return false;
    platform::Error error;
    if (!library->begin(&error)) {
        reportFailedSave(error);
        return false;
    }
    if (!body(&error)) {
        library->rollback();
        reportFailedSave(error);
        return false;
    }
    return saveChanges();
}

bool LBLibraryController::saveChanges()
{
    LBLibraryStore* library = store();
    if (!library)
        return false;
    platform::Error error;
    if (library->save(&error))
        return true;
    reportFailedSave(error);
    return false;
}

void LBLibraryController::reportFailedSave(const platform::Error& error)
{
    qWarning().noquote()
        << QStringLiteral("The favourites could not be saved: %1").arg(error.description);
    platform::Alert alert;
    alert.messageText = dialogString(QStringLiteral("Your Favorites file couldn't be updated."));
    alert.informativeText = error.description;
    alert.buttons = {dialogString(QStringLiteral("OK"))};
    alert.runModal();
}

void LBLibraryController::reloadAfterChange()
{
    loadObjects();
    adjustNumCellsInMatrix(false);
    populateMatrixCells();
}

// ==== Loading =============================================================================

void LBLibraryController::loadObjects()
{
    _objects.clear();
    _thumbnails.clear();
    _names.clear();
    LBLibraryStore* library = store();
    if (_collections.isEmpty() || !library)
        return;
    const qint64 row = selectedRow();
    if (row < 0)
        return;
    QList<qint64> categories;
    if (rowIsCollection(row)) {
        const qint64 id = idOfRow(row);
        for (const LBLibraryStore::Collection& collection : std::as_const(_collections)) {
            if (collection.id == id) {
                for (const LBLibraryStore::Category& category : collection.categories)
                    categories.append(category.id);
            }
        }
    } else {
        categories.append(idOfRow(row));
    }

    QList<LBLibraryStore::Object> setAside;
    for (qint64 category : std::as_const(categories)) {
        platform::Error error;
        std::optional<QList<LBLibraryStore::Object>> found =
            library->objectsInCategory(category, &error);
        if (!found) {
            qWarning().noquote() << error.description;
            continue;
        }
        _objects.reserve(_objects.size() + found->size());
        for (LBLibraryStore::Object& object : *found) {
            if (object.thumbnail.isEmpty()) {
                setAside.append(object);
                continue;
            }
            _thumbnails.append(LBLibraryThumbnail::fromData(object.thumbnail));
            object.thumbnail = QByteArray(); // the thumbnail keeps it
            _names.append(object.name.isNull() ? QStringLiteral("") : object.name);
            _objects.append(std::move(object));
        }
    }
    if (setAside.isEmpty())
        return;
    // Items without a thumbnail cannot be shown: they go, from the last to the first.
    const bool removed = change([&](platform::Error* error) {
        for (qsizetype i = setAside.size() - 1; i >= 0; --i) {
            if (!library->deleteObject(setAside[i], error))
                return false;
        }
        return true;
    });
    if (removed)
        loadObjects();
}

// ==== Where new items go ==================================================================

qint64 LBLibraryController::categoryForRow(qint64 row) const
{
    if (row < 0)
        return 0;
    if (!rowIsCollection(row))
        return idOfRow(row);
    const qint64 id = idOfRow(row);
    for (const LBLibraryStore::Collection& collection : _collections) {
        if (collection.id == id)
            return collection.categories.isEmpty() ? 0 : collection.categories.first().id;
    }
    return 0;
}

qint64 LBLibraryController::insertionPosition() const
{
    const qint64 selected = _matrix ? _matrix->selectedIndex() : -1;
    return selected >= 0 ? std::min<qint64>(selected, graphicCount()) : graphicCount();
}

qint64 LBLibraryController::categoryIndexForPosition(qint64 position, qint64 category)
{
    if (position >= 0 && position < _objects.size() && _objects[position].category == category)
        return _objects[position].index;
    if (position > 0 && position - 1 < _objects.size()
        && _objects[position - 1].category == category)
        return _objects[position - 1].index + 1;
    return store() ? store()->objectCount(category) : 0;
}

// ==== Picture files =======================================================================

QStringList LBLibraryController::imageFileTypes()
{
    static const QStringList types = [] {
        QStringList list;
        for (const QByteArray& format : QImageReader::supportedImageFormats())
            list.append(QString::fromLatin1(format).toLower());
        for (const char* vector : {"pdf", "eps", "epsf", "psd", "jpeg", "jpg", "tif", "tiff"}) {
            if (!list.contains(QLatin1String(vector)))
                list.append(QLatin1String(vector));
        }
        list.removeAll(QStringLiteral("svg"));
        list.removeAll(QStringLiteral("svgz"));
        return list;
    }();
    return types;
}

qint64 LBLibraryController::addImageFiles(const QStringList& files, qint64 category, bool copyFiles,
                                          qint64 position, platform::Error* error)
{
    LBLibraryStore* library = store();
    if (!library || category == 0 || files.isEmpty())
        return 0;
    platform::ProgressWindow* progress = platform::ProgressWindow::startProgressWindowWithTitle(
        QStringLiteral(""), double(files.size()), documentWindow());
    if (progress)
        progress->setMessage(libraryString(QStringLiteral("Loading Files...")));
    qint64 index = categoryIndexForPosition(position, category);
    qint64 added = 0;
    qint64 skipped = 0;
    bool failed = false;
    for (qsizetype i = 0; i < files.size() && !failed; ++i) {
        if (progress)
            progress->setValue(double(i + 1));
        const QFileInfo info(files[i]);
        const QString extension = info.suffix().toLower();
        QFile file(info.absoluteFilePath());
        if (!imageFileTypes().contains(extension) || !info.isFile()
            || !file.open(QIODevice::ReadOnly)) {
            ++skipped;
            continue;
        }
        QByteArray data = file.readAll();
        ImagePtr image = platform::Image::fromData(data);
        if (copyFiles && image
            && image->representationKind() == platform::Image::RepresentationKind::EPS) {
            // PostScript is kept as the PDF it converts to.
            data = image->pdfData();
            image = data.isEmpty() ? nullptr : platform::Image::fromData(data);
        }
        if (!image || !image->loadError().isEmpty() || image->size().isEmpty()) {
            ++skipped;
            continue;
        }
        LBLibraryStore::Object object;
        object.name = info.completeBaseName();
        object.thumbnail = pngDataOfImage(thumbnailFromImage(image));
        object.index = index;
        object.category = category;
        std::optional<LBLibraryStore::ObjectData> objectData;
        if (copyFiles) {
            object.type = LBLibraryStore::ImageDataObject;
            objectData = LBLibraryStore::ObjectData{data, QByteArray()};
        } else {
            object.type = LBLibraryStore::LinkedFileObject;
            object.filePath = info.absoluteFilePath();
        }
        if (!library->adjustIndexes(index, category, true, error)
            || !library->insertObject(object, objectData, error)) {
            failed = true;
            break;
        }
        ++index;
        ++added;
    }
    if (progress)
        progress->endProgressWindow();
    if (failed)
        return -1;
    if (skipped > 0)
        showSkippedFiles(skipped, files.size());
    return added;
}

void LBLibraryController::showSkippedFiles(qint64 skipped, qint64 chosen)
{
    platform::Alert alert;
    alert.messageText = libraryString(QStringLiteral("Skipped File(s)"));
    if (chosen == 1)
        alert.informativeText = libraryString(
            QStringLiteral("The selected file couldn't be loaded because it doesn't appear to "
                           "be a valid image file."));
    else if (skipped == 1)
        alert.informativeText = libraryString(
            QStringLiteral("One of the selected files was skipped because it doesn't appear to "
                           "be a valid image file."));
    else
        alert.informativeText =
            libraryString(QStringLiteral("%d of the selected files were skipped because they "
                                         "don't appear to be valid image files."))
                .replace(QStringLiteral("%d"), QString::number(skipped));
    alert.buttons = {libraryString(QStringLiteral("OK"))};
    alert.runModal();
}

void LBLibraryController::addImageFilesToLibrary(const QStringList& files, bool copyFiles)
{
    LBLibraryStore* library = store();
    const qint64 category = categoryForRow(selectedRow());
    if (!library || category == 0)
        return;
    const qint64 position = insertionPosition();
    change([&](platform::Error* error) {
        return addImageFiles(files, category, copyFiles, position, error) >= 0;
    });
    reloadAfterChange();
}

void LBLibraryController::setOpenPanelAnswer(OpenPanelAnswer answer)
{
    openPanelAnswer() = std::move(answer);
}

void LBLibraryController::openPanel()
{
    const auto finish = [this](const QStringList& files, bool copy) {
        if (!files.isEmpty())
            addImageFilesToLibrary(files, copy);
    };
    if (openPanelAnswer()) {
        if (const auto answer = openPanelAnswer()())
            finish(answer->first, answer->second);
        return;
    }
    auto* panel = new QFileDialog(documentWindow());
    platform::openInUsersFolder(panel);
    platform::keepOutOfDocuments(panel);
    panel->setOption(QFileDialog::DontUseNativeDialog, true);
    panel->setFileMode(QFileDialog::ExistingFiles);
    panel->setAcceptMode(QFileDialog::AcceptOpen);
    panel->setWindowModality(Qt::WindowModal);
    panel->setNameFilter(platform::imagesNameFilter(imageFileTypes()));
    // The accessory row: copy the files into the library, or link to them.
    auto* accessory = new QWidget(panel);
    auto* row = new QHBoxLayout(accessory);
    row->setContentsMargins(0, 0, 0, 0);
    auto* copy =
        new QRadioButton(libraryString(QStringLiteral("Copy files into the library")), accessory);
    auto* link = new QRadioButton(libraryString(QStringLiteral("Link to the files where they are")),
                                  accessory);
    copy->setChecked(true);
    auto* group = new QButtonGroup(accessory);
    group->addButton(copy, 0);
    group->addButton(link, 1);
    row->addWidget(copy);
    row->addWidget(link);
    row->addStretch(1);
    if (auto* grid = qobject_cast<QGridLayout*>(panel->layout()))
        grid->addWidget(accessory, grid->rowCount(), 0, 1, grid->columnCount());
    connect(panel, &QFileDialog::finished, this, [panel, group, finish](int result) {
        if (result == QDialog::Accepted)
            finish(panel->selectedFiles(), group->checkedId() == 0);
        panel->deleteLater();
    });
    panel->open();
}

// ==== Graphics ============================================================================

qint64 LBLibraryController::addGraphics(const QList<LBGraphicPtr>& graphics, qint64 category,
                                        bool groupGraphics, qint64 position, platform::Error* error)
{
    LBLibraryStore* library = store();
    if (!library || category == 0 || graphics.isEmpty())
        return 0;
    QList<QList<LBGraphicPtr>> items;
    if (groupGraphics || graphics.first()->isGrouped()) {
        items.append(graphics);
    } else {
        for (const LBGraphicPtr& graphic : graphics)
            items.append({graphic});
    }
    const auto fileContents = [](const LBGraphicPtr& graphic) {
        const QString path = graphic->imageFilePathOfType(0);
        QFile file(path);
        if (path.isEmpty() || !file.open(QIODevice::ReadOnly))
            return QByteArray();
        return file.readAll();
    };
    qint64 index = categoryIndexForPosition(position, category);
    qint64 added = 0;
    for (const QList<LBGraphicPtr>& item : std::as_const(items)) {
        LBLibraryStore::Object object;
        object.index = index;
        object.category = category;
        object.type = LBLibraryStore::GraphicsObject;
        LBLibraryStore::ObjectData data;
        data.graphicData = LBDocument::dataForGraphics(item);
        if (item.size() == 1) {
            data.imageData = fileContents(item.first());
        } else {
            QVariantList array;
            bool anyFile = false;
            for (const LBGraphicPtr& graphic : item) {
                const QByteArray contents = fileContents(graphic);
                anyFile = anyFile || !contents.isEmpty();
                array.append(contents.isEmpty() ? QVariant(QStringLiteral("No File"))
                                                : QVariant(contents));
            }
            if (anyFile)
                data.imageData =
                    platform::PropertyList::toText(QVariantMap{{QStringLiteral("array"), array}});
        }
        const QString firstPath = item.first()->imageFilePathOfType(0);
        if (!firstPath.isEmpty())
            object.filePath = firstPath;
        object.thumbnail = pngDataOfImage(thumbnailFromImage(createImageFromGraphics(item, false)));
        if (!library->adjustIndexes(index, category, true, error)
            || !library->insertObject(object, data, error))
            return -1;
        ++index;
        ++added;
    }
    return added;
}

void LBLibraryController::makeNewGraphicsFromPasteboard(platform::Pasteboard& pasteboard,
                                                        qint64 atIndex)
{
    const QString type =
        pasteboard.availableTypeFromArray({LBPrintLinePboardType, LBPrintLine1PboardType});
    if (type.isNull())
        return;
    QList<LBGraphicPtr> graphics;
    if (const auto list = LBDocument::graphicsForData(pasteboard.dataForType(type))) {
        if (!list->isPages) {
            graphics = list->graphics;
        } else if (!list->pages.isEmpty()) {
            for (const LBDocument::Layer& layer : list->pages.first())
                graphics += layer;
        }
    }
    if (storePath().endsWith(QStringLiteral("Favorites")))
        platform::NotificationCenter::defaultCenter().post(LBGraphicAddedToFavorites);
    LBLibraryStore* library = store();
    const qint64 category = categoryForRow(selectedRow());
    if (graphics.isEmpty() || !library || category == 0)
        return;
    const qint64 position = atIndex >= 0 ? atIndex : insertionPosition();
    change([&](platform::Error* error) {
        return addGraphics(graphics, category, graphics.size() > 1, position, error) >= 0;
    });
    reloadAfterChange();
}

void LBLibraryController::makeNewImageFromPasteboard(platform::Pasteboard& pasteboard,
                                                     qint64 atIndex)
{
    (void)pasteboard;
    (void)atIndex;
    platform::beep();
}

// ==== Reordering and deleting =============================================================

void LBLibraryController::moveGraphicAtIndex(qint64 fromIndex, qint64 toIndex)
{
    LBLibraryStore* library = store();
    const qint64 count = _objects.size();
    if (!library || fromIndex == toIndex || fromIndex < 0 || fromIndex >= count || toIndex < 0
        || toIndex > count)
        return;
    const LBLibraryStore::Object moved = _objects[fromIndex];
    // The place it takes: the target item's, in the target's category (after the last item:
    // behind the last one).
    const LBLibraryStore::Object& target = _objects[std::min(toIndex, count - 1)];
    const qint64 category = target.category;
    qint64 index = toIndex < count ? target.index : target.index + 1;
    if (category == moved.category && index > moved.index)
        --index;
    if (!change([&](platform::Error* error) {
            return library->moveObject(moved, category, index, error);
        })) {
        reloadAfterChange();
        return;
    }
    // What reloading would read, without reading it: the item moved in the display lists.
    const qint64 place = toIndex > fromIndex ? toIndex - 1 : toIndex;
    _objects.move(fromIndex, place);
    _thumbnails.move(fromIndex, place);
    _names.move(fromIndex, place);
    _objects[place].category = category;
    renumberInMemory();
    populateMatrixCells();
    platform::NotificationCenter::defaultCenter().post(LBRefreshLibraryMatrix);
    if (_matrix)
        _matrix->deselectAllCells();
}

void LBLibraryController::renumberInMemory()
{
    QHash<qint64, qint64> next;
    for (LBLibraryStore::Object& object : _objects)
        object.index = next[object.category]++;
}

void LBLibraryController::removeSelectedItems()
{
    LBLibraryStore* library = store();
    if (!library || !_matrix)
        return;
    QList<qint64> selected;
    for (qint64 index : _matrix->selectedIndexes()) {
        if (index < _objects.size())
            selected.append(index);
    }
    if (selected.isEmpty())
        return;
    bool dontAskAgain = false;
    if (!confirmDeletion(
            ConfirmDeletePreference,
            libraryString(QStringLiteral("Are you sure you want to delete the selected item(s)?")),
            libraryString(QStringLiteral("This action cannot be undone.")),
            QStringLiteral("Library drawer"), &dontAskAgain))
        return;
    change([&](platform::Error* error) {
        for (qsizetype i = selected.size() - 1; i >= 0; --i) {
            if (!library->deleteObject(_objects[selected[i]], error))
                return false;
            // The items behind it in its category moved up.
            for (LBLibraryStore::Object& other : _objects) {
                if (other.category == _objects[selected[i]].category
                    && other.index > _objects[selected[i]].index)
                    --other.index;
            }
        }
        return true;
    });
    _matrix->deselectAllCells();
    platform::NotificationCenter::defaultCenter().post(LBRefreshLibraryMatrix);
    reloadAfterChange();
    if (dontAskAgain)
        defaults().setBool(false, preferenceKeyOfType(ConfirmDeletePreference));
}
