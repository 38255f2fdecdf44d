// Packages that are damaged or hostile, and saves that fail: a clear error or a missing
// picture, never a crash, a document opened empty or a file written; the previous package
// stays as it was.

#include "PackageTestSupport.h"

#include "MessageLog.h"
#include "shapes/LBRectangle.h"

namespace {

// A document whose writing fails after it has written everything, as a full disk would.
class FailingDocument : public LBDocument
{
public:
    bool writeToFile(const QString& path, const QString& type, SaveOperationType operation,
                     platform::Error* error) override
    {
        LBDocument::writeToFile(path, type, operation, error);
        return platform::Error::fail(error, LBDocumentErrorDomain, WriteFailedError,
                                     QStringLiteral("The disk is full."));
    }
};

} // namespace

TEST_F(PackageTest, BadPackagesFailToOpenWithTheirReason)
{
    const QString good = path("Good.quarnlb");
    fill(1, {"a"});
    ASSERT_TRUE(saveAs(good));
    QFile contents(QDir(good).filePath("Contents.quarnd"));
    ASSERT_TRUE(contents.open(QIODevice::ReadOnly));
    const QByteArray text = contents.readAll();

    struct Case
    {
        const char* what;
        QByteArray contents; // null: none
        int code;
        bool contentsIsFolder = false;
        QString type = LBDocument::LabelDocumentType;
        // What the reason must name.
        const char* names = "";
    };
    const Case cases[] = {
        {"truncated", text.left(text.size() / 2), LBDocument::NotAPropertyListError},
        {"binary garbage", QByteArray("\x00\xff\x13\x37garbage\x80", 12),
         LBDocument::NotAPropertyListError},
        {"a top-level array", "( a, b, { c = d; } )", LBDocument::NotADictionaryError},
        {"GraphicsList a string", "{ GraphicsList = \"pages\"; DocumentVersion = 2410; }",
         LBDocument::NotAGraphicsListError},
        {"no Contents.quarnd", QByteArray(), LBDocument::NoContentsError, false,
         LBDocument::LabelDocumentType, "Contents.quarnd"},
        {"Contents.quarnd a folder", QByteArray(), LBDocument::NoContentsError, true,
         LBDocument::LabelDocumentType, "Contents.quarnd"},
        {"an unknown type", text, LBDocument::UnknownTypeError, false, "Plain Text"},
        // A damaged file, never an empty document (whose save would drop the pictures).
        {"an empty Contents.quarnd", QByteArray(""), LBDocument::NoContentsError, false,
         LBDocument::LabelDocumentType, "Contents.quarnd"},
        {"a blank Contents.quarnd", " \n\t\n", LBDocument::NoContentsError, false,
         LBDocument::LabelDocumentType, "Contents.quarnd"},
    };
    int n = 0;
    for (const Case& c : cases) {
        const QString package = path(QStringLiteral("Bad%1.quarnlb").arg(++n));
        QDir().mkpath(package);
        if (!c.contents.isNull())
            writeFile(QStringLiteral("Bad%1.quarnlb/Contents.quarnd").arg(n), c.contents);
        if (c.contentsIsFolder)
            QDir().mkpath(package + "/Contents.quarnd");
        const QMap<QString, QByteArray> before = treeOf(package);
        const QStringList temporary = QDir(LBProcessState::temporaryFolderPath()).entryList();

        platform::Error error;
        EXPECT_EQ(LBDocument::initWithContentsOfFile(package, c.type, &error), nullptr) << c.what;
        EXPECT_EQ(error.domain, LBDocumentErrorDomain) << c.what;
        EXPECT_EQ(error.code, c.code) << c.what;
        EXPECT_FALSE(error.description.isEmpty()) << c.what;
        EXPECT_TRUE(error.description.contains(QString::fromLatin1(c.names)))
            << c.what << ": " << error.description.toStdString();
        // The same through an open document (a template read into it): it stays as it was.
        const QString before2 = snapshot();
        platform::Error again;
        EXPECT_FALSE(document->revertToSavedFromFile(package, c.type, &again)) << c.what;
        EXPECT_EQ(again.code, c.code) << c.what;
        QCoreApplication::processEvents();
        EXPECT_EQ(snapshot(), before2) << c.what;
        EXPECT_EQ(document->fileName(), good) << c.what;
        // Nothing written.
        EXPECT_EQ(treeOf(package), before) << c.what;
        EXPECT_EQ(QDir(LBProcessState::temporaryFolderPath()).entryList(), temporary) << c.what;
    }
    // No folder at all.
    platform::Error error;
    writeFile("plain.quarnlb", text);
    EXPECT_EQ(open(path("plain.quarnlb"), &error), nullptr);
    EXPECT_EQ(error.code, LBDocument::NotAPackageError);
    EXPECT_EQ(open(path("missing.quarnlb"), &error), nullptr);
    EXPECT_EQ(error.code, LBDocument::NotAPackageError);
}

// A sheet of 10^9 x 10^9 labels would never finish painting, and its counts would
// overflow: a layout or a repeat count past the bounds is refused with the value named.
TEST_F(PackageTest, SheetsPastTheBoundsFailToOpenWithTheirReason)
{
    struct Case
    {
        const char* contents;
        const char* reason;
    };
    const Case cases[] = {
        {"DimensionInfo = { numRows = 1000000000; numColumns = 1000000000; };",
         "numRows is above 1000"},
        {"DimensionInfo = { numRows = 2; numColumns = 1001; };", "numColumns is above 1000"},
        {"DimensionInfo = { pageWidth = 612; pageHeight = 1e9; };",
         "pageHeight is not within 14400 points"},
        {"DimensionInfo = { pageWidth = \"-1e9\"; };", "pageWidth is not within 14400 points"},
        {"\"Label Repeat Count\" = 1000001;", "\"Label Repeat Count\" is above 1000000"},
    };
    int n = 0;
    for (const Case& c : cases) {
        const QString name = QStringLiteral("Huge%1.quarnlb").arg(++n);
        QDir().mkpath(path(name));
        writeFile(name + "/Contents.quarnd",
                  QByteArray("{ GraphicsList = (); DocumentVersion = 2410; ") + c.contents + " }");
        platform::Error error;
        EXPECT_EQ(open(path(name), &error), nullptr) << c.contents;
        EXPECT_EQ(error.code, LBDocument::LayoutOutOfBoundsError) << c.contents;
        EXPECT_TRUE(error.description.contains(QLatin1String(c.reason)))
            << c.contents << ": " << error.description.toStdString();
    }
    // At the bounds, the document opens.
    const QString name = QStringLiteral("Largest.quarnlb");
    QDir().mkpath(path(name));
    writeFile(name + "/Contents.quarnd",
              "{ GraphicsList = (); DocumentVersion = 2410; \"Label Repeat Count\" = 1000000; "
              "DimensionInfo = { numRows = 1000; numColumns = 1000; pageWidth = 14400; "
              "pageHeight = 14400; }; }");
    platform::Error error;
    EXPECT_NE(open(path(name), &error), nullptr) << error.description.toStdString();
}

TEST_F(PackageTest, NamesLeadingOutOfThePackageCountAsMissing)
{
    // Pictures outside the package: a file beside it, reached through a link, "..", a path.
    const QString outside = writeFile("secret.png", picture(8, 8, "png"));
    const QString package = path("Hostile.quarnlb");
    QDir().mkpath(package);
    ASSERT_TRUE(QFile::link(outside, package + "/link.png"));
    QDir().mkpath(path("Hostile.quarnlb/folder"));
    writeFile("Hostile.quarnlb/inside.png", picture(6, 6, "png"));
    ASSERT_TRUE(QFile::link("inside.png", package + "/alias.png"));

    struct Case
    {
        const char* stored;
        bool shown;
    };
    const Case cases[] = {
        {"../x", false},           // a name climbing out: missing "x"
        {"..", false},             // no name
        {"link.png", false},       // a member whose real path leads out
        {"folder", false},         // no file
        {"alias.png", true},       // a link to a member
        {"/etc/inside.png", true}, // the name alone counts, inside the package
    };
    LBDocument::Layer graphics;
    for (const Case& c : cases) {
        auto image = std::make_shared<LBImage>();
        image->setBoundsNoOtherChanges(QRectF(0, 0, 6, 6));
        image->updateImageFileName(QString::fromLatin1(c.stored), LBGraphic::FillImageType);
        graphics.append(image);
    }
    QVariantMap d = LBDocument::dictionaryForGraphics(LBDocument::Pages{{graphics}});
    d.insert("BackgroundImageName", "../../secret.png");
    d.insert("BackgroundImageName1", "link.png");
    writeFile("Hostile.quarnlb/Contents.quarnd", platform::PropertyList::toText(d));
    const QMap<QString, QByteArray> before = treeOf(package);

    MessageLog log;
    platform::Error error;
    const std::unique_ptr<LBDocument> opened = open(package, &error);
    ASSERT_NE(opened, nullptr) << error.description.toStdString();
    const LBDocument::Layer& layer = opened->documentGraphics()[0][0];
    ASSERT_EQ(layer.size(), qsizetype(std::size(cases)));
    for (qsizetype i = 0; i < layer.size(); ++i) {
        EXPECT_EQ(layer[i]->imageOfType(LBGraphic::FillImageType) != nullptr, cases[i].shown)
            << cases[i].stored;
        // Whatever it names, it names inside the package, or nothing.
        const QString now = layer[i]->imageFilePathOfType(LBGraphic::FillImageType);
        EXPECT_TRUE(now.isEmpty() || now.startsWith(QFileInfo(package).canonicalFilePath() + "/"))
            << cases[i].stored << " " << now.toStdString();
    }
    EXPECT_EQ(opened->backgroundImage(0), nullptr);
    EXPECT_EQ(opened->backgroundImage(1), nullptr);
    EXPECT_TRUE(opened->backgroundImagePath(0).startsWith(QFileInfo(package).canonicalFilePath()));
    EXPECT_EQ(opened->backgroundImagePath(1), QString());
    EXPECT_TRUE(log.contains("secret.png"));
    EXPECT_EQ(treeOf(package), before);

    // Saving it copies nothing from outside.
    const QString copy = path("Copy.quarnlb");
    platform::Error saveError;
    ASSERT_TRUE(opened->saveToFile(copy, LBDocument::LabelDocumentType,
                                   platform::Document::SaveAsOperation, &saveError));
    for (const QString& member : membersOf(copy)) {
        QFile file(QDir(copy).filePath(member));
        file.open(QIODevice::ReadOnly);
        QFile secret(outside);
        secret.open(QIODevice::ReadOnly);
        EXPECT_NE(file.readAll(), secret.readAll()) << member.toStdString();
    }
}

TEST_F(PackageTest, AFailedSaveLeavesThePreviousPackageAsItWas)
{
    auto failing = std::make_unique<FailingDocument>();
    FailingDocument* doc = failing.get();
    const QString photo = writeFile("photo.jpg", picture(50, 50, "jpg"));
    // Saved once by a document that can, then the same design by one whose writing fails.
    const QString package = path("Card.quarnlb");
    placeImage(photo, QRectF(0, 0, 50, 50));
    ASSERT_TRUE(saveAs(package));
    const QMap<QString, QByteArray> saved = treeOf(package);

    document = std::move(failing);
    auto image = std::make_shared<LBImage>();
    image->setBoundsNoOtherChanges(QRectF(0, 0, 50, 50));
    document->insertGraphic(image, 0, 1);
    image->setImageFilePath(photo, true, false, LBGraphic::FillImageType);
    doc->setFileName(package);
    doc->setFileType(LBDocument::LabelDocumentType);
    fill(0, {"b"});
    doc->setLabelRepeatCount(2);
    QCoreApplication::processEvents(); // the step closes: edited
    ASSERT_TRUE(doc->isDocumentEdited());

    doc->saveDocument();
    ASSERT_EQ(alerts.size(), 1);
    EXPECT_TRUE(alerts.first().contains("could not be saved"));
    EXPECT_TRUE(alerts.first().contains("The disk is full."));
    EXPECT_EQ(treeOf(package), saved);
    // No sibling or backup left behind.
    EXPECT_EQ(QDir(path("")).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              (QStringList{"Card.quarnlb", "photo.jpg"}));
    // The graphic still names its own file, and nothing was recorded as stored.
    EXPECT_EQ(image->imageFilePathOfType(LBGraphic::FillImageType), photo);
    EXPECT_TRUE(doc->originalImageFilePaths().isEmpty());
    EXPECT_TRUE(doc->isDocumentEdited());
}

TEST_F(PackageTest, ASaveReplacesThePackageWhole)
{
    const QString package = path("Card.quarnlb");
    fill(1, {"a"});
    ASSERT_TRUE(saveAs(package));
    // Something of the user's inside the package is not carried over, and no backup stays.
    writeFile("Card.quarnlb/stray.txt", "stray");
    fill(1, {"b"});
    document->saveDocument();
    EXPECT_TRUE(alerts.isEmpty());
    EXPECT_FALSE(QFileInfo::exists(package + "/stray.txt"));
    EXPECT_FALSE(QFileInfo::exists(path("Card~.quarnlb")));
    EXPECT_EQ(LBDocument::graphicsFromDocumentDictionary(contentsOf(package)).pages[0][1].size(),
              2);
    EXPECT_FALSE(document->isDocumentEdited());

    // Revert reads it again.
    fill(1, {"c"});
    document->revertDocumentToSaved();
    EXPECT_EQ(document->pageGraphics()[1].size(), 2);
    EXPECT_FALSE(document->isDocumentEdited());
    // A save that cannot put its package in place (a file where its folder goes).
    writeFile("Blocked", "file");
    platform::Error error;
    EXPECT_FALSE(document->saveToFile(path("Blocked/Card.quarnlb"), LBDocument::LabelDocumentType,
                                      platform::Document::SaveAsOperation, &error));
    EXPECT_FALSE(error.description.isEmpty());
    EXPECT_EQ(document->fileName(), package);
}

TEST_F(PackageTest, FilesBesideThePackageAreNeverTakenOrTouched)
{
    // The user's own document "Card~.quarnlb", holding the picture Card.quarnlb misses.
    const QString photo = writeFile("photo.png", picture(8, 8, "png"));
    placeImage(photo, QRectF(0, 0, 8, 8));
    ASSERT_TRUE(saveAs(path("Card~.quarnlb")));
    const QString member = membersOf(path("Card~.quarnlb")).value(0);
    ASSERT_FALSE(member.isEmpty());
    const QMap<QString, QByteArray> mine = treeOf(path("Card~.quarnlb"));
    const QString package = path("Card.quarnlb");
    ASSERT_TRUE(QDir().mkpath(package));
    writeFile("Card.quarnlb/Contents.quarnd",
              platform::PropertyList::toText(contentsOf(path("Card~.quarnlb"))));

    std::unique_ptr<LBDocument> opened = open(package);
    ASSERT_NE(opened, nullptr);
    const LBGraphicPtr shown = opened->documentGraphics()[0][1].value(0);
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(shown->imageOfType(LBGraphic::FillImageType), nullptr);
    EXPECT_EQ(opened->imageFilePathForGraphic(*shown), QString());
    // Saved twice (the second replaces the first): the neighbour stays as it was.
    for (int i = 0; i < 2; ++i) {
        platform::Error error;
        ASSERT_TRUE(opened->saveToFile(package, LBDocument::LabelDocumentType,
                                       platform::Document::SaveOperation, &error))
            << error.description.toStdString();
        EXPECT_TRUE(membersOf(package).isEmpty());
    }
    EXPECT_EQ(treeOf(path("Card~.quarnlb")), mine);
}

TEST_F(PackageTest, ASaveKeepsThePicturesTheDocumentNeverHad)
{
    const QString package = path("Card.quarnlb");
    placeImage(writeFile("shown.png", picture(8, 8, "png")), QRectF(0, 0, 8, 8));
    ASSERT_TRUE(saveAs(package));
    const QString named = membersOf(package).value(0);
    // A picture in the package that nothing of the document names.
    writeFile("Card.quarnlb/kept.png", picture(6, 6, "png"));

    std::unique_ptr<LBDocument> opened = open(package);
    ASSERT_NE(opened, nullptr);
    // The user removes the graphic: its picture goes, the other one stays.
    opened->removeGraphicAtIndex(0, 1);
    for (const QString& saved : {package, path("Copy.quarnlb")}) {
        platform::Error error;
        ASSERT_TRUE(opened->saveToFile(saved, LBDocument::LabelDocumentType,
                                       platform::Document::SaveAsOperation, &error))
            << error.description.toStdString();
        EXPECT_EQ(membersOf(saved), QStringList{"kept.png"}) << saved.toStdString();
        EXPECT_EQ(bytesOf(saved + "/kept.png"), picture(6, 6, "png"));
    }
    EXPECT_FALSE(named.isEmpty());
}

TEST_F(PackageTest, ASaveCutShortBetweenItsTwoRenamesIsMendedOnOpening)
{
    // Where the file system cannot exchange, the old package waits under a hidden name
    // while the new one moves in; a crash in between leaves only that.
    const QString package = path("Card.quarnlb");
    fill(1, {"a", "b"});
    ASSERT_TRUE(saveAs(package));
    const QMap<QString, QByteArray> saved = treeOf(package);
    ASSERT_TRUE(QFile::rename(package, path(".Card.quarnlb~x1Y2z3")));

    std::unique_ptr<LBDocument> opened = open(package);
    ASSERT_NE(opened, nullptr);
    EXPECT_EQ(opened->documentGraphics()[0][1].size(), 2);
    EXPECT_EQ(treeOf(package), saved);
    EXPECT_EQ(QDir(path("")).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList{"Card.quarnlb"});
}
