// The document dictionary's loader: any bytes as "Contents.quarnd", loaded into a new
// document. What loads writes a dictionary that loads again into a document writing the
// same dictionary (the pictures' working files, made anew at each load, aside).

#include "FuzzTarget.h"

#include "document/LBDocument.h"
#include "graphics/LBProcessState.h"
#include "graphics/LBTextArea.h"
#include "platform/core/PropertyList.h"
#include "shapes/LBRectangle.h"
#include "shapes/ShapeClasses.h"

#include <QBuffer>
#include <QDir>
#include <QImage>
#include <QTemporaryDir>

#include <memory>

namespace fuzz {

namespace {

// The working files an input makes (pictures it carries, patterns) go to a folder of
// their own, emptied after each input; the logs of what a document leaves out are quiet.
QTemporaryDir& workingFolder()
{
    static QTemporaryDir folder;
    static const bool setUp = [] {
        qputenv("TMPDIR", QFile::encodeName(folder.path()));
        LBProcessState::setTemporaryFolderPath(folder.path() + QLatin1Char('/'));
        registerShapeClasses();
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
        return true;
    }();
    Q_UNUSED(setUp);
    return folder;
}

void emptyWorkingFolder()
{
    QDir folder(workingFolder().path());
    for (const QFileInfo& entry : folder.entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot)) {
        if (entry.isDir())
            QDir(entry.filePath()).removeRecursively();
        else
            QFile::remove(entry.filePath());
    }
}

// The dictionary a document writes, without the working files' names.
QVariantMap writtenDictionary(LBDocument& document)
{
    const QByteArray text = document.documentData();
    const std::optional<QVariant> value = platform::PropertyList::fromText(text);
    FUZZ_PROMISE(value && value->typeId() == QMetaType::QVariantMap, describe(text));
    QVariantMap dictionary = value->toMap();
    dictionary.remove(QStringLiteral("BackgroundImageName"));
    dictionary.remove(QStringLiteral("BackgroundImageName1"));
    return dictionary;
}

QByteArray png()
{
    QImage image(4, 3, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

} // namespace

QList<QByteArray> seeds()
{
    workingFolder();
    QList<QByteArray> out;
    LBDocument plain;
    out.append(plain.documentData());

    // Two pages, text, shapes and every kind of setting.
    LBDocument full;
    auto box = std::make_shared<LBTextArea>();
    box->setBoundsNoOtherChanges(QRectF(10, 10, 100, 30));
    box->setContents(QStringLiteral("Hello \u00e9"));
    full.insertGraphic(box, 0, 1);
    full.insertGraphic(std::make_shared<LBRectangle>(), 0, 0);
    full.insertPageWithGraphics({LBDocument::Layer{std::make_shared<LBRectangle>()}},
                                {QStringLiteral("Only")}, 1);
    full.setBackgroundColor(QColor(10, 20, 30), 0);
    full.setHasBackgroundColor(true, 0);
    full.setHasBackgroundPlaceholder(true, 1);
    full.setPlaceholderLabel(QStringLiteral("Photo"), 1);
    full.setPlaceholderPatternIndex(2, 1);
    full.setGridSpacing(12.5, false);
    full.setGuideSpacing(4, false);
    full.setProjectDescription({{QStringLiteral("ProjectType"), QStringLiteral("12")}});
    full.setImportTextArray({QStringLiteral("Ann"), QStringLiteral("Bo")}, 2);
    out.append(full.documentData());

    // The older form: pages of graphics, one selected layer, the background's bytes.
    const QVariantMap page =
        LBDocument::dictionaryForGraphics(LBDocument::Layer{std::make_shared<LBRectangle>()});
    out.append(platform::PropertyList::toText(QVariantMap{
        {QStringLiteral("GraphicsList"), QVariantList{page.value(QStringLiteral("GraphicsList"))}},
        {QStringLiteral("SelectedLayerIndex"), QStringLiteral("3")},
        {QStringLiteral("BackgroundImage"), png()},
        {QStringLiteral("LayerVisibilityArray"), QVariantList{"YES", "NO"}}}));
    emptyWorkingFolder();
    return out;
}

void fuzzOne(const QByteArray& data)
{
    workingFolder();
    {
        LBDocument document;
        if (document.loadDataRepresentation(data, LBDocument::LabelDocumentType)) {
            const QByteArray written = document.documentData();
            const QVariantMap dictionary = writtenDictionary(document);
            LBDocument again;
            FUZZ_PROMISE(again.loadDataRepresentation(written, LBDocument::LabelDocumentType),
                         describe(written));
            const QVariantMap second = writtenDictionary(again);
            QStringList changed;
            for (auto i = dictionary.cbegin(); i != dictionary.cend(); ++i) {
                if (!sameValue(second.value(i.key()), i.value()))
                    changed.append(i.key());
            }
            FUZZ_PROMISE(changed.isEmpty() && second.size() == dictionary.size(),
                         QStringLiteral("changed: ") + changed.join(QLatin1Char(' ')));
        }
    }
    emptyWorkingFolder();
}

} // namespace fuzz
