// The graphics list: graphics leaving and entering the program (documents, the pasteboard,
// the libraries) as their property lists under "GraphicsList", flat or as pages of layers,
// in the old-style property-list text.

#include "document/LBDocument.h"

#include "platform/core/Error.h"
#include "platform/core/PropertyList.h"
#include "shapes/ShapeClasses.h"

#include <QDebug>

namespace {

const QString graphicsListKey = QStringLiteral("GraphicsList");

bool isList(const QVariant& value)
{
    return value.typeId() == QMetaType::QVariantList;
}

// The graphics' property lists, each graphic's picture paths first pointed at where the
// files lie now.
QVariantList propertyLists(const LBDocument::Layer& graphics)
{
    QVariantList list;
    list.reserve(graphics.size());
    for (const LBGraphicPtr& graphic : graphics) {
        graphic->createFullImagePaths();
        list.append(graphic->propertyListRepresentation());
    }
    return list;
}

// The graphics a list of property lists describes. An entry that is not a dictionary, or
// names no graphic class, is left out and logged.
LBDocument::Layer graphicsOf(const QVariantList& list)
{
    LBDocument::Layer graphics;
    graphics.reserve(list.size());
    for (const QVariant& entry : list) {
        if (entry.typeId() != QMetaType::QVariantMap) {
            qWarning().noquote() << QStringLiteral("Graphics list: an entry that is not a graphic "
                                                   "(%1) is left out")
                                        .arg(QString::fromLatin1(entry.typeName()));
            continue;
        }
        if (LBGraphicPtr graphic = LBGraphic::graphicWithPropertyListRepresentation(entry.toMap()))
            graphics.append(std::move(graphic));
    }
    return graphics;
}

// The list a page or layer entry holds (`what` names the entry in the log); an entry that
// is not a list keeps its place, empty, so the layers stay in step with their names.
QVariantList listOf(const QVariant& entry, const char* what)
{
    if (isList(entry))
        return entry.toList();
    qWarning().noquote() << QStringLiteral("Graphics list: %1 that is not a list is read as "
                                           "an empty one")
                                .arg(QLatin1String(what));
    return {};
}

// The text of propertyLists(graphics), each graphic's dictionary made, written and dropped
// in turn: the dictionaries of a big document, all held at once, take far more memory and
// time (to make, walk and free) than their text.
void writeLayer(platform::PropertyList::TextBuilder& text, const LBDocument::Layer& graphics)
{
    text.beginArray();
    for (const LBGraphicPtr& graphic : graphics) {
        graphic->createFullImagePaths();
        text.value(graphic->propertyListRepresentation());
    }
    text.endArray();
}

} // namespace

QVariantMap LBDocument::dictionaryForGraphics(const Layer& graphics)
{
    return {{graphicsListKey, propertyLists(graphics)}};
}

QVariantMap LBDocument::dictionaryForGraphics(const Pages& pages)
{
    QVariantList list;
    list.reserve(pages.size());
    for (const Page& page : pages) {
        QVariantList layers;
        layers.reserve(page.size());
        for (const Layer& layer : page)
            layers.append(QVariant(propertyLists(layer)));
        list.append(QVariant(layers));
    }
    return {{graphicsListKey, list}};
}

QByteArray LBDocument::dataForGraphics(const Layer& graphics)
{
    platform::PropertyList::TextBuilder text;
    text.beginDictionary();
    text.key(graphicsListKey);
    writeLayer(text, graphics);
    text.endDictionary();
    return text.text();
}

QByteArray LBDocument::dataForGraphics(const Pages& pages, const QVariantMap& otherEntries)
{
    platform::PropertyList::TextBuilder text;
    text.beginDictionary();
    // The keys in the order of a QVariantMap holding them all, the list's among the others.
    bool listWritten = false;
    const auto writeList = [&] {
        text.key(graphicsListKey);
        text.beginArray();
        for (const Page& page : pages) {
            text.beginArray();
            for (const Layer& layer : page)
                writeLayer(text, layer);
            text.endArray();
        }
        text.endArray();
        listWritten = true;
    };
    for (auto entry = otherEntries.cbegin(); entry != otherEntries.cend(); ++entry) {
        if (!listWritten && !(entry.key() < graphicsListKey))
            writeList();
        if (entry.key() == graphicsListKey)
            continue;
        text.key(entry.key());
        text.value(entry.value());
    }
    if (!listWritten)
        writeList();
    text.endDictionary();
    return text.text();
}

std::optional<QVariantMap> LBDocument::dictionaryFromDocumentData(const QByteArray& data,
                                                                  platform::Error* error)
{
    QString reason;
    const std::optional<QVariant> value = platform::PropertyList::fromText(data, &reason);
    if (value && value->typeId() == QMetaType::QVariantMap)
        return value->toMap();
    if (value)
        platform::Error::fail(error, LBDocumentErrorDomain, NotADictionaryError,
                              QStringLiteral("The graphics list is not a dictionary."));
    else
        platform::Error::fail(
            error, LBDocumentErrorDomain, NotAPropertyListError,
            QStringLiteral("The graphics list is not a property list: %1").arg(reason));
    return std::nullopt;
}

LBDocument::GraphicsList LBDocument::graphicsFromDocumentDictionary(const QVariantMap& dictionary)
{
    // Every graphic class of the program, before the first is looked up by name.
    registerShapeClasses();
    GraphicsList result;
    if (!dictionary.contains(graphicsListKey))
        return result;
    const QVariantList list = listOf(dictionary.value(graphicsListKey), "\"GraphicsList\"");
    if (list.isEmpty())
        return result;

    // The shape is decided once, from the first entry (and the first page's first entry).
    if (!isList(list.first())) {
        result.graphics = graphicsOf(list);
        return result;
    }
    result.isPages = true;
    const QVariantList firstPage = list.first().toList();
    const bool pagesOfLayers = !firstPage.isEmpty() && isList(firstPage.first());
    result.pages.reserve(list.size());
    for (const QVariant& entry : list) {
        const QVariantList page = listOf(entry, "a page");
        if (!pagesOfLayers) {
            // Older files: a page of graphics is an empty layer under a layer of them, as
            // a new document's two layers.
            result.pages.append(Page{Layer(), graphicsOf(page)});
            continue;
        }
        Page layers;
        layers.reserve(page.size());
        for (const QVariant& layer : page)
            layers.append(graphicsOf(listOf(layer, "a layer")));
        result.pages.append(layers);
    }
    return result;
}

std::optional<LBDocument::GraphicsList> LBDocument::graphicsForData(const QByteArray& data,
                                                                    platform::Error* error)
{
    const std::optional<QVariantMap> dictionary = dictionaryFromDocumentData(data, error);
    if (!dictionary)
        return std::nullopt;
    return graphicsFromDocumentDictionary(*dictionary);
}
