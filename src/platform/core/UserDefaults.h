#pragma once

// The application's settings: registered defaults (kept in memory, never written) under
// the values the user set, which persist in an INI file in the user's config folder
// ("Orvane/Veltrin.ini"). Getters coerce like the stored-text readers (TextForms.h):
// an unregistered, unset key reads 0, NO or a null value.

#include <QString>
#include <QVariant>
#include <QVariantList>
#include <QVariantMap>

#include <memory>

namespace platform {

class UserDefaults
{
public:
    // Settings kept in the INI file at `path`.
    explicit UserDefaults(const QString& path);
    ~UserDefaults();
    UserDefaults(const UserDefaults&) = delete;
    UserDefaults& operator=(const UserDefaults&) = delete;

    // The application's settings, in the config folder of the organisation and
    // application names set on QCoreApplication.
    static UserDefaults& standardUserDefaults();

    void registerDefaults(const QVariantMap& defaults);

    // The user's value, else the registered default, else a null QVariant.
    QVariant objectForKey(const QString& key) const;
    QString stringForKey(const QString& key) const; // texts and numbers as text
    QVariantList arrayForKey(const QString& key) const;
    QVariantMap dictionaryForKey(const QString& key) const;
    QByteArray dataForKey(const QString& key) const;
    qint64 integerForKey(const QString& key) const;
    double floatForKey(const QString& key) const;
    double doubleForKey(const QString& key) const;
    bool boolForKey(const QString& key) const;

    // Stores a user value (types survive a restart); a null QVariant removes it.
    void setObject(const QVariant& value, const QString& forKey);
    void setInteger(qint64 value, const QString& forKey);
    void setFloat(double value, const QString& forKey);
    void setDouble(double value, const QString& forKey);
    void setBool(bool value, const QString& forKey);
    void removeObjectForKey(const QString& key);

    // Writes pending changes to the file now. Otherwise they are written a second after
    // the first of them (once the event loop runs), and on destruction.
    bool synchronize();
    // Reads the file again (it was replaced), keeping the registered defaults.
    void reload();

private:
    struct Private;
    std::unique_ptr<Private> d;
};

} // namespace platform
