#include "platform/ui/Pasteboard.h"

#include "platform/core/Archive.h"
#include "platform/text/AttributedString.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QHash>
#include <QImageReader>
#include <QMimeData>
#include <QRegularExpression>
#include <QUrl>

namespace platform {

namespace {

const QString uriListMime = QStringLiteral("text/uri-list");
const QString colorMime = QStringLiteral("application/x-color");
const QString textMime = QStringLiteral("text/plain");

// The names whose MIME types the generic rule does not give.
const QHash<QString, QString>& exactMimeTypes()
{
    static const QHash<QString, QString> map = {
        {QStringLiteral("Quarn Print Line"), QStringLiteral("application/x-quarn-print-line")},
        {QStringLiteral("Quarn Print Line 1"), QStringLiteral("application/x-quarn-print-line-1")},
        {QStringLiteral("LBQFieldPboardType"), QStringLiteral("application/x-lbq-field-ranges")},
        {ColorPboardType, colorMime},
        {FilenamesPboardType, uriListMime},
        {RTFDPboardType, QStringLiteral("application/x-veltrin-rich-text")},
        {StringPboardType, textMime},
        {TIFFPboardType, QStringLiteral("image/tiff")},
        {PNGPboardType, QStringLiteral("image/png")},
        {PDFPboardType, QStringLiteral("application/pdf")},
        {PostScriptPboardType, QStringLiteral("application/postscript")},
        {PICTPboardType, QStringLiteral("image/x-pict")},
        {QStringLiteral("LBIgnoreImageDragType"),
         QStringLiteral("application/x-veltrin-image-well-drag")},
        {QStringLiteral("LBLayerPboardType"), QStringLiteral("application/x-veltrin-layer-row")},
        {QStringLiteral("LBTextTablePboardType"),
         QStringLiteral("application/x-veltrin-text-library-row")},
    };
    return map;
}

qint64 generalCount = 0;

} // namespace

QString mimeTypeForPasteboardType(const QString& type)
{
    const auto exact = exactMimeTypes().constFind(type);
    if (exact != exactMimeTypes().constEnd())
        return *exact;
    if (type.startsWith(QLatin1String("image/")))
        return type;
    static const QRegularExpression others(QStringLiteral("[^a-z0-9]+"));
    QString name = type.toLower();
    name.replace(others, QStringLiteral("-"));
    while (name.startsWith(u'-'))
        name.remove(0, 1);
    while (name.endsWith(u'-'))
        name.chop(1);
    return QStringLiteral("application/x-") + name;
}

QString pasteboardTypeForMimeType(const QString& mimeType)
{
    for (auto it = exactMimeTypes().constBegin(); it != exactMimeTypes().constEnd(); ++it) {
        if (*it == mimeType)
            return it.key();
    }
    if (mimeType.startsWith(QLatin1String("image/")))
        return mimeType;
    return QString();
}

QStringList imagePasteboardTypes()
{
    static const QStringList types = [] {
        QStringList list{TIFFPboardType, PICTPboardType, PDFPboardType, PostScriptPboardType,
                         PNGPboardType};
        for (const QByteArray& mime : QImageReader::supportedMimeTypes()) {
            const QString type = pasteboardTypeForMimeType(QString::fromLatin1(mime));
            if (!type.isNull() && !list.contains(type))
                list.append(type);
        }
        return list;
    }();
    return types;
}

Pasteboard& Pasteboard::generalPasteboard()
{
    static Pasteboard* general = [] {
        auto* pasteboard = new Pasteboard;
        pasteboard->_general = true;
        QObject::connect(QGuiApplication::clipboard(), &QClipboard::dataChanged,
                         [] { ++generalCount; });
        return pasteboard;
    }();
    return *general;
}

qint64 Pasteboard::generalChangeCount()
{
    generalPasteboard();
    return generalCount;
}

QMimeData* Pasteboard::mimeData() const
{
    if (_general)
        return const_cast<QMimeData*>(QGuiApplication::clipboard()->mimeData());
    return _data;
}

qint64 Pasteboard::declareTypes(const QStringList& types)
{
    _types = types;
    if (_general) {
        _data = new QMimeData;
        QGuiApplication::clipboard()->setMimeData(_data); // the clipboard owns it
        return generalCount;
    }
    _data->clear();
    return 0;
}

QStringList Pasteboard::types() const
{
    const QMimeData* data = mimeData();
    QStringList list;
    if (!data)
        return list;
    // The declared types that hold data, in their order, then whatever else the data
    // holds, in its order.
    for (const QString& type : _types) {
        if (data->hasFormat(mimeTypeForPasteboardType(type)))
            list.append(type);
    }
    for (const QString& format : data->formats()) {
        const QString type = pasteboardTypeForMimeType(format);
        if (!type.isNull() && !list.contains(type))
            list.append(type);
    }
    return list;
}

QString Pasteboard::availableTypeFromArray(const QStringList& types) const
{
    const QMimeData* data = mimeData();
    if (!data)
        return QString();
    for (const QString& type : types) {
        if (data->hasFormat(mimeTypeForPasteboardType(type)))
            return type;
    }
    return QString();
}

bool Pasteboard::setData(const QByteArray& data, const QString& forType)
{
    QMimeData* mime = mimeData();
    if (!mime || !_types.contains(forType))
        return false;
    mime->setData(mimeTypeForPasteboardType(forType), data);
    return true;
}

bool Pasteboard::setPropertyList(const QVariant& list, const QString& forType)
{
    QMimeData* mime = mimeData();
    if (!mime || !_types.contains(forType))
        return false;
    if (forType == FilenamesPboardType) {
        QList<QUrl> urls;
        for (const QString& path : list.toStringList())
            urls.append(QUrl::fromLocalFile(path));
        mime->setUrls(urls);
        return true;
    }
    mime->setData(mimeTypeForPasteboardType(forType), list.toByteArray());
    return true;
}

bool Pasteboard::setString(const QString& string, const QString& forType)
{
    QMimeData* mime = mimeData();
    if (!mime || !_types.contains(forType))
        return false;
    if (forType == StringPboardType)
        mime->setText(string);
    else
        mime->setData(mimeTypeForPasteboardType(forType), string.toUtf8());
    return true;
}

bool Pasteboard::setColor(const QColor& color)
{
    QMimeData* mime = mimeData();
    if (!mime || !_types.contains(ColorPboardType))
        return false;
    mime->setColorData(color);
    return true;
}

QByteArray Pasteboard::dataForType(const QString& type) const
{
    const QMimeData* mime = mimeData();
    return mime ? mime->data(mimeTypeForPasteboardType(type)) : QByteArray();
}

QVariant Pasteboard::propertyListForType(const QString& type) const
{
    if (type != FilenamesPboardType)
        return dataForType(type);
    QStringList paths;
    if (const QMimeData* mime = mimeData()) {
        for (const QUrl& url : mime->urls()) {
            if (url.isLocalFile())
                paths.append(url.toLocalFile());
        }
    }
    return paths;
}

QString Pasteboard::stringForType(const QString& type) const
{
    const QMimeData* mime = mimeData();
    if (!mime)
        return QString();
    if (type == StringPboardType)
        return mime->hasText() ? mime->text() : QString();
    const QByteArray data = dataForType(type);
    return data.isNull() ? QString() : QString::fromUtf8(data);
}

QColor Pasteboard::color() const
{
    const QMimeData* mime = mimeData();
    return mime && mime->hasColor() ? qvariant_cast<QColor>(mime->colorData()) : QColor();
}

bool Pasteboard::setAttributedString(const AttributedString& string)
{
    QMimeData* mime = mimeData();
    if (!mime || !_types.contains(RTFDPboardType))
        return false;
    mime->setText(string.string());
    const QByteArray archived = Archive::archivedDataWithAttributedString(string);
    if (archived.isEmpty())
        return false;
    mime->setData(mimeTypeForPasteboardType(RTFDPboardType), archived);
    return true;
}

std::optional<AttributedString> Pasteboard::attributedString(bool* isRich) const
{
    if (isRich)
        *isRich = false;
    const QMimeData* mime = mimeData();
    if (!mime)
        return std::nullopt;
    const QString rich = mimeTypeForPasteboardType(RTFDPboardType);
    if (mime->hasFormat(rich)) {
        if (auto string = Archive::attributedStringFromArchivedData(mime->data(rich))) {
            if (isRich)
                *isRich = true;
            return string;
        }
    }
    if (mime->hasText())
        return AttributedString(mime->text());
    return std::nullopt;
}

bool Pasteboard::setFilenames(const QStringList& paths)
{
    return setPropertyList(paths, FilenamesPboardType);
}

QStringList Pasteboard::filenames() const
{
    return propertyListForType(FilenamesPboardType).toStringList();
}

QString Pasteboard::availableImageType() const
{
    return availableTypeFromArray(imagePasteboardTypes());
}

QByteArray Pasteboard::imageData(QString* type) const
{
    const QString available = availableImageType();
    if (type)
        *type = available;
    return available.isNull() ? QByteArray() : dataForType(available);
}

} // namespace platform
