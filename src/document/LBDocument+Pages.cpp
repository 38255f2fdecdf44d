// The graphics tree: pages, layers and graphics, with the per-page layer lists and the
// undo of the graphic operations.

#include "document/LBDocument.h"

#include "document/DocumentWindowController.h"
#include "platform/ui/Beep.h"

#include <QFileInfo>

#include <utility>

namespace {

const QString newLayerName = QStringLiteral("New Layer");

// Moves entry a of the list to index b: inserted before the entry at b + 1 when it moves
// down the list, before the entry at b when it moves up, then removed from its old place.
template <typename List>
void moveEntry(List& list, qint64 a, qint64 b)
{
    const qint64 insertAt = a < b ? b + 1 : b;
    const qint64 removeAt = a < b ? a : a + 1;
    const auto entry = list.at(a);
    list.insert(insertAt, entry);
    list.removeAt(removeAt);
}

// Removes the entry at index when the list has one.
template <typename List>
void removeEntry(List& list, qint64 index)
{
    if (index < list.size())
        list.removeAt(index);
}

// Pads the list with `filler` up to `count` entries and drops what lies past them.
template <typename List, typename T>
void fitList(List& list, qint64 count, const T& filler)
{
    while (list.size() < count)
        list.append(filler);
    list.resize(count);
}

} // namespace

// ==== Pages ==============================================================================

LBDocument::Page* LBDocument::graphicsOnPage(qint64 n)
{
    return n >= 0 && n < numPages() ? &_documentGraphics[n] : nullptr;
}

LBDocument::Page& LBDocument::pageGraphics()
{
    return _documentGraphics[_pageIndex];
}

void LBDocument::setPageIndex(qint64 index, bool refreshLayersView)
{
    if (index < 0 || index >= numPages()) {
        platform::beep();
        return;
    }
    _pageIndex = index;
    if (refreshLayersView)
        platform::NotificationCenter::defaultCenter().post(LBUpdateLayersView);
}

void LBDocument::setGraphics(const Page& layers, qint64 onPage)
{
    if (onPage < 0 || onPage >= numPages()) {
        platform::beep();
        return;
    }
    // The caller may hand in the page itself, which the removals below change.
    const Page given = layers;
    const qint64 previousPage = std::exchange(_pageIndex, onPage);
    Page& page = _documentGraphics[onPage];
    for (qint64 l = page.size() - 1; l >= 0; --l) {
        for (qint64 i = page[l].size() - 1; i >= 0; --i)
            removeGraphicAtIndex(i, l);
    }
    while (page.size() < given.size())
        page.append(Layer());
    matchLayerListsToLayers(onPage);
    for (qint64 l = given.size() - 1; l >= 0; --l) {
        for (qint64 i = 0; i < given[l].size(); ++i)
            insertGraphic(given[l][i], i, l);
    }
    _pageIndex = previousPage;
}

void LBDocument::addPageWithGraphics(const Page& layers, const QStringList& layerNames)
{
    insertPageWithGraphics(layers, layerNames, numPages());
}

void LBDocument::padPageLists(qint64 count)
{
    fitList(_layerNames, qMax(count, _layerNames.size()), QStringList());
    fitList(_layerVisibility, qMax(count, _layerVisibility.size()), QList<bool>());
    fitList(_layerPrinting, qMax(count, _layerPrinting.size()), QList<bool>());
    fitList(_selectedLayers, qMax(count, _selectedLayers.size()), qint64(0));
}

void LBDocument::insertPageWithGraphics(const Page& layers, const QStringList& layerNames,
                                        qint64 atIndex)
{
    if (atIndex < 0 || atIndex > numPages()) {
        platform::beep();
        return;
    }
    padPageLists(atIndex);
    _documentGraphics.insert(atIndex, layers);
    for (const Layer& layer : layers) {
        for (const LBGraphicPtr& graphic : layer)
            graphic->setDocument(this);
    }
    _layerNames.insert(atIndex, layerNames);
    _layerVisibility.insert(atIndex, QList<bool>(layerNames.size(), true));
    _layerPrinting.insert(atIndex, QList<bool>(layerNames.size(), true));
    _selectedLayers.insert(atIndex, 0);
    matchLayerListsToLayers(atIndex);
    // The current page stays the page it was.
    if (atIndex <= _pageIndex && numPages() > 1)
        ++_pageIndex;
}

void LBDocument::removePageAtIndex(qint64 index)
{
    if (index < 0 || index >= numPages() || numPages() == 1) {
        platform::beep();
        return;
    }
    _documentGraphics.removeAt(index);
    removeEntry(_layerNames, index);
    removeEntry(_layerVisibility, index);
    removeEntry(_layerPrinting, index);
    removeEntry(_selectedLayers, index);
    if (index < _pageIndex || _pageIndex >= numPages())
        --_pageIndex;
}

void LBDocument::setPageCount(qint64 count)
{
    if (count < 1) {
        platform::beep();
        return;
    }
    while (numPages() > count)
        removePageAtIndex(numPages() - 1);
    if (numPages() >= count)
        return;

    matchLayerListsToLayers(_pageIndex);
    const qint64 layers = layerCount();
    QStringList names;
    QList<bool> visibility;
    QList<bool> printing;
    for (qint64 i = 0; i < layers; ++i) {
        names.append(layerNameAtIndex(i));
        visibility.append(layerAtIndexIsVisible(i));
        printing.append(layerAtIndexWillPrint(i));
    }
    const qint64 selected = _selectedLayers.at(_pageIndex);
    padPageLists(numPages());
    while (numPages() < count) {
        _documentGraphics.append(Page(layers, Layer()));
        _layerNames.append(names);
        _layerVisibility.append(visibility);
        _layerPrinting.append(printing);
        _selectedLayers.append(selected);
    }
}

// ==== Graphics ===========================================================================

LBDocument::Layer* LBDocument::layerOrBeep(qint64 layer, qint64 page)
{
    if (page < 0 || page >= numPages() || layer < 0 || layer >= _documentGraphics[page].size()) {
        platform::beep();
        return nullptr;
    }
    return &_documentGraphics[page][layer];
}

bool LBDocument::layerIndexIsValid(qint64 index) const
{
    return index >= 0 && index < layerCount();
}

void LBDocument::insertGraphic(const LBGraphicPtr& graphic, qint64 atIndex, qint64 onLayer,
                               qint64 onPage)
{
    Layer* layer = layerOrBeep(onLayer, onPage);
    if (!layer)
        return;
    if (!graphic || atIndex < 0 || atIndex > layer->size()) {
        platform::beep();
        return;
    }
    layer->insert(atIndex, graphic);
    graphic->setDocument(this);
    invalidateGraphic(graphic.get());
    registerUndo(
        [this, atIndex, onLayer, onPage] { removeGraphicAtIndex(atIndex, onLayer, onPage); });
}

void LBDocument::insertGraphic(const LBGraphicPtr& graphic, qint64 atIndex, qint64 onLayer)
{
    insertGraphic(graphic, atIndex, onLayer, _pageIndex);
}

void LBDocument::removeGraphicAtIndex(qint64 index, qint64 onLayer, qint64 onPage)
{
    Layer* layer = layerOrBeep(onLayer, onPage);
    if (!layer)
        return;
    if (index < 0 || index >= layer->size()) {
        platform::beep();
        return;
    }
    const LBGraphicPtr graphic = layer->at(index);
    pruneImageFileBookkeeping(*graphic, onPage, onLayer, index);
    layer->removeAt(index);
    invalidateGraphic(graphic.get());
    registerUndo([this, graphic, index, onLayer, onPage] {
        insertGraphic(graphic, index, onLayer, onPage);
    });
    if (DocumentWindowController* controller = windowController();
        controller && controller->bezierMode())
        controller->setBezierMode(false);
}

void LBDocument::removeGraphicAtIndex(qint64 index, qint64 onLayer)
{
    removeGraphicAtIndex(index, onLayer, _pageIndex);
}

void LBDocument::pruneImageFileBookkeeping(const LBGraphic& removed, qint64 page, qint64 layer,
                                           qint64 index)
{
    const auto usedElsewhere = [&](const QString& name) {
        for (qint64 p = 0; p < numPages(); ++p) {
            for (qint64 l = 0; l < _documentGraphics[p].size(); ++l) {
                const Layer& graphics = _documentGraphics[p][l];
                for (qint64 i = 0; i < graphics.size(); ++i) {
                    // The entry being removed, not the graphic: a graphic moved to another
                    // layer stands in both for a moment.
                    if (p == page && l == layer && i == index)
                        continue;
                    for (qint64 type : {LBGraphic::FillImageType, LBGraphic::ObjectMaskType,
                                        LBGraphic::ExternalMaskType}) {
                        const QString path = graphics[i]->imageFilePathOfType(type);
                        if (!path.isEmpty() && QFileInfo(path).fileName() == name)
                            return true;
                    }
                }
            }
        }
        return false;
    };

    for (qint64 type :
         {LBGraphic::FillImageType, LBGraphic::ObjectMaskType, LBGraphic::ExternalMaskType}) {
        const QString path = removed.imageFilePathOfType(type);
        if (path.isEmpty())
            continue;
        const QString name = QFileInfo(path).fileName();
        for (qint64 entry = 0; entry < _newImageFilePaths.size(); ++entry) {
            if (QFileInfo(_newImageFilePaths[entry]).fileName() != name)
                continue;
            if (!usedElsewhere(name)) {
                _newImageFilePaths.removeAt(entry);
                _originalImageFilePaths.removeAt(entry);
            }
            break;
        }
    }
}

void LBDocument::removeGraphic(const LBGraphicPtr& graphic, qint64 onLayer, qint64 onPage)
{
    Layer* layer = layerOrBeep(onLayer, onPage);
    if (!layer)
        return;
    const qint64 index = layer->indexOf(graphic);
    if (index >= 0)
        removeGraphicAtIndex(index, onLayer, onPage);
}

void LBDocument::removeGraphic(const LBGraphicPtr& graphic, qint64 onLayer)
{
    removeGraphic(graphic, onLayer, _pageIndex);
}

void LBDocument::moveGraphic(const LBGraphicPtr& graphic, qint64 toIndex, qint64 onLayer,
                             qint64 onPage)
{
    Layer* layer = layerOrBeep(onLayer, onPage);
    if (!layer)
        return;
    const qint64 from = layer->indexOf(graphic);
    if (from < 0)
        return;
    if (toIndex < 0 || toIndex > layer->size()) {
        platform::beep();
        return;
    }
    if (from == toIndex)
        return;
    const qint64 back = from > toIndex ? from + 1 : from;
    registerUndo(
        [this, graphic, back, onLayer, onPage] { moveGraphic(graphic, back, onLayer, onPage); });
    layer->removeAt(from);
    layer->insert(from < toIndex ? toIndex - 1 : toIndex, graphic);
    invalidateGraphic(graphic.get());
}

void LBDocument::moveGraphic(const LBGraphicPtr& graphic, qint64 toIndex, qint64 onLayer)
{
    moveGraphic(graphic, toIndex, onLayer, _pageIndex);
}

qint64 LBDocument::indexOfGraphic(const LBGraphicPtr& graphic, qint64 onLayer)
{
    const Layer* layer = layerOrBeep(onLayer, _pageIndex);
    return layer ? layer->indexOf(graphic) : -1;
}

qint64 LBDocument::numGraphicsOnLayer(qint64 layer)
{
    const Layer* graphics = layerOrBeep(layer, _pageIndex);
    return graphics ? graphics->size() : 0;
}

void LBDocument::moveGraphics(const QList<LBGraphicPtr>* graphics, qint64 fromLayer, qint64 toLayer)
{
    if (!layerIndexIsValid(fromLayer) || !layerIndexIsValid(toLayer)) {
        platform::beep();
        return;
    }
    if (fromLayer == toLayer)
        return;
    for (qint64 i = pageGraphics()[fromLayer].size() - 1; i >= 0; --i) {
        const LBGraphicPtr graphic = pageGraphics()[fromLayer][i];
        if (graphics && !graphics->contains(graphic))
            continue;
        insertGraphic(graphic, 0, toLayer);
        removeGraphicAtIndex(i, fromLayer);
    }
}

void LBDocument::deleteGraphicsOnLayer(qint64 layer)
{
    if (!layerIndexIsValid(layer)) {
        platform::beep();
        return;
    }
    for (qint64 i = pageGraphics()[layer].size() - 1; i >= 0; --i)
        removeGraphicAtIndex(i, layer);
}

// ==== Layers =============================================================================

void LBDocument::matchLayerListsToLayers(qint64 page)
{
    if (page < 0 || page >= numPages())
        return;
    padPageLists(page + 1);
    const qint64 layers = _documentGraphics[page].size();
    fitList(_layerNames[page], layers, newLayerName);
    fitList(_layerVisibility[page], layers, true);
    fitList(_layerPrinting[page], layers, true);
}

qint64 LBDocument::layerCount() const
{
    return _documentGraphics[_pageIndex].size();
}

QString LBDocument::layerNameAtIndex(qint64 index) const
{
    if (_pageIndex >= _layerNames.size() || index < 0 || index >= _layerNames[_pageIndex].size())
        return QStringLiteral("");
    return _layerNames[_pageIndex][index];
}

bool LBDocument::storingLayerIndexIsValid(qint64 index)
{
    if (!layerIndexIsValid(index)) {
        platform::beep();
        return false;
    }
    matchLayerListsToLayers(_pageIndex);
    return true;
}

void LBDocument::replaceLayerNameAtIndex(qint64 index, const QString& withName)
{
    if (!storingLayerIndexIsValid(index))
        return;
    QString& name = _layerNames[_pageIndex][index];
    registerUndo([this, index, old = name] { replaceLayerNameAtIndex(index, old); });
    name = withName;
}

qint64 LBDocument::selectedLayerIndex() const
{
    if (_pageIndex >= _selectedLayers.size()) {
        platform::beep();
        return 0;
    }
    return _selectedLayers[_pageIndex];
}

void LBDocument::selectLayerAtIndex(qint64 index)
{
    if (!storingLayerIndexIsValid(index))
        return;
    qint64& selected = _selectedLayers[_pageIndex];
    registerUndo([this, old = selected] { selectLayerAtIndex(old); });
    selected = index;
    platform::NotificationCenter::defaultCenter().post(LBStopEditingTextDuringDrag, this);
}

bool LBDocument::layerAtIndexIsVisible(qint64 index)
{
    matchLayerListsToLayers(_pageIndex);
    return layerIndexIsValid(index) ? _layerVisibility[_pageIndex][index] : true;
}

bool LBDocument::layerAtIndexWillPrint(qint64 index)
{
    matchLayerListsToLayers(_pageIndex);
    return layerIndexIsValid(index) ? _layerPrinting[_pageIndex][index] : true;
}

void LBDocument::showLayerAtIndex(qint64 index, bool show)
{
    if (!storingLayerIndexIsValid(index))
        return;
    _layerVisibility[_pageIndex][index] = show;
    postRedrawGraphicViews();
}

void LBDocument::printLayerAtIndex(qint64 index, bool print)
{
    if (!storingLayerIndexIsValid(index))
        return;
    bool& flag = _layerPrinting[_pageIndex][index];
    registerUndo([this, index, old = flag] { printLayerAtIndex(index, old); });
    flag = print;
}

void LBDocument::insertLayerWithName(const QString& name, qint64 atIndex)
{
    if (atIndex < 0 || atIndex > layerCount()) {
        platform::beep();
        return;
    }
    matchLayerListsToLayers(_pageIndex);
    pageGraphics().insert(atIndex, Layer());
    _layerNames[_pageIndex].insert(atIndex, name);
    _layerVisibility[_pageIndex].insert(atIndex, true);
    _layerPrinting[_pageIndex].insert(atIndex, true);
}

void LBDocument::deleteLayerAtIndex(qint64 index)
{
    if (!storingLayerIndexIsValid(index))
        return;
    pageGraphics().removeAt(index);
    _layerNames[_pageIndex].removeAt(index);
    _layerVisibility[_pageIndex].removeAt(index);
    _layerPrinting[_pageIndex].removeAt(index);
}

void LBDocument::duplicateLayerAtIndex(qint64 index)
{
    if (!layerIndexIsValid(index)) {
        platform::beep();
        return;
    }
    insertLayerWithName(layerNameAtIndex(index), index + 1);
    const Layer originals = pageGraphics()[index];
    for (qint64 i = originals.size() - 1; i >= 0; --i) {
        const LBGraphic& original = *originals[i];
        const LBGraphicPtr copy = original.copy();
        copy->setDocument(this);
        copy->setZoomFactor(original.zoomFactor());
        copy->copyImageFilePathsFromGraphic(original);
        copy->setVisiblePageOrigin(original.visiblePageOrigin());
        insertGraphic(copy, 0, index + 1);
    }
}

void LBDocument::moveLayerAtIndex(qint64 index, qint64 toIndex)
{
    if (!layerIndexIsValid(index) || !layerIndexIsValid(toIndex)) {
        platform::beep();
        return;
    }
    if (index == toIndex)
        return;
    matchLayerListsToLayers(_pageIndex);
    moveEntry(pageGraphics(), index, toIndex);
    moveEntry(_layerNames[_pageIndex], index, toIndex);
    moveEntry(_layerVisibility[_pageIndex], index, toIndex);
    moveEntry(_layerPrinting[_pageIndex], index, toIndex);
}
