#include "kitfile/ManifestValues.h"

#include "platform/core/TextForms.h"

#include <QLocale>
#include <QVariantList>

#include <cmath>

namespace kitfile {

QString stringValue(const QVariant& value)
{
    if (value.typeId() != QMetaType::QString)
        return QString();
    // An empty text is a value too: readers may hand it over as a null QString.
    const QString text = value.toString();
    return text.isNull() ? QStringLiteral("") : text;
}

std::optional<QStringList> stringListValue(const QVariant& value)
{
    if (value.typeId() == QMetaType::QStringList)
        return value.toStringList();
    if (value.typeId() != QMetaType::QVariantList)
        return std::nullopt;
    QStringList list;
    for (const QVariant& item : value.toList()) {
        if (item.typeId() != QMetaType::QString)
            return std::nullopt;
        list.append(item.toString());
    }
    return list;
}

QVariant numberValue(const QVariant& value)
{
    const int type = value.typeId();
    if (platform::isIntegerType(type))
        return QVariant(value.toLongLong());
    if (type == QMetaType::Double || type == QMetaType::Float) {
        const double real = value.toDouble();
        return std::isfinite(real) ? QVariant(real) : QVariant();
    }
    if (type != QMetaType::QString)
        return QVariant();
    const QString text = value.toString().trimmed();
    bool ok = false;
    const qint64 whole = QLocale::c().toLongLong(text, &ok);
    if (ok)
        return QVariant(whole);
    const double real = QLocale::c().toDouble(text, &ok);
    return ok && std::isfinite(real) ? QVariant(real) : QVariant();
}

void insertIfSet(QVariantMap& map, const QString& key, const QString& value)
{
    if (!value.isNull())
        map.insert(key, value);
}

QString quoted(const QString& text)
{
    return QStringLiteral("\u201c%1\u201d").arg(text);
}

} // namespace kitfile
