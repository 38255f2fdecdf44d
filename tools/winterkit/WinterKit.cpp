// Writes the sample kit "Veltrin Winter.icorbeil": winter papers, stickers, a gift tag and a
// frame, drawn here and written through the kit library's writer.
//   winterkit <package path>

#include "kitfile/iCorbeilFile.h"
#include "platform/core/Error.h"
#include "platform/drawing/Image.h"

#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QRandomGenerator>
#include <QUrl>

#include <cmath>
#include <cstdio>
#include <functional>

namespace {

// The kit's identifier never changes, so importing it again replaces it.
const QString sampleUUID = QStringLiteral("6E1A0C52-9D4B-4F3E-8B7A-2C5D14E0F9A1");

const QColor ice(206, 228, 245);
const QColor night(28, 46, 96);
const QColor pine(38, 110, 66);
const QColor berry(196, 38, 46);

QImage canvas(int width, int height)
{
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

void snowflake(QPainter& p, const QPointF& centre, qreal radius, const QColor& color, qreal width)
{
    p.save();
    p.translate(centre);
    p.setPen(QPen(color, width, Qt::SolidLine, Qt::RoundCap));
    for (int arm = 0; arm < 6; ++arm) {
        p.drawLine(QPointF(0, 0), QPointF(0, -radius));
        for (qreal at : {0.45, 0.7}) {
            const qreal branch = radius * (at == 0.45 ? 0.3 : 0.22);
            p.drawLine(QPointF(0, -radius * at), QPointF(-branch, -radius * at - branch));
            p.drawLine(QPointF(0, -radius * at), QPointF(branch, -radius * at - branch));
        }
        p.rotate(60);
    }
    p.restore();
}

QImage snowfallPaper()
{
    QImage image = canvas(600, 600);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, 600);
    sky.setColorAt(0, QColor(44, 86, 160));
    sky.setColorAt(1, QColor(92, 140, 206));
    p.fillRect(image.rect(), sky);
    QRandomGenerator random(7);
    for (int i = 0; i < 70; ++i) {
        const QPointF at(random.bounded(600), random.bounded(600));
        const qreal size = 6 + random.bounded(20);
        if (i % 4 == 0)
            snowflake(p, at, size, QColor(255, 255, 255, 200), 2);
        else {
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(255, 255, 255, 170));
            p.drawEllipse(at, size / 4, size / 4);
        }
    }
    return image;
}

QImage frostPlaidPaper()
{
    QImage image = canvas(600, 600);
    QPainter p(&image);
    p.fillRect(image.rect(), QColor(232, 242, 250));
    for (int band = 0; band < 600; band += 100) {
        p.fillRect(QRect(band + 20, 0, 40, 600), QColor(120, 170, 215, 110));
        p.fillRect(QRect(0, band + 20, 600, 40), QColor(120, 170, 215, 110));
        p.fillRect(QRect(band + 70, 0, 6, 600), QColor(255, 255, 255, 200));
        p.fillRect(QRect(0, band + 70, 600, 6), QColor(255, 255, 255, 200));
    }
    return image;
}

QImage pineStripePaper()
{
    QImage image = canvas(600, 600);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(image.rect(), QColor(246, 248, 244));
    p.rotate(-30);
    for (int x = -900; x < 900; x += 60)
        p.fillRect(QRect(x, -300, 26, 1500), pine);
    return image;
}

QImage winterNightPaper()
{
    QImage image = canvas(600, 600);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, 600);
    sky.setColorAt(0, QColor(12, 20, 52));
    sky.setColorAt(1, night);
    p.fillRect(image.rect(), sky);
    QRandomGenerator random(11);
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 120; ++i) {
        p.setBrush(QColor(255, 250, 220, 120 + random.bounded(130)));
        p.drawEllipse(QPointF(random.bounded(600), random.bounded(420)), 1.2, 1.2);
    }
    QRadialGradient glow(QPointF(450, 130), 90);
    glow.setColorAt(0, QColor(255, 246, 200, 120));
    glow.setColorAt(1, QColor(255, 246, 200, 0));
    p.setBrush(glow);
    p.drawEllipse(QPointF(450, 130), 90, 90);
    p.setBrush(QColor(250, 236, 170));
    p.drawEllipse(QPointF(450, 130), 44, 44);
    p.setBrush(QColor(236, 244, 250));
    QPainterPath hills;
    hills.moveTo(0, 600);
    hills.lineTo(0, 480);
    hills.cubicTo(150, 420, 300, 520, 600, 450);
    hills.lineTo(600, 600);
    p.drawPath(hills);
    return image;
}

QImage snowflakeSticker()
{
    QImage image = canvas(300, 300);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    snowflake(p, QPointF(150, 150), 120, QColor(70, 130, 200), 16);
    snowflake(p, QPointF(150, 150), 120, QColor(230, 242, 252), 8);
    return image;
}

QImage snowmanSticker()
{
    QImage image = canvas(300, 300);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(150, 170, 190), 3));
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(150, 222), 70, 66);
    p.drawEllipse(QPointF(150, 120), 50, 48);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(30, 30, 34));
    p.drawEllipse(QPointF(132, 108), 6, 6);
    p.drawEllipse(QPointF(168, 108), 6, 6);
    p.drawRect(QRectF(108, 40, 84, 12));
    p.drawRect(QRectF(122, 0, 56, 44));
    p.setBrush(QColor(240, 130, 40));
    p.drawPolygon(QPolygonF({QPointF(150, 120), QPointF(196, 128), QPointF(150, 132)}));
    p.setBrush(berry);
    p.drawRoundedRect(QRectF(98, 160, 104, 16), 8, 8);
    p.drawRoundedRect(QRectF(170, 160, 18, 56), 8, 8);
    return image;
}

QImage mittenSticker()
{
    QImage image = canvas(300, 300);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath mitten;
    mitten.moveTo(90, 250);
    mitten.lineTo(90, 110);
    mitten.cubicTo(90, 40, 200, 40, 200, 110);
    mitten.lineTo(200, 140);
    mitten.cubicTo(240, 110, 270, 150, 236, 180);
    mitten.lineTo(200, 212);
    mitten.lineTo(200, 250);
    mitten.closeSubpath();
    p.setPen(QPen(QColor(120, 20, 28), 4));
    p.setBrush(berry);
    p.drawPath(mitten);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawRoundedRect(QRectF(80, 236, 130, 40), 14, 14);
    for (int i = 0; i < 3; ++i)
        snowflake(p, QPointF(118 + i * 28, 150 + (i % 2) * 26), 12, Qt::white, 3);
    return image;
}

QImage pineTreeSticker()
{
    QImage image = canvas(300, 300);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(110, 70, 40));
    p.drawRect(QRectF(136, 238, 28, 50));
    p.setBrush(pine);
    for (int tier = 0; tier < 3; ++tier) {
        const qreal top = 20 + tier * 62;
        const qreal half = 60 + tier * 30;
        p.drawPolygon(QPolygonF(
            {QPointF(150, top), QPointF(150 + half, top + 110), QPointF(150 - half, top + 110)}));
    }
    p.setBrush(Qt::white);
    for (const QPointF& at : {QPointF(150, 70), QPointF(110, 140), QPointF(196, 170),
                              QPointF(130, 222), QPointF(220, 234)})
        p.drawEllipse(at, 9, 6);
    return image;
}

QImage giftTag()
{
    QImage image = canvas(300, 300);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath tag;
    tag.moveTo(40, 60);
    tag.lineTo(210, 60);
    tag.lineTo(270, 150);
    tag.lineTo(210, 240);
    tag.lineTo(40, 240);
    tag.closeSubpath();
    p.setPen(QPen(QColor(150, 120, 80), 4));
    p.setBrush(QColor(244, 232, 206));
    p.drawPath(tag);
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(220, 150), 14, 14);
    p.setPen(QPen(berry, 6, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(234, 150), QPointF(296, 110));
    p.setPen(Qt::NoPen);
    p.setBrush(pine);
    p.drawEllipse(QPointF(90, 120), 26, 14);
    p.drawEllipse(QPointF(120, 108), 26, 14);
    p.setBrush(berry);
    p.drawEllipse(QPointF(104, 124), 10, 10);
    p.drawEllipse(QPointF(118, 130), 10, 10);
    return image;
}

QImage icicleFrame()
{
    QImage image = canvas(600, 450);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath frame;
    frame.addRoundedRect(QRectF(10, 10, 580, 430), 30, 30);
    frame.addRoundedRect(QRectF(70, 80, 460, 300), 18, 18);
    frame.setFillRule(Qt::OddEvenFill);
    QLinearGradient frost(0, 0, 600, 450);
    frost.setColorAt(0, QColor(240, 248, 255));
    frost.setColorAt(1, ice);
    p.setPen(QPen(QColor(110, 160, 205), 4));
    p.setBrush(frost);
    p.drawPath(frame);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(190, 222, 245, 230));
    for (int x = 80; x < 520; x += 34) {
        const qreal length = 18 + (x * 37 % 40);
        p.drawPolygon(
            QPolygonF({QPointF(x, 80), QPointF(x + 16, 80), QPointF(x + 8, 80 + length)}));
    }
    for (const QPointF& at :
         {QPointF(40, 40), QPointF(560, 40), QPointF(40, 410), QPointF(560, 410)})
        snowflake(p, at, 22, QColor(90, 140, 200), 4);
    return image;
}

QImage scaled(const QImage& image, int side)
{
    return image.scaled(side, side, Qt::KeepAspectRatio, Qt::SmoothTransformation);
}

QImage preview(const QList<QImage>& pictures)
{
    QImage image = canvas(400, 400);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.fillRect(image.rect(), QColor(226, 238, 248));
    for (int i = 0; i < 4 && i < pictures.size(); ++i)
        p.drawImage(QRectF(20 + (i % 2) * 190, 20 + (i / 2) * 190, 170, 170), pictures[i]);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 220));
    p.drawRoundedRect(QRectF(60, 160, 280, 80), 16, 16);
    QFont font;
    font.setPixelSize(30);
    font.setBold(true);
    p.setFont(font);
    p.setPen(night);
    p.drawText(QRectF(60, 160, 280, 80), Qt::AlignCenter, QStringLiteral("Veltrin Winter"));
    return image;
}

struct Entry
{
    const char* name;
    QString type;
    QString subtype;
    QString paperType;
    QString orientation;
    QColor primary;
    QList<QColor> secondary;
    QStringList tags;
    std::function<QImage()> draw;
};

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication application(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: winterkit <package path>\n");
        return 2;
    }
    const QString path = QString::fromLocal8Bit(argv[1]);

    const QList<Entry> entries = {
        {"Snowfall",
         VQPaper,
         QString(),
         VQPattern,
         VQSquare,
         QColor(60, 110, 185),
         {Qt::white},
         {"snow", "sky", "flakes"},
         snowfallPaper},
        {"Frost Plaid",
         VQPaper,
         QString(),
         VQPlaid,
         VQSquare,
         QColor(215, 232, 246),
         {QColor(120, 170, 215)},
         {"frost", "plaid"},
         frostPlaidPaper},
        {"Pine Stripes",
         VQPaper,
         QString(),
         VQStriped,
         VQSquare,
         pine,
         {Qt::white},
         {"pine", "stripes"},
         pineStripePaper},
        {"Winter Night",
         VQPaper,
         QString(),
         VQArtistic,
         VQSquare,
         night,
         {QColor(250, 236, 170), Qt::white},
         {"night", "moon", "stars"},
         winterNightPaper},
        {"Snowflake",
         VQEmbellishment,
         VQSticker,
         QString(),
         VQSquare,
         QColor(70, 130, 200),
         {Qt::white},
         {"snow", "flake"},
         snowflakeSticker},
        {"Snowman",
         VQEmbellishment,
         VQSticker,
         QString(),
         VQPortrait,
         Qt::white,
         {QColor(30, 30, 34), QColor(240, 130, 40)},
         {"snow", "snowman"},
         snowmanSticker},
        {"Mitten",
         VQEmbellishment,
         VQSticker,
         QString(),
         VQPortrait,
         berry,
         {Qt::white},
         {"mitten", "wool"},
         mittenSticker},
        {"Pine Tree",
         VQEmbellishment,
         VQSticker,
         QString(),
         VQPortrait,
         pine,
         {Qt::white},
         {"pine", "tree"},
         pineTreeSticker},
        {"Holly Gift Tag",
         VQEmbellishment,
         VQTag,
         QString(),
         VQLandscape,
         QColor(244, 232, 206),
         {pine, berry},
         {"gift", "holly", "tag"},
         giftTag},
        {"Icicle Frame",
         VQFrame,
         QString(),
         QString(),
         VQLandscape,
         ice,
         {QColor(90, 140, 200)},
         {"frame", "ice", "icicles"},
         icicleFrame},
    };

    iCorbeilFile kit;
    const std::shared_ptr<iCorbeilInfo> info = kit.info();
    info->setUUID(sampleUUID);
    info->setName(QStringLiteral("Veltrin Winter"));
    info->setKitType(VQCompleteKitType);
    info->setKitSize(VQNotApplicableKitSize);
    info->setDescription(
        QStringLiteral("Snow, frost and pine: winter papers, stickers, a gift tag and "
                       "a frame for labels, cards and envelopes."));
    info->setTags(
        QStringList{QStringLiteral("winter"), QStringLiteral("snow"), QStringLiteral("holiday")});
    info->setDesignerName(QStringLiteral("Veltrin"));
    info->setLicenseType(VQCommercialLicense);
    info->setCopyright(QStringLiteral("Veltrin sample art, free to use in your own designs."));
    info->setReleases(QVariantList{kit.createNewRelease()});

    iCorbeilFile::ImageList objects;
    QList<QImage> papers;
    for (const Entry& entry : entries) {
        const QImage picture = entry.draw();
        if (entry.type == VQPaper)
            papers.append(picture);
        auto object = std::make_shared<iCorbeilImage>();
        const QString name = QString::fromLatin1(entry.name);
        const QString base = QString(name).replace(u' ', u'_');
        object->setName(name);
        object->setTags(entry.tags);
        object->setType(entry.type);
        if (!entry.subtype.isEmpty())
            object->setSubtype(entry.subtype);
        if (!entry.paperType.isEmpty())
            object->setPaperType(entry.paperType);
        object->setOrientation(entry.orientation);
        object->setFilename(base + QStringLiteral(".png"));
        object->setPrimaryColor(entry.primary);
        object->setPrimaryColorName(iCorbeilImage::colorNameForColor(entry.primary));
        QVariantList secondary;
        for (const QColor& color : entry.secondary)
            secondary.append(QVariantMap{{VQName, iCorbeilImage::colorNameForColor(color)},
                                         {VQColorActual, color}});
        object->setSecondaryColors(secondary);
        object->setImage(platform::Image::fromBitmap(picture, QSizeF(picture.size())));
        object->setThumbnailFilename(base + QStringLiteral("_thumbnail.png"));
        object->setThumbnail(platform::Image::fromBitmap(scaled(picture, 128)));
        object->setDetailThumbnailFilename(base + QStringLiteral("_detail.png"));
        object->setDetailThumbnail(platform::Image::fromBitmap(scaled(picture, 256)));
        object->setImageChanged(true);
        object->setDetailThumbnailChanged(true);
        if (!kit.addImage(*object)) {
            std::fprintf(stderr, "winterkit: the picture %s could not be staged\n", entry.name);
            return 1;
        }
        objects.append(object);
    }
    kit.setObjects(objects);
    const QImage cover = preview(papers);
    info->setPreview(platform::Image::fromBitmap(cover, QSizeF(cover.size())));

    platform::Error error;
    if (!kit.writeToURLForNewFile(QUrl::fromLocalFile(path), &error)) {
        std::fprintf(stderr, "winterkit: %s\n", qPrintable(error.description));
        return 1;
    }
    return 0;
}
