// The document package: the document types, writing the package (the document dictionary,
// the picture files, previews and search metadata), reading it back, and saving documents
// of the older extension.

#include "document/LBDocument.h"

#include "document/DimensionInfo.h"
#include "document/DocumentWindowController.h"
#include "document/LayerWalk.h"
#include "graphics/InspectorPalette.h"
#include "graphics/LBProcessState.h"
#include "graphics/LBTextArea.h"
#include "platform/core/Archive.h"
#include "platform/core/Error.h"
#include "platform/core/FileOperations.h"
#include "platform/core/FileWrapper.h"
#include "platform/core/PropertyList.h"
#include "platform/core/Strings.h"
#include "platform/core/TextForms.h"
#include "platform/core/UndoManager.h"
#include "platform/drawing/GraphicsContext.h"
#include "platform/drawing/Image.h"
#include "platform/text/TextStorage.h"
#include "platform/ui/Alert.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPainter>
#include <QPointer>
#include <QScopeGuard>

using platform::Archive;
using platform::Error;
using platform::FileWrapper;

namespace {

const QString contentsName = QStringLiteral("Contents.quarnd");
const QString previewName = QStringLiteral("Preview.jpg");
const QString preview120Name = QStringLiteral("Preview120.jpg");
const QString quickLookName = QStringLiteral("QuickLook");
const QString spotlightName = QStringLiteral("Spotlight");
const QString textContentKey = QStringLiteral("kMDItemTextContent");
const QString oldExtension = QStringLiteral("quarnl");

// The document dictionary's keys.
namespace key {
const QString graphicsList = QStringLiteral("GraphicsList");
const QString documentVersion = QStringLiteral("DocumentVersion");
const QString printInfo = QStringLiteral("PrintInfo");
const QString dimensionInfo = QStringLiteral("DimensionInfo");
const QString backgroundImageName = QStringLiteral("BackgroundImageName");
const QString backgroundImageScaling = QStringLiteral("BackgroundImageScaling");
const QString backgroundImageTransparency = QStringLiteral("BackgroundImageTransparency");
const QString drawBackgroundImage = QStringLiteral("DrawBackgroundImage");
const QString printBackgroundImage = QStringLiteral("PrintBackgroundImage");
const QString hasBackgroundColor = QStringLiteral("HasBackgroundColor");
const QString backgroundColor = QStringLiteral("BackgroundColor");
const QString drawBackgroundColor = QStringLiteral("DrawBackgroundColor");
const QString printBackgroundColor = QStringLiteral("PrintBackgroundColor");
const QString hasBackgroundPlaceholder = QStringLiteral("HasBackgroundPlaceholder");
const QString placeholderLabel = QStringLiteral("BackgroundPlaceholderLabel");
const QString placeholderLabelPosition = QStringLiteral("BackgroundPlaceholderLabelPosition");
const QString placeholderLabelIsVertical = QStringLiteral("BackgroundPlaceholderLabelIsVertical");
const QString placeholderColor = QStringLiteral("BackgroundPlaceholderColor");
const QString placeholderPatternIndex = QStringLiteral("BackgroundPlaceholderPatternIndex");
const QString placeholderLabelColor = QStringLiteral("BackgroundPlaceholderLabelColor");
const QString gridSpacing = QStringLiteral("GridSpacing");
const QString guideSpacing = QStringLiteral("GuideSpacing");
const QString printGrid = QStringLiteral("PrintGrid");
const QString projectDescription = QStringLiteral("ProjectDescription");
const QString importTextArray = QStringLiteral("ImportTextArray");
const QString numImportColumns = QStringLiteral("NumImportColumns");
const QString postnetBarcode = QStringLiteral("PostnetBarcode");
const QString fimType = QStringLiteral("FIMType");
const QString drawAuxiliaryInfo = QStringLiteral("DrawAuxiliaryInfo");
const QString labelRepeatCount = QStringLiteral("Label Repeat Count");
const QString layerNameArray = QStringLiteral("LayerNameArray");
const QString layerVisibilityArray = QStringLiteral("LayerVisibilityArray");
const QString layerPrintingArray = QStringLiteral("LayerPrintingArray");
const QString selectedLayerArray = QStringLiteral("SelectedLayerArray");
const QString downsampledImageDPI = QStringLiteral("LBDownsampledImageDPI");
const QString backgroundImage = QStringLiteral("BackgroundImage");
const QString selectedLayerIndex = QStringLiteral("SelectedLayerIndex");
} // namespace key

// A per-face key: the second face's carries the suffix "1".
QString faceKey(const QString& name, qint64 face)
{
    return face == 0 ? name : name + QLatin1Char('1');
}

// Calls set(value, face) for each face whose key the dictionary holds.
template <typename Set>
void forFaces(const QVariantMap& dictionary, const QString& name, Set set)
{
    for (qint64 f = 0; f < 2; ++f) {
        const auto value = dictionary.constFind(faceKey(name, f));
        if (value != dictionary.cend())
            set(*value, f);
    }
}

// An archived colour; no colour for data that is none.
QColor colorOf(const QVariant& value)
{
    const std::optional<QByteArray> data =
        value.typeId() == QMetaType::QByteArray ? std::optional(value.toByteArray()) : std::nullopt;
    return data ? Archive::colorFromArchivedData(*data).value_or(QColor()) : QColor();
}

bool fail(Error* error, int code, const QString& description)
{
    return Error::fail(error, LBDocumentErrorDomain, code, description);
}

// Why the document's sheet is past the bounds a sheet can have; empty when it is not.
QString faultOfBounds(const QVariantMap& d)
{
    if (d.value(key::dimensionInfo).typeId() == QMetaType::QVariantMap) {
        if (QString fault = DimensionInfo::faultOfBounds(d.value(key::dimensionInfo).toMap());
            !fault.isEmpty())
            return fault;
    }
    if (platform::integerValue(d.value(key::labelRepeatCount)) > DimensionInfo::MaxRepeatCount)
        return QStringLiteral("\"%1\" is above %2")
            .arg(key::labelRepeatCount)
            .arg(DimensionInfo::MaxRepeatCount);
    return QString();
}

QString shown(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

QString dialogString(const QString& key)
{
    return platform::LocalizedString(key, QStringLiteral("DialogStrings"));
}

// A stored value as data: archived values are data; anything else is not.
std::optional<QByteArray> dataOf(const QVariant& value)
{
    if (value.typeId() != QMetaType::QByteArray)
        return std::nullopt;
    return value.toByteArray();
}

// A stored list: archived (data), or a plain list of an older or hand-made file.
std::optional<QVariantList> listOf(const QVariant& value)
{
    if (value.typeId() == QMetaType::QVariantList)
        return value.toList();
    if (const auto data = dataOf(value))
        return Archive::arrayFromArchivedData(*data);
    return std::nullopt;
}

// The page lists of a layer list: a list of lists, or the older form of one page's list.
QList<QVariantList> pageListsOf(const QVariantList& stored)
{
    QList<QVariantList> pages;
    if (stored.isEmpty() || stored.first().typeId() != QMetaType::QVariantList) {
        pages.append(stored);
        return pages;
    }
    for (const QVariant& page : stored)
        pages.append(page.typeId() == QMetaType::QVariantList ? page.toList() : QVariantList());
    return pages;
}

// Booleans of a stored list: YES/NO texts or numbers (read with the stored-text rules).
QList<bool> booleansOf(const QVariantList& list)
{
    QList<bool> values;
    values.reserve(list.size());
    for (const QVariant& value : list)
        values.append(platform::boolValue(value));
    return values;
}

QStringList stringsOf(const QVariantList& list)
{
    QStringList strings;
    strings.reserve(list.size());
    for (const QVariant& value : list)
        strings.append(value.typeId() == QMetaType::QString ? value.toString() : QString());
    return strings;
}

template <typename T, typename Convert>
QVariantList variantsOf(const QList<T>& list, Convert convert)
{
    QVariantList values;
    values.reserve(list.size());
    for (const T& value : list)
        values.append(convert(value));
    return values;
}

} // namespace

// ==== Document types =====================================================================

bool LBDocument::isDocumentType(const QString& type)
{
    return type == LabelDocumentType || type == EnvelopeDocumentType || type == PageDocumentType
           || type == OldDocumentType;
}

QString LBDocument::documentTypeStringForExtension(const QString& extension)
{
    if (extension == oldExtension)
        return OldDocumentType;
    if (extension == QLatin1String("quarnev"))
        return EnvelopeDocumentType;
    if (extension == QLatin1String("quarnpg"))
        return PageDocumentType;
    return LabelDocumentType;
}

QString LBDocument::extensionForDocumentType(const QString& type)
{
    if (type == LabelDocumentType)
        return QStringLiteral("quarnlb");
    if (type == EnvelopeDocumentType)
        return QStringLiteral("quarnev");
    if (type == PageDocumentType)
        return QStringLiteral("quarnpg");
    if (type == OldDocumentType)
        return oldExtension;
    return QString();
}

bool LBDocument::isEnvelopeLayout(const QVariantMap& layout)
{
    const qint64 type = DimensionInfo::integer(layout, DimensionInfo::labelType);
    const QString maker = DimensionInfo::text(layout, DimensionInfo::paperManufacturer);
    return (type == 5 || type == 6) && maker != QLatin1String("DYMO")
           && maker != QLatin1String("Seiko") && maker != QLatin1String("Brother");
}

QString LBDocument::docExtensionForLayout(const QVariantMap& layout)
{
    if (isEnvelopeLayout(layout))
        return QStringLiteral("quarnev");
    const qint64 type = DimensionInfo::integer(layout, DimensionInfo::labelType);
    if (type == 7 || type == 8)
        return QStringLiteral("quarnpg");
    return QStringLiteral("quarnlb");
}

QString LBDocument::docExtensionForSelectedCardType() const
{
    return docExtensionForLayout(_dimensionInfo);
}

QString LBDocument::fileNameExtensionForType(const QString& type) const
{
    return extensionForDocumentType(type);
}

QString LBDocument::typeForFileName(const QString& path) const
{
    const QString extension = QFileInfo(path).suffix();
    const QString type = documentTypeStringForExtension(extension);
    return extensionForDocumentType(type) == extension ? type : QString();
}

// ==== Opening and reading ================================================================

std::unique_ptr<LBDocument> LBDocument::initWithContentsOfFile(const QString& path,
                                                               const QString& type, Error* error)
{
    // Every way a document is opened comes here: a save cut short is mended first.
    recoverInterruptedSave(path);
    auto document = std::make_unique<LBDocument>();
    document->setOpenedExistingFile(true);
    if (!document->readFromFile(path, type, error))
        return nullptr;
    document->setFileName(QFileInfo(path).absoluteFilePath());
    document->setFileType(type);
    document->setAddsQuarnLabelControls(true);
    return document;
}

bool LBDocument::readFromFile(const QString& path, const QString& type, Error* error)
{
    const QString name = QFileInfo(path).fileName();
    if (!isDocumentType(type))
        return fail(
            error, UnknownTypeError,
            QStringLiteral("\"%1\" is not a type of document this program reads.").arg(type));
    const std::optional<FileWrapper> package = FileWrapper::directoryWithPath(path);
    if (!package)
        return fail(error, NotAPackageError,
                    QStringLiteral("\"%1\" is not a document package: it is no folder.").arg(name));
    const FileWrapper* contents = package->fileWrapper(contentsName);
    if (!contents || !contents->isRegularFile())
        return fail(error, NoContentsError,
                    QStringLiteral("The document package \"%1\" holds no file \"%2\".")
                        .arg(name, contentsName));
    Error readError;
    const std::optional<QByteArray> data = contents->regularFileContents(&readError);
    if (!data)
        return fail(error, NoContentsError, readError.description);
    // An empty file is a damaged document, never an empty one: saving that would lose
    // the design.
    if (data->trimmed().isEmpty())
        return fail(error, NoContentsError,
                    QStringLiteral("The file \"%1\" of the document package \"%2\" is empty.")
                        .arg(contentsName, name));
    if (!loadDataRepresentation(*data, type, error))
        return false;

    const QString packagePath = package->path();
    platform::UndoManager* undo = undoManager();
    undo->disableUndoRegistration();
    const bool nonStandard = loadImageFilesFromDocumentFileWrappers(*package, packagePath);
    for (qint64 f = 0; f < 2; ++f) {
        if (!face(f).backgroundImage)
            loadBackgroundImageFromDocumentFileWrappers(*package, packagePath, f);
        _backgroundMembersToLoad[f].clear();
    }
    undo->enableUndoRegistration();
    rememberMembersNotRead(*package);
    // Clean once the reading is over, and saved then when conversions asked for it.
    performAfterDelay([this] { finishReading(); });
    if (nonStandard)
        convertNonStandardImages();
    clearLazyImagePaths();
    return true;
}

void LBDocument::finishReading()
{
    resetChangeCount();
    if (!std::exchange(_saveAfterReading, false))
        return;
    // The converted pictures must reach the package; a document without a file (a
    // template loaded into it) stays edited instead.
    markEdited();
    if (!fileName().isNull())
        saveDocument();
}

bool LBDocument::revertToSavedFromFile(const QString& path, const QString& type, Error* error)
{
    if (!readFromFile(path, type, error))
        return false;
    setFileName(QFileInfo(path).absoluteFilePath());
    setFileType(type);
    updateChangeCount(ChangeCleared);
    return true;
}

bool LBDocument::loadDataRepresentation(const QByteArray& data, const QString& type, Error* error)
{
    if (!isDocumentType(type))
        return fail(
            error, UnknownTypeError,
            QStringLiteral("\"%1\" is not a type of document this program reads.").arg(type));
    const std::optional<QVariantMap> dictionary = dictionaryFromDocumentData(data, error);
    if (!dictionary)
        return false;
    if (dictionary->contains(key::graphicsList)
        && dictionary->value(key::graphicsList).typeId() != QMetaType::QVariantList)
        return fail(error, NotAGraphicsListError,
                    QStringLiteral("The document's \"GraphicsList\" is not a list."));
    if (const QString fault = faultOfBounds(*dictionary); !fault.isEmpty())
        return fail(
            error, LayoutOutOfBoundsError,
            QStringLiteral("The document asks for more than a sheet can hold: %1.").arg(fault));

    const GraphicsList graphics = graphicsFromDocumentDictionary(*dictionary);
    Pages pages = graphics.isPages ? graphics.pages : Pages{Page{graphics.graphics}};
    for (Page& page : pages) {
        if (page.isEmpty())
            page.append(Layer());
    }
    if (pages.isEmpty())
        pages.append(Page{Layer()});

    // Every setter below would record its undo; the history starts empty instead.
    platform::UndoManager* undo = undoManager();
    undo->disableUndoRegistration();
    replaceGraphicsTree(pages);
    loadDocumentSettings(*dictionary);
    undo->enableUndoRegistration();
    undo->removeAllActions();
    return true;
}

void LBDocument::replaceGraphicsTree(const Pages& pages)
{
    // A window showing the graphics that go (a revert) lets go of them first: a selection
    // or a text editor kept on them would act on graphics no longer in the document.
    for (DocumentWindowController* controller : documentWindowControllers())
        controller->letGoOfGraphics();
    for (const Page& page : std::as_const(_documentGraphics)) {
        for (const Layer& layer : page) {
            for (const LBGraphicPtr& graphic : layer)
                graphic->setDocument(nullptr);
        }
    }
    _documentGraphics = pages;
    for (const Page& page : std::as_const(_documentGraphics)) {
        for (const Layer& layer : page) {
            for (const LBGraphicPtr& graphic : layer)
                graphic->setDocument(this);
        }
    }
    // The lists of a new document, for the stored lists to replace.
    const QString table = QStringLiteral("Miscellaneous");
    _layerNames = {{platform::LocalizedString(QStringLiteral("Background"), table),
                    platform::LocalizedString(QStringLiteral("Foreground"), table)}};
    _layerVisibility = {{true, true}};
    _layerPrinting = {{true, true}};
    _selectedLayers = {1};
    for (qint64 p = 0; p < numPages(); ++p)
        matchLayerListsToLayers(p);
    _layerNames.resize(numPages());
    _layerVisibility.resize(numPages());
    _layerPrinting.resize(numPages());
    _selectedLayers.resize(numPages());
    _pageIndex = std::clamp<qint64>(_pageIndex, 0, numPages() - 1);
}

void LBDocument::loadDocumentSettings(const QVariantMap& d)
{
    using platform::boolValue;
    using platform::floatValue;
    using platform::integerValue;

    if (const auto data = dataOf(d.value(key::printInfo))) {
        if (const auto printInfo = Archive::printInfoFromArchivedData(*data))
            ourSetPrintInfo(*printInfo);
    }
    if (d.value(key::dimensionInfo).typeId() == QMetaType::QVariantMap)
        setDimensionInfo(d.value(key::dimensionInfo).toMap());

    forFaces(d, key::backgroundImageScaling, [this](const QVariant& v, qint64 f) {
        setBackgroundImageScaling(integerValue(v), f);
    });
    forFaces(d, key::backgroundImageTransparency, [this](const QVariant& v, qint64 f) {
        setBackgroundImageTransparency(floatValue(v), f);
    });

    // Pictures: the bytes themselves in older files, else the members the media loader
    // reads (by their names alone: a document names nothing outside its package).
    QString embedded;
    if (const auto data = dataOf(d.value(key::backgroundImage)); data && !data->isEmpty())
        embedded = extractEmbeddedBackgroundImageWithData(*data);
    if (!embedded.isNull()) {
        setBackgroundImagePath(embedded, true, 0);
    } else {
        for (qint64 f = 0; f < 2; ++f) {
            const QVariant stored = d.value(faceKey(key::backgroundImageName, f));
            if (stored.typeId() != QMetaType::QString || stored.toString().isEmpty())
                continue;
            const QString member = QFileInfo(stored.toString()).fileName();
            if (FileWrapper::isSinglePathComponent(member)) {
                // Named by its member until the package's pictures are read.
                face(f).backgroundImagePath = member;
                _backgroundMembersToLoad[f] = member;
            } else
                qWarning().noquote() << QStringLiteral("The background picture \"%1\" names no "
                                                       "member of the package; it is left out")
                                            .arg(stored.toString());
        }
    }
    for (qint64 f = 0; f < 2; ++f) {
        const QString draw = faceKey(key::drawBackgroundImage, f);
        setDrawBackgroundImage(d.contains(draw) ? boolValue(d.value(draw)) : true, f);
    }
    for (qint64 f = 0; f < 2; ++f) {
        const QString print = faceKey(key::printBackgroundImage, f);
        setPrintBackgroundImage(d.contains(print) ? boolValue(d.value(print)) : true, f);
    }

    // Colours; a face's colour counts when it was read and is drawn or printed.
    std::array<bool, 2> colorRead{false, false};
    forFaces(d, key::backgroundColor, [&](const QVariant& v, qint64 f) {
        const QColor color = colorOf(v);
        setBackgroundColor(color, f);
        colorRead[f] = color.isValid();
    });
    std::array<bool, 2> shownOrPrinted{false, false};
    forFaces(d, key::drawBackgroundColor, [&](const QVariant& v, qint64 f) {
        setDrawBackgroundColor(boolValue(v), f);
        shownOrPrinted[f] = shownOrPrinted[f] || boolValue(v);
    });
    forFaces(d, key::printBackgroundColor, [&](const QVariant& v, qint64 f) {
        setPrintBackgroundColor(boolValue(v), f);
        shownOrPrinted[f] = shownOrPrinted[f] || boolValue(v);
    });
    for (qint64 f = 0; f < 2; ++f) {
        const QString name = faceKey(key::hasBackgroundColor, f);
        if (d.contains(name))
            setHasBackgroundColor(boolValue(d.value(name)), f);
        else if (colorRead[f] && shownOrPrinted[f])
            setHasBackgroundColor(true, f);
    }

    // Placeholders.
    forFaces(d, key::hasBackgroundPlaceholder,
             [this](const QVariant& v, qint64 f) { setHasBackgroundPlaceholder(boolValue(v), f); });
    forFaces(d, key::placeholderLabel, [this](const QVariant& v, qint64 f) {
        if (v.typeId() == QMetaType::QString)
            setPlaceholderLabel(v.toString(), f);
    });
    forFaces(d, key::placeholderLabelPosition, [this](const QVariant& v, qint64 f) {
        setPlaceholderLabelPosition(integerValue(v), f);
    });
    forFaces(d, key::placeholderLabelIsVertical, [this](const QVariant& v, qint64 f) {
        setPlaceholderLabelIsVertical(boolValue(v), f);
    });
    forFaces(d, key::placeholderColor, [this](const QVariant& v, qint64 f) {
        if (v.typeId() == QMetaType::QByteArray)
            setPlaceholderColor(colorOf(v), f);
    });
    // A pattern makes the face's background picture; no pattern (0) leaves the picture the
    // face has, where setting it would clear the picture just read.
    forFaces(d, key::placeholderPatternIndex, [this](const QVariant& v, qint64 f) {
        const qint64 index = integerValue(v);
        if (index != 0)
            setPlaceholderPatternIndex(index, f);
        else
            setPlaceholderPatternIndexOnly(0, f);
    });
    forFaces(d, key::placeholderLabelColor, [this](const QVariant& v, qint64 f) {
        if (v.typeId() == QMetaType::QByteArray)
            setPlaceholderLabelColor(colorOf(v), f);
    });
    // The placeholder's flags share the picture's keys.
    for (qint64 f = 0; f < 2; ++f) {
        const QString draw = faceKey(key::drawBackgroundImage, f);
        if (d.contains(draw))
            setDrawBackgroundPlaceholder(boolValue(d.value(draw)), f);
        else if (hasBackgroundPlaceholder(f))
            setDrawBackgroundPlaceholder(true, f);
    }
    for (qint64 f = 0; f < 2; ++f) {
        const QString print = faceKey(key::printBackgroundImage, f);
        if (d.contains(print))
            setPrintBackgroundPlaceholder(boolValue(d.value(print)), f);
        else if (hasBackgroundPlaceholder(f))
            setPrintBackgroundPlaceholder(true, f);
    }

    if (d.contains(key::gridSpacing))
        setGridSpacing(floatValue(d.value(key::gridSpacing)), false);
    if (d.contains(key::guideSpacing))
        setGuideSpacing(integerValue(d.value(key::guideSpacing)), false);
    if (d.contains(key::printGrid))
        setPrintGrid(boolValue(d.value(key::printGrid)));

    if (d.value(key::projectDescription).typeId() == QMetaType::QVariantMap)
        setProjectDescription(d.value(key::projectDescription).toMap());
    const qint64 columns = integerValue(d.value(key::numImportColumns));
    if (columns != 0) {
        if (const auto rows = listOf(d.value(key::importTextArray)))
            setImportTextArray(stringsOf(*rows), columns);
    }
    if (d.contains(key::postnetBarcode))
        _postnetBarcodeLocation = integerValue(d.value(key::postnetBarcode));
    if (d.contains(key::fimType))
        _FIMType = integerValue(d.value(key::fimType));
    if (d.contains(key::drawAuxiliaryInfo))
        _drawAuxiliaryInfo = static_cast<quint8>(integerValue(d.value(key::drawAuxiliaryInfo)));
    // Every record shows on at least one label.
    if (d.contains(key::labelRepeatCount))
        _labelRepeatCount = std::max<qint64>(1, integerValue(d.value(key::labelRepeatCount)));

    loadLayerLists(d);

    if (d.contains(key::downsampledImageDPI))
        _downsampledImageDPI = integerValue(d.value(key::downsampledImageDPI));
}

void LBDocument::loadLayerLists(const QVariantMap& d)
{
    if (const auto stored = listOf(d.value(key::layerNameArray))) {
        _layerNames.clear();
        for (const QVariantList& page : pageListsOf(*stored))
            _layerNames.append(stringsOf(page));
    }
    const auto visibility = listOf(d.value(key::layerVisibilityArray));
    if (visibility) {
        _layerVisibility.clear();
        for (const QVariantList& page : pageListsOf(*visibility))
            _layerVisibility.append(booleansOf(page));
    }
    if (const auto printing = listOf(d.value(key::layerPrintingArray))) {
        _layerPrinting.clear();
        for (const QVariantList& page : pageListsOf(*printing))
            _layerPrinting.append(booleansOf(page));
    } else {
        // Older files: every layer prints.
        _layerPrinting.clear();
        for (const QList<bool>& page : std::as_const(_layerVisibility))
            _layerPrinting.append(QList<bool>(page.size(), true));
    }
    // Each page's lists as long as its layers.
    for (qint64 p = 0; p < numPages(); ++p)
        matchLayerListsToLayers(p);
    _layerNames.resize(numPages());
    _layerVisibility.resize(numPages());
    _layerPrinting.resize(numPages());

    const auto selected = listOf(d.value(key::selectedLayerArray));
    _selectedLayers.clear();
    for (qint64 p = 0; p < numPages(); ++p) {
        qint64 layer = 0;
        if (selected)
            layer = p < selected->size() ? platform::integerValue(selected->at(p)) : 0;
        else if (d.contains(key::selectedLayerIndex))
            layer = platform::integerValue(d.value(key::selectedLayerIndex));
        else
            layer = 1;
        // Within the page's layers, as older files were lowered to them.
        _selectedLayers.append(std::clamp<qint64>(layer, 0, _documentGraphics[p].size() - 1));
    }
}

// ==== The document dictionary ============================================================

QByteArray LBDocument::dataRepresentationOfType(const QString& type)
{
    if (!isDocumentType(type))
        return QByteArray();
    return documentData();
}

QByteArray LBDocument::documentData()
{
    QVariantMap settings;
    addAuxiliaryDocumentInfoToDict(settings);
    return dataForGraphics(_documentGraphics, settings);
}

void LBDocument::addAuxiliaryDocumentInfoToDict(QVariantMap& d)
{
    d.insert(key::documentVersion, QStringLiteral("2410"));
    d.insert(key::printInfo, Archive::archivedDataWithPrintInfo(printInfo()));
    d.insert(key::dimensionInfo, _dimensionInfo);
    for (qint64 f = 0; f < 2; ++f) {
        const Face& fc = face(f);
        if (fc.backgroundImagePath.isEmpty())
            continue;
        d.insert(faceKey(key::backgroundImageName, f), fc.backgroundImagePath);
        d.insert(faceKey(key::backgroundImageScaling, f),
                 platform::formatLong(fc.backgroundImageScaling));
        d.insert(faceKey(key::backgroundImageTransparency, f),
                 platform::format6f(fc.backgroundImageTransparency));
        d.insert(faceKey(key::drawBackgroundImage, f), fc.drawBackgroundImage);
        d.insert(faceKey(key::printBackgroundImage, f), fc.printBackgroundImage);
    }
    for (qint64 f = 0; f < 2; ++f) {
        const Face& fc = face(f);
        d.insert(faceKey(key::hasBackgroundColor, f), fc.hasBackgroundColor);
        d.insert(faceKey(key::backgroundColor, f),
                 Archive::archivedDataWithColor(fc.backgroundColor));
        d.insert(faceKey(key::drawBackgroundColor, f), fc.drawBackgroundColor);
        d.insert(faceKey(key::printBackgroundColor, f), printBackgroundColor(f));
    }
    for (qint64 f = 0; f < 2; ++f) {
        const Face& fc = face(f);
        if (!fc.hasBackgroundPlaceholder)
            continue;
        d.insert(faceKey(key::hasBackgroundPlaceholder, f), true);
        d.insert(faceKey(key::placeholderLabel, f), fc.placeholderLabel);
        d.insert(faceKey(key::placeholderLabelPosition, f),
                 platform::formatLong(fc.placeholderLabelPosition));
        d.insert(faceKey(key::placeholderLabelIsVertical, f), fc.placeholderLabelIsVertical);
        d.insert(faceKey(key::placeholderColor, f),
                 Archive::archivedDataWithColor(fc.placeholderColor));
        d.insert(faceKey(key::placeholderPatternIndex, f),
                 platform::formatLong(fc.placeholderPatternIndex));
        d.insert(faceKey(key::placeholderLabelColor, f),
                 Archive::archivedDataWithColor(fc.placeholderLabelColor));
        // Written after the picture's flags, so they win where a face has both.
        d.insert(faceKey(key::drawBackgroundImage, f), fc.drawBackgroundPlaceholder);
        d.insert(faceKey(key::printBackgroundImage, f), fc.printBackgroundPlaceholder);
    }
    if (_gridSpacing > 0.0) {
        d.insert(key::gridSpacing, platform::format6f(_gridSpacing));
        d.insert(key::guideSpacing, platform::formatLong(_guideSpacing));
        d.insert(key::printGrid, _printGrid);
    }
    if (!_projectDescription.isEmpty())
        d.insert(key::projectDescription, _projectDescription);
    if (!_importTextArray.isEmpty()) {
        d.insert(key::importTextArray,
                 Archive::archivedDataWithArray(
                     variantsOf(_importTextArray, [](const QString& s) { return QVariant(s); })));
        d.insert(key::numImportColumns, _numImportColumns);
    }
    d.insert(key::postnetBarcode, _postnetBarcodeLocation);
    d.insert(key::fimType, _FIMType);
    d.insert(key::drawAuxiliaryInfo, qint64(_drawAuxiliaryInfo));
    d.insert(key::labelRepeatCount, _labelRepeatCount);

    const auto names = [](const QStringList& page) {
        return QVariant(variantsOf(page, [](const QString& s) { return QVariant(s); }));
    };
    const auto flags = [](const QList<bool>& page) {
        return QVariant(variantsOf(page, [](bool b) { return QVariant(b); }));
    };
    d.insert(key::layerNameArray, Archive::archivedDataWithArray(variantsOf(_layerNames, names)));
    d.insert(key::layerVisibilityArray,
             Archive::archivedDataWithArray(variantsOf(_layerVisibility, flags)));
    d.insert(key::layerPrintingArray,
             Archive::archivedDataWithArray(variantsOf(_layerPrinting, flags)));
    d.insert(key::selectedLayerArray, Archive::archivedDataWithArray(variantsOf(
                                          _selectedLayers, [](qint64 i) { return QVariant(i); })));
    d.insert(key::downsampledImageDPI, LBProcessState::imageDisplayResolution());
}

QVariantMap LBDocument::metadataDictionary() const
{
    QString text;
    bool any = false;
    for (const Page& page : _documentGraphics) {
        for (const Layer& layer : page) {
            for (const LBGraphicPtr& graphic : layer) {
                if (!graphic->isTextBox() && !graphic->isShapeWithText())
                    continue;
                const auto* area = dynamic_cast<const LBTextArea*>(graphic.get());
                if (!area || !area->contents())
                    continue;
                text += area->contents()->string() + QLatin1Char(' ');
                any = true;
            }
        }
    }
    if (!any)
        return QVariantMap();
    return {{textContentKey, text}};
}

// ==== Previews ===========================================================================

QImage LBDocument::previewImageRepForPage(qint64 page, QImage* preview120)
{
    if (preview120)
        *preview120 = QImage();
    if (page < 0 || page >= numPages())
        return QImage();
    // Pictures at 72 dpi for the preview's time.
    const qint64 resolution = LBProcessState::imageDisplayResolution();
    LBProcessState::setImageDisplayResolution(72);
    platform::NotificationCenter& center = platform::NotificationCenter::defaultCenter();
    const qint64 current = std::exchange(_pageIndex, page);
    center.post(LBSetPageIndex, this, {{QStringLiteral("LBPageIndex"), page}});
    DocumentWindowController* controller = windowController();
    const bool bracket = controller && page == current;
    if (bracket)
        controller->moveGraphicsToActualPosition();
    const QByteArray tiff = TIFFRepresentationForPage(page);
    if (bracket)
        controller->moveGraphicsToDisplayPosition();
    _pageIndex = current;
    center.post(LBSetPageIndex, this, {{QStringLiteral("LBPageIndex"), current}});
    LBProcessState::setImageDisplayResolution(resolution);

    const platform::ImagePtr image = tiff.isEmpty() ? nullptr : platform::Image::fromData(tiff);
    if (!image)
        return QImage();
    if (preview120) {
        const bool spread = platform::boolValue(_dimensionInfo.value(DimensionInfo::isPageSpread));
        const platform::ImagePtr small = image->copy()->imageScaledToSize(
            spread ? QSizeF(240, 120) : QSizeF(120, 120), true, true);
        if (small)
            *preview120 = small->forcedBitmapImageRep();
    }
    return image->forcedBitmapImageRep();
}

QByteArray LBDocument::plainTIFFRepresentationForPage(qint64 page)
{
    if (page < 0 || page >= numPages())
        return QByteArray();
    const QSizeF size = editableDocumentSize();
    platform::OffscreenContext offscreen(platform::OffscreenContext::pixelsFor(size, 1.0), 1.0);
    if (!offscreen.isActive())
        return QByteArray();
    QPainter* painter = offscreen.painter();
    painter->setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
    painter->fillRect(QRectF(QPointF(), size), Qt::white);
    platform::GraphicsContext& context = offscreen.context();
    const Page& layers = _documentGraphics[page];
    // Layer 0 first; within a layer the last graphic first, so index 0 ends in front.
    // Graphics that paint nothing on the page are left out.
    const QRectF pageRect(QPointF(), size);
    LBWalkLayersForDrawing(
        layers, [&](qint64 l) { return layerAtIndexWillPrint(l, page); },
        [&](const LBGraphicPtr& graphic) {
            if (!graphic->shadowDrawingBoundsWithHandles(false).intersects(pageRect))
                return;
            context.saveGraphicsState();
            graphic->drawInView(nullptr, false);
            context.restoreGraphicsState();
        });
    const platform::ImagePtr picture = platform::Image::fromBitmap(offscreen.image(), size);
    return picture ? picture->TIFFRepresentationUsingLZW() : QByteArray();
}

// ==== Writing ============================================================================

bool LBDocument::writeToFile(const QString& path, const QString& type, SaveOperationType operation,
                             Error* error)
{
    Q_UNUSED(operation);
    platform::NotificationCenter& center = platform::NotificationCenter::defaultCenter();
    const bool announce = _multipageType != 0;
    if (announce)
        center.post(LBWritingToFile);
    const auto finished = qScopeGuard([&] {
        if (announce)
            center.post(LBFinishedWritingToFile);
    });

    if (!isDocumentType(type))
        return fail(
            error, UnknownTypeError,
            QStringLiteral("\"%1\" is not a type of document this program writes.").arg(type));
    if (!QDir().mkpath(path))
        return fail(error, WriteFailedError,
                    QStringLiteral("The document package \"%1\" cannot be made.").arg(shown(path)));

    // Previews are drawn at 100 %, with the graphics at their page positions; the window
    // gets both back on every path.
    const bool previews = _makesPreviews;
    DocumentWindowController* controller = windowController();
    InspectorPalette* palette = LBProcessState::inspectorPalette();
    bool zoomed = false;
    if (previews && controller
        && controller->zoomSliderValue() != DocumentWindowController::ActualSizeZoomSliderValue) {
        if (palette)
            palette->setFreezeWindow(true);
        controller->saveState();
        controller->setZoomSliderValue(DocumentWindowController::ActualSizeZoomSliderValue);
        zoomed = true;
    }
    if (controller)
        controller->moveGraphicsToActualPosition();
    const auto restore = qScopeGuard([&] {
        if (controller)
            controller->moveGraphicsToDisplayPosition();
        if (zoomed) {
            controller->restoreState();
            if (palette)
                palette->setFreezeWindow(false);
        }
    });

    // The picture files go where the package will be once saved: its place, or for an
    // AutoRecover copy the copy's path it is moved to.
    const QString finalPath = _writingTemporaryCopy   ? _temporaryFilePath
                              : savingPath().isNull() ? QFileInfo(path).absoluteFilePath()
                                                      : savingPath();
    FileWrapper package = packageWithMediaFiles(finalPath);
    package.addFileWrapper(contentsName,
                           FileWrapper::regularFileWithContents(dataRepresentationOfType(type)));
    if (previews) {
        QImage small;
        const QImage preview = previewImageRepForPage(0, &small);
        if (!preview.isNull()) {
            const auto jpeg = [](const QImage& image) {
                const platform::ImagePtr picture =
                    platform::Image::fromBitmap(image, QSizeF(image.size()));
                return picture ? picture->jpegData(0.8) : QByteArray();
            };
            package.addFileWrapper(previewName,
                                   FileWrapper::regularFileWithContents(jpeg(preview)));
            if (!small.isNull())
                package.addFileWrapper(preview120Name,
                                       FileWrapper::regularFileWithContents(jpeg(small)));
        }
    }

    Error fileError;
    if (!package.writeToPath(path, &fileError))
        return fail(error, WriteFailedError, fileError.description);
    if (previews)
        writeQuickLookAndSpotlight(path);
    return true;
}

void LBDocument::writeQuickLookAndSpotlight(const QString& path)
{
    // Links for the file previewer, and the search metadata, written as they come: a
    // failure costs only these.
    FileWrapper quickLook = FileWrapper::directory();
    const QString target = QStringLiteral("../") + previewName;
    quickLook.addFileWrapper(QStringLiteral("Thumbnail.jpg"),
                             FileWrapper::symbolicLinkWithDestination(target));
    quickLook.addFileWrapper(previewName, FileWrapper::symbolicLinkWithDestination(target));
    Error error;
    if (!quickLook.writeToPath(QDir(path).filePath(quickLookName), &error))
        qWarning().noquote() << error.description;
    QFile spotlight(QDir(path).filePath(spotlightName));
    const QByteArray xml = platform::PropertyList::toXml(metadataDictionary());
    if (!spotlight.open(QIODevice::WriteOnly) || spotlight.write(xml) != xml.size())
        qWarning().noquote() << QStringLiteral("The search metadata \"%1\" cannot be written: %2")
                                    .arg(shown(spotlight.fileName()), spotlight.errorString());
}

bool LBDocument::saveToFile(const QString& path, const QString& type, SaveOperationType operation,
                            Error* error)
{
    // What the writing changes of the graphics and faces, put back when the save fails.
    struct GraphicPaths
    {
        LBGraphicPtr graphic;
        std::array<QString, 3> paths;
        bool resampled;
    };
    QList<GraphicPaths> graphics;
    for (const Page& page : std::as_const(_documentGraphics)) {
        for (const Layer& layer : page) {
            for (const LBGraphicPtr& graphic : layer)
                graphics.append({graphic,
                                 {graphic->imageFilePathOfType(LBGraphic::FillImageType),
                                  graphic->imageFilePathOfType(LBGraphic::ObjectMaskType),
                                  graphic->imageFilePathOfType(LBGraphic::ExternalMaskType)},
                                 graphic->downSampledImageWasResampled()});
        }
    }
    const std::array<QString, 2> backgrounds{face(0).backgroundImagePath,
                                             face(1).backgroundImagePath};
    const qsizetype recorded = _originalImageFilePaths.size();

    if (!platform::Document::saveToFile(path, type, operation, error)) {
        for (const GraphicPaths& g : std::as_const(graphics)) {
            for (qint64 t = 0; t < 3; ++t)
                g.graphic->updateImageFileName(g.paths[t], t);
            g.graphic->setDownSampledImageWasResampled(g.resampled);
        }
        for (qint64 f = 0; f < 2; ++f)
            face(f).backgroundImagePath = backgrounds[f];
        _originalImageFilePaths.resize(recorded);
        _newImageFilePaths.resize(recorded);
        return false;
    }
    if (operation != SaveToOperation && QFileInfo(path).suffix() == oldExtension)
        moveOldFormatPackage();
    return true;
}

void LBDocument::moveOldFormatPackage()
{
    const QFileInfo old(fileName());
    const QString extension = docExtensionForSelectedCardType();
    const QString base = old.dir().filePath(old.completeBaseName());
    QString moved = base + QLatin1Char('.') + extension;
    for (int n = 1; QFileInfo::exists(moved) || QFileInfo(moved).isSymLink(); ++n)
        moved = QStringLiteral("%1[%2].%3").arg(base).arg(n).arg(extension);
    if (!QFile::rename(old.absoluteFilePath(), moved)) {
        qWarning().noquote() << QStringLiteral("The document \"%1\" cannot be moved to \"%2\"")
                                    .arg(shown(old.absoluteFilePath()), shown(moved));
        return;
    }
    setFileName(moved);
    setFileType(documentTypeStringForExtension(extension));
}

// ==== Saving documents of the older extension ============================================

void LBDocument::saveDocumentWithDelegate(std::function<void(bool)> didSave)
{
    if (_checkForOldFiles && !fileName().isNull()
        && QFileInfo(fileName()).suffix() == oldExtension) {
        // The question replaces the save.
        displayOldFileAlert();
        return;
    }
    platform::Document::saveDocumentWithDelegate(std::move(didSave));
}

void LBDocument::saveDocumentAs(std::function<void(bool)> didSave)
{
    if (fileName().isNull()) {
        // Saved as its layout's type.
        platform::Document::saveDocumentAs(
            QDir(platform::documentsFolder()).filePath(displayName()),
            documentTypeStringForExtension(docExtensionForSelectedCardType()), std::move(didSave));
        return;
    }
    if (QFileInfo(fileName()).suffix() != oldExtension) {
        platform::Document::saveDocumentAs(std::move(didSave));
        return;
    }
    // Proposed with the layout's extension; the document keeps its file until the new
    // one is saved.
    const QString extension = docExtensionForSelectedCardType();
    const QFileInfo old(fileName());
    platform::Document::saveDocumentAs(
        old.dir().filePath(old.completeBaseName() + QLatin1Char('.') + extension),
        documentTypeStringForExtension(extension), std::move(didSave));
}

void LBDocument::displayOldFileAlert()
{
    platform::Alert alert;
    alert.style = platform::Alert::Warning;
    alert.messageText =
        dialogString(QStringLiteral("This document was created with an older version of the "
                                    "application."));
    alert.informativeText = dialogString(
        QStringLiteral("Do you want to save the document as a new file or replace the old "
                       "file? If you replace the old file, you will no longer be able to open "
                       "it with older versions."));
    alert.buttons = {dialogString(QStringLiteral("New File...")),
                     dialogString(QStringLiteral("Cancel")),
                     dialogString(QStringLiteral("Replace Old File"))};
    alert.cancelButton = 1;
    QPointer<LBDocument> self(this);
    alert.beginSheetModalForWindow(appropriateWindowForDocModalOperations(),
                                   [self](const platform::Alert::Response& response) {
                                       if (self)
                                           self->oldFileAlertDidEnd(response.returnCode);
                                   });
}

void LBDocument::oldFileAlertDidEnd(int returnCode)
{
    switch (returnCode) {
    case platform::Alert::FirstButtonReturn: saveDocumentAs(); break;
    case platform::Alert::ThirdButtonReturn:
        _checkForOldFiles = false;
        saveDocumentWithDelegate({});
        _checkForOldFiles = true;
        break;
    default: break;
    }
}
