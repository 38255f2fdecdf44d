#pragma once

// Shared pieces of the package tests: a fixture with a folder for packages and pictures,
// picture files of each kind, image graphics placed on a file, and what a package holds
// on disk (every file with its bytes) to compare before and after.

#include "DocumentTestSupport.h"
#include "FileTestSupport.h"

#include "platform/core/Error.h"
#include "platform/core/PropertyList.h"
#include "platform/drawing/Image.h"
#include "platform/ui/Alert.h"
#include "shapes/LBImage.h"
#include "shapes/ShapeClasses.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageWriter>
#include <QMap>

// A document whose save panel the test answers: `panel` gets the proposed path and returns
// the chosen one (null: cancelled).
class PanelDocument : public LBDocument
{
public:
    void runSavePanel(const QString& proposedPath,
                      std::function<void(const QString&)> didEnd) override
    {
        proposals.append(proposedPath);
        didEnd(panel ? panel(proposedPath) : QString());
    }

    std::function<QString(const QString&)> panel;
    QStringList proposals;
};

class PackageTest : public DocumentTest
{
protected:
    PackageTest()
    {
        registerShapeClasses();
        // Alerts are answered, and remembered.
        platform::Alert::setResponder([this](const platform::Alert& alert, QWidget*) {
            alerts.append(alert.messageText + QLatin1Char('|') + alert.informativeText);
            platform::Alert::Response response;
            response.returnCode = alertAnswer;
            return response;
        });
    }
    ~PackageTest() override { platform::Alert::setResponder({}); }

    QString path(const QString& name) const { return _files.filePath(name); }

    QString writeFile(const QString& name, const QByteArray& bytes) const
    {
        QFile file(path(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly)) << name.toStdString();
        file.write(bytes);
        return QFileInfo(file).absoluteFilePath();
    }

    // An encoded picture of w x h pixels at 72 dpi (a gradient, so encoders cannot cheat).
    static QByteArray picture(int width, int height, const char* format)
    {
        QImage image(width, height, QImage::Format_RGB32);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                image.setPixel(x, y, qRgb(x * 255 / width, y * 255 / height, 90));
        image.setDotsPerMeterX(qRound(72 / 0.0254));
        image.setDotsPerMeterY(qRound(72 / 0.0254));
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        QImageWriter(&buffer, format).write(image);
        return bytes;
    }

    // An image graphic of the given size showing the file, in the current page's layer 1.
    std::shared_ptr<LBImage> placeImage(const QString& file, const QRectF& bounds, qint64 layer = 1)
    {
        auto image = std::make_shared<LBImage>();
        image->setBoundsNoOtherChanges(bounds);
        document->insertGraphic(image, 0, layer);
        image->setImageFilePath(file, true, false, LBGraphic::FillImageType);
        return image;
    }

    // Saves the document as a new package (Save As); the alerts say why when it fails.
    bool saveAs(const QString& package)
    {
        platform::Error error;
        const bool saved = document->saveToFile(package, LBDocument::LabelDocumentType,
                                                platform::Document::SaveAsOperation, &error);
        EXPECT_TRUE(saved) << error.description.toStdString();
        return saved;
    }

    // The package read into a new document (and the deferred calls of reading run).
    std::unique_ptr<LBDocument> open(const QString& package, platform::Error* error = nullptr)
    {
        auto opened =
            LBDocument::initWithContentsOfFile(package, LBDocument::LabelDocumentType, error);
        QCoreApplication::processEvents();
        return opened;
    }

    // The document dictionary of a package.
    static QVariantMap contentsOf(const QString& package)
    {
        QFile file(QDir(package).filePath(QStringLiteral("Contents.quarnd")));
        if (!file.open(QIODevice::ReadOnly))
            return {};
        const auto value = platform::PropertyList::fromText(file.readAll());
        return value ? value->toMap() : QVariantMap();
    }

    // The names of the picture members (everything but the fixed entries).
    static QStringList membersOf(const QString& package)
    {
        QStringList members = QDir(package).entryList(QDir::Files);
        for (const char* fixed : {"Contents.quarnd", "Preview.jpg", "Preview120.jpg", "Spotlight"})
            members.removeAll(QString::fromLatin1(fixed));
        return members;
    }

    QStringList alerts;
    int alertAnswer = platform::Alert::FirstButtonReturn;

private:
    QTemporaryDir _files;
};
