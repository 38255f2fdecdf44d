#include "platform/ui/Pasteboard.h"

#include <QMimeData>
#include <QRegularExpression>
#include <QUrl>

namespace platform {

QString mimeTypeForPasteboardType(const QString& type)
{
    if (type == FilenamesPboardType)
        return QStringLiteral("text/uri-list");
    if (type == TIFFPboardType)
        return QStringLiteral("image/tiff");
    if (type == PDFPboardType)
        return QStringLiteral("application/pdf");
    if (type == PostScriptPboardType)
        return QStringLiteral("application/postscript");
    if (type == PNGPboardType)
        return QStringLiteral("image/png");
    static const QRegularExpression others(QStringLiteral("[^a-z0-9]+"));
    QString name = type.toLower();
    name.replace(others, QStringLiteral("-"));
    while (name.startsWith(u'-'))
        name.remove(0, 1);
    while (name.endsWith(u'-'))
        name.chop(1);
    return QStringLiteral("application/x-") + name;
}

void Pasteboard::declareTypes(const QStringList& types)
{
    _data->clear();
    _types = types;
}

bool Pasteboard::setData(const QByteArray& data, const QString& forType)
{
    if (!_types.contains(forType))
        return false;
    _data->setData(mimeTypeForPasteboardType(forType), data);
    return true;
}

bool Pasteboard::setPropertyList(const QVariant& list, const QString& forType)
{
    if (!_types.contains(forType))
        return false;
    if (forType == FilenamesPboardType) {
        QList<QUrl> urls;
        for (const QString& path : list.toStringList())
            urls.append(QUrl::fromLocalFile(path));
        _data->setUrls(urls);
        return true;
    }
    _data->setData(mimeTypeForPasteboardType(forType), list.toByteArray());
    return true;
}

QByteArray Pasteboard::dataForType(const QString& type) const
{
    return _data->data(mimeTypeForPasteboardType(type));
}

QVariant Pasteboard::propertyListForType(const QString& type) const
{
    if (type != FilenamesPboardType)
        return dataForType(type);
    QStringList paths;
    for (const QUrl& url : _data->urls())
        paths.append(url.toLocalFile());
    return paths;
}

} // namespace platform
