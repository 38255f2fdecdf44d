#include "platform/core/Strings.h"

#include "platform/core/PropertyList.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QMutex>
#include <QMutexLocker>
#include <QStringList>
#include <QVariantMap>

namespace platform {

namespace {

using Table = QHash<QString, QString>;

struct Tables
{
    QMutex mutex;
    QHash<QString, Table> loaded;
    QStringList folders;
};

Tables& tables()
{
    static Tables instance;
    return instance;
}

QString tablePath(const QStringList& folders, const QString& name, const QString& bundle)
{
    const QString fileName = name + QStringLiteral(".strings");
    if (bundle.isEmpty()) {
        for (const QString& folder : folders) {
            const QString path = QDir(folder).filePath(fileName);
            if (QFile::exists(path))
                return path;
        }
    }
    const QString resource = bundle.isEmpty()
                                 ? QStringLiteral(":/strings/") + fileName
                                 : QStringLiteral(":/%1/strings/%2").arg(bundle, fileName);
    return QFile::exists(resource) ? resource : QString();
}

Table readTable(const QStringList& folders, const QString& name, const QString& bundle)
{
    const QString path = tablePath(folders, name, bundle);
    if (path.isEmpty()) {
        qWarning().noquote() << QStringLiteral(
                                    "String table \"%1\" not found; its keys are shown instead")
                                    .arg(name);
        return {};
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        qWarning().noquote() << QStringLiteral("String table \"%1\" cannot be read: %2")
                                    .arg(path, file.errorString());
        return {};
    }
    QString error;
    const std::optional<QVariant> value = PropertyList::fromText(file.readAll(), &error);
    if (!value || value->typeId() != QMetaType::QVariantMap) {
        if (value)
            error = QStringLiteral("not a table of key = value pairs");
        qWarning().noquote()
            << QStringLiteral("String table \"%1\" is broken (%2); its keys are shown instead")
                   .arg(path, error);
        return {};
    }
    Table table;
    const QVariantMap map = value->toMap();
    for (auto it = map.cbegin(); it != map.cend(); ++it) {
        if (it.value().typeId() == QMetaType::QString)
            table.insert(it.key(), it.value().toString());
    }
    return table;
}

} // namespace

QString LocalizedString(const QString& key, const QString& table, const QString& bundle)
{
    const QString name = table.isEmpty() ? QStringLiteral("Localizable") : table;
    const QString cacheKey = bundle.isEmpty() ? name : bundle + u'/' + name;
    Tables& all = tables();
    QMutexLocker lock(&all.mutex);
    auto it = all.loaded.constFind(cacheKey);
    if (it == all.loaded.constEnd())
        it = all.loaded.insert(cacheKey, readTable(all.folders, name, bundle));
    return it->value(key, key);
}

void addStringTableFolder(const QString& folder)
{
    Tables& all = tables();
    QMutexLocker lock(&all.mutex);
    all.folders.prepend(folder);
    all.loaded.clear();
}

} // namespace platform
