// Ready-made designs of the first version, converted once on a designs tree of their own.

#include "app/LBAppController.h"
#include "app/SupportFolders.h"
#include "graphics/LBProcessState.h"
#include "platform/core/UserDefaults.h"
#include "platform/ui/Alert.h"
#include "platform/ui/DocumentController.h"
#include "platform/ui/ProgressWindow.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

namespace {

platform::UserDefaults& defaults()
{
    return platform::UserDefaults::standardUserDefaults();
}

// A one-colour GIF: Qt reads GIF but cannot write it. Each pixel is its own code and the
// code table is reset before it would widen, so no compression is needed.
QByteArray solidGif(int width, int height)
{
    QByteArray data("GIF89a");
    const auto le16 = [&data](int value) {
        data.append(char(value & 0xff));
        data.append(char((value >> 8) & 0xff));
    };
    le16(width);
    le16(height);
    data.append("\x80\x00\x00", 3);             // a global table of two colours
    data.append("\xC0\x40\x40\xFF\xFF\xFF", 6); // red-brown, white
    data.append(',');
    le16(0);
    le16(0);
    le16(width);
    le16(height);
    data.append(char(0));
    data.append(char(2)); // codes of 3 bits: clear 4, end 5
    QByteArray bits;
    quint32 pending = 0;
    int pendingBits = 0;
    const auto put = [&](int code) {
        pending |= quint32(code) << pendingBits;
        pendingBits += 3;
        while (pendingBits >= 8) {
            bits.append(char(pending & 0xff));
            pending >>= 8;
            pendingBits -= 8;
        }
    };
    put(4);
    for (int i = 0; i < width * height; ++i) {
        if (i % 2 == 0 && i > 0)
            put(4);
        put(0);
    }
    put(5);
    if (pendingBits > 0)
        bits.append(char(pending & 0xff));
    for (qsizetype i = 0; i < bits.size(); i += 255) {
        const qsizetype length = qMin<qsizetype>(255, bits.size() - i);
        data.append(char(length));
        data.append(bits.mid(i, length));
    }
    data.append(char(0));
    data.append(';');
    return data;
}

QByteArray jpegOfSize(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPEG", 90);
    return data;
}

struct Preview
{
    QString format; // of the file "Preview.jpg" or "Preview.gif"
    QSize size;
    QString name;
};

Preview previewOf(const QString& package)
{
    for (const char* name : {"Preview.gif", "Preview.jpg"}) {
        const QString path = QDir(package).filePath(QLatin1String(name));
        if (!QFileInfo::exists(path))
            continue;
        QImageReader reader(path);
        return {QString::fromLatin1(reader.format()), reader.size(), QLatin1String(name)};
    }
    return {};
}

class Version1Conversion : public ::testing::Test
{
protected:
    void SetUp() override
    {
        LBAppController::registerDefaults();
        controller = std::make_unique<LBAppController>();
        LBProcessState::setDesignsFolderPath(designs.path() + QLatin1Char('/'));
        defaults().setBool(true, QStringLiteral("Check For Version 1 Files"));
        platform::Alert::setResponder([this](const platform::Alert& alert, QWidget*) {
            alerts << alert.messageText + QStringLiteral(" | ") + alert.informativeText;
            return platform::Alert::Response{answer, false};
        });
        platform::ProgressWindow::setMonitor([this](const platform::ProgressWindow& window,
                                                    platform::ProgressWindow::Change change) {
            if (change == platform::ProgressWindow::Change::Started)
                progress << window.title();
            if (change == platform::ProgressWindow::Change::Indeterminate
                && window.isIndeterminate())
                progress << QStringLiteral("indeterminate");
            if (change == platform::ProgressWindow::Change::Ended)
                progress << QStringLiteral("ended");
        });
    }

    void TearDown() override
    {
        controller.reset();
        platform::DocumentController::sharedDocumentController().closeAllDocuments();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        platform::Alert::setResponder(nullptr);
        platform::ProgressWindow::setMonitor(nullptr);
        defaults().removeObjectForKey(QStringLiteral("Check For Version 1 Files"));
        LBAppController::initializeGlobalPaths();
    }

    // A design package at the path under the designs folder, with the preview given.
    QString design(const QString& relative, const QString& previewName = QString(),
                   const QByteArray& preview = QByteArray())
    {
        const QString path = designs.filePath(relative);
        EXPECT_TRUE(QDir().mkpath(path));
        QFile document(QDir(path).filePath(QStringLiteral("Document.plist")));
        EXPECT_TRUE(document.open(QIODevice::WriteOnly));
        document.write("<plist/>");
        if (!previewName.isEmpty()) {
            QFile file(QDir(path).filePath(previewName));
            EXPECT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(preview);
        }
        return path;
    }

    QString converted(const QString& relative, const QString& extension) const
    {
        return designs.filePath(relative.section(u'.', 0, -2) + u'.' + extension);
    }

    QTemporaryDir designs;
    QStringList alerts;
    QStringList progress;
    int answer = platform::Alert::FirstButtonReturn;
    std::unique_ptr<LBAppController> controller;
};

} // namespace

TEST_F(Version1Conversion, EachDesignTakesTheExtensionOfItsKindAndASmallPreview)
{
    struct Case
    {
        QString design;
        QString extension;
        QString previewName;
        QByteArray preview;
        Preview expected;
    };
    const QList<Case> cases = {
        {QStringLiteral("Labels/Address Labels/Red.quarnl"),
         QStringLiteral("quarnlb"),
         QStringLiteral("Preview.jpg"),
         jpegOfSize(100, 80),
         {QStringLiteral("jpeg"), QSize(100, 80), QStringLiteral("Preview.jpg")}},
        {QStringLiteral("Envelopes/Business Envelopes/Blue.quarnl"),
         QStringLiteral("quarnev"),
         QStringLiteral("Preview.gif"),
         solidGif(300, 150),
         {QStringLiteral("jpeg"), QSize(120, 60), QStringLiteral("Preview.jpg")}},
        {QStringLiteral("Stationery/Letterheads/Green.quarnl"),
         QStringLiteral("quarnpg"),
         QStringLiteral("Preview.jpg"),
         jpegOfSize(150, 300),
         {QStringLiteral("jpeg"), QSize(60, 120), QStringLiteral("Preview.jpg")}},
        // A small GIF stays a GIF.
        {QStringLiteral("Stationery/Cards/Small.quarnl"),
         QStringLiteral("quarnpg"),
         QStringLiteral("Preview.gif"),
         solidGif(40, 30),
         {QStringLiteral("gif"), QSize(40, 30), QStringLiteral("Preview.gif")}},
        {QStringLiteral("Matched Sets/Garden/Garden Label.quarnl"),
         QStringLiteral("quarnlb"),
         QString(),
         QByteArray(),
         {}},
        {QStringLiteral("Matched Sets/Garden/Garden Envelope.quarnl"),
         QStringLiteral("quarnev"),
         QString(),
         QByteArray(),
         {}},
        {QStringLiteral("Matched Sets/Garden Card.quarnl"),
         QStringLiteral("quarnpg"),
         QString(),
         QByteArray(),
         {}},
    };
    for (const Case& c : cases)
        design(c.design, c.previewName, c.preview);
    // A design whose new name is taken is left as it was, and reported.
    const QString taken = design(QStringLiteral("Stationery/Letterheads/Taken.quarnl"),
                                 QStringLiteral("Preview.jpg"), jpegOfSize(300, 150));
    design(QStringLiteral("Stationery/Letterheads/Taken.quarnpg"));

    EXPECT_TRUE(controller->updateVersion1TemplateFiles());

    for (const Case& c : cases) {
        SCOPED_TRACE(c.design.toStdString());
        EXPECT_FALSE(QFileInfo::exists(designs.filePath(c.design)));
        const QString package = converted(c.design, c.extension);
        ASSERT_TRUE(QFileInfo(package).isDir());
        const Preview preview = previewOf(package);
        EXPECT_EQ(preview.name, c.expected.name);
        EXPECT_EQ(preview.format, c.expected.format);
        EXPECT_EQ(preview.size, c.expected.size);
        EXPECT_TRUE(QFileInfo::exists(QDir(package).filePath(QStringLiteral("Document.plist"))));
    }
    EXPECT_TRUE(QFileInfo(taken).isDir());
    EXPECT_EQ(previewOf(taken).size, QSize(300, 150));

    // The question, then one report of what was left.
    ASSERT_EQ(alerts.size(), 2);
    EXPECT_TRUE(alerts[0].startsWith(QStringLiteral("Convert your ready-made designs?")));
    EXPECT_TRUE(alerts[1].contains(QStringLiteral("Taken.quarnl"))) << alerts[1].toStdString();
    EXPECT_EQ(progress, QStringList({QStringLiteral("Converting ready-made designs"),
                                     QStringLiteral("indeterminate"), QStringLiteral("ended")}));
    EXPECT_FALSE(defaults().boolForKey(QStringLiteral("Check For Version 1 Files")));
    EXPECT_EQ(platform::DocumentController::sharedDocumentController().documents().size(), 1);
}

TEST_F(Version1Conversion, ConvertLaterKeepsTheOfferAndUsesTheProgramsDesigns)
{
    const QString red = design(QStringLiteral("Labels/Address Labels/Red.quarnl"),
                               QStringLiteral("Preview.jpg"), jpegOfSize(300, 150));
    answer = platform::Alert::SecondButtonReturn;

    EXPECT_FALSE(controller->updateVersion1TemplateFiles());
    EXPECT_EQ(alerts.size(), 1);
    EXPECT_TRUE(progress.isEmpty());
    EXPECT_TRUE(QFileInfo(red).isDir());
    EXPECT_EQ(previewOf(red).size, QSize(300, 150));
    EXPECT_TRUE(defaults().boolForKey(QStringLiteral("Check For Version 1 Files")));
    EXPECT_EQ(LBAppController::designsFolderPath(),
              SupportFolders::Locations::standard().resourceDesigns + QLatin1Char('/'));
}

TEST_F(Version1Conversion, ADesignsPathThatIsAPackageIsNotWalked)
{
    const QString package = design(QStringLiteral("Designs.quarnl"));
    design(QStringLiteral("Designs.quarnl/Labels/Address Labels/Red.quarnl"));
    LBProcessState::setDesignsFolderPath(package + QLatin1Char('/'));

    EXPECT_FALSE(controller->updateVersion1TemplateFiles());
    EXPECT_TRUE(alerts.isEmpty());
    EXPECT_TRUE(QFileInfo::exists(
        QDir(package).filePath(QStringLiteral("Labels/Address Labels/Red.quarnl"))));
    EXPECT_TRUE(defaults().boolForKey(QStringLiteral("Check For Version 1 Files")));
}
