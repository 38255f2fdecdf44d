#include "kitfile/iCorbeilImage.h"

#include "platform/core/TextForms.h"
#include "platform/drawing/Image.h"

#include "KitTestSupport.h"

#include <gtest/gtest.h>

namespace {

const QString dash = QStringLiteral("\u2014");

} // namespace

TEST(iCorbeilImage, DisplayTextsOfKeys)
{
    struct Case
    {
        QString key;
        QString text;
    };
    const Case cases[] = {
        {VQPhotoCorner, "Photo Corner"},
        {VQQuickPage, "Quick Page"},
        {VQ12x12KitSize, "12x12 Kit Size"},
        {VQRicRac, "Ric Rac"},
        {VQURL, "U R L"},
        {VQCommercialNonExclusiveLicense, "Commercial Non Exclusive License"},
        {QString(), "None"},
        {"", ""},
        {"V", "V"}, // shorter than the prefix: as it is
        {"VQ", ""},
        {"VQaB", "a B"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(iCorbeilImage::convertValueStringToDisplayString(c.key), c.text)
            << c.key.toStdString();
}

TEST(iCorbeilImage, TypeAndOrientationTexts)
{
    struct Case
    {
        QString type;
        QString subtype;
        QString paperType;
        QVariant pictures;
        QString text;
    };
    const Case cases[] = {
        {VQEmbellishment, VQRicRac, {}, {}, "Embellishment" + dash + "Ric Rac"},
        {VQQuickPage, {}, {}, qint64(3), "Quick Page" + dash + "3 pictures"},
        {VQQuickPage, {}, {}, {}, "Quick Page"},
        {VQPaper, {}, VQPlaid, {}, "Paper" + dash + "Plaid"},
        {VQFrame, VQRicRac, VQPlaid, qint64(3), "Frame"},
        {VQEmbellishment, {}, {}, {}, "Embellishment" + dash + "None"},
        {QString(), {}, {}, {}, "None"},
    };
    for (const Case& c : cases) {
        iCorbeilImage graphic;
        graphic.setType(c.type);
        graphic.setSubtype(c.subtype);
        graphic.setPaperType(c.paperType);
        graphic.setNumberOfPictures(c.pictures);
        EXPECT_EQ(graphic.typeAsString(), c.text) << c.text.toStdString();
    }
    iCorbeilImage graphic;
    graphic.setOrientation(VQLandscape);
    EXPECT_EQ(graphic.orientationAsString(), QStringLiteral("Landscape"));
}

TEST(iCorbeilImage, NewGraphic)
{
    iCorbeilImage graphic;
    EXPECT_EQ(graphic.type(), VQAlbumTemplate);
    EXPECT_EQ(graphic.primaryColorName(), VQBlack);
    EXPECT_EQ(graphic.primaryColor(), QColor(Qt::black));
    EXPECT_TRUE(graphic.secondaryColors().isEmpty());
    EXPECT_EQ(graphic.tags(), QStringList());
    EXPECT_FALSE(graphic.imageChanged());
    const QVariantMap written = graphic.properties();
    EXPECT_FALSE(written.contains(VQSecondaryColors));
    EXPECT_EQ(written.value(VQPrimaryColorActual), QStringLiteral("sRGB 0 0 0 1"));
}

TEST(iCorbeilImage, GraphicDictionaryReadAndWritten)
{
    // Kept whole: secondary colours' names and string forms, the detailed thumbnail.
    QVariantMap embellishment = kittest::graphic(QStringLiteral("Bow"), VQEmbellishment);
    embellishment.insert(VQSubType, VQBow);
    embellishment.insert(VQDetailThumbnailFilename, QStringLiteral("Bow_detail.png"));
    const QColor darkGreen(0, 128, 0);
    embellishment.insert(
        VQSecondaryColors,
        QVariantList{
            QVariantMap{{VQName, VQGreen},
                        {VQColorActual, platform::orvaneStringRepresentation(darkGreen)}},
            QVariantMap{{VQName, VQClear}, {VQColorActual, QStringLiteral("sRGB 0 0 0 0")}}});
    const iCorbeilImage read(embellishment);
    EXPECT_EQ(read.properties(), embellishment);
    EXPECT_EQ(read.secondaryColors()[0].toMap().value(VQColorActual).value<QColor>(), darkGreen);

    // A type's own detail is read and written only for that type; counts may be text.
    QVariantMap frame = kittest::graphic(QStringLiteral("Frame"), VQFrame);
    frame.insert(VQSubType, VQBow);
    frame.insert(VQPaperType, VQPlaid);
    frame.insert(VQNumberOfPictures, 3);
    EXPECT_EQ(iCorbeilImage(frame).properties(),
              kittest::graphic(QStringLiteral("Frame"), VQFrame));
    QVariantMap quickPage = kittest::graphic(QStringLiteral("Page"), VQQuickPage);
    quickPage.insert(VQNumberOfPictures, QStringLiteral("3"));
    EXPECT_EQ(iCorbeilImage(quickPage).numberOfPictures(), QVariant(qint64(3)));
    QVariantMap paper = kittest::graphic(QStringLiteral("Paper"), VQPaper);
    paper.insert(VQPaperType, VQPlaid);
    EXPECT_EQ(iCorbeilImage(paper).properties(), paper);

    // Colours written by other tools take the colour of their key.
    QVariantMap foreign = kittest::graphic(QStringLiteral("Leaf"));
    foreign.insert(VQPrimaryColor, VQGreen);
    foreign.insert(VQPrimaryColorActual, QStringLiteral("NSCalibratedRGBColorSpace 0 1 0 1"));
    foreign.insert(VQSecondaryColors,
                   QVariantList{QVariantMap{{VQName, VQBlue}},
                                QVariantMap{{VQName, QStringLiteral("VQMauve")},
                                            {VQColorActual, QStringLiteral("mauve")}}});
    const iCorbeilImage leaf(foreign);
    EXPECT_EQ(leaf.primaryColor(), QColor(Qt::green));
    EXPECT_EQ(leaf.secondaryColors(),
              (QVariantList{QVariantMap{{VQName, VQBlue}, {VQColorActual, QColor(Qt::blue)}},
                            QVariantMap{{VQName, QStringLiteral("VQMauve")}}}));

    // Missing keys leave their fields unset, and unset fields are not written.
    const iCorbeilImage empty{QVariantMap()};
    EXPECT_TRUE(empty.type().isNull());
    EXPECT_FALSE(empty.tags().has_value());
    EXPECT_FALSE(empty.primaryColor().isValid());
    EXPECT_EQ(empty.properties(), QVariantMap());
}

TEST(iCorbeilImage, CopyCarriesEveryFieldAndAnnouncesTheDerivedTexts)
{
    QVariantMap dictionary = kittest::graphic(QStringLiteral("Bow"), VQEmbellishment);
    dictionary.insert(VQSubType, VQBow);
    iCorbeilImage original(dictionary);
    original.setSecondaryColors({QVariantMap{{VQName, VQRed}, {VQColorActual, QColor(Qt::red)}}});
    original.setImage(platform::Image::withSize(QSizeF(4, 4)));
    original.setThumbnail(platform::Image::withSize(QSizeF(2, 2)));
    original.setDetailThumbnail(platform::Image::withSize(QSizeF(3, 3)));
    original.setImageChanged(true);
    original.setDetailThumbnailChanged(true);
    original.setOriginalPath(QStringLiteral("/art/Bow.png"));

    iCorbeilImage target;
    QStringList announced;
    QObject::connect(&target, &iCorbeilImage::didChangeValueForKey,
                     [&](const QString& key) { announced << key; });
    target.takeValuesFrom(original);
    EXPECT_EQ(announced, (QStringList{"typeAsString", "primaryColorAsString",
                                      "secondaryColorsAsString", "orientationAsString"}));

    const std::shared_ptr<iCorbeilImage> copy = original.copy();
    for (const iCorbeilImage* graphic : {&target, copy.get()}) {
        EXPECT_EQ(graphic->properties(), original.properties());
        EXPECT_EQ(graphic->image(), original.image());
        EXPECT_EQ(graphic->thumbnail(), original.thumbnail());
        EXPECT_EQ(graphic->detailThumbnail(), original.detailThumbnail());
        EXPECT_TRUE(graphic->imageChanged());
        EXPECT_TRUE(graphic->detailThumbnailChanged());
        EXPECT_EQ(graphic->originalPath(), original.originalPath());
    }
    copy->setSecondaryColors({});
    EXPECT_EQ(original.secondaryColors().size(), 1);
}
