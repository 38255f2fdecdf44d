// Reading a kit package the way the kit browser does: a folder built from the input (see
// support/PackageFolder.h: "contents.xml", Images/, Thumbnails/, Thumbnails_Detailed/, the
// side pictures, links, some leading out of the package) read by readFromURL(), then each
// graphic's full image loaded. Reading reads nothing outside the package (a file whose real
// path leads out counts as missing) and changes no file.

#include "FuzzTarget.h"
#include "PackageFolder.h"

#include "kitfile/iCorbeilFile.h"
#include "platform/core/Error.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QUrl>

namespace fuzz {

namespace {

const QString ManifestName = QStringLiteral("contents.xml");
const QString PackageName = QStringLiteral("Fuzz.icorbeil");

void quiet()
{
    static const bool done = [] {
        toolSandbox();
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
        return true;
    }();
    Q_UNUSED(done);
}

QByteArray picture(const char* format)
{
    QImage image(5, 4, QImage::Format_RGB32);
    image.fill(Qt::darkGreen);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

} // namespace

QList<QByteArray> seeds()
{
    quiet();
    QFile manifest(QStringLiteral(FUZZ_CORPUS_DIR "/KitManifest/full.xml"));
    if (!manifest.open(QIODevice::ReadOnly))
        broken("the kit manifest seed reads", manifest.fileName());
    PackageInput kit;
    kit.main = manifest.readAll();
    const QByteArray png = picture("PNG");
    for (const char* name : {"Bow", "Plaid", "Page"}) {
        const QString n = QString::fromLatin1(name);
        kit.entries.append({'f', QStringLiteral("Images/%1.png").arg(n), png});
        kit.entries.append({'f', QStringLiteral("Thumbnails/%1_thumbnail.png").arg(n), png});
    }
    kit.entries.append({'f', QStringLiteral("Thumbnails_Detailed/Bow_detail.png"), png});
    kit.entries.append({'f', QStringLiteral("Kit_Preview.png"), png});
    kit.entries.append({'f', QStringLiteral("Artist.jpg"), picture("JPEG")});
    kit.entries.append({'f', QStringLiteral("Copyright.txt"), "(c) Ann"});
    QList<QByteArray> out{encodePackage(kit)};
    // Members led out of the package, a folder led out, names differing in letter case.
    const auto variant = [&kit](const QString& path, char kind, const QByteArray& body) {
        PackageInput changed = kit;
        for (qsizetype i = 0; i < changed.entries.size(); ++i)
            if (changed.entries.at(i).path == path)
                changed.entries.removeAt(i--);
        changed.entries.append({kind, path, body});
        return encodePackage(changed);
    };
    out.append(variant(QStringLiteral("Images/Bow.png"), 'l', "/picture.png"));
    out.append(variant(QStringLiteral("Thumbnails/Bow_thumbnail.png"), 'l', "../picture.png"));
    out.append(variant(QStringLiteral("Kit_Preview.png"), 'l', "/Images/picture.png"));
    out.append(variant(QStringLiteral("Artist.jpg"), 'l', "Images/Bow.png"));
    out.append(variant(QStringLiteral("Images/bow.PNG"), 'f', png));
    PackageInput linkedFolder = kit;
    for (qsizetype i = 0; i < linkedFolder.entries.size(); ++i)
        if (linkedFolder.entries.at(i).path.startsWith(QLatin1String("Images/")))
            linkedFolder.entries.removeAt(i--);
    linkedFolder.entries.append({'l', QStringLiteral("Images"), "/Images"});
    out.append(encodePackage(linkedFolder));
    return out;
}

void fuzzOne(const QByteArray& data)
{
    quiet();
    PackageSandbox sandbox(PackageName, ManifestName, decodePackage(data));
    PackagePromises promises(sandbox);
    {
        iCorbeilFile kit;
        const QUrl url = QUrl::fromLocalFile(sandbox.package());
        platform::Error error;
        if (kit.readFromURL(url, &error)) {
            for (const auto& object : kit.objects())
                kit.loadImageForObject(*object, url);
        }
    }
    promises.check("reading a kit");
}

} // namespace fuzz
