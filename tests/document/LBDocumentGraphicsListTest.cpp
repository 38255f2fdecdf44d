// The graphics list: the shapes it is written and read in, its text form, what the reader
// leaves out, and every graphic class through a write and a read.

#include "DocumentTestSupport.h"

#include "MessageLog.h"

#include "platform/core/ClassRegistry.h"
#include "platform/core/Error.h"
#include "platform/core/PropertyList.h"
#include "shapes/ShapeClasses.h"

#include <QDir>
#include <QImage>

namespace {

QStringList classesOf(const LBDocument::Layer& graphics)
{
    QStringList classes;
    for (const LBGraphicPtr& g : graphics)
        classes.append(g->graphicType());
    return classes;
}

LBGraphicPtr make(const QString& className, const QRectF& bounds)
{
    registerShapeClasses();
    LBGraphicPtr g = platform::ClassRegistry<LBGraphic>::create(className);
    g->setBoundsNoOtherChanges(bounds);
    return g;
}

// A property list as a stored file would hold it.
QVariantMap stored(const QString& className, const QString& bounds)
{
    return {{"Class", className}, {"Bounds", bounds}};
}

} // namespace

TEST_F(DocumentTest, GraphicsListsTravelFlatOrAsPagesOfLayers)
{
    // Empty, either way.
    for (const QByteArray& data : {LBDocument::dataForGraphics(LBDocument::Layer()),
                                   LBDocument::dataForGraphics(LBDocument::Pages())}) {
        EXPECT_EQ(data, "{\n    GraphicsList = ();\n}");
        const auto read = LBDocument::graphicsForData(data);
        ASSERT_TRUE(read);
        EXPECT_FALSE(read->isPages);
        EXPECT_TRUE(read->graphics.isEmpty());
    }

    // Flat: classes and order kept.
    const LBDocument::Layer flat = {make("LBRectangle", {1, 2, 30, 40}),
                                    make("LBTextArea", {5, 6, 70, 80}),
                                    make("LBCircle", {9, 10, 11, 12})};
    const auto read = LBDocument::graphicsForData(LBDocument::dataForGraphics(flat));
    ASSERT_TRUE(read);
    EXPECT_FALSE(read->isPages);
    EXPECT_EQ(classesOf(read->graphics), QStringList({"LBRectangle", "LBTextArea", "LBCircle"}));
    EXPECT_EQ(read->graphics[1]->bounds(), QRectF(5, 6, 70, 80));

    // Two pages of two layers, empty layers kept.
    const LBDocument::Pages pages = {{{}, {make("LBRectangle", {0, 0, 10, 10})}},
                                     {{make("LBCircle", {0, 0, 5, 5})}, {}}};
    const LBDocument::GraphicsList back =
        LBDocument::graphicsFromDocumentDictionary(LBDocument::dictionaryForGraphics(pages));
    ASSERT_TRUE(back.isPages);
    ASSERT_EQ(back.pages.size(), 2);
    ASSERT_EQ(back.pages[0].size(), 2);
    ASSERT_EQ(back.pages[1].size(), 2);
    EXPECT_TRUE(back.pages[0][0].isEmpty());
    EXPECT_EQ(classesOf(back.pages[0][1]), QStringList({"LBRectangle"}));
    EXPECT_EQ(classesOf(back.pages[1][0]), QStringList({"LBCircle"}));
    EXPECT_TRUE(back.pages[1][1].isEmpty());
}

TEST_F(DocumentTest, ListTextIsTheTextOfItsDictionary)
{
    // The text is written a graphic at a time; it must be the text of the whole tree.
    const LBDocument::Layer layer = {make("LBRectangle", {1, 2, 30, 40}),
                                     make("LBTextArea", {5, 6, 70, 80})};
    for (const LBDocument::Layer& graphics : {LBDocument::Layer(), layer})
        EXPECT_EQ(LBDocument::dataForGraphics(graphics),
                  platform::PropertyList::toText(LBDocument::dictionaryForGraphics(graphics)));

    const LBDocument::Pages pages = {{{}, layer}, {}, {{make("LBCircle", {0, 0, 5, 5})}, {}}};
    // Keys sorting before, around and after the list's, and a stale list that is passed over.
    const QVariantMap others = {{"A", "1"},
                                {"Graphics", QVariantList()},
                                {"GraphicsList", "stale"},
                                {"GraphicsListZ", QVariantMap{{"k", "v"}}},
                                {"a", QByteArray("\x01")}};
    const QVariantMap settings[] = {{}, others, {{"A", "1"}}, {{"Z", "1"}}};
    for (const QVariantMap& other : settings) {
        QVariantMap whole = other;
        whole.insert(LBDocument::dictionaryForGraphics(pages));
        EXPECT_EQ(LBDocument::dataForGraphics(pages, other), platform::PropertyList::toText(whole))
            << other.keys().join(' ').toStdString();
    }

    // A document's text: its settings beside the list.
    fill(1, {"a", "b"});
    QVariantMap whole;
    document->addAuxiliaryDocumentInfoToDict(whole);
    whole.insert(LBDocument::dictionaryForGraphics(document->documentGraphics()));
    EXPECT_EQ(document->documentData(), platform::PropertyList::toText(whole));
}

TEST_F(DocumentTest, OlderPagesOfGraphicsReadAsAnEmptyLayerUnderTheirGraphics)
{
    const QVariantMap dictionary = {
        {"GraphicsList", QVariantList{QVariantList{stored("Rectangle", "{{1, 2}, {3, 4}}"),
                                                   stored("LBCircle", "{{5, 6}, {7, 8}}")},
                                      QVariantList{}}}};
    const LBDocument::GraphicsList read = LBDocument::graphicsFromDocumentDictionary(dictionary);
    ASSERT_TRUE(read.isPages);
    ASSERT_EQ(read.pages.size(), 2);
    ASSERT_EQ(read.pages[0].size(), 2);
    EXPECT_TRUE(read.pages[0][0].isEmpty());
    // "Rectangle" is found with the "LB" in front, as older files name it.
    EXPECT_EQ(classesOf(read.pages[0][1]), QStringList({"LBRectangle", "LBCircle"}));
    EXPECT_EQ(read.pages[0][1][0]->bounds(), QRectF(1, 2, 3, 4));
    EXPECT_EQ(read.pages[1].size(), 2);
}

TEST_F(DocumentTest, TextOutsideAsciiIsWrittenEscapedAndReadBackUnchanged)
{
    const QString label = QStringLiteral("Caf\u00e9 \u2013 \u2713 \U0001F600");
    LBGraphicPtr g = make("LBRectangle", {0, 0, 50, 50});
    g->setPlaceholderLabel(label);
    const QByteArray data = LBDocument::dataForGraphics(LBDocument::Layer{g});
    for (const char byte : data)
        ASSERT_LT(static_cast<unsigned char>(byte), 0x80);
    EXPECT_TRUE(data.contains("\\U00e9")) << data.constData();
    EXPECT_TRUE(data.contains("\\Ud83d\\Ude00")) << data.constData();
    const auto read = LBDocument::graphicsForData(data);
    ASSERT_TRUE(read);
    ASSERT_EQ(read->graphics.size(), 1);
    EXPECT_EQ(read->graphics[0]->placeholderLabel(), label);
}

TEST_F(DocumentTest, WhatIsNotAGraphicIsLeftOutAndBadTextIsAnError)
{
    const QVariantMap dictionary = {
        {"GraphicsList",
         QVariantList{
             QVariantList{QVariantList{stored("LBRectangle", "{{0, 0}, {1, 1}}"),
                                       stored("LBNoSuchShape", "{{0, 0}, {1, 1}}"), "a text",
                                       QVariantMap{{"Bounds", "{{0, 0}, {1, 1}}"}},
                                       stored("LBCircle", "{{0, 0}, {1, 1}}")},
                          "not a layer", QVariantList{}},
             "not a page"}}};
    MessageLog log;
    const LBDocument::GraphicsList read = LBDocument::graphicsFromDocumentDictionary(dictionary);
    EXPECT_TRUE(log.contains("\"LBNoSuchShape\"")) << log.messages.join('\n').toStdString();
    EXPECT_EQ(log.messages.size(), 5); // the class, the text, the dictionary, layer, page
    ASSERT_TRUE(read.isPages);
    ASSERT_EQ(read.pages.size(), 2);
    ASSERT_EQ(read.pages[0].size(), 3); // the layer that is not a list keeps its place
    EXPECT_EQ(classesOf(read.pages[0][0]), QStringList({"LBRectangle", "LBCircle"}));
    for (const LBGraphicPtr& g : read.pages[0][0])
        EXPECT_NE(g, nullptr);
    EXPECT_TRUE(read.pages[0][1].isEmpty());
    EXPECT_TRUE(read.pages[1].isEmpty());

    EXPECT_TRUE(LBDocument::graphicsFromDocumentDictionary({}).graphics.isEmpty());
    EXPECT_TRUE(
        LBDocument::graphicsFromDocumentDictionary({{"GraphicsList", "text"}}).graphics.isEmpty());
    EXPECT_TRUE(log.messages.last().contains("\"GraphicsList\""));

    struct Case
    {
        const char* what;
        QByteArray data;
        int code;
    };
    for (const Case& c :
         {Case{"unbalanced", "{ GraphicsList = ( { Class = LBRectangle; } ;",
               LBDocument::NotAPropertyListError},
          Case{"not text", QByteArray("\x00\x01\x02\xff", 4), LBDocument::NotAPropertyListError},
          Case{"a list", "( a, b )", LBDocument::NotADictionaryError}}) {
        platform::Error error;
        EXPECT_FALSE(LBDocument::graphicsForData(c.data, &error)) << c.what;
        EXPECT_EQ(error.domain, LBDocumentErrorDomain) << c.what;
        EXPECT_EQ(error.code, c.code) << c.what;
        EXPECT_FALSE(error.description.isEmpty()) << c.what;
    }
    EXPECT_FALSE(LBDocument::graphicsForData("(")); // no error asked for
}

TEST_F(DocumentTest, EveryGraphicClassSurvivesWritingAndReading)
{
    registerShapeClasses();
    const QStringList classes = platform::ClassRegistry<LBGraphic>::classNames();
    ASSERT_GT(classes.size(), 10);
    LBDocument::Layer graphics;
    for (qsizetype i = 0; i < classes.size(); ++i) {
        LBGraphicPtr g = make(classes[i], QRectF(10 + i, 20, 40 + i, 30));
        g->setFillType(1);
        g->setFillColor(QColor::fromHsv(int(i * 20 % 360), 200, 200));
        g->setRotation(double(i % 4) * 30.0);
        graphics.append(g);
    }
    const auto read = LBDocument::graphicsForData(LBDocument::dataForGraphics(graphics));
    ASSERT_TRUE(read);
    ASSERT_EQ(read->graphics.size(), graphics.size());
    for (qsizetype i = 0; i < graphics.size(); ++i) {
        EXPECT_EQ(read->graphics[i]->graphicType(), classes[i]);
        EXPECT_EQ(read->graphics[i]->propertyListRepresentation(),
                  graphics[i]->propertyListRepresentation())
            << classes[i].toStdString();
    }
}

TEST_F(DocumentTest, PicturePathsPointAtTheSavedPackageBeforeAGraphicIsWritten)
{
    QTemporaryDir folder;
    const QString package = folder.filePath("Card.quarnlb");
    ASSERT_TRUE(QDir().mkpath(package));
    QImage picture(4, 4, QImage::Format_RGB32);
    picture.fill(Qt::red);
    ASSERT_TRUE(picture.save(package + "/123.png"));
    document->setFileName(package);

    LBGraphicPtr g = make("LBRectangle", {0, 0, 10, 10});
    g->setImageFilePath("/where/it/was/123.png", LBGraphic::FillImageType);
    document->undoManager()->disableUndoRegistration();
    document->insertGraphic(g, 0, 1);
    document->undoManager()->enableUndoRegistration();
    const QByteArray data = LBDocument::dataForGraphics(document->documentGraphics());
    EXPECT_EQ(g->imageFilePathOfType(LBGraphic::FillImageType), package + "/123.png");
    EXPECT_TRUE(data.contains((package + "/123.png").toLatin1())) << data.constData();
}
