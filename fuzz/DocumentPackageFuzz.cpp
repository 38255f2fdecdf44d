// Opening a document package the way the program opens one: a folder built from the input
// (see support/PackageFolder.h: "Contents.quarnd", picture members, sub-folders, links,
// some leading out of the package) opened by LBDocument::initWithContentsOfFile(). Opening
// reads nothing outside the package (a link leading out is no member) and changes no file;
// the deferred calls of reading run once the document is gone, without a trace.

#include "FuzzTarget.h"
#include "PackageFolder.h"

#include "document/LBDocument.h"
#include "graphics/LBProcessState.h"
#include "graphics/LBTextArea.h"
#include "platform/core/Error.h"
#include "platform/ui/Alert.h"
#include "shapes/LBImage.h"
#include "shapes/ShapeClasses.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

namespace fuzz {

namespace {

const QString ContentsName = QStringLiteral("Contents.quarnd");

// The working files of a document (pictures converted or downsampled) go to the tool
// sandbox's temporary folder, emptied after each input; logs and alerts are quiet.
QString workingFolder()
{
    static const QString folder = [] {
        const QString tmp = QDir(toolSandbox()).filePath(QStringLiteral("tmp"));
        LBProcessState::setTemporaryFolderPath(tmp + QLatin1Char('/'));
        registerShapeClasses();
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
        platform::Alert::setResponder([](const platform::Alert&, QWidget*) {
            platform::Alert::Response response;
            response.returnCode = platform::Alert::FirstButtonReturn;
            return response;
        });
        return tmp;
    }();
    return folder;
}

void emptyWorkingFolder()
{
    QDir folder(workingFolder());
    for (const QFileInfo& entry :
         folder.entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden)) {
        if (entry.isDir() && !entry.isSymLink())
            QDir(entry.filePath()).removeRecursively();
        else
            QFile::remove(entry.filePath());
    }
}

QString packageName()
{
    return QStringLiteral("Fuzz.")
           + LBDocument::extensionForDocumentType(LBDocument::LabelDocumentType);
}

QByteArray png(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgb(x * 40, y * 50, 90));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

// The package at the path as input: its contents file, then every other entry.
PackageInput inputOf(const QString& package)
{
    PackageInput input;
    QFile contents(QDir(package).filePath(ContentsName));
    if (contents.open(QIODevice::ReadOnly))
        input.main = contents.readAll();
    QStringList folders{QString()};
    while (!folders.isEmpty()) {
        const QString relative = folders.takeFirst();
        const QDir folder(QDir(package).filePath(relative));
        for (const QFileInfo& entry :
             folder.entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                                  QDir::Name)) {
            const QString path =
                relative.isEmpty() ? entry.fileName() : relative + QLatin1Char('/') + entry.fileName();
            if (path == ContentsName)
                continue;
            if (entry.isDir()) {
                input.entries.append({'d', path, {}});
                folders.append(path);
            } else {
                QFile file(entry.filePath());
                file.open(QIODevice::ReadOnly);
                input.entries.append({'f', path, file.readAll()});
            }
        }
    }
    return input;
}

// The entry of that path replaced by a link (or added as one).
PackageInput withLink(PackageInput input, const QString& path, const QByteArray& destination)
{
    for (qsizetype i = 0; i < input.entries.size(); ++i)
        if (input.entries.at(i).path == path)
            input.entries.removeAt(i--);
    input.entries.append({'l', path, destination});
    return input;
}

} // namespace

QList<QByteArray> seeds()
{
    workingFolder();
    QTemporaryDir folder;
    QFile picture(folder.filePath(QStringLiteral("photo.png")));
    picture.open(QIODevice::WriteOnly);
    picture.write(png(6, 4));
    picture.close();
    QList<QByteArray> out;
    {
        LBDocument document;
        document.setMakesPreviews(false);
        auto image = std::make_shared<LBImage>();
        image->setBoundsNoOtherChanges(QRectF(10, 10, 60, 40));
        document.insertGraphic(image, 0, 1);
        image->setImageFilePath(picture.fileName(), true, false, LBGraphic::FillImageType);
        auto box = std::make_shared<LBTextArea>();
        box->setBoundsNoOtherChanges(QRectF(10, 60, 100, 30));
        box->setContents(QStringLiteral("Hello"));
        document.insertGraphic(box, 0, 1);
        document.setBackgroundImagePath(picture.fileName(), false, 0);
        const QString package = folder.filePath(packageName());
        platform::Error error;
        if (!document.saveToFile(package, LBDocument::LabelDocumentType,
                                 platform::Document::SaveAsOperation, &error))
            broken("the seed document saves", error.description);
        const PackageInput saved = inputOf(package);
        out.append(encodePackage(saved));
        // Every picture member led out of the package, or to another member, or to a folder.
        for (const PackageEntry& e : saved.entries) {
            if (e.kind != 'f')
                continue;
            out.append(encodePackage(withLink(saved, e.path, "/picture.png")));
            out.append(encodePackage(withLink(saved, e.path, "../Images/picture.png")));
            out.append(encodePackage(withLink(saved, e.path, "/Images")));
            out.append(encodePackage(withLink(saved, e.path, e.path.toUtf8())));
            PackageInput moved = withLink(saved, e.path, "media/" + e.path.toUtf8());
            moved.entries.append({'d', QStringLiteral("media/sub"), {}});
            moved.entries.append({'f', QStringLiteral("media/") + e.path, e.body});
            out.append(encodePackage(moved));
        }
    }
    emptyWorkingFolder();
    return out;
}

void fuzzOne(const QByteArray& data)
{
    workingFolder();
    {
        PackageSandbox sandbox(packageName(), ContentsName, decodePackage(data));
        PackagePromises promises(sandbox);
        {
            platform::Error error;
            const std::unique_ptr<LBDocument> document = LBDocument::initWithContentsOfFile(
                sandbox.package(), LBDocument::LabelDocumentType, &error);
            if (document)
                document->documentData();
        }
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
        promises.check("opening a document");
    }
    emptyWorkingFolder();
}

} // namespace fuzz
