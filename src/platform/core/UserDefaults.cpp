#include "platform/core/UserDefaults.h"

#include "platform/core/TextForms.h"

#include <QCoreApplication>
#include <QEvent>
#include <QLocale>
#include <QSettings>
#include <QStringList>
#include <QTimer>

namespace platform {

namespace {

// The INI form keeps only texts and byte arrays as themselves; numbers and booleans come
// back as texts, and list elements lose their types. Every other value is therefore stored
// wrapped in a one-element list, which the INI form writes as a typed, serialised value
// (@Variant) and reads back exactly. Texts stay readable in the file.
QVariant encode(const QVariant& value)
{
    const int type = value.metaType().id();
    if (type == QMetaType::QString || type == QMetaType::QByteArray)
        return value;
    return QVariantList{value};
}

QVariant decode(const QVariant& stored)
{
    switch (stored.metaType().id()) {
    case QMetaType::QVariantList: {
        const QVariantList list = stored.toList();
        return list.size() == 1 ? list.first() : stored;
    }
    case QMetaType::QStringList: {
        // "a, b" written by hand reads as a list of texts.
        QVariantList list;
        for (const QString& text : stored.toStringList())
            list.append(text);
        return list;
    }
    default: return stored;
    }
}

QString standardPath()
{
    QString organization = QCoreApplication::organizationName();
    QString application = QCoreApplication::applicationName();
    if (organization.isEmpty())
        organization = QStringLiteral("Orvane");
    if (application.isEmpty())
        application = QStringLiteral("Veltrin");
    return QSettings(QSettings::IniFormat, QSettings::UserScope, organization, application)
        .fileName();
}

// Writing the file waits twice for the disk (its lock file and the file itself are each
// flushed), which QSettings does on the event loop's next turn after a change: at a
// launch, before the first window is drawn. The changes are written a moment later
// instead, those of a burst together; synchronize(), the end of the application and the
// instance's end still write at once.
class DeferredWrite : public QObject
{
public:
    static constexpr int delayMilliseconds = 1000;

    explicit DeferredWrite(QSettings* settings) : _settings(settings)
    {
        _timer.setSingleShot(true);
        _timer.setInterval(delayMilliseconds);
        connect(&_timer, &QTimer::timeout, this, [this] { _settings->sync(); });
        settings->installEventFilter(this);
    }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        // QSettings asks for its write once per round of changes, until it has written.
        if (watched != _settings || event->type() != QEvent::UpdateRequest)
            return false;
        if (!_timer.isActive())
            _timer.start();
        return true;
    }

private:
    QSettings* _settings;
    QTimer _timer;
};

} // namespace

struct UserDefaults::Private
{
    explicit Private(const QString& path) : settings(path, QSettings::IniFormat) {}

    QSettings settings;
    QVariantMap registered;
    DeferredWrite deferredWrite{&settings};
};

UserDefaults::UserDefaults(const QString& path) : d(std::make_unique<Private>(path))
{}

UserDefaults::~UserDefaults()
{
    d->settings.sync();
}

UserDefaults& UserDefaults::standardUserDefaults()
{
    static UserDefaults defaults(standardPath());
    static const bool writtenAtExit = [] {
        // Pending changes reach the file while the application still exists; whatever is
        // left is written when the instance goes away.
        qAddPostRoutine([] { standardUserDefaults().synchronize(); });
        return true;
    }();
    Q_UNUSED(writtenAtExit);
    return defaults;
}

void UserDefaults::registerDefaults(const QVariantMap& defaults)
{
    for (auto it = defaults.begin(); it != defaults.end(); ++it)
        d->registered.insert(it.key(), it.value());
}

QVariant UserDefaults::objectForKey(const QString& key) const
{
    if (key.isEmpty())
        return QVariant();
    const QVariant stored = d->settings.value(key);
    if (stored.isValid())
        return decode(stored);
    return d->registered.value(key);
}

QString UserDefaults::stringForKey(const QString& key) const
{
    const QVariant value = objectForKey(key);
    switch (value.metaType().id()) {
    case QMetaType::QString: return value.toString();
    case QMetaType::Bool: return value.toBool() ? QStringLiteral("1") : QStringLiteral("0");
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::LongLong:
    case QMetaType::Short:
    case QMetaType::UShort: return QString::number(value.toLongLong());
    case QMetaType::ULong:
    case QMetaType::ULongLong: return QString::number(value.toULongLong());
    case QMetaType::Float:
    case QMetaType::Double:
        return QString::number(value.toDouble(), 'g', QLocale::FloatingPointShortest);
    default: return QString();
    }
}

QVariantList UserDefaults::arrayForKey(const QString& key) const
{
    const QVariant value = objectForKey(key);
    if (value.metaType().id() == QMetaType::QVariantList
        || value.metaType().id() == QMetaType::QStringList)
        return value.toList();
    return {};
}

QVariantMap UserDefaults::dictionaryForKey(const QString& key) const
{
    const QVariant value = objectForKey(key);
    if (value.metaType().id() == QMetaType::QVariantMap
        || value.metaType().id() == QMetaType::QVariantHash)
        return value.toMap();
    return {};
}

QByteArray UserDefaults::dataForKey(const QString& key) const
{
    const QVariant value = objectForKey(key);
    return value.metaType().id() == QMetaType::QByteArray ? value.toByteArray() : QByteArray();
}

qint64 UserDefaults::integerForKey(const QString& key) const
{
    return integerValue(objectForKey(key));
}

double UserDefaults::floatForKey(const QString& key) const
{
    return floatValue(objectForKey(key));
}

double UserDefaults::doubleForKey(const QString& key) const
{
    return doubleValue(objectForKey(key));
}

bool UserDefaults::boolForKey(const QString& key) const
{
    return boolValue(objectForKey(key));
}

void UserDefaults::setObject(const QVariant& value, const QString& forKey)
{
    if (forKey.isEmpty())
        return;
    if (!value.isValid() || value.isNull()) {
        removeObjectForKey(forKey);
        return;
    }
    d->settings.setValue(forKey, encode(value));
}

void UserDefaults::setInteger(qint64 value, const QString& forKey)
{
    setObject(QVariant(value), forKey);
}

void UserDefaults::setFloat(double value, const QString& forKey)
{
    // Kept at single precision, as a float setting is.
    setObject(QVariant(double(float(value))), forKey);
}

void UserDefaults::setDouble(double value, const QString& forKey)
{
    setObject(QVariant(value), forKey);
}

void UserDefaults::setBool(bool value, const QString& forKey)
{
    setObject(QVariant(value), forKey);
}

void UserDefaults::removeObjectForKey(const QString& key)
{
    if (!key.isEmpty())
        d->settings.remove(key);
}

bool UserDefaults::synchronize()
{
    d->settings.sync();
    return d->settings.status() == QSettings::NoError;
}

void UserDefaults::reload()
{
    // QSettings reads a file again on sync() once it changed on disk.
    d->settings.sync();
}

} // namespace platform
