// Fuzzes the document dictionary's loader: any bytes as "Contents.quarnd", loaded into a
// new document. Whatever loads must write a dictionary that loads again into the same
// document, and that document writes the same dictionary (the pictures' working files,
// made anew at each load, aside).

#include "document/LBDocument.h"
#include "graphics/LBProcessState.h"
#include "platform/core/PropertyList.h"
#include "shapes/ShapeClasses.h"

#include <QByteArray>
#include <QDir>
#include <QGuiApplication>
#include <QImageReader>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

QTemporaryDir* workingFolder = nullptr;

// The dictionary a loaded document writes, without the working files' names.
QVariantMap writtenDictionary(LBDocument& document)
{
    const auto value = platform::PropertyList::fromText(document.documentData());
    if (!value || value->typeId() != QMetaType::QVariantMap) {
        std::fprintf(stderr, "the document wrote text that does not read\n");
        std::abort();
    }
    QVariantMap dictionary = value->toMap();
    dictionary.remove(QStringLiteral("BackgroundImageName"));
    dictionary.remove(QStringLiteral("BackgroundImageName1"));
    return dictionary;
}

// Working files of one input go with it.
void emptyWorkingFolder()
{
    QDir folder(workingFolder->path());
    for (const QString& name : folder.entryList(QDir::AllEntries | QDir::NoDotAndDotDot))
        QDir(folder.filePath(name)).removeRecursively() || folder.remove(name);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static QTemporaryDir folder;
    workingFolder = &folder;
    // Pictures an input carries are written to the temporary folders: these.
    qputenv("TMPDIR", QFile::encodeName(folder.path()));
    static int applicationArgc = 1;
    static QGuiApplication application(applicationArgc, *argv);
    Q_UNUSED(argc);
    QImageReader::setAllocationLimit(64);
    LBProcessState::setTemporaryFolderPath(folder.path() + QLatin1Char('/'));
    registerShapeClasses();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray contents(reinterpret_cast<const char*>(data), qsizetype(size));
    {
        LBDocument document;
        if (document.loadDataRepresentation(contents, LBDocument::LabelDocumentType)) {
            const QByteArray written = document.documentData();
            const QVariantMap dictionary = writtenDictionary(document);
            LBDocument again;
            if (!again.loadDataRepresentation(written, LBDocument::LabelDocumentType)) {
                std::fprintf(stderr, "what the document wrote does not load\n");
                std::abort();
            }
            const QVariantMap second = writtenDictionary(again);
            if (second != dictionary) {
                std::fprintf(stderr, "the document changed when it was written and loaded:\n");
                for (auto i = dictionary.cbegin(); i != dictionary.cend(); ++i) {
                    if (second.value(i.key()) != i.value())
                        std::fprintf(
                            stderr, "  %s\n%s\n%s\n", qPrintable(i.key()),
                            platform::PropertyList::toText(i.value()).left(2000).constData(),
                            platform::PropertyList::toText(second.value(i.key()))
                                .left(2000)
                                .constData());
                }
                std::abort();
            }
        }
    }
    emptyWorkingFolder();
    return 0;
}
